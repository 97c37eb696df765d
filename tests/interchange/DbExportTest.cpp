// The database export read back by the sqlite3 program (a test-only package that `make test`
// installs) and by the database reader, against the dBASE export of the same projects.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "../support/SampleProjects.h"
#include "common/Cp1252.h"
#include "common/Format.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "interchange/DbExport.h"
#include "interchange/DbTables.h"
#include "interchange/DbfFile.h"
#include "interchange/SqlDb.h"

namespace {

class DbExportTest : public TSampleFixture {
 protected:
  void SetUp() override {
    TSampleFixture::SetUp();
    if (!RunCommand("sqlite3 -version").ok) GTEST_SKIP() << "sqlite3 is missing (make test installs it)";
  }
  bool Export(TMdaFile& project, std::string& message, const TExportOptions& options = {}) {
    return ExportToDatabase(project, Mcn, Mdf, db, "Tesserel 1.0.0", nullptr, options, message);
  }
  // The sqlite3 program's answer to one statement.
  TCommandRun Sql(const std::string& sql, bool json = false) {
    return RunCommand(std::string("sqlite3 ") + (json ? "-json " : "") + "'" + db + "' \"" + sql + "\"");
  }
  nlohmann::json Rows(const std::string& table) {
    const TCommandRun r = Sql("SELECT * FROM " + table, true);
    EXPECT_TRUE(r.ok) << r.out;
    return r.out.empty() ? nlohmann::json::array() : nlohmann::json::parse(r.out);
  }

