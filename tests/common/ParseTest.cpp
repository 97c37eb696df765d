#include <gtest/gtest.h>

#include "common/Parse.h"

namespace {

TEST(ParseTest, WholeNumbersMustFitTheirField) {
  uint16_t w;
  EXPECT_TRUE(ParseWord("65535", w));
  EXPECT_EQ(w, 65535);
  EXPECT_FALSE(ParseWord("65536", w));
  EXPECT_EQ(w, 0);
  EXPECT_FALSE(ParseWord("-1", w));

  int16_t s;
  EXPECT_TRUE(ParseSmallInt("-32768", s));
  EXPECT_EQ(s, -32768);
  EXPECT_FALSE(ParseSmallInt("32768", s));

  int32_t l;
  EXPECT_TRUE(ParseLongInt("2147483647", l));
  EXPECT_FALSE(ParseLongInt("2147483648", l));
  EXPECT_FALSE(ParseLongInt("99999999999999999999999", l));
}

TEST(ParseTest, TrailingBlanksAreTrimmedButTheNumberMustBeComplete) {
  uint16_t w;
  EXPECT_TRUE(ParseWord("12  ", w));
  EXPECT_EQ(w, 12);
  EXPECT_FALSE(ParseWord("12a", w));
  EXPECT_FALSE(ParseWord("1 2", w));
  EXPECT_FALSE(ParseWord("", w));
  EXPECT_FALSE(ParseWord("   ", w));
  EXPECT_FALSE(ParseWord("1.0", w));
  EXPECT_FALSE(ParseWord("+", w));
}

TEST(ParseTest, RealsRejectGarbageAndOverflow) {
  double d;
  EXPECT_TRUE(ParseReal("2.5 ", d));
  EXPECT_DOUBLE_EQ(d, 2.5);
  EXPECT_TRUE(ParseReal("-.5", d));
  EXPECT_DOUBLE_EQ(d, -0.5);
  EXPECT_TRUE(ParseReal("1e3", d));
  EXPECT_DOUBLE_EQ(d, 1000);
  EXPECT_FALSE(ParseReal("1e400", d));
  EXPECT_EQ(d, 0);
  for (const char* bad : {"inf", "nan", "0x10", ".", "1e", "1.2.3", "5,0", "--1"}) {
    EXPECT_FALSE(ParseReal(bad, d)) << bad;
    EXPECT_EQ(d, 0) << bad;
  }
}

TEST(ParseTest, SinglesMustFitAFloat) {
  float f;
  EXPECT_TRUE(ParseSingle("3.4e38", f));
  EXPECT_FALSE(ParseSingle("3.5e38", f));
  EXPECT_EQ(f, 0);
}

}  // namespace
