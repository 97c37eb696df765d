#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "../support/StateFixture.h"
#include "common/DayNum.h"
#include "filebase/IoFault.h"
#include "filebase/FileUtl.h"
#include "interchange/DbfExport.h"
#include "interchange/DbfFile.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "store/LoadedRefs.h"

namespace {

using TRow = std::map<std::string, std::string>;

class DbfExportTest : public TStateFixture {
 protected:
  void SetUp() override {
    TStateFixture::SetUp();
    ASSERT_TRUE(project.CreateProject(Dir.File("farm.tsj"), kStateIA, Refs, "Farm", 2024));
    TFieldRec r = project.NewRecord(7, kStateIA);
    r.Field_Name = "North";
    r.County = 2;
    r.Contact = "Jo Brown";
    r.Field_Size = 1000;
    r.Cur_Crop = 1;
    r.Cur_Code = 10;
    r.Cur_PlRate = 32000;
    r.Plant_Date = EncodeDay(2024, 5, 2);
    r.Attchments = 1 | 4;
    r.Cur_PctLeg = 0;
    r.SetFlag(rfCurPctLeg, true);
    r.Soil_Sym[0] = "123B";
    r.Soil_Slope[1] = 0;
    r.Soil_Name[1] = "Clarion";
    r.SetFlag(rfAnnManure, true);
    r.Fert_N[0] = 46;
    r.Fert_Rate[0] = 150;
    r.Fert_Units[0] = 2;  // pounds
    r.Fert_Form[0] = 2;   // dry
    r.Fert_Date[0] = EncodeDay(2024, 4, 20);
    r.Man_Input[0] = 3101;
    r.Man_Rate[0] = 12000;  // gallons of lagoon water
    r.Man_Method[0] = 1;
    r.Othr_Input[0] = 7002;
    r.Othr_Desc[0] = "Pivot water";
    r.Othr_Rate[0] = 6;
    r.Othr_Cost[0] = 12.5f;
    r.Oper_Input[0] = 6001;
    r.Oper_Trips[0] = 1;
    ASSERT_TRUE(project.WriteRecord(1, r, false));
    TFieldRec other = project.NewRecord(9, kStateIA);
    other.Field_Name = "South";
    ASSERT_TRUE(project.WriteRecord(2, other, true));
  }
  void TearDown() override { SetIoFaultHook(nullptr); }

  bool Export(std::string& message, TExportOptions options = {}) {
    return ExportToDbase(project, Mcn, Mdf, fieldPath, appPath, nullptr, options, message);
  }
  // The rows of a table by column name, values without trailing blanks.
  static std::vector<TRow> Rows(const std::string& path, int& fieldCount) {
    TDbfFile t;
    EXPECT_TRUE(t.OpenTable(path, 0, omReadDenyWrite)) << t.FullErrorText();
    fieldCount = t.FieldCount();
    std::vector<TRow> rows;
    std::vector<char> buffer(static_cast<size_t>(t.RecordLength()));
    for (uint32_t n = 1; n <= t.RecordCount(); ++n) {
      EXPECT_TRUE(t.ReadRecord(n, buffer.data()));
      TRow row;
      for (int i = 1; i <= t.FieldCount(); ++i) {
        TDbfField f;
        t.GetFieldInfo(i, f);
        row[f.FieldName()] = TDbfFile::FieldText(buffer.data(), f);
      }
      rows.push_back(row);
    }
    return rows;
  }
  bool NothingLeft() {
    for (const auto& e : std::filesystem::directory_iterator(Dir.Path())) {
      const std::string ext = e.path().extension().string();
      if (ext == ".tmp" || ext == ".cpg" || (ext == ".dbf" && ReadWholeFile(e.path().string()) != "old")) return false;
    }
    return true;
  }

