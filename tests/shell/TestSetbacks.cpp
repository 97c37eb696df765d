// The manure application setbacks command: its dialog's checks and kept choices, the report in the
// preview window, and the states whose tables hold no setback criteria.
#include <QtTest>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTextBrowser>

#include "ShellEnv.h"
#include "TsPreview.h"
#include "TsSetbacks.h"
#include "reports/TxtFile.h"

namespace {

constexpr int kIllinois = 13, kIowa = 15, kMinnesota = 23;

QStringList Ticked(const QListWidget* list) {
  QStringList ticked;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->checkState() == Qt::Checked) ticked << list->item(i)->text();
  return ticked;
}

void Type(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

}  // namespace

class TestSetbacks : public QObject {
  Q_OBJECT

  std::unique_ptr<TShellEnv> env_;
  std::unique_ptr<TMainForm> form_;

  // The shipped reference files and state tables beside a program in a test folder.
  void CopyRuntimeFiles() {
    for (const char* name : {"usa.mcn", "stnd-usa.mdf", "ia.qri", "mn.qri", "il.qri"})
      QVERIFY(QFile::copy(QString(TESSEREL_RUNTIME_DIR) + "/" + name, QString::fromStdString(env_->File(name))));
  }

  // Runs the command; `fill` works the dialog once it is up.
  void RunCommand(std::function<void(TSetbacksRptDlg&)> fill) {
    WhenModal([fill](QDialog* d) {
      auto* dlg = qobject_cast<TSetbacksRptDlg*>(d);
      if (!dlg) return d->reject();
      fill(*dlg);
      if (dlg->isVisible()) dlg->reject();
    });
    form_->Action("ToolsSetbacksCmd")->trigger();
  }

 private slots:
  void init() {
    SetReportClock([] { return TReportTime{2026, 12, 9, 9, 5, 0, 3}; });
    env_ = std::make_unique<TShellEnv>();
    qputenv("TMPDIR", env_->Folder().c_str());  // where the temporary report goes
    CopyRuntimeFiles();
  }
  void cleanup() {
    form_.reset();
    env_.reset();
    qunsetenv("TMPDIR");
    SetReportClock({});
  }

