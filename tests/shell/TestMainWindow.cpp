// The main window without a project: menus, shortcut keys, hints, title and status bar.
#include <QtTest>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusTipEvent>

#include "TestMessages.h"
#include "TsMain.h"
#include "TsMenus.h"
#include "TsPages.h"
#include "TsStart.h"
#include "common/Locale.h"

class TestMainWindow : public QObject {
  Q_OBJECT

  std::unique_ptr<TAppStartup> startup_;
  std::unique_ptr<TMainForm> form_;
  TTestMessages messages_;

  QStringList MenuCaptions(const QString& menuName) {
    auto* menu = form_->menuBar()->findChild<QMenu*>(menuName);
    QStringList out;
    for (QAction* a : menu->actions()) out << (a->isSeparator() ? "-" : a->text());
    return out;
  }

 private slots:
  void init() {
    PinUsLocale();
    startup_ = std::make_unique<TAppStartup>(std::vector<std::string>{"-embedding"}, "/nowhere/tesserel");
    form_ = std::make_unique<TMainForm>(*startup_);
  }
  void cleanup() {
    form_.reset();
    startup_.reset();
  }

  void startupInformation() {
    const TAppStartup s({}, "/opt/tesserel/tesserel");
    QCOMPARE(s.VersionInfo.ProductName, "Tesserel Recordkeeper");
    QCOMPARE(s.VersionInfo.InternalName, "Tesserel");
    QVERIFY(!s.VersionInfo.FileVersion.empty());
    QCOMPARE(s.ProgramId, "Tesserel " + s.VersionInfo.FileVersion);
    QCOMPARE(s.ProgramFolder, "/opt/tesserel");
    QVERIFY(s.NormalStart);
    QVERIFY(!TAppStartup({"-EMBEDDING"}, "/opt/tesserel/tesserel").NormalStart);
    QCOMPARE(TAppStartup({"fields"}, "/x/tesserel").ProjectArgument(), "fields.tsj");
    QCOMPARE(TAppStartup({"fields.tsd"}, "/x/tesserel").ProjectArgument(), "fields.tsd");
    QCOMPARE(TAppStartup({"-embedding"}, "/x/tesserel").ProjectArgument(), "");
  }

  void menuBarCaptionsAndSeparators() {
    QStringList top;
    for (QAction* a : form_->menuBar()->actions()) top << a->text();
    QCOMPARE(top, QStringList({"&File", "&Record", "&Tools", "&Help"}));
    QCOMPARE(MenuCaptions("FileMenu"),
             QStringList({"&New Project...", "&Open Project...", "&Close Project", "-", "Propert&ies...", "-",
                          "&Merge Project...", "&Extract Project...", "-", "Expor&t Data...", "Impo&rt Data", "-",
                          "E&xit"}));
    QCOMPARE(MenuCaptions("FileImportMenu"),
             QStringList({"Create Project From dBASE File...", "Update Project From dBASE File...", "-",
                          "Create Project From QRL &Plan...", "-", "Update Soils Data From &QRL...",
                          "Update Soils Data From &SDM..."}));
    QCOMPARE(MenuCaptions("RecordMenu"),
             QStringList({"&Add New...", "D&uplicate...", "&Delete...", "&Rename...", "-", "&Check Data...", "-",
                          "&Sort Inputs...", "-", "&Find...", "R&epeat Find", "&Go To...", "-", "&Previous",
                          "&Next", "F&irst", "&Last"}));
    QCOMPARE(MenuCaptions("ToolsMenu"),
             QStringList({"&Worksheets...", "-", "&Ranked Summary...", "&Tabular Summary...", "-",
                          "&Manure Application Setbacks", "-", "&Cost File Editor..."}));
    QCOMPARE(MenuCaptions("HelpMenu"),
             QStringList({"&Contents          ", "-", "&What's New", "&Frequently Asked Questions", "-",
                          "&Getting Started", "&Quick Tips", "-", "&Distribution Files", "&Reporting Problems", "-",
                          "&About..."}));
  }

