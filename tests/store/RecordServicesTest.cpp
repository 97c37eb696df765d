// Record services of the open project: checks, sorting by date, crop change tests, the record
// transformation of extract, and the Find tests.
#include <gtest/gtest.h>

#include "../support/TempDir.h"
#include "FakeRefs.h"
#include "common/Flags.h"
#include "common/Locale.h"
#include "vocab/CropVocab.h"
#include "store/MdaFind.h"
#include "store/MdaFile.h"

namespace {

constexpr uint32_t Bit(int crop) { return 1u << (crop - 1); }

class RecordServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PinUsLocale();
    refs.inputs[6001] = {Bit(1) | Bit(2), 1, 0};  // planter for corn and soybeans
    refs.inputs[6002] = {Bit(1), 2, 0};           // corn combine
    refs.inputs[7001] = {Bit(3), 6, 1};           // custom wheat seeding, an other input
    refs.inputs[7002] = {Bit(3), 6, 2};           // custom wheat harvest
    refs.inputs[4001] = {Bit(1) | Bit(3), 0, 0};  // herbicide for corn and wheat
    refs.inputs[1951] = {Bit(1), 0, 0};           // corn trait
    ASSERT_TRUE(file.CreateProject(dir.File("p.tsj"), 0, refs, "", 2012));
  }

  // A corn record without any missing item.
  TFieldRec CompleteCorn() {
    TFieldRec r = file.NewRecord(1, 1);
    r.County = 2;
    r.Cur_Crop = 1;
    r.Cur_Till = 1;
    r.Cur_PlRate = 32000;
    r.Oper_Input[0] = 6001, r.Oper_Trips[0] = 1, r.Oper_Date[0] = 40000;
    r.Oper_Input[1] = 6002, r.Oper_Trips[1] = 1, r.Oper_Date[1] = 40100;
    r.Soil_Sym[0] = "55B", r.Soil_FldPct[0] = 100, r.Soil_TValue[0] = 5, r.Soil_Rating[0] = 80;
    r.Water_Loss = 2;
    r.Cur_Mois = 18, r.Cur_Yield = 180;
    return r;
  }

  std::vector<int> Checks(const TFieldRec& r) const { return file.CheckRecord(r); }

  TTempDir dir;
  TFakeRefs refs;
  TMdaFile file;
};

TEST_F(RecordServicesTest, AnEmptyRecordMissesTheBasics) {
  EXPECT_EQ(Checks(file.NewRecord(1, 1)), (std::vector<int>{1, 5, 24, 27, 29, 31}));
  EXPECT_TRUE(Checks(CompleteCorn()).empty());
}

TEST_F(RecordServicesTest, ChecksOfTablesAndSoils) {
  TFieldRec r = CompleteCorn();
  r.P = 12, r.Mg = 3, r.P_Units = 1;                 // 2: Mg without units
  r.Till_Years = 2, r.Prev_Till = 6;                 // 3
  r.SetFlag(rfCustK, true);                          // 4
  r.Fert_N[3] = 46;                                  // 7, 8
  r.OFert_Input[4] = 3001;                           // 9
  r.Man_Input[1] = 3100, r.Man_TotN[1] = 5, r.Man_NH4N[1] = 6;  // 10, 11, 12, 13
  r.Herb_Input[11] = 4001;                           // 14
  r.Ins_Input[7] = 5001;                             // 15
  r.Oper_Input[19] = 6003;                           // 16, 17
  r.Othr_Input[9] = 7003;                            // 22
  r.Soil_Name[2] = "Clarion";                        // 23, 25, 26 (the percentages still sum to 100)
  r.Residue = 30;                                    // 28: no-till needs more than 30
  EXPECT_EQ(Checks(r), (std::vector<int>{2, 3, 4, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 22, 23, 25, 26, 28}));
  r.Rent_Value = 0;
  r.Soil_Rating[0] = 0;
  r.Soil_Name[2] = "";
  EXPECT_EQ(Checks(r).back(), 28);
  const auto checks = Checks(r);
  EXPECT_NE(std::find(checks.begin(), checks.end(), 27), checks.end());
}

