// Shows each record page of a project's first record and saves a picture of the window per page,
// then the Crops page with the window filling a small laptop screen and a 4K screen, then the
// setbacks report's dialog and the cost file editor with the standard costs; a dialog larger than
// a 1024x600 screen is reported and fails the run.
//   tesserel-screenshots PROJECT OUTPUT-FOLDER
// Runs beside the program, whose reference files it uses.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

#include "TsCostEditor.h"
#include "TsFields.h"
#include "TsFileCmds.h"
#include "TsMain.h"
#include "TsPages.h"
#include "TsSetbacks.h"
#include "TsStart.h"
#include "store/StateTables.h"

namespace {

// Opens the definition file itself when the cost file editor asks for a file.
class TDefinitionsChooser : public TFileChooser {
 public:
  explicit TDefinitionsChooser(const std::string& path) : path_(QString::fromStdString(path)) { SetFileChooser(this); }
  ~TDefinitionsChooser() override { SetFileChooser(nullptr); }
  QString OpenFile(const QString&, const QString&, bool*) override { return path_; }
  QString SaveFile(const QString&, const QString&, bool) override { return {}; }

 private:
  QString path_;
};

}  // namespace

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
  auto saveDialog = [&out, &failures](QDialog& dlg, const char* name) {
    dlg.show();
    QApplication::processEvents();
    const QSize size = dlg.frameGeometry().size();
    if (size.width() > 1024 || size.height() > 600) {
      std::fprintf(stderr, "%s: %dx%d does not fit a 1024x600 screen\n", name, size.width(), size.height());
      ++failures;
    }
    if (!dlg.grab().save(QString("%1/%2.png").arg(out, name))) ++failures;
    else std::printf("%s/%s.png (%dx%d)\n", qPrintable(out), name, size.width(), size.height());
    dlg.hide();
  };
  TStateTables* tables = form.ProjectFile().StateTables();
  if (tables && tables->LoadStateTables(form.ProjectFile().ProjectState())) {
    TSetbacksRptSettingsRec settings;
    TSetbacksRptDlg setbacks(settings, form.ProjectFile().ProjectState(), SetbackFeatureItems(tables->Db()), &form);
    saveDialog(setbacks, "setbacks-dialog");
  } else {
    ++failures;
  }
  TCostFileEditorDlg editor(form.Definitions(), startup.ProgramId, &form);
  TDefinitionsChooser chooser(form.Definitions().FileName);
  editor.OpenBtnClick();
  saveDialog(editor, "cost-editor");
  return failures ? 1 : 0;
}