  std::string db = Dir.File("farm.sqlite");
};

// A database value as the dBASE export writes it in the same column, without the padding.
std::string AsDbf(const nlohmann::json& v, const TDbfField& f) {
  if (v.is_null()) return "";
  std::string text = v.is_string() ? Utf8ToCp1252(v.get<std::string>()) : "";
  switch (f.Type) {
    case 'N': return FormatReal(v.get<double>(), f.Decimals);
    case 'L': return v.get<int>() == 1 ? "Y" : "N";
    case 'D': std::erase(text, '-'); return text;
    default: return TrimRight(text);
  }
}

// Every row and column of a database table equals the dBASE table's row and column of that name.
void ExpectSameValues(const nlohmann::json& rows, const std::string& dbfPath, size_t columns) {
  TDbfFile t;
  ASSERT_TRUE(t.OpenTable(dbfPath, 0, omReadDenyWrite)) << t.FullErrorText();
  ASSERT_EQ(rows.size(), t.RecordCount()) << dbfPath;
  ASSERT_EQ(static_cast<size_t>(t.FieldCount()), columns);
  std::vector<char> buffer(static_cast<size_t>(t.RecordLength()));
  for (uint32_t n = 1; n <= t.RecordCount(); ++n) {
    ASSERT_TRUE(t.ReadRecord(n, buffer.data()));
    const nlohmann::json& row = rows[n - 1];
    ASSERT_EQ(row.size(), columns);
    for (const auto& [name, value] : row.items()) {
      TDbfField f;
      ASSERT_TRUE(t.GetFieldInfo(t.FindField(UpperCase(name)), f)) << name;
      const std::string dbf = TDbfFile::FieldText(buffer.data(), f);
      EXPECT_EQ(AsDbf(value, f), f.Type == 'C' ? TrimRight(dbf) : Trim(dbf)) << dbfPath << " row " << n << " " << name;
    }
  }
}

TEST_F(DbExportTest, SampleDatabasesAreSoundAndHoldTheDbaseValues) {
  for (const char* sample : {"iowa-2024", "multi-state-2024"}) {
    SCOPED_TRACE(sample);
    TMdaFile project;
    OpenSample(project, sample);
    TExportOptions options;
    options.CostOptions.UseRemovalCost = true;
    std::string message;
    ASSERT_TRUE(Export(project, message, options)) << message;
    const std::string fields = Dir.File("f.dbf"), apps = Dir.File("a.dbf");
    ASSERT_TRUE(ExportToDbase(project, Mcn, Mdf, fields, apps, nullptr, options, message)) << message;

    EXPECT_EQ(Sql("PRAGMA integrity_check").out, "ok\n");
    EXPECT_EQ(Sql("PRAGMA foreign_key_check").out, "");
    const nlohmann::json fieldRows = Rows("Field");
    ExpectSameValues(fieldRows, fields, 169);
    ExpectSameValues(Rows("Application"), apps, 8);

    // The reader sees what sqlite3 sees.
    TDbReader reader;
    TDbRows read;
    ASSERT_TRUE(reader.Open(db)) << reader.ErrorText();
    ASSERT_TRUE(reader.HasTable("field") && !reader.HasTable("Fields"));
    ASSERT_TRUE(reader.ReadTable("Field", read, "Field_ID")) << reader.ErrorText();
    ASSERT_EQ(read.Rows.size(), fieldRows.size());
    for (size_t i = 0; i < read.Rows.size(); ++i)
      for (const char* column : {"Field_ID", "field_name", "Cur_Goal", "Plant_Date", "Profit"}) {
        const TDbValue& v = read.Value(i, column);
        const nlohmann::json& expected = fieldRows[i][FieldTable().Columns[static_cast<size_t>(read.ColumnIndex(column))].Name];
        const nlohmann::json got = v.IsNull() ? nlohmann::json() : v.Kind == TDbValue::TKind::Text
                                                                    ? nlohmann::json(Cp1252ToUtf8(v.Str))
                                                                    : nlohmann::json(v.Number());
        EXPECT_EQ(got, expected) << column;
      }
    EXPECT_TRUE(read.Value(0, "No_Such_Column").IsNull());
  }
}

TEST_F(DbExportTest, TablesAreTypedConstrainedAndDescribed) {
  TMdaFile project;
  OpenSample(project, "multi-state-2024");
  std::string message;
  ASSERT_TRUE(Export(project, message)) << message;
  const std::string path = ExpandFileName(project.FileName);
  const nlohmann::json p = Rows("Project").at(0);
  EXPECT_EQ(p["File_Name"], "multi-state-2024.tsj");
  EXPECT_EQ(p["File_Path"], ExtractFileDir(path));
  EXPECT_EQ(p["State_Name"], "Multi-state");
  EXPECT_TRUE(p["State_Code"].is_null());
  EXPECT_EQ(p["Year"], 2024);
  EXPECT_EQ(p["Exp_Src"], "Tesserel 1.0.0");
  EXPECT_EQ(p["Def_Date"], FormatIsoDate(Mdf.ReleaseDate()));
  EXPECT_EQ(Sql("SELECT Exp_Date = date('now', 'localtime') AND Exp_Time GLOB '[0-2][0-9]:[0-5][0-9]:[0-5][0-9]' "
                "FROM Project").out, "1\n");

  EXPECT_EQ(Sql("SELECT count(*) FROM Descriptions").out, "194\n");  // 3 tables, 14 + 169 + 8 columns
  EXPECT_EQ(Sql("SELECT Description FROM Descriptions WHERE TableName = 'Field' AND ColumnName = ''").out,
            "Crop field data. Exported from project data file " + path + ".\n");
  EXPECT_EQ(Sql("SELECT Description FROM Descriptions WHERE ColumnName = 'TValue_2'").out,
            "Soil 2's tolerable soil loss \"T\" value (in tons per acre per year).\n");
  EXPECT_EQ(Sql("SELECT Places FROM Decimals WHERE TableName = 'Field' AND ColumnName IN ('Cur_Wt', 'Profit', "
                "'EC', 'OM') ORDER BY ColumnName").out, "3\n2\n1\n2\n");

  // Every statement breaks one rule of the tables and is refused, the database staying as it was.
  const std::pair<const char*, const char*> refused[] = {
      {"PRAGMA foreign_keys = ON; INSERT INTO Application (Field_ID) VALUES (999)", "FOREIGN KEY constraint failed"},
      {"UPDATE Field SET Year = 2078", "CHECK constraint failed"},
      {"UPDATE Project SET Year = 1992", "CHECK constraint failed"},
      {"UPDATE Field SET Field_ID = -Field_ID", "CHECK constraint failed"},
      {"UPDATE Field SET State = 'IOW'", "CHECK constraint failed"},
      {"UPDATE Field SET Ann_Manure = 2", "CHECK constraint failed"},
      {"UPDATE Field SET State_Code = NULL", "NOT NULL constraint failed: Field.State_Code"},
      {"INSERT INTO Field SELECT * FROM Field LIMIT 1", "UNIQUE constraint failed: Field.Field_ID"},
  };
  for (const auto& [sql, why] : refused) {
    const TCommandRun r = Sql(sql);
    EXPECT_FALSE(r.ok) << sql;
    EXPECT_NE(r.out.find(why), std::string::npos) << sql << ": " << r.out;
  }
  EXPECT_EQ(Sql("PRAGMA integrity_check").out, "ok\n");
}

TEST_F(DbExportTest, AFailedExportLeavesNoDatabase) {
  TMdaFile sample, project;
  OpenSample(sample, "iowa-2024");
  TFieldRec a, b;
  ASSERT_TRUE(sample.ReadRecord(1, a) && sample.ReadRecord(2, b));
  ASSERT_TRUE(project.CreateProject(Dir.File("farm.tsj"), sample.ProjectState(), Refs, "", 2024));
  b.Field_ID = a.Field_ID;  // a damaged file: two records with one ID
  ASSERT_TRUE(project.WriteRecord(1, a, false) && project.WriteRecord(2, b, true));
  const std::string kept = "an older database";
  WriteWholeFile(db, kept);

  std::string message;
  EXPECT_FALSE(Export(project, message));
  EXPECT_EQ(message, db + "\r\nUNIQUE constraint failed: Field.Field_ID");
  EXPECT_EQ(project.ErrorState, esExport);
  EXPECT_EQ(ReadWholeFile(db), kept);

  TExportOptions none;
  none.Filter = [](TFieldRec&) { return false; };
  project.ErrorState = esNone;
  EXPECT_FALSE(Export(project, message, none));
  EXPECT_EQ(message, "No records in selected subset.");
  EXPECT_EQ(ReadWholeFile(db), kept);

  std::filesystem::permissions(db, std::filesystem::perms::owner_read);
  EXPECT_FALSE(Export(sample, message));
  EXPECT_EQ(message, db + "\r\nCan't overwrite file.");
  EXPECT_EQ(ReadWholeFile(db), kept);
  std::filesystem::permissions(db, std::filesystem::perms::owner_all);
  for (const auto& e : std::filesystem::directory_iterator(Dir.Path()))
    EXPECT_NE(e.path().extension(), ".tmp") << e.path();

  // The extension is always ".sqlite".
  ASSERT_TRUE(ExportToDatabase(sample, Mcn, Mdf, Dir.File("farm.db"), "", nullptr, {}, message)) << message;
  EXPECT_TRUE(std::filesystem::exists(Dir.File("farm.sqlite")));
  EXPECT_NE(ReadWholeFile(db), kept);
}

// The plan import reads its database with the texts checked: what code page 1252 cannot hold is
// named (where and which character) or, when asked, replaced and counted.
TEST(DbReaderTest, CheckedTextsNameWhatTheCodePageCannotHold) {
  TTempDir dir;
  const std::string path = dir.File("plan.sqlite");
  {
    TSqlDb db;
    ASSERT_TRUE(db.Open(path, false));
    ASSERT_TRUE(db.Exec("CREATE TABLE Field (ID TEXT, Notes TEXT); INSERT INTO Field VALUES ('North', "
                        "'Caf\xC3\xA9'), ('South', '\xC5\x81\xC3\xB3" "d\xC5\xBA');"));
  }
  TDbReader reader;
  ASSERT_TRUE(reader.Open(path));
  TDbRows rows;
  ASSERT_TRUE(reader.ReadTable("Field", rows));  // unchecked: question marks
  EXPECT_EQ(rows.Value(1, "Notes").Str, "?\xF3" "d?");
  TTextImport mode;
  reader.CheckTexts(&mode);
  EXPECT_FALSE(reader.ReadTable("Field", rows));
  EXPECT_EQ(reader.TextFault(), "Field table, row 2, Notes holds the character U+0141, which code page 1252 cannot hold");
  mode.Transliterate = true;
  ASSERT_TRUE(reader.ReadTable("Field", rows));
  EXPECT_EQ(rows.Value(0, "Notes").Str, "Caf\xE9");
  EXPECT_EQ(rows.Value(1, "Notes").Str, "L\xF3" "dz");
  EXPECT_EQ(mode.Replaced, 2);
}

}  // namespace
