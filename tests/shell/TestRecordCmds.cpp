// The Record menu's commands: adding in Field_ID order, the identity checks, renaming, Find and
// Repeat Find, Sort Inputs written on leaving the record, Go To, Check Data and deleting.
#include <QMessageBox>
#include <QtTest>
#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStackedWidget>

#include "ShellEnv.h"
#include "TsPages.h"
#include "TsRecordDlgs.h"

class TestRecordCmds : public QObject {
  Q_OBJECT

  TShellEnv* env_ = nullptr;
  std::unique_ptr<TMainForm> form_;
  std::string path_;

  void Open(int records, int state = 2) {
    path_ = env_->MakeProject("cmds.tsj", state, records);
    form_ = env_->Start({path_});
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    env_->messages.Clear();
  }

  // Fills the identity dialog when it comes up and presses OK (and Cancel after a refusal).
  static void FillIdentity(const QString& id, const QString& name, const QString& sub) {
    WhenModal([=](QDialog* d) {
      auto* dlg = static_cast<TRecordIdDlg*>(d);
      dlg->IdEdit->setText(id);
      dlg->NameEdit->setText(name);
      dlg->SubNameEdit->setText(sub);
      dlg->accept();
      if (dlg->isVisible()) dlg->reject();
    });
  }

  int32_t IdOf(int n) {
    TFieldRec rec{};
    if (!form_->ProjectFile().ReadRecord(n, rec)) return -1;
    return rec.Field_ID;
  }

  void Rewrite(int n, const std::function<void(TFieldRec&)>& change) {
    TFieldRec rec{};
    QVERIFY(form_->ProjectFile().ReadRecord(n, rec));
    change(rec);
    QVERIFY(form_->ProjectFile().WriteRecord(n, rec, true));
  }

 private slots:
  void init() {
    env_ = new TShellEnv;
    env_->WriteReferenceFiles();
  }
  void cleanup() {
    form_.reset();
    delete env_;
  }

  void addingALowerIdInsertsItBeforeTheCurrentRecord() {
    Open(3);
    QVERIFY(form_->GoToRec(3));
    FillIdentity("100", "West", "a");
    QVERIFY(form_->NewEditRec(false));
    QCOMPARE(form_->ProjectFile().RecordCount(), 4);
    QCOMPARE(form_->CurrentRecord(), 1);
    QCOMPARE(int(form_->EditRec().Field_ID), 100);
    QCOMPARE(form_->EditRec().Field_Name.Str(), "West");
    QCOMPARE(int(form_->EditRec().State), 2);
    QCOMPARE(IdOf(4), 103);
    QCOMPARE(form_->StatusPanel(spRecordNumber)->text(), "1/4");
    QCOMPARE(form_->Pages()->currentIndex(), int(pgGeneral));

    // Duplicating copies the record's data under the new ID.
    QVERIFY(form_->GoToRec(4));
    FillIdentity("150", "", "");
    QVERIFY(form_->NewEditRec(true));
    QCOMPARE(form_->CurrentRecord(), 5);
    QCOMPARE(form_->EditRec().Operation.Str(), "Farm 3");
    QCOMPARE(IdOf(5), 150);
    QCOMPARE(IdOf(4), 103);
  }

  void identityChecksRefuseWithTheirMessages() {
    Open(2);
    FillIdentity("250", "NORTH & south", "");  // record 102 is "North & South"
    QVERIFY(!form_->NewEditRec(false));
    QCOMPARE(env_->messages.errors, QStringList("That field name and subfield name have already been used."));
    env_->messages.Clear();
    FillIdentity("102", "", "");
    QVERIFY(!form_->NewEditRec(false));
    QCOMPARE(env_->messages.errors, QStringList("That field ID has already been used."));
    env_->messages.Clear();
    FillIdentity("0", "", "");
    QVERIFY(!form_->NewEditRec(false));
    QCOMPARE(env_->messages.errors, QStringList("Enter a valid field ID for the new record."));
    QCOMPARE(form_->ProjectFile().RecordCount(), 2);
    // Two records without names and with different IDs are allowed.
    env_->messages.Clear();
    FillIdentity("300", "", "");
    QVERIFY(form_->NewEditRec(false));
    QVERIFY(env_->messages.errors.isEmpty());
  }