TEST_F(RecordServicesTest, ResidueLimitsFollowTheTillageSystem) {
  struct TCase {
    uint16_t till;
    int16_t residue;
    bool reported;
  };
  for (const TCase c : {TCase{1, 31, false}, TCase{4, 30, true}, TCase{5, 15, true}, TCase{5, 16, false},
                        TCase{5, 30, false}, TCase{5, 31, true}, TCase{6, 15, false}, TCase{6, 16, true},
                        TCase{6, -1, false}, TCase{0, 0, false}}) {
    TFieldRec r = CompleteCorn();
    r.Cur_Till = c.till;
    r.Residue = c.residue;
    const auto checks = Checks(r);
    EXPECT_EQ(std::find(checks.begin(), checks.end(), 28) != checks.end(), c.reported)
        << c.till << " " << c.residue;
  }
}

TEST_F(RecordServicesTest, OperationsOfBothCropsAreFoundByKindAndCrop) {
  TFieldRec r = CompleteCorn();
  r.Oper_Input[1] = 0;  // no combine: the planter does not harvest
  EXPECT_EQ(Checks(r), std::vector<int>{19});
  r.Cov_Crop = 3, r.Cov_PlRate = 2, r.Cov_Goal = 60, r.Cov_Mois = 13;  // wheat harvested as first crop
  EXPECT_EQ(Checks(r), (std::vector<int>{19, 20, 21, 36}));
  r.Othr_Input[0] = 7001, r.Othr_Cost[0] = 12;
  r.Othr_Input[1] = 7002, r.Othr_Cost[1] = 15;
  EXPECT_EQ(Checks(r), (std::vector<int>{19, 36}));
  r.Cur_Crop = 17;  // grass needs neither planting rate nor operations
  r.Cur_PlRate = 0;
  EXPECT_EQ(Checks(r), std::vector<int>{36});
}

TEST_F(RecordServicesTest, CropWordsShapeTheYieldMessages) {
  TFieldRec r = CompleteCorn();
  r.Cur_Crop = crCotton, r.Cur_PlRate = 12, r.Cur_Yield = 0, r.Cur_Mois = 0;
  EXPECT_EQ(Checks(r), (std::vector<int>{18, 19, 31, 33}));
  EXPECT_EQ(TMdaFile::CheckText(31, r), "Primary crop's lint yield and yield goal are both missing.");
  EXPECT_EQ(TMdaFile::CheckText(33, r), "Primary crop's seed yield is missing. Estimate used in calculations.");
  r.Cur_Crop = crSugarBeets, r.Cur_Goal = 25;
  EXPECT_EQ(TMdaFile::CheckText(30, r), "Primary crop's harvest sugar is missing.");
  EXPECT_EQ(TMdaFile::CheckText(32, r),
            "Primary crop's harvest yield is missing. Yield goal used in calculations.");
  r.Cov_Crop = 15, r.Cov_Yield = 2;  // clover is not harvested as a first crop
  EXPECT_EQ(TMdaFile::CheckText(34, r), "Non-harvested cover crop has a harvest yield or yield goal.");
  const auto checks = Checks(r);
  EXPECT_NE(std::find(checks.begin(), checks.end(), 34), checks.end());
  EXPECT_EQ(std::find(checks.begin(), checks.end(), 21), checks.end());
  EXPECT_EQ(TMdaFile::CheckText(24, r), "Soil field percentages don't sum to 100%.");
  EXPECT_EQ(TMdaFile::CheckText(38, r), "");
}

