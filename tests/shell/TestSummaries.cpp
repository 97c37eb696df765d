// The Ranked Summary and Tabular Summary commands: the dialogs' checks in order, the settings
// kept for the run, a report shown in the preview and one saved to a file.
#include <QtTest>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>

#include "ShellEnv.h"
#include "TsPreview.h"
#include "TsSubsetDlg.h"
#include "TsSumDlg.h"

namespace {

// Runs `action` on the next modal dialog of type T once it is up.
template <class T>
void WhenModalOf(std::function<void(T*)> action) {
  QTimer::singleShot(10, [action] {
    if (auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget())) action(dlg);
    else WhenModalOf<T>(action);
  });
}

void TickOnly(QListWidget* list, std::initializer_list<int> columns) {
  for (int i = 0; i < list->count(); ++i) list->item(i)->setCheckState(Qt::Unchecked);
  for (int c : columns) list->item(c - 1)->setCheckState(Qt::Checked);
}

}  // namespace

class TestSummaries : public QObject {
  Q_OBJECT

  TShellEnv* env_ = nullptr;
  std::unique_ptr<TMainForm> form_;

 private slots:
  void init() {
    env_ = new TShellEnv;
    env_->WriteReferenceFiles();
    form_ = env_->Start({env_->MakeProject("sum.tsj", 2, 3)});
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    env_->messages.Clear();
  }
  void cleanup() {
    form_.reset();
    delete env_;
  }

  // Select chooses the subset; OK checks the custom cost file, then the columns; the report goes to
  // the preview; the choices are kept for the next run.
  void rankedSummaryIsCheckedAndPreviewed() {
    QVERIFY(form_->Action("ToolsRankedCmd")->isEnabled());
    QString previewed;
    bool shown = false;
    WhenModalOf<TRankedSummaryDlg>([&](TRankedSummaryDlg* dlg) {
      QCOMPARE(dlg->windowTitle(), "Ranked Summary");
      QCOMPARE(dlg->ColumnList->count(), 24);
      QCOMPARE(dlg->ColumnList->item(21)->text(), " Yield and rank");
      QCOMPARE(dlg->ColumnList->item(21)->checkState(), Qt::Checked);
      QVERIFY(dlg->AllRecordsBtn->isChecked() && dlg->RankButtons[0]->isChecked() && dlg->FiveYearCheck->isChecked());
      WhenModalOf<TSubsetSelectionDlg>([](TSubsetSelectionDlg* subset) { subset->accept(); });
      dlg->SelectBtn->click();
      QVERIFY(dlg->SubsetBtn->isChecked());
      dlg->CustomCostsCheck->setChecked(true);
      dlg->accept();
      dlg->CustomCostsCheck->setChecked(false);
      TickOnly(dlg->ColumnList, {});
      dlg->accept();
      QVERIFY(dlg->isVisible());
      TickOnly(dlg->ColumnList, {rcFieldId, rcYield, rcProfit});
      dlg->RankButtons[rbProfit]->setChecked(true);
      WhenModalOf<TRtfPreviewDlg>([&](TRtfPreviewDlg* preview) {
        shown = true;
        previewed = preview->View->toPlainText();
        preview->reject();
      });
      dlg->accept();
    });
    form_->Action("ToolsRankedCmd")->trigger();
    QCOMPARE(env_->messages.errors,
             QStringList({"You checked the Use Custom Costs box, but you have not selected a custom cost file.\n\n"
                          "Click the Load button to select a cost file, or uncheck the box to use standard costs.",
                          "You must include at least one data column."}));
    QVERIFY(shown);
    // No five-year corn price in the catalogue: no yield unit, no income, every profit 0 (a tie that
    // keeps record order).
    QVERIFY2(previewed.contains("            ---Yield--  ---Profit--\n"
                                "Field ID       /A Rank    $/A  Rank\n"
                                "\n"
                                "101           0.0*   1    0.00    1\n"
                                "102           0.0*   2    0.00    2\n"),
             qPrintable(previewed));
    const TRankedSummarySettingsRec& s = form_->RankedSettings();
    QCOMPARE(s.RankBy, rbProfit);
    QCOMPARE(s.RecordsMode, 1);
    QCOMPARE(s.Columns, TRankedColumns().set(rcFieldId).set(rcYield).set(rcProfit));
    QCOMPARE(s.OutputFileName, std::string("RNK"));
    QCOMPARE(s.OutputKind, okText);
    QVERIFY(!s.UseCustomCosts);
  }

  // Load refuses a file without ".mcc" and keeps a chosen cost file even when the dialog is
  // cancelled; Save To File writes the report where the user says, in the kind its extension names.
  void tabularSummaryIsSavedToAFile() {
    TTestChooser chooser;
    const QString costs = QString::fromStdString(env_->File("mine.mcc"));
    chooser.names = {QString::fromStdString(env_->File("costs.txt")), costs};
    WhenModalOf<TTabularSummaryDlg>([&](TTabularSummaryDlg* dlg) {
      QCOMPARE(dlg->TableCombo->currentText(), "Current crop");
      QCOMPARE(dlg->RowCombo->currentText(), "Current tillage");
      QCOMPARE(dlg->RowCombo->count(), 16);
      dlg->LoadBtn->click();
      QVERIFY(!dlg->CustomCostsCheck->isChecked());
      dlg->LoadBtn->click();
      QVERIFY(dlg->CustomCostsCheck->isChecked());
      dlg->RowCombo->setCurrentIndex(sdCovCrop - 1);
      dlg->reject();
    });
    form_->Action("ToolsTabularCmd")->trigger();
    QCOMPARE(env_->messages.errors.size(), 1);
    QVERIFY(env_->messages.errors[0].endsWith("costs.txt\r\nFile does not have a valid extension (.mcc)."));
    QVERIFY(env_->messages.errors[0].startsWith("Unable to open file for the following reason:\n\n"));
    TTabularSummarySettingsRec& s = form_->TabularSettings();
    QCOMPARE(s.CustomCostFile, costs.toStdString());
    QVERIFY(!s.UseCustomCosts);
    QCOMPARE(s.RowType, sdTillage);

    const std::string saved = env_->File("tab.html");
    chooser.names = {QString::fromStdString(saved)};
    WhenModalOf<TTabularSummaryDlg>([&](TTabularSummaryDlg* dlg) {
      QVERIFY(!dlg->CustomCostsCheck->isChecked());
      dlg->RowCombo->setCurrentIndex(sdCovCrop - 1);
      dlg->SaveToFileCheck->setChecked(true);
      dlg->accept();
    });
    form_->Action("ToolsTabularCmd")->trigger();
    QCOMPARE(s.RowType, sdCovCrop);
    QCOMPARE(s.OutputKind, okHtml);
    QVERIFY(s.SaveToFile);
    const std::string html = env_->Bytes(saved);
    QVERIFY2(html.find("Current crop:  Corn") != std::string::npos, html.c_str());
    QVERIFY2(html.find("No cover crop             3") != std::string::npos, html.c_str());
  }
};

QTEST_MAIN(TestSummaries)
#include "TestSummaries.moc"
