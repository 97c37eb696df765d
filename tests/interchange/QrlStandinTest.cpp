// The stand-in planner the plan interchange tests run against: its plans must behave like the
// planner's where the interchange relies on it.
#include <gtest/gtest.h>

#include "../support/TempDir.h"
#include "PlanStore.h"

namespace {

TQrlValue Int(int64_t v) { return TQrlValue::OfInt(v); }

TEST(QrlStandin, NewPlanCountySoilsAndErrors) {
  TPlanStoreApp app;
  TQrlError error;
  EXPECT_EQ(app.CreatePlanFile("Atlantis", 1, error), nullptr);
  EXPECT_EQ(error.Code, kQrlErrorBase + pePlanState);
  EXPECT_EQ(error.Source, "QRL");

  auto plan = app.CreatePlanFile("iowa", 1, error);
  ASSERT_NE(plan, nullptr);
  TQrlValue v;
  ASSERT_TRUE(plan->GetValue("InitInfo", 0, "StateCode", v, error));
  EXPECT_EQ(v.Int, 19);
  ASSERT_TRUE(plan->GetValue("PlanInfo", 0, "PlanYears", v, error));
  EXPECT_EQ(v.Int, 2);

  // The county's soils come with its code; a symbol may name two components.
  int n = 0;
  ASSERT_TRUE(plan->RowCount("SoilKey", n, error));
  EXPECT_EQ(n, 0);
  ASSERT_TRUE(plan->SetValue("Operation", 0, "CntyCode", Int(169), error));
  ASSERT_TRUE(plan->RowCount("SoilKey", n, error));
  EXPECT_EQ(n, 9);
  ASSERT_TRUE(plan->GetValue("SoilKey", 6, "CompName", v, error));
  EXPECT_EQ(v.Str, "Storden loam");
  ASSERT_TRUE(plan->GetValue("SoilKey", 4, "SlopeL", v, error));
  EXPECT_TRUE(v.IsNull());
  ASSERT_TRUE(plan->GetValue("SoilKey", 2, "MuSym", v, error));
  EXPECT_EQ(v.Str, "55");  // a symbol stays text even when it looks like a number

  // The plan's field and crop rows exist only after ExpandTables.
  ASSERT_TRUE(plan->RowCount("Field", n, error));
  EXPECT_EQ(n, 0);
  EXPECT_FALSE(plan->SetValue("Field", 0, "ID", TQrlValue::OfText("x"), error));
  EXPECT_EQ(error.Code, kQrlErrorBase + pePlanRow);
  ASSERT_TRUE(plan->ExpandTables(error));
  ASSERT_TRUE(plan->RowCount("Field", n, error));
  EXPECT_EQ(n, 60);
  ASSERT_TRUE(plan->RowCount("Crop", n, error));
  EXPECT_EQ(n, 240);
  ASSERT_TRUE(plan->GetValue("Crop", 2 * 4 + 3, "CropYrNum", v, error));
  EXPECT_EQ(v.Int, 2);
  ASSERT_TRUE(plan->GetValue("Crop", 2 * 4 + 3, "Field", v, error));
  EXPECT_EQ(v.Int, 2);

  bool valid = false;
  ASSERT_TRUE(plan->ValueIsValid("Field", 0, "SoilKey", Int(1916903), valid, error));
  EXPECT_TRUE(valid);
  ASSERT_TRUE(plan->ValueIsValid("Field", 0, "SoilKey", Int(1901501), valid, error));
  EXPECT_FALSE(valid);  // a Boone County soil

  EXPECT_FALSE(plan->SetValue("Fields", 0, "ID", Int(1), error));
  EXPECT_EQ(error.Code, kQrlErrorBase + pePlanTable);
  EXPECT_FALSE(plan->SetValue("Field", 0, "Drained", Int(1), error));  // a 0.2 plan has DrainDef
  EXPECT_EQ(error.Code, kQrlErrorBase + pePlanColumn);
  ASSERT_TRUE(plan->GetValue("Field", 3, "OM", v, error));
  EXPECT_TRUE(v.IsNull());
}

TEST(QrlStandin, SavedPlanKeepsUsedFieldsAndExportOmitsTables) {
  TTempDir dir;
  TPlanStoreSettings settings;
  settings.FileVersion = "0.1.9.8";
  settings.FieldRows = 5;
  settings.OmitFromExport = {"FertApp", "Storage.MeasPctDM"};
  TPlanStoreApp app(settings);
  TQrlError error;
  auto plan = app.CreatePlanFile("Indiana", 1, error);
  ASSERT_NE(plan, nullptr);
  ASSERT_TRUE(plan->ExpandTables(error));
  ASSERT_TRUE(plan->SetValue("Field", 0, "ID", TQrlValue::OfText("North"), error));
  ASSERT_TRUE(plan->SetValue("Field", 3, "Drained", Int(1), error));  // an old plan has Drained
  ASSERT_TRUE(plan->SetValue("Crop", 3 * 4 + 1, "CropDef", Int(3), error));
  ASSERT_TRUE(plan->SetValue("Operation", 0, "StartPlnYr", Int(2023), error));
  ASSERT_TRUE(plan->SetValue("Operation", 0, "StartPlnMo", Int(9), error));
  auto* store = static_cast<TPlanStore*>(plan.get());
  const int app0 = store->AppendRow("FertApp", error);
  ASSERT_TRUE(plan->SetValue("FertApp", app0, "Field", Int(3), error));

  const std::string path = dir.File("plan.qrl");
  ASSERT_TRUE(plan->SaveAs(path, error)) << error.Message;
  auto opened = app.OpenPlanFile(path, error);
  ASSERT_NE(opened, nullptr) << error.Message;
  int n = 0;
  ASSERT_TRUE(opened->RowCount("Field", n, error));
  EXPECT_EQ(n, 2);
  ASSERT_TRUE(opened->RowCount("Crop", n, error));
  EXPECT_EQ(n, 8);
  TQrlValue v;
  ASSERT_TRUE(opened->GetValue("Crop", 5, "CropDef", v, error));  // field 3 became field 1
  EXPECT_EQ(v.Int, 3);
  ASSERT_TRUE(opened->GetValue("FertApp", 0, "Field", v, error));
  EXPECT_EQ(v.Int, 1);
  ASSERT_TRUE(opened->GetValue("Operation", 0, "StartCrpYr", v, error));
  EXPECT_EQ(v.Int, 2024);

  const std::string db = dir.File("plan.sqlite");
  ASSERT_TRUE(opened->ExportToAccess(db, error)) << error.Message;
  TDbReader reader;
  ASSERT_TRUE(reader.Open(db)) << reader.ErrorText();
  EXPECT_FALSE(reader.HasTable("FertApp"));
  TDbRows rows;
  ASSERT_TRUE(reader.ReadTable("Storage", rows));
  EXPECT_FALSE(rows.HasColumn("MeasPctDM"));
  ASSERT_TRUE(reader.ReadTable("Field", rows, "PlanOrder"));
  ASSERT_EQ(rows.Rows.size(), 2u);
  EXPECT_EQ(rows.Value(0, "ID").Str, "North");
  EXPECT_EQ(rows.Value(1, "Drained").Int, 1);

  EXPECT_EQ(app.OpenPlanFile(dir.File("missing.qrl"), error), nullptr);
  EXPECT_EQ(error.Code, kQrlErrorBase + pePlanOpen);
}

}  // namespace
