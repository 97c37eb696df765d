// The main window: menus, the ten record pages, the status bar and the shell state (the reference
// files, the open project, the current record and its edit copy).
#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>

#include "TsFields.h"
#include "TsInterchange.h"
#include "TsMenus.h"
#include "interchange/QrlLink.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "reports/HistData.h"
#include "reports/RankSum.h"
#include "reports/RecSubset.h"
#include "reports/SetbacksRpt.h"
#include "reports/TabSum.h"
#include "reports/WrkOpts.h"
#include "store/LoadedRefs.h"
#include "store/MdaFile.h"

class QAction;
class QComboBox;
class QLabel;
class QScrollBar;
class QStackedWidget;
class TAppStartup;
class TEntryEdit;
class THelpViewer;
class TRecordGrids;
class TRecordPages;
class TStateTables;
struct TSoilsRunResult;

// Settings of the state tables that the pages show (besides those the store names).
enum : int { kQfPTestDef = 77, kQfPTestName = 78, kQfSource = 84, kQfSrcURL = 85 };

// Status bar panels, left to right.
enum TStatusPanel { spHint, spState, spCounty, spCrop, spRecordId, spRecordNumber, kStatusPanelCount };

class QTimer;

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(TAppStartup& startup, QWidget* parent = nullptr);
  ~TMainForm() override;

  // The second half of start-up; false means the program must end.
  bool InitForm();
  std::string PromptForCountyNamesFileName() const;

  void UpdateForm();
  void UpdateTitleBar();
  void UpdateStatusBar();
  void UpdateMenu();

  // The shell state's operations.
  bool FormDataOkay();
  bool SaveEditRec();
  bool LoadEditRec(int n);
  bool GoToRec(int n);
  bool CloseProjectFile();

  // Project file commands.
  bool NewProjectFile();
  bool OpenProjectFile(const std::string& path = {});
  // How long opening waits for a project another program holds, in milliseconds.
  int BusyWaitMs = 5000;
  // While the open project is read-only only because another program was reading it: asks once
  // it is free whether to reopen it for editing.
  void OfferEditingOnceFree();
  void WatchUntilFree();
  void DoFilePropertiesDlg();
  void DoAboutDlg();
  // Opens a help context in the help window; the context F1 opens over `widget` (a dialog's,
  // an open menu's command, the shown record page's or the main window's).
  bool ShowHelp(int context);
  int F1HelpContext(const QWidget* widget) const;
  THelpViewer& Help() { return *help_; }
  void DoSoilTestInfoDlg();

  // Shows a record on the pages (it becomes the edit record and the saved image).
  void AssignEditRec(const TFieldRec& rec, int n);
  void UpdateCropSpecificControls();
  void UpdateDefaultFertRecs();
  void UpdateCurYield();
  void UpdateFirstYield();
  void UpdateTableData(int page);

  // Record commands (TsRecordCmds.cpp).
  bool NewEditRec(bool duplicate);
  bool DeleteEditRec();
  bool RenameEditRec();
  void DoEditRecCheckDlg();
  bool SortEditRec();
  bool FindEditRec(bool repeat);
  bool GoToEditRec();

  // Soils update from the planner or the Soil Data Mart (TsSoils.cpp): all records, or the current one.
  void FileImportUpdateSoilsQrlCmdClick() { UpdateAllSoils(true); }
  void FileImportUpdateSoilsSdmCmdClick() { UpdateAllSoils(false); }
  void UpdateSoilsQrlBtnClick() { UpdateRecordSoils(true); }
  void UpdateSoilsSdmBtnClick() { UpdateRecordSoils(false); }
  // How the planner is reached (its automation service on the session bus unless a test sets another).
  void SetQrlStarter(TQrlStarter starter) { qrlStarter_ = std::move(starter); }

  // Export, import, merge and extract (TsInterchangeCmds.cpp).
  void ExportProjectData();
  void ImportdBASEFile(bool update);
  void ImportJsonFile();
  void ImportQrlPlan();
  void MergeProjectFile();
  void ExtractProjectFile();

  // Report commands (TsReports.cpp).
  void WorksheetReports();
  // The field history over project files of several years, with its settings for the run.
  void FieldHistoryReport();
  THistorySettingsRec& HistorySettings() { return historySettings_; }
  // Tools: the manure application setbacks report (TsSetbacks.cpp) and the cost file editor.
  void SetbacksReport();
  void CostFileEditor();

  // The record subsets of the commands that use one, each keeping its ticks for the run.
  enum TSubsetUse { suWorksheet, suRanked, suTabular, suExtract, suExport, suHistory, kSubsetUses };
  TRecordSubset& Subset(int use) { return subsets_[use]; }
  TWorksheetSettingsRec& WorksheetSettings() { return worksheetSettings_; }

  // Ranked and tabular summaries (TsSumCmds.cpp), with their settings and subsets for the run.
  void RankedSummaryReport();
  void TabularSummaryReport();
  TRankedSummarySettingsRec& RankedSettings() { return rankedSettings_; }
  TTabularSummarySettingsRec& TabularSettings() { return tabularSettings_; }

  // The last search, kept for Repeat Find while the program runs.
  struct TFindSettings {
    std::string text;
    int kind = 0;
    std::string caption;
  };
  const TFindSettings& FindSettings() const { return find_; }

  // State, for the commands of other windows and for the tests.
  bool ProjectOpen() const { return projectOpen_; }
  TMdaFile& ProjectFile() { return mda_; }
  const TFieldRec& EditRec() const { return editRec_; }
  const TFieldRec& SavedImage() const { return savedRec_; }
  bool RecordModified() const { return !SameRecord(editRec_, savedRec_); }
  int CurrentRecord() const { return curRec_; }
  TMcnFile& CountyNames() { return mcn_; }
  TMdfFile& Definitions() { return mdf_; }

  QAction* Action(const std::string& name) const;
  QLabel* StatusPanel(int panel) const { return panels_[panel]; }
  QScrollBar* RecordScrollBar() const { return recScroll_; }
  TRecordPages* Pages() const { return pages_; }
  TRecordGrids* Grids() const { return grids_; }
  const TAppStartup& Startup() const { return startup_; }

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  friend class TRecordGrids;

  void BuildStatusBar();
  void ConnectRecordCmds();
  void ConnectSoilsCmds();
  void ConnectReportCmds();
  void ConnectSummaryCmds();
  void ConnectInterchangeCmds();
  bool ChooseExportFiles(TExportSettingsRec& s);
  void RunExport(const TExportSettingsRec& s);
  std::string ChooseNewProject(const std::string& source);
  void UpdateAllSoils(bool fromPlanner);
  void UpdateRecordSoils(bool fromPlanner);
  TSoilsRunResult RunSoilsUpdateOf(bool fromPlanner, int record);
  void ShowFoundRecord(const TFieldRec& rec, int n);
  void ConnectMenu();
  void ConnectPages();
  void FitToScreen();
  void ShowHint(const QString& hint);
  bool eventFilter(QObject* watched, QEvent* event) override;
  TMenuState MenuState() const;
  bool Writable() const { return projectOpen_ && mda_.IsWritable(); }
  bool HasRecords() const { return projectOpen_ && mda_.RecordCount() > 0; }
  bool ReadCountyRetry(const std::string& fullErrorText);
  // Shows the project file's error; when another program took the open file's name away, offers to
  // save the records under a new name (true when they were saved and the new file is open).
  bool ShowFileError();
  bool SaveMovedProject();
  void RecordScrolled(int value);
  void SetEditingEnabled(bool writable);

  // Record pages (TsRecord.cpp).
  void InitFixedLists();
  void ApplyCountrySettings();
  void ShowGeneralPage(const TFieldRec& rec);
  void ShowSoilTestsPage(const TFieldRec& rec);
  void ShowPlantingPage(const TFieldRec& rec);
  void ShowTraits();
  int TraitListPosition(uint16_t code);
  void ShowErosionPage(const TFieldRec& rec);
  void ShowHarvestPage(const TFieldRec& rec);
  void RebuildCountyList(int state);
  QString EditUserValidation(const TEntryDef& def, TEntryEdit& edit, bool leaving);
  void EditComboChange(QComboBox* combo, int index);
  void AttachmentsCheckListClickCheck();
  void BioTechSeedCheckListClickCheck();
  void AnnManuredCheckBoxClick(bool checked);
  void DataEntryPanelsChange(int page);
  void UpdateYield(bool primary);
  TEntryContext EntryContext() const;
  // The open project's state tables loaded for the record's state; null when they cannot be.
  TStateTables* StateTablesFor(const TFieldRec& rec);

  TAppStartup& startup_;
  TMcnFile mcn_;
  std::unique_ptr<TCountrySettings> country_;
  TMdfFile mdf_;
  std::unique_ptr<TLoadedRefs> refs_;
  std::unique_ptr<THelpViewer> help_;
  TMdaFile mda_;
  bool projectOpen_ = false;
  QTimer* freeTimer_ = nullptr;  // watches a project opened read-only because it was in use
  TFieldRec editRec_{};
  TFieldRec savedRec_{};
  int curRec_ = 0;
  int lastState_ = -1;
  bool refresh_[kPageCount] = {};
  bool showing_ = false;  // true while a record is put on the pages: list changes are not edits
  bool aborted_ = false;  // the user gave up a failing read of a required file

  TRecordPages* pages_ = nullptr;
  TRecordGrids* grids_ = nullptr;
  TFindSettings find_;
  TRecordSubset subsets_[kSubsetUses];
  TWorksheetSettingsRec worksheetSettings_;
  TExportSettingsRec exportSettings_;    // the export dialog's choices, kept for the run
  TExtractSettingsRec extractSettings_;  // the extract dialog's choices, kept for the run
  TSetbacksRptSettingsRec setbacks_;  // the setbacks report's settings, kept for the run
  TRankedSummarySettingsRec rankedSettings_;
  TTabularSummarySettingsRec tabularSettings_;
  THistorySettingsRec historySettings_;
  QStackedWidget* centre_ = nullptr;
  QScrollBar* recScroll_ = nullptr;
  QLabel* panels_[kStatusPanelCount] = {};
  std::map<std::string, QAction*> actions_;
  TQrlStarter qrlStarter_;
};