TEST_F(RecordServicesTest, SortingPutsDatedRowsFirstAndMovesWholeRows) {
  TFieldRec r = file.NewRecord(1, 1);
  const uint16_t may12 = EncodeDay(2012, 5, 12), apr3 = EncodeDay(2012, 4, 3);
  const uint16_t dates[] = {0, may12, 0, apr3};
  for (int i = 0; i < 4; ++i) {
    r.Fert_Date[i] = dates[i];
    r.Fert_N[i] = static_cast<float>(i + 1);
    r.Fert_Form[i] = static_cast<uint8_t>(i + 1);
  }
  r.Man_Input[0] = 3100, r.Man_Date[0] = may12, r.Man_Legacy[0] = 7, r.Man_Method[0] = 2, r.Man_PctDM[0] = 5;
  r.Man_Input[1] = 3101, r.Man_Date[1] = apr3, r.Man_Legacy[1] = 9, r.Man_NH4N[1] = 1;
  r.Othr_Input[2] = 7001, r.Othr_Date[2] = apr3, r.Othr_Desc[2] = "Lime";
  TMdaFile::SortInputs(r);
  EXPECT_EQ(r.Fert_Date[0], apr3);
  EXPECT_EQ(r.Fert_Date[1], may12);
  EXPECT_EQ(r.Fert_Date[2], 0);
  EXPECT_EQ(r.Fert_Date[3], 0);
  EXPECT_FLOAT_EQ(r.Fert_N[0], 4.0f);
  EXPECT_EQ(r.Fert_Form[0], 4);
  EXPECT_FLOAT_EQ(r.Fert_N[1], 2.0f);
  EXPECT_EQ(r.Man_Input[0], 3101);
  EXPECT_EQ(r.Man_Legacy[0], 9);
  EXPECT_FLOAT_EQ(r.Man_NH4N[0], 1.0f);
  EXPECT_EQ(r.Man_Legacy[1], 7);
  EXPECT_EQ(r.Man_Method[1], 2);
  EXPECT_FLOAT_EQ(r.Man_PctDM[1], 5.0f);
  EXPECT_EQ(r.Othr_Input[0], 7001);
  EXPECT_EQ(r.Othr_Desc[0].Str(), "Lime");
  EXPECT_EQ(r.Othr_Desc[2].Str(), "");
}

TEST_F(RecordServicesTest, CropChangesThatWouldLoseData) {
  TFieldRec r = file.NewRecord(1, 1);
  r.Cur_Crop = 1;
  EXPECT_FALSE(file.PrimaryCropChangeLosesData(r, 2));
  r.Herb_Input[0] = 4001;  // corn and wheat
  EXPECT_TRUE(file.PrimaryCropChangeLosesData(r, 2));
  r.Cov_Crop = 3;  // still valid for the cover crop
  EXPECT_FALSE(file.PrimaryCropChangeLosesData(r, 2));
  EXPECT_FALSE(file.CoverCropChangeLosesData(r, 4));  // valid for the primary crop
  r.Biotech[0] = 1951;
  EXPECT_TRUE(file.PrimaryCropChangeLosesData(r, 2));
  EXPECT_FALSE(file.PrimaryCropChangeLosesData(r, 1));
  r.Biotech[0] = 0;
  r.Cur_StMois = 15;
  EXPECT_TRUE(file.PrimaryCropChangeLosesData(r, 2));
  r.Cur_StMois = 0;
  r.Cov_PlRate = 90;
  EXPECT_TRUE(file.CoverCropChangeLosesData(r, 4));
  r.Cov_PlRate = 0;
  r.Cov_Prem = 1951;  // a code valid for corn only
  EXPECT_TRUE(file.CoverCropChangeLosesData(r, 4));
  EXPECT_FALSE(file.CoverCropChangeLosesData(r, 1));
}

