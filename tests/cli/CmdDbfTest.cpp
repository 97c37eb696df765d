#include <gtest/gtest.h>

#include "../support/CliRun.h"
#include "../support/DbfSamples.h"
#include "../support/RefSamples.h"
#include "../support/TempDir.h"

namespace {

class CmdDbfTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteSampleReferenceFiles(dir.Path()); }
  TCliRun Run(std::vector<std::string> args) {
    args.push_back("--data-dir");
    args.push_back(dir.Path());
    return RunTool(args);
  }

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
}

}  // namespace
