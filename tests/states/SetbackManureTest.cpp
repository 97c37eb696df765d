// Setback distances of the Iowa and Minnesota rules and the manure N availability chain, evaluated
// through the files' own criteria and availability expressions.
#include <map>

#include "StateChain.h"

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

// Distances listed for a feature (by name) under an application, as the setbacks report lists them.
std::vector<int> Distances(const TStateFile& file, const std::string& feature, const TApplication& app) {
  const int featureRow = file.Db.FindFieldRow(229, feature);
  EXPECT_GE(featureRow, 0) << feature;
  const std::string key = file.Db.GetFieldValue(228, featureRow);
  std::vector<int> out;
  const auto vars = app.Vars();
  for (int k = 0; k < file.Db.FieldRowCount(250); ++k) {
    if (file.Db.GetFieldValue(kfDistFeature, k) != key) continue;
    const int crit = file.Db.FindFieldRow(kfCritKey, file.Db.GetFieldValue(kfDistCrit, k));
    double value = 0;
    if (EvaluateExpression(file.Db.GetFieldValue(kfCritApplies, crit), vars, value) == exNone && value != 0)
      out.push_back(file.Db.GetFieldInteger(kfDistance, k));
  }
  return out;
}

// Iowa Code 459.314: designated areas 200 ft unless injected or incorporated the same day or
// protected by a 50-ft permanent vegetated buffer (the buffer does not count for drainage wells);
// 459.311B: high-quality water resources 800 ft unless injected or incorporated the same day.
TEST(IowaSetbacks, DesignatedAreasAndHighQualityWater) {
  TStateFile ia("ia");
  ASSERT_TRUE(ia.Loaded) << ia.Message;
  TApplication surface;
  EXPECT_EQ(Distances(ia, "Drinking water well", surface), std::vector<int>{200});
  TApplication injected;
  injected.HowApplied = 0;
  EXPECT_EQ(Distances(ia, "Drinking water well", injected), std::vector<int>{0});
  EXPECT_EQ(Distances(ia, "High-quality water resource", injected), std::vector<int>{0});
  TApplication buffered;
  buffered.BufferWidth = 50;
  EXPECT_EQ(Distances(ia, "Designated wetland", buffered), std::vector<int>{0});
  EXPECT_EQ(Distances(ia, "Unplugged agricultural drainage well", buffered), std::vector<int>{200});
  EXPECT_EQ(Distances(ia, "High-quality water resource", surface), std::vector<int>{800});
  TApplication nextDay;
  nextDay.HowApplied = 2;
  nextDay.DaysToInc = 1;
  EXPECT_EQ(Distances(ia, "Sinkhole", nextDay), std::vector<int>{200});
  nextDay.DaysToInc = 0;
  EXPECT_EQ(Distances(ia, "Sinkhole", nextDay), std::vector<int>{0});
}

// Minn. R. 7020.2225: lakes and streams 300 ft surface applied (100 ft with a 100-ft vegetated
// buffer outside winter), 25 ft incorporated within 24 hours; tile intakes 300 ft surface, 0
// incorporated; wells 50 ft; winter applications 300 ft.
TEST(MinnesotaSetbacks, SurfaceWaterTileIntakesAndWinter) {
  TStateFile mn("mn");
  ASSERT_TRUE(mn.Loaded) << mn.Message;
  TApplication surface;
  EXPECT_EQ(Distances(mn, "Lake, stream or intermittent stream", surface), std::vector<int>{300});
  surface.BufferWidth = 100;
  EXPECT_EQ(Distances(mn, "Lake, stream or intermittent stream", surface), std::vector<int>{100});
  TApplication incorporated;
  incorporated.HowApplied = 2;
  incorporated.DaysToInc = 1;
  EXPECT_EQ(Distances(mn, "Lake, stream or intermittent stream", incorporated), std::vector<int>{25});
  EXPECT_EQ(Distances(mn, "Open tile intake", incorporated), std::vector<int>{0});
  EXPECT_EQ(Distances(mn, "Private well, public water supply well, mine or quarry", incorporated), std::vector<int>{50});
  TApplication winter;
  winter.Winter = true;
  EXPECT_EQ(Distances(mn, "Open tile intake", winter), std::vector<int>{300});
  EXPECT_EQ(Distances(mn, "Wetland of 10 acres or more", winter), std::vector<int>{300});
}

