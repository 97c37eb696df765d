// The engine against the sample state file, whose formulas are simple enough to work by hand.
#include "reports/NutrEngine.h"

#include "../support/StateFixture.h"
#include "vocab/CropVocab.h"

namespace {

class NutrEngine : public TStateFixture {
 protected:
  // Loads a variant of the sample file for Iowa.
  void UseStateFile(const TStateSampleOptions& options) {
    ASSERT_EQ(WriteSampleStateFile(Dir.Path(), options), "");
  }
  TNutrEngine Engine{Tables};
};

// Corn, 150 bu goal: N chain NVar1 = 1.2 x 150 = 180, NRec = 180 - credit of the preceding crop.
TFieldRec Corn150() {
  TFieldRec rec = TStateFixture::Record(crCorn);
  rec.Cur_Goal = 150;
  return rec;
}

TEST_F(NutrEngine, SoilTestUnitsFollowTheTables) {
  ASSERT_TRUE(Tables.LoadStateTables(kStateIA));
  EXPECT_DOUBLE_EQ(Engine.ToPlannerUnits(20, 2), 20);  // ppm tables: ppm kept
  EXPECT_DOUBLE_EQ(Engine.ToPlannerUnits(20, 1), 10);  // lb/a halved
  EXPECT_DOUBLE_EQ(Engine.ToPlannerUnits(20, 0), 10);
  // PRec = (20 - P) x 4 + 0.37 x 150 when P < 20.
  TFieldRec rec = Corn150();
  rec.P = 15;
  rec.P_Units = 2;
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcP2O5, csCur, rec).Value, 20 + 55.5);
  rec.P_Units = 1;  // 7.5 ppm: 12.5 x 4 = 50
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcP2O5, csCur, rec).Value, 50 + 55.5);

  TStateSampleOptions lb;
  lb.SoilTests = "LB/A";
  TStateTables lbTables(Refs);
  TNutrEngine lbEngine(lbTables);
  UseStateFile(lb);
  ASSERT_TRUE(lbTables.LoadStateTables(kStateIA));
  EXPECT_DOUBLE_EQ(lbEngine.ToPlannerUnits(20, 2), 40);  // ppm doubled
  EXPECT_DOUBLE_EQ(lbEngine.ToPlannerUnits(20, 1), 20);
  rec.P_Units = 2;  // 15 ppm = 30 lb/a: no build-up
  EXPECT_DOUBLE_EQ(lbEngine.NutrientRec(rcP2O5, csCur, rec).Value, 55.5);
}

TEST_F(NutrEngine, PrecedingCropCreditEntersTheNChain) {
  TFieldRec rec = Corn150();
  TRecResult n = Engine.NutrientRec(rcN, csCur, rec);  // no previous crop: null credit
  EXPECT_EQ(n.Error, 0);
  EXPECT_DOUBLE_EQ(n.Value, 180);

  rec.Prev_Crop = crSoybeans;
  rec.Prev_Yield = 50;  // soybean credit 40 with a yield, 30 without
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcNCredit, csPrev, rec).Value, 40);
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcN, csCur, rec).Value, 140);
  rec.Prev_Yield = 0;
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcN, csCur, rec).Value, 150);

  rec.Prev_Crop = crCorn;  // corn leaves no credit
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcN, csCur, rec).Value, 180);

  // With a cover crop the credit comes from it, not from the previous crop.
  rec.Prev_Crop = crSoybeans;
  rec.Cov_Crop = 13;  // rye as cover: credit 25
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcN, csCur, rec).Value, 155);
}

TEST_F(NutrEngine, ErrorCodesOfTheChain) {
  TFieldRec rec = Corn150();
  EXPECT_EQ(Engine.NutrientRec(rcN, csNext, rec).Error, 13);  // no crop
  rec.Next_Crop = 4;                                          // oats: no definition is true for it
  EXPECT_EQ(Engine.NutrientRec(rcN, csNext, rec).Error, 1);
  rec.K = 100;
  rec.K_Units = 2;
  rec.Cur_Goal = 0;  // KRec needs the goal: null result
  EXPECT_EQ(Engine.NutrientRec(rcK2O, csCur, rec).Error, 13);
  rec.Cur_Goal = 150;  // (160 - 100) x 1.5 + 0.27 x 150
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcK2O, csCur, rec).Value, 90 + 40.5);

  TFieldRec barley = TStateFixture::Record(5);  // NVar1 = YldGoal / (P - P)
  barley.Cur_Goal = 60;
  barley.P = 10;
  barley.P_Units = 2;
  const TRecResult r = Engine.NutrientRec(rcN, csCur, barley);
  EXPECT_EQ(r.Error, exDivByZero);
  EXPECT_EQ(r.Value, 0);
  barley.P = 0;  // P null: the division is null, and so is the result
  EXPECT_EQ(Engine.NutrientRec(rcN, csCur, barley).Error, 13);
}

