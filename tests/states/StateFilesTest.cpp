// Every shipped state file loads with the full schema and a valid checksum, names every county of
// its state, and its recommendation chains follow the rules the engine relies on.
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "StateChain.h"
#include "common/TextUtil.h"

namespace {

struct TStateInfo {
  const char* Abbr;
  const char* Name;
  int Fips;
};

const TStateInfo kStates[] = {{"ia", "Iowa", 19},      {"il", "Illinois", 17},   {"mn", "Minnesota", 27},
                              {"wi", "Wisconsin", 55},  {"al", "Alabama", 1},     {"ga", "Georgia", 13},
                              {"in", "Indiana", 18},    {"oh", "Ohio", 39},       {"mi", "Michigan", 26},
                              {"mo", "Missouri", 29},   {"ne", "Nebraska", 31},   {"ks", "Kansas", 20},
                              {"sd", "South Dakota", 46}, {"nd", "North Dakota", 38}};

// County FIPS code -> name of one state, from the project's county table (the source of usa.mcn).
std::map<int, std::string> CountiesOf(const std::string& abbr) {
  std::map<int, std::string> counties;
  std::ifstream in(std::string(TESSEREL_DATA_SOURCE_DIR) + "/counties/usa-counties.txt");
  std::string line, state;
  while (std::getline(in, line)) {
    std::stringstream cells(line);
    std::string kind, code, name;
    std::getline(cells, kind, '\t');
    std::getline(cells, code, '\t');
    std::getline(cells, name, '\t');
    if (kind == "state")
      state = name;
    else if (kind == "county" && SameText(state, abbr))
      counties[std::stoi(code)] = name;
  }
  return counties;
}

class StateFileTest : public ::testing::TestWithParam<TStateInfo> {};

TEST_P(StateFileTest, LoadsWithValidChecksumAndIdentity) {
  const TStateInfo& info = GetParam();
  TStateFile file(info.Abbr);
  ASSERT_TRUE(file.Loaded) << file.Message;
  // A checksum that does not match is blanked by the load.
  EXPECT_EQ(file.Db.GetFieldValue(kfCrc, 0).size(), 4u) << "file must be signed";
  EXPECT_TRUE(SameText(file.Db.GetFieldValue(kfStateAbbr, 0), info.Abbr));
  EXPECT_EQ(file.Db.GetFieldInteger(kfStateCode, 0), info.Fips);
  EXPECT_EQ(file.Db.GetFieldValue(3, 0), info.Name);
}

TEST_P(StateFileTest, EveryCountyHasItsEntry) {
  const TStateInfo& info = GetParam();
  TStateFile file(info.Abbr);
  ASSERT_TRUE(file.Loaded) << file.Message;
  const auto counties = CountiesOf(info.Abbr);
  ASSERT_GT(counties.size(), 40u);
  EXPECT_EQ(file.Db.FieldRowCount(kfCntyCode), static_cast<int>(counties.size()));
  for (const auto& [fips, name] : counties) {
    const int row = file.Db.FindFieldRow(kfCntyCode, std::to_string(fips));
    ASSERT_GE(row, 0) << info.Abbr << " county " << fips << " " << name;
    EXPECT_EQ(file.Db.GetFieldValue(kfCntyName, row), name);
  }
}

// Every crop definition can be found for a record: by its condition expression, or (crops the
// program calls "Other") by the definition number stored with the record.
TEST_P(StateFileTest, EveryCropMapsToAProgramCrop) {
  TStateFile file(GetParam().Abbr);
  ASSERT_TRUE(file.Loaded) << file.Message;
  const std::set<int> programCrops{1, 19, 2, 3, 4, 5, 13, 6, 7, 8, 9, 10, 12, 18, 15, 16, 17, 101, 103, 14};
  for (int row = 0; row < file.Db.FieldRowCount(kfCropKey); ++row) {
    const std::string name = file.Db.GetFieldValue(kfCropName, row);
    const int tess = file.Db.GetFieldInteger(kfToTessCrop, row);
    if (tess == 102) {
      EXPECT_TRUE(file.Db.GetFieldValue(kfIsTessRec, row).empty()) << name;
      continue;
    }
    ASSERT_TRUE(programCrops.count(tess)) << name << " maps to " << tess;
    double value = 0;
    std::vector<TExprVar> vars{{"TessCrop", static_cast<double>(tess), false}};
    EXPECT_EQ(EvaluateExpression(file.Db.GetFieldValue(kfIsTessRec, row), vars, value), exNone) << name;
    EXPECT_NE(value, 0) << name;
    vars[0].Value = 31;
    EXPECT_EQ(EvaluateExpression(file.Db.GetFieldValue(kfIsTessRec, row), vars, value), exNone) << name;
    EXPECT_EQ(value, 0) << name << " must not claim the Other crop";
  }
}

// A soil test the chain needs but the record lacks gives no result, never a silent zero; a record
// without a P test method reads like one with the state's standard test (the first P test).
TEST_P(StateFileTest, MissingSoilTestsGiveNoResult) {
  TStateFile file(GetParam().Abbr);
  ASSERT_TRUE(file.Loaded) << file.Message;
  for (int row = 0; row < file.Db.FieldRowCount(kfCropKey); ++row) {
    const std::string crop = file.Db.GetFieldValue(kfCropName, row);
    if (file.Db.GetFieldValue(kfPRemoved, row).empty()) continue;  // cover crops take no P or K
    TRecVars rec;
    rec.Set("YldGoal", 100).Set("MiscA", 2).Set("MiscB", 1).Set("RecRegion", 1).Set("CEC", 10);
    EXPECT_FALSE(file.P(crop, rec).Value) << crop << " P2O5 without soil test P";
    EXPECT_FALSE(file.K(crop, rec).Value) << crop << " K2O without soil test K";
    for (double p : {3.0, 12.0, 24.0, 45.0, 120.0}) {
      TRecVars standard = rec, none = rec;
      standard.Set("P", p).Set("PTestDef", 1);
      none.Set("P", p);
      const auto a = file.P(crop, standard), b = file.P(crop, none);
      ASSERT_TRUE(a.Value && b.Value) << crop << " P " << p;
      EXPECT_EQ(*a.Value, *b.Value) << crop << " P " << p;
      EXPECT_GE(*a.Value, 0) << crop;
    }
  }
}

// Every rate a chain gives stays within what a record can hold (the engine refuses totals above 999),
// for a grid of soil tests at high but real yields.
TEST_P(StateFileTest, RatesStayWithinBounds) {
  TStateFile file(GetParam().Abbr);
  ASSERT_TRUE(file.Loaded) << file.Message;
  const bool lbPerAcre = SameText(file.Db.GetFieldValue(30, 0), "lb/a");
  for (int row = 0; row < file.Db.FieldRowCount(kfCropKey); ++row) {
    const std::string crop = file.Db.GetFieldValue(kfCropName, row);
    // A high but real yield in the definition's unit.
    const std::string unit = file.Db.GetFieldValue(kfYldUnit, row);
    const double goal = SameText(unit, "Ton") ? 8 : SameText(unit, "Lb") ? 5000 : SameText(unit, "CWT") ? 35 : 250;
    for (double test : {1.0, 10.0, 20.0, 40.0, 80.0, 160.0, 300.0}) {
      TRecVars rec;
      const double scale = lbPerAcre ? 2 : 1;
      rec.Set("P", test * scale).Set("K", test * 2 * scale).Set("YldGoal", goal).Set("MiscA", 1).Set("MiscB", 1)
          .Set("RecRegion", 2).Set("CEC", 14);
      for (const auto& r : {file.N(crop, rec, 0.0), file.P(crop, rec), file.K(crop, rec)}) {
        EXPECT_EQ(r.Error == exNone || r.Error == exEmpty || r.Error == exNullResult, true) << crop;
        if (r.Value) {
          EXPECT_GE(*r.Value, 0) << crop << " at " << test;
          EXPECT_LE(*r.Value, 999) << crop << " at " << test;
        }
      }
    }
  }
}

// The CEC estimate sums the exchangeable bases in meq/100 g from tests in the file's own units:
// K 200, Mg 300, Ca 2000 ppm give 0.51 + 2.47 + 9.98; without Ca there is no estimate.
TEST_P(StateFileTest, CecEstimateBySummation) {
  TStateFile file(GetParam().Abbr);
  ASSERT_TRUE(file.Loaded) << file.Message;
  const double scale = SameText(file.Db.GetFieldValue(30, 0), "lb/a") ? 2 : 1;
  std::vector<TExprVar> vars{{"K", 200 * scale, false},  {"Mg", 300 * scale, false}, {"Ca", 2000 * scale, false},
                             {"Na", 0, true},            {"BufferpH", 0, true},       {"SoilpH", 6.5, false},
                             {"TargetpH", 0, true}};
  double cec = 0;
  ASSERT_EQ(EvaluateExpression(file.Db.GetFieldValue(18, 0), vars, cec), exNone);
  EXPECT_NEAR(cec, 12.96, 0.01);
  vars[2].IsNull = true;
  EXPECT_EQ(EvaluateExpression(file.Db.GetFieldValue(18, 0), vars, cec), exNullResult);
}

INSTANTIATE_TEST_SUITE_P(Shipped, StateFileTest, ::testing::ValuesIn(kStates),
                         [](const auto& info) { return std::string(info.param.Abbr); });

}  // namespace
