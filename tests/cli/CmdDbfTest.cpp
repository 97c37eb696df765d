#include <gtest/gtest.h>

#include <filesystem>

#include "../support/CliRun.h"
#include "../support/DbfSamples.h"
#include "../support/RefSamples.h"
#include "../support/TempDir.h"
#include "common/Parse.h"
#include "filebase/FileUtl.h"
#include "interchange/DbfFile.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class CmdDbfTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteSampleReferenceFiles(dir.Path()); }
  TCliRun Run(std::vector<std::string> args) { return RunToolWithData(dir.Path(), std::move(args)); }

  TTempDir dir;
  std::string table = dir.File("fields.dbf"), project = dir.File("farm.tsj");
};

TEST_F(CmdDbfTest, ImportShowAndExportRoundTrip) {
  ASSERT_TRUE(WriteDbfSample(table, {{"FIELD_NAME", "CROP_YEAR", "COUNTY", "ACRES", "NOTES"},
                                     {{"", "North", "2024", "19001", "40.5", "Tiled\tin 2015"},
                                      {"", "North", "2024", "19003", "12", ""},
                                      {"*", "Gone", "2024", "19001", "1", ""},
                                      {"", "South", "2024", "19003", "-3", ""}}}));
  TCliRun r = Run({"dbf", "show", table, "--rows", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(r.out.find("Records=")),
            "Records=4\nHeader length=193\nRecord length=32\nFields=5\n1\tFIELD_NAME\tC\t5\t0\n2\tCROP_YEAR\tC\t4\t0\n"
            "3\tCOUNTY\tC\t5\t0\n4\tACRES\tC\t4\t0\n5\tNOTES\tC\t13\t0\n"
            "Row\tDeleted\tFIELD_NAME\tCROP_YEAR\tCOUNTY\tACRES\tNOTES\n1\t\tNorth\t2024\t19001\t40.5\tTiled in 2015\n"
            "2\t\tNorth\t2024\t19003\t12\t\n3\t*\tGone\t2024\t19001\t1\t\n");

  r = Run({"import", "dbf", table, project, "--messages"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Updated=0\nAdded=2\nWarnings=1\nIgnored=1\n"
                   "Row 2 ignored: its field name repeats an earlier row.\n"
                   "Row 4: ACRES value \"-3\" not imported: must be from 0.01 to 1000.\n");
  EXPECT_EQ(Run({"list", project}).out, "1\t1\tNorth\t\tIA\tAdair\t\n2\t2\tSouth\t\tIA\tAdams\t\n");
  r = Run({"import", "dbf", table, project});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, project + "\nFile already exists.\n");
  r = Run({"import", "dbf", table, project, "--update"});
  EXPECT_EQ(r.out, "Updated=3\nAdded=0\nWarnings=1\nIgnored=0\n") << r.err;
  r = Run({"import", "dbf", dir.File("none.dbf"), project, "--update"});
  EXPECT_EQ(r.err, "Unable to import dBASE file for the following reason:\n\n" + dir.File("none.dbf") +
                       "\r\nCan't open file. File does not exist.\n");

  const std::string fields = dir.File("farm.fld.dbf"), apps = dir.File("farm.app.dbf");
  r = Run({"export", "dbf", project, fields, apps, "--exclude", "notes,costs"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "2 field records exported to file\n" + fields + "\n0 application records exported to file\n" +
                       apps + "\n");
  r = Run({"dbf", "show", fields});  // the update took the repeated row's county and size
  EXPECT_NE(r.out.find("\n18\tFIELD_SIZE\tN\t7\t2\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n1\t\t        1\tNorth\t\t2024\tIA\t19\tAdams\t  3\t"), std::string::npos) << r.out;
  r = Run({"export", "dbf", project, fields, dir.File("apps.txt")});
  EXPECT_EQ(r.err, dir.File("apps.txt") + "\r\nFile does not have a valid extension (.dbf).\n\nUse a different file name.\n");
  r = Run({"export", "dbf", project, fields, apps, "--exclude", "phone"});
  EXPECT_EQ(r.err, "Data to exclude must be name, address, notes or costs.\n");

  // A UTF-8 table is shown as the code page file beside it says.
  ASSERT_TRUE(WriteDbfSample(table, {{"FIELD_NAME"}, {{"", "M\xC3\xBCller"}}}));
  WriteWholeFile(ChangeFileExt(table, ".cpg"), "UTF-8");
  EXPECT_NE(Run({"dbf", "show", table}).out.find("\n1\t\tM\xC3\xBCller\n"), std::string::npos);
}

// Each exported record's cost columns are its cost summary with the same custom costs and options;
// the subset leaves out the records it does not hold.
TEST(CmdDbfExportTest, CostColumnsAreEachRecordsCostSummary) {
  const std::string runtime = TESSEREL_RUNTIME_DIR, iowa = runtime + "/samples/iowa-2024.tsj";
  TTempDir dir;
  const auto tool = [&runtime](const std::vector<std::string>& args) { return RunToolWithData(runtime, args); };
  const std::string custom = dir.File("dear.mcc"), fields = dir.File("f.dbf"), apps = dir.File("a.dbf");
  ASSERT_EQ(tool({"costs", "set", custom, "1101=301.5", "2001=0.9"}).status, 0);
  // A crop failure: the cost per unit of a tenth of a bushel fills its column.
  const std::string copy = dir.File("iowa.tsj");
  std::filesystem::copy_file(iowa, copy);
  ASSERT_EQ(tool({"set", copy, "3", "Cur_Yield=0.1"}).status, 0);
  const std::vector<std::string> options = {"--custom", custom, "--removal", "--current-prices", "--any-soil-loss"};
  std::vector<std::string> args = {"export", "dbf", copy, fields, apps, "--subset", "3=corn"};
  args.insert(args.end(), options.begin(), options.end());
  TCliRun r = tool(args);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> numbers = Lines(tool({"subset", iowa, "--subset", "3=corn"}).out);
  ASSERT_EQ(numbers, (std::vector<std::string>{"1", "3", "5", "7", "9", "11"}));

  TDbfFile table;
  ASSERT_TRUE(table.OpenTable(fields, 0, omReadDenyWrite));
  ASSERT_EQ(table.RecordCount(), numbers.size());
  std::vector<char> row(static_cast<size_t>(table.RecordLength()));
  const int firstCost = table.FieldCount() - 16;  // SEED_COST
  for (uint32_t n = 1; n <= table.RecordCount(); ++n) {
    ASSERT_TRUE(table.ReadRecord(n, row.data()));
    std::vector<std::string> summary = {"costs", "summary", copy, numbers[n - 1]};
    summary.insert(summary.end(), options.begin(), options.end());
    std::vector<std::string> expected;
    for (const std::string& line : Lines(tool(summary).out))
      if (!line.starts_with("FertilizerUsed=")) expected.push_back(line.substr(line.find('=') + 1));
    std::vector<std::string> got;
    for (int i = firstCost; i <= table.FieldCount(); ++i) {
      TDbfField f;
      table.GetFieldInfo(i, f);
      got.push_back(Trim(TDbfFile::FieldText(row.data(), f)));
    }
    EXPECT_EQ(got, expected) << "record " << numbers[n - 1];
    if (n == 2) EXPECT_GT(std::stod(got.at(14)), 999.99) << "UNIT_COST of the crop failure, beyond 6.2";
  }
}

}  // namespace
