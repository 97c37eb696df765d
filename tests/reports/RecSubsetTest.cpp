// Record subsets: the classification of every data type on 32-bit floats, membership with unknown
// categories, table placement, attaching to projects of another state, the selection text.
#include <gtest/gtest.h>

#include "../support/RefSamples.h"
#include "../support/TempDir.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "reports/RecSubset.h"
#include "store/LoadedRefs.h"
#include "store/MdaFile.h"

namespace {

// Sample county names: 1 Alabama (3 counties), 2 Iowa (2 counties), 3 New Mexico.
class RecSubsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteSampleReferenceFiles(Dir.Path());
    ASSERT_TRUE(Mcn.Load(Dir.File("usa.mcn")));
    ASSERT_TRUE(Mdf.Load(Dir.File("stnd-usa.mdf")));
    ASSERT_TRUE(Open(Alabama, "al.tsj", 1));
  }
  bool Open(TMdaFile& file, const std::string& name, uint16_t state) {
    return file.CreateProject(Dir.File(name), state, Refs, "t", 2024);
  }
  // An Alabama record that every type can classify.
  static TFieldRec Known() {
    TFieldRec r = NewRecordTemplate(1, 2024, 1);
    r.County = 3;
    r.Cur_Crop = 1;
    r.Cov_Crop = 0;
    r.Prev_Crop = 2;
    r.Cur_Till = 2;
    r.Till_Years = 4;
    r.Soil_Sym[0] = "138B";
    r.Soil_Slope[0] = 2.5f;
    r.Soil_FldPct[0] = 100;
    r.Soil_Rating[0] = 110;
    r.Residue = 30;
    r.Water_Loss = 3.5f;
    r.Wind_Loss = 0.4f;  // 3.9 in floats: still the first class
    r.Row_Width = 30;
    r.P = 16;
    r.P_Units = 2;
    return r;
  }

  TTempDir Dir;
  TMcnFile Mcn;
  TMdfFile Mdf;
  TLoadedRefs Refs{Mcn, Mdf};
  TMdaFile Alabama;
  TRecordSubset Subset;
};

