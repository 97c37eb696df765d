// The reference files the build generates beside the program, loaded by the program's own loaders.
#include <gtest/gtest.h>

#include <filesystem>

#include "../support/TempDir.h"
#include "reference/MccFile.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"

namespace {

const std::string kCountyFile = std::string(TESSEREL_RUNTIME_DIR) + "/" + kCountyFileName;

bool Generated() {
  return std::filesystem::exists(kCountyFile) && std::filesystem::exists(DefinitionFileName(kCountyFile));
}

}  // namespace

TEST(ShippedFiles, CountyNamesAndDefinitionsLoadTogether) {
  if (!Generated()) GTEST_SKIP() << "reference files not generated in " << TESSEREL_RUNTIME_DIR;
  TMcnFile mcn;
  ASSERT_TRUE(mcn.Load(kCountyFile)) << mcn.FullErrorText();
  EXPECT_EQ(mcn.CountryCode(), 1);
  EXPECT_EQ(mcn.CountryName(), "USA");
  EXPECT_EQ(mcn.RegionWord(), "state");
  EXPECT_EQ(mcn.StateCount(), 50);
  EXPECT_EQ(mcn.StateName(1), "Alabama");
  EXPECT_EQ(mcn.StateAbbrev(15), "IA");
  EXPECT_EQ(mcn.StateAbbrev(50), "WY");
  const int texas = mcn.FindStateByAbbrev("TX");
  ASSERT_GT(texas, 0);
  EXPECT_EQ(mcn.CountyCount(texas), 254);
  EXPECT_FALSE(mcn.CountyName(mcn.CountyCount(texas), texas).empty());

  TMdfFile mdf;
  ASSERT_TRUE(mdf.LoadForCountry(DefinitionFileName(kCountyFile), mcn.CountryCode())) << mdf.FullErrorText();
  EXPECT_GT(mdf.InputCount(), 0);
  EXPECT_LE(mdf.InputCount(), kMaxInputs);
  EXPECT_NE(mdf.FindInput(TMdfFile::SeedCode(1)), 0);
  EXPECT_NE(mdf.FindInput(1002), 0);

  // Standard costs survive a round trip through a custom cost file.
  TTempDir dir;
  TMccFile mcc;
  ASSERT_TRUE(mcc.SaveCosts(dir.File("standard.mcc"), mdf)) << mcc.FullErrorText();
  ASSERT_TRUE(mcc.LoadCosts(dir.File("standard.mcc"), mdf)) << mcc.FullErrorText();
  for (int i = 1; i <= mdf.InputCount(); ++i) {
    const TMdfInputRec input = mdf.GetInput(i);
    if (mdf.FindInput(input.Code) != i) continue;  // a duplicate or a code outside the categories
    EXPECT_EQ(mdf.InputCost(input.Code), input.Cost) << input.Code;
  }
}
