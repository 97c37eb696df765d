// Shows each record page of a project's first record and saves a picture of the window per page,
// then the Crops page with the window filling a small laptop screen and a 4K screen.
//   tesserel-screenshots PROJECT OUTPUT-FOLDER
// Runs beside the program, whose reference files it uses.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

#include "TsFields.h"
#include "TsMain.h"
#include "TsPages.h"
#include "TsStart.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tesserel-screenshots PROJECT OUTPUT-FOLDER\n");
    return 2;
  }
  QApplication app(argc, argv);
  const QString out = QString::fromLocal8Bit(argv[2]);
  QDir().mkpath(out);
  // Started as the program beside it, so that its reference files are found.
  const std::string program = QDir(QCoreApplication::applicationDirPath()).filePath("tesserel").toStdString();
  TAppStartup startup({argv[1]}, program);
  TMainForm form(startup);
  form.show();
  if (!form.InitForm() || !form.ProjectOpen()) {
    std::fprintf(stderr, "tesserel-screenshots: cannot open %s\n", argv[1]);
    return 1;
  }
  int failures = 0;
  auto save = [&form, &failures](const QString& name) {
    QApplication::processEvents();
    if (!form.grab().save(name)) ++failures;
    else std::printf("%s\n", qPrintable(name));
  };
  for (int page = 0; page < kPageCount; ++page) {
    form.Pages()->setCurrentIndex(page);
    save(QString("%1/%2-%3.png").arg(out).arg(page + 1, 2, 10, QChar('0'))
             .arg(QString(TRecordPages::PageCaption(page)).toLower().replace(' ', '-')));
  }
  form.Pages()->setCurrentIndex(pgCrops);
  for (const QSize size : {QSize(1024, 600), QSize(3840, 2160)}) {
    form.resize(size);
    save(QString("%1/crops-%2x%3.png").arg(out).arg(size.width()).arg(size.height()));
  }
  return failures ? 1 : 0;
}
