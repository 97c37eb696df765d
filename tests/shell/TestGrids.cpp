// The record grids: crop history rows and crop change rules, input lists by crop, unit resets by
// application unit class, operation trips, keyboard movement, soils columns by state and the
// checks of typed cells.
#include <QtTest>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>

#include "ShellEnv.h"
#include "TsGrids.h"
#include "TsPages.h"

class TestGrids : public QObject {
  Q_OBJECT

  TShellEnv* env_ = nullptr;
  std::unique_ptr<TMainForm> form_;

  TInputGrid* Grid(int g) { return form_->Grids()->Grid(g); }

  // Definitions with herbicides of two unit classes, one for soybeans only, and two operations.
  void WriteDefinitions() {
    TMdfContents mdf;
    mdf.Release = EncodeDay(2024, 1, 2);
    mdf.Country = 1;
    const uint32_t corn = CropBit(crCorn), soy = CropBit(crSoybeans), all = 0xFFFFFFFFu;
    mdf.Inputs = {{1701, "Corn", 4.5f, unBushel, unBushel, corn, 0, 0},
                  {1951, "Corn rootworm Bt FEE", 12, unAcre, unAcre, corn, 0, 0},
                  {3001, "Anhydrous ammonia", 0.45f, unPound, unPound, all, 0, 0},
                  {4001, "Atrazine", 4, unPound, unPound, corn, 0, 0},
                  {4002, "Roundup", 9, unQuart, unQuart, corn | soy, 0, 0},
                  {4003, "Dual", 7, unPint, unPint, corn, 0, 0},
                  {4004, "Pursuit", 7, unDryOunce, unDryOunce, soy, 0, 0},
                  {6001, "Chisel plow", 14, unAcre, unAcre, all, 0, 0},
                  {6002, "Disk", 9, unAcre, unAcre, all, 0, 0}};
    std::string message;
    WriteMdfFile(env_->File("stnd-usa.mdf"), mdf, message);
  }

  // Shows the edit record changed by `change` as if read from the file.
  template <class F>
  void Show(F change) {
    TFieldRec rec = form_->EditRec();
    change(rec);
    form_->AssignEditRec(rec, form_->CurrentRecord());
  }

  void ShowPage(int page) {
    form_->Pages()->setCurrentIndex(page);
    QCoreApplication::processEvents();
  }

  QStringList Items(QComboBox* combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
    return out;
  }

 private slots:
  void init() {
    env_ = new TShellEnv;
    env_->WriteReferenceFiles(true, false);
    WriteDefinitions();
    form_ = env_->Start({env_->MakeProject("grids.tsj", 2, 2)});
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    env_->messages.Clear();
  }
  void cleanup() {
    form_.reset();
    delete env_;
  }

  void cropHistoryRowsShowTheirYearsAndCrops() {
    Show([](TFieldRec& r) {
      r.Year = 2012;
      r.Prev_Crop = crSoybeans;
    });
    ShowPage(pgCrops);
    TInputGrid* g = Grid(gCropHist);
    QStringList years, descriptions;
    for (int row = 1; row <= 4; ++row) {
      years << g->item(row - 1, 1)->text();
      descriptions << g->item(row - 1, 2)->text();
    }
    QCOMPARE(years, QStringList({"2011", "2012", "2012", "2013"}));
    QCOMPARE(descriptions, QStringList({"Previous Primary Crop", "Cover or First Crop", "Current Primary Crop",
                                        "Next Primary Crop"}));
    QCOMPARE(g->ComboAt(3, 3)->currentText(), "C - " + QStr(CropName(crCorn)));
    QCOMPARE(g->ComboAt(1, 3)->currentText(), QString(QChar(CropLetter(crSoybeans))) + " - " + QStr(CropName(crSoybeans)));
    QCOMPARE(g->ComboAt(1, 3)->itemText(0), " (None)");
    QCOMPARE(g->ComboAt(2, 3)->currentIndex(), -1);  // no cover crop: an empty cell
    QCOMPARE(g->item(2, 0)->text(), QString());
  }