// A null recommendation names the record values it lacked, through the chain's own null steps and
// through the credit the preceding crop leaves: that crop's yield and % legume are the preceding
// crop's to the crop after it.
TEST_F(NutrEngine, NullRecommendationsSayWhatTheyNeed) {
  TStateSampleOptions options;
  options.ExtraCropDefs =
      "[CropDef=90]\nName=Zz legume\nCanBeCover=No\nCanBeFirst=No\nIsTessRec=TessCrop = 16\n"
      "NCredit=IIF(ISNULL(PctLegume), NULL, 20) + YldGoal*0\nNRec=0\n\n"
      "[CropDef=91]\nName=Zz grass\nCanBeCover=No\nCanBeFirst=No\nIsTessRec=TessCrop = 17\n"
      "NRec=100 - NCredit\nPVar1=P*2\nPVar2=IIF(ISNULL(OM), 1, OM)\nPRec=PVar1 + PVar2\n";
  UseStateFile(options);
  TFieldRec rec = TStateFixture::Record(17);
  rec.Prev_Crop = 16;
  EXPECT_EQ(Engine.NutrientRec(rcN, csCur, rec).Error, exNullResult);
  EXPECT_EQ(Engine.RecNeeds(rcN, csCur, rec),
            "Needs the % legume of the preceding crop (Crops page) and a yield goal or yield for the preceding "
            "crop (Crops page).");
  EXPECT_EQ(Engine.RecNeeds(rcP2O5, csCur, rec), "Needs a soil phosphorus test (Soil Tests page).");
  rec.Prev_Yield = 3;
  rec.Prev_PctLg = 60;
  rec.SetFlag(rfPrevPctLeg, true);
  rec.P = 10;
  rec.P_Units = 2;
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcN, csCur, rec).Value, 80);
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcP2O5, csCur, rec).Value, 21);
  EXPECT_EQ(Engine.RecNeeds(rcN, csCur, rec), "");
  rec.Prev_Crop = 4;  // oats: no definition applies
  EXPECT_EQ(Engine.RecNeeds(rcN, csCur, rec), "Needs a crop definition for the preceding crop (Crops page).");
  rec.Prev_Crop = 0;  // nothing precedes: null, but no record value would mend it
  EXPECT_EQ(Engine.NutrientRec(rcN, csCur, rec).Error, exNullResult);
  EXPECT_EQ(Engine.RecNeeds(rcN, csCur, rec), "");
}

// The preceding crop's definition reaches the formulas as its row in the tables (ordered by name),
// not as its definition number. Cotton's PRec gives PrvCropDef, or -1 when it is null.
TEST_F(NutrEngine, PrecedingCropDefinitionIsItsRow) {
  TFieldRec rec = TStateFixture::Record(crCotton);
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcP2O5, csCur, rec).Value, -1);
  rec.Prev_Crop = crSoybeans;  // definition 20, the eighth name in order
  const int row = Tables.CropDefinitionRow(csPrev, rec);
  ASSERT_EQ(Tables.Db().GetFieldInteger(qfCropDef, row), 20);
  EXPECT_EQ(row, 7);
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcP2O5, csCur, rec).Value, 7);
}

