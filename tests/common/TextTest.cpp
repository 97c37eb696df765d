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

// Stored text never turns into '?' unnoticed: what code page 1252 lacks refuses the text, or is
// replaced and counted when asked; control characters are found wherever they are.
TEST(Cp1252Test, ImportedTextIsRefusedOrReplacedAndCounted) {
  const std::string lodz = "\xC5\x81\xC3\xB3" "d\xC5\xBA \xE4\xB8\xAD\xE6\x96\x87";  // "Łódź 中文"
  TTextImport refuse;
  std::string text, why;
  EXPECT_FALSE(ImportUtf8(lodz, text, refuse, why));
  EXPECT_EQ(why, "holds the character U+0141, which code page 1252 cannot hold");
  EXPECT_TRUE(refuse.Refused);
  EXPECT_FALSE(ImportUtf8("ok \xFF", text, refuse, why));
  EXPECT_EQ(why, "holds bytes that are not UTF-8 (at byte 4)");
  ASSERT_TRUE(ImportUtf8("Caf\xC3\xA9 \xE2\x82\xAC", text, refuse, why));  // all of it in the code page
  EXPECT_EQ(text, "Caf\xE9 \x80");

  TTextImport replace{true};
  ASSERT_TRUE(ImportUtf8(lodz, text, replace, why));
  EXPECT_EQ(text, "L\xF3" "dz ??");
  // A combining accent and a zero-width space are left out, a non-breaking hyphen is plain.
  ASSERT_TRUE(ImportUtf8("e\xCC\x81\xE2\x80\x8B-\xE2\x80\x91x\xC3", text, replace, why));
  EXPECT_EQ(text, "e--x?");
  EXPECT_EQ(replace.Replaced, 4 + 4);
  EXPECT_FALSE(replace.Refused);

  EXPECT_EQ(FindControlChar("North"), std::string::npos);
  EXPECT_EQ(FindControlChar("a\r\nb", true), std::string::npos);
  EXPECT_EQ(ControlCharRule(std::string("a\r\nb\0", 5), true), "must not hold control characters (it holds U+0000)");
  EXPECT_EQ(ControlCharRule("a\tb"), "must not hold control characters (it holds U+0009)");
  EXPECT_EQ(ControlCharRule("\x9D"), "must not hold control characters (it holds U+009D)");  // undefined in 1252
  EXPECT_EQ(ControlCharRule("\x9C\xFF"), "");
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
