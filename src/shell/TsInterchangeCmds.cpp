// The File menu's export, import, merge and extract commands of the main window.
#include <QAction>
#include <QFileInfo>
#include <QScrollBar>

#include <functional>

#include "TsFileCmds.h"
#include "TsInterchange.h"
#include "TsMain.h"
#include "TsMessages.h"
#include "TsStart.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "interchange/CsvExport.h"
#include "interchange/DbExport.h"
#include "interchange/DbfImport.h"
#include "interchange/JsonIo.h"
#include "interchange/QrlExport.h"
#include "interchange/QrlImport.h"
#include "interchange/XlsxExport.h"
#include "reference/MccFile.h"

namespace {

const QString kUseOther = "\n\nUse a different file name.";

bool SamePath(const std::string& a, const std::string& b) { return ExpandFileName(a) == ExpandFileName(b); }

// Asks for a file to write until the name has the extension and is usable; empty when cancelled.
// The open project is never offered as an output: writing it would pull it from under the window.
std::string ChooseOutputFile(const QString& title, const QString& filter, const std::string& ext,
                             const std::string& openProject, const std::string& suggested = {}) {
  for (;;) {
    if (!suggested.empty()) SuggestSaveName(QPath(suggested));
    const std::string path = PathStr(FileChooser().SaveFile(title, filter));
    if (path.empty()) return {};
    std::string bad = ExtensionCheckText(path, ext);
    if (!bad.empty()) bad += CpStr(kUseOther);
    else if (!openProject.empty() && SamePath(path, openProject)) bad = FileStatusText(fsInUse, path) + CpStr(kUseOther);
    else bad = OutputNameCheckText(path);
    if (bad.empty()) return path;
    Messages().Error(QMsg(bad));
  }
}

// The project to update: an existing, writable project file; empty when cancelled.
std::string ChooseUpdateTarget(const QString& filter) {
  for (;;) {
    const std::string path = PathStr(FileChooser().OpenFile("Update Project Data File", filter, nullptr));
    if (path.empty()) return {};
    std::string bad;
    if (!SameText(ExtractFileExt(path), kProjectExt) && !SameText(ExtractFileExt(path), kOldProjectExt))
      bad = BadExtensionText(path, kProjectExt);
    else if (const int status = FileStatus(path); status != fsExists) bad = FileStatusText(status, path);
    else if (!QFileInfo(QPath(path)).isWritable()) bad = FileStatusText(fsAccessDenied, path);
    if (bad.empty()) return path;
    Messages().Error(QMsg(bad) + kUseOther);
  }
}

// What a dBASE import left out: the rows ignored and the values not imported, with the first
// reasons, followed by a blank line; empty when nothing was left out.
QString LeftOutText(const TValidationInfo& info) {
  if (info.Ignored == 0 && info.Warnings == 0) return {};
  return QString::number(info.Ignored) + " rows of the dBASE file were ignored.\n" + QString::number(info.Warnings) +
         " values were not imported." + FirstLinesText(info.Messages) + "\n\n";
}

QString ExportDoneText(const std::string& file1, int fieldCount, const std::string& file2, int appCount) {
  QString text = "\n" + QString::number(fieldCount) + " field records exported to file\n" + QPath(file1) + "\n";
  if (appCount >= 0) {
    text += "\n" + QString::number(appCount) + " application records exported to file";
    text += file2.empty() ? QString(".\n") : "\n" + QPath(file2) + "\n";
  }
  return text;
}

// Runs an import (`run`: false with `message` on failure). When it refused a text for a character
// projects cannot hold, asks whether to run it again with such characters replaced. False when it
// failed: shown as the failure of `what` unless the question showed it already.
bool RunImportOfferingReplacement(const QString& what, TTextImport& chars, std::string& message,
                                  const std::function<bool()>& run) {
  const QString failure = "Unable to import " + what + " for the following reason:\n\n";
  for (;;) {
    if (run()) return true;
    if (!chars.Refused || chars.Transliterate) break;
    if (Messages().Confirm("\n" + failure + QMsg(message) +
                               "\n\nDo you want to import it with every such character replaced by the nearest one "
                               "projects can hold (L for \u0141, for example, and ? where there is none)?\n",
                           false) != TAnswer::Yes)
      return false;
    chars.Transliterate = true;
  }
  if (!message.empty()) Messages().Error(failure + QMsg(message));
  return false;
}

// How many characters an import replaced, for its report; empty when none.
QString ReplacedText(const TTextImport& chars) {
  return chars.Replaced > 0 ? QString::number(chars.Replaced) + " characters were replaced.\n\n" : QString();
}

}  // namespace

