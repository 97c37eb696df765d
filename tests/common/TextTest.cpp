#include <gtest/gtest.h>

#include "common/Cp1252.h"
#include "common/Density.h"
#include "common/Flags.h"
#include "common/TextUtil.h"

namespace {

TEST(Cp1252Test, HighRangeMapsExactly) {
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");     // euro sign
  EXPECT_EQ(Cp1252ToUtf8("\x93x\x94"), "\xE2\x80\x9Cx\xE2\x80\x9D");
  EXPECT_EQ(Cp1252ToUtf8("\xE9"), "\xC3\xA9");         // e acute
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC"), "\x80");
  EXPECT_EQ(Utf8ToCp1252("\xC3\xA9t\xC3\xA9"), "\xE9t\xE9");
}

TEST(Cp1252Test, EveryByteRoundTrips) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252Test, UnrepresentableAndMalformedBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");   // a CJK character
  EXPECT_EQ(Utf8ToCp1252("a\xFF" "b"), "a?b");    // not UTF-8
  EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");           // cut sequence
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "?");       // overlong
}

TEST(TextUtilTest, CaseInsensitiveComparison) {
  EXPECT_TRUE(SameText("Corn", "CORN"));
  EXPECT_FALSE(SameText("Corn", "Corns"));
  EXPECT_LT(CompareText("apple", "Banana"), 0);
  EXPECT_GT(CompareText("b", "A"), 0);
  EXPECT_EQ(CompareText("\xE9t\xE9", "\xC9T\xC9"), 0);  // accented letters fold too
  EXPECT_TRUE(ContainsText("Limed in 2010", "LIMED"));
  EXPECT_EQ(UpperCase("abc\xE9"), "ABC\xC9");
  EXPECT_TRUE(EndsWithText("plan.TSJ", ".tsj"));
}

TEST(FlagsTest, BitsCountFromOne) {
  EXPECT_EQ(FlagBit(1), 1u);
  EXPECT_EQ(FlagBit(16), 0x8000u);
  EXPECT_EQ(FlagBit(32), 0x80000000u);
  EXPECT_EQ(FlagBit(0), 0u);
  EXPECT_TRUE(HasFlag(0x20, 6));
  EXPECT_EQ(WithFlag(0, 5, true), 0x10u);
  EXPECT_EQ(WithFlag(0x1F, 5, false), 0x0Fu);
}

TEST(DensityTest, KnownLiquidsAndDefault) {
  EXPECT_DOUBLE_EQ(LiquidDensity(28, 0, 0), 10.66);
  EXPECT_DOUBLE_EQ(LiquidDensity(32, 0, 0), 11.04);
  EXPECT_DOUBLE_EQ(LiquidDensity(10, 34, 0), 11.57);
  EXPECT_DOUBLE_EQ(LiquidDensity(82, 0, 0), 5.0);
  EXPECT_DOUBLE_EQ(LiquidDensity(28.4, 0, 0), 10.66);  // whole-number percents
  EXPECT_DOUBLE_EQ(LiquidDensity(9, 18, 9), 10.5);
}

}  // namespace
