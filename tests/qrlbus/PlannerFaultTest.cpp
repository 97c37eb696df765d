// A planner that refuses a county's soils, goes away or stops answering in the middle of a command:
// the command ends with a message that says which, within its stall time, and keeps what it wrote;
// while the planner is silent, a waiting hook keeps a window live and can give the call up.
#include <QElapsedTimer>

#include <csignal>
#include <filesystem>

#include "../support/CliRun.h"
#include "../support/SampleProjects.h"
#include "PlannerBus.h"
#include "QrlBus.h"
#include "interchange/QrlExport.h"
#include "interchange/QrlSoils.h"

namespace {

namespace fs = std::filesystem;

const std::string kIowa = kRuntimeDir + "/samples/iowa-2024.tsj";
constexpr int kStallMs = 1500;

class PlannerFaultTest : public TPlannerBusTest {
 protected:
  void SetUp() override {
    TPlannerBusTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(Mcn.Load(kRuntimeDir + "/usa.mcn")) << Mcn.FullErrorText();
    ASSERT_TRUE(Mdf.LoadForCountry(kRuntimeDir + "/stnd-usa.mdf", Mcn.CountryCode())) << Mdf.FullErrorText();
    fs::copy_file(kIowa, copy);
  }
  // The planner on the bus, a call waiting up to 30 seconds, a command without progress 1.5.
  static TQrlStarter ShortStall() {
    return [] { return StartQrlOnBus({30000, 30000, kStallMs}); };
  }

  TTempDir Dir;
  std::string copy = Dir.File("iowa.tsj");
  TMcnFile Mcn;
  TMdfFile Mdf;
  TLoadedRefs Refs{Mcn, Mdf};
};

TEST_F(PlannerFaultTest, ACountyTableThePlannerCannotReadFailsTheSoilsUpdate) {
  const std::string missing = Dir.File("missing.txt");
  PlannerSettings({{"QRL_STANDIN_SOILS", missing}});
  const std::string before = ReadWholeFile(copy);
  const TCliRun r = RunToolWithData(kRuntimeDir, {"plan", "soils", copy});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.rfind("Unable to retrieve QRL's soils of Story County (record 1).\r\n\r\nUnable to read the county "
                        "soils table " + missing + ".\r\nError ",
                        0),
            0u)
      << r.err;
  EXPECT_EQ(ReadWholeFile(copy), before);
}

TEST_F(PlannerFaultTest, ASoilsUpdateEndsWhenThePlannerStopsOrGoesAway) {
  for (const int signal : {SIGSTOP, SIGKILL}) {
    SCOPED_TRACE(signal == SIGSTOP ? "stopped" : "killed");
    fs::copy_file(kIowa, copy, fs::copy_options::overwrite_existing);
    TMdaFile file;
    ASSERT_TRUE(file.OpenProject(copy, true, Refs)) << file.FullErrorText();
    pid_t planner = 0;
    int updated = 0, notUpdated = 0;
    std::string message;
    QElapsedTimer clock;
    clock.start();
    // Records 1 to 6 are of Story County; the planner is asked again for record 7, of Boone County.
    const bool ok = UpdateSoilsFromPlanner(file, Mcn, 0, ShortStall(), updated, notUpdated, message,
                                           [&](int done, int) {
                                             if (done == 6) ::kill(planner = PlannerPid(), signal);
                                             return true;
                                           });
    EXPECT_LT(clock.elapsed(), kStallMs + 5000);
    EXPECT_FALSE(ok);
    const std::string why = signal == SIGSTOP ? "The QRL automation server stopped answering.\r\nQRL did not answer "
                                                "for 1.5 seconds.\r\nError "
                                              : "The connection to the QRL automation server was lost.\r\n";
    EXPECT_EQ(message.rfind("Unable to retrieve QRL's soils of Boone County (record 7).\r\n\r\n" + why, 0), 0u)
        << message;
    TMdaFile original;
    TFieldRec was, is;
    ASSERT_TRUE(original.OpenProject(kIowa, false, Refs) && original.ReadRecord(1, was) && file.ReadRecord(1, is));
    EXPECT_FALSE(SameRecord(was, is));  // written before the planner failed
    if (planner > 0) ::kill(planner, SIGCONT);
    StopPlanner();
  }
}

TEST_F(PlannerFaultTest, APlanExportEndsWhenThePlannerStops) {
  TMdaFile project;
  ASSERT_TRUE(project.OpenProject(kIowa, false, Refs)) << project.FullErrorText();
  pid_t planner = 0;
  TExportOptions options;
  options.Progress = [&](int done, int) {
    if (done == 3 && planner == 0) ::kill(planner = PlannerPid(), SIGSTOP);
    return true;
  };
  const std::string plan = Dir.File("iowa.qrl");
  std::string message;
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(ExportToPlan(project, Mcn, ShortStall(), plan, nullptr, options, message));
  EXPECT_LT(clock.elapsed(), kStallMs + 5000);
  EXPECT_EQ(message.rfind("The QRL automation server stopped answering.\r\nQRL did not answer for 1.5 seconds.", 0),
            0u)
      << message;
  EXPECT_FALSE(fs::exists(plan));
  ::kill(planner, SIGCONT);
}

TEST_F(PlannerFaultTest, WhileThePlannerIsSilentTheWaitingHookRunsAndMayGiveUp) {
  std::unique_ptr<IQrlApp> app = StartQrlOnBus();
  ASSERT_NE(app, nullptr);
  int waits = 0;
  app->WhileWaiting([&waits] { return ++waits < 5; });
  TQrlError error;
  std::unique_ptr<IQrlPlan> plan = app->CreatePlanFile("Iowa", 1, error);
  ASSERT_NE(plan, nullptr) << error.Message;
  const int before = waits;
  const pid_t planner = PlannerPid();
  ::kill(planner, SIGSTOP);
  QElapsedTimer clock;
  clock.start();
  int rows = 0;
  EXPECT_FALSE(plan->RowCount("Field", rows, error));
  EXPECT_EQ(error.Fault, TQrlFault::Canceled);
  EXPECT_EQ(waits, 5);
  EXPECT_GE(clock.elapsed(), (5 - before - 1) * 100);
  EXPECT_LT(clock.elapsed(), 5000);
  // A planner given up on is not asked again, nor waited for.
  std::string version;
  EXPECT_FALSE(app->FileVersion(version, error));
  EXPECT_EQ(error.Fault, TQrlFault::Canceled);
  plan.reset();
  EXPECT_EQ(waits, 5);
  EXPECT_LT(clock.elapsed(), 5000);
  ::kill(planner, SIGCONT);
}

}  // namespace