TEST_F(RecSubsetTest, ClassifiesEveryDataTypeOnFloatLimits) {
  Subset.Attach(Alabama);
  EXPECT_EQ(Subset.TypeName(sdCountry), "State");
  EXPECT_EQ(Subset.ItemName(sdCountry, 1), "Alabama");
  EXPECT_EQ(Subset.TypeName(sdCounty), "County");
  EXPECT_EQ(Subset.ItemCount(sdCounty), 3);
  EXPECT_EQ(Subset.ItemName(sdCounty, 2), "Baldwin");
  EXPECT_EQ(Subset.ColumnWidth(sdCounty), 20);
  EXPECT_EQ(Subset.ItemName(sdCovCrop, 7), "No cover crop");
  EXPECT_EQ(Subset.ItemCount(sdPrevCrop), 19);

  TFieldRec r = Known();
  const int expected[kSubsetTypes + 1] = {0, 1, 3, 1, 7, 3, 2, 2, 1, 2, 2, 1, 3, 2, 2, 1, 2};
  for (int type = sdCountry; type <= kSubsetTypes; ++type)
    EXPECT_EQ(Subset.Category(type, r), expected[type]) << Subset.TypeName(type);
  EXPECT_EQ(Subset.ItemName(sdCurCrop, 1), "Corn");
  EXPECT_EQ(Subset.ItemName(sdPrevCrop, 3), "Soybeans");

  // The predominant soil decides the slope: 2.95 is above the float nearest 2.9.
  r.Soil_Name[1] = "Nicollet";
  r.Soil_Slope[1] = 2.95f;
  r.Soil_FldPct[0] = 40;
  r.Soil_FldPct[1] = 50;
  r.Soil_Rating[1] = 130;
  EXPECT_EQ(Subset.Category(sdSlope, r), 2);
  EXPECT_EQ(Subset.Category(sdRating, r), 0) << "percents add up to 90";
  r.Soil_FldPct[0] = 50;
  EXPECT_EQ(Subset.Category(sdRating, r), 2) << "55 + 65 = 120 is Medium";
  r.Soil_Rating[1] = 141;
  EXPECT_EQ(Subset.Category(sdRating, r), 3) << "55 + 70.5 = 125.5 is High";

  // Fertilizer N: 100 lb of 46-0-0 plus 18.2 gallons of 28-0-0 at 10.66 lb/gal = 46 + 54.32.
  r.Fert_N[0] = 46;
  r.Fert_Rate[0] = 100;
  r.Fert_Units[0] = 2;
  r.Fert_N[1] = 28;
  r.Fert_Rate[1] = 18.2f;
  r.Fert_Units[1] = 7;
  EXPECT_EQ(Subset.Category(sdTotalN, r), 2);
  r.Fert_P2O5[1] = 2;  // 28-2-0 is not in the density table: 10.5 lb/gal gives 53.508, total 99.508
  EXPECT_EQ(Subset.Category(sdTotalN, r), 1);
  r.Fert_Units[1] = 0;  // no unit and form 0: 200 lb, 56 + 46 = 102
  r.Fert_Rate[1] = 200;
  EXPECT_EQ(Subset.Category(sdTotalN, r), 2);

  r.Biotech[4] = 1955;
  r.Othr_Input[3] = 7002;
  EXPECT_EQ(Subset.Category(sdSeedType, r), 1);
  EXPECT_EQ(Subset.Category(sdInsecticide, r), 2);
  r.Ins_Input[7] = 5001;
  EXPECT_EQ(Subset.Category(sdInsecticide, r), 1);

  TFieldRec blank = NewRecordTemplate(2, 2024, 1);
  for (int type : {sdCounty, sdCurCrop, sdPrevCrop, sdTillage, sdTillYears, sdSlope, sdRating, sdResidue, sdSoilLoss,
                   sdRowWidth, sdPTest})
    EXPECT_EQ(Subset.Category(type, blank), 0) << Subset.TypeName(type);
  EXPECT_EQ(Subset.Category(sdCovCrop, blank), 7);
  EXPECT_EQ(Subset.Category(sdTotalN, blank), 1);
  blank.Cov_Crop = 1;  // corn cannot be a cover crop
  EXPECT_EQ(Subset.Category(sdCovCrop, blank), 0);
}

TEST_F(RecSubsetTest, UnknownCategoriesPassOnlyFullyCheckedTypesAndNeverTableAxes) {
  Subset.Attach(Alabama);
  TFieldRec sloped = Known(), steeper = Known(), noSlope = Known();
  steeper.Soil_Slope[0] = 2.95f;
  noSlope.Soil_Slope[0] = -1;
  for (const TFieldRec* r : {&sloped, &steeper, &noSlope}) EXPECT_TRUE(Subset.Contains(*r, 0, true, 0));
  EXPECT_FALSE(Subset.Contains(noSlope, sdSlope, true, 0));
  EXPECT_FALSE(Subset.Contains(noSlope, sdCurCrop, false, sdSlope));
  EXPECT_TRUE(Subset.Contains(noSlope, sdCurCrop, false, sdTillage));

  Subset.SaveSets();
  Subset.Toggle(sdSlope, 1);
  EXPECT_FALSE(Subset.Contains(sloped, 0, true, 0));
  EXPECT_TRUE(Subset.Contains(steeper, 0, true, 0));
  EXPECT_FALSE(Subset.Contains(noSlope, 0, true, 0));
  EXPECT_TRUE(Subset.Contains(sloped, 0, false, 0));
  EXPECT_EQ(Subset.CheckedCount(sdSlope), 3);
  EXPECT_EQ(Subset.CheckedItemName(sdSlope, 1), "3-6%");
  EXPECT_EQ(Subset.CheckedItemName(sdSlope, 4), "");
  EXPECT_EQ(Subset.CheckedPosition(sdSlope, steeper), 1);
  EXPECT_EQ(Subset.CheckedPosition(sdSlope, sloped), 0);
  Subset.Toggle(sdTillage, 1);
  EXPECT_EQ(Subset.CheckedPosition(sdTillage, sloped), 1) << "tillage 2 is now the first checked item";

  Subset.RestoreSets();
  EXPECT_TRUE(Subset.Contains(sloped, 0, true, 0));
  EXPECT_EQ(Subset.CheckedCount(sdTillage), 6);
}

