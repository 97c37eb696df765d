// The desktop program beside a script of command-line adds on one project: whatever either reports as
// saved is in the file, whatever failed was said to have failed, and no edit ever looks saved when it
// was not.
#include <QtTest>
#include <QProcess>

#include <map>
#include <set>

#include "ShellEnv.h"
#include "TsRecordDlgs.h"

class TestSharing : public QObject {
  Q_OBJECT

  static void FillIdentity(int32_t id) {
    WhenModal([id](QDialog* d) {
      auto* dlg = static_cast<TRecordIdDlg*>(d);
      dlg->IdEdit->setText(QString::number(id));
      dlg->accept();
      if (dlg->isVisible()) dlg->reject();
    });
  }

  // Field_ID -> Operation of every record, after the open checks; the IDs must ascend.
  static std::map<int32_t, std::string> Contents(TShellEnv& env, const std::string& path) {
    TFolderRefs loaded(env.Folder());
    TMdaFile f;
    std::map<int32_t, std::string> records;
    if (!f.OpenProject(path, false, loaded.refs)) qWarning("%s", f.FullErrorText().c_str());
    int32_t last = 0;
    TFieldRec r;
    for (int n = 1; n <= f.RecordCount() && f.ReadRecord(n, r); ++n) {
      if (r.Field_ID <= last) qWarning("record %d is out of order", n);
      last = r.Field_ID;
      records[r.Field_ID] = r.Operation.Str();
    }
    return records;
  }

 private slots:
  void theDesktopAndAScriptOfAddsLoseNothing() {
    TShellEnv env;
    env.WriteReferenceFiles();
    const std::string path = env.MakeProject("shared.tsj", 2, 3);
    auto form = env.Start({path});
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QVERIFY(form->CloseProjectFile());

    QProcess script;
    script.setProgram("/bin/sh");
    script.setArguments({"-c",
                         "for i in $(seq 1001 1015); do \"$0\" add \"$1\" --id $i --data-dir \"$2\" >/dev/null 2>&1; "
                         "echo $i $?; done",
                         QString(TESSEREL_RUNTIME_DIR) + "/tesserel-cli", QString::fromStdString(path),
                         QString::fromStdString(env.Folder())});
    script.start();
    QVERIFY(script.waitForStarted());

    // The desktop opens the project, adds a record, names its operation and closes, again and again.
    std::map<int32_t, std::string> desktopSaved;
    int refusedOpens = 0;
    for (int32_t id = 2001; script.state() != QProcess::NotRunning || desktopSaved.size() < 3; ++id) {
      QVERIFY2(id < 2400, "the desktop never had its turn");
      QTest::qWait(15);
      if (!form->OpenProjectFile(path)) {  // the script had the project: the desktop said so
        ++refusedOpens;
        continue;
      }
      QVERIFY(form->ProjectFile().IsWritable());
      FillIdentity(id);
      QVERIFY2(form->NewEditRec(false), qPrintable(env.messages.all.join("|")));
      const std::string operation = "Desk " + std::to_string(id);
      form->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(form.get()));
      TypeAndLeave(*form, "Operation", QString::fromStdString(operation));
      QVERIFY(form->RecordModified());
      QVERIFY(form->CloseProjectFile());
      desktopSaved[id] = operation;
    }
    QCOMPARE(script.exitStatus(), QProcess::NormalExit);
    QCOMPARE(env.messages.all.size(), refusedOpens);  // no other message came up
    for (const QString& message : env.messages.all) QVERIFY2(message.contains("File is in use."), qPrintable(message));

    std::map<int32_t, std::string> expected = {{101, "Farm 1"}, {102, "Farm 2"}, {103, "Farm 3"}};
    expected.insert(desktopSaved.begin(), desktopSaved.end());
    const QStringList lines = QString::fromUtf8(script.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 15);
    for (const QString& line : lines) {
      QCOMPARE(line.section(' ', 1), QString("0"));  // every add waited for its turn and was made
      expected[line.section(' ', 0, 0).toInt()] = "";
    }
    QCOMPARE(Contents(env, path), expected);
  }

  void anEditThatCannotReachTheFileIsNeverReportedSaved() {
    TShellEnv env;
    env.WriteReferenceFiles();
    const std::string path = env.MakeProject("lost.tsj", 2, 2);
    auto form = env.Start({path});
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    TypeAndLeave(*form, "Operation", "Edited");
    QVERIFY(form->RecordModified());
    form->ProjectFile().Close();  // the file is no longer open underneath the window
    env.messages.Clear();
    QVERIFY(!form->SaveEditRec());
    QVERIFY(!form->GoToRec(2));
    QVERIFY(form->RecordModified());
    QCOMPARE(env.messages.all.size(), 2);
    QVERIFY(env.messages.all[0].contains("Can't write to file."));
  }
};

QTEST_MAIN(TestSharing)
#include "TestSharing.moc"
