// The messages that end an export or a dBASE import: what is on the screen while they are up, and
// what they say about the rows an import left out.
#include <QProgressDialog>
#include <QRadioButton>
#include <QtTest>

#include "../support/DbfSamples.h"
#include "ShellEnv.h"
#include "TsInterchange.h"

class TestInterchangeMessages : public QObject {
  Q_OBJECT

  TShellEnv* env_ = nullptr;
  std::unique_ptr<TMainForm> form_;

  QString Path(const char* name) const { return QString::fromStdString(env_->File(name)); }

 private slots:
  void init() {
    env_ = new TShellEnv;
    env_->WriteReferenceFiles();
    env_->MakeProject("farm.tsj", 2, 12);
    form_ = env_->Start({env_->File("farm.tsj")});
    env_->messages.Clear();
  }
  void cleanup() {
    form_.reset();
    delete env_;
  }

  // Each export's done message is the only window over the main window while it is up, for longer
  // than the progress window's delay: nothing modal covers it, so its OK can be pressed.
  void exportDoneMessageStandsAlone() {
    QStringList covered;
    env_->messages.onInfo = [&covered](const QString& text) {
      QElapsedTimer clock;
      clock.start();
      while (clock.elapsed() < 900) QTest::qWait(20);
      for (auto* progress : QApplication::topLevelWidgets())
        if (qobject_cast<QProgressDialog*>(progress) && progress->isVisible()) covered << text;
      if (QWidget* modal = QApplication::activeModalWidget()) covered << modal->windowTitle();
    };
    TTestChooser chooser;
    chooser.names << Path("farm.fld.dbf") << Path("farm.app.dbf") << Path("farm.json") << Path("farm.sqlite");
    for (int format : {efDbase, efJson, efDatabase}) {
      WhenModal([format](QDialog* d) {
        auto* dlg = qobject_cast<TExportDataDlg*>(d);
        QVERIFY(dlg);
        dlg->FormatBtns[format]->setChecked(true);
        dlg->accept();
      });
      form_->Action("FileExportCmd")->trigger();
    }
    QCOMPARE(env_->messages.errors, QStringList());
    QCOMPARE(env_->messages.infos.size(), 3);
    QVERIFY(env_->messages.infos[1].startsWith("\n12 field records exported to file\n"));
    QCOMPARE(covered, QStringList());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  // An update whose rows were all ignored says that nothing was imported, with the counts and the
  // first reasons; one that imported some rows lists what it left out before its question.
  void importSaysWhatWasLeftOut() {
    TDbfSample ignored{{"FIELD_NAME", "CROP_YEAR", "COUNTY", "ACRES"}, {}};
    for (int i = 0; i < 7; ++i) ignored.Rows.push_back({"", "Field " + std::to_string(i), "2023", "19169", "10"});
    QVERIFY(WriteDbfSample(env_->File("old.dbf"), ignored));
    TTestChooser chooser;
    chooser.names << Path("old.dbf") << Path("farm.tsj");
    env_->messages.answers = {TAnswer::Yes};
    form_->Action("FileImportDbfUpdCmd")->trigger();
    QCOMPARE(env_->messages.questions.size(), 1);  // the backup question only: nothing to open
    const QString reason = "\nRow %1 ignored: its crop year is not the project's year.";
    QString rows;
    for (int n = 1; n <= 5; ++n) rows += reason.arg(n);
    QCOMPARE(env_->messages.errors,
             QStringList({"No field records were imported from dBASE file\n" + Path("old.dbf") +
                          "\ninto project file\n" + Path("farm.tsj") +
                          ".\n\n7 rows of the dBASE file were ignored.\n0 values were not imported.\n" + rows +
                          "\n(and 2 more)\n\nCorrect the dBASE file and import it again."}));
    QVERIFY(form_->ProjectOpen());
    QCOMPARE(form_->ProjectFile().RecordCount(), 12);

    env_->messages.Clear();
    QVERIFY(WriteDbfSample(env_->File("mixed.dbf"), {{"FIELD_NAME", "CROP_YEAR", "COUNTY", "ACRES"},
                                                      {{"", "New one", "2024", "19169", "lots"},
                                                       {"", "Old one", "2023", "19169", "5"}}}));
    chooser.names << Path("mixed.dbf") << Path("farm.tsj");
    env_->messages.answers = {TAnswer::Yes, TAnswer::No};
    form_->Action("FileImportDbfUpdCmd")->trigger();
    QCOMPARE(env_->messages.errors, QStringList());
    QCOMPARE(env_->messages.questions.size(), 2);
    QVERIFY2(env_->messages.questions[1].contains(
                 "0 field records were updated in project.\n1 field records were added to project.\n\n1 rows of "
                 "the dBASE file were ignored.\n1 values were not imported.\n\nRow 1: ACRES value \"lots\""),
             qPrintable(env_->messages.questions[1]));
    QVERIFY(env_->messages.questions[1].contains(reason.arg(2) + "\n\nDo you want to open the updated project file?\n"));
    QCOMPARE(form_->ProjectFile().RecordCount(), 13);
  }
};

QTEST_MAIN(TestInterchangeMessages)
#include "TestInterchangeMessages.moc"
