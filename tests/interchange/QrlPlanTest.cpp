// The plan export and import against the stand-in planner.
#include <filesystem>
#include <stdexcept>

#include <gtest/gtest.h>

#include "../support/PlannerStandin.h"
#include "../support/SampleProjects.h"
#include "common/DayNum.h"
#include "interchange/QrlCalls.h"
#include "interchange/QrlExport.h"
#include "interchange/QrlImport.h"
#include "interchange/QrlYield.h"
#include "vocab/CropVocab.h"

namespace {

namespace fs = std::filesystem;

TQrlValue Int(int64_t v) { return TQrlValue::OfInt(v); }
TQrlValue Num(double v) { return TQrlValue::OfReal(v); }
TQrlValue Str(const char* s) { return TQrlValue::OfText(s); }
TDayNum Day(int y, int m, int d) { return EncodeDay(y, m, d); }

TEST(QrlPlan, YieldUnitsVersionsAndErrorTexts) {
  EXPECT_DOUBLE_EQ(ConvertYield(2, "Bale", "Lb", crCotton), 960);
  EXPECT_DOUBLE_EQ(ConvertYield(960, "Lb", "Bale", crCotton), 2);
  EXPECT_EQ(ConvertYield(2, "Bale", "Lb", crCorn), 0);  // bales are cotton's only
  EXPECT_EQ(ConvertYield(960, "Lb", "Bale", crCorn), 0);
  EXPECT_EQ(ConvertYield(20, "Ton", "Bu", crCornSilage), 0);  // no bushel weight
  EXPECT_DOUBLE_EQ(ConvertYield(60, "bu", "Bu", crCornSilage), 60);
  EXPECT_DOUBLE_EQ(ConvertYield(36, "CWT", "Bu", crSoybeans), 60);
  EXPECT_EQ(ConvertYield(36, "Acre", "Bu", crSoybeans), 0);
  EXPECT_DOUBLE_EQ(ImportedYield(1, "Ton", "Bu", crCorn), 35.7);  // 35.714... rounded
  EXPECT_EQ(ImportedYield(6, "Ton", "Lb", crCorn), 0);           // 12000 is above 9999
  EXPECT_DOUBLE_EQ(ImportedYield(42.26, "", "Bu", crCorn), 42.3);  // no unit: unconverted

  EXPECT_TRUE(VersionBelow("0.1.10.0", kQrlLeastVersion));  // text, not numbers
  EXPECT_FALSE(VersionBelow("0.1.9.7", kQrlLeastVersion));
  EXPECT_EQ(QrlErrorTail({kQrlErrorBase + 1001, "QRL", "x"}), "Error 1001 raised by QRL.");
  EXPECT_EQ(QrlErrorNumber(-2147024809), 196695);  // a system error stays itself, offset

  // A planner that cannot be started says why, when the starter knows.
  std::string version, message;
  const TQrlStarter failing = []() -> std::unique_ptr<IQrlApp> { throw std::runtime_error("no session bus"); };
  EXPECT_EQ(StartPlanner(failing, version, message, {}), nullptr);
  EXPECT_EQ(message, std::string(kQrlNotStarted) + "\r\nno session bus");

  TPlanStoreApp app;
  message.clear();
  EXPECT_EQ(CreateStatePlan(app, "Atlantis", message), nullptr);
  EXPECT_EQ(message, "Unable to create QRL plan for Atlantis.\r\n\r\nUnknown state 'Atlantis'.\r\nError 1001 raised by QRL.");
}

class QrlPlanTest : public TSampleFixture {
 protected:
  // Exports a sample project; the done callback's values land in Done*.
  bool Export(const std::string& sample, const std::string& plan, const TExportOptions& options = {}) {
    TMdaFile project;
    OpenSample(project, sample);
    const auto done = [this](const std::string& path, int fields, const std::string& second, int apps) {
      DonePath = path, DoneFields = fields, DoneSecond = second, DoneApps = apps;
    };
    return ExportToPlan(project, Mcn, Planner.Starter(), plan, done, options, Message);
  }
  std::unique_ptr<IQrlPlan> OpenPlan(const std::string& path) {
    TQrlError error;
    auto plan = TPlanStoreApp(Planner.Settings).OpenPlanFile(path, error);
    EXPECT_NE(plan, nullptr) << error.Message;
    return plan;
  }
  bool Import(const std::string& plan, const std::string& project) {
    return CreateProjectFromPlan(Planner.Starter(), plan, project, Mcn, Mdf, Text, Message, Count);
  }
  void OpenProject(TMdaFile& project, const std::string& path) {
    ASSERT_TRUE(project.OpenProject(path, false, Refs)) << project.FullErrorText();
  }
  // A new Iowa plan of `fields` field rows and `years` crop years, from September 2023.
  std::unique_ptr<IQrlPlan> NewPlan(int fields, int years) {
    Planner.Settings.FieldRows = fields;
    TQrlError error;
    auto plan = TPlanStoreApp(Planner.Settings).CreatePlanFile("Iowa", 1, error);
    SetPlanCell(*plan, "PlanInfo", 0, "PlanYears", Int(years));
    SetPlanCell(*plan, "Operation", 0, "StartPlnYr", Int(2023));
    SetPlanCell(*plan, "Operation", 0, "StartPlnMo", Int(9));
    SetPlanCell(*plan, "Operation", 0, "CntyCode", Int(169));
    EXPECT_TRUE(plan->ExpandTables(error));
    years_ = years;
    return plan;
  }
  // Sets cells of a row; row -1 appends a new row to the table.
  void Row(IQrlPlan& plan, const std::string& table, int row,
           std::initializer_list<std::pair<const char*, TQrlValue>> cells) {
    TQrlError error;
    if (row < 0) row = static_cast<TPlanStore&>(plan).AppendRow(table, error);
    for (const auto& [column, value] : cells) SetPlanCell(plan, table, row, column, value);
  }
  int CropIndex(int field, int year, bool primary) const { return field * years_ * 2 + (year - 1) * 2 + primary; }
  void SavePlan(IQrlPlan& plan, const std::string& path) {
    TQrlError error;
    ASSERT_TRUE(plan.SaveAs(path, error)) << error.Message;
  }

