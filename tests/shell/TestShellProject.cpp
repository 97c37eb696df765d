// Start-up with and without the required files, opening projects, navigation, the write rules
// of read-only and locked files and the exit question.
#include <QtTest>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QScrollBar>

#include "ShellEnv.h"
#include "TsEdit.h"
#include "TsAbout.h"
#include "TsPages.h"
#include "filebase/IoFault.h"

class TestShellProject : public QObject {
  Q_OBJECT

  static QString Panel(TMainForm& f, int p) { return f.StatusPanel(p)->text(); }
  // Copies the shipped sample project `name` into the environment's folder; the copy, or "" on failure.
  static std::string SampleCopy(const TShellEnv& env, const std::string& name) {
    const std::string copy = env.File(name);
    const std::string sample = std::string(TESSEREL_RUNTIME_DIR) + "/samples/" + name;
    return QFile::copy(QString::fromStdString(sample), QString::fromStdString(copy)) ? copy : std::string();
  }
  // The main window of the installed program, not yet initialised, on a copy of a sample project.
  struct TSampleStart {
    TSampleStart(const TShellEnv& env, const std::string& name)
        : copy(SampleCopy(env, name)), startup({copy}, std::string(TESSEREL_RUNTIME_DIR) + "/tesserel"),
          form(startup) {}
    std::string copy;
    TAppStartup startup;
    TMainForm form;
  };

 private slots:
  void requiredFileMissing_data() {
    QTest::addColumn<bool>("counties");
    QTest::addColumn<QString>("missing");
    QTest::newRow("county names") << false << "usa.mcn";
    QTest::newRow("definitions") << true << "stnd-usa.mdf";
  }
  void requiredFileMissing() {
    QFETCH(bool, counties);
    QFETCH(QString, missing);
    TShellEnv env;
    env.WriteReferenceFiles(counties, false);
    bool started = true;
    auto form = env.Start({"x.tsj"}, &started);
    QVERIFY(!started);
    QCOMPARE(env.messages.errors,
             QStringList("Unable to start Tesserel because of a problem with a required file:\n\n" +
                         QString::fromStdString(env.File(missing.toStdString())) + "\r\nCan't open file. File does not exist."));
  }

  void automationStartShowsNoMessage() {
    TShellEnv env;
    bool started = true;
    auto form = env.Start({"-embedding"}, &started);
    QVERIFY(!started);
    QVERIFY(env.messages.all.isEmpty());
  }