void TMainForm::ConnectInterchangeCmds() {
  auto on = [this](const char* name, auto handler) { connect(Action(name), &QAction::triggered, this, handler); };
  on("FileExportCmd", [this] { ExportProjectData(); });
  on("FileImportDbfNewCmd", [this] { ImportdBASEFile(false); });
  on("FileImportDbfUpdCmd", [this] { ImportdBASEFile(true); });
  on("FileImportJsonCmd", [this] { ImportJsonFile(); });
  on("FileImportQrlCmd", [this] { ImportQrlPlan(); });
  on("FileMergeCmd", [this] { MergeProjectFile(); });
  on("FileExtractCmd", [this] { ExtractProjectFile(); });
}

// Asks for the export's output files in turn; false (the export dialog stays) when one is cancelled.
bool TMainForm::ChooseExportFiles(TExportSettingsRec& s) {
  const std::string open = mda_.FileName;
  const std::string base = ChangeFileExt(open, "");
  switch (s.format) {
    case efDbase:
      s.fileName1 = ChooseOutputFile("File 1 of 2:  Save Exported Field Data As", "dBASE (*.dbf)", ".dbf", open,
                                     base + ".fld.dbf");
      if (s.fileName1.empty()) return false;
      s.fileName2 = ChooseOutputFile("File 2 of 2:  Save Exported Application Data As", "dBASE (*.dbf)", ".dbf", open,
                                     base + ".app.dbf");
      if (s.fileName2.empty()) return false;
      if (SamePath(s.fileName1, s.fileName2)) {  // both tables in one file would leave only one
        Messages().Error(QMsg(FileStatusText(fsInUse, s.fileName2)) + kUseOther);
        return false;
      }
      return true;
    case efJson:
      s.fileName1 = ChooseOutputFile("Save Exported Data As", "JSON File (*.json)", ".json", open, base + ".json");
      break;
    case efPlan:
      s.fileName1 = ChooseOutputFile("Save Exported Data As", "Quarnel Plan (*.qrl)", kPlanExtension, open,
                                     base + kPlanExtension);
      break;
    case efXlsx:
      s.fileName1 = ChooseOutputFile("Save Exported Data As", "Spreadsheet (*.xlsx)", kXlsxExtension, open,
                                     base + kXlsxExtension);
      break;
    case efCsv:  // the base name of the three files
      s.fileName1 = ChooseOutputFile("Save Exported Data As", "CSV Files (*.csv)", kCsvExtension, open,
                                     base + kCsvExtension);
      break;
    default:
      s.fileName1 = ChooseOutputFile("Save Exported Data As", "SQLite Database (*.sqlite)", kDatabaseExtension, open,
                                   base + kDatabaseExtension);
  }
  s.fileName2.clear();
  return !s.fileName1.empty();
}