  TMdaFile project;
  std::string fieldPath = Dir.File("farm.fld.dbf"), appPath = Dir.File("farm.app.dbf");
};

TEST_F(DbfExportTest, TablesHoldEveryColumnInItsFormat) {
  std::string message;
  TExportOptions options;
  options.Filter = [](TFieldRec& r) {
    StripRecord(r, true, false, false, false);
    return r.Field_ID == 7;
  };
  options.ExcludeCosts = true;
  ASSERT_TRUE(Export(message, options)) << message;
  int fieldCount = 0;
  const std::vector<TRow> rows = Rows(fieldPath, fieldCount);
  EXPECT_EQ(fieldCount, 169);
  ASSERT_EQ(rows.size(), 1u) << "the filter left one record";
  TRow r = rows[0];
  const TRow expected = {
      {"FIELD_ID", "        7"}, {"FIELD_NAME", "North"}, {"YEAR", "2024"}, {"STATE", "IA"}, {"STATE_CODE", "19"},
      {"COUNTY", "Adams"}, {"CNTY_CODE", "  3"}, {"CONTACT", ""}, {"FIELD_SIZE", "1000.00"},
      {"SOILTST_YR", ""}, {"CUR_CROP", "C"}, {"CUR_CODE", "  10"}, {"CUR_UNITS", "Bu"}, {"CUR_PCTLEG", "  0"},
      {"PREV_PCTLG", ""}, {"PLANT_DATE", "20240502"}, {"ATTCHMENTS", "Z R"}, {"CUR_PLRATE", " 32000.00"},
      {"CUR_PLUNIT", "Sd"}, {"SLOPE_1", ""}, {"SLOPE_2", " 0.0"}, {"SOILSYM_1", "123B"}, {"SOILNAME_2", "Clarion"},
      {"RTNG_UNITS", "Bu/A"}, {"ANN_MANURE", "Y"}, {"RESIDUE", ""}, {"CUR_HDATE", ""}, {"DRAIN_TYPE", ""},
      {"SEED_COST", ""}, {"PROFIT", ""}, {"TOTAL_COST", ""},
  };
  for (const auto& [name, value] : expected) EXPECT_EQ(r[name], value) << name;
  EXPECT_EQ(ReadWholeFile(ChangeFileExt(fieldPath, ".cpg")), "1252");

  const std::vector<TRow> apps = Rows(appPath, fieldCount);
  EXPECT_EQ(fieldCount, 8);
  ASSERT_EQ(apps.size(), 4u);
  const std::vector<std::vector<std::string>> wanted = {
      {"46-0-0", "F", "  150.00", "Lb", "20240420", "D"},
      {"Dairy lagoon", "M", "12000.00", "Gal", "", "Inject"},
      {"Plant corn", "O", "    1.00", "Trp", "", ""},
      {"Pivot water", "X", "    6.00", "In", "", "$12.50"},
  };
  for (size_t i = 0; i < wanted.size(); ++i) {
    EXPECT_EQ(apps[i].at("FIELD_ID"), "        7");
    EXPECT_EQ(apps[i].at("YEAR"), "2024");
    const std::vector<std::string> got = {apps[i].at("INPUT_NAME"), apps[i].at("TYPE"), apps[i].at("RATE"),
                                          apps[i].at("UNITS"), apps[i].at("DATE"), apps[i].at("MISC")};
    EXPECT_EQ(got, wanted[i]) << "application row " << i + 1;
  }
  EXPECT_EQ(ReadWholeFile(ChangeFileExt(appPath, ".cpg")), "1252");
}

TEST_F(DbfExportTest, NoRecordACancelOrAFailedWriteLeavesNoTable) {
  WriteWholeFile(fieldPath, "old");
  std::string message;
  TExportOptions none;
  none.Filter = [](TFieldRec&) { return false; };
  EXPECT_FALSE(Export(message, none));
  EXPECT_EQ(message, "No records in selected subset.");
  EXPECT_TRUE(NothingLeft());

  TExportOptions cancelled;  // the user cancels after the first record
  cancelled.Progress = [](int done, int) { return done < 1; };
  EXPECT_FALSE(Export(message, cancelled));
  EXPECT_EQ(message, kExportCanceled);
  EXPECT_TRUE(NothingLeft());

  WriteWholeFile(appPath, "old");  // a read-only table of the same name is refused, not replaced
  std::filesystem::permissions(appPath, std::filesystem::perms::owner_read);
  EXPECT_FALSE(Export(message));
  EXPECT_EQ(message, appPath + "\r\nCan't overwrite file.");
  EXPECT_TRUE(NothingLeft());
  std::filesystem::permissions(appPath, std::filesystem::perms::owner_all);
  std::filesystem::remove(appPath);

  SetIoFaultHook([](TIoOp op, const std::string& path) { return op == TIoOp::Write && path.ends_with(".tmp"); });
  EXPECT_FALSE(Export(message));
  EXPECT_EQ(message, fieldPath + "\r\nCan't write to file.");
  EXPECT_EQ(project.ErrorState, esExport);
  EXPECT_TRUE(NothingLeft()) << "the table of the same name is kept";

  // A code page file that can't be written is reported; the table already in its place stays whole.
  SetIoFaultHook([](TIoOp op, const std::string& path) {
    return op == TIoOp::Write && ExtractFileName(path).rfind("cpg", 0) == 0;
  });
  EXPECT_FALSE(Export(message));
  EXPECT_EQ(message, ChangeFileExt(fieldPath, ".cpg") + "\r\nCan't write to file.");
  int columns = 0;
  EXPECT_EQ(Rows(fieldPath, columns).size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(appPath));
}

}  // namespace
