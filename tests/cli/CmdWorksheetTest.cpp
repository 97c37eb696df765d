// `report worksheet` on the Iowa sample project (fields 101 to 112): the record walk of each
// record choice, the checks of the options, and the nutrient page against `recs`.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "../support/CliRun.h"
#include "../support/TempDir.h"
#include "reports/TxtFile.h"

namespace {

const std::string kRuntime = TESSEREL_RUNTIME_DIR;
const std::string kIowa = kRuntime + "/samples/iowa-2024.tsj";

class CmdWorksheetTest : public ::testing::Test {
 protected:
  void SetUp() override { SetReportClock([] { return TReportTime{2026, 12, 9, 9, 5, 0, 3}; }); }
  void TearDown() override { SetReportClock({}); }

  TCliRun Worksheet(std::vector<std::string> options) {
    std::vector<std::string> args = {"report", "worksheet", kIowa, "-o", Out(), "--data-dir", kRuntime};
    args.insert(args.end(), options.begin(), options.end());
    return RunTool(args);
  }
  std::string Out() const { return dir_.File("w.txt"); }
  // The field IDs of the written cost pages, in order.
  std::string FieldIds() const {
    const std::string text = ReadWholeFile(Out());
    const std::regex id(R"(\|   Field ID:   (\d+))");
    std::string ids;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), id); it != std::sregex_iterator(); ++it)
      ids += (ids.empty() ? "" : " ") + (*it)[1].str();
    return ids;
  }

  TTempDir dir_;
};

TEST_F(CmdWorksheetTest, RecordChoicesWalkTheirRecords) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--records", "ids:104-106"}, "104 105 106"},
      {{"--records", "ids:100-104"}, "101 102 103 104"},
      {{"--records", "11-40"}, "111 112"},
      {{"--records", "3"}, "103"},
      {{"--subset", "Current crop=Soybeans"}, "102 104 106 108 110 112"},
      {{}, "101 102 103 104 105 106 107 108 109 110 111 112"},
  };
  for (const auto& [options, ids] : cases) {
    const TCliRun r = Worksheet(options);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(FieldIds(), ids) << options.back();
  }
}

TEST_F(CmdWorksheetTest, BadChoicesAreRefusedAndWriteNothing) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--records", "13-20"}, "No records in selected range or subset.\n"},
      {{"--records", "ids:150-199"}, "No records in selected range or subset.\n"},
      {{"--records", "0"}, "Not a valid record number or range.\n"},
      {{"--records", "5-2"}, "Not a valid record range.\n"},
      {{"--records", "ids:1-1000000000"}, "Not a valid field ID range.\n"},
      {{"--no-costs", "--no-nutrients"}, "At least one page must be included.\n"},
      {{"--show", "operation,notes"}, "Either Field ID or Field Name must be checked.\n"},
      {{"--show", "id,prices"}, "Unknown --show item \"prices\".\n"},
      {{"--subset", "3=Wheet"}, "Unknown item \"Wheet\" of Current crop.\n"},
  };
  for (const auto& [options, message] : cases) {
    const TCliRun r = Worksheet(options);
    EXPECT_EQ(r.status, 1) << options.back();
    EXPECT_EQ(r.err, message);
    EXPECT_FALSE(std::filesystem::exists(Out())) << options.back();
  }
  const TCliRun r = Worksheet({"--custom", dir_.File("none.mcc")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind(dir_.File("none.mcc") + "\r\n", 0), 0u) << r.err;
  EXPECT_FALSE(std::filesystem::exists(Out()));
}

// For every record: the printed need less the printed legume credit is the default N that `recs`
// prints, and the printed P2O5 and K2O needs are its default P2O5 and K2O; a need the worksheet marks
// " (p)" is one that `recs` flags as provisional (for N, the credit's mark, as the net need).
TEST_F(CmdWorksheetTest, NutrientNeedsAgreeWithRecs) {
  ASSERT_EQ(Worksheet({"--no-costs"}).status, 0);
  const std::string text = ReadWholeFile(Out());
  const std::regex needs(R"(\| Crop nutrient needs +(\d+)( \(p\))? +(\d+)( \(p\))? +(\d+)( \(p\))? +\|)");
  const std::regex credit(R"(\|   Previous legume N credit +(\d+)( \(p\))? +\|)");
  const auto printed = [](const std::string& label, const std::string& value, bool marked) {
    return label + value + (marked ? ", provisional: not checked against the publication's table" : "") + "\n";
  };
  auto need = std::sregex_iterator(text.begin(), text.end(), needs);
  auto cred = std::sregex_iterator(text.begin(), text.end(), credit);
  for (int n = 1; n <= 12; ++n, ++need, ++cred) {
    ASSERT_NE(need, std::sregex_iterator()) << n;
    ASSERT_NE(cred, std::sregex_iterator()) << n;
    const TCliRun recs = RunTool({"recs", kIowa, std::to_string(n), "--data-dir", kRuntime});
    const int net = std::stoi((*need)[1].str()) - std::stoi((*cred)[1].str());
    EXPECT_NE(recs.out.find(printed("Default N: ", std::to_string(net), (*cred)[2].matched)), std::string::npos)
        << n << recs.out;
    EXPECT_NE(recs.out.find(printed("Default P2O5: ", (*need)[3].str(), (*need)[4].matched)), std::string::npos) << n;
    EXPECT_NE(recs.out.find(printed("Default K2O: ", (*need)[5].str(), (*need)[6].matched)), std::string::npos) << n;
  }
  EXPECT_NE(text.find("(p) Provisional: not checked against the publication's table."), std::string::npos);
}

}  // namespace
