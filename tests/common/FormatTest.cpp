#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include "common/Format.h"
#include "common/Locale.h"

namespace {

class FormatTest : public ::testing::Test {
 protected:
  void SetUp() override { PinUsLocale(); }
};

TEST_F(FormatTest, FixedPointWithExactDecimals) {
  EXPECT_EQ(FormatReal(2.5, 2), "2.50");
  EXPECT_EQ(FormatReal(2.555, 0), "3");
  EXPECT_EQ(FormatReal(-0.001, 2), "0.00");  // no "-0.00"
  EXPECT_EQ(FormatInt(-42), "-42");
}

// Rounding agrees with the formatted text read back, for values that are already round (the quick
// path) and values that are not, halfway cases and large magnitudes included.
TEST_F(FormatTest, RoundToDecimalsAgreesWithTheText) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> any(-2e5, 2e5);
  for (int i = 0; i < 20000; ++i) {
    const int decimals = i % 7;
    const double values[] = {any(random), std::round(any(random) * 1000) / 1000, std::round(any(random)) / 8,
                             std::ldexp(any(random), 40)};
    for (const double v : values)
      ASSERT_EQ(RoundToDecimals(v, decimals), std::strtod(FormatReal(v, decimals).c_str(), nullptr))
          << v << " " << decimals;
  }
  EXPECT_EQ(RoundToDecimals(2.675, 2), 2.67);  // 2.675 is stored just below the half
  EXPECT_FALSE(std::signbit(RoundToDecimals(-0.0, 1)));
  EXPECT_EQ(RoundToDecimals(1e300, 2), 1e300);
}

TEST_F(FormatTest, BlankFlags) {
  EXPECT_EQ(FormatReal(0, 2, fmtBlankZero), "");
  EXPECT_EQ(FormatReal(0.001, 2, fmtBlankZero), "0.00");  // only an exact 0 is blank
  EXPECT_EQ(FormatReal(-1, 1, fmtBlankNegative), "");
  EXPECT_EQ(FormatReal(0, 1, fmtBlankNegative), "0.0");
  EXPECT_EQ(FormatInt(0, fmtBlankZero), "");
  EXPECT_EQ(FormatInt(-3, fmtBlankNegative), "");
}

TEST_F(FormatTest, TrimZerosRemovesPointToo) {
  EXPECT_EQ(FormatReal(2.50, 2, fmtTrimZeros), "2.5");
  EXPECT_EQ(FormatReal(3.0, 3, fmtTrimZeros), "3");
  EXPECT_EQ(FormatReal(100.0, 1, fmtTrimZeros), "100");  // zeros left of the point stay
  EXPECT_EQ(FormatReal(100.0, 0, fmtTrimZeros), "100");
}

TEST_F(FormatTest, ThousandsKeepMinusInFront) {
  EXPECT_EQ(FormatReal(1234567.891, 2, fmtThousands), "1,234,567.89");
  EXPECT_EQ(FormatReal(-1234.5, 1, fmtThousands), "-1,234.5");
  EXPECT_EQ(FormatReal(-123.0, 0, fmtThousands), "-123");
  EXPECT_EQ(FormatInt(-1000000, fmtThousands), "-1,000,000");
  EXPECT_EQ(FormatInt(999, fmtThousands), "999");
}

TEST_F(FormatTest, SystemSeparatorsSwapBoth) {
  TLocaleFormats german = UsLocaleFormats();
  german.thousandSeparator = ".";
  german.decimalSeparator = ",";
  SetLocaleFormats(german);
  EXPECT_EQ(FormatReal(1234.5, 2, fmtThousands | fmtSystemSeps), "1.234,50");
  EXPECT_EQ(FormatReal(1234.5, 2, fmtSystemSeps), "1234,50");
  // FormatInt applies the system separators only together with grouping.
  EXPECT_EQ(FormatInt(1234, fmtSystemSeps), "1234");
  EXPECT_EQ(FormatInt(1234, fmtThousands | fmtSystemSeps), "1.234");
}

TEST_F(FormatTest, PadNeverCuts) {
  EXPECT_EQ(Pad("ab", 4), "ab  ");
  EXPECT_EQ(PadLeft("ab", 4), "  ab");
  EXPECT_EQ(Pad("abcdef", 4), "abcdef");
  EXPECT_EQ(PadLeft("abcdef", 4), "abcdef");
}

TEST_F(FormatTest, ShortestFormsReadBack) {
  EXPECT_EQ(ShortestSingle(12.5f), "12.5");
  EXPECT_EQ(ShortestSingle(46.0f), "46");
  EXPECT_EQ(ShortestSingle(0.1f), "0.1");
  EXPECT_EQ(ShortestSingle(200000.0f), "200000");  // not the shorter "2e+05"
  EXPECT_EQ(ShortestSingle(-3.4028235e38f), "-340282346638528859811704183484516925440");
  EXPECT_EQ(ShortestReal(0.1 + 0.2), "0.30000000000000004");
}

}  // namespace
