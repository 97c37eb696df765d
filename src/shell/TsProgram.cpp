// The desktop program's entry point.
#include <QApplication>
#include <QDBusConnection>
#include <QGuiApplication>
#include <cstdio>

#include "AutoServer.h"
#include "SvcFile.h"
#include "TsAbout.h"
#include "TsMain.h"
#include "TsStart.h"
#include "common/Locale.h"
#include "render/PageRender.h"
#include "reports/RptTemp.h"

namespace {

const char* const kUsage =
    "Usage: tesserel [PROJECT]\n"
    "       tesserel -embedding | -automation\n"
    "       tesserel -regserver | -unregserver\n"
    "\n"
    "  PROJECT       the project file to open (\".tsj\" is added when the name has no extension)\n"
    "  -embedding, -automation\n"
    "                start hidden for an automation client; the program serves Tesserel.Application\n"
    "                on the session bus and ends once it is hidden and no client has used it for a while\n"
    "  -regserver    install the session bus service file Tesserel.Application.service in\n"
    "                $XDG_DATA_HOME/dbus-1/services (~/.local/share/dbus-1/services), so that\n"
    "                clients can start the program, and end\n"
    "  -unregserver  remove that service file and end\n"
    "  --help        this text\n"
    "\n"
    "Switches may also begin with \"/\"; letter case does not matter.\n";

bool WantsHelp(const std::vector<std::string>& args) {
  return !args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "-?" || args[0] == "/?");
}

// "-regserver" and "-unregserver": the service file only, no window.
int RegisterService(int argc, char** argv, bool install) {
  QCoreApplication app(argc, argv);
  QString message;
  const bool ok = install ? InstallServiceFile(QCoreApplication::applicationFilePath(), message)
                          : RemoveServiceFile(message);
  std::fprintf(ok ? stdout : stderr, "tesserel: %s\n", qPrintable(message));
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  if (WantsHelp(args)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  const TStartSwitch start = TAppStartup::StartSwitch(args);
  if (start == TStartSwitch::RegServer || start == TStartSwitch::UnregServer)
    return RegisterService(argc, argv, start == TStartSwitch::RegServer);
  // Without a display there is nothing to show: say so in one line.
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    std::fprintf(stderr, "tesserel: no display available (set DISPLAY or WAYLAND_DISPLAY)\n");
    return 1;
  }
  QApplication app(argc, argv);
  app.setWindowIcon(ProgramIcon());
  PurgeReportCache();  // reports handed to other programs in earlier runs
  RegisterPdfRenderer();
  TAppStartup startup(args, QCoreApplication::applicationFilePath().toStdString());
  TMainForm form(startup);
  if (startup.NormalStart) form.show();
  if (!form.InitForm()) return 1;
  // Clients reach only a program that has started. A normal start serves them when the name is
  // free; a start for a client that cannot serve it would only leave an invisible process behind.
  TAutomationServer server(startup, form);
  QString why;
  if (!server.Serve(QDBusConnection::sessionBus(), &why) && !startup.NormalStart) {
    std::fprintf(stderr, "tesserel: %s; nothing was started.\n", qPrintable(why));
    return 2;
  }
  // A hidden program nobody uses ends; when the user keeps it to mend the current record, the
  // window comes back for that.
  QObject::connect(&server, &TAutomationServer::Idle, &form, [&form, &app] {
    if (form.close()) app.quit();
    else form.show();
  });
  return app.exec();
}
