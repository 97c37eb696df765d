// New Project, Open Project and Properties: dialogs, name checks, the conversion question and
// their messages.
#include <QtTest>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "ShellEnv.h"
#include "TsPages.h"
#include "TsPreview.h"
#include "store/MdaFile5.h"

class TestShellFileCmds : public QObject {
  Q_OBJECT

  TShellEnv* env_ = nullptr;
  std::unique_ptr<TMainForm> form_;

  // Another program that reads the project for `ms` milliseconds; returns once it holds it.
  static pid_t HoldShared(const std::string& path, int ms) {
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int fd = ::open(path.c_str(), O_RDONLY);
      ::flock(fd, LOCK_SH);
      (void)!::write(ready[1], "y", 1);
      ::usleep(static_cast<useconds_t>(ms) * 1000);
      ::_exit(0);
    }
    char c = 0;
    (void)!::read(ready[0], &c, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    return pid;
  }

  // Answers the New Project dialog: Iowa, the year and a title.
  static void FillNewProject(const QString& year) {
    WhenModal([year](QDialog* d) {
      auto* dlg = qobject_cast<TNewFileDlg*>(d);
      dlg->StateList->setCurrentRow(1);
      dlg->YearEdit->setText(year);
      dlg->TitleEdit->setText("Home farm");
      dlg->accept();
    });
  }