  void addingToAMultiStateFileAsksForTheState() {
    Open(1, 0);
    WhenModal([](QDialog* d) {
      auto* dlg = static_cast<TRecordIdDlg*>(d);
      QVERIFY(dlg->StateCombo);
      QCOMPARE(dlg->StateCombo->count(), 2);
      dlg->IdEdit->setText("5");
      dlg->accept();
      dlg->StateCombo->setCurrentIndex(0);
      dlg->accept();
    });
    QVERIFY(form_->NewEditRec(false));
    QCOMPARE(env_->messages.errors, QStringList("Select the field's state."));
    QCOMPARE(int(form_->EditRec().State), 1);
  }

  void renameToTheSameValuesWritesNothing() {
    Open(2);
    QVERIFY(form_->GoToRec(2));
    const std::string before = env_->Bytes(path_);
    FillIdentity("102", "North & South", "");
    QVERIFY(!form_->RenameEditRec());
    QVERIFY(env_->messages.all.isEmpty());
    QCOMPARE(env_->Bytes(path_), before);
    // Only the letter case changes: the record itself is no clash, and the new name is written.
    FillIdentity("102", "NORTH & SOUTH", "");
    QVERIFY(form_->RenameEditRec());
    QVERIFY(env_->messages.errors.isEmpty());
    TFieldRec rec{};
    QVERIFY(form_->ProjectFile().ReadRecord(2, rec));
    QCOMPARE(rec.Field_Name.Str(), "NORTH & SOUTH");
    // A new ID above the others moves the record to the end.
    QVERIFY(form_->GoToRec(1));
    FillIdentity("900", "", "");
    QVERIFY(form_->RenameEditRec());
    QCOMPARE(form_->CurrentRecord(), 2);
    QCOMPARE(IdOf(2), 900);
  }

  void findInNotesAndRepeatFind() {
    Open(3);
    Rewrite(2, [](TFieldRec& r) { r.Notes.Set("Limed in 2010"); });
    QVERIFY(form_->LoadEditRec(1));
    WhenModal([](QDialog* d) {
      auto* dlg = static_cast<TFindDlg*>(d);
      dlg->TextEdit->setText("lime");
      dlg->Kinds->button(6)->setChecked(true);
      dlg->accept();
    });
    QVERIFY(form_->FindEditRec(false));
    QCOMPARE(form_->CurrentRecord(), 2);
    QCOMPARE(form_->FindSettings().caption, "Notes");
    QVERIFY(!form_->FindEditRec(true));
    QCOMPARE(env_->messages.errors, QStringList("Can't find a record with that Notes."));
    QCOMPARE(form_->CurrentRecord(), 2);
    // A new Find starts at the current record and finds it again.
    WhenModal([](QDialog* d) {
      QCOMPARE(static_cast<TFindDlg*>(d)->TextEdit->text(), "lime");
      d->accept();
    });
    QVERIFY(form_->FindEditRec(false));
    QCOMPARE(form_->CurrentRecord(), 2);
  }

  void findRefusesAnEmptyText() {
    Open(1);
    WhenModal([](QDialog* d) {
      d->accept();
      d->reject();
    });
    QVERIFY(!form_->FindEditRec(false));
    QCOMPARE(env_->messages.errors, QStringList("No search data specified."));
    QVERIFY(!form_->FindEditRec(true));  // nothing to repeat yet
  }

  void sortInputsIsWrittenOnLeavingTheRecord() {
    Open(2);
    Rewrite(1, [](TFieldRec& r) {
      r.Oper_Input[0] = 6001;
      r.Oper_Date[0] = EncodeDay(2024, 5, 1);
      r.Oper_Input[1] = 6002;
      r.Oper_Date[1] = EncodeDay(2024, 4, 1);
    });
    QVERIFY(form_->LoadEditRec(1));
    const std::string before = env_->Bytes(path_);
    env_->messages.answers = {TAnswer::Yes};
    QVERIFY(form_->SortEditRec());
    QVERIFY(env_->messages.questions.first().startsWith("\nAre you sure that you want to sort the current record?"));
    QCOMPARE(int(form_->EditRec().Oper_Input[0]), 6002);
    QVERIFY(form_->RecordModified());
    QCOMPARE(env_->Bytes(path_), before);
    QVERIFY(form_->GoToRec(2));
    TFieldRec rec{};
    QVERIFY(form_->ProjectFile().ReadRecord(1, rec));
    QCOMPARE(int(rec.Oper_Input[0]), 6002);
    QCOMPARE(int(rec.Oper_Input[1]), 6001);
  }

