// Every state file in the source tree loads through the state tables with a valid checksum and the
// identity of its state, names every county of its state, and gives through the nutrient engine
// recommendations that follow the rules the program relies on.
#include <cmath>
#include <regex>
#include <set>

#include "ShippedStates.h"

namespace {

class StateFile : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(States.Ok) << States.Message;
    State = States.Load(GetParam());
    ASSERT_NE(State, 0) << States.Message;  // a checksum that does not match is refused here
  }
  const TQriFileDb& Db() const { return States.Db(); }
  int CropCount() const { return Db().FieldRowCount(qfCropDef); }
  std::string CropName(int row) const { return Db().GetFieldValue(qfCropName, row); }

  TShippedStates States;
  int State = 0;
};

TEST_P(StateFile, IdentityAndEveryCountyOfTheState) {
  EXPECT_TRUE(SameText(Db().GetFieldValue(qfStateAbbr, 0), GetParam()));
  EXPECT_EQ(Db().GetFieldInteger(qfStateCode, 0), States.Mcn.StateCode(State));
  EXPECT_EQ(Db().GetFieldValue(qfStateName, 0), States.Mcn.StateName(State));
  const int counties = States.Mcn.CountyCount(State);
  ASSERT_GT(counties, 30);
  EXPECT_EQ(Db().FieldRowCount(qfCntyCode), counties);
  for (int county = 1; county <= counties; ++county) {
    TFieldRec rec = NewRecordTemplate(1, 2024, static_cast<uint16_t>(State));
    rec.County = static_cast<uint16_t>(county);
    const int row = States.Tables.CountyRow(rec);
    ASSERT_GE(row, 0) << "county " << States.Mcn.CountyCode(county, State);
    EXPECT_EQ(Db().GetFieldValue(qfCntyName, row), States.Mcn.CountyName(county, State));
  }
}

// Every crop definition can be found for a record: by its condition (true for its own program crop,
// never for Other), or, for crops the program calls "Other", by the number stored with the record.
TEST_P(StateFile, EveryCropMapsToAProgramCrop) {
  const std::set<int> programCrops{1, 19, 2, 3, 4, 5, 13, 6, 7, 8, 9, 10, 12, 18, 15, 16, 17, 101, 103, 14};
  for (int row = 0; row < CropCount(); ++row) {
    const int crop = Db().GetFieldInteger(qfToTessCrop, row);
    if (crop == crOtherHistory) {
      EXPECT_TRUE(Db().GetFieldValue(qfIsTessRec, row).empty()) << CropName(row);
      continue;
    }
    ASSERT_TRUE(programCrops.count(crop)) << CropName(row) << " maps to " << crop;
    TExprVar var{"TessCrop", static_cast<double>(crop), false};
    double value = 0;
    EXPECT_EQ(States.Tables.Formula(qfIsTessRec, row, &var, 0).Evaluate(&var, value), exNone) << CropName(row);
    EXPECT_NE(value, 0) << CropName(row);
  }
  TFieldRec other = NewRecordTemplate(1, 2024, static_cast<uint16_t>(State));
  other.Cur_Crop = crOther;
  EXPECT_EQ(States.Tables.CropDefinitionRow(csCur, other), -1) << "a definition claims the Other crop";
}

// A soil test the chain needs but the record lacks gives no result, never a silent zero; a record
// without a P test method reads like one with the state's standard test (the first P test).
TEST_P(StateFile, MissingSoilTestsGiveNoResult) {
  const int standard = Db().FieldRowCount(qfPTestDef) > 0 ? Db().GetFieldInteger(qfPTestDef, 0) : 0;
  for (int row = 0; row < CropCount(); ++row) {
    if (Db().GetFieldValue(qfPRemoved, row).empty()) continue;  // cover crops take no P or K
    TStateCase c(States, GetParam());
    c.Crop(CropName(row)).Goal(100).Soil(2, 1).Cec(10);
    EXPECT_FALSE(c.P2O5()) << CropName(row) << " P2O5 without soil test P";
    EXPECT_FALSE(c.K2O()) << CropName(row) << " K2O without soil test K";
    for (double p : {3.0, 12.0, 24.0, 45.0, 120.0}) {
      const auto withTest = c.P(p, standard).P2O5();
      const auto without = c.P(p, 0).P2O5();
      ASSERT_TRUE(withTest && without) << CropName(row) << " P " << p;
      EXPECT_EQ(*withTest, *without) << CropName(row) << " P " << p;
    }
  }
}

// The record context a recommendation may depend on besides its soil test.
struct TContext {
  int PTest = 0;
  int Attr1 = 1;
  int Attr2 = 1;
  int Region = -1;  // -1 for no county
  double Cec = 12;
};

