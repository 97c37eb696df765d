// The client binding against the stand-in planner, which the test bus starts on the first call.
#include <QDBusMessage>
#include <QStringList>

#include <filesystem>
#include <unistd.h>

#include "../support/TempDir.h"
#include "PlanStore.h"
#include "PlannerBus.h"
#include "QrlBus.h"

namespace {

using TKind = TQrlValue::TKind;

class QrlBusTest : public TPlannerBusTest {};

// Runs `body` in `dir` as the working folder.
template <typename F>
void InFolder(const std::string& dir, F body) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  body();
  std::filesystem::current_path(before);
}

TEST_F(QrlBusTest, CellsOfEveryKindSurviveTheBusAndThePlanFile) {
  PlannerSettings({{"QRL_STANDIN_VERSION", "0.1.9.7"}});
  std::unique_ptr<IQrlApp> app = StartQrlOnBus();
  ASSERT_NE(app, nullptr);
  EXPECT_TRUE(PlannerRunning());
  TQrlError error;
  std::string version;
  ASSERT_TRUE(app->FileVersion(version, error)) << error.Message;
  EXPECT_EQ(version, "0.1.9.7");
  std::unique_ptr<IQrlPlan> plan = app->CreatePlanFile("Iowa", 1, error);
  ASSERT_NE(plan, nullptr) << error.Message;

  // Code page 1252 text with characters outside Latin-1, a whole number beyond 32 bits, a negative
  // one, a real and Null.
  const std::vector<std::pair<std::string, TQrlValue>> cells = {
      {"Title", TQrlValue::OfText("Caf\xE9 \x93Nord\x94 \x80 5\xBD | x")},
      {"Author", TQrlValue::OfInt(-7)},
      {"Company", TQrlValue::OfInt(5'000'000'000)},
      {"Comments", TQrlValue::OfReal(2.25)},
      {"PlanYears", TQrlValue()}};
  for (const auto& [column, value] : cells) ASSERT_TRUE(plan->SetValue("PlanInfo", 0, column, value, error)) << column;
  const auto expectCells = [&cells](IQrlPlan& p) {
    for (const auto& [column, expected] : cells) {
      TQrlValue v;
      TQrlError e;
      ASSERT_TRUE(p.GetValue("PlanInfo", 0, column, v, e)) << column << ": " << e.Message;
      EXPECT_EQ(v.Kind, expected.Kind) << column;
      EXPECT_EQ(v.Int, expected.Int) << column;
      EXPECT_EQ(v.Real, expected.Real) << column;
      EXPECT_EQ(v.Str, expected.Str) << column;
    }
  };
  expectCells(*plan);

  // On the bus, Null is a variant holding an empty array of strings.
  QDBusMessage get = QDBusMessage::createMethodCall(QLatin1String(kQrlService), QStringLiteral("/Plan/1"),
                                                    QLatin1String(kQrlPlanInterface), QStringLiteral("GetValue"));
  get.setArguments({QStringLiteral("PlanInfo"), 0, QStringLiteral("PlanYears")});
  const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 10000);
  ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
  const QVariant null = reply.arguments().value(0).value<QDBusVariant>().variant();
  EXPECT_EQ(null.metaType(), QMetaType::fromType<QStringList>());
  EXPECT_TRUE(null.toStringList().isEmpty());

  // A relative plan name means this process's folder, not the planner's.
  TTempDir dir;
  InFolder(dir.Path(), [&] { ASSERT_TRUE(plan->SaveAs("cells.qrl", error)) << error.Message; });
  ASSERT_TRUE(std::filesystem::exists(dir.File("cells.qrl")));
  plan->Close();
  std::unique_ptr<IQrlPlan> reopened;
  InFolder(dir.Path(), [&] { reopened = app->OpenPlanFile("cells.qrl", error); });
  ASSERT_NE(reopened, nullptr) << error.Message;
  expectCells(*reopened);
}

TEST_F(QrlBusTest, PlannerErrorsArriveWithCodeSourceAndMessage) {
  std::unique_ptr<IQrlApp> app = StartQrlOnBus();
  ASSERT_NE(app, nullptr);
  TQrlError error;
  std::string version;
  EXPECT_EQ(app->CreatePlanFile("Atl\xE4ntis", 1, error), nullptr);
  EXPECT_EQ(error.Code, kQrlErrorBase + pePlanState);
  EXPECT_EQ(error.Source, "QRL");
  EXPECT_EQ(error.Message, "Unknown state 'Atl\xE4ntis'");
  EXPECT_EQ(error.Fault, TQrlFault::Refused);

  std::unique_ptr<IQrlPlan> plan = app->CreatePlanFile("Iowa", 1, error);
  ASSERT_NE(plan, nullptr) << error.Message;
  TQrlValue v;
  EXPECT_FALSE(plan->GetValue("Fi|eld", 0, "ID", v, error));  // a '|' in the text stays in it
  EXPECT_EQ(error.Code, kQrlErrorBase + pePlanTable);
  EXPECT_EQ(error.Source, "QRL");
  EXPECT_EQ(error.Message, "Invalid table name 'Fi|eld'");
  EXPECT_FALSE(plan->SetValue("Field", 0, "ID", TQrlValue::OfText("North"), error));
  EXPECT_EQ(error.Code, kQrlErrorBase + pePlanRow);

  // Field rows exist after ExpandTables; a soil key must be one of the county's.
  int rows = 0;
  ASSERT_TRUE(plan->ExpandTables(error)) << error.Message;
  ASSERT_TRUE(plan->RowCount("Field", rows, error));
  EXPECT_EQ(rows, 60);
  ASSERT_TRUE(plan->SetValue("Operation", 0, "CntyCode", TQrlValue::OfInt(169), error)) << error.Message;
  bool valid = false;
  ASSERT_TRUE(plan->ValueIsValid("Field", 0, "SoilKey", TQrlValue::OfInt(1916903), valid, error));
  EXPECT_TRUE(valid);
  ASSERT_TRUE(plan->ValueIsValid("Field", 0, "SoilKey", TQrlValue::OfInt(1901501), valid, error));
  EXPECT_FALSE(valid);

  // A plan that cannot be written, and one that is closed, fail as the planner's errors.
  EXPECT_FALSE(plan->SaveAs("/nonexistent-folder/plan.qrl", error));
  EXPECT_EQ(error.Code, kQrlErrorBase + pePlanSave);
  plan->Close();
  EXPECT_FALSE(plan->RowCount("Field", rows, error));
  EXPECT_EQ(error.Code, kQrlBusFailure);
  EXPECT_EQ(error.Source, "org.freedesktop.DBus.Error.UnknownObject");
  EXPECT_EQ(error.Fault, TQrlFault::Lost);
  // A planner that lost a plan is done with: every later call fails at once, without asking it.
  EXPECT_EQ(app->CreatePlanFile("Iowa", 1, error), nullptr);
  EXPECT_EQ(error.Source, "org.freedesktop.DBus.Error.UnknownObject");

  // A plan whose planner went away fails; a call does not start a new planner, whose /Plan/1
  // would be another plan.
  app = StartQrlOnBus();
  ASSERT_NE(app, nullptr);
  std::unique_ptr<IQrlPlan> orphan = app->CreatePlanFile("Iowa", 1, error);
  ASSERT_NE(orphan, nullptr) << error.Message;
  StopPlanner();
  EXPECT_FALSE(orphan->RowCount("Field", rows, error));
  EXPECT_EQ(error.Code, kQrlBusFailure);
  EXPECT_FALSE(app->FileVersion(version, error));
  EXPECT_FALSE(PlannerRunning());
}

}  // namespace