TEST_F(RecordServicesTest, AdvancingAYearMovesTheCropsAndClearsTheSeason) {
  TFieldRec r = file.NewRecord(7, 2);
  r.Operation = "Smith Farms", r.Contact = "Joe", r.Addr_Road = "RR 1", r.Email_Addr = "joe@example.com";
  r.Notes = "Limed", r.FSA_Tract = "123", r.Field_Size = 40, r.P_Test = 2, r.Soil_Sym[0] = "55B";
  r.Prev_Crop = 2;
  r.Cov_Crop = 13, r.Cov_Goal = 40, r.Cov_Code = 5, r.Cov_PctLeg = 10;
  r.Cur_Crop = crOther, r.Cur_Code = 9, r.Cur_Till = 1, r.Cur_Goal = 150, r.Cur_Yield = 0, r.Cur_PctLeg = 30;
  r.Next_Crop = crOtherHistory, r.Next_Code = 4, r.Next_Till = 6, r.Next_Goal = 45, r.Next_PctLg = 20;
  r.Flags = static_cast<uint16_t>(FlagBit(2) | FlagBit(3) | FlagBit(5) | FlagBit(6) | FlagBit(16));
  r.Irrig_N = 10, r.Cust_NRec = 100, r.Cust_Source = "Lab", r.Till_Years = 4;
  r.Plant_Date = 40000, r.Cur_PlRate = 30000, r.Biotech[4] = 1951, r.Seed_Count = 5;
  r.Fert_N[9] = 46, r.Man_Legacy[4] = 3, r.Man_PctDM[4] = 20, r.Othr_Desc[9] = "x", r.Oper_Date[19] = 5;
  r.Residue = 40, r.Cur_Area = 40, r.Cov_Yield2 = 3, r.Water_Loss = 2, r.Drain_Type = 1;

  TFieldRec kept = r;
  StripRecord(kept, false, false, false, false);
  EXPECT_TRUE(SameRecord(kept, r));

  StripRecord(r, true, true, true, true);
  EXPECT_EQ(r.Year, 2013);
  EXPECT_EQ(r.Operation.Str(), "");
  EXPECT_EQ(r.Contact.Str(), "");
  EXPECT_EQ(r.Addr_Road.Str(), "");
  EXPECT_EQ(r.Email_Addr.Str(), "");
  EXPECT_EQ(r.Notes.Str(), "");
  EXPECT_EQ(r.FSA_Tract.Str(), "");
  EXPECT_EQ(r.Prev_Crop, crOtherHistory);
  EXPECT_EQ(r.Prev_Code, 9);
  EXPECT_EQ(r.Prev_Till, 1);
  EXPECT_FLOAT_EQ(r.Prev_Yield, 150.0f);  // no yield: the goal
  EXPECT_EQ(r.Prev_PctLg, 30);
  EXPECT_EQ(r.Cov_Crop, 0);
  EXPECT_EQ(r.Cov_Code, 0);
  EXPECT_FLOAT_EQ(r.Cov_Goal, 0.0f);
  EXPECT_EQ(r.Cur_Crop, crOther);
  EXPECT_EQ(r.Cur_Code, 4);
  EXPECT_EQ(r.Cur_Till, 6);
  EXPECT_FLOAT_EQ(r.Cur_Goal, 45.0f);
  EXPECT_EQ(r.Cur_PctLeg, 20);
  EXPECT_EQ(r.Next_Crop, 0);
  EXPECT_EQ(r.Next_PctLg, 0);
  // Percent legume flags moved with their slots; the custom recommendation flag is cleared.
  EXPECT_EQ(r.Flags, FlagBit(1) | FlagBit(5) | FlagBit(16));
  EXPECT_EQ(r.Till_Years, 0);
  EXPECT_EQ(r.Cust_NRec, 0);
  EXPECT_EQ(r.Cust_Source.Str(), "");
  EXPECT_EQ(r.Plant_Date, 0);
  EXPECT_FLOAT_EQ(r.Cur_PlRate, 0.0f);
  EXPECT_EQ(r.Biotech[4], 0);
  EXPECT_FLOAT_EQ(r.Fert_N[9], 0.0f);
  EXPECT_EQ(r.Man_Legacy[4], 0);
  EXPECT_FLOAT_EQ(r.Man_PctDM[4], 0.0f);
  EXPECT_EQ(r.Othr_Desc[9].Str(), "");
  EXPECT_EQ(r.Oper_Date[19], 0);
  EXPECT_EQ(r.Residue, -1);
  EXPECT_FLOAT_EQ(r.Cur_Area, 0.0f);
  EXPECT_FLOAT_EQ(r.Cov_Yield2, 0.0f);
  // Kept: identity, field data, soils, erosion, drainage.
  EXPECT_EQ(r.Field_ID, 7);
  EXPECT_FLOAT_EQ(r.Field_Size, 40.0f);
  EXPECT_EQ(r.P_Test, 2);
  EXPECT_EQ(r.Soil_Sym[0].Str(), "55B");
  EXPECT_EQ(r.Irrig_N, 10);
  EXPECT_FLOAT_EQ(r.Water_Loss, 2.0f);
  EXPECT_EQ(r.Drain_Type, 1);
  EXPECT_FLOAT_EQ(r.Soil_Slope[1], -1.0f);
}

TEST_F(RecordServicesTest, AdvancingToANextCropThatCannotBePrimaryLeavesNone) {
  TFieldRec r = file.NewRecord(7, 2);
  r.Cur_Crop = 1, r.Cur_Yield = 175, r.Cur_Goal = 160;
  r.Next_Crop = 103, r.Next_Code = 3;  // fallow
  StripRecord(r, false, false, false, true);
  EXPECT_EQ(r.Prev_Crop, 1);
  EXPECT_FLOAT_EQ(r.Prev_Yield, 175.0f);
  EXPECT_EQ(r.Cur_Crop, 0);
  EXPECT_EQ(r.Cur_Code, 0);
  r.Next_Crop = 2, r.Next_Code = 6;
  StripRecord(r, false, false, false, true);
  EXPECT_EQ(r.Cur_Crop, 2);
  EXPECT_EQ(r.Cur_Code, 6);
}