  void primaryCropChangeRefusedOnceCropDataIsEntered() {
    Show([](TFieldRec& r) { r.Cur_PlRate = 30000; });
    ShowPage(pgCrops);
    QComboBox* crop = Grid(gCropHist)->ComboAt(3, 3);
    const int cornPos = crop->currentIndex();
    crop->setCurrentIndex(CropListPosition(clPrimary, crSoybeans));
    QCOMPARE(env_->messages.errors,
             QStringList("Can't change the primary crop.\n\nAt least one crop-specific input has already been entered."));
    QCOMPARE(crop->currentIndex(), cornPos);
    QCOMPARE(int(form_->EditRec().Cur_Crop), int(crCorn));
    QVERIFY(!form_->RecordModified());

    // Without the planting rate the change goes through and resets the crop definition.
    Show([](TFieldRec& r) {
      r.Cur_PlRate = 0;
      r.Cur_Code = 7;
    });
    env_->messages.Clear();
    crop->setCurrentIndex(CropListPosition(clPrimary, crSoybeans));
    QVERIFY(env_->messages.errors.isEmpty());
    QCOMPARE(int(form_->EditRec().Cur_Crop), int(crSoybeans));
    QCOMPARE(int(form_->EditRec().Cur_Code), 0);
    QCOMPARE(form_->StatusPanel(spCrop)->text().trimmed(), QString(QChar(CropLetter(crSoybeans))));
  }

  void inputListsFollowTheRecordsCrops() {
    ShowPage(pgPesticides);
    QComboBox* herb = Grid(gHerb)->ComboAt(1, 1);
    QCOMPARE(Items(herb), QStringList({" (None)", "Atrazine", "Roundup", "Dual"}));
    Show([](TFieldRec& r) { r.Cur_Crop = crSoybeans; });
    QCOMPARE(Items(herb), QStringList({" (None)", "Roundup", "Pursuit"}));
    // A stored input that is not in the list shows an empty cell.
    Show([](TFieldRec& r) { r.Herb_Input[0] = 4001; });
    QCOMPARE(herb->currentIndex(), -1);
    // The trait list drops a closing " FEE".
    Show([](TFieldRec& r) { r.Cur_Crop = crCorn; });
    QCOMPARE(form_->Pages()->TraitsList->item(0)->text(), " Corn rootworm Bt");
  }

  void herbicideUnitsResetWhenTheUnitClassChanges() {
    ShowPage(pgPesticides);
    TInputGrid* g = Grid(gHerb);
    g->ComboAt(1, 1)->setCurrentIndex(2);  // Roundup, quarts
    QCOMPARE(int(form_->EditRec().Herb_Input[0]), 4002);
    QComboBox* units = g->ComboAt(1, 3);
    QCOMPARE(units->itemText(0), " (None)");
    QVERIFY(Items(units).contains(QStr(UnitMediumName(unGallon))));
    QVERIFY(!Items(units).contains(QStr(UnitMediumName(unPound))));
    units->setCurrentIndex(Items(units).indexOf(QStr(UnitMediumName(unGallon))));
    QCOMPARE(int(form_->EditRec().Herb_Units[0]), int(unGallon));

    g->ComboAt(1, 1)->setCurrentIndex(3);  // Dual, pints: the same class keeps the units
    QCOMPARE(int(form_->EditRec().Herb_Units[0]), int(unGallon));
    QCOMPARE(units->currentText(), QStr(UnitMediumName(unGallon)));

    g->ComboAt(1, 1)->setCurrentIndex(1);  // Atrazine, pounds: reset
    QCOMPARE(int(form_->EditRec().Herb_Input[0]), 4001);
    QCOMPARE(int(form_->EditRec().Herb_Units[0]), 0);
    QCOMPARE(units->currentIndex(), -1);
    QVERIFY(Items(units).contains(QStr(UnitMediumName(unPound))));
    // A row without an input offers only " (None)".
    QCOMPARE(Items(g->ComboAt(2, 3)), QStringList(" (None)"));
  }

