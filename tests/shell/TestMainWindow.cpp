// The main window: menus, shortcut keys, hints, title and status bar without a project; the
// commands not yet available; the window's sizes from a small laptop screen to a 4K screen.
#include <QtTest>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusTipEvent>

#include "ShellEnv.h"
#include "TestMessages.h"
#include "TsEdit.h"
#include "TsGrids.h"
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
                          "Create Project From &JSON File...", "Create Project From QRL &Plan...", "-", "Update Soils Data From &QRL...",
                          "Update Soils Data From &SDM..."}));
    QCOMPARE(MenuCaptions("RecordMenu"),
             QStringList({"&Add New...", "D&uplicate...", "&Delete...", "&Rename...", "-", "&Check Data...", "-",
                          "&Sort Inputs...", "-", "&Find...", "R&epeat Find", "&Go To...", "-", "&Previous",
                          "&Next", "F&irst", "&Last"}));
    QCOMPARE(MenuCaptions("ToolsMenu"),
             QStringList({"&Worksheets...", "-", "&Ranked Summary...", "&Tabular Summary...",
                          "Field &History...", "-", "&Manure Application Setbacks", "-", "&Cost File Editor..."}));
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
      QVERIFY2(form_->Action(on)->isEnabled() != NotYetAvailable(on), on);
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
    QStatusTipEvent secure("HTTPS://tesserel.org/");
    QApplication::sendEvent(form_.get(), &secure);
    QCOMPARE(form_->StatusPanel(spHint)->text(), " Create a new project data file.");
    QStatusTipEvent ftp("FTP://files.example/");
    QApplication::sendEvent(form_.get(), &ftp);
    QCOMPARE(form_->StatusPanel(spHint)->text(), " Create a new project data file.");
    QStatusTipEvent none("");
    QApplication::sendEvent(form_.get(), &none);
    QCOMPARE(form_->StatusPanel(spHint)->text(), "");
  }

  // With every rule satisfied, each command and page button either does its work or is disabled
  // and says that it is not yet available: no click goes nowhere.
  void everyCommandWorksOrSaysItIsNotYetAvailable() {
    TShellEnv env;
    env.WriteReferenceFiles();
    auto form = env.Start({env.MakeProject("all.tsj", 2, 2)});
    QVERIFY(form->ProjectOpen() && form->ProjectFile().IsWritable());
    int listed = 0;
    for (const TMenuItemDef& def : MenuItemDefs()) {
      QAction* action = form->Action(def.name);
      if (action->menu()) continue;
      if (NotYetAvailable(def.name)) {
        ++listed;
        QVERIFY2(!action->isEnabled(), def.name);
        QCOMPARE(action->toolTip(), QString(kNotYetAvailableHint));
        QCOMPARE(action->statusTip(), QString(kNotYetAvailableHint));
        continue;
      }
      QVERIFY2(action->isEnabled(), def.name);
      QCOMPARE(action->statusTip(), QString(def.hint));
      // Its menu's own link does not count: something else must answer the command.
      QObject::disconnect(action, &QAction::triggered, form->menuBar()->findChild<QMenu*>(def.parent), nullptr);
      QVERIFY2(QObject::disconnect(action, &QAction::triggered, nullptr, nullptr), def.name);
    }
    for (QPushButton* button : form->Pages()->findChildren<QPushButton*>()) {
      if (button->isHidden()) continue;  // the hidden RUSLE2 button
      const std::string name = button->objectName().toStdString();
      if (NotYetAvailable(name)) {
        ++listed;
        QVERIFY2(!button->isEnabled(), name.c_str());
        QCOMPARE(button->toolTip(), QString(kNotYetAvailableHint));
        continue;
      }
      QVERIFY2(button->isEnabled(), name.c_str());
      QVERIFY2(QObject::disconnect(button, &QPushButton::clicked, nullptr, nullptr), name.c_str());
    }
    QCOMPARE(listed, int(NotYetAvailableNames().size()));  // every listed name is a command or button
  }

  // The window maximizes and resizes freely above its designed size. Filling a 1024x600 screen
  // every field of every page can be brought into view; on a 4K screen the grids take the width
  // while the fields keep theirs.
  void everyPageStaysUsableFromLaptopTo4K() {
    TShellEnv env;
    env.WriteReferenceFiles();
    auto form = env.Start({env.MakeProject("size.tsj", 2, 1)});
    QVERIFY(form->ProjectOpen());
    QCOMPARE(form->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    QVERIFY(form->minimumSize().width() >= 632 && form->minimumSize().height() >= 434);
    form->resize(1024, 540);  // maximized on 1024x600 under a title bar and a panel
    QCoreApplication::processEvents();
    QCOMPARE(form->size(), QSize(1024, 540));
    TRecordPages* pages = form->Pages();
    for (int p = 0; p < kPageCount; ++p) {
      pages->setCurrentIndex(p);
      QCoreApplication::processEvents();
      QScrollArea* area = pages->PageArea(p);
      for (QWidget* w : pages->PageContent(p)->findChildren<QWidget*>()) {
        const bool control = qobject_cast<TEntryEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractItemView*>(w);
        if (!control || !w->isVisibleTo(area) || qobject_cast<TInputGrid*>(w->parentWidget()->parentWidget()))
          continue;  // hidden, or a cell of a grid, which scrolls itself
        area->ensureWidgetVisible(w, 0, 0);
        const QRect shown(w->mapTo(area->viewport(), QPoint(0, 0)), w->size());
        QVERIFY2(area->viewport()->rect().contains(shown),
                 qPrintable(QString("%1 on page %2").arg(w->objectName()).arg(p)));
      }
    }
    pages->setCurrentIndex(pgCrops);
    QCoreApplication::processEvents();
    TInputGrid* hist = form->Grids()->Grid(gCropHist);
    const int yearWidth = hist->columnWidth(1), cropWidth = hist->columnWidth(3);
    const int tillWidth = pages->Entry("Till_Years")->width();
    form->resize(3840, 2160);
    QCoreApplication::processEvents();
    QCOMPARE(form->size(), QSize(3840, 2160));
    QVERIFY(hist->width() > 3500);
    QVERIFY(hist->columnWidth(3) > 2 * cropWidth);  // names get the room
    QCOMPARE(hist->columnWidth(1), yearWidth);      // years do not
    QCOMPARE(hist->height(), hist->maximumHeight());  // all rows
    QCOMPARE(pages->Entry("Till_Years")->width(), tillWidth);
    form->showMaximized();
    QCoreApplication::processEvents();
    QVERIFY(form->isMaximized());
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
