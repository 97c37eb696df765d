// Tools > Field History: the dialog's list of project files (the open project first, Add and
// Remove with their refusals), OK's checks, and the report of the open project and another year
// in the preview.
#include <QtTest>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>

#include "ShellEnv.h"
#include "TsHistoryDlg.h"
#include "TsPreview.h"

namespace {

template <class T>
void WhenModalOf(std::function<void(T*)> action) {
  QTimer::singleShot(10, [action] {
    if (auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget())) action(dlg);
    else WhenModalOf<T>(action);
  });
}

}  // namespace

class TestHistory : public QObject {
  Q_OBJECT

  TShellEnv* env_ = nullptr;
  std::unique_ptr<TMainForm> form_;

  // A project of fields 101 and 102 of `year` beside the program.
  std::string MakeYear(const std::string& name, int year) {
    TFolderRefs loaded(env_->Folder());
    TMdaFile f;
    const std::string path = env_->File(name);
    if (!f.CreateProject(path, 2, loaded.refs, "Year " + std::to_string(year), static_cast<uint16_t>(year)))
      qFatal("create failed");
    for (int i = 1; i <= 2; ++i) {
      TFieldRec rec = f.NewRecord(100 + i, 2);
      rec.Cur_Crop = crCorn;
      rec.Cur_Yield = 150.0f + static_cast<float>(year - 2020);
      if (!f.WriteRecord(i, rec, false)) qFatal("write failed");
    }
    f.Close();
    return path;
  }

 private slots:
  void init() {
    env_ = new TShellEnv;
    env_->WriteReferenceFiles();
    form_ = env_->Start({env_->MakeProject("open.tsj", 2, 3)});
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    env_->messages.Clear();
  }
  void cleanup() {
    form_.reset();
    delete env_;
  }

  void filesAreListedCheckedAndReported() {
    const std::string open = env_->File("open.tsj");
    const QString older = QString::fromStdString(MakeYear("2023.tsj", 2023));
    const QString sameYear = QString::fromStdString(MakeYear("other-2024.tsj", 2024));
    const QString missing = QString::fromStdString(env_->File("missing.tsj"));
    TTestChooser chooser;
    QString previewed;
    WhenModalOf<THistoryDlg>([&](THistoryDlg* dlg) {
      QCOMPARE(dlg->windowTitle(), "Field History");
      QCOMPARE(dlg->FileList->count(), 1);
      QCOMPARE(dlg->FileList->item(0)->text(), "2024   open.tsj   Test project");
      QCOMPARE(dlg->CountLabel->text(), "1 of 30 files");
      dlg->accept();  // one file is not a history
      QVERIFY(dlg->isVisible());
      chooser.names = {sameYear, missing, older, older};
      dlg->AddBtn->click();
      dlg->AddBtn->click();
      dlg->AddBtn->click();
      dlg->AddBtn->click();
      QCOMPARE(dlg->FileList->count(), 2);
      QCOMPARE(dlg->FileList->item(1)->text(), "2023   2023.tsj   Year 2023");
      dlg->FileList->item(1)->setSelected(true);
      dlg->RemoveBtn->click();
      QCOMPARE(dlg->FileList->count(), 1);
      chooser.names = {older};
      dlg->AddBtn->click();
      QCOMPARE(dlg->CountLabel->text(), "2 of 30 files");
      WhenModalOf<TRtfPreviewDlg>([&](TRtfPreviewDlg* preview) {
        previewed = preview->View->toPlainText();
        preview->reject();
      });
      dlg->accept();
    });
    form_->Action("ToolsHistoryCmd")->trigger();
    const QStringList& errors = env_->messages.errors;
    QCOMPARE(errors.size(), 4);
    QCOMPARE(errors[0], QString(kTooFewHistoryFilesText));
    QCOMPARE(errors[1], QString::fromStdString(open + "\r\n" + sameYear.toStdString() +
                                               "\r\nBoth project files are for the 2024 harvest year. Choose one "
                                               "project file for each year."));
    QVERIFY2(errors[2].startsWith("Unable to open file for the following reason:\n\n" + missing + "\r\n"),
             qPrintable(errors[2]));
    QCOMPARE(errors[3], older + "\r\nThis project file was chosen twice.");
    // The open project is read as it is, although the window holds it open for writing.
    QVERIFY2(previewed.contains("FIELD HISTORY 2023-2024"), qPrintable(previewed));
    QVERIFY(previewed.contains("Field ID 103   (a record in 2024 only)"));
    QVERIFY(previewed.contains("\n2023 Corn                       153.0 "));
    QVERIFY(previewed.contains("\n  2023  2023.tsj                 Year 2023 "));
    QCOMPARE(form_->HistorySettings().Files, (std::vector<std::string>{open, older.toStdString()}));
    QVERIFY(form_->ProjectFile().IsWritable());
  }
};

QTEST_MAIN(TestHistory)
#include "TestHistory.moc"