void TMainForm::ExportProjectData() {
  if (!HasRecords() || !FormDataOkay()) return;
  TRecordSubset& subset = subsets_[suExport];
  subset.Attach(mda_);
  TExportDataDlg dlg(exportSettings_, subset, this);
  TExportSettingsRec chosen;
  dlg.Check = [&] {
    if (!dlg.CheckCustomCosts()) return false;
    chosen = dlg.Settings();
    return ChooseExportFiles(chosen);
  };
  if (dlg.exec() != QDialog::Accepted) return;
  exportSettings_ = chosen;
  if (chosen.useCustomCosts && chosen.format != efJson && chosen.format != efPlan) {
    TMccFile costs;
    if (!costs.LoadCosts(chosen.costFileName, mdf_)) return Messages().Error(QMsg(costs.FullErrorText()));
  } else {
    mdf_.ResetCosts();
  }
  if (SaveEditRec()) RunExport(chosen);
  mdf_.ResetCosts();  // custom costs serve this export only
}

void TMainForm::RunExport(const TExportSettingsRec& s) {
  TRecordSubset& subset = subsets_[suExport];
  TExportOptions options;
  options.ExcludeCosts = s.excludeCosts;
  options.CostOptions = TCostOptions{s.removalCost, s.soilLossCharge, s.fiveYearPrice};
  options.Filter = [&subset, s](TFieldRec& r) {
    if (s.records == 1 && !subset.Contains(r, 0, true, 0)) return false;
    StripRecord(r, s.excludeName, s.excludeAddress, s.excludeNotes, false);
    return true;
  };
  TRecordProgress progress("Export Data", this);
  options.Progress = [&progress](int done, int total) { return progress.Step(done, total); };
  // The export's work is over when it reports: the progress window goes before the message comes.
  auto done = [&progress](const std::string& f1, int n1, const std::string& f2, int n2) {
    progress.Finish();
    TArrowCursor arrow;
    Messages().Info(ExportDoneText(f1, n1, f2, n2));
  };
  std::string message;
  bool ok = false;
  {
    TWaitCursor wait;
    if (s.format == efDbase) {
      ok = ExportToDbase(mda_, mcn_, mdf_, s.fileName1, s.fileName2, done, options, message);
    } else if (s.format == efPlan) {
      ok = ExportToPlan(mda_, mcn_, qrlStarter_, s.fileName1, done, options, message);
    } else if (s.format == efXlsx) {
      ok = ExportToXlsx(mda_, mcn_, mdf_, s.fileName1, startup_.ProgramId, done, options, message);
    } else if (s.format == efCsv) {
      const TCsvFiles files = CsvFileNames(s.fileName1, mda_.FileName);
      ok = ExportToCsv(mda_, mcn_, mdf_, files, startup_.ProgramId, done, options, message);
    } else if (s.format == efJson) {
      int records = 0;
      ok = ExportToJson(mda_, s.fileName1, options, records, message);
      if (ok) done(s.fileName1, records, {}, -1);
    } else {
      ok = ExportToDatabase(mda_, mcn_, mdf_, s.fileName1, startup_.ProgramId, done, options, message);
    }
  }
  if (!progress.Finish() && !ok)
    Messages().Error("Unable to export data for the following reason:\n\n" + QMsg(message));
}

// The new project of an import, named after its source at first; empty when cancelled.
std::string TMainForm::ChooseNewProject(const std::string& source) {
  return ChooseOutputFile("Save New Project As", CreateProjectFilter(startup_.VersionInfo.InternalName), kProjectExt,
                          projectOpen_ ? mda_.FileName : std::string(), ChangeFileExt(source, kProjectExt));
}

