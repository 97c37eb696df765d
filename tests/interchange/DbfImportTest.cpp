#include <gtest/gtest.h>

#include <filesystem>

#include "../support/DbfSamples.h"
#include "../support/StateFixture.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "filebase/FileUtl.h"
#include "interchange/DbfExport.h"
#include "interchange/DbfImport.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "store/LoadedRefs.h"
#include "store/MdaFile.h"
#include "store/RecFields.h"

namespace {

// Columns in another order than the import's, in mixed case, with a column it does not know.
const TDbfSample kFields = {
    {"field_name", "SUBFLD_NAM", "Crop_Year", "COUNTY", "ACRES", "P_BRAY1", "K", "P_TEST", "CROP_CODE", "YLD_GOAL",
     "IRRIGATED", "DRAINED", "SOIL1", "SLOPE", "PCT1", "WTRSHD_HUC", "NOTES", "EXTRA"},
    {
        {"", "North", "A", "2024", "19001", "1000.004", "12.34", "150", "1", "10", "180", "y", "T", "IAD00123B",
         "2.46", "60", "1234 5678 9012", "Limed\r\nin 2020", "x"},
        {"", "North", "B", "2024", "19003", "0", "", "", "2", "40", "2", "", "N", "", "", "", "1234567890123", "", ""},
        {"", "South", "", "2023", "19001", "5", "", "", "", "", "", "", "", "", "", "", "", "", ""},
        {"", "north", "a", "2024", "19001", "7", "", "", "", "", "", "", "", "", "", "", "", "", ""},
        {"", "", "", "2024", "19001", "7", "", "", "", "", "", "", "", "", "", "", "", "", ""},
        {"", "East", "", "2024", "1001", "7", "", "", "", "", "", "", "", "", "", "", "", "", ""},
        {"", "West", "", "2024", "19999", "1000.01", "", "", "", "", "", "", "", "", "", "", "", "", ""},
        {"*", "Deleted", "", "2024", "19001", "7", "", "", "", "", "", "", "", "", "", "", "", "", ""},
        {"", "  A field name longer", "", "2024", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""},
    }};

// The temporary file a new or rebuilt project is written under.
bool IsProjectTemp(const std::string& path) {
  return ExtractFileName(path).rfind("tsj", 0) == 0 && path.ends_with(".tmp");
}

class DbfImportTest : public TStateFixture {
 protected:
  void TearDown() override { SetIoFaultHook(nullptr); }

  int Import(const TDbfSample& sample, bool update, std::string& message) {
    EXPECT_TRUE(WriteDbfSample(table, sample));
    info.CollectMessages = true;
    return ImportFieldData(table, project, update, info, Mcn, Mdf, true, message);
  }
  std::vector<TFieldRec> Records() {
    TMdaFile f;
    std::vector<TFieldRec> recs;
    EXPECT_TRUE(f.OpenProject(project, false, Refs)) << f.FullErrorText();
    for (TRecordReader in(f); const TFieldRec* r = in.Next();) recs.push_back(*r);
    return recs;
  }
  void ExpectSame(const TFieldRec& actual, const TFieldRec& expected) {
    for (const TFieldDesc& d : RecordFields())
      for (int i = 0; i < d.count; ++i)
        EXPECT_EQ(GetFieldText(&actual, d, i), GetFieldText(&expected, d, i)) << d.name << "[" << i + 1 << "]";
  }
  std::vector<std::string> TempFiles() {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::directory_iterator(Dir.Path()))
      if (e.path().extension() == ".tmp") found.push_back(e.path().string());
    return found;
  }

  TValidationInfo info;
  std::string table = Dir.File("fields.dbf"), project = Dir.File("farm.tsj");
};

