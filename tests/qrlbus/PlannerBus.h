// The private session bus the planner tests run on (ctest starts them under dbus-run-session with
// a configuration whose service folder holds the stand-in planner's service file) and the control
// of the stand-in: its settings for the next start, and stopping it between tests.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QThread>

#include <csignal>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "QrlWire.h"

inline QDBusMessage AskBus(const QString& method, const QVariantList& args) {
  QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                     QStringLiteral("/org/freedesktop/DBus"),
                                                     QStringLiteral("org.freedesktop.DBus"), method);
  call.setArguments(args);
  return QDBusConnection::sessionBus().call(call, QDBus::Block, 10000);
}

inline bool PlannerRunning() {
  const QDBusMessage r = AskBus(QStringLiteral("NameHasOwner"), {QLatin1String(kQrlService)});
  return r.type() == QDBusMessage::ReplyMessage && r.arguments().value(0).toBool();
}

class TPlannerBusTest : public ::testing::Test {
 protected:
  // The stand-in's settings, all back to its defaults.
  static inline const char* kSettings[] = {"QRL_STANDIN_VERSION", "QRL_STANDIN_FIELDS", "QRL_STANDIN_SOILS",
                                          "QRL_STANDIN_OMIT"};

  void SetUp() override {
    // Never on the desktop's own session bus: its activation environment would be changed.
    if (qEnvironmentVariable("TESSEREL_PLANNER_BUS") != QLatin1String("private"))
      GTEST_SKIP() << "runs on a private session bus: ctest -R qrlbus";
    StopPlanner();
    std::map<std::string, std::string> defaults;
    for (const char* name : kSettings) defaults[name] = "";
    PlannerSettings(defaults);
  }
  void TearDown() override { StopPlanner(); }

  // Environment variables the bus gives the stand-in when it starts it next.
  static void PlannerSettings(const std::map<std::string, std::string>& vars) {
    qDBusRegisterMetaType<QMap<QString, QString>>();  // a{ss}
    QMap<QString, QString> env;
    for (const auto& [name, value] : vars) env[QString::fromStdString(name)] = QString::fromStdString(value);
    const QDBusMessage r = AskBus(QStringLiteral("UpdateActivationEnvironment"), {QVariant::fromValue(env)});
    ASSERT_EQ(r.type(), QDBusMessage::ReplyMessage) << r.errorMessage().toStdString();
  }

  // The process of the running stand-in; 0 when none runs.
  static pid_t PlannerPid() {
    const QDBusMessage r = AskBus(QStringLiteral("GetConnectionUnixProcessID"), {QLatin1String(kQrlService)});
    return r.type() == QDBusMessage::ReplyMessage ? static_cast<pid_t>(r.arguments().value(0).toUInt()) : 0;
  }

  // Ends a running stand-in (the process the bus started for these tests), also a stopped one, and
  // waits for its name to go.
  static void StopPlanner() {
    const pid_t pid = PlannerPid();
    if (pid == 0) return;
    ::kill(pid, SIGTERM);
    ::kill(pid, SIGCONT);
    for (int i = 0; i < 500 && PlannerRunning(); ++i) QThread::msleep(10);
    ASSERT_FALSE(PlannerRunning());
  }
};