  void shortcutKeys() {
    const std::pair<const char*, QKeySequence> keys[] = {
        {"FileNewCmd", QKeySequence(Qt::CTRL | Qt::Key_N)},     {"FileOpenCmd", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"FileCloseCmd", QKeySequence(Qt::CTRL | Qt::Key_W)},   {"RecordAddCmd", QKeySequence(Qt::Key_F2)},
        {"RecordDuplicateCmd", QKeySequence(Qt::CTRL | Qt::Key_F2)}, {"RecordCheckCmd", QKeySequence(Qt::Key_F4)},
        {"RecordFindCmd", QKeySequence(Qt::CTRL | Qt::Key_F)},  {"RecordFindNextCmd", QKeySequence(Qt::Key_F3)},
        {"RecordGoToCmd", QKeySequence(Qt::CTRL | Qt::Key_G)},  {"RecordPrevCmd", QKeySequence(Qt::Key_PageUp)},
        {"RecordNextCmd", QKeySequence(Qt::Key_PageDown)},      {"RecordFirstCmd", QKeySequence(Qt::CTRL | Qt::Key_Home)},
        {"RecordLastCmd", QKeySequence(Qt::CTRL | Qt::Key_End)}, {"ToolsWorksheetCmd", QKeySequence(Qt::Key_F6)},
        {"ToolsRankedCmd", QKeySequence(Qt::Key_F7)},           {"ToolsTabularCmd", QKeySequence(Qt::Key_F8)},
        {"ToolsCostEditorCmd", QKeySequence(Qt::Key_F9)},
    };
    for (const auto& [name, key] : keys) QCOMPARE(form_->Action(name)->shortcut(), key);
    QVERIFY(form_->Action("FileExitCmd")->shortcut().isEmpty());
  }

  void enablingWithoutProject() {
    for (const char* off : {"FileCloseCmd", "FilePropertiesCmd", "FileMergeCmd", "FileExtractCmd", "FileExportCmd",
                            "FileSoilsQrlCmd", "RecordAddCmd", "RecordNextCmd", "ToolsWorksheetCmd",
                            "ToolsSetbacksCmd"})
      QVERIFY2(!form_->Action(off)->isEnabled(), off);
    for (const char* on : {"FileNewCmd", "FileOpenCmd", "FileImportDbfNewCmd", "FileImportQrlCmd", "FileExitCmd",
                           "ToolsCostEditorCmd", "HelpContentsCmd", "HelpAboutCmd"})
      QVERIFY2(form_->Action(on)->isEnabled(), on);
    QVERIFY(!form_->RecordScrollBar()->isEnabled());
    QVERIFY(!form_->Pages()->isVisible());
  }

  void enablingRules() {
    TMenuState s{true, true, 5, true};
    QVERIFY(MenuCommandEnabled("RecordAddCmd", s));
    s.recordCount = 32767;
    QVERIFY(!MenuCommandEnabled("RecordAddCmd", s));
    s = {true, false, 5, false};  // read-only
    QVERIFY(!MenuCommandEnabled("RecordDeleteCmd", s));
    QVERIFY(!MenuCommandEnabled("FileMergeCmd", s));
    QVERIFY(MenuCommandEnabled("RecordFindCmd", s));
    QVERIFY(MenuCommandEnabled("FileExportCmd", s));
    QVERIFY(!MenuCommandEnabled("ToolsSetbacksCmd", s));  // multi-state
    s = {true, true, 0, true};  // no records
    QVERIFY(!MenuCommandEnabled("RecordNextCmd", s));
    QVERIFY(!MenuCommandEnabled("FileSoilsSdmCmd", s));
    QVERIFY(MenuCommandEnabled("RecordAddCmd", s));
    QVERIFY(MenuCommandEnabled("FileCloseCmd", s));
  }

  void titleAndStatusBarWithoutProject() {
    QCOMPARE(form_->windowTitle(), "Tesserel");
    for (int p = spState; p < kStatusPanelCount; ++p) QVERIFY(form_->StatusPanel(p)->text().isEmpty());
  }

  void hintsGoToTheHintPanel() {
    form_->Action("FileNewCmd")->showStatusText(form_.get());
    QCOMPARE(form_->StatusPanel(spHint)->text(), " Create a new project data file.");
    QStatusTipEvent web("http://tesserel.org/");
    QApplication::sendEvent(form_.get(), &web);
    QCOMPARE(form_->StatusPanel(spHint)->text(), " Create a new project data file.");  // web hints are kept out
    QStatusTipEvent ftp("FTP://files.example/");
    QApplication::sendEvent(form_.get(), &ftp);
    QCOMPARE(form_->StatusPanel(spHint)->text(), " Create a new project data file.");
    QStatusTipEvent none("");
    QApplication::sendEvent(form_.get(), &none);
    QCOMPARE(form_->StatusPanel(spHint)->text(), "");
  }

  void pagesInOrder() {
    QStringList captions;
    for (int i = 0; i < form_->Pages()->count(); ++i) captions << form_->Pages()->tabText(i);
    QCOMPARE(captions, QStringList({"General", "Soil Tests", "Crops", "Planting", "Nutrients", "Pesticides",
                                    "Operations", "Other", "Erosion", "Harvest"}));
    for (const TEntryDef& def : PageEntryDefs()) QVERIFY2(form_->Pages()->Entry(def.field), def.field);
  }
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
