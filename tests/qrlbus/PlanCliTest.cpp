// The plan commands of the command-line tool through the bus: the stand-in planner on the test
// bus, or (PlannerMissing) a bus that knows no planner.
#include <filesystem>
#include <nlohmann/json.hpp>

#include "../support/CliRun.h"
#include "../support/TempDir.h"
#include "PlannerBus.h"
#include "QrlBus.h"
#include "interchange/QrlCalls.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kRuntime = TESSEREL_RUNTIME_DIR;
const std::string kIowa = kRuntime + "/samples/iowa-2024.tsj";

TCliRun Tool(const std::vector<std::string>& args) { return RunToolWithData(kRuntime, args); }

// The project's header and records as `export json` writes them.
json ProjectJson(const TTempDir& dir, const std::string& project) {
  const std::string path = dir.File("project.json");
  const TCliRun r = Tool({"export", "json", project, path});
  EXPECT_EQ(r.status, 0) << r.err;
  json doc = json::parse(ReadWholeFile(path), nullptr, false);
  fs::remove(path);
  return doc;
}

std::vector<std::string> FolderNames(const TTempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.Path())) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The symbol of a record's soil with the largest field % (the first of equals).
std::string PredominantSoil(const json& rec) {
  size_t best = 0;
  for (size_t i = 1; i < rec["Soil_FldPct"].size(); ++i)
    if (rec["Soil_FldPct"][i].get<int>() > rec["Soil_FldPct"][best].get<int>()) best = i;
  return rec["Soil_Sym"][best].get<std::string>();
}

class PlanCliTest : public TPlannerBusTest {};

TEST_F(PlanCliTest, IowaSampleGoesThroughAPlanAndComesBack) {
  TTempDir dir;
  const std::string plan = dir.File("iowa.qrl"), back = dir.File("back.tsj");
  TCliRun r = Tool({"plan", "export", kIowa, plan});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "12 field records exported to file\n" + plan + "\n");
  r = Tool({"plan", "import", plan, back});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Added=12\n");
  EXPECT_EQ(FolderNames(dir), (std::vector<std::string>{"back.tsj", "iowa.qrl"}));  // the database is gone

  const json original = ProjectJson(dir, kIowa), imported = ProjectJson(dir, back);
  for (const char* key : {"State", "Year", "Title", "Author", "Company", "Comments"})
    EXPECT_EQ(imported["project"][key], original["project"][key]) << key;
  ASSERT_EQ(imported["records"].size(), 12u);
  int soilKeys = 0;
  for (size_t i = 0; i < 12; ++i) {
    const json &was = original["records"][i], &is = imported["records"][i];
    EXPECT_EQ(is["Field_ID"], i + 1);
    for (const char* key : {"Field_Name", "SubFld_Nam", "Field_Size", "County", "Operation", "Addr_Road", "Contact",
                            "FSA_Tract", "Cov_Crop", "Cur_Crop", "Next_Crop", "P", "K", "Soil_pH", "OM", "CEC"})
      EXPECT_EQ(is[key], was[key]) << "record " << i + 1 << " " << key;
    // The plan knows the soils of its county, the first record's (Story); the soils of records 7
    // and 12 (62C2, 27B) are Boone County's only and give no soil key.
    const bool keyed = i != 6 && i != 11;
    EXPECT_EQ(is["Soil_Sym"][0], keyed ? PredominantSoil(was) : "") << "record " << i + 1;
    EXPECT_EQ(is["Soil_FldPct"][0], keyed ? 100 : 0) << "record " << i + 1;
    soilKeys += keyed;
  }
  EXPECT_EQ(soilKeys, 10);

  // The corn fields of the subset, as many as a planner with four field rows takes.
  StopPlanner();
  PlannerSettings({{"QRL_STANDIN_FIELDS", "4"}});
  const std::string corn = dir.File("corn.qrl"), cornBack = dir.File("corn.tsj");
  r = Tool({"plan", "export", kIowa, dir.File("corn"), "--subset", "3=corn"});
  EXPECT_EQ(r.status, 1);  // the plan must be named .qrl
  r = Tool({"plan", "export", kIowa, corn, "--subset", "3=corn"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "4 field records exported to file\n" + corn + "\n");
  r = Tool({"plan", "import", corn, cornBack});
  ASSERT_EQ(r.status, 0) << r.err;
  const json cornFields = ProjectJson(dir, cornBack);
  ASSERT_EQ(cornFields["records"].size(), 4u);
  for (const json& rec : cornFields["records"]) EXPECT_EQ(rec["Cur_Crop"], 1);
}