  TTestPlanner Planner;
  std::string Message;
  int Count = 0;
  TTextImport Text;
  std::string DonePath, DoneSecond;
  int DoneFields = -2, DoneApps = -2;

 private:
  int years_ = 2;
};

TEST_F(QrlPlanTest, IowaSampleExportedAndImportedBack) {
  // The planner's corn yields are in hundredweights: both directions convert.
  Planner.OnCreate = [](IQrlPlan& plan) { SetPlanCell(plan, "CropDef", 0, "YldUnit", Str("CWT")); };
  const std::string planPath = Dir.File("hansen.qrl");
  ASSERT_TRUE(Export("iowa-2024", Dir.File("hansen"), {})) << Message;
  EXPECT_EQ(DonePath, planPath);
  EXPECT_EQ(DoneFields, 12);
  EXPECT_EQ(DoneSecond, "");
  EXPECT_EQ(DoneApps, -1);

  auto plan = OpenPlan(planPath);
  ASSERT_NE(plan, nullptr);
  EXPECT_EQ(PlanCell(*plan, "PlanInfo", 0, "Title").Str, "Hansen Family Farms 2024");
  EXPECT_EQ(PlanCell(*plan, "Operation", 0, "Operation").Str, "Hansen Family Farms");
  EXPECT_EQ(PlanCell(*plan, "Operation", 0, "CntyCode").Int, 169);  // Story County, of the first record
  EXPECT_EQ(PlanCell(*plan, "Operation", 0, "StartCrpYr").Int, 2024);
  EXPECT_EQ(PlanCell(*plan, "Field", 0, "ID").Str, "Home");
  EXPECT_EQ(PlanCell(*plan, "Field", 0, "SubID").Str, "North");
  EXPECT_EQ(PlanCell(*plan, "Field", 0, "SoilKey").Int, 1916901);  // 138B, the larger of its two soils
  EXPECT_DOUBLE_EQ(PlanCell(*plan, "Field", 0, "Slope").Real, 3);  // not the soil's 3.5
  EXPECT_EQ(PlanCell(*plan, "Field", 3, "SoilKey").Int, 1916904);
  EXPECT_TRUE(PlanCell(*plan, "Field", 3, "Slope").IsNull());  // 1 %, the middle of the soil's 0 to 2 %
  EXPECT_TRUE(PlanCell(*plan, "Field", 6, "SoilKey").IsNull());  // a Boone County soil
  EXPECT_EQ(PlanCell(*plan, "Field", 0, "InLbA").Int, 0);
  EXPECT_DOUBLE_EQ(PlanCell(*plan, "Field", 0, "K").Real, 182);
  EXPECT_EQ(PlanCell(*plan, "Crop", 1, "CropDef").Int, 1);
  EXPECT_NEAR(PlanCell(*plan, "Crop", 1, "YldGoal").Real, 205.6 * 0.56, 1e-4);  // harvested, in CWT
  EXPECT_EQ(PlanCell(*plan, "Crop", 0, "PctLegume").Int, -1);
  EXPECT_TRUE(PlanCell(*plan, "Crop", 0, "CropDef").IsNull());  // no cover crop
  EXPECT_EQ(PlanCell(*plan, "Crop", 3, "CropDef").Int, 3);
  EXPECT_DOUBLE_EQ(PlanCell(*plan, "Crop", 3, "YldGoal").Real, 60);
  plan.reset();

  const std::string projectPath = Dir.File("from-plan.tsj");
  ASSERT_TRUE(Import(planPath, projectPath)) << Message;
  EXPECT_EQ(Count, 12);
  EXPECT_FALSE(fs::exists(Dir.File("from-plan.sqlite")));
  TMdaFile project;
  OpenProject(project, projectPath);
  EXPECT_EQ(project.ProjectState(), 15);
  EXPECT_EQ(project.ProjectYear(), 2024);
  EXPECT_EQ(project.Author(), "Karen Hansen");
  EXPECT_EQ(project.Comments(), "Field records for the 2024 crop year. Soil samples by Story County Agronomy.");
  ASSERT_EQ(project.RecordCount(), 12);
  TFieldRec r{};
  ASSERT_TRUE(project.ReadRecord(1, r));
  EXPECT_EQ(r.Field_ID, 1);
  EXPECT_EQ(r.Field_Name.Str(), "Home");
  EXPECT_EQ(r.SubFld_Nam.Str(), "North");
  EXPECT_EQ(r.County, 85);
  EXPECT_FLOAT_EQ(r.Field_Size, 78.5f);
  EXPECT_EQ(r.Addr_Town.Str(), "Nevada");
  EXPECT_EQ(r.Email_Addr.Str(), "karen@hansenfarms.example");
  EXPECT_FLOAT_EQ(r.P, 24);
  EXPECT_EQ(r.P_Units, 2);
  EXPECT_EQ(r.Nitrate_N, 14);
  EXPECT_EQ(r.Cur_Crop, 1);
  EXPECT_EQ(r.Cur_Code, 1);
  EXPECT_FLOAT_EQ(r.Cur_Goal, 205.6f);
  EXPECT_EQ(r.Next_Crop, 2);
  EXPECT_EQ(r.Next_Code, 3);
  EXPECT_FLOAT_EQ(r.Next_Goal, 60);
  EXPECT_EQ(r.Prev_Crop, 2);  // the rotation's other crop
  EXPECT_FLOAT_EQ(r.Prev_Yield, 60);
  EXPECT_EQ(r.Cov_Crop, 0);
  EXPECT_EQ(r.Flags, 0);  // no percent legume, no custom recommendation from the -1 cells
  EXPECT_EQ(r.Soil_Sym[0].Str(), "138B");
  EXPECT_EQ(r.Soil_Name[0].Str(), "Clarion loam");
  EXPECT_EQ(r.Soil_FldPct[0], 100);
  EXPECT_FLOAT_EQ(r.Soil_Slope[0], 3);
  EXPECT_EQ(r.Soil_Texture[0], 13);
  EXPECT_EQ(r.Soil_Drain[0], 4);
  EXPECT_EQ(r.Soil_Attr1[0], 172);
  EXPECT_EQ(r.Soil_Attr2[0], 85);
  EXPECT_FLOAT_EQ(r.Soil_Rating[0], 88);
  EXPECT_TRUE(r.Soil_Sym[1].Empty());
  ASSERT_TRUE(project.ReadRecord(7, r));
  EXPECT_EQ(r.Field_Name.Str(), "Depot");
  EXPECT_EQ(r.County, 8);
  EXPECT_TRUE(r.Soil_Sym[0].Empty());
}

TEST_F(QrlPlanTest, ExportFollowsPlannerVersionAndRecordLimit) {
  Planner.Settings.FieldRows = 5;
  TExportOptions options;
  options.Filter = [](TFieldRec& rec) {
    if (rec.Field_ID != 101) return true;
    rec.Drain_Type = 2;
    rec.SetFlag(rfAnnManure, true);
    rec.P_Units = 1;  // P in Lb/A, K still in ppm
    rec.Next_Crop = 0;
    rec.Soil_Slope[0] = -1;
    return true;
  };
  for (const char* version : {"0.1.9.8", "0.2.0.0"}) {
    SCOPED_TRACE(version);
    Planner.Settings.FileVersion = version;
    ASSERT_TRUE(Export("iowa-2024", Dir.File("v.qrl"), options)) << Message;
    EXPECT_EQ(DoneFields, 5);
    auto plan = OpenPlan(Dir.File("v.qrl"));
    ASSERT_NE(plan, nullptr);
    int rows = 0;
    TQrlError error;
    ASSERT_TRUE(plan->RowCount("Field", rows, error));
    EXPECT_EQ(rows, 5);
    TQrlValue v;
    const bool old = std::string(version) < "0.2.0.0";
    EXPECT_EQ(plan->GetValue("Field", 0, "Drained", v, error), old);
    EXPECT_EQ(plan->GetValue("Field", 0, "DrainDef", v, error), !old);
    if (old) {
      EXPECT_EQ(PlanCell(*plan, "Field", 0, "Drained").Int, 1);
    } else {
      EXPECT_EQ(PlanCell(*plan, "Field", 0, "DrainDef").Int, 2);
      EXPECT_EQ(PlanCell(*plan, "Field", 0, "AnnManured").Int, 1);
    }
    EXPECT_EQ(PlanCell(*plan, "Field", 0, "InLbA").Int, 1);
    EXPECT_DOUBLE_EQ(PlanCell(*plan, "Field", 0, "K").Real, 364);
    EXPECT_TRUE(PlanCell(*plan, "Field", 0, "Slope").IsNull());  // no slope entered
    // Without a next crop the second crop year holds the previous crop and its yield.
    EXPECT_EQ(PlanCell(*plan, "Crop", 3, "CropDef").Int, 3);
    EXPECT_DOUBLE_EQ(PlanCell(*plan, "Crop", 3, "YldGoal").Real, 58);
  }

  Planner.Settings.FileVersion = "0.1.9.6";
  EXPECT_FALSE(Export("iowa-2024", Dir.File("old.qrl")));
  EXPECT_EQ(Message, kQrlTooOld);
  Planner.Missing = true;
  EXPECT_FALSE(Export("iowa-2024", Dir.File("none.qrl")));
  EXPECT_EQ(Message, kQrlNotStarted);
  EXPECT_FALSE(fs::exists(Dir.File("old.qrl")) || fs::exists(Dir.File("none.qrl")));

  Planner.Missing = false;
  Planner.Settings.FileVersion = "0.2.1.0";
  // A plan that could not be saved is refused before the planner does any work.
  EXPECT_FALSE(Export("iowa-2024", Dir.File("no/such/folder/x.qrl")));
  EXPECT_EQ(Message, Dir.File("no/such/folder/x.qrl") + "\r\nCan't create file. The folder " +
                         Dir.File("no/such/folder") + " does not exist.");
  TExportOptions none;  // an empty subset writes no plan
  none.Filter = [](TFieldRec&) { return false; };
  EXPECT_FALSE(Export("iowa-2024", Dir.File("empty.qrl"), none));
  EXPECT_EQ(Message, kNoRecordsInSubset);
  EXPECT_FALSE(fs::exists(Dir.File("empty.qrl")));
  const int starts = Planner.Starts;
  EXPECT_FALSE(Export("multi-state-2024", Dir.File("multi.qrl")));
  EXPECT_EQ(Message, "Exporting a multi-state project file is not supported.");
  EXPECT_EQ(Planner.Starts, starts);
}

TEST_F(QrlPlanTest, ImportedCropHistoryAndRecommendations) {
  Planner.Settings.FileVersion = "0.1.9.8";
  auto plan = NewPlan(2, 3);
  // Field row 0, second in plan order: oatlage (in tons) after corn, with a cover crop the
  // program has no crop for.
  Row(*plan, "Field", 0, {{"ID", Str("B")}, {"PlanOrder", Int(2)}, {"Drained", Int(1)}});
  Row(*plan, "Crop", CropIndex(0, 1, true), {{"CropDef", Int(5)}, {"YldGoal", Num(3)}});
  Row(*plan, "Crop", CropIndex(0, 1, false),
      {{"CropDef", Int(22)}, {"PctLegume", Int(25)}, {"CustNRec", Int(30)}, {"CustRecSrc", Str("Cover lab")}});
  Row(*plan, "Crop", CropIndex(0, 2, true), {{"CropDef", Int(3)}, {"YldGoal", Num(55)}});
  Row(*plan, "Crop", CropIndex(0, 3, true), {{"CropDef", Int(1)}, {"YldGoal", Num(200)}});
  // Field row 1, first: corn, soybeans, corn with custom N for both crops of the first year.
  Row(*plan, "Field", 1, {{"ID", Str("A")}, {"SubID", Str("S")}, {"PlanOrder", Int(1)}});
  Row(*plan, "Crop", CropIndex(1, 1, true),
      {{"CropDef", Int(1)}, {"YldGoal", Num(190)}, {"CustNRec", Int(120)}, {"DefPRec", Int(40)},
       {"CustRecSrc", Str("Corn lab")}, {"PctLegume", Int(-1)}});
  Row(*plan, "Crop", CropIndex(1, 1, false), {{"CropDef", Int(8)}, {"DefNRec", Int(20)}, {"CustNRec", Int(-1)}});
  Row(*plan, "Crop", CropIndex(1, 2, true), {{"CropDef", Int(3)}, {"YldGoal", Num(58)}});
  Row(*plan, "Crop", CropIndex(1, 3, true), {{"CropDef", Int(1)}, {"YldGoal", Num(195)}});
  SavePlan(*plan, Dir.File("rot.qrl"));

  ASSERT_TRUE(Import(Dir.File("rot.qrl"), Dir.File("rot.tsj"))) << Message;
  ASSERT_EQ(Count, 2);
  TMdaFile project;
  OpenProject(project, Dir.File("rot.tsj"));
  EXPECT_EQ(project.Comments(), "");  // the planner's own "Created at" comment
  TFieldRec a{}, b{};
  ASSERT_TRUE(project.ReadRecord(1, a));
  ASSERT_TRUE(project.ReadRecord(2, b));

  EXPECT_EQ(a.Field_Name.Str(), "A");
  EXPECT_EQ(a.SubFld_Nam.Str(), "S");
  EXPECT_EQ(a.Drain_Type, 0);
  EXPECT_EQ(a.Cur_Crop, 1);
  EXPECT_EQ(a.Cov_Crop, 13);  // rye
  EXPECT_EQ(a.Next_Crop, 2);
  EXPECT_EQ(a.Prev_Crop, 2);  // corn comes again in year 3: year 2 is before it
  EXPECT_FLOAT_EQ(a.Prev_Yield, 58);
  EXPECT_FALSE(a.HasFlag(rfCurPctLeg));
  EXPECT_EQ(a.Cust_NRec, 140);  // 120 custom for corn + 20 default for rye
  EXPECT_TRUE(a.HasFlag(rfCustN));
  EXPECT_FALSE(a.HasFlag(rfCustP));  // defaults alone are no custom recommendation
  EXPECT_EQ(a.Cust_Source.Str(), "Corn lab");

  EXPECT_EQ(b.Field_Name.Str(), "B");
  EXPECT_EQ(b.Drain_Type, 1);  // Drained: Iowa's default drainage type
  EXPECT_EQ(b.Cur_Crop, 4);
  EXPECT_EQ(b.Cur_Code, 5);
  EXPECT_FLOAT_EQ(b.Cur_Goal, 187.5f);  // 3 tons of oats in 32-pound bushels
  EXPECT_EQ(b.Cov_Crop, 31);            // the planner's "Other" as a cover crop
  EXPECT_EQ(b.Cov_Code, 22);
  EXPECT_EQ(b.Cov_PctLeg, 25);
  EXPECT_TRUE(b.HasFlag(rfCovPctLeg));
  EXPECT_EQ(b.Prev_Crop, 1);  // oatlage does not come again: the last year's crop
  EXPECT_FLOAT_EQ(b.Prev_Yield, 200);
  EXPECT_EQ(b.Cust_NRec, 30);
  EXPECT_EQ(b.Cust_Source.Str(), "Cover lab");
}

TEST_F(QrlPlanTest, ImportedApplicationsOfFirstCropYear) {
  auto plan = NewPlan(1, 2);
  Row(*plan, "Field", 0, {{"ID", Str("North")}, {"Irrigated", Int(1)}});
  Row(*plan, "Crop", CropIndex(0, 1, true), {{"CropDef", Int(1)}, {"YldGoal", Num(200)}});
  const auto fert = [&](int type, TQrlValue n, TQrlValue p, int form, double rate, int month, int year,
                        int cover = 0, int cropYear = 1) {
    Row(*plan, "FertApp", -1,
        {{"Field", Int(0)}, {"CropYrNum", Int(cropYear)}, {"CovType", Int(cover)}, {"AppType", Int(type)},
         {"N", n}, {"P2O5", p}, {"K2O", Int(0)}, {"Rate", Num(rate)}, {"Form", Int(form)},
         {"AppMonth", Int(month)}, {"AppYrNum", Int(year)}});
  };
  fert(1, Int(82), Int(0), 1, 150, 4, 2);     // anhydrous ammonia, April 2024
  fert(1, Int(46), Int(0), 1, 200, 10, 1);    // urea, October 2023
  fert(1, Int(28), Int(0), 2, 20, 6, 1);      // UAN in June 2023: before the window
  fert(1, Int(10), {}, 3, 5, 5, 2);           // incomplete analysis, unknown form
  fert(3, Int(12), {}, 0, 1.5, 7, 2);         // irrigation water with 12 lb N
  fert(3, Int(20), {}, 0, 1, 6, 1);           // earlier irrigation: no window for water
  fert(1, Int(30), Int(0), 1, 50, 5, 2, 3);   // CovType 3: not imported
  fert(1, Int(30), Int(0), 1, 50, 5, 2, 0, 2);  // crop year 2: not imported
  fert(2, Int(30), Int(0), 1, 50, 5, 2);      // another kind: not imported
  Row(*plan, "Storage", -1, {{"Storage", Int(1)}, {"StorageDef", Int(6)}, {"EstTotalN", Num(40)}, {"EstNH4N", Num(25)},
                             {"MeasP2O5", Num(30)}, {"EstP2O5", Num(99)}, {"EstK2O", Num(28)}, {"MeasPctDM", Num(4.5)}});
  Row(*plan, "Storage", -1, {{"Storage", Int(2)}, {"StorageDef", Int(1)}, {"MeasTotalN", Num(12)}, {"EstNH4N", Num(9)}});
  Row(*plan, "Storage", -1, {{"Storage", Int(3)}, {"StorageDef", Int(3)}});
  Row(*plan, "Animal", -1, {{"Storage", Int(2)}, {"AnimalDef", Int(8)}, {"PlanOrder", Int(2)}});  // dairy
  Row(*plan, "Animal", -1, {{"Storage", Int(1)}, {"AnimalDef", Int(1)}, {"PlanOrder", Int(1)}});  // swine
  Row(*plan, "ManureXfer", -1, {{"XferType", Int(2)}, {"Storage", Int(3)}, {"AnimalDef", Int(19)}});  // horses
  Row(*plan, "Equipment", -1, {{"Equipment", Int(1)}, {"EquipDef", Int(2)}});  // injector
  Row(*plan, "Equipment", -1, {{"Equipment", Int(2)}, {"EquipDef", Int(1)}});  // box spreader
  Row(*plan, "Equipment", -1, {{"Equipment", Int(3)}, {"EquipDef", Int(3)}});  // irrigation
  const auto manure = [&](int storage, double rate, int month, int year, int equipment, TQrlValue days) {
    Row(*plan, "ManureApp", -1,
        {{"Field", Int(0)}, {"CropYrNum", Int(1)}, {"Storage", Int(storage)}, {"Rate", Num(rate)},
         {"AppMonth", Int(month)}, {"AppYrNum", Int(year)}, {"Equipment", Int(equipment)}, {"DaysToInc", days}});
  };
  manure(1, 5000, 11, 1, 1, Int(0));
  manure(2, 15, 4, 2, 2, Int(2));
  manure(3, 10, 3, 2, 2, {});
  manure(9, 7, 5, 1, 3, {});  // no such storage
  SavePlan(*plan, Dir.File("apps.qrl"));

  ASSERT_TRUE(Import(Dir.File("apps.qrl"), Dir.File("apps.tsj"))) << Message;
  TMdaFile project;
  OpenProject(project, Dir.File("apps.tsj"));
  TFieldRec r{};
  ASSERT_TRUE(project.ReadRecord(1, r));
  // Fertilizer rows in date order, the undated one last.
  const struct {
    float n, rate;
    int units, form;
    TDayNum date;
  } ferts[] = {{46, 200, 2, 2, Day(2023, 10, 15)}, {82, 150, 2, 1, Day(2024, 4, 15)},
               {0, 5, 0, 0, Day(2024, 5, 15)},     {28, 20, 7, 3, 0}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_FLOAT_EQ(r.Fert_N[i], ferts[i].n);
    EXPECT_FLOAT_EQ(r.Fert_Rate[i], ferts[i].rate);
    EXPECT_EQ(r.Fert_Units[i], ferts[i].units);
    EXPECT_EQ(r.Fert_Form[i], ferts[i].form);
    EXPECT_EQ(r.Fert_Date[i], ferts[i].date);
  }
  EXPECT_FLOAT_EQ(r.Fert_Rate[4], 0);
  EXPECT_EQ(r.Othr_Input[0], 7002);
  EXPECT_EQ(r.Othr_Date[0], Day(2023, 6, 15));
  EXPECT_EQ(r.Othr_Input[1], 7002);
  EXPECT_FLOAT_EQ(r.Othr_Rate[1], 1.5f);
  EXPECT_EQ(r.Othr_Units[1], 11);
  EXPECT_EQ(r.Othr_Input[2], 0);
  EXPECT_EQ(r.Irrig_N, 12);  // the first irrigation's N
  EXPECT_TRUE(r.HasFlag(rfIrrigN));
  // Manure rows in date order: swine liquid injected, horse by transfer, dairy with bedding.
  const struct {
    int input, units, method;
    float rate, totN, nh4, p, k, dm;
    TDayNum date;
  } manures[] = {{3102, 7, 1, 5000, 40, 25, 30, 28, 4.5f, Day(2023, 11, 15)},
                 {3161, 3, 6, 10, 0, 0, 0, 0, 0, Day(2024, 3, 15)},
                 {3113, 3, 8, 15, 12, 0, 0, 0, 0, Day(2024, 4, 15)},
                 {0, 0, 7, 7, 0, 0, 0, 0, 0, 0}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(r.Man_Input[i], manures[i].input);
    EXPECT_EQ(r.Man_Units[i], manures[i].units);
    EXPECT_EQ(r.Man_Method[i], manures[i].method);
    EXPECT_FLOAT_EQ(r.Man_Rate[i], manures[i].rate);
    EXPECT_FLOAT_EQ(r.Man_TotN[i], manures[i].totN);
    EXPECT_FLOAT_EQ(r.Man_NH4N[i], manures[i].nh4);
    EXPECT_FLOAT_EQ(r.Man_P2O5[i], manures[i].p);
    EXPECT_FLOAT_EQ(r.Man_K2O[i], manures[i].k);
    EXPECT_FLOAT_EQ(r.Man_PctDM[i], manures[i].dm);
    EXPECT_EQ(r.Man_Date[i], manures[i].date);
  }

  // An older planner's export without the fertilizer and transfer tables: an irrigated field
  // gets irrigation water alone, the horse manure no input.
  // A database of that name is someone's: it stays as it is.
  Planner.Settings.OmitFromExport = {"FertApp", "ManureXfer", "Storage.MeasPctDM"};
  WriteWholeFile(Dir.File("older.sqlite"), "mine");
  ASSERT_TRUE(Import(Dir.File("apps.qrl"), Dir.File("older.tsj"))) << Message;
  EXPECT_EQ(ReadWholeFile(Dir.File("older.sqlite")), "mine");
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir.Path()), fs::directory_iterator()), 4);  // no scratch database left
  TMdaFile older;
  OpenProject(older, Dir.File("older.tsj"));
  ASSERT_TRUE(older.ReadRecord(1, r));
  EXPECT_FLOAT_EQ(r.Fert_Rate[0], 0);
  EXPECT_EQ(r.Othr_Input[0], 7002);
  EXPECT_FLOAT_EQ(r.Othr_Rate[0], 0);
  EXPECT_EQ(r.Man_Input[1], 0);
  EXPECT_FLOAT_EQ(r.Man_PctDM[0], 0);
}

