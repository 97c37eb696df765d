#include "reports/SetbacksRpt.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// "value" or "null" per variable name.
std::map<std::string, std::string> Values(const TSetbacksRptSettingsRec& s) {
  std::map<std::string, std::string> out;
  for (const TExprVar& v : SetbacksCriteriaVars(s)) out[v.Name] = v.IsNull ? "null" : std::to_string(int(v.Value * 10));
  return out;
}

TEST(SetbacksTest, CriteriaVariablesOfAnApplication) {
  TSetbacksRptSettingsRec s;
  s.HowApplied = haInjected;
  EXPECT_EQ(SetbacksCriteriaVars(s).size(), 20u);
  auto v = Values(s);
  EXPECT_EQ(v["IsInject"], "-10");
  EXPECT_EQ(v["IsLiquid"], "-10");
  EXPECT_EQ(v["DaysToInc"], "null");
  EXPECT_EQ(v["Slope"], "null");
  EXPECT_EQ(v["IsResidue"], "null");
  EXPECT_EQ(v["Residue"], "null");
  EXPECT_EQ(v["IsBuffer"], "0");
  EXPECT_EQ(v["BufWidth"], "0");
  EXPECT_EQ(v["NLI"], "null");
  EXPECT_EQ(v["Is303dList"], "null");
  s.HowApplied = haSolidIncorporated;
  s.DaysToIncorporation = 2.5;
  s.ResiduePercent = 29;
  s.SlopePercent = 3.2;
  s.BufferWidth = 40;
  s.AppliedTo[acWinter] = s.AppliedTo[acPManagement] = true;
  v = Values(s);
  EXPECT_EQ(v["IsLiquid"], "0");
  EXPECT_EQ(v["DaysToInc"], "25");
  EXPECT_EQ(v["Slope"], "32");
  EXPECT_EQ(v["IsResidue"], "0");
  EXPECT_EQ(v["Residue"], "290");
  EXPECT_EQ(v["IsBuffer"], "-10");
  EXPECT_EQ(v["BufWidth"], "400");
  EXPECT_EQ(v["IsWinter"], "-10");
  EXPECT_EQ(v["IsPMgmt"], "-10");
  EXPECT_EQ(v["IsFrozen"], "0");
  s.ResiduePercent = 30;
  s.HowApplied = haIrrigated;
  v = Values(s);
  EXPECT_EQ(v["IsResidue"], "-10");
  EXPECT_EQ(v["IsIrrigate"], "-10");
  EXPECT_EQ(v["DaysToInc"], "1000");  // neither injected nor incorporated
}

// The checks run in the dialog's order and store the numbers only when all pass.
TEST(SetbacksTest, EntryChecksInOrder) {
  TSetbacksRptSettingsRec s;
  TSetbacksFault fault = TSetbacksFault::None;
  EXPECT_EQ(CheckSetbacksEntries({0, haNone, "x", "", "", ""}, s, &fault), "You must check at least one feature.");
  EXPECT_EQ(fault, TSetbacksFault::Features);
  EXPECT_EQ(CheckSetbacksEntries({1, haNone, "x", "", "", ""}, s, &fault), "You must select how manure will be applied.");
  EXPECT_EQ(CheckSetbacksEntries({1, haLiquidSurface, "", "0", "", ""}, s, &fault), "Buffer Width (Feet) is invalid.");
  EXPECT_EQ(fault, TSetbacksFault::Buffer);
  EXPECT_EQ(s.HowApplied, haNone);
  EXPECT_EQ(CheckSetbacksEntries({2, haLiquidIncorporated, "1.26  ", "999", "50", "0"}, s, &fault), "");
  EXPECT_EQ(fault, TSetbacksFault::None);
  EXPECT_EQ(s.HowApplied, haLiquidIncorporated);
  EXPECT_DOUBLE_EQ(s.DaysToIncorporation, 1.3);
  EXPECT_EQ(s.BufferWidth, 999);
  EXPECT_DOUBLE_EQ(s.SlopePercent, 50);
  EXPECT_EQ(s.ResiduePercent, 0);
  EXPECT_EQ(CheckSetbacksEntries({2, haInjected, "", "", "", ""}, s), "");
  EXPECT_EQ(s.DaysToIncorporation, -1);
  EXPECT_EQ(s.BufferWidth, -1);
  EXPECT_EQ(s.ResiduePercent, -1);
}

}  // namespace