TEST_F(RecSubsetTest, AnotherStateRechecksOnlyCountiesAndMultiStateCountsStates) {
  Subset.Attach(Alabama);
  Subset.Toggle(sdCurCrop, 1);
  Subset.UncheckAll(sdCounty);
  Subset.Toggle(sdCounty, 2);
  TMdaFile same, iowa, multi;
  ASSERT_TRUE(Open(same, "al2.tsj", 1));
  Subset.Attach(same);
  EXPECT_EQ(Subset.CheckedCount(sdCounty), 1) << "same state keeps the county ticks";

  ASSERT_TRUE(Open(iowa, "ia.tsj", 2));
  Subset.Attach(iowa);
  EXPECT_EQ(Subset.StateNumber(), 2);
  EXPECT_EQ(Subset.CheckedCount(sdCounty), 2);
  EXPECT_EQ(Subset.CheckedCount(sdCurCrop), 16) << "the unchecked Corn stays unchecked";

  ASSERT_TRUE(Open(multi, "us.tsj", 0));
  Subset.Attach(multi);
  EXPECT_EQ(Subset.TypeName(sdCountry), "Country");
  EXPECT_EQ(Subset.ItemName(sdCountry, 1), "USA");
  EXPECT_EQ(Subset.TypeName(sdCounty), "State");
  EXPECT_EQ(Subset.ItemName(sdCounty, 3), "New Mexico");
  EXPECT_EQ(Subset.ColumnWidth(sdCounty), 14);
  TFieldRec r = Known();
  r.State = 3;
  EXPECT_EQ(Subset.Category(sdCounty, r), 3);
  r.State = 4;
  EXPECT_EQ(Subset.Category(sdCounty, r), 0);
}

TEST_F(RecSubsetTest, SelectionTextTicksNamedItemsAndNamesItsFaults) {
  Subset.Attach(Alabama);
  std::string error;
  ASSERT_TRUE(Subset.ApplySpec("current crop=corn, 3 ; 6=No-till", error)) << error;
  EXPECT_EQ(Subset.CheckedCount(sdCurCrop), 2);
  EXPECT_TRUE(Subset.IsChecked(sdCurCrop, 1));
  EXPECT_TRUE(Subset.IsChecked(sdCurCrop, 3));
  EXPECT_EQ(Subset.CheckedCount(sdTillage), 1);
  EXPECT_EQ(Subset.CheckedCount(sdSlope), 4);

  ASSERT_TRUE(Subset.ApplySpec("slope=3-6%", error));
  EXPECT_EQ(Subset.CheckedCount(sdCurCrop), 17) << "types not named are fully checked again";

  EXPECT_FALSE(Subset.ApplySpec("1=Alabama", error));
  EXPECT_EQ(error, "Unknown data type in \"1=Alabama\".");
  EXPECT_FALSE(Subset.ApplySpec("slope=3-6%;Seed type=GMO", error));
  EXPECT_EQ(error, "Unknown item \"GMO\" of Seed type.");
  EXPECT_FALSE(Subset.ApplySpec("Residue", error));
  EXPECT_EQ(Subset.CheckedCount(sdSlope), 1) << "a failed selection changes nothing";
}

}  // namespace