TEST_F(PlanCliTest, AnOlderPlannerIsRefusedAndNothingIsWritten) {
  TTempDir dir;
  const std::string plan = dir.File("iowa.qrl"), copy = dir.File("copy.tsj");
  ASSERT_EQ(Tool({"plan", "export", kIowa, plan}).status, 0);
  fs::copy_file(kIowa, copy);
  const std::string before = ReadWholeFile(copy);

  StopPlanner();
  PlannerSettings({{"QRL_STANDIN_VERSION", "0.1.9.6"}});
  const std::string tooOld = std::string(kQrlTooOld) + "\n";
  TCliRun r = Tool({"plan", "export", kIowa, dir.File("old.qrl")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Unable to export data for the following reason:\n\n" + tooOld);
  r = Tool({"plan", "import", plan, dir.File("old.tsj")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Unable to import plan file for the following reason:\n\n" + tooOld);
  r = Tool({"plan", "soils", copy});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, tooOld);
  EXPECT_EQ(FolderNames(dir), (std::vector<std::string>{"copy.tsj", "iowa.qrl"}));
  EXPECT_EQ(ReadWholeFile(copy), before);
}

TEST_F(PlanCliTest, SoilsComeFromThePlannersCountySoils) {
  TTempDir dir;
  const std::string copy = dir.File("copy.tsj");
  fs::copy_file(kIowa, copy);
  // Record 1 (Story County): an unknown symbol, and a symbol with two components whose second is
  // named, without a slope.
  TCliRun r = Tool({"set", copy, "1", "Soil_Sym[1]=999X", "Soil_Sym[2]=638C2", "Soil_Name[2]=storden LOAM",
                    "Soil_Slope[2]=-1", "Soil_Drain[2]=1"});
  ASSERT_EQ(r.status, 0) << r.err;
  r = Tool({"plan", "soils", copy, "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Updated=1\nNotUpdated=1\n");
  r = Tool({"show", copy, "1"});
  for (const char* line : {"Soil_Sym[1]=999X\n", "Soil_Name[1]=Clarion loam\n", "Soil_Slope[1]=3\n",
                           "Soil_Sym[2]=638C2\n", "Soil_Name[2]=Storden loam\n", "Soil_Slope[2]=7\n",
                           "Soil_Drain[2]=3\n", "Soil_Attr1[2]=140\n", "Soil_Attr2[2]=62\n", "Soil_Rating[2]=60\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line;

  // All records, of two counties: every other soil of the sample is one of its county's.
  r = Tool({"plan", "soils", copy});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Updated=13\nNotUpdated=1\n");
  r = Tool({"plan", "soils", copy, "13"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Enter a record number in the range 1-12.\n");

  // A multi-state project is refused before the planner is started.
  StopPlanner();
  const std::string multi = dir.File("multi.tsj");
  fs::copy_file(kRuntime + "/samples/multi-state-2024.tsj", multi);
  r = Tool({"plan", "soils", multi});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Updating a multi-state project file is not supported.\n");
  EXPECT_FALSE(PlannerRunning());
}

// Runs on a bus without the planner's service file.
class PlannerMissing : public TPlannerBusTest {};

TEST_F(PlannerMissing, EveryPlanCommandSaysThePlannerCannotBeStarted) {
  EXPECT_EQ(StartQrlOnBus(), nullptr);
  TTempDir dir;
  const std::string copy = dir.File("copy.tsj");
  fs::copy_file(kIowa, copy);
  const std::string notStarted = std::string(kQrlNotStarted) + "\n";
  TCliRun r = Tool({"plan", "export", kIowa, dir.File("iowa.qrl")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Unable to export data for the following reason:\n\n" + notStarted);
  r = Tool({"plan", "import", dir.File("iowa.qrl"), dir.File("new.tsj")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Unable to import plan file for the following reason:\n\n" + notStarted);
  r = Tool({"plan", "soils", copy});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, notStarted);
  EXPECT_EQ(FolderNames(dir), std::vector<std::string>{"copy.tsj"});
}

}  // namespace
