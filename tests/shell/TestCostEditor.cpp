// The cost file editor driven with keys and clicks: typing, refusing and undoing costs, the
// question about unsaved changes, saving and reopening, the standard costs, the crop filter and
// the printed listing.
#include <QtTest>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>

#include "ShellEnv.h"
#include "TsCostEditor.h"
#include "TsCostGrid.h"
#include "TsPreview.h"
#include "reference/MccFile.h"

namespace {

const char* const kAuthor = "Tesserel 9.9";

QStringList Row(const TCostGrid& grid, int row) {
  QStringList cells;
  for (int c = 0; c < kCostColumns; ++c) cells << grid.CellText(row, c);
  return cells;
}

}  // namespace

class TestCostEditor : public QObject {
  Q_OBJECT

  std::unique_ptr<TShellEnv> env_;
  std::unique_ptr<TTestChooser> chooser_;
  TMdfFile mdf_;

  QString Path(const char* name) const { return QString::fromStdString(env_->File(name)); }

  // Five inputs: seed and price of corn, a fertilizer for all crops, a soybean herbicide and an
  // other input (never in the grid).
  void WriteDefinitions() {
    TMdfContents mdf;
    mdf.Release = EncodeDay(2024, 1, 2);
    mdf.Country = 1;
    const uint32_t corn = CropBit(crCorn), soy = CropBit(crSoybeans);
    mdf.Inputs = {{1101, "Seed corn", 2.5f, unBushel, unBushel, corn, 0, 0},
                  {1601, "Corn price", 4.5f, unBushel, unBushel, corn, 0, 0},
                  {2001, "Urea", 0.45f, unPound, unPound, 0xFFFFFFFFu, 0, 0},
                  {4001, "Glyphosate", 12.5f, unGallon, unPint, soy, 0, 0},
                  {7001, "Custom hire", 30, unAcre, unAcre, 0xFFFFFFFFu, 0, 0}};
    std::string message;
    QVERIFY2(WriteMdfFile(env_->File("stnd-usa.mdf"), mdf, message), message.c_str());
    QVERIFY(mdf_.Load(env_->File("stnd-usa.mdf")));
  }

  std::unique_ptr<TCostFileEditorDlg> Editor() {
    auto dlg = std::make_unique<TCostFileEditorDlg>(mdf_, kAuthor);
    dlg->show();
    dlg->activateWindow();
    if (!QTest::qWaitForWindowActive(dlg.get())) qWarning("editor not active");
    return dlg;
  }