// Manure N availability per 1000 gal or ton: total N x first-year availability of the animal type
// x share kept from volatilization by application method (ISU PM 1811).
double AvailableN(const TStateFile& file, const std::string& manure, int method) {
  const int row = file.Db.FindFieldRow(kfManureName, manure);
  EXPECT_GE(row, 0) << manure;
  auto num = [&](int field) { return std::stod(file.Db.GetFieldValue(field, row)); };
  std::map<int, double> days{{2, 0}, {3, 1}, {8, 2}, {4, 3}, {9, 4}, {5, 5}, {10, 6}, {11, 7}};
  std::vector<TExprVar> vars{
      {"Year", 1, false}, {"TotalN", num(156), false}, {"NH4N", num(157), false}, {"PctDM", 0, true},
      {"AnimalDef", num(161), false}, {"IsPoultry", file.Db.GetFieldBoolean(155, row) ? -1.0 : 0.0, false},
      {"Bedding", 0, false}, {"StorageDef", num(162), false},
      {"IsLiquid", file.Db.GetFieldBoolean(154, row) ? -1.0 : 0.0, false}, {"PctMineral", num(160), false},
      {"EquipDef", 0, true}, {"IsInject", method == 1 ? -1.0 : 0.0, false},
      {"IsIrrigate", method == 7 ? -1.0 : 0.0, false}, {"IsAerial", method == 7 ? -1.0 : 0.0, false},
      {"DaysToInc", days.count(method) ? days[method] : 0, !days.count(method)}, {"AppMonth", 4, false},
      {"AppRegion", 1, false}, {"IrrWater", 0, true}, {"Drained", 0, false}, {"AnnManured", 0, false},
      {"OM", 0, true}, {"SurfTex", 0, true}, {"Drainage", 0, true}, {"Rate", 5000, false},
      {"CovCropGrp", 1, false}, {"IsHarvYear", -1, false}};
  for (int field = 180; field <= 195; ++field) {
    double value = 0;
    const int error = EvaluateExpression(file.Db.GetFieldValue(field, 0), vars, value);
    EXPECT_TRUE(error == exNone || error == exEmpty || error == exNullResult) << field << ": " << error;
    vars.push_back({file.Db.FieldName(field), value, error != exNone});
    if (field == 195) {
      EXPECT_EQ(error, exNone);
      return value;
    }
  }
  return -1;
}

TEST(ManureAvailability, ByAnimalAndApplicationMethod) {
  for (const char* abbr : {"ia", "il", "mn", "wi", "al", "ga"}) {
    TStateFile file(abbr);
    ASSERT_TRUE(file.Loaded) << file.Message;
    // Liquid swine pit, 36 lb N/1000 gal: 95 % available, injected keeps 99 %.
    EXPECT_NEAR(AvailableN(file, "Swine, liquid pit", 1), 36 * 0.95 * 0.99, 0.01) << abbr;
    // Broadcast and not incorporated keeps 82 % of a liquid manure, 78 % of a solid one.
    EXPECT_NEAR(AvailableN(file, "Swine, liquid pit", 6), 36 * 0.95 * 0.82, 0.01) << abbr;
    EXPECT_NEAR(AvailableN(file, "Beef, solid with bedding", 6), 21 * 0.40 * 0.78, 0.01) << abbr;
    // Incorporated the same day keeps 97 %; poultry manure is 55 % available.
    EXPECT_NEAR(AvailableN(file, "Poultry, with litter", 2), 56 * 0.55 * 0.97, 0.01) << abbr;
    // The manure input codes map to their book values.
    double value = 0;
    std::vector<TExprVar> code{{"TessManure", 3112, false}};
    const int row = file.Db.FindFieldRow(kfManureName, "Dairy, liquid");
    ASSERT_EQ(EvaluateExpression(file.Db.GetFieldValue(kfIsTessAve, row), code, value), exNone);
    EXPECT_NE(value, 0) << abbr;
  }
}

}  // namespace