  // Liquid manure incorporated after two days behind a 50-ft buffer, for a drinking water well and
  // a high-quality water resource: OK refuses what is missing or wrong one fault at a time, then
  // the report is shown in the preview under the normal cursor; the dialog keeps the choices.
  void iowaReportFromTheDialog() {
    form_ = env_->Start({env_->MakeProject("ia.tsj", kIowa, 1)});
    QVERIFY(form_->Action("ToolsSetbacksCmd")->isEnabled());
    QString shown;
    Qt::CursorShape cursor = Qt::WaitCursor;
    qsizetype reportFiles = 0;
    const QDir folder(QString::fromStdString(env_->Folder()));
    QStringList faults;
    RunCommand([&](TSetbacksRptDlg& dlg) {
      QCOMPARE(dlg.windowTitle(), "Manure Application Setbacks Report");
      QCOMPARE(dlg.FeatureList->count(), 9);
      QCOMPARE(dlg.FeatureList->item(3)->text(), "Drinking water well  [Confinement feeding operation manure]");
      QCOMPARE(dlg.AppliedToList->item(3)->text(), "\"Winter\" Application  [Oregon]");
      QVERIFY(!dlg.DaysEdit->isEnabled());
      auto ok = [&dlg, &faults, this] {
        env_->messages.Clear();
        dlg.accept();
        faults << env_->messages.errors;
      };
      ok();
      dlg.FeatureList->item(3)->setCheckState(Qt::Checked);
      dlg.FeatureList->item(8)->setCheckState(Qt::Checked);
      ok();
      dlg.HowAppliedGroup->button(haLiquidIncorporated)->click();
      QVERIFY(dlg.DaysEdit->isEnabled());
      ok();
      Type(dlg.DaysEdit, "2");
      Type(dlg.BufferEdit, "0");
      ok();
      QCOMPARE(dlg.focusWidget(), dlg.BufferEdit);
      Type(dlg.BufferEdit, "50");
      Type(dlg.SlopeEdit, "4.26 ");
      dlg.AppliedToList->item(acFrozenSoil)->setCheckState(Qt::Checked);
      dlg.AppliedToList->item(acWinter)->setCheckState(Qt::Checked);
      WhenModal([&, folder](QDialog* d) {
        if (auto* preview = qobject_cast<TRtfPreviewDlg*>(d)) shown = preview->View->toPlainText();
        reportFiles = folder.entryList({"STB*"}).size();
        if (QApplication::overrideCursor()) cursor = QApplication::overrideCursor()->shape();
        d->reject();
      });
      ok();
      QVERIFY(!dlg.isVisible());
    });
    QCOMPARE(faults, QStringList({"You must check at least one feature.", "You must select how manure will be applied.",
                                  "You must enter Days To Incorporation when manure is incorporated.",
                                  "Buffer Width (Feet) is invalid."}));
    QCOMPARE(cursor, Qt::ArrowCursor);
    const QString notSameDay = "  Not injected or incorporated on the same day:  ";
    const QStringList expected = {
        "          [This report prepared by " + QStr(form_->Startup().ProgramId) + " at 9:05:00 AM on Wed 12/9/2026]",
        "", "Manure Application Setback Criteria", "", "State:  Iowa",
        "How Manure Applied:  Liquid, Incorporated in 2 day(s)", "Vegetated Buffer:  50 feet", "Gradient Barrier:  No",
        "Slope:  4.3 %", "Residue:  Not specified", "Manure Applied To:  Frozen Soil", "", "",
        "Manure Application Setback Distances", "",
        "Drinking water well  [Confinement feeding operation manure]",
        "  Surface applied with a 50-ft permanent vegetated buffer:  0 feet", "",
        "High-quality water resource  [Confinement feeding operation manure]", notSameDay + "800 feet", "", "",
        "Manure Application Setback References", ""};
    const QStringList lines = shown.split('\n');
    QCOMPARE(lines.mid(0, expected.size()), expected);
    QCOMPARE(shown.count("(https://www.legis.iowa.gov/docs/"), 3);  // one operation type: listed once
    QCOMPARE(reportFiles, 1);
    QVERIFY(folder.entryList({"STB*"}).isEmpty());  // the temporary report goes once shown

    // Reopened for the same state the dialog shows what was chosen, rounded as stored.
    RunCommand([](TSetbacksRptDlg& dlg) {
      QCOMPARE(Ticked(dlg.FeatureList).size(), 2);
      QCOMPARE(dlg.HowAppliedGroup->checkedId(), int(haLiquidIncorporated));
      QCOMPARE(dlg.DaysEdit->text(), "2");
      QCOMPARE(dlg.BufferEdit->text(), "50");
      QCOMPARE(dlg.SlopeEdit->text(), "4.3");
      QCOMPARE(dlg.ResidueEdit->text(), "");
      QCOMPARE(Ticked(dlg.AppliedToList), QStringList({"Frozen Soil", "\"Winter\" Application  [Oregon]"}));
      QVERIFY(!dlg.SaveToFileCheck->isChecked());
    });

    // Another state's features start unticked; a state without criteria opens no dialog.
    QVERIFY(form_->OpenProjectFile(env_->MakeProject("mn.tsj", kMinnesota, 1)));
    bool opened = false;
    RunCommand([&opened](TSetbacksRptDlg& dlg) {
      opened = true;
      QVERIFY(dlg.FeatureList->count() > 0);
      QVERIFY(Ticked(dlg.FeatureList).isEmpty());
      QCOMPARE(dlg.HowAppliedGroup->checkedId(), int(haLiquidIncorporated));
    });
    QVERIFY(opened);
    env_->messages.Clear();
    QVERIFY(form_->OpenProjectFile(env_->MakeProject("il.tsj", kIllinois, 1)));
    form_->Action("ToolsSetbacksCmd")->trigger();
    QCOMPARE(env_->messages.errors, QStringList("No setbacks defined for this state."));
  }
};

QTEST_MAIN(TestSetbacks)
#include "TestSetbacks.moc"
