// Setback distances of the Iowa and Minnesota rules, evaluated through the files' own criteria, and
// the manure N the nutrient engine makes available through each file's availability formulas.
#include "ShippedStates.h"

namespace {

// The twenty criteria variables of a planned application (all false or null unless set).
struct TApplication {
  int HowApplied = 3;  // 0 injected, 1 irrigated, 2 liquid incorporated, 3 liquid not incorporated, 5 solid not
  double DaysToInc = -1;
  int BufferWidth = -1;
  bool Winter = false;

  std::vector<TExprVar> Vars() const {
    auto flag = [](const char* name, bool on) { return TExprVar{name, on ? -1.0 : 0.0, false}; };
    auto null = [](const char* name) { return TExprVar{name, 0, true}; };
    std::vector<TExprVar> v;
    v.push_back(flag("IsIrrigate", HowApplied == 1));
    v.push_back(flag("IsLiquid", HowApplied <= 3));
    v.push_back(flag("IsInject", HowApplied == 0));
    if (HowApplied == 0)
      v.push_back(null("DaysToInc"));
    else
      v.push_back({"DaysToInc", (HowApplied == 2 || HowApplied == 4) ? DaysToInc : 100, false});
    v.push_back(null("Slope"));
    v.push_back(flag("IsPasture", false));
    v.push_back(flag("IsCovCrop", false));
    v.push_back(null("IsResidue"));
    v.push_back(null("Residue"));
    v.push_back(flag("IsBuffer", BufferWidth > 0));
    v.push_back({"BufWidth", BufferWidth >= 0 ? static_cast<double>(BufferWidth) : 0.0, false});
    for (const char* name : {"IsGoodVeg", "IsGradient", "IsOutstWtr", "IsIrrHiPrs", "IsFrozen"})
      v.push_back(flag(name, false));
    v.push_back(flag("IsWinter", Winter));
    v.push_back(null("NLI"));
    v.push_back(flag("IsPMgmt", false));
    v.push_back(null("Is303dList"));
    return v;
  }
};

// Fields of the setback sections.
enum : int {
  kfFeatureKey = 228, kfFeatureName = 229, kfCritKey = 244, kfCritApplies = 247,
  kfDistKey = 250, kfDistFeature = 251, kfDistCrit = 252, kfDistance = 253,
};

class Setbacks : public ::testing::Test {
 protected:
  void Use(const std::string& abbr) {
    ASSERT_TRUE(States.Ok) << States.Message;
    ASSERT_NE(States.Load(abbr), 0) << States.Message;
  }
  // Distances listed for a feature (by name) under an application, as the setbacks report lists them.
  std::vector<int> Distances(const std::string& feature, const TApplication& app) const {
    const TQriFileDb& db = States.Db();
    const int featureRow = db.FindFieldRow(kfFeatureName, feature);
    EXPECT_GE(featureRow, 0) << feature;
    const std::string key = db.GetFieldValue(kfFeatureKey, featureRow);
    std::vector<int> out;
    const auto vars = app.Vars();
    for (int k = 0; k < db.FieldRowCount(kfDistKey); ++k) {
      if (db.GetFieldValue(kfDistFeature, k) != key) continue;
      const int crit = db.FindFieldRow(kfCritKey, db.GetFieldValue(kfDistCrit, k));
      double value = 0;
      if (EvaluateExpression(db.GetFieldValue(kfCritApplies, crit), vars, value) == exNone && value != 0)
        out.push_back(db.GetFieldInteger(kfDistance, k));
    }
    return out;
  }
  TShippedStates States;
};

// Iowa Code 459.314: designated areas 200 ft unless injected or incorporated the same day or
// protected by a 50-ft permanent vegetated buffer (the buffer does not count for drainage wells);
// 459.311B: high-quality water resources 800 ft unless injected or incorporated the same day.
TEST_F(Setbacks, IowaDesignatedAreasAndHighQualityWater) {
  Use("ia");
  TApplication surface;
  EXPECT_EQ(Distances("Drinking water well", surface), std::vector<int>{200});
  TApplication injected;
  injected.HowApplied = 0;
  EXPECT_EQ(Distances("Drinking water well", injected), std::vector<int>{0});
  EXPECT_EQ(Distances("High-quality water resource", injected), std::vector<int>{0});
  TApplication buffered;
  buffered.BufferWidth = 50;
  EXPECT_EQ(Distances("Designated wetland", buffered), std::vector<int>{0});
  EXPECT_EQ(Distances("Unplugged agricultural drainage well", buffered), std::vector<int>{200});
  EXPECT_EQ(Distances("High-quality water resource", surface), std::vector<int>{800});
  TApplication nextDay;
  nextDay.HowApplied = 2;
  nextDay.DaysToInc = 1;
  EXPECT_EQ(Distances("Sinkhole", nextDay), std::vector<int>{200});
  nextDay.DaysToInc = 0;
  EXPECT_EQ(Distances("Sinkhole", nextDay), std::vector<int>{0});
}

// Minn. R. 7020.2225: lakes and streams 300 ft surface applied (100 ft with a 100-ft vegetated
// buffer outside winter), 25 ft incorporated within 24 hours; tile intakes 300 ft surface, 0
// incorporated; wells 50 ft; winter applications 300 ft.
TEST_F(Setbacks, MinnesotaSurfaceWaterTileIntakesAndWinter) {
  Use("mn");
  TApplication surface;
  EXPECT_EQ(Distances("Lake, stream or intermittent stream", surface), std::vector<int>{300});
  surface.BufferWidth = 100;
  EXPECT_EQ(Distances("Lake, stream or intermittent stream", surface), std::vector<int>{100});
  TApplication incorporated;
  incorporated.HowApplied = 2;
  incorporated.DaysToInc = 1;
  EXPECT_EQ(Distances("Lake, stream or intermittent stream", incorporated), std::vector<int>{25});
  EXPECT_EQ(Distances("Open tile intake", incorporated), std::vector<int>{0});
  EXPECT_EQ(Distances("Private well, public water supply well, mine or quarry", incorporated), std::vector<int>{50});
  TApplication winter;
  winter.Winter = true;
  EXPECT_EQ(Distances("Open tile intake", winter), std::vector<int>{300});
  EXPECT_EQ(Distances("Wetland of 10 acres or more", winter), std::vector<int>{300});
}

// Manure N availability per 1000 gal or ton: total N x first-year availability of the animal type
// x share kept from volatilization by application method (ISU PM 1811), from the engine's chain for
// a manure row of the book values applied by the given method.
double AvailableN(TShippedStates& states, const std::string& abbr, const std::string& manure, int method) {
  const int state = states.Load(abbr);
  const int defRow = states.Db().FindFieldRow(qfManureName, manure);
  EXPECT_GE(defRow, 0) << manure;
  TFieldRec rec = NewRecordTemplate(1, 2024, static_cast<uint16_t>(state));
  rec.Man_Input[0] = 3101;
  rec.Man_Method[0] = static_cast<uint8_t>(method);
  // 100 tons or 100,000 gal, so that the whole-pound result keeps two decimals per ton or 1000 gal.
  const bool liquid = states.Db().GetFieldBoolean(qfManIsLiquid, defRow);
  const TRecResult n = states.Engine.ManureNChain(1, defRow, liquid ? 100000 : 100, rec);
  EXPECT_EQ(n.Error, exNone) << abbr << " " << manure;
  return n.Value / 100;
}

TEST(ManureAvailability, ByAnimalAndApplicationMethod) {
  TShippedStates states;
  ASSERT_TRUE(states.Ok) << states.Message;
  for (const std::string& abbr : ShippedStateFiles()) {
    ASSERT_NE(states.Load(abbr), 0) << states.Message;
    // Liquid swine pit, 36 lb N/1000 gal: 95 % available, injected keeps 99 %.
    EXPECT_NEAR(AvailableN(states, abbr, "Swine, liquid pit", 1), 36 * 0.95 * 0.99, 0.01) << abbr;
    // Broadcast and not incorporated keeps 82 % of a liquid manure, 78 % of a solid one.
    EXPECT_NEAR(AvailableN(states, abbr, "Swine, liquid pit", 6), 36 * 0.95 * 0.82, 0.01) << abbr;
    EXPECT_NEAR(AvailableN(states, abbr, "Beef, solid with bedding", 6), 21 * 0.40 * 0.78, 0.01) << abbr;
    // Incorporated the same day keeps 97 %; poultry manure is 55 % available.
    EXPECT_NEAR(AvailableN(states, abbr, "Poultry, with litter", 2), 56 * 0.55 * 0.97, 0.01) << abbr;
    // The manure input codes map to their book values.
    EXPECT_EQ(states.Db().GetFieldValue(qfManureName, states.Engine.ManureRow(3112)), "Dairy, liquid") << abbr;
  }
}

}  // namespace