TEST_F(DbfImportTest, CreateModeTakesYearStateAndEveryValidValue) {
  std::string message;
  ASSERT_EQ(Import(kFields, false, message), ifNone) << message;
  EXPECT_EQ(info.Added, 4);
  EXPECT_EQ(info.Updated, 0);
  EXPECT_EQ(info.Ignored, 4) << ::testing::PrintToString(info.Messages);
  EXPECT_EQ(info.Warnings, 6) << ::testing::PrintToString(info.Messages);
  EXPECT_NE(std::find(info.Messages.begin(), info.Messages.end(),
                      "Row 2: ACRES value \"0\" not imported: must be from 0.01 to 1000."),
            info.Messages.end());

  const std::vector<TFieldRec> recs = Records();
  ASSERT_EQ(recs.size(), 4u);
  TFieldRec north = NewRecordTemplate(1, 2024, kStateIA);
  north.Field_Name = "North";
  north.SubFld_Nam = "A";
  north.County = 1;
  north.Field_Size = 1000;  // 1000.004 rounds to 1000
  north.P = 12.3f;
  north.P_Units = 1;  // Bray P without TEST_UNITS: Lb/A
  north.K = 150;
  north.K_Units = 1;
  north.P_Test = 1;
  north.Cur_Crop = 1;
  north.Cur_Code = 10;
  north.Cur_Goal = 180;  // the definition's unit is the crop's own
  north.Othr_Input[0] = 7002;
  north.Drain_Type = 2;  // the state's default drainage
  north.Soil_Sym[0] = "123B";
  north.Soil_Slope[0] = 2.5f;
  north.Soil_FldPct[0] = 60;
  north.Wshed_Num = "123456789012";
  north.Notes = "Limed  in 2020";
  ExpectSame(recs[0], north);

  TFieldRec cotton = NewRecordTemplate(2, 2024, kStateIA);
  cotton.Field_Name = "North";
  cotton.SubFld_Nam = "B";
  cotton.County = 2;
  cotton.Cur_Crop = 12;
  cotton.Cur_Code = 40;
  cotton.Cur_Goal = 960;  // 2 bales of the definition, in the crop's pounds
  ExpectSame(recs[1], cotton);

  EXPECT_EQ(recs[2].Field_Name.Str(), "West");
  EXPECT_EQ(recs[2].County, 0) << "an unknown county of the state is left out";
  EXPECT_EQ(recs[2].Field_Size, 0.0f) << "one hundredth above 1000 is refused";
  EXPECT_EQ(recs[3].Field_Name.Str(), "A field name lo");
  EXPECT_EQ(recs[3].Field_ID, 4);
}

TEST_F(DbfImportTest, UpdateChangesOnlyTheSuppliedValuesAndAddsNewFields) {
  std::string message;
  ASSERT_EQ(Import(kFields, false, message), ifNone) << message;
  const std::vector<TFieldRec> before = Records();
  const TDbfSample update = {{"om", "Other", "Field_Name", "subfld_nam", "CROP_DESCR", "TEST_UNITS", "P"},
                             {{"", "3.46", "x", "North", "A", "", "", ""},
                              {"", "4", "", "north", "a", "", "", ""},
                              {"", "", "", "New", "", "soy", "ppm", "15"},
                              {"", "", "", "North", "B", "Soybeans", "kg", "20"}}};
  ASSERT_EQ(Import(update, true, message), ifNone) << message;
  EXPECT_EQ(info.Updated, 3);
  EXPECT_EQ(info.Added, 1);
  EXPECT_EQ(info.Warnings, 1) << "the unknown units";
  EXPECT_EQ(info.Ignored, 0);

  const std::vector<TFieldRec> after = Records();
  ASSERT_EQ(after.size(), 5u);
  TFieldRec north = before[0];
  north.Field_Name = "north";  // as the last row wrote it
  north.SubFld_Nam = "a";
  north.OM = 4;
  ExpectSame(after[0], north);
  TFieldRec cotton = before[1];
  cotton.P = 20;  // no units are stored when they are unknown; the crop stays (a crop is set)
  ExpectSame(after[1], cotton);
  for (size_t i = 2; i < 4; ++i) ExpectSame(after[i], before[i]);
  TFieldRec added = NewRecordTemplate(5, 2024, kStateIA);
  added.Field_Name = "New";
  added.Cur_Crop = 2;
  added.Cur_Code = 20;
  added.P = 15;
  added.P_Units = 2;
  ExpectSame(after[4], added);
}