// The base context and, one factor at a time, every P test method, soil attribute, county region
// and a low and a high CEC.
std::vector<TContext> Contexts(const TQriFileDb& db) {
  std::vector<TContext> out{TContext{}};
  for (int row = 0; row < db.FieldRowCount(qfPTestDef); ++row) out.push_back({db.GetFieldInteger(qfPTestDef, row)});
  for (int a = 0; a <= 6; ++a) out.push_back({0, a, 1});
  for (int a = 0; a <= 4; ++a) out.push_back({0, 1, a});
  std::set<int> regions;
  for (int row = 0; row < db.FieldRowCount(qfCntyCode); ++row)
    if (!db.GetFieldValue(qfRecRegion, row).empty()) regions.insert(db.GetFieldInteger(qfRecRegion, row));
  for (int region : regions) out.push_back({0, 1, 1, region});
  for (double cec : {6.0, 20.0}) out.push_back({0, 1, 1, -1, cec});
  return out;
}

// Soil test values that reach every class of a chain: each number written in its formulas, one
// below and one above it, and a coarse grid up to 1000.
std::vector<double> TestPoints(const TQriFileDb& db, int row, int first, int last) {
  std::set<double> points;
  for (double v = 1; v <= 1000; v *= 1.2) points.insert(std::round(v));
  static const std::regex number("[0-9]+(\\.[0-9]+)?");
  for (int field = first; field <= last; ++field) {
    const std::string text = db.GetFieldValue(field, row);
    for (std::sregex_iterator it(text.begin(), text.end(), number), end; it != end; ++it) {
      const double n = std::stod(it->str());
      for (double v : {n - 1, n, n + 1})
        if (v >= 1 && v <= 1000) points.insert(v);
    }
  }
  return {points.begin(), points.end()};
}

// A low, a typical and a high yield goal of a definition: realistic ones for its program crop when
// the definition uses the crop's usual unit, else a range for the unit.
std::vector<double> Goals(int crop, const std::string& unit) {
  struct TRange {
    int Crop;
    const char* Unit;
    std::vector<double> Goals;
  };
  static const TRange kCrops[] = {
      {1, "Bu", {100, 180, 260}},    {19, "Ton", {12, 22, 32}},  {2, "Bu", {30, 55, 80}},
      {3, "Bu", {40, 80, 120}},      {4, "Bu", {50, 100, 150}},  {5, "Bu", {40, 80, 120}},
      {13, "Bu", {30, 60, 90}},      {6, "Bu", {60, 110, 160}},  {7, "Lb", {1000, 2000, 3000}},
      {10, "Ton", {15, 25, 35}},     {12, "Lb", {500, 1000, 1800}}, {12, "Bale", {1, 2, 3.5}},
      {18, "Ton", {2, 5, 8}},        {15, "Ton", {1.5, 3.5, 6}}, {16, "Ton", {1.5, 3.5, 6}},
      {17, "Ton", {1.5, 3.5, 6}}};
  for (const TRange& r : kCrops)
    if (r.Crop == crop && SameText(r.Unit, unit)) return r.Goals;
  if (SameText(unit, "Ton")) return {2, 4, 6};
  if (SameText(unit, "Lb")) return {1000, 2500, 4000};
  if (SameText(unit, "CWT")) return {10, 20, 35};
  if (SameText(unit, "Bale")) return {1, 2, 3};
  return {40, 100, 180};
}

// As the soil test rises through its classes the recommendation never rises, for every crop
// definition, a range of yield goals and every context; and every rate stays within what a record
// can hold (0 to 999).
TEST_P(StateFile, RecommendationNeverRisesWithTheSoilTest) {
  const std::vector<TContext> contexts = Contexts(Db());
  std::vector<std::string> faults;
  int compared = 0;
  for (int row = 0; row < CropCount(); ++row) {
    const std::string crop = CropName(row);
    for (double goal : Goals(Db().GetFieldInteger(qfToTessCrop, row), Db().GetFieldValue(qfYldUnit, row))) {
      for (const int column : {rcP2O5, rcK2O}) {
        const bool phosphorus = column == rcP2O5;
        const std::vector<double> points =
            phosphorus ? TestPoints(Db(), row, qfPRemoved, qfPRec) : TestPoints(Db(), row, qfKRemoved, qfKRec);
        for (const TContext& ctx : contexts) {
          TStateCase c(States, GetParam());
          c.Crop(crop).Goal(goal).Soil(ctx.Attr1, ctx.Attr2).Cec(ctx.Cec);
          if (ctx.Region >= 0) c.Region(ctx.Region);
          std::optional<double> previous;
          double previousTest = 0;
          for (double test : points) {
            const auto value = (phosphorus ? c.P(test, ctx.PTest) : c.K(test)).Rec(column);
            if (!value) continue;
            const bool rises = previous && *value > *previous + 1e-9;
            if ((rises || *value < 0 || *value > 999) && faults.size() < 20)
              faults.push_back(crop + (phosphorus ? " P2O5" : " K2O") + " at goal " + std::to_string(goal) + ": " +
                               (previous ? std::to_string(*previous) : "none") + " at soil test " +
                               std::to_string(previousTest) + ", " + std::to_string(*value) + " at " +
                               std::to_string(test) + " (P test " + std::to_string(ctx.PTest) + ", soil " +
                               std::to_string(ctx.Attr1) + "/" + std::to_string(ctx.Attr2) + ", region " +
                               std::to_string(ctx.Region) + ", CEC " + std::to_string(ctx.Cec) + ")");
            if (previous) ++compared;
            previous = value;
            previousTest = test;
          }
        }
      }
    }
  }
  EXPECT_GT(compared, 1000);  // the sweep reached real recommendations
  for (const std::string& fault : faults) ADD_FAILURE() << fault;
}

