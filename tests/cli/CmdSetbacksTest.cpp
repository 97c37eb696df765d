// report setbacks on the shipped Iowa, Minnesota and Illinois state files.
#include <gtest/gtest.h>

#include "../support/CliRun.h"
#include "../support/TempDir.h"
#include "Version.h"
#include "reports/TxtFile.h"

namespace {

const std::string kRuntime = TESSEREL_RUNTIME_DIR;

class CmdSetbacksTest : public ::testing::Test {
 protected:
  void SetUp() override { SetReportClock([] { return TReportTime{2026, 12, 9, 9, 5, 0, 3}; }); }
  void TearDown() override { SetReportClock({}); }

  // Runs the report into a text file; returns the file's text (empty after a failure).
  std::string Report(std::vector<std::string> args, const std::string& name = "s.txt") {
    const std::string out = dir.File(name);
    args.insert(args.begin(), {"report", "setbacks"});
    for (const std::string& a : {std::string("-o"), out, std::string("--data-dir"), kRuntime}) args.push_back(a);
    last = RunTool(args);
    return ReadWholeFile(out);
  }

  TTempDir dir;
  TCliRun last;
};

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

// Every feature of the Iowa list for surface-applied liquid manure behind a 50-ft buffer: the
// buffer clears the designated areas but not the drainage wells (200 ft) or high-quality water
// resources (800 ft); the three references of the one operation type are listed once.
TEST_F(CmdSetbacksTest, IowaSurfaceAppliedBehindABuffer) {
  const std::string text = Report({"IA", "--method", "3", "--buffer", "50", "--slope", "4.26", "--residue", "30",
                                   "--applied-to", "0", "--applied-to", "3", "--applied-to", "6"});
  ASSERT_EQ(last.status, 0) << last.err;
  std::string expected = Lines({
      "          [This report prepared by " + std::string(TESSEREL_INTERNAL_NAME) + " " + TESSEREL_FILE_VERSION +
          " at 9:05:00 AM on Wed 12/9/2026]",
      "", "Manure Application Setback Criteria", "", "State:  Iowa", "How Manure Applied:  Liquid, Not Incorporated",
      "Vegetated Buffer:  50 feet", "Gradient Barrier:  No", "Slope:  4.3 %", "Residue:  30%",
      "Manure Applied To:  Pasture  With High-Pressure Irrigation", "", "",
      "Manure Application Setback Distances", ""});
  const std::string buffered = "  Surface applied with a 50-ft permanent vegetated buffer:  0 feet";
  for (const char* feature : {"Sinkhole", "Cistern", "Abandoned well", "Drinking water well", "Designated wetland",
                              "Water source (lake, river, pond, reservoir)"})
    expected += Lines({std::string(feature) + "  [Confinement feeding operation manure]", buffered, ""});
  const std::string notSameDay = "  Not injected or incorporated on the same day:  ";
  expected += Lines({"Unplugged agricultural drainage well  [Confinement feeding operation manure]",
                     notSameDay + "200 feet", "",
                     "Surface inlet to unplugged ag drainage well  [Confinement feeding operation manure]",
                     notSameDay + "200 feet", "",
                     "High-quality water resource  [Confinement feeding operation manure]", notSameDay + "800 feet",
                     "", "", "Manure Application Setback References", "",
                     "Iowa Code 459.314, Separation distances for the application of manure  "
                     "(https://www.legis.iowa.gov/docs/code/459.314.pdf)",
                     "",
                     "Iowa Code 459.311B, Manure application near high-quality water resources  "
                     "(https://www.legis.iowa.gov/docs/code/459.311B.pdf)",
                     "",
                     "Iowa Admin. Code 567-65.101(2), Separation distances for land application  "
                     "(https://www.legis.iowa.gov/docs/iac/rule/567.65.101.pdf)",
                     ""});
  EXPECT_EQ(text, expected);
}

// Injected: DaysToInc is null, so only the criteria that injection satisfies on its own apply.
TEST_F(CmdSetbacksTest, IowaInjectedAsRtf) {
  const std::string rtf = Report({"ia", "--method", "0", "--feature", "4", "--feature", "9"}, "s.rtf");
  ASSERT_EQ(last.status, 0) << last.err;
  EXPECT_NE(rtf.find("How Manure Applied:  Injected\r\n\\par Vegetated Buffer:  None"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\b Drinking water well  [Confinement feeding operation manure]\\b0 \r\n\\par   "
                     "Injected or incorporated on the same day:  0 feet"),
            std::string::npos);
  EXPECT_EQ(rtf.find("200 feet"), std::string::npos);
  EXPECT_EQ(rtf.find("800 feet"), std::string::npos);
  EXPECT_EQ(rtf.find("Sinkhole"), std::string::npos);
  EXPECT_NE(rtf.find("{\\field{\\*\\fldinst HYPERLINK https://www.legis.iowa.gov/docs/code/459.314.pdf}"),
            std::string::npos);
}

// Minnesota: incorporated within a day keeps 25 ft from surface water and 0 from tile intakes;
// solid manure left on the surface behind a 100-ft buffer keeps 100 ft and 300 ft; a winter
// application keeps 300 ft from both whatever the method, and is not listed under "Applied To".
TEST_F(CmdSetbacksTest, MinnesotaIncorporatedSurfaceAndWinter) {
  const std::vector<std::string> features = {"--feature", "1", "--feature", "4"};
  auto distances = [&](std::vector<std::string> args) {
    args.insert(args.begin(), "MN");
    args.insert(args.end(), features.begin(), features.end());
    const std::string text = Report(args);
    EXPECT_EQ(last.status, 0) << last.err;
    const size_t from = text.find("Setback Distances"), to = text.find("Setback References");
    return from == std::string::npos || to == std::string::npos ? text : text.substr(from, to - from);
  };
  const std::string lake = "Lake, stream or intermittent stream  [Land application of manure]\r\n";
  const std::string tile = "Open tile intake  [Land application of manure]\r\n";
  EXPECT_EQ(distances({"--method", "2", "--days", "1"}),
            "Setback Distances\r\n\r\n" + lake + "  Injected or incorporated within 24 hours:  25 feet\r\n\r\n" +
                tile + "  Injected or incorporated within 24 hours:  0 feet\r\n\r\n\r\nManure Application ");
  EXPECT_NE(Report({"MN", "--method", "2", "--days", "1"}).find("How Manure Applied:  Liquid, Incorporated in 1 day(s)"),
            std::string::npos);
  EXPECT_EQ(distances({"--method", "5", "--buffer", "100"}),
            "Setback Distances\r\n\r\n" + lake +
                "  Surface applied, not incorporated within 24 hours, 100-ft vegetated buffer:  100 feet\r\n\r\n" +
                tile + "  Surface applied, not incorporated within 24 hours:  300 feet\r\n\r\n\r\nManure Application ");
  const std::string winter = distances({"--method", "2", "--days", "0.5", "--applied-to", "3", "--applied-to", "7"});
  EXPECT_EQ(winter, "Setback Distances\r\n\r\n" + lake + "  Winter application or frozen soil:  300 feet\r\n\r\n" +
                        tile + "  Winter application or frozen soil:  300 feet\r\n\r\n\r\nManure Application ");
  EXPECT_NE(ReadWholeFile(dir.File("s.txt")).find("Manure Applied To:\r\n"), std::string::npos);
}

TEST_F(CmdSetbacksTest, RefusedSettingsAndStatesWithoutCriteria) {
  struct TCase {
    std::vector<std::string> args;
    std::string err;
  };
  const TCase cases[] = {
      {{"IL"}, "No setbacks defined for this state.\n"},
      {{"IA", "--method", "4"}, "You must enter Days To Incorporation when manure is incorporated.\n"},
      {{"IA", "--days", "100"}, "Days To Incorporation is invalid.\n"},
      {{"IA", "--buffer", "0"}, "Buffer Width (Feet) is invalid.\n"},
      {{"IA", "--slope", "50.5"}, "Slope (%) is invalid.\n"},
      {{"IA", "--residue", "12.5"}, "Residue (%) is invalid.\n"},
      {{"ZZ"}, "No state \"ZZ\" in " + kRuntime + "/usa.mcn.\n"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(Report(c.args), "");
    EXPECT_EQ(last.status, 1);
    EXPECT_EQ(last.err, c.err);
  }
  Report({"IA", "--feature", "10"});
  EXPECT_EQ(last.status, 1);
  EXPECT_NE(last.err.find("  9 High-quality water resource  [Confinement feeding operation manure]\n"),
            std::string::npos)
      << last.err;
}

}  // namespace
