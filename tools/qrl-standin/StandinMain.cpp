// qrl-standin: the stand-in planner of the tests, serving the plan model on the session bus until
// it has been idle for a while or the bus goes away.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QTimer>

#include <cstdio>

#include "StandinBus.h"
#include "StandinEnv.h"

int main(int argc, char** argv) {
  QCoreApplication qapp(argc, argv);
  TStandinEnv env;
  QString reason;
  if (!ReadStandinEnv(env, reason)) {
    std::fprintf(stderr, "qrl-standin: %s\n", qPrintable(reason));
    return 2;
  }
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    std::fprintf(stderr, "qrl-standin: no session bus\n");
    return 1;
  }
  TStandinBus server(MakeStandinPlanner(env));
  if (!server.Serve(bus, reason)) {
    std::fprintf(stderr, "qrl-standin: %s\n", qPrintable(reason));
    return 1;
  }
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!bus.isConnected() || server.IdleMs() >= env.IdleMs) qapp.quit();
  });
  watch.start(500);
  return qapp.exec();
}