TEST_F(DbfImportTest, FailedWriteLeavesTheProjectWholeAndNoFilesBehind) {
  std::string message;
  SetIoFaultHook([](TIoOp op, const std::string& path) { return op == TIoOp::Write && IsProjectTemp(path); });
  EXPECT_EQ(Import(kFields, false, message), ifProject);
  EXPECT_EQ(message, project + "\r\nCan't write to file.");
  EXPECT_FALSE(std::filesystem::exists(project));
  EXPECT_TRUE(TempFiles().empty());

  SetIoFaultHook(nullptr);
  ASSERT_EQ(Import(kFields, false, message), ifNone) << message;
  const std::string bytes = ReadWholeFile(project);
  SetIoFaultHook([](TIoOp op, const std::string& path) { return op == TIoOp::Write && IsProjectTemp(path); });
  const TDbfSample update = {{"FIELD_NAME", "ACRES"}, {{"", "North", "12"}, {"", "Brand new", "3"}}};
  EXPECT_EQ(Import(update, true, message), ifProject);
  EXPECT_EQ(message, project + "\r\nCan't write to file.");
  EXPECT_EQ(ReadWholeFile(project), bytes) << "not a single record changed";
  EXPECT_TRUE(TempFiles().empty());
}

TEST_F(DbfImportTest, RefusedTablesAndProjectsSayWhy) {
  std::string message;
  const std::string name = table;
  const auto refused = [&](const TDbfSample& sample, bool update, int code, const std::string& text) {
    EXPECT_EQ(Import(sample, update, message), code) << message;
    EXPECT_EQ(message, text);
  };
  refused({{"NAME", "CROP_YEAR"}, {{"", "A", "2024"}}}, true, ifColumn,
          name + "\r\nNot a valid field data import file.\r\nRequired FIELD_NAME column is missing.");
  refused({{"FIELD_NAME", "COUNTY"}, {{"", "A", "19001"}}}, false, ifColumn,
          name + "\r\nNot a valid field data import file.\r\nRequired CROP_YEAR column is missing.");
  refused({{"FIELD_NAME", "CROP_YEAR", "COUNTY"}, {}}, false, ifNoRecords, name + "\r\nFile contains no records.");
  refused({{"FIELD_NAME", "CROP_YEAR", "COUNTY"}, {{"", "A", "1990", "19001"}}}, false, ifYear,
          name + "\r\nFile's crop year (1990) is not valid.");
  refused({{"FIELD_NAME", "CROP_YEAR", "COUNTY"}, {{"", "A", "20x4", "19001"}}}, false, ifYear,
          name + "\r\nFile contains no records with valid crop year.");
  refused({{"FIELD_NAME", "CROP_YEAR", "COUNTY"}, {{"", "A", "2024", "56001"}, {"", "B", "2024", "56001"},
                                                   {"", "C", "2024", "19001"}}},
          false, ifState, name + "\r\nFile's state (FIPS=56001) is invalid or not supported.");
  EXPECT_FALSE(std::filesystem::exists(project));

  // Numeric columns lose the leading zero of Alabama's code; four digits still name the state.
  ASSERT_EQ(Import({{"FIELD_NAME", "CROP_YEAR", "COUNTY"}, {{"", "A", "2024", "1003"}}}, false, message), ifNone)
      << message;
  TMdaFile multi;
  ASSERT_TRUE(multi.CreateProject(Dir.File("multi.tsj"), 0, Refs, "", 2024));
  multi.Close();
  project = Dir.File("multi.tsj");
  refused({{"FIELD_NAME"}, {{"", "A"}}}, true, ifMultiState,
          project + "\r\nUpdating a multi-state project file is not supported.");
  TMdaFile locked;
  ASSERT_TRUE(locked.CreateProject(Dir.File("locked.tsj"), kStateIA, Refs, "", 2024));
  locked.Header.Flags = kHeaderLocked;
  ASSERT_TRUE(locked.WriteHeader(true) && locked.Close());
  project = Dir.File("locked.tsj");
  refused({{"FIELD_NAME"}, {{"", "A"}}}, true, ifReadOnly, project + "\r\nFile is read-only or locked.");
}

