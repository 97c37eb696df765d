#include "TsMenus.h"

#include <QAction>
#include <QWidget>
#include <algorithm>
#include <QMenu>
#include <QMenuBar>

#include "store/MdaLayout.h"

namespace {

const std::vector<TMenuItemDef> kItems = {
    {"FileMenu", "", "&File", "", 100, "Commands to manage project files.", false},
    {"FileNewCmd", "FileMenu", "&New Project...", "Ctrl+N", 101, "Create a new project data file.", false},
    {"FileOpenCmd", "FileMenu", "&Open Project...", "Ctrl+O", 102, "Open an existing project data file.", false},
    {"FileCloseCmd", "FileMenu", "&Close Project", "Ctrl+W", 103, "Close the current project data file.", true},
    {"FilePropertiesCmd", "FileMenu", "Propert&ies...", "", 104, "View and set current project's properties.", true},
    {"FileMergeCmd", "FileMenu", "&Merge Project...", "", 105, "Merge another project file's records.", false},
    {"FileExtractCmd", "FileMenu", "&Extract Project...", "", 106, "Create project file with record subset.", true},
    {"FileExportCmd", "FileMenu", "Expor&t Data...", "", 107, "Export project to a database, dBASE or JSON.", false},
    {"FileImportMenu", "FileMenu", "Impo&rt Data", "", 108, "Import external data into a project file.", true},
    {"FileImportDbfNewCmd", "FileImportMenu", "Create Project From dBASE File...", "", 0,
     "Create a project from dBASE field data.", false},
    {"FileImportDbfUpdCmd", "FileImportMenu", "Update Project From dBASE File...", "", 0,
     "Update a project from dBASE field data.", true},
    {"FileImportJsonCmd", "FileImportMenu", "Create Project From &JSON File...", "", 0,
     "Create a project from a JSON project file.", false},
    {"FileImportQrlCmd", "FileImportMenu", "Create Project From QRL &Plan...", "", 0,
     "Create a project file from QRL plan file.", true},
    {"FileSoilsQrlCmd", "FileImportMenu", "Update Soils Data From &QRL...", "", 0,
     "Fill in the soils tables with data from QRL.", false},
    {"FileSoilsSdmCmd", "FileImportMenu", "Update Soils Data From &SDM...", "", 0,
     "Fill in the soils tables with data from SDM.", false},
    {"FileExitCmd", "FileMenu", "E&xit", "", 109, "Quit the program.", false},
    {"RecordMenu", "", "&Record", "", 120, "Commands to manage field records.", false},
    {"RecordAddCmd", "RecordMenu", "&Add New...", "F2", 121, "Create a new field record.", false},
    {"RecordDuplicateCmd", "RecordMenu", "D&uplicate...", "Ctrl+F2", 122, "Duplicate current record with new ID.",
     false},
    {"RecordDeleteCmd", "RecordMenu", "&Delete...", "", 123, "Delete the current record.", false},
    {"RecordRenameCmd", "RecordMenu", "&Rename...", "", 124, "Change the current record's ID or name.", true},
    {"RecordCheckCmd", "RecordMenu", "&Check Data...", "F4", 125, "Check if current record is complete.", true},
    {"RecordSortCmd", "RecordMenu", "&Sort Inputs...", "", 126, "Sort current record's inputs by date.", true},
    {"RecordFindCmd", "RecordMenu", "&Find...", "Ctrl+F", 127, "Search for a matching record.", false},
    {"RecordFindNextCmd", "RecordMenu", "R&epeat Find", "F3", 128, "Repeat the last search.", false},
    {"RecordGoToCmd", "RecordMenu", "&Go To...", "Ctrl+G", 129, "Jump to a record.", true},
    {"RecordPrevCmd", "RecordMenu", "&Previous", "PgUp", 130, "Display the previous record.", false},
    {"RecordNextCmd", "RecordMenu", "&Next", "PgDown", 131, "Display the next record.", false},
    {"RecordFirstCmd", "RecordMenu", "F&irst", "Ctrl+Home", 132, "Display the first record.", false},
    {"RecordLastCmd", "RecordMenu", "&Last", "Ctrl+End", 133, "Display the last record.", false},
    {"ToolsMenu", "", "&Tools", "", 140, "Commands to generate reports.", false},
    {"ToolsWorksheetCmd", "ToolsMenu", "&Worksheets...", "F6", 141, "Cost and nutrient analysis worksheets.", true},
    {"ToolsRankedCmd", "ToolsMenu", "&Ranked Summary...", "F7", 142, "Rank fields by yield, unit cost, or profit.",
     false},
    {"ToolsTabularCmd", "ToolsMenu", "&Tabular Summary...", "F8", 143, "Generate tabular summary of costs.", false},
    {"ToolsHistoryCmd", "ToolsMenu", "Field &History...", "", 146, "Line up each field's seasons over several years.",
     true},
    {"ToolsSetbacksCmd", "ToolsMenu", "&Manure Application Setbacks", "", 0, "Generate report of application setbacks.",
     true},
    {"ToolsCostEditorCmd", "ToolsMenu", "&Cost File Editor...", "F9", 145, "Create, edit and print cost files.", false},
    {"HelpMenu", "", "&Help", "", 160, "Commands to get help.", false},
    {"HelpContentsCmd", "HelpMenu", "&Contents          ", "", 161, "Display a list of major help topics.", true},
    {"HelpWhatsNewCmd", "HelpMenu", "&What's New", "", 162, "Display a list of new features.", false},
    {"HelpFaqCmd", "HelpMenu", "&Frequently Asked Questions", "", 163, "Display answers to common questions.", true},
    {"HelpStartCmd", "HelpMenu", "&Getting Started", "", 164, "Display instructions for new users.", false},
    {"HelpTipsCmd", "HelpMenu", "&Quick Tips", "", 165, "Display tips and shortcuts.", true},
    {"HelpFilesCmd", "HelpMenu", "&Distribution Files", "", 166, "Display a list of distribution files.", false},
    {"HelpProblemsCmd", "HelpMenu", "&Reporting Problems", "", 167, "How to report software problems.", true},
    {"HelpAboutCmd", "HelpMenu", "&About...", "", 168, "Display information about the program.", false},
};

struct TRule {
  const char* name;
  bool (*enabled)(const TMenuState&);
};

bool Always(const TMenuState&) { return true; }
bool W(const TMenuState& s) { return s.writable; }
bool R(const TMenuState& s) { return s.recordCount > 0; }
bool WR(const TMenuState& s) { return s.writable && s.recordCount > 0; }
bool CanAdd(const TMenuState& s) { return s.writable && s.recordCount < kMaxRecords; }
bool Single(const TMenuState& s) { return s.singleState; }

const TRule kRules[] = {
    {"FileCloseCmd", Always},         {"FilePropertiesCmd", Always}, {"FileMergeCmd", W},
    {"FileExtractCmd", R},            {"FileExportCmd", R},          {"FileSoilsQrlCmd", WR},
    {"FileSoilsSdmCmd", WR},          {"RecordAddCmd", CanAdd},      {"RecordDuplicateCmd", WR},
    {"RecordDeleteCmd", WR},          {"RecordRenameCmd", WR},       {"RecordSortCmd", WR},
    {"RecordCheckCmd", R},            {"RecordFindCmd", R},          {"RecordFindNextCmd", R},
    {"RecordGoToCmd", R},             {"RecordPrevCmd", R},          {"RecordNextCmd", R},
    {"RecordFirstCmd", R},            {"RecordLastCmd", R},          {"ToolsWorksheetCmd", R},
    {"ToolsRankedCmd", R},            {"ToolsTabularCmd", R},        {"ToolsSetbacksCmd", Single},
};

// Not yet built: remove a name once its command or button is connected to its work.
const std::vector<std::string> kNotYetAvailable = {};

}  // namespace