// As the yield goal rises no recommendation falls, and as the soil nitrate rises the N
// recommendation never rises: for every crop definition, every context and a poor, a middling and a
// rich soil test.
TEST_P(StateFile, RecommendationFollowsTheYieldGoalAndTheSoilNitrate) {
  const std::vector<TContext> contexts = Contexts(Db());
  const double scale = Db().SoilTestsInLbPerAcre() ? 2 : 1;
  const int columns[] = {rcN, rcP2O5, rcK2O};
  const char* const names[] = {"N", "P2O5", "K2O"};
  std::vector<std::string> faults;
  int compared = 0;
  const auto fault = [&](const std::string& text) {
    if (faults.size() < 20) faults.push_back(text);
  };
  for (int row = 0; row < CropCount(); ++row) {
    const std::string crop = CropName(row);
    const std::vector<double> typical = Goals(Db().GetFieldInteger(qfToTessCrop, row), Db().GetFieldValue(qfYldUnit, row));
    std::vector<double> goals;
    for (int k = 0; k <= 12; ++k) goals.push_back(typical[0] / 2 + (typical[2] * 1.5 - typical[0] / 2) * k / 12);
    for (const TContext& ctx : contexts) {
      for (const double test : {4.0, 25.0, 150.0}) {
        TStateCase c(States, GetParam());
        c.Crop(crop).Soil(ctx.Attr1, ctx.Attr2).Cec(ctx.Cec).P(test * scale, ctx.PTest).K(test * 4 * scale);
        if (ctx.Region >= 0) c.Region(ctx.Region);
        const std::string where = " (soil test " + std::to_string(test) + ", P test " + std::to_string(ctx.PTest) +
                                  ", soil " + std::to_string(ctx.Attr1) + "/" + std::to_string(ctx.Attr2) +
                                  ", region " + std::to_string(ctx.Region) + ")";
        for (int n = 0; n < 3; ++n) {
          std::optional<double> previous;
          for (const double goal : goals) {
            const auto value = c.Goal(goal).Rec(columns[n]);
            if (!value) continue;
            if (previous && *value < *previous - 1e-9)
              fault(crop + " " + names[n] + " falls to " + std::to_string(*value) + " at goal " + std::to_string(goal) + where);
            if (previous) ++compared;
            previous = value;
          }
        }
        std::optional<double> previous;
        for (const int nitrate : {1, 2, 3, 5, 8, 12, 20, 30, 50, 80, 120, 200}) {  // 0 is no test
          const auto value = c.Goal(typical[1]).Nitrate(nitrate).N();
          if (!value) continue;
          if (previous && *value > *previous + 1e-9)
            fault(crop + " N rises to " + std::to_string(*value) + " at nitrate " + std::to_string(nitrate) + where);
          if (previous) ++compared;
          previous = value;
        }
      }
    }
  }
  EXPECT_GT(compared, 1000);
  for (const std::string& text : faults) ADD_FAILURE() << text;
}

// The CEC estimate sums the exchangeable bases in meq/100 g: K 200, Mg 300, Ca 2000 ppm give
// 0.51 + 2.47 + 9.98; without Ca there is no estimate.
TEST_P(StateFile, CecEstimateBySummation) {
  TFieldRec rec = NewRecordTemplate(1, 2024, static_cast<uint16_t>(State));
  rec.K = 200;
  rec.Mg = 300;
  rec.Ca = 2000;
  rec.K_Units = rec.Mg_Units = rec.Ca_Units = 2;  // ppm, converted by the engine for lb/a tables
  EXPECT_NEAR(States.Engine.EstimatedCEC(rec), 13.0, 0.05);
  rec.Ca = 0;
  EXPECT_EQ(States.Engine.EstimatedCEC(rec), 0);
}

INSTANTIATE_TEST_SUITE_P(Shipped, StateFile, ::testing::ValuesIn(ShippedStateFiles()),
                         [](const auto& info) { return info.param; });

}  // namespace