TEST_F(NutrEngine, YieldUnitConversion) {
  ASSERT_TRUE(Tables.LoadStateTables(kStateIA));
  // Corn's five-year price is per bushel (56 lb).
  EXPECT_DOUBLE_EQ(Engine.ToYieldUnit(crCorn, 150, "Lb"), 8400);
  EXPECT_DOUBLE_EQ(Engine.ToYieldUnit(crCorn, 150, "cwt"), 84);
  EXPECT_DOUBLE_EQ(Engine.ToYieldUnit(crCorn, 150, "Ton"), 4.2);
  EXPECT_DOUBLE_EQ(Engine.ToYieldUnit(crCorn, 150, "bu"), 150);
  EXPECT_DOUBLE_EQ(Engine.ToYieldUnit(crCorn, 150, "Bale"), 0);  // bales only for cotton
  EXPECT_DOUBLE_EQ(Engine.ToYieldUnit(crCorn, 150, "Acre"), 0);
  EXPECT_DOUBLE_EQ(Engine.ToYieldUnit(crCorn, 150, ""), 150);
  // Cotton's price is per pound: 960 lb = 2 bales.
  EXPECT_DOUBLE_EQ(Engine.ToYieldUnit(crCotton, 960, "Bale"), 2);
  EXPECT_DOUBLE_EQ(Engine.ToYieldUnit(crCotton, 960, "Bu"), 0);  // no pounds per bushel
  // Soybeans have no five-year price input in the sample catalogue: kept.
  EXPECT_DOUBLE_EQ(Engine.ToYieldUnit(crSoybeans, 50, "Lb"), 50);

  TFieldRec rec = Corn150();
  rec.Cur_Code = 30;  // "Corn by weight": NRec = YldGoal / 100 = 150 x 56 / 100
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcN, csCur, rec).Value, 84);
  TFieldRec cotton = TStateFixture::Record(crCotton);
  cotton.Cur_Yield = 960;  // the harvested yield wins over the goal
  cotton.Cur_Goal = 480;
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcN, csCur, cotton).Value, 2 * 30);
}

TEST_F(NutrEngine, DefaultRecAddsAHarvestedFirstCrop) {
  TFieldRec rec = Corn150();
  rec.Cov_Crop = 13;  // rye, harvested as a first crop when it has a yield
  double value = 0;
  ASSERT_TRUE(Engine.DefaultRec(rcN, rec, value));
  EXPECT_DOUBLE_EQ(value, 155);  // cover rye not harvested: corn after the rye cover credit
  rec.Cov_Yield = 40;            // "Rye grain": NRec = 40, credit 10; corn 180 - 10
  ASSERT_TRUE(Engine.DefaultRec(rcN, rec, value));
  EXPECT_DOUBLE_EQ(value, 40 + 170);
  EXPECT_FALSE(Engine.DefaultRec(rcP2O5, rec, value));  // rye grain has no P formula
  EXPECT_EQ(value, 0);

  TFieldRec big = Corn150();
  big.Cur_Goal = 900;  // 1080 is above 999
  EXPECT_FALSE(Engine.DefaultRec(rcN, big, value));
  big.Cur_Goal = 830;  // 996
  EXPECT_TRUE(Engine.DefaultRec(rcN, big, value));
}

TEST_F(NutrEngine, EstimatedCecRoundedToOneDecimal) {
  // CEC = K/390 + Mg/121 + Ca/200 in ppm.
  TFieldRec rec = Corn150();
  rec.K = 200;
  rec.K_Units = 2;
  rec.Mg = 121;
  rec.Mg_Units = 2;
  rec.Ca = 400;
  rec.Ca_Units = 2;
  EXPECT_DOUBLE_EQ(Engine.EstimatedCEC(rec), 3.5);  // 0.513 + 1 + 2
  rec.Ca = 800;
  rec.Ca_Units = 1;  // 800 lb/a = 400 ppm
  EXPECT_DOUBLE_EQ(Engine.EstimatedCEC(rec), 3.5);
  rec.Mg = 0;  // a missing term makes the sum null
  EXPECT_EQ(Engine.EstimatedCEC(rec), 0);
}