const char* const kNotYetAvailableHint = "Not yet available";

bool NotYetAvailable(const std::string& name) {
  return std::find(kNotYetAvailable.begin(), kNotYetAvailable.end(), name) != kNotYetAvailable.end();
}

const std::vector<std::string>& NotYetAvailableNames() { return kNotYetAvailable; }

void MarkNotYetAvailable(QObject* object) {
  if (auto* action = qobject_cast<QAction*>(object)) {
    action->setStatusTip(kNotYetAvailableHint);
    action->setToolTip(kNotYetAvailableHint);
    action->setEnabled(false);
  } else if (auto* widget = qobject_cast<QWidget*>(object)) {
    widget->setStatusTip(kNotYetAvailableHint);
    widget->setToolTip(kNotYetAvailableHint);
    widget->setEnabled(false);
  }
}

const std::vector<TMenuItemDef>& MenuItemDefs() { return kItems; }

std::map<std::string, QAction*> BuildMenuBar(QMenuBar* bar) {
  std::map<std::string, QMenu*> menus;
  std::map<std::string, QAction*> actions;
  for (const TMenuItemDef& def : kItems) {
    const std::string name = def.name;
    const bool isMenu = name.size() > 4 && name.compare(name.size() - 4, 4, "Menu") == 0;
    QMenu* parent = *def.parent ? menus[def.parent] : nullptr;
    QAction* action = nullptr;
    if (isMenu) {
      QMenu* menu = parent ? parent->addMenu(def.caption) : bar->addMenu(def.caption);
      menu->setObjectName(def.name);
      menu->setToolTipsVisible(true);  // only the commands that are not yet available have one
      menus[name] = menu;
      action = menu->menuAction();
    } else {
      action = parent->addAction(def.caption);
      if (*def.keys) action->setShortcut(QKeySequence(def.keys));
    }
    action->setObjectName(def.name);
    action->setStatusTip(def.hint);
    action->setData(def.helpContext);
    if (NotYetAvailable(name)) MarkNotYetAvailable(action);
    if (def.separatorAfter && parent) parent->addSeparator();
    actions[name] = action;
  }
  return actions;
}

bool MenuCommandEnabled(const std::string& name, const TMenuState& state) {
  for (const TRule& rule : kRules)
    if (name == rule.name) return state.projectOpen && rule.enabled(state);
  return true;
}
