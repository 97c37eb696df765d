// Real clients read the exported tables right, and the import reads what GDAL writes. GDAL
// (gdal-bin) and dbfread (python3-dbfread) are test-only packages that `make test` installs.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "../support/TempDir.h"
#include "interchange/DbfExport.h"
#include "interchange/DbfImport.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "store/LoadedRefs.h"

namespace {

const std::string kRuntime = TESSEREL_RUNTIME_DIR;

bool Installed(const std::string& probe) { return std::system((probe + " > /dev/null 2>&1").c_str()) == 0; }

// What a command prints on its standard output.
std::string Output(const std::string& command) {
  std::string out;
  if (std::FILE* p = ::popen(command.c_str(), "r")) {
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

// The exported tables as dbfread sees them: each field's name, type, length and decimals, and
// the records (dates as yyyy-mm-dd).
const char* const kDbfread = R"(
import dbfread, json, sys
t = dbfread.DBF(sys.argv[1])
print(json.dumps({"fields": [[f.name, f.type, f.length, f.decimal_count] for f in t.fields],
                  "records": [dict(r) for r in t]}, default=str))
)";

class DbfClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Installed("ogr2ogr --version") || !Installed("/usr/bin/python3 -c 'import dbfread'"))
      GTEST_SKIP() << "gdal-bin and python3-dbfread are missing (make test installs them)";
    ASSERT_TRUE(mcn.Load(kRuntime + "/usa.mcn")) << mcn.FullErrorText();
    ASSERT_TRUE(mdf.LoadForCountry(kRuntime + "/stnd-usa.mdf", mcn.CountryCode())) << mdf.FullErrorText();
    WriteWholeFile(dir.File("read.py"), kDbfread);
  }
  nlohmann::json Dbfread(const std::string& table) {
    return nlohmann::json::parse(Output("/usr/bin/python3 " + dir.File("read.py") + " " + table));
  }

  TTempDir dir;
  TMcnFile mcn;
  TMdfFile mdf;
  TLoadedRefs refs{mcn, mdf};
};