  void operationChoiceSetsTripsOnlyForAnEmptyRow() {
    Show([](TFieldRec& r) {
      r.Oper_Input[1] = 6001;
      r.Oper_Trips[1] = 2;
      r.Oper_Trips[2] = 3;
    });
    ShowPage(pgOperations);
    TInputGrid* g = Grid(gOper);
    g->ComboAt(1, 1)->setCurrentIndex(1);
    QCOMPARE(float(form_->EditRec().Oper_Trips[0]), 1.0f);
    QCOMPARE(g->EntryAt(1, 3)->text(), "1");
    g->ComboAt(2, 1)->setCurrentIndex(2);
    QCOMPARE(int(form_->EditRec().Oper_Input[1]), 6002);
    QCOMPARE(float(form_->EditRec().Oper_Trips[1]), 2.0f);
    g->ComboAt(3, 1)->setCurrentIndex(2);  // no operation but trips already entered
    QCOMPARE(float(form_->EditRec().Oper_Trips[2]), 3.0f);
  }

  void tabAndArrowsMoveAroundTheGrid() {
    ShowPage(pgNutrients);
    TInputGrid* g = Grid(gFert);
    g->SetActiveCell(kFertRows, 5);
    QCOMPARE(QApplication::focusWidget(), g->EditorAt(kFertRows, 5));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), g->EditorAt(1, 1));
    QCOMPARE(g->item(0, 0)->text(), QString(QChar(0xBB)));
    QCOMPARE(g->item(kFertRows - 1, 0)->text(), QString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), g->EditorAt(kFertRows, 5));
    // Enter moves on like Tab; in a closed list Up and Down change rows, never past the ends.
    g->SetActiveCell(1, 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), g->EditorAt(1, 3));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCOMPARE(QApplication::focusWidget(), g->EditorAt(1, 3));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), g->EditorAt(2, 3));
    QCOMPARE(g->ComboAt(2, 3)->currentIndex(), -1);  // the list itself did not change
  }

  void typedCellsAreCheckedAndStored() {
    ShowPage(pgNutrients);
    TInputGrid* g = Grid(gFert);
    g->SetActiveCell(1, 1);
    QTest::keyClicks(QApplication::focusWidget(), "10-20.50-30");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(float(form_->EditRec().Fert_P2O5[0]), 20.5f);
    QCOMPARE(g->EntryAt(1, 1)->text(), "10-20.5-30");
    QTest::keyClicks(QApplication::focusWidget(), "0");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(env_->messages.errors,
             QStringList("Number is not in the range 0.01 - 9999.\n\nCorrect the number or press Ctrl+Z to undo your "
                         "changes."));
    QCOMPARE(QApplication::focusWidget(), g->EditorAt(1, 2));
    QVERIFY(!form_->FormDataOkay());
  }

  void soilsAttributeColumnsByState() {
    ShowPage(pgErosion);
    TInputGrid* g = Grid(gSoils);
    QCOMPARE(g->Heading(8), "Rating");
    QCOMPARE(g->Heading(9), "(Unused)");
    QCOMPARE(g->Heading(10), "(Unused)");
    QCOMPARE(g->ComboAt(1, 9)->count(), 0);
    QCOMPARE(g->ComboAt(1, 10)->count(), 0);
    Show([](TFieldRec& r) { r.State = 1; });
    QCOMPARE(g->Heading(9), "CEC Grp");
    QCOMPARE(g->Heading(10), "(Unused)");
    // Without the state's planner file the attribute lists stay empty.
    QCOMPARE(g->ComboAt(1, 9)->count(), 0);
    // An empty slope is shown empty; 0 is shown.
    Show([](TFieldRec& r) { r.Soil_Slope[1] = 0; });
    QCOMPARE(g->EntryAt(1, 2)->text(), QString());
    QCOMPARE(g->EntryAt(2, 2)->text(), "0");
  }
};

QTEST_MAIN(TestGrids)
#include "TestGrids.moc"