// Writes a county names file whose 15th state is Iowa (the state with the CSR rating scale) and
// whose first states are those with state-specific variables; each gets the sample state file.
class StateVariables : public NutrEngine {
 protected:
  void SetUp() override {
    NutrEngine::SetUp();
    TMcnContents c;
    c.Country = 1;
    c.CountryName = "USA";
    const char* const abbrs[] = {"AL", "GA", "IL", "WI", "MN", "S6", "S7", "S8", "S9", "SA", "SB", "SC", "SD", "SE", "IA"};
    for (int i = 0; i < 15; ++i)
      c.States.push_back({abbrs[i], std::string("State ") + abbrs[i], static_cast<uint8_t>(i + 1), {{"Adair", 1}}});
    std::string message;
    ASSERT_TRUE(WriteMcnFile(Dir.File("states.mcn"), c, message)) << message;
    ASSERT_TRUE(Mcn.Load(Dir.File("states.mcn"))) << Mcn.FullErrorText();
    for (const char* abbr : {"AL", "GA", "IL", "WI", "MN", "IA"}) {
      TStateSampleOptions o;
      o.Abbr = abbr;
      ASSERT_EQ(WriteSampleStateFile(Dir.Path(), o), "");
    }
  }
  // Wheat's NRec = MiscA x 1e6 + MiscB x 1e4 + MiscD, each 0 when null.
  double Misc(int state, int attr1, int attr2, float rating) {
    TFieldRec rec = NewRecordTemplate(1, 2024, static_cast<uint16_t>(state));
    rec.Cur_Crop = 3;
    rec.Soil_Sym[0].Set("A");
    rec.Soil_FldPct[0] = 30;
    rec.Soil_Sym[1].Set("B");  // the predominant soil
    rec.Soil_FldPct[1] = 50;
    rec.Soil_FldPct[2] = 90;  // not defined: no symbol or name
    rec.Soil_Attr1[1] = static_cast<uint16_t>(attr1);
    rec.Soil_Attr2[1] = static_cast<uint16_t>(attr2);
    rec.Soil_Rating[1] = rating;
    rec.Soil_Attr1[2] = rec.Soil_Attr2[2] = 1;
    const TRecResult r = Engine.NutrientRec(rcN, csCur, rec);
    EXPECT_EQ(r.Error, 0);
    return r.Value;
  }
};

TEST_F(StateVariables, ByStateFromThePredominantSoil) {
  EXPECT_DOUBLE_EQ(Misc(1, 4, 2, 80), 4e6);       // AL: attribute 1 from 1 to 4
  EXPECT_DOUBLE_EQ(Misc(1, 5, 2, 80), 0);
  EXPECT_DOUBLE_EQ(Misc(2, 2, 2, 80), 2e6);       // GA: 1 or 2
  EXPECT_DOUBLE_EQ(Misc(2, 3, 2, 80), 0);
  EXPECT_DOUBLE_EQ(Misc(3, 3, 3, 80), 3e6 + 3e4);  // IL: 1 to 3; attribute 2 is 1 or 3
  EXPECT_DOUBLE_EQ(Misc(3, 3, 2, 80), 3e6);
  EXPECT_DOUBLE_EQ(Misc(4, 6, 4, 80), 6e6 + 4e4);  // WI: 1 to 6 and 1 to 4
  EXPECT_DOUBLE_EQ(Misc(4, 7, 5, 80), 0);
  EXPECT_DOUBLE_EQ(Misc(5, 1, 1, 80), 0);          // MN: none
  EXPECT_DOUBLE_EQ(Misc(15, 2, 1, 80), 2e6 + 1e4 + 80);  // IA with the CSR rating
  EXPECT_DOUBLE_EQ(Misc(15, 3, 3, 101), 0);
}

TEST_F(NutrEngine, RecordVariables) {
  // Wheat's PRec = RecRegion x 100 + SurfTex x 10 + Drainage;
  // KRec = IrrWater x 1000 + CropSeq x 100 + NumCrops x 10 + (1 when PctLegume is set).
  TFieldRec rec = TStateFixture::Record(3);
  rec.Soil_Name[0].Set("Clarion");
  rec.Soil_Texture[0] = 5;
  rec.Soil_Drain[0] = 4;
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcP2O5, csCur, rec).Value, 200 + 50 + 4);  // Adair: region 2
  rec.County = 2;  // Adams: no region
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcP2O5, csCur, rec).Value, 54);

  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcK2O, csCur, rec).Value, 110);
  rec.Othr_Input[2] = 7002;
  rec.Othr_Rate[2] = 2;
  rec.Othr_Input[5] = 7002;
  rec.Othr_Rate[5] = 1.5f;
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcK2O, csCur, rec).Value, 3500 + 110);
  rec.Othr_Rate[2] = rec.Othr_Rate[5] = 0;  // irrigation water without a rate: -1
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcK2O, csCur, rec).Value, -1000 + 110);
  rec.Othr_Input[2] = rec.Othr_Input[5] = 0;
  rec.Cov_Crop = 13;  // second crop of two
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcK2O, csCur, rec).Value, 220);
  rec.Cur_PctLeg = 0;
  rec.SetFlag(rfCurPctLeg, true);  // 0 % legume, but entered
  EXPECT_DOUBLE_EQ(Engine.NutrientRec(rcK2O, csCur, rec).Value, 221);
}

}  // namespace
