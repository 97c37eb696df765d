// Shows each record page of a project's first record and saves a picture of the window per page,
// then the worksheet report's dialogs and its first record's worksheet in the preview, the summary
// dialogs and a ranked summary in the preview, then the Crops page with the window filling a small
// laptop screen and a 4K screen, then the setbacks report's dialog and the cost file editor with the
// standard costs; a dialog larger than a 1024x600 screen is reported and fails the run.
//   tesserel-screenshots PROJECT OUTPUT-FOLDER
// Runs beside the program, whose reference files it uses.
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTimer>
#include <cstdio>

#include "TsCostEditor.h"
#include "TsFields.h"
#include "TsFileCmds.h"
#include "TsInterchange.h"
#include "TsMain.h"
#include "TsPages.h"
#include "TsPreview.h"
#include "TsSetbacks.h"
#include "TsStart.h"
#include "TsSubsetDlg.h"
#include "TsSumDlg.h"
#include "TsWorksheetDlg.h"
#include "reports/WrkDoc.h"
#include "store/StateTables.h"

namespace {

// Saves a picture of a window once it is shown and laid out; counts failures.
class TPictures {
 public:
  explicit TPictures(QString folder) : folder_(std::move(folder)) {}
  void Save(QWidget& window, const QString& name) {
    window.show();
    QApplication::processEvents();
    const QString path = folder_ + "/" + name;
    if (!window.grab().save(path)) ++failures;
    else std::printf("%s\n", qPrintable(path));
  }
  // A dialog's picture; a dialog that does not fit a 1024x600 screen counts as a failure.
  void SaveDialog(QDialog& dlg, const QString& name) {
    dlg.show();
    QApplication::processEvents();
    const QSize size = dlg.frameGeometry().size();
    if (size.width() > 1024 || size.height() > 600) {
      std::fprintf(stderr, "%s: %dx%d does not fit a 1024x600 screen\n", qPrintable(name), size.width(),
                   size.height());
      ++failures;
    }
    Save(dlg, name);
    dlg.hide();
  }
  int failures = 0;

 private:
  QString folder_;
};

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

// The setbacks report's dialog for the project's state and the cost file editor on the standard costs.
void SaveToolPictures(TMainForm& form, const TAppStartup& startup, TPictures& pictures) {
  TStateTables* tables = form.ProjectFile().StateTables();
  if (tables && tables->LoadStateTables(form.ProjectFile().ProjectState())) {
    TSetbacksRptSettingsRec settings;
    TSetbacksRptDlg setbacks(settings, form.ProjectFile().ProjectState(), SetbackFeatureItems(tables->Db()), &form);
    pictures.SaveDialog(setbacks, "setbacks-dialog.png");
  } else {
    ++pictures.failures;
  }
  TCostFileEditorDlg editor(form.Definitions(), startup.ProgramId, &form);
  TDefinitionsChooser chooser(form.Definitions().FileName);
  editor.OpenBtnClick();
  pictures.SaveDialog(editor, "cost-editor.png");
}

// Shows a report in the preview window long enough for its picture.
class TPictureViewer : public TReportViewer {
 public:
  explicit TPictureViewer(TPictures& pictures) : pictures_(pictures) {}
  bool Preview(const TPreviewRequest& request) override {
    TRtfPreviewDlg dlg;
    dlg.SetPlainText(request.plainText);
    dlg.SetWordWrap(false);
    if (!dlg.LoadFile(QString::fromLocal8Bit(request.fileName.c_str()))) return false;
    pictures_.Save(dlg, "worksheet-preview.png");
    return true;
  }
  bool OpenInWordProcessor(const std::string&, const std::string&, const std::string&) override { return false; }
  void ShowError(const std::string& message) override { std::fprintf(stderr, "%s\n", message.c_str()); }

 private:
  TPictures& pictures_;
};

// The Export Data and Extract Project dialogs at their first use.
void SaveInterchangePictures(TMainForm& form, TPictures& pictures) {
  {
    TExportDataDlg dlg(TExportSettingsRec{}, form.Subset(TMainForm::suExport), &form);
    pictures.Save(dlg, "export-dialog.png");
  }
  TExtractDlg dlg(TExtractSettingsRec{}, form.Subset(TMainForm::suExtract), true, &form);
  pictures.Save(dlg, "extract-dialog.png");
}

// The Worksheet Report, Subset Selection and Worksheet Format dialogs, and record 1's worksheet
// as RTF in the preview.
void SaveWorksheetPictures(TMainForm& form, TPictures& pictures) {
  TRecordSubset& subset = form.Subset(TMainForm::suWorksheet);
  subset.Attach(form.ProjectFile());
  TWorksheetSettingsRec& settings = form.WorksheetSettings();
  {
    TWorksheetDlg dlg(settings, subset, &form);
    pictures.Save(dlg, "worksheet-dialog.png");
  }
  {
    TSubsetSelectionDlg dlg(subset, &form);
    dlg.TypeList->setCurrentRow(1);
    pictures.Save(dlg, "subset-dialog.png");
  }
  {
    TWorksheetFormatDlg dlg(settings, &form);
    pictures.Save(dlg, "worksheet-format-dialog.png");
  }
  TWorksheetSettingsRec s = settings;
  s.OutputKind = okRtf;
  s.OutputFileName = kWorksheetPrefix;
  s.ShowSoilTests = true;
  TWorksheetRun run{form.ProjectFile(), form.Definitions(), &form.EditRec(), nullptr, nullptr};
  TPictureViewer viewer(pictures);
  const std::string error = RunWorksheetReport(s, form.Startup().ProgramId, run, &viewer);
  if (!error.empty()) {
    std::fprintf(stderr, "tesserel-screenshots: %s\n", error.c_str());
    ++pictures.failures;
  }
}

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
  TPictures pictures(out);
  for (int page = 0; page < kPageCount; ++page) {
    form.Pages()->setCurrentIndex(page);
    pictures.Save(form, QString("%1-%2.png").arg(page + 1, 2, 10, QChar('0'))
                            .arg(QString(TRecordPages::PageCaption(page)).toLower().replace(' ', '-')));
  }
  SaveWorksheetPictures(form, pictures);
  ShowSummaryScreens(form, [&pictures](QWidget& window, const QString& name) { pictures.Save(window, name); });
  SaveInterchangePictures(form, pictures);
  form.Pages()->setCurrentIndex(pgCrops);
  for (const QSize size : {QSize(1024, 600), QSize(3840, 2160)}) {
    form.resize(size);
    pictures.Save(form, QString("crops-%1x%2.png").arg(size.width()).arg(size.height()));
  }
  SaveToolPictures(form, startup, pictures);
  return pictures.failures ? 1 : 0;
}
