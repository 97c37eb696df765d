// export db, export json and import json on the Iowa sample project.
#include <gtest/gtest.h>

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