  // An older-format project file with no records.
  void WriteOldProject(const std::string& path) {
    TMda5Header h{};
    h.Version = kMda5Version;
    h.Rec_Count = 0;
    h.State = 2;
    h.Year = 2005;
    h.Country = 1;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(&h), sizeof h);
  }

 private slots:
  void init() {
    env_ = new TShellEnv;
    env_->WriteReferenceFiles();
    form_ = env_->Start({"none.tsj"});
    env_->messages.Clear();
  }
  void cleanup() {
    form_.reset();
    delete env_;
  }

  void newProjectDialogChecks() {
    TNewFileDlg dlg(form_->CountyNames(), 0);
    QCOMPARE(dlg.SingleBtn->text(), "Si&ngle-state");
    QCOMPARE(dlg.MultiBtn->text(), "&Multi-state");
    QCOMPARE(dlg.StateList->count(), 2);
    QVERIFY(!dlg.CheckChoices());
    dlg.StateList->setCurrentRow(0);
    dlg.YearEdit->setText("1992");
    QVERIFY(!dlg.CheckChoices());
    dlg.YearEdit->setText("2078");
    QVERIFY(!dlg.CheckChoices());
    QCOMPARE(env_->messages.errors, QStringList({"Specify the new file's state.", "Year must be in the range 1993-2077.",
                                                 "Year must be in the range 1993-2077."}));
    dlg.YearEdit->setText("2030");  // projects of the coming decades are accepted
    QVERIFY(dlg.CheckChoices());
    dlg.YearEdit->setText("2024");
    QVERIFY(dlg.CheckChoices());
    QCOMPARE(dlg.Settings().state, 1);
    dlg.MultiBtn->setChecked(true);
    QCOMPARE(dlg.Settings().state, 0);
  }

  void newProjectIsCreatedAndOpened() {
    TTestChooser chooser;
    chooser.names << QString::fromStdString(env_->File("new.tsj"));
    FillNewProject("2024");
    QVERIFY(form_->NewProjectFile());
    QCOMPARE(form_->windowTitle(), "Tesserel - new.tsj");
    QCOMPARE(form_->StatusPanel(spRecordNumber)->text(), "0 records");
    QVERIFY(!form_->Pages()->isVisible());
    QVERIFY(form_->Action("RecordAddCmd")->isEnabled());
    QVERIFY(!form_->Action("RecordNextCmd")->isEnabled());
    QCOMPARE(form_->ProjectFile().ProjectState(), uint16_t(2));
    QCOMPARE(form_->ProjectFile().Title(), "Home farm");
    QVERIFY(env_->messages.all.isEmpty());
  }

  void newProjectOverAnExistingNameIsRefused() {
    const std::string existing = env_->MakeProject("old.tsj", 2, 1);
    const std::string before = env_->Bytes(existing);
    TTestChooser chooser;
    chooser.names << QString::fromStdString(existing) << QString::fromStdString(env_->File("x.txt"));
    FillNewProject("2024");
    QVERIFY(!form_->NewProjectFile());  // the dialog gives up when no third name comes
    QCOMPARE(env_->messages.errors,
             QStringList({QString::fromStdString(existing) + "\nFile already exists.\n\nUse a different file name.",
                          QString::fromStdString(env_->File("x.txt")) +
                              "\r\nFile does not have a valid extension (.tsj).\n\nUse a different file name."}));
    QVERIFY(env_->Bytes(existing) == before);
    QVERIFY(!form_->ProjectOpen());
  }

  // The platform's save dialog of New Project opens over the main window and does not offer to
  // replace an existing file, which the command then refuses (above).
  void newProjectSaveDialogIsOwnedAndAsksNothing() {
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    FillNewProject("2024");
    QWidget* owner = nullptr;
    bool asksToReplace = true;
    std::function<void()> answer = [&] {
      auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dlg) return QTimer::singleShot(10, answer);
      owner = dlg->parentWidget();
      asksToReplace = !dlg->testOption(QFileDialog::DontConfirmOverwrite);
      dlg->reject();
    };
    QTimer::singleShot(10, answer);
    QVERIFY(!form_->NewProjectFile());
    QCOMPARE(owner, form_.get());
    QVERIFY(!asksToReplace);
  }

  void openRefusesOtherExtensions() {
    TTestChooser chooser;
    chooser.names << QString::fromStdString(env_->File("notes.txt"));
    QVERIFY(!form_->OpenProjectFile());
    QCOMPARE(env_->messages.errors,
             QStringList("Unable to open file for the following reason:\n\n" +
                         QString::fromStdString(env_->File("notes.txt")) +
                         "\r\nFile does not have a valid extension (.tsj)."));
  }

  void declinedConversionKeepsTheOpenProject() {
    const std::string current = env_->MakeProject("current.tsj", 2, 2);
    QVERIFY(form_->OpenProjectFile(current));
    const std::string old = env_->File("old.tsd");
    WriteOldProject(old);
    env_->messages.answers = {TAnswer::No};
    QVERIFY(!form_->OpenProjectFile(old));
    QCOMPARE(env_->messages.questions,
             QStringList("\n" + QString::fromStdString(old) +
                         "\nFile was created by previous version of Tesserel.\n\nDo you want to convert the file to "
                         "use with this version?\n"));
    QCOMPARE(env_->messages.errors.size(), 1);
    QVERIFY(env_->messages.errors[0].startsWith("Unable to open file for the following reason:\n\n" +
                                                QString::fromStdString(old) + "\r\n"));
    QVERIFY(form_->ProjectOpen());
    QCOMPARE(form_->windowTitle(), "Tesserel - current.tsj");
  }

  void acceptedConversionOpensTheNewFile() {
    const std::string old = env_->File("old.tsd");
    WriteOldProject(old);
    env_->messages.answers = {TAnswer::Yes};
    QVERIFY2(form_->OpenProjectFile(old), qPrintable(env_->messages.all.join("|")));
    QCOMPARE(env_->messages.infos.size(), 1);
    QVERIFY(env_->messages.infos[0].contains("File was successfully converted for use with this version."));
    QVERIFY(env_->messages.infos[0].contains("A copy of the old file was saved as\n"));
  }

  // Opening the project that is open, under its name or another way to it, saves the edit and
  // opens it anew at its first record, without a message.
  void reopeningTheOpenProjectSwitchesToIt() {
    const std::string path = env_->MakeProject("again.tsj", 2, 3);
    QVERIFY(form_->OpenProjectFile(path));
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    QVERIFY(form_->GoToRec(3));
    TypeAndLeave(*form_, "Operation", "Edited");
    QCOMPARE(form_->EditRec().Operation.Str(), std::string("Edited"));
    QVERIFY(QFile::link(QString::fromStdString(path), QString::fromStdString(env_->File("link.tsj"))));
    for (const std::string& name : {path, env_->File("link.tsj")}) {
      env_->messages.Clear();
      QVERIFY2(form_->OpenProjectFile(name), qPrintable(env_->messages.all.join("|")));
      QCOMPARE(env_->messages.all, QStringList());
      QVERIFY(form_->ProjectOpen() && form_->ProjectFile().IsWritable());
      QCOMPARE(form_->CurrentRecord(), 1);
    }
    TFieldRec third{};
    QVERIFY(form_->ProjectFile().ReadRecord(3, third));
    QCOMPARE(third.Operation.Str(), std::string("Edited"));
  }

  void propertiesAreSaved() {
    const std::string path = env_->MakeProject("props.tsj", 2, 1);
    QVERIFY(form_->OpenProjectFile(path));
    WhenModal([](QDialog* d) {
      auto* dlg = qobject_cast<TPropertiesDlg*>(d);
      QVERIFY(!dlg->TitleEdit->isReadOnly());
      QCOMPARE(dlg->TitleEdit->text(), "Test project");
      dlg->AuthorEdit->setText("A. Agronomist");
      dlg->CommentsEdit->setPlainText("Two lines\nof comments");
      dlg->accept();
    });
    form_->DoFilePropertiesDlg();
    QVERIFY(env_->messages.all.isEmpty());
    QCOMPARE(form_->ProjectFile().Author(), "A. Agronomist");
    QCOMPARE(form_->ProjectFile().Comments(), "Two lines\nof comments");
  }

  // File names in any language are created, opened, titled and named in messages as the system
  // gives them (UTF-8 bytes), never through the records' code page.
  void fileNamesInAnyLanguage() {
    const std::string name = "Neu-\u00fc \u4e2d \"q\" 'r'.tsj";
    const QString qname = QString::fromUtf8(name.c_str());
    TTestChooser chooser;
    chooser.names << QString::fromStdString(env_->File(name));
    FillNewProject("2024");
    QVERIFY(form_->NewProjectFile());
    QVERIFY(QFileInfo::exists(QString::fromUtf8(env_->File(name).c_str())));
    QCOMPARE(form_->windowTitle(), "Tesserel - " + qname);
    QVERIFY(form_->CloseProjectFile());
    chooser.names << QString::fromStdString(env_->File(name));
    QVERIFY(form_->OpenProjectFile());
    QCOMPARE(form_->windowTitle(), "Tesserel - " + qname);
    QVERIFY(form_->CloseProjectFile());
    QVERIFY(form_->OpenProjectFile(env_->File(name)));  // as given on the command line
    QCOMPARE(form_->windowTitle(), "Tesserel - " + qname);
    env_->messages.Clear();
    QVERIFY(!form_->OpenProjectFile(env_->File("Zweit-\u00fc.tsj")));
    QCOMPARE(env_->messages.errors.value(0), "Unable to open file for the following reason:\n\n" +
                                                  QString::fromStdString(env_->File("Zweit-\u00fc.tsj")) +
                                                  "\r\nCan't open file. File does not exist.");
  }

  // A project another program reads is waited for; when it is still read past the wait, it opens
  // read-only and is offered for editing as soon as the other program lets go.
  void aProjectInUseIsWaitedForAndOfferedForEditingOnceFree() {
    const std::string path = env_->MakeProject("busy.tsj", 2, 1);
    form_->BusyWaitMs = 4000;
    pid_t reader = HoldShared(path, 400);
    QVERIFY(form_->OpenProjectFile(path));
    QVERIFY(form_->ProjectFile().IsWritable());
    QVERIFY(form_->CloseProjectFile());
    ::waitpid(reader, nullptr, 0);

    form_->BusyWaitMs = 100;
    reader = HoldShared(path, 1500);
    QVERIFY(form_->OpenProjectFile(path));
    QVERIFY(form_->ProjectFile().IsReadOnly());
    env_->messages.answers = {TAnswer::Yes};
    QTRY_VERIFY_WITH_TIMEOUT(form_->ProjectFile().IsWritable(), 10000);
    QVERIFY(env_->messages.questions.value(0).contains("no longer in use by another program"));
    ::waitpid(reader, nullptr, 0);
  }

  // Another program renames its own file over the open project: nothing is written into the file
  // that lost its name; the records, with the edit in hand, can be saved under a new name.
  void aProjectReplacedUnderneathIsSavedUnderANewName() {
    const std::string path = env_->MakeProject("p.tsj", 2, 2);
    const std::string theirs = env_->MakeProject("theirs.tsj", 2, 3);
    const std::string theirBytes = env_->Bytes(theirs);
    QVERIFY(form_->OpenProjectFile(path));
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    TypeAndLeave(*form_, "Operation", "Edited");
    QVERIFY(form_->RecordModified());
    QVERIFY(std::rename(theirs.c_str(), path.c_str()) == 0);
    env_->messages.answers = {TAnswer::Yes};
    TTestChooser chooser;
    chooser.names << QString::fromStdString(env_->File("saved.tsj"));
    QVERIFY(form_->GoToRec(2));
    QCOMPARE(env_->messages.questions.size(), 1);
    QVERIFY(env_->messages.questions[0].contains("replaced or removed by another program"));
    QVERIFY(env_->Bytes(path) == theirBytes);
    QCOMPARE(form_->windowTitle(), "Tesserel - saved.tsj");
    TMdaFile& saved = form_->ProjectFile();  // the window goes on with the new file, held for editing
    QCOMPARE(saved.RecordCount(), 2);
    TFieldRec first;
    QVERIFY(saved.ReadRecord(1, first));
    QCOMPARE(first.Operation.Str(), "Edited");

    // A report is never saved over the open project.
    QFile report(QString::fromStdString(env_->File("r.txt")));
    QVERIFY(report.open(QIODevice::WriteOnly) && report.write("report") == 6);
    report.close();
    TRtfPreviewDlg preview;
    preview.SetPlainText(true);
    QVERIFY(preview.LoadFile(report.fileName()));
    const std::string before = env_->Bytes(env_->File("saved.tsj"));
    chooser.names << QString::fromStdString(env_->File("saved.tsj"));
    preview.SaveBtnClick();
    QVERIFY(env_->messages.errors.last().contains("Can't write over a file that is in use as an input."));
    QVERIFY(env_->Bytes(env_->File("saved.tsj")) == before);
  }
};

QTEST_MAIN(TestShellFileCmds)
#include "TestShellFileCmds.moc"