  void goToChecksTheRange() {
    Open(3);
    WhenModal([](QDialog* d) {
      auto* dlg = static_cast<TGoToDlg*>(d);
      dlg->NumberEdit->setText("4");
      dlg->accept();
      dlg->NumberEdit->setText("3");
      dlg->accept();
    });
    QVERIFY(form_->GoToEditRec());
    QCOMPARE(env_->messages.errors, QStringList("Enter a record number in the range 1-3."));
    QCOMPARE(form_->CurrentRecord(), 3);
  }

  void checkDataListsTheMissingItems() {
    Open(1);
    QString shown;
    WhenModal([&shown](QDialog* d) {
      shown = static_cast<TRecordCheckDlg*>(d)->Text();
      d->accept();
    });
    form_->DoEditRecCheckDlg();
    QVERIFY(shown.startsWith("The current record's data is incomplete, as follows:\n\n"));
    const std::vector<int> missing = form_->ProjectFile().CheckRecord(form_->EditRec());
    QVERIFY(!missing.empty());
    QVERIFY(shown.contains(QStr(TMdaFile::CheckText(missing.front(), form_->EditRec()))));
  }

  void deletingTheOnlyRecordHidesThePages() {
    Open(1);
    env_->messages.answers = {TAnswer::No};
    QVERIFY(!form_->DeleteEditRec());
    QCOMPARE(form_->ProjectFile().RecordCount(), 1);
    QCOMPARE(env_->messages.questions.first(),
             "\nAre you sure that you want to delete the current field record?\n\nField ID:  101\nField Name:  \n"
             "Subfield Name:  \n\n(This will permanently remove the record from the project file.)\n");
    env_->messages.answers = {TAnswer::Yes};
    QVERIFY(form_->DeleteEditRec());
    QCOMPARE(form_->ProjectFile().RecordCount(), 0);
    QVERIFY(!form_->Pages()->isVisible());
    QCOMPARE(form_->StatusPanel(spRecordNumber)->text(), "0 records");
  }

  // Enter on the real question keeps the record; the exit question that abandons an edit that
  // fails its check answers No to Enter too.
  void enterKeepsTheRecordAndTheEdits() {
    Open(2);
    SetMessageService(nullptr);  // the real boxes
    QString asked;
    QTimer enter;
    connect(&enter, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !asked.isEmpty()) return;
      asked = box->text();
      QTest::keyClick(box, Qt::Key_Return);
    });
    enter.start(20);
    const bool deleted = form_->DeleteEditRec();
    enter.stop();
    SetMessageService(&env_->messages);
    QVERIFY(asked.contains("delete the current field record"));
    QVERIFY(!deleted);
    QCOMPARE(form_->ProjectFile().RecordCount(), 2);

    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    TEntryEdit* size = form_->Pages()->Entry("Field_Size");
    size->setFocus();
    size->selectAll();
    QTest::keyClicks(size, "0");  // out of range: the record cannot be left
    env_->messages.answers = {TAnswer::No};
    QVERIFY(!form_->close());
    QCOMPARE(env_->messages.initials.back(), TAnswer::No);
    QVERIFY(env_->messages.questions.back().contains("anyway, abandoning changes you made to the current record?"));
  }

  void deletingShowsTheNextRecord() {
    Open(3);
    QVERIFY(form_->GoToRec(2));
    env_->messages.answers = {TAnswer::Yes};
    QVERIFY(form_->DeleteEditRec());
    QCOMPARE(form_->ProjectFile().RecordCount(), 2);
    QCOMPARE(int(form_->EditRec().Field_ID), IdOf(form_->CurrentRecord()));
    QCOMPARE(form_->RecordScrollBar()->maximum(), 2);
  }
};

QTEST_MAIN(TestRecordCmds)
#include "TestRecordCmds.moc"
