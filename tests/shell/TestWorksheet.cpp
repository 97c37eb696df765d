// The Worksheets command: the worksheet dialog's checks, a subset chosen in the Subset Selection
// dialog, the format dialog, and the report shown in the preview.
#include <QtTest>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QRadioButton>
#include <QTextBrowser>

#include "ShellEnv.h"
#include "TsPreview.h"
#include "TsSubsetDlg.h"
#include "TsWorksheetDlg.h"
#include "render/PageRender.h"

class TestWorksheet : public QObject {
  Q_OBJECT

 private slots:
  void worksheetOfASubsetOpensInThePreview() {
    TShellEnv env;
    env.WriteReferenceFiles();
    const std::string path = env.MakeProject("w.tsj", 2, 4);
    qputenv("TMPDIR", QByteArray::fromStdString(env.Folder()));
    std::unique_ptr<TMainForm> form = env.Start({path});
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    TFieldRec rec{};
    QVERIFY(form->ProjectFile().ReadRecord(3, rec));
    rec.County = 1;  // field 103 lies in Boone county, the others in Story
    QVERIFY(form->ProjectFile().WriteRecord(3, rec, true));
    env.messages.Clear();

    QString shown;
    int fontSize = 0;
    WhenModal([&](QDialog* d) {
      auto* dlg = qobject_cast<TWorksheetDlg*>(d);
      QVERIFY(dlg);
      QCOMPARE(dlg->windowTitle(), "Worksheet Report");
      QVERIFY(dlg->Modes->button(rmCurrent)->isChecked());
      // A typed range chooses the record range; a reversed range is refused.
      QTest::keyClicks(dlg->RangeEdit, "4-2");
      QVERIFY(dlg->Modes->button(rmRecordRange)->isChecked());
      dlg->accept();
      QVERIFY(dlg->isVisible());
      // The format dialog changes the working copy only.
      WhenModal([](QDialog* f) {
        auto* format = qobject_cast<TWorksheetFormatDlg*>(f);
        QVERIFY(format);
        format->FontSizeCombo->setCurrentText("12");
        format->BoldCheck[trHeading]->setChecked(true);
        format->accept();
      });
      dlg->FormatBtnClick();
      fontSize = dlg->Work().FontSize;
      // Counties: Story only. Moving on with nothing ticked is refused.
      WhenModal([](QDialog* s) {
        auto* subset = qobject_cast<TSubsetSelectionDlg*>(s);
        QVERIFY(subset);
        QCOMPARE(subset->TypeList->currentItem()->text(), "County");
        subset->UncheckAllBtnClick();
        subset->TypeList->setCurrentRow(1);
        QCOMPARE(subset->ShownType(), static_cast<int>(sdCounty));
        QCOMPARE(subset->TypeList->currentRow(), 0);
        QCOMPARE(subset->ItemList->item(1)->text(), " Story");
        subset->ItemList->item(1)->setCheckState(Qt::Checked);
        subset->TypeList->setCurrentRow(1);
        QCOMPARE(subset->ShownType(), static_cast<int>(sdCurCrop));
        subset->accept();
      });
      dlg->SelectBtnClick();
      QVERIFY(dlg->Modes->button(rmSubset)->isChecked());
      QCOMPARE(dlg->RangeEdit->text(), "");
      WhenModal([&shown](QDialog* p) {
        if (auto* preview = qobject_cast<TRtfPreviewDlg*>(p)) shown = preview->View->toPlainText();
        p->reject();
      });
      dlg->accept();
    });
    form->Action("ToolsWorksheetCmd")->trigger();

    QCOMPARE(env.messages.errors,
             QStringList({"Not a valid record range.", "At least one item must be checked in subset."}));
    QCOMPARE(fontSize, 12);
    QVERIFY2(shown.contains("PRODUCTION COST WORKSHEET"), qPrintable(shown));
    QVERIFY(shown.contains("NUTRIENT MANAGEMENT"));
    QVERIFY(shown.contains("Field ID:   102"));
    QVERIFY(!shown.contains("Field ID:   103"));
    QCOMPARE(shown.count("PRODUCTION COST WORKSHEET"), 3);
    QCOMPARE(form->WorksheetSettings().RecordsMode, static_cast<int>(rmSubset));
    QCOMPARE(form->WorksheetSettings().Roles[trHeading].Style, static_cast<uint16_t>(tsBold));
    QVERIFY(!form->Subset(TMainForm::suWorksheet).IsChecked(sdCounty, 2 - 1));
    QCOMPARE(QDir(QString::fromStdString(env.Folder())).entryList({"WRK*"}, QDir::Files), QStringList());
    qunsetenv("TMPDIR");
  }

  // A worksheet of 600 records saved as PDF shows its progress with Cancel; cancelled while the
  // document is rendered, it leaves no file behind: neither the document nor a scratch file.
  void cancelledPdfWorksheetLeavesNoFile() {
    TShellEnv env;
    env.WriteReferenceFiles();
    RegisterPdfRenderer();
    const std::string path = env.MakeProject("big.tsj", 2, 600);
    const QString out = QString::fromStdString(env.File("out")), scratch = QString::fromStdString(env.File("tmp"));
    QVERIFY(QDir().mkpath(out) && QDir().mkpath(scratch));
    qputenv("TMPDIR", scratch.toUtf8());
    std::unique_ptr<TMainForm> form = env.Start({path});
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    env.messages.Clear();
    TTestChooser chooser;
    chooser.names = {out + "/worksheet.pdf"};
    // The window's range grows from the 600 records to the work of rendering: cancel then.
    bool cancelled = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&cancelled] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<QProgressDialog*>(w); p && p->maximum() > 600 && !cancelled) {
          cancelled = true;
          p->cancel();
        }
    });
    watch.start(20);
    WhenModal([](QDialog* d) {
      auto* dlg = qobject_cast<TWorksheetDlg*>(d);
      QVERIFY(dlg);
      dlg->Modes->button(rmAll)->setChecked(true);
      dlg->SaveToFileCheck->setChecked(true);
      dlg->accept();
    });
    form->Action("ToolsWorksheetCmd")->trigger();
    watch.stop();
    qunsetenv("TMPDIR");
    QVERIFY(cancelled);
    QCOMPARE(env.messages.errors, QStringList());
    const QDir::Filters files = QDir::Files | QDir::Hidden | QDir::System;
    QCOMPARE(QDir(out).entryList(files), QStringList());
    QCOMPARE(QDir(scratch).entryList(files), QStringList());
  }
};

QTEST_MAIN(TestWorksheet)
#include "TestWorksheet.moc"