  // Types over the active row's cost and presses `key`.
  static void TypeCost(TCostFileEditorDlg& dlg, const QString& text, Qt::Key key = Qt::Key_Return) {
    TEntryEdit* edit = dlg.UnitCostEdit;
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, key);
  }

 private slots:
  void init() {
    env_ = std::make_unique<TShellEnv>();
    chooser_ = std::make_unique<TTestChooser>();
    WriteDefinitions();
  }
  void cleanup() {
    chooser_.reset();
    env_.reset();
  }

  // A new file: costs are refused, undone, retyped unchanged and changed with keys; closing
  // asks first; Save refuses a wrong extension, writes the file and keeps its permission bits on
  // the next save; changes dropped at closing are gone when the file is opened again.
  void editSaveAndReopenWithKeys() {
    TTestMessages& m = env_->messages;
    auto dlg = Editor();
    QCOMPARE(dlg->windowTitle(), "Cost File Editor - [No File]");
    QVERIFY(!dlg->CostTable->isEnabled());
    QCOMPARE(dlg->CostTable->Rows(), 10);
    QVERIFY(!dlg->SaveBtn->isEnabled() && !dlg->SaveAsBtn->isEnabled() && !dlg->PrintBtn->isEnabled());
    QCOMPARE(dlg->CropSubsetLbl->text(), "C&rops: 19 of 19 Checked");

    m.answers = {TAnswer::Yes};
    QTest::mouseClick(dlg->NewBtn, Qt::LeftButton);
    QCOMPARE(m.questions, QStringList("\nReady to start a new custom cost file?\n\nThe new file's costs will be initialized "
                                      "to standard costs.\n\nTo name the new file, click the Save button.\n"));
    QCOMPARE(dlg->windowTitle(), "Cost File Editor - [New File]");
    TCostGrid& grid = *dlg->CostTable;
    QCOMPARE(grid.Rows(), 4);  // the other input is not in the grid
    QCOMPARE(Row(grid, 1), QStringList({QString(QChar(0xBB)), "Seed corn", "Misc.", "C", "2.50", "Bushel"}));
    QCOMPARE(Row(grid, 4), QStringList({"", "Glyphosate", "Herbicide", "B", "12.50", "Gallon"}));
    QVERIFY(dlg->UnitCostEdit->hasFocus());
    QCOMPARE(dlg->UnitCostEdit->text(), "2.50");

    TypeCost(*dlg, "999.5");
    TypeCost(*dlg, "", Qt::Key_Down);
    QCOMPARE(m.errors, QStringList({"Cost is not in the range 0-999.\n\nCorrect the cost or press Ctrl+Z to undo "
                                    "your changes.",
                                    "Cost is invalid.\n\nCorrect the cost or press Ctrl+Z to undo your changes."}));
    QCOMPARE(grid.ActiveRow(), 1);
    QTest::keyClick(dlg->UnitCostEdit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(dlg->UnitCostEdit->text(), "2.50");
    QTest::keyClick(dlg->UnitCostEdit, Qt::Key_Down);
    TypeCost(*dlg, "4.5000");  // the same cost: nothing changes
    QCOMPARE(grid.ActiveRow(), 3);
    QVERIFY(!dlg->Changed());
    TypeCost(*dlg, "0.4567");
    TypeCost(*dlg, "999");
    QVERIFY(dlg->Changed());
    QCOMPARE(grid.CellText(3, ccUnitCost), "0.457");
    QCOMPARE(grid.CellText(4, ccUnitCost), "999.00");
    QCOMPARE(mdf_.InputCost(2001), 0.457f);

    m.Clear();
    m.answers = {TAnswer::Cancel};
    QTest::keyClick(dlg->UnitCostEdit, Qt::Key_Escape);
    QCOMPARE(m.questions, QStringList("\nYou have changed at least one cost.\n\nDo you want to save your changes?\n"));
    QVERIFY(dlg->isVisible());
    QTest::mouseClick(dlg->PrintBtn, Qt::LeftButton);
    QCOMPARE(m.infos, QStringList("\nSave the new file before attempting to print.\n"));

    m.Clear();
    chooser_->names = {Path("costs.txt"), Path("costs.mcc")};
    QTest::mouseClick(dlg->SaveBtn, Qt::LeftButton);
    QCOMPARE(m.errors, QStringList(Path("costs.txt") + "\r\nFile does not have a valid extension (.mcc).\n\n"
                                                       "Use a different file name."));
    QCOMPARE(dlg->windowTitle(), "Cost File Editor - costs.mcc");
    QVERIFY(!dlg->Changed());
    QFile saved(Path("costs.mcc"));
    QVERIFY(saved.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));  // not the umask's
    const QFile::Permissions kept = saved.permissions();
    dlg->UnitCostEdit->setFocus();
    QTest::keyClick(dlg->UnitCostEdit, Qt::Key_Home, Qt::ControlModifier);
    TypeCost(*dlg, "3");
    m.Clear();
    m.answers = {TAnswer::Yes};
    QTest::mouseClick(dlg->SaveBtn, Qt::LeftButton);
    QCOMPARE(m.questions, QStringList("\n" + Path("costs.mcc") + "\nReady to save costs to file?\n"));
    QCOMPARE(saved.permissions(), kept);
    QCOMPARE(QDir(QString::fromStdString(env_->Folder())).entryList({"mcc*"}), QStringList());

    dlg->UnitCostEdit->setFocus();
    TypeCost(*dlg, "9");
    m.Clear();
    m.answers = {TAnswer::No};
    QTest::mouseClick(dlg->ExitBtn, Qt::LeftButton);
    QCOMPARE(m.questions.size(), 1);
    QVERIFY(!dlg->isVisible());

    dlg = Editor();
    chooser_->names = {Path("costs.mcc")};
    QTest::mouseClick(dlg->OpenBtn, Qt::LeftButton);
    QCOMPARE(dlg->windowTitle(), "Cost File Editor - costs.mcc");
    QCOMPARE(dlg->CostTable->CellText(1, ccUnitCost), "3.00");
    QCOMPARE(dlg->CostTable->CellText(2, ccUnitCost), "4.50");  // the change dropped at closing
    QCOMPARE(dlg->CostTable->CellText(3, ccUnitCost), "0.457");
    QVERIFY(dlg->SaveBtn->isEnabled());
    m.Clear();
    dlg->reject();
    QVERIFY(m.questions.isEmpty());

    // Opened read-only, the costs take no typing until saved under another name.
    dlg = Editor();
    chooser_->names = {Path("costs.mcc")};
    chooser_->openReadOnly = true;
    QTest::mouseClick(dlg->OpenBtn, Qt::LeftButton);
    QCOMPARE(dlg->windowTitle(), "Cost File Editor - costs.mcc (Read-Only)");
    QVERIFY(!dlg->SaveBtn->isEnabled() && dlg->SaveAsBtn->isEnabled());
    QTest::keyClicks(dlg->UnitCostEdit, "7");
    QCOMPARE(dlg->UnitCostEdit->text(), "3.00");
    chooser_->names = {Path("copy.mcc")};
    QTest::mouseClick(dlg->SaveAsBtn, Qt::LeftButton);
    QCOMPARE(dlg->windowTitle(), "Cost File Editor - copy.mcc");
    QVERIFY(dlg->SaveBtn->isEnabled());
    dlg->UnitCostEdit->setFocus();
    TypeCost(*dlg, "7");
    QVERIFY(dlg->Changed());
    QCOMPARE(dlg->CostTable->CellText(1, ccUnitCost), "7.00");
    m.answers = {TAnswer::No};
    dlg->reject();
    QVERIFY(!dlg->isVisible());
  }

  // The definition file opens read-only with the standard costs; a file of the wrong kind changes
  // nothing and a damaged one leaves no file open. The crop filter narrows the grid, and the
  // listing of the standard costs shows in the preview.
  void standardCostsFilterAndListing() {
    TTestMessages& m = env_->messages;
    auto dlg = Editor();
    chooser_->names = {Path("stnd-usa.mdf")};
    QTest::mouseClick(dlg->OpenBtn, Qt::LeftButton);
    QCOMPARE(dlg->windowTitle(), "Cost File Editor - stnd-usa.mdf (Read-Only)");
    QVERIFY(!dlg->SaveBtn->isEnabled() && !dlg->SaveAsBtn->isEnabled() && dlg->PrintBtn->isEnabled());
    QVERIFY(dlg->UnitCostEdit->isReadOnly());

    chooser_->names = {Path("costs.dbf")};
    QTest::mouseClick(dlg->OpenBtn, Qt::LeftButton);
    QCOMPARE(m.errors, QStringList("Unable to open file for the following reason:\n\n" + Path("costs.dbf") +
                                   "\r\nFile does not have a valid extension (.mcc)."));
    QCOMPARE(dlg->windowTitle(), "Cost File Editor - stnd-usa.mdf (Read-Only)");
    m.Clear();
    QFile damaged(Path("bad.mcc"));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x02\x00\x00\x09\x00\x01", 6);  // nine costs announced, none there
    damaged.close();
    chooser_->names = {damaged.fileName()};
    QTest::mouseClick(dlg->OpenBtn, Qt::LeftButton);
    QCOMPARE(m.errors, QStringList(damaged.fileName() + "\r\nFile is wrong format or damaged."));
    QCOMPARE(dlg->windowTitle(), "Cost File Editor - [No File]");
    QVERIFY(!dlg->CostTable->isEnabled());

    m.Clear();
    chooser_->names = {Path("stnd-usa.mdf")};
    QTest::mouseClick(dlg->OpenBtn, Qt::LeftButton);
    QTest::mouseClick(dlg->UncheckAllBtn, Qt::LeftButton);
    QCOMPARE(dlg->CropSubsetLbl->text(), "C&rops: 0 of 19 Checked");
    QVERIFY(!dlg->CostTable->isEnabled());
    QCOMPARE(dlg->CostTable->Rows(), 10);
    const auto soybeans = dlg->CropCheckList->findItems(" B - Soybeans", Qt::MatchExactly);
    QCOMPARE(soybeans.size(), 1);
    soybeans[0]->setCheckState(Qt::Checked);
    QCOMPARE(dlg->CropSubsetLbl->text(), "C&rops: 1 of 19 Checked");
    QCOMPARE(dlg->CostTable->Rows(), 2);
    QCOMPARE(dlg->CostTable->CellText(2, ccInputName), "Glyphosate");

    QTest::mouseClick(dlg->CheckAllBtn, Qt::LeftButton);
    QString listing;
    WhenModal([&listing](QDialog* d) {
      auto* options = qobject_cast<TPrintCostsDlg*>(d);
      if (!options) return d->reject();
      QVERIFY(!options->SaveToFileCheckBox->isChecked() && !options->ViewWordCheckBox->isChecked());
      WhenModal([&listing](QDialog* preview) {
        if (auto* p = qobject_cast<TRtfPreviewDlg*>(preview)) listing = p->View->toPlainText();
        preview->reject();
      });
      options->accept();
    });
    QTest::mouseClick(dlg->PrintBtn, Qt::LeftButton);
    QVERIFY2(listing.startsWith(QString("     stnd-usa.mdf costs listed by ") + kAuthor + " at "), qPrintable(listing));
    QVERIFY(listing.contains("List of defined inputs for these crops:  All crops"));
    auto line = [](const char* name, const char* cost, const char* unit) {
      return "\n" + QString(name).leftJustified(30) + QString(cost).rightJustified(11) + "   " + unit;
    };
    QVERIFY(listing.contains("\n-- Other inputs --" + line("Custom hire", "30.000", "Acre")));
    QVERIFY(listing.contains(line("Urea", "0.450", "Pound")));
    QVERIFY2(m.errors.isEmpty(), qPrintable(m.errors.join('|')));
    dlg->reject();

    // The main window's command opens the editor on the program's definitions.
    env_->WriteReferenceFiles(true, false);
    auto form = env_->Start({env_->MakeProject("p.tsj", 2, 1)});
    QVERIFY(form->Action("ToolsCostEditorCmd")->isEnabled());
    QString caption;
    WhenModal([&caption](QDialog* d) {
      caption = d->windowTitle();
      d->reject();
    });
    form->Action("ToolsCostEditorCmd")->trigger();
    QCOMPARE(caption, "Cost File Editor - [No File]");
  }
};

QTEST_MAIN(TestCostEditor)
#include "TestCostEditor.moc"