void TMainForm::ImportdBASEFile(bool update) {
  if (!FormDataOkay()) return;
  const std::string source =
      PathStr(FileChooser().OpenFile("Import dBASE Field Data File", "dBASE File (*.dbf)", nullptr));
  if (source.empty()) return;
  const std::string target =
      update ? ChooseUpdateTarget(OpenProjectFilter(startup_.VersionInfo.InternalName)) : ChooseNewProject(source);
  if (target.empty()) return;
  if (update && Messages().Confirm("\n" + QPath(target) +
                                       "\n\nImporting data will modify the project file. You should make sure the "
                                       "project file is backed up before importing.\n\nAre you ready to proceed "
                                       "with importing?\n",
                                   false) != TAnswer::Yes)
    return;
  // The open project is closed while the import replaces it, and opened again afterwards.
  const bool reopen = projectOpen_ && SamePath(target, mda_.FileName);
  if (reopen && !CloseProjectFile()) return;
  TValidationInfo info;
  info.CollectMessages = true;
  std::string message;
  TRecordProgress progress("Import Data", this);
  int failure = ifNone;
  {
    TWaitCursor wait;
    failure = ImportFieldData(source, target, update, info, mcn_, mdf_, true, message,
                              [&progress](uint32_t done, uint32_t total) {
                                return progress.Step(static_cast<int>(done), static_cast<int>(total));
                              });
  }
  progress.Finish();
  if (reopen) OpenProjectFile(target);
  if (failure == ifCanceled) return;
  if (failure != ifNone)
    return Messages().Error("Unable to import dBASE file for the following reason:\n\n" + QMsg(message));
  const QString leftOut = LeftOutText(info);
  if (info.Updated == 0 && info.Added == 0)
    return Messages().Error("No field records were imported from dBASE file\n" + QPath(source) +
                            "\ninto project file\n" + QPath(target) + ".\n\n" + leftOut +
                            "Correct the dBASE file and import it again.");
  const QString text =
      update ? "\nSuccessfully updated project file\n" + QPath(target) + ".\n\n" + QString::number(info.Updated) +
                   " field records were updated in project.\n" + QString::number(info.Added) +
                   " field records were added to project.\n\n" + leftOut +
                   "Do you want to open the updated project file?\n"
             : "\nSuccessfully created project file\n" + QPath(target) + ".\n\n" + QString::number(info.Added) +
                   " field records were imported from dBASE file\n" + QPath(source) + ".\n\n" + leftOut +
                   "Do you want to open the new project file?\n";
  if (Messages().Confirm(text, false) == TAnswer::Yes && !reopen) OpenProjectFile(target);
}

void TMainForm::ImportJsonFile() {
  if (!FormDataOkay()) return;
  const std::string source = PathStr(FileChooser().OpenFile("Import JSON Project File", "JSON File (*.json)", nullptr));
  if (source.empty()) return;
  const std::string target = ChooseNewProject(source);
  if (target.empty()) return;
  int records = 0;
  std::string message;
  TTextImport chars;
  if (!RunImportOfferingReplacement("JSON file", chars, message, [&] {
        TWaitCursor wait;
        return ImportFromJson(source, target, mcn_, mdf_, chars, records, message);
      }))
    return;
  const QString text = "\nSuccessfully created project file\n" + QPath(target) + ".\n\n" + QString::number(records) +
                       " field records were imported from JSON file\n" + QPath(source) + ".\n\n" +
                       ReplacedText(chars) + "Do you want to open the new project file?\n";
  if (Messages().Confirm(text, false) == TAnswer::Yes) OpenProjectFile(target);
}

void TMainForm::MergeProjectFile() {
  if (!Writable() || !FormDataOkay()) return;
  const std::string path = PathStr(FileChooser().OpenFile(
      "Merge Project Data File", OpenProjectFilter(startup_.VersionInfo.InternalName), nullptr));
  if (path.empty()) return;
  const QString failure = "Unable to merge file for the following reason:\n\n";
  const std::string ext = ExtractFileExt(path);
  if (!SameText(ext, kProjectExt) && !SameText(ext, kOldProjectExt))
    return Messages().Error(failure + QMsg(BadExtensionText(path, kProjectExt)));
  if (!SaveEditRec()) return;
  const bool wasEmpty = mda_.RecordCount() == 0;
  auto confirm = [](const std::string&, const std::string& other, int count) {
    TArrowCursor arrow;
    return Messages().Confirm("\n" + QPath(other) + "\nFile contains " + QString::number(count) +
                              " records.\n\nDo you want to merge these records into the current project file?\n") ==
           TAnswer::Yes;
  };
  std::string message;
  int current = 0;
  TFieldRec first;
  bool ok = false;
  {
    TWaitCursor wait;
    ok = mda_.MergeProject(path, confirm, curRec_, message, current, first);
  }
  if (!ok) return Messages().Error(failure + QMsg(message));
  if (wasEmpty) {
    AssignEditRec(first, current);
    UpdateForm();
    return;
  }
  curRec_ = current;
  UpdateStatusBar();
  UpdateMenu();
  recScroll_->blockSignals(true);
  recScroll_->setRange(1, mda_.RecordCount());
  recScroll_->setValue(curRec_);
  recScroll_->blockSignals(false);
}

