// The desktop program's entry point.
#include <QApplication>
#include <QGuiApplication>
#include <cstdio>

#include "TsAbout.h"
#include "TsMain.h"
#include "TsStart.h"
#include "common/Locale.h"
#include "render/PageRender.h"
#include "reports/RptTemp.h"

int main(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  // An automation client starts the program hidden and waits for its objects; until they are
  // served, such a start would leave an invisible process behind, so it starts nothing.
  if (TAppStartup::IsAutomationStart(args)) {
    std::fprintf(stderr,
                 "tesserel: -embedding is the start of an automation client, which this version does not "
                 "serve; nothing was started. Start tesserel without -embedding to use the program.\n");
    return 2;
  }
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
  form.show();
  if (!form.InitForm()) return 1;
  return app.exec();
}