class FindTest : public RecordServicesTest {
 protected:
  void SetUp() override {
    RecordServicesTest::SetUp();
    TFieldRec a = file.NewRecord(12, 1);
    a.Field_Name = "North", a.SubFld_Nam = "A", a.County = 2, a.Notes = "Limed in 2010";
    a.Cur_Crop = 1, a.Cur_Till = 1, a.Operation = "Smith Farms";
    TFieldRec b = file.NewRecord(345, 2);
    b.Field_Name = "South", b.Contact = "Jane Doe", b.Cur_Crop = 2, b.Cov_Crop = 13, b.Cur_Till = 6;
    TFieldRec c = file.NewRecord(346, 1);
    c.Field_Name = "North", c.SubFld_Nam = "B", c.County = 1;
    ASSERT_TRUE(file.WriteRecord(1, a, false));
    ASSERT_TRUE(file.WriteRecord(2, b, false));
    ASSERT_TRUE(file.WriteRecord(3, c, false));
  }
  // The numbers of all records the kind's test finds, searching on from each match.
  std::vector<int> FindAll(int kind, const std::string& text) {
    EXPECT_EQ(FindTextError(kind, text, refs), "");
    const TRecordTest test = MakeFindTest(kind, text, refs);
    std::vector<int> found;
    TFieldRec r;
    int n = 0;
    while (file.FindNext(n + 1, test, r, n)) found.push_back(n);
    return found;
  }
};

TEST_F(FindTest, EveryKindTestsItsData) {
  EXPECT_EQ(FindAll(fkFieldId, " 345 "), std::vector<int>{2});
  EXPECT_EQ(FindAll(fkFieldId, "34"), std::vector<int>{});
  EXPECT_EQ(FindAll(fkName, "north"), (std::vector<int>{1, 3}));
  EXPECT_EQ(FindAll(fkName, "TH B"), std::vector<int>{3});
  EXPECT_EQ(FindAll(fkState, "mn"), std::vector<int>{2});
  EXPECT_EQ(FindAll(fkCounty, "story "), std::vector<int>{1});
  EXPECT_EQ(FindAll(fkOperation, "farm"), std::vector<int>{1});
  EXPECT_EQ(FindAll(fkContact, "doe"), std::vector<int>{2});
  EXPECT_EQ(FindAll(fkNotes, "lime"), std::vector<int>{1});
  EXPECT_EQ(FindAll(fkPrimaryCrop, "b"), std::vector<int>{2});
  EXPECT_EQ(FindAll(fkCoverCrop, "R"), std::vector<int>{2});
  EXPECT_EQ(FindAll(fkTillage, "nt"), std::vector<int>{1});
  EXPECT_EQ(FindAll(fkTillage, "CV"), std::vector<int>{2});
}

TEST_F(FindTest, TypedTextIsCheckedPerKind) {
  EXPECT_EQ(FindTextError(fkNotes, "", refs), "No search data specified.");
  EXPECT_EQ(FindTextError(fkFieldId, "0", refs), "Enter a valid field ID.");
  EXPECT_EQ(FindTextError(fkFieldId, "1000000000", refs), "Enter a valid field ID.");
  EXPECT_EQ(FindTextError(fkState, "XX", refs), "Enter a valid state abbreviation.");
  EXPECT_EQ(FindTextError(fkPrimaryCrop, "R", refs), "Enter a valid primary crop abbreviation.");  // rye
  EXPECT_EQ(FindTextError(fkCoverCrop, "C", refs), "Enter a valid cover or first crop abbreviation.");
  EXPECT_EQ(FindTextError(fkTillage, "No-till", refs), "Enter a valid tillage abbreviation.");
  EXPECT_EQ(FindTextError(fkNotes, " ", refs), "");
  EXPECT_EQ(FindNotFoundText(fkNotes), "Can't find a record with that Notes.");
  EXPECT_EQ(FindNotFoundText(fkFieldId), "Can't find a record with that Field ID.");
  EXPECT_EQ(FindKindCaption(fkTillage), "Current Primary Tillage");
}

}  // namespace