  // Started for an automation client where there is no session bus to serve it on, the program
  // leaves no invisible process behind: it says why and ends.
  void automationStartWithoutBusEnds() {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    program.setProcessEnvironment(env);
    program.start(TESSEREL_PROGRAM, {"-Embedding"});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 2);
    QCOMPARE(program.readAllStandardError().trimmed().split('\n').last(),
             "tesserel: no session bus to serve automation clients on; nothing was started.");
  }

  // The example forms are opened beside the program; a missing one is reported even where the
  // desktop's handler would claim success.
  void dataFormLinksReportAMissingForm() {
    TShellEnv env;
    env.WriteReferenceFiles();
    TAppStartup startup({"x.tsj"}, env.ProgramFile());
    TAboutBox box(startup);
    QStringList opened;
    const TOpenService real = OpenService();
    OpenService() = [&opened](const QString& target, const QString& folder) {
      opened << folder + "|" + target;
      return true;
    };
    std::ofstream(env.File("SampleForm.pdf")) << "%PDF-1.4";
    for (QLabel* link : box.findChildren<QLabel*>())
      if (link->text().contains("Data Collection Form")) emit link->linkActivated("#");
    OpenService() = real;
    const QString folder = QString::fromStdString(env.Folder());
    QCOMPARE(env.messages.errors,
             QStringList("Unable to open file BlankForm.pdf in folder " + folder +
                         ".\n\nMake sure the file is in the indicated folder and a PDF viewer is installed."));
    QCOMPARE(opened, QStringList(folder + "|SampleForm.pdf"));
  }

  // The update check hands the program's identity to the update page as query keys, encoded so
  // that any name reaches the page whole; the link's hint shows the address it opens.
  void updateLinkCarriesTheProgramsIdentity() {
    TProgramVersionInfo v;
    v.InternalName = "Tesserel & Co";
    v.FileVersion = "1.0 beta=2";
    QCOMPARE(TAboutBox::UpdateAddress(v, "https://example.org/CheckForUpdates.html"),
             "https://example.org/CheckForUpdates.html?InternalName=Tesserel%20%26%20Co&FileVersion=1.0%20beta%3D2");
    QCOMPARE(TAboutBox::UpdateAddress(v, "https://example.org/check?lang=en"),
             "https://example.org/check?lang=en&InternalName=Tesserel%20%26%20Co&FileVersion=1.0%20beta%3D2");

    TShellEnv env;
    TAppStartup startup({"x.tsj"}, env.ProgramFile());
    TAboutBox box(startup);
    const QString expected = QString(kUpdatePageAddress) + "?InternalName=" +
                             QString::fromStdString(startup.VersionInfo.InternalName) +
                             "&FileVersion=" + QString::fromStdString(startup.VersionInfo.FileVersion);
    QStringList opened;
    const TOpenService real = OpenService();
    OpenService() = [&opened](const QString& target, const QString&) {
      opened << target;
      return false;
    };
    for (QLabel* link : box.findChildren<QLabel*>())
      if (link->text().contains("Check For Updates")) {
        QCOMPARE(link->toolTip(), expected);
        emit link->linkActivated("#");
      }
    OpenService() = real;
    QCOMPARE(opened, QStringList(expected));
    QCOMPARE(env.messages.errors, QStringList("Unable to start your Web browser."));
  }

  void normalStartWithoutArgumentShowsTheAboutBox() {
    TShellEnv env;
    env.WriteReferenceFiles();
    QString title;
    WhenModal([&title](QDialog* d) {
      title = d->windowTitle();
      d->accept();
    });
    bool started = false;
    auto form = env.Start({}, &started);
    QVERIFY(started);
    QCOMPARE(title, "About");
    QVERIFY(!form->ProjectOpen());
  }

  void projectNamedWithoutExtensionGetsTsj() {
    TShellEnv env;
    env.WriteReferenceFiles();
    env.MakeProject("fields.tsj", 2, 3);
    auto form = env.Start({env.File("fields")});
    QVERIFY2(form->ProjectOpen(), qPrintable(env.messages.all.join("|")));
    QCOMPARE(form->windowTitle(), "Tesserel - fields.tsj");
    QCOMPARE(form->CurrentRecord(), 1);
    QCOMPARE(Panel(*form, spRecordNumber), "1/3");
    QCOMPARE(Panel(*form, spState), "IA");
    QCOMPARE(Panel(*form, spCounty), " Story");
    QCOMPARE(Panel(*form, spCrop), "C");
    QCOMPARE(Panel(*form, spRecordId), "101");
    QCOMPARE(form->Pages()->Entry("Operation")->text(), "Farm 1");
    QCOMPARE(form->Pages()->Entry("Field_Size")->text(), "10");
    QCOMPARE(form->Pages()->CountyCombo->currentText(), "Story ");
    QCOMPARE(form->Pages()->CountyCombo->count(), 4);
    // Without the state's planner file the state lists hold the blank entry alone.
    QCOMPARE(form->Pages()->PTestCombo->count(), 1);
    QCOMPARE(form->Pages()->DrainCombo->count(), 1);
    QCOMPARE(form->Pages()->DefNRec->text(), "");
    form->DoSoilTestInfoDlg();  // no planner file for the state beside this program
    QCOMPARE(env.messages.infos.size(), 1);
    QVERIFY(env.messages.infos[0].startsWith(
        "\nUnable to display information because of a problem with a required file:\n\n"));
    QVERIFY2(env.messages.infos[0].endsWith("\n\nThis file may not be available for Iowa or may not be installed.\n"),
             qPrintable(env.messages.infos[0]));
    env.messages.Clear();
    QCOMPARE(form->Pages()->currentIndex(), int(pgGeneral));
    QVERIFY(form->Action("RecordDeleteCmd")->isEnabled());
    QCOMPARE(form->Action("ToolsSetbacksCmd")->isEnabled(), !NotYetAvailable("ToolsSetbacksCmd"));
    QVERIFY(form->RecordScrollBar()->isEnabled());
    QCOMPARE(form->RecordScrollBar()->maximum(), 3);
  }

  void openingTheIowaSample() {
    TShellEnv env;
    TSampleStart start(env, "iowa-2024.tsj");
    QVERIFY(!start.copy.empty());
    TMainForm& form = start.form;
    QVERIFY(form.InitForm());
    QVERIFY2(form.ProjectOpen(), qPrintable(env.messages.all.join("|")));
    QCOMPARE(form.windowTitle(), "Tesserel - iowa-2024.tsj");
    QCOMPARE(Panel(form, spRecordNumber), "1/12");
    QCOMPARE(Panel(form, spState), "IA");
    QCOMPARE(Panel(form, spCounty), " Story");
    QCOMPARE(Panel(form, spRecordId), " Home North");
    QCOMPARE(form.Pages()->Entry("Operation")->text(), "Hansen Family Farms");
    QCOMPARE(form.Pages()->Entry("Cur_Yield")->text(), "205.6");
    // The state's tables: P tests, drainage types, yield units and default recommendations.
    TRecordPages* p = form.Pages();
    QVERIFY(p->PTestCombo->count() > 1);
    QVERIFY(p->DrainCombo->count() > 1);
    QCOMPARE(p->Units("Cur_Yield")->text(), "Bu/A");
    QCOMPARE(p->DefNRec->text(), "140");
    QCOMPARE(p->DefPRec->text(), "0");
    QCOMPARE(p->DefKRec->text(), "45");
    QVERIFY(!p->DefRecSource->text().isEmpty() || !p->DefRecSrcURL->text().isEmpty());
    QVERIFY(p->DefRecSource->isReadOnly());
    QVERIFY(!p->DefRecSrcURL->isHidden());  // the Iowa corn source has an address
    // No Iowa rate is checked against the current edition: the line says so after the link.
    QVERIFY2(p->DefRecSrcURL->text().endsWith("</a> Provisional: not checked against the publication's table."),
             qPrintable(p->DefRecSrcURL->text()));
    {
      QString opened;
      const TOpenService real = OpenService();
      OpenService() = [&opened](const QString& target, const QString&) {
        opened = target;
        return false;
      };
      const QString link = p->DefRecSrcURL->statusTip();
      emit p->DefRecSrcURL->linkActivated(link);
      OpenService() = real;
      QCOMPARE(opened, link);
      QCOMPARE(env.messages.errors, QStringList("Unable to start your Web browser."));
      env.messages.Clear();
    }
    form.DoSoilTestInfoDlg();
    QCOMPARE(env.messages.infos.size(), 1);
    QVERIFY2(env.messages.infos[0].startsWith("\nCalculated nutrient needs are listed on the Crops panel and in the "
                                              "worksheet report's nutrient management page.\n\nFor more information "
                                              "on the nutrient needs of "),
             qPrintable(env.messages.infos[0]));
    QVERIFY(env.messages.infos[0].contains(" in Iowa, please refer to:\n\nISU PM 1688"));
    env.messages.Clear();
    QCOMPARE(int(form.EditRec().P_Test), 1);  // the sample's soil tests name their P test method
    p->PTestCombo->setCurrentIndex(2);
    QCOMPARE(int(form.EditRec().P_Test), 2);
    p->PTestCombo->setCurrentIndex(1);
    QCOMPARE(int(form.EditRec().P_Test), 1);
    QVERIFY(!form.RecordModified());
    const std::string before = env.Bytes(start.copy);
    for (int n = 2; n <= 12; ++n) QVERIFY(form.GoToRec(n));
    QCOMPARE(p->DefNRec->text(), "0");  // soybeans need no N, and 0 shows
    QCOMPARE(Panel(form, spCounty), " Boone");
    QCOMPARE(Panel(form, spCrop), "B");
    QVERIFY(form.CloseProjectFile());
    QVERIFY(env.Bytes(start.copy) == before);  // looking writes nothing
    QVERIFY(env.messages.all.isEmpty());
  }

  void countyListFollowsTheRecordsState() {
    TShellEnv env;
    TSampleStart start(env, "multi-state-2024.tsj");
    QVERIFY(!start.copy.empty());
    TMainForm& form = start.form;
    QVERIFY(form.InitForm());
    TMainForm* f = &form;
    QVERIFY(f->ProjectOpen());
    QCOMPARE(f->Pages()->CountyCombo->count(), 1 + f->CountyNames().CountyCount(f->EditRec().State));
    QCOMPARE(Panel(form, spState), "IA");
    QVERIFY(!f->Action("ToolsSetbacksCmd")->isEnabled());  // a multi-state project
    QVERIFY(f->GoToRec(2));
    QCOMPARE(Panel(form, spState), "IL");
    QCOMPARE(f->Pages()->CountyCombo->currentText(), "Champaign ");
    QCOMPARE(f->Pages()->CountyCombo->count(), 1 + f->CountyNames().CountyCount(f->EditRec().State));
    QVERIFY(f->GoToRec(3));
    QCOMPARE(f->Pages()->CountyCombo->currentText(), "McLean ");
    QVERIFY(f->CloseProjectFile());
  }

  // An Illinois field with soil tests but without a soil row: the Info message keeps its text and
  // then says what the recommendations lack.
  void soilTestInfoSaysWhatIsNeeded() {
    TShellEnv env;
    TSampleStart start(env, "multi-state-2024.tsj");
    QVERIFY(!start.copy.empty());
    TMainForm& form = start.form;
    form.show();
    QVERIFY(form.InitForm());
    QVERIFY(form.GoToRec(3));  // corn in McLean county
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    TypeAndLeave(form, "P", "30");
    TypeAndLeave(form, "K", "220");
    form.DoSoilTestInfoDlg();
    QCOMPARE(env.messages.infos.size(), 1);
    const QString info = env.messages.infos[0];
    QVERIFY2(info.startsWith("\nUnable to calculate one or more nutrient needs for Corn in Illinois.\n\nFor "
                             "information on what data is required, refer to:\n\nIllinois Agronomy Handbook"),
             qPrintable(info));
    QVERIFY2(info.endsWith(".\n\nP2O5: Needs the P-supplying power of the predominant soil (Erosion page, soils "
                           "grid).\nK2O: Needs the CEC, or the K, Mg and Ca tests that estimate it (Soil Tests page) "
                           "and the CEC class of the predominant soil (Erosion page, soils grid).\n"),
             qPrintable(info));
    QVERIFY(form.CloseProjectFile());
  }

  void failedWriteKeepsTheRecord() {
    TShellEnv env;
    env.WriteReferenceFiles();
    const std::string path = env.MakeProject("full.tsj", 2, 2);
    auto form = env.Start({path});
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    TEntryEdit* town = form->Pages()->Entry("Addr_Town");
    town->setFocus();
    QTest::keyClicks(town, "Ames");
    SetIoFaultHook([](TIoOp op, const std::string& file) {
      return op == TIoOp::Write && file.find("full.tsj") != std::string::npos;
    });
    QTest::keyClick(form.get(), Qt::Key_PageDown);
    SetIoFaultHook(nullptr);
    QCOMPARE(form->CurrentRecord(), 1);
    QVERIFY(form->RecordModified());
    QCOMPARE(form->EditRec().Addr_Town.Str(), "Ames");
    QCOMPARE(env.messages.errors.size(), 1);
    QVERIFY(env.messages.errors[0].startsWith(QString::fromStdString(path) + "\r\n"));
    QTest::keyClick(form.get(), Qt::Key_PageDown);  // the disk has room again
    QCOMPARE(form->CurrentRecord(), 2);
  }

  void failingCountyReadOffersRetry() {
    TShellEnv env;
    env.WriteReferenceFiles();
    const std::string path = env.MakeProject("retry.tsj", 2, 1);
    auto form = env.Start({path});
    QVERIFY(form->ProjectOpen());
    int failures = 1;
    SetIoFaultHook([&failures](TIoOp op, const std::string& file) {
      return op == TIoOp::Read && file.find("usa.mcn") != std::string::npos && failures-- > 0;
    });
    env.messages.retryAnswers = {true};
    QCOMPARE(form->CountyNames().CountyName(2, 2), "Story");  // read again after Retry
    SetIoFaultHook(nullptr);
    QCOMPARE(env.messages.errors.size(), 1);
    QVERIFY(env.messages.errors[0].startsWith(QString::fromStdString(env.File("usa.mcn")) + "\r\n"));

    // Abort ends the program: no further box while it winds down, whatever still reads the file.
    env.messages.Clear();
    SetIoFaultHook([](TIoOp op, const std::string& file) {
      return op == TIoOp::Read && file.find("usa.mcn") != std::string::npos;
    });
    env.messages.retryAnswers = {false, true};
    QCOMPARE(form->CountyNames().CountyName(2, 2), "");
    QCOMPARE(form->CountyNames().CountyName(3, 2), "");
    form->UpdateStatusBar();
    SetIoFaultHook(nullptr);
    QCOMPARE(env.messages.all.size(), 1);
  }

  void navigationKeys() {
    TShellEnv env;
    env.WriteReferenceFiles();
    env.MakeProject("nav.tsj", 2, 3);
    auto form = env.Start({env.File("nav.tsj")});
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_PageUp);  // on the first record: nothing
    QCOMPARE(form->CurrentRecord(), 1);
    QTest::keyClick(form.get(), Qt::Key_PageDown);
    QCOMPARE(form->CurrentRecord(), 2);
    QCOMPARE(Panel(*form, spRecordId), " North & South ");
    QCOMPARE(form->Pages()->Entry("Operation")->text(), "Farm 2");
    QTest::keyClick(form.get(), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(form->CurrentRecord(), 3);
    QCOMPARE(form->RecordScrollBar()->value(), 3);
    QTest::keyClick(form.get(), Qt::Key_PageDown);  // on the last record: nothing
    QCOMPARE(form->CurrentRecord(), 3);
    form->Pages()->setCurrentIndex(pgHarvest);
    QTest::keyClick(form.get(), Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(form->CurrentRecord(), 1);
    QCOMPARE(form->Pages()->currentIndex(), int(pgHarvest));  // moving keeps the page
    form->RecordScrollBar()->setValue(2);
    QCOMPARE(form->CurrentRecord(), 2);
    QCOMPARE(Panel(*form, spRecordNumber), "2/3");
    QVERIFY(env.messages.all.isEmpty());
  }

  void navigationFromAFieldInEditing() {
    TShellEnv env;
    env.WriteReferenceFiles();
    const std::string path = env.MakeProject("edit.tsj", 2, 2);
    auto form = env.Start({path});
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    TEntryEdit* size = form->Pages()->Entry("Field_Size");
    size->setFocus();
    size->selectAll();
    QTest::keyClicks(size, "12.50");
    QTest::keyClick(size, Qt::Key_PageDown);  // the typed value is checked and written first
    QCOMPARE(form->CurrentRecord(), 2);
    QCOMPARE(size->text(), "20");
    TMainForm* f = form.get();
    QTest::keyClick(f, Qt::Key_PageUp);
    QCOMPARE(size->text(), "12.5");
  }

  void undoneEditWritesNothing() {
    TShellEnv env;
    env.WriteReferenceFiles();
    const std::string path = env.MakeProject("undo.tsj", 2, 2);
    const std::string before = env.Bytes(path);
    auto form = env.Start({path});
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    TEntryEdit* op = form->Pages()->Entry("Operation");
    op->setFocus();
    QTest::keyClicks(op, "Other name");
    QTest::keyClick(op, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(op->text(), "Farm 1");
    QTest::keyClick(op, Qt::Key_Tab);
    QVERIFY(!form->RecordModified());
    QTest::keyClick(form.get(), Qt::Key_PageDown);
    QCOMPARE(form->CurrentRecord(), 2);
    QVERIFY(form->CloseProjectFile());
    QVERIFY(env.Bytes(path) == before);
  }

  void readOnlyAndLockedFilesAreNeverWritten_data() {
    QTest::addColumn<bool>("locked");
    QTest::newRow("read-only") << false;
    QTest::newRow("locked") << true;
  }
  void readOnlyAndLockedFilesAreNeverWritten() {
    QFETCH(bool, locked);
    TShellEnv env;
    env.WriteReferenceFiles();
    const std::string path = env.MakeProject("ro.tsj", 2, 2, locked);
    const std::string before = env.Bytes(path);
    auto form = env.Start({"x.tsj"});
    env.messages.Clear();
    TTestChooser chooser;
    chooser.names << QString::fromStdString(path);
    chooser.openReadOnly = !locked;
    QVERIFY(form->OpenProjectFile());
    QCOMPARE(form->windowTitle(), locked ? "Tesserel - ro.tsj (Locked)" : "Tesserel - ro.tsj (Read-Only)");
    QVERIFY(form->Pages()->Entry("Operation")->isReadOnly());
    QVERIFY(!form->Pages()->CountyCombo->isEnabled());
    QVERIFY(!form->Action("RecordAddCmd")->isEnabled());
    QVERIFY(!form->Action("FileMergeCmd")->isEnabled());
    QVERIFY(form->Action("RecordFindCmd")->isEnabled());
    QVERIFY(!(form->Pages()->AttachmentsList->item(0)->flags() & Qt::ItemIsEnabled));
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    TEntryEdit* op = form->Pages()->Entry("Operation");
    op->setFocus();
    QTest::keyClicks(op, "typed");
    QTest::keyClick(form.get(), Qt::Key_PageDown);
    QTest::keyClick(form.get(), Qt::Key_PageUp);
    QVERIFY(form->CloseProjectFile());
    QVERIFY(env.Bytes(path) == before);
    QVERIFY(env.messages.all.isEmpty());
  }

  void exitQuestionKeepsTheRecordOnNo() {
    TShellEnv env;
    env.WriteReferenceFiles();
    const std::string path = env.MakeProject("exit.tsj", 2, 2);
    auto form = env.Start({path});
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    TEntryEdit* size = form->Pages()->Entry("Field_Size");
    size->setFocus();
    size->selectAll();
    QTest::keyClicks(size, "0");
    env.messages.answers = {TAnswer::No};
    QVERIFY(!form->close());
    QCOMPARE(env.messages.errors.size(), 1);
    QCOMPARE(env.messages.errors[0],
             "Number is not in the range 0.01 - 1000.\n\nCorrect the number or press Ctrl+Z to undo your changes.");
    QCOMPARE(env.messages.questions,
             QStringList("\nDo you want to exit Tesserel anyway, abandoning changes you made to the current "
                         "record?\n"));
    QVERIFY(form->ProjectOpen());
    QCOMPARE(form->CurrentRecord(), 1);
    QVERIFY(size->InError());
    env.messages.answers = {TAnswer::Yes};
    const std::string before = env.Bytes(path);
    QVERIFY(form->close());
    QVERIFY(!form->ProjectOpen());
    QVERIFY(env.Bytes(path) == before);
  }

  void closingWritesTheModifiedRecord() {
    TShellEnv env;
    env.WriteReferenceFiles();
    const std::string path = env.MakeProject("close.tsj", 2, 1);
    auto form = env.Start({path});
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    form->Pages()->setCurrentIndex(pgSoilTests);
    TEntryEdit* year = form->Pages()->Entry("SoilTst_Yr");
    year->setFocus();
    QTest::keyClicks(year, "2025");
    QVERIFY(form->close());
    QVERIFY(env.messages.all.isEmpty());
    TMcnFile mcn;
    TMdfFile mdf;
    mcn.Load(env.File("usa.mcn"));
    mdf.Load(env.File("stnd-usa.mdf"));
    TLoadedRefs refs(mcn, mdf);
    TMdaFile f;
    QVERIFY(f.OpenProject(path, false, refs));
    TFieldRec rec;
    QVERIFY(f.ReadRecord(1, rec));
    QCOMPARE(int(rec.SoilTst_Yr), 2025);
  }
};

QTEST_MAIN(TestShellProject)
#include "TestShellProject.moc"