void TMainForm::ExtractProjectFile() {
  if (!HasRecords() || !FormDataOkay()) return;
  TRecordSubset& subset = subsets_[suExtract];
  subset.Attach(mda_);
  TExtractSettingsRec start = extractSettings_;
  start.title.clear();
  TExtractDlg dlg(start, subset, mda_.ProjectYear() < kLastProjectYear, this);
  TExtractSettingsRec chosen;
  dlg.Check = [&] {
    chosen = dlg.Settings();
    chosen.fileName = ChooseOutputFile("Save Extracted Project As",
                                       CreateProjectFilter(startup_.VersionInfo.InternalName), kProjectExt,
                                       mda_.FileName, extractSettings_.fileName);
    return !chosen.fileName.empty();
  };
  if (dlg.exec() != QDialog::Accepted) return;
  extractSettings_ = chosen;
  if (!SaveEditRec()) return;
  auto filter = [&subset, chosen](TFieldRec& r) {
    if (chosen.records == 1 && !subset.Contains(r, 0, true, 0)) return false;
    StripRecord(r, chosen.excludeName, chosen.excludeAddress, chosen.excludeNotes, chosen.advanceYear);
    return true;
  };
  auto done = [](const std::string& file, int count) {
    TArrowCursor arrow;
    Messages().Info("\n" + QString::number(count) + " records extracted and saved to file\n" + QPath(file) + "\n");
  };
  const auto year = static_cast<uint16_t>(mda_.ProjectYear() + (chosen.advanceYear ? 1 : 0));
  std::string message;
  bool ok = false;
  {
    TWaitCursor wait;
    ok = mda_.ExtractProject(chosen.fileName, year, done, filter, chosen.title, message);
  }
  if (!ok) Messages().Error("Unable to extract file for the following reason:\n\n" + QMsg(message));
}

void TMainForm::ImportQrlPlan() {
  if (!FormDataOkay()) return;
  const std::string source = PathStr(FileChooser().OpenFile("Import QRL Plan File", "Quarnel Plan (*.qrl)", nullptr));
  if (source.empty()) return;
  const std::string target = ChooseNewProject(source);
  if (target.empty()) return;
  int records = 0;
  std::string message;
  TTextImport chars;
  if (!RunImportOfferingReplacement("plan file", chars, message, [&] {
        TRecordProgress progress("Import Data", this);
        TWaitCursor wait;
        const bool ok = CreateProjectFromPlan(qrlStarter_, source, target, mcn_, mdf_, chars, message, records,
                                              [&progress](uint32_t done, uint32_t total) {
                                                return progress.Step(static_cast<int>(done), static_cast<int>(total));
                                              });
        if (progress.Finish() && !ok) message.clear();  // cancelled: nothing was made, nothing to say
        return ok;
      }))
    return;
  const QString text = "\nSuccessfully created project file\n" + QPath(target) + ".\n\n" + QString::number(records) +
                       " field records were imported from plan file\n" + QPath(source) + ".\n\n" +
                       ReplacedText(chars) + "Do you want to open the new project file?\n";
  if (Messages().Confirm(text, false) == TAnswer::Yes) OpenProjectFile(target);
}
