#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <thread>

#include "../support/CliRun.h"
#include "../support/RefSamples.h"
#include "../support/TempDir.h"
#include "filebase/RecFile.h"
#include "store/MdaFile5.h"

namespace {

class CmdProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteSampleReferenceFiles(dir.Path());
    path = dir.File("farm.tsj");
  }
  // Runs the tool with the sample reference files.
  TCliRun Run(std::vector<std::string> args) {
    args.push_back("--data-dir");
    args.push_back(dir.Path());
    return RunTool(args);
  }
  void MakeFarm(const std::string& state = "0") {
    ASSERT_EQ(Run({"new", path, "--state", state, "--year", "2012", "--title", "Home farm"}).status, 0);
    for (const char* id : {"30", "10", "20"}) {
      TCliRun r = Run({"add", path, "--id", id, "--name", std::string("F") + id, "--state", "IA"});
      ASSERT_EQ(r.status, 0) << r.err;
    }
  }
  nlohmann::json Show(int n) { return nlohmann::json::parse(Run({"show", path, std::to_string(n), "--json"}).out); }

  TTempDir dir;
  std::string path;
};

TEST_F(CmdProjectTest, NewChecksStateYearAndName) {
  TCliRun r = Run({"new", path, "--state", "XX", "--year", "2012"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Specify the new file's state.\n");
  r = Run({"new", path, "--state", "IA", "--year", "2078"});
  EXPECT_EQ(r.err, "Year must be in the range 1993-2077.\n");
  r = Run({"new", dir.File("farm.txt"), "--state", "IA", "--year", "2012"});
  EXPECT_EQ(r.err, dir.File("farm.txt") + "\r\nFile does not have a valid extension (.tsj).\n");
  ASSERT_EQ(Run({"new", path, "--state", "ia", "--year", "2077", "--title", "Late"}).status, 0);
  r = Run({"new", path, "--state", "IA", "--year", "2012"});
  EXPECT_EQ(r.err, path + "\nFile already exists.\n");
  r = Run({"info", path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("State=Iowa\nYear=2077\nTitle=Late\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Required definition file=Release 1/15/2025 or later\n"), std::string::npos);
  EXPECT_NE(r.out.find("Access=writable\n"), std::string::npos);
}

TEST_F(CmdProjectTest, AddKeepsIdOrderAndRefusesDuplicates) {
  MakeFarm();
  TCliRun r = Run({"add", path, "--id", "15", "--name", "f10", "--state", "IA"});
  EXPECT_EQ(r.err, "That field name and subfield name have already been used.\n");
  r = Run({"add", path, "--id", "20", "--state", "IA"});
  EXPECT_EQ(r.err, "That field ID has already been used.\n");
  r = Run({"add", path, "--id", "0", "--state", "IA"});
  EXPECT_EQ(r.err, "Enter a valid field ID for the new record.\n");
  r = Run({"add", path, "--id", "15"});
  EXPECT_EQ(r.err, "Select the field's state.\n");
  r = Run({"add", path, "--id", "15", "--name", "F10", "--sub", "B", "--duplicate", "1"});
  EXPECT_EQ(r.out, "2\n") << r.err;
  r = Run({"list", path});
  EXPECT_EQ(r.out, "1\t10\tF10\t\tIA\t\t\n2\t15\tF10\tB\tIA\t\t\n3\t20\tF20\t\tIA\t\t\n4\t30\tF30\t\tIA\t\t\n");
}

TEST_F(CmdProjectTest, SetChangesFieldsOrNothing) {
  MakeFarm();
  TCliRun r = Run({"set", path, "2", "Cur_Crop=1", "Fert_N[1]=46", "Plant_Date=2012-05-01", "Notes=Limed in 2010",
                   "flag.CustN=1", "County=2"});
  ASSERT_EQ(r.status, 0) << r.err;
  nlohmann::json rec = Show(2);
  EXPECT_EQ(rec["Cur_Crop"], 1);
  EXPECT_EQ(rec["Fert_N"][0], 46.0);
  EXPECT_EQ(rec["Plant_Date"], "2012-05-01");
  EXPECT_EQ(rec["Notes"], "Limed in 2010");
  EXPECT_EQ(rec["Flags"], 32);
  const std::string before = ReadWholeFile(path);
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"Cur_Crop=2", "P_Units=256"}, {"Fert_N[11]=1"}, {"Plant_Date=2079-01-01"},
        {"flag.Nope=1"}, {"Field_ID=5"}, {"Notes"}, {"Cur_Crop=999"}, {"Field_Size=-5"}, {"Cov_Crop=1"},
        {"Plant_Date=2012-10-01"}, {"Fert_N[2]=60", "Fert_P2O5[2]=50"}, {"OFert_Input[1]=4004"},
        {"Cov_PlRate=5"}, {"County=3"}, {"Wshed_Num=1234567890123"}, {"Herb_Units[1]=2"}}) {
    std::vector<std::string> args = {"set", path, "2"};
    args.insert(args.end(), bad.begin(), bad.end());
    r = Run(args);
    EXPECT_EQ(r.status, 1) << bad.back();
    EXPECT_NE(r.err.find("nothing was written"), std::string::npos) << r.err;
  }
  EXPECT_TRUE(ReadWholeFile(path) == before);
  r = Run({"set", path, "2", "Cur_Crop=2", "Field_Size=-5"});
  EXPECT_EQ(r.err, "Field_Size: \"-5\" is not accepted: must be from 0.01 to 1000; nothing was written.\n");
  r = Run({"set", path, "2", "Plant_Date=2012-10-01"});
  EXPECT_EQ(r.err, "Plant_Date: \"2012-10-01\" is not accepted: must be a date from 2011-09-01 to 2012-09-01; "
                   "nothing was written.\n");
  r = Run({"set", path, "2", "Notes=\xC5\x81\xC3\xB3" "d\xC5\xBA", "Planter=a\tb"});
  EXPECT_EQ(r.err, "Notes: the value holds the character U+0141, which code page 1252 cannot hold; nothing was "
                   "written.\n");
  r = Run({"set", path, "2", "Planter=a\tb"});
  EXPECT_EQ(r.err, "Planter: \"a\tb\" is not accepted: must not hold control characters (it holds U+0009); "
                   "nothing was written.\n");
  EXPECT_TRUE(ReadWholeFile(path) == before);
  ASSERT_EQ(Run({"set", path, "2", "Field_Size=1000.004", "Cur_PlRate=32000", "Soil_Slope[1]=-1"}).status, 0);
  EXPECT_EQ(Show(2)["Field_Size"], 1000.0) << "rounded to the field's two decimals";
  EXPECT_EQ(Run({"find", path, "--kind", "6", "--text", "lime"}).out, "2\n");
  EXPECT_EQ(Run({"find", path, "--kind", "3", "--text", "adams"}).out, "2\n");
  r = Run({"find", path, "--kind", "6", "--text", "lime", "--from", "3"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Can't find a record with that Notes.\n");
  r = Run({"find", path, "--kind", "2", "--text", "ZZ"});
  EXPECT_EQ(r.err, "Enter a valid state abbreviation.\n");
}

TEST_F(CmdProjectTest, RenameDeleteCheckAndSort) {
  MakeFarm();
  EXPECT_EQ(Run({"rename", path, "1", "--id", "25"}).out, "2\n");
  EXPECT_EQ(Run({"rename", path, "2", "--name", "f20"}).err,
            "That field name and subfield name have already been used.\n");
  EXPECT_EQ(Run({"rename", path, "2", "--name", "f10"}).out, "2\n");  // only the case changes
  EXPECT_EQ(Show(2)["Field_Name"], "f10");
  EXPECT_EQ(Run({"delete", path, "3"}).out, "2\n");
  EXPECT_EQ(Run({"list", path}).out, "1\t20\tF20\t\tIA\t\t\n2\t25\tf10\t\tIA\t\t\n");

  ASSERT_EQ(Run({"set", path, "1", "Fert_N[1]=10", "Fert_Date[1]=", "Fert_N[2]=20", "Fert_Date[2]=2012-05-12",
                 "Fert_N[4]=40", "Fert_Date[4]=2012-04-03"})
                .status,
            0);
  ASSERT_EQ(Run({"sort-inputs", path, "1"}).status, 0);
  nlohmann::json rec = Show(1);
  EXPECT_EQ(rec["Fert_N"][0], 40.0);
  EXPECT_EQ(rec["Fert_N"][1], 20.0);
  EXPECT_EQ(rec["Fert_Date"][2], nullptr);

  TCliRun r = Run({"check", path, "1"});
  EXPECT_EQ(r.out.rfind("The current record's data is incomplete, as follows:\n\nCounty is not selected.\n", 0), 0u)
      << r.out;
  EXPECT_NE(r.out.find("\nFertilizer's rate is missing.\n"), std::string::npos);
  EXPECT_EQ(Run({"show", path, "3"}).err, "Enter a record number in the range 1-2.\n");
}

TEST_F(CmdProjectTest, MergeExtractAndProperties) {
  MakeFarm();
  const std::string other = dir.File("other.tsj");
  ASSERT_EQ(Run({"new", other, "--state", "0", "--year", "2012"}).status, 0);
  ASSERT_EQ(Run({"add", other, "--id", "5", "--name", "F30", "--state", "AL"}).status, 0);
  TCliRun r = Run({"merge", path, other});
  EXPECT_EQ(r.err, "Unable to merge file for the following reason:\n\nField name \"F30 \" is used in both project "
                   "files.\n");
  ASSERT_EQ(Run({"rename", other, "1", "--name", "East"}).status, 0);
  EXPECT_EQ(Run({"merge", path, other}).out, "4 records in project\n");

  ASSERT_EQ(Run({"set", path, "2", "Next_Crop=2", "Contact=Joe"}).status, 0);
  // File names are printed as the system has them, whatever their language.
  const std::string out = dir.File("N\u00e4chstes Jahr \u4e2d 'q'.tsj");
  r = Run({"extract", path, out, "--title", "Next", "--exclude", "name,notes", "--advance-year"});
  EXPECT_EQ(r.out, "4 records extracted and saved to file\n" + out + "\n") << r.err;
  r = Run({"info", out});
  EXPECT_NE(r.out.find("File=" + out + "\nRecords=4\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Year=2013\nTitle=Next\n"), std::string::npos) << r.out;
  const std::string missing = dir.File("Zweit-\u00fc.tsj");
  EXPECT_EQ(Run({"show", missing, "1"}).err, missing + "\r\nCan't open file. File does not exist.\n");
  const std::string nextPath = path;
  path = out;
  nlohmann::json rec = Show(2);
  EXPECT_EQ(rec["Cur_Crop"], 2);
  EXPECT_EQ(rec["Contact"], "");
  EXPECT_EQ(rec["Year"], 2013);
  path = nextPath;

  ASSERT_EQ(Run({"properties", path, "--author", "Ann", "--comments", "Tiled"}).status, 0);
  EXPECT_EQ(Run({"properties", path}).out, "Title=Home farm\nAuthor=Ann\nCompany=\nComments=Tiled\n");
}

TEST_F(CmdProjectTest, ConvertAnswersYes) {
  std::string old(2 * 1024, '\0');
  old[0] = 5;
  const uint16_t release = 40000, count = 1, year = 2005, country = 1;
  std::memcpy(&old[1], &release, 2);
  std::memcpy(&old[3], &count, 2);
  std::memcpy(&old[7], &year, 2);
  std::memcpy(&old[72], &country, 2);
  old[1024] = 42;  // Field_ID
  const std::string tsd = dir.File("old.tsd");
  WriteWholeFile(tsd, old);
  TCliRun r = Run({"convert", tsd});
  EXPECT_EQ(r.out, tsd + "\nFile was successfully converted for use with this version.\n\nA copy of the old file was "
                         "saved as\n" + dir.File("old.dos") + "\n")
      << r.err;
  path = tsd;
  EXPECT_EQ(Show(1)["Field_ID"], 42);
  EXPECT_TRUE(ReadWholeFile(dir.File("old.dos")) == old);
}

TEST_F(CmdProjectTest, CommandsWaitForAProjectAnotherProgramIsUsing) {
  MakeFarm();
  const std::string inUse = path + "\r\nThe project is in use by another program.\n";
  using Clock = std::chrono::steady_clock;
  {
    TRecFile editor;  // another program editing the project
    ASSERT_TRUE(editor.Open(path, 2048, omReadWriteExclusive));
    const Clock::time_point start = Clock::now();
    TCliRun r = Run({"add", path, "--id", "40", "--state", "IA", "--wait", "0.3"});
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, inUse);
    r = Run({"list", path, "--wait", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, inUse);
  }
  {
    TRecFile reader;  // another program showing the project read-only: reading goes on, changing waits
    ASSERT_TRUE(reader.Open(path, 2048, omReadDenyWrite));
    EXPECT_EQ(Run({"list", path, "--wait", "0"}).status, 0);
    TCliRun r = Run({"delete", path, "1", "--wait", "0.1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, inUse);
  }
  // A program that lets go within the wait (10 seconds unless told): the command goes on.
  TRecFile editor;
  ASSERT_TRUE(editor.Open(path, 2048, omReadWriteExclusive));
  std::thread release([&editor] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    editor.Close();
  });
  TCliRun r = Run({"add", path, "--id", "40", "--state", "IA"});
  release.join();
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "4\n");
  EXPECT_NE(RunTool({"--help"}).out.find("--wait SECONDS"), std::string::npos);
}

}  // namespace
