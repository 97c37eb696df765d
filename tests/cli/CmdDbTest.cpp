// export db, export json and import json on the Iowa sample project.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "../support/CliRun.h"
#include "../support/TempDir.h"
#include "interchange/SqlDb.h"

namespace {

TEST(CmdDbTest, ExportsASubsetAndImportsTheDocument) {
  const std::string runtime = TESSEREL_RUNTIME_DIR, iowa = runtime + "/samples/iowa-2024.tsj";
  TTempDir dir;
  const auto tool = [&runtime](const std::vector<std::string>& args) { return RunToolWithData(runtime, args); };
  const std::string db = dir.File("corn.sqlite"), json = dir.File("corn.json"), copy = dir.File("corn.tsj");
  TCliRun r = tool({"export", "db", iowa, db, "--subset", "3=corn", "--exclude", "name,costs"});
  ASSERT_EQ(r.status, 0) << r.err;
  TDbReader reader;
  TDbRows fields, apps;
  ASSERT_TRUE(reader.Open(db) && reader.ReadTable("Field", fields) && reader.ReadTable("Application", apps))
      << reader.ErrorText();
  ASSERT_EQ(fields.Rows.size(), 6u);
  EXPECT_EQ(r.out, "6 field records exported to file\n" + db + "\n" + std::to_string(apps.Rows.size()) +
                       " application records exported to file.\n");
  EXPECT_EQ(fields.Value(0, "Cur_Crop").Str, "C");
  EXPECT_TRUE(fields.Value(0, "Contact").IsNull() && fields.Value(0, "Seed_Cost").IsNull());

  r = tool({"export", "json", iowa, json, "--subset", "3=corn"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "6 field records exported to file\n" + json + "\n");
  const nlohmann::json doc = nlohmann::json::parse(ReadWholeFile(json));
  ASSERT_EQ(doc["records"].size(), 6u);
  EXPECT_EQ(doc["records"][1], nlohmann::json::parse(tool({"show", iowa, "3", "--json"}).out))
      << "records have the keys and values of show --json";

  r = tool({"import", "json", json, copy});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Added=6\n");
  EXPECT_EQ(tool({"show", copy, "2", "--json"}).out, tool({"show", iowa, "3", "--json"}).out);
  r = tool({"import", "json", json, copy});
  EXPECT_EQ(r.err, copy + "\nFile already exists.\n");

  r = tool({"export", "db", iowa, dir.File("corn.db")});
  EXPECT_EQ(r.err, dir.File("corn.db") + "\r\nFile does not have a valid extension (.sqlite).\n\nUse a different file name.\n");
  r = tool({"export", "json", iowa, json, "--subset", "3=rice"});
  EXPECT_EQ(r.err, "Unknown item \"rice\" of Current crop.\n");
  EXPECT_EQ(tool({"export", "db", iowa, db, "--subset", "current crop=2;slope=>12%"}).err,
            "Unable to export data for the following reason:\n\nNo records in selected subset.\n");
}

}  // namespace

namespace {

TEST(CmdDbTest, ExportsSpreadsheetsWithTheDatabaseOptions) {
  const std::string runtime = TESSEREL_RUNTIME_DIR, iowa = runtime + "/samples/iowa-2024.tsj";
  TTempDir dir;
  const auto tool = [&runtime](const std::vector<std::string>& args) { return RunToolWithData(runtime, args); };
  const std::string book = dir.File("corn.xlsx"), db = dir.File("corn.sqlite");
  ASSERT_EQ(tool({"export", "db", iowa, db, "--subset", "3=corn", "--exclude", "name,costs"}).status, 0);
  TDbReader reader;
  TDbRows apps;
  ASSERT_TRUE(reader.Open(db) && reader.ReadTable("Application", apps)) << reader.ErrorText();
  const std::string counts = "6 field records exported to file\n";
  const std::string appCount = std::to_string(apps.Rows.size()) + " application records exported to file";

  TCliRun r = tool({"export", "xlsx", iowa, book, "--subset", "3=corn", "--exclude", "name,costs"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, counts + book + "\n" + appCount + ".\n");
  EXPECT_EQ(ReadWholeFile(book).substr(0, 2), "PK");

  // Into a folder, named after the project; the options as for the database.
  r = tool({"export", "csv", iowa, dir.Path(), "--subset", "3=corn", "--exclude", "name,costs"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string base = dir.File("iowa-2024");
  EXPECT_EQ(r.out, counts + base + ".Fields.csv\n" + appCount + "\n" + base + ".Applications.csv\n" +
                       "Project information exported to file\n" + base + ".Project.csv\n");
  const std::string fields = ReadWholeFile(base + ".Fields.csv");
  EXPECT_EQ(std::count(fields.begin(), fields.end(), '\n'), 7);
  EXPECT_EQ(fields.substr(0, 23), "\xEF\xBB\xBF" "Field_ID,Field_Name,");

  r = tool({"export", "xlsx", iowa, dir.File("corn.xls")});
  EXPECT_EQ(r.err, dir.File("corn.xls") + "\r\nFile does not have a valid extension (.xlsx).\n\nUse a different file name.\n");
  EXPECT_EQ(tool({"export", "csv", iowa, dir.File("none"), "--subset", "current crop=2;slope=>12%"}).err,
            "Unable to export data for the following reason:\n\nNo records in selected subset.\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.Fields.csv")));
  const std::string help = tool({"export", "--help"}).out;
  EXPECT_NE(help.find("xlsx"), std::string::npos);
  EXPECT_NE(help.find("csv"), std::string::npos);
}

}  // namespace