TEST_F(QrlPlanTest, FailedImportLeavesNothingBehind) {
  const std::string project = Dir.File("new.tsj");
  EXPECT_FALSE(Import(Dir.File("missing.qrl"), project));
  EXPECT_EQ(Message.rfind("Error exporting QRL plan data.\r\nUnable to open plan file ", 0), 0u) << Message;
  EXPECT_TRUE(Message.ends_with(".\r\nError 1005 raised by QRL.")) << Message;

  auto plan = NewPlan(1, 2);
  Row(*plan, "Field", 0, {{"ID", Str("X")}});
  Row(*plan, "InitInfo", 0, {{"StateCode", Int(72)}});  // not a state of the county names file
  SavePlan(*plan, Dir.File("nostate.qrl"));
  EXPECT_FALSE(Import(Dir.File("nostate.qrl"), project));
  EXPECT_EQ(Message, "Unable to determine plan's state.");

  Row(*plan, "InitInfo", 0, {{"StateCode", Int(19)}});
  Row(*plan, "Operation", 0, {{"StartCrpYr", {}}});
  SavePlan(*plan, Dir.File("noyear.qrl"));
  EXPECT_FALSE(Import(Dir.File("noyear.qrl"), project));
  EXPECT_EQ(Message, "Unable to determine plan's starting crop year.");

  // Texts hold no control characters.
  Row(*plan, "Operation", 0, {{"StartCrpYr", Int(2024)}});
  Row(*plan, "Field", 0, {{"Notes", Str("Tiled\tin 2015")}});
  SavePlan(*plan, Dir.File("tab.qrl"));
  EXPECT_FALSE(Import(Dir.File("tab.qrl"), project));
  EXPECT_EQ(Message, "The plan's field 1: Notes is not accepted: must not hold control characters (it holds U+0009).");

  Planner.Settings.FileVersion = "0.1.9.6";
  EXPECT_FALSE(Import(Dir.File("noyear.qrl"), project));
  EXPECT_EQ(Message, kQrlTooOld);
  for (const auto& entry : fs::directory_iterator(Dir.Path()))
    EXPECT_EQ(entry.path().extension(), ".qrl") << entry.path();
}

}  // namespace