TEST_F(DbfClientTest, GdalAndDbfreadReadBothExportedTables) {
  // The first Iowa sample field and a field with an accented name in New Mexico, in a multi-state project.
  TMdaFile sample, project;
  ASSERT_TRUE(sample.OpenProject(kRuntime + "/samples/iowa-2024.tsj", false, refs)) << sample.FullErrorText();
  TFieldRec iowa;
  ASSERT_TRUE(sample.ReadRecord(1, iowa));
  const int nm = mcn.FindStateByAbbrev("NM");
  TFieldRec dona = NewRecordTemplate(900, 2024, static_cast<uint16_t>(nm));
  dona.Field_Name = "Pe\xF1" "a";
  dona.County = static_cast<uint16_t>(mcn.FindCountyByCode(13, nm));
  ASSERT_TRUE(project.CreateProject(dir.File("two.tsj"), 0, refs, "", 2024));
  ASSERT_TRUE(project.WriteRecord(1, iowa, false) && project.WriteRecord(2, dona, true));
  const std::string fields = dir.File("two.fld.dbf"), apps = dir.File("two.app.dbf");
  std::string message;
  ASSERT_TRUE(ExportToDbase(project, mcn, mdf, fields, apps, nullptr, {}, message)) << message;
  const size_t appRows = ApplicationRows(iowa, mdf).size();
  ASSERT_GT(appRows, 3u);

  const std::string info = Output("ogrinfo -al -so " + fields);
  for (const char* line : {"Feature Count: 2\n", "FIELD_ID: Integer (9.0)\n", "FIELD_NAME: String (15.0)\n",
                           "FIELD_SIZE: Real (7.2)\n", "PLANT_DATE: Date (10.0)\n", "CUR_PLRATE: Real (9.2)\n",
                           "CA: Real (7.1)\n", "PROFIT: Real (8.2)\n"})
    EXPECT_NE(info.find(line), std::string::npos) << line << info;
  const std::string appInfo = Output("ogrinfo -al -so " + apps);
  EXPECT_NE(appInfo.find("Feature Count: " + std::to_string(appRows) + "\n"), std::string::npos) << appInfo;
  EXPECT_NE(appInfo.find("RATE: Real (8.2)\n"), std::string::npos) << appInfo;
  const std::string csv = Output("ogr2ogr -f CSV /vsistdout/ " + fields +
                                 " -select FIELD_ID,FIELD_NAME,FIELD_SIZE,PLANT_DATE,STATE,COUNTY,CUR_PLRATE,SLOPE_3");
  EXPECT_EQ(csv, "FIELD_ID,FIELD_NAME,FIELD_SIZE,PLANT_DATE,STATE,COUNTY,CUR_PLRATE,SLOPE_3\n"
                 "\"101\",Home,78.50,2024/05/02,IA,Story,34000.00,\n"
                 "\"900\",Pe\xC3\xB1" "a,,,NM,Dona Ana,,\n");

  const nlohmann::json f = Dbfread(fields);
  ASSERT_EQ(f["fields"].size(), 169u);
  EXPECT_EQ(f["fields"][17], nlohmann::json::parse(R"(["FIELD_SIZE", "N", 7, 2])"));
  const nlohmann::json& r1 = f["records"][0];
  EXPECT_EQ(r1["FIELD_ID"], 101);
  EXPECT_EQ(r1["FIELD_SIZE"], 78.5);
  EXPECT_EQ(r1["PLANT_DATE"], "2024-05-02");
  EXPECT_EQ(r1["ANN_MANURE"], false);
  EXPECT_EQ(r1["SEED_COST"], 138.12) << "the record's cost summary";
  EXPECT_EQ(f["records"][1]["FIELD_NAME"], "Pe\xC3\xB1" "a");
  const nlohmann::json a = Dbfread(apps);
  ASSERT_EQ(a["records"].size(), appRows);
  const TAppRow first = ApplicationRows(iowa, mdf)[0];
  EXPECT_EQ(a["records"][0]["INPUT_NAME"], first.InputName);
  EXPECT_EQ(a["records"][0]["RATE"], first.Rate);
  EXPECT_EQ(a["records"][0]["DATE"], "2024-04-15");
}

TEST_F(DbfClientTest, TableWrittenByGdalImports) {
  // Lower-case names, another column order, a column the import does not know, numeric columns.
  WriteWholeFile(dir.File("fields.csv"), "notes,Field_Name,acres,crop_year,county,extra,subfld_nam,wtrshd_huc\n"
                                         "\"Tiled, 2015\",S\xC3\xA1" "enz,40.5,2024,35013,x,A,1234 5678 9012\n"
                                         ",North,12,2024,35013,y,,\n");
  ASSERT_EQ(Output("ogr2ogr -f 'ESRI Shapefile' " + dir.Path() + " " + dir.File("fields.csv") +
                   " -oo AUTODETECT_TYPE=YES && echo done"),
            "done\n");
  TValidationInfo info;
  std::string message;
  const std::string project = dir.File("imported.tsj");
  ASSERT_EQ(ImportFieldData(dir.File("fields.dbf"), project, false, info, mcn, mdf, true, message), ifNone) << message;
  EXPECT_EQ(info.Added, 2);
  EXPECT_EQ(info.Warnings + info.Ignored, 0);
  TMdaFile f;
  ASSERT_TRUE(f.OpenProject(project, false, refs));
  EXPECT_EQ(f.ProjectState(), mcn.FindStateByAbbrev("NM"));
  EXPECT_EQ(f.ProjectYear(), 2024);
  TFieldRec r;
  ASSERT_TRUE(f.ReadRecord(1, r));
  EXPECT_EQ(r.Field_Name.Str(), "S\xE1" "enz");
  EXPECT_EQ(r.SubFld_Nam.Str(), "A");
  EXPECT_EQ(mcn.CountyName(r.County, r.State), "Dona Ana");
  EXPECT_EQ(r.Field_Size, 40.5f);
  EXPECT_EQ(r.Notes.Str(), "Tiled, 2015");
  EXPECT_EQ(r.Wshed_Num.Str(), "123456789012");
}

}  // namespace