// A UTF-8 table (its .cpg says so) with texts code page 1252 holds, and texts it cannot hold or
// that hold control characters: those are values not imported (a field name: the row is left
// out), never question marks; transliterated when asked, and counted. An export table given to
// the import is named for what it is.
TEST_F(DbfImportTest, TextsAreCheckedAndTheExportTableIsNamed) {
  WriteWholeFile(ChangeFileExt(table, ".cpg"), "UTF-8\r\n");
  const TDbfSample sample = {{"FIELD_NAME", "CROP_YEAR", "COUNTY", "NOTES", "FSA_TRACT"},
                             {{"", "M\xC3\xBCller", "2024", "19001", "\xC5\x81\xC3\xB3" "d\xC5\xBA \xE4\xB8\xAD", "12"},
                              {"", std::string("Sou\0th", 6), "2024", "19001", "", ""},
                              {"", "East", "2024", "19001", "Drained\tin 2019", "Bad\xFF"}}};
  std::string message;
  ASSERT_EQ(Import(sample, false, message), ifNone) << message;
  EXPECT_EQ(info.Messages,
            (std::vector<std::string>{"Row 1: NOTES value \"?\xF3" "d? ?\" not imported: holds the character U+0141, "
                                      "which code page 1252 cannot hold.",
                                      "Row 2 ignored: its FIELD_NAME value must not hold control characters (it "
                                      "holds U+0000).",
                                      "Row 3: FSA_TRACT value \"Bad?\" not imported: holds bytes that are not UTF-8 "
                                      "(at byte 4)."}));
  std::vector<TFieldRec> recs = Records();
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0].Field_Name.Str(), "M\xFCller");
  EXPECT_EQ(recs[0].Notes.Str(), "");
  EXPECT_EQ(recs[1].Notes.Str(), "Drained in 2019");  // a tab of the notes is white space
  EXPECT_EQ(recs[1].FSA_Tract.Str(), "");

  std::filesystem::remove(project);
  info.Text.Transliterate = true;
  ASSERT_EQ(Import(sample, false, message), ifNone) << message;
  EXPECT_EQ(info.Text.Replaced, 4);
  EXPECT_EQ(info.Warnings, 0);
  recs = Records();
  EXPECT_EQ(recs[0].Notes.Str(), "L\xF3" "dz ?");
  EXPECT_EQ(recs[1].FSA_Tract.Str(), "Bad?");

  TMdaFile made;
  ASSERT_TRUE(made.OpenProject(project, false, Refs));
  const std::string exported = Dir.File("farm.fld.dbf");
  ASSERT_TRUE(ExportToDbase(made, Mcn, Mdf, exported, Dir.File("farm.app.dbf"), nullptr, {}, message)) << message;
  for (bool update : {false, true}) {
    EXPECT_EQ(ImportFieldData(exported, project, update, info, Mcn, Mdf, true, message), ifColumn);
    EXPECT_EQ(message, exported + "\r\nNot a valid field data import file.\r\nThe table was written by the dBASE "
                                  "export, whose tables are meant for other programs and cannot be imported. To copy "
                                  "records between projects, use the JSON export and import, or Merge Project.");
  }
}

}  // namespace
