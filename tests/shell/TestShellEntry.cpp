// Typing into the page fields: each check kind with its exact message, the error display that
// keeps the focus, Ctrl+Z, reformatting on exit, masks and the keys that move between fields.
#include <QtTest>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QCheckBox>
#include <QClipboard>
#include <QMimeData>
#include <QTabBar>

#include "ShellEnv.h"
#include "TsEdit.h"
#include "TsGrids.h"
#include "TsPages.h"

class TestShellEntry : public QObject {
  Q_OBJECT

  TShellEnv* env_ = nullptr;
  std::unique_ptr<TMainForm> form_;
  std::string path_;

  TEntryEdit* Field(const char* name) { return form_->Pages()->Entry(name); }

  // One notch of a mouse wheel over a widget (negative: towards the user).
  static void WheelOver(QWidget* w, int delta) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent wheel(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &wheel);
  }

  // Shows the field's page, types the text over its contents and leaves it with Tab.
  void TypeAndLeave(const char* name, const QString& text) { ::TypeAndLeave(*form_, name, text); }

 private slots:
  void init() {
    env_ = new TShellEnv;
    env_->WriteReferenceFiles();
    path_ = env_->MakeProject("entry.tsj", 2, 2);
    form_ = env_->Start({path_});
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
  }
  void cleanup() {
    form_.reset();
    delete env_;
  }

  void eachCheckKindWithItsMessage_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString numberUndo = "\n\nCorrect the number or press Ctrl+Z to undo your changes.";
    const QString dateUndo = "\n\nCorrect the date or press Ctrl+Z to undo changes.";
    QTest::newRow("decimal range") << "Field_Size" << "0" << "Number is not in the range 0.01 - 1000." + numberUndo;
    QTest::newRow("decimal invalid") << "Rent_Value" << "1.2.3" << "Number is invalid." + numberUndo;
    QTest::newRow("year tested") << "SoilTst_Yr" << "1969" << "Number is not in the range 1970 - 2078." + numberUndo;
    QTest::newRow("whole range") << "Nitrate_N" << "0" << "Number is not in the range 1 - 200." + numberUndo;
    QTest::newRow("one decimal") << "Soil_pH" << "10.5" << "Number is not in the range 0.1 - 10." + numberUndo;
    QTest::newRow("custom rec") << "Cust_NRec" << "1000" << "Number is not in the range 1 - 999." + numberUndo;
    QTest::newRow("residue") << "Residue" << "101" << "Number is not in the range 1 - 100." + numberUndo;
    QTest::newRow("date range") << "Plant_Date" << "10/1/2024"
                                << "Date is not in the range 9/1/2023-9/1/2024." + dateUndo;
    QTest::newRow("date invalid") << "Cur_HDate" << "2/30" << "Date is invalid. Type it as M/D/YYYY, for example 4/25/2024." + dateUndo;
    QTest::newRow("plant rate without crop") << "Cov_PlRate" << "12"
                                             << "Cover/First Crop has not been entered yet.\n\nPress Ctrl+Z to undo "
                                                "changes.";
    QTest::newRow("plant rate range") << "Cur_PlRate" << "1000000"
                                      << "Number is not in the range 0.01 - 999999." + numberUndo;
    QTest::newRow("watershed") << "Wshed_Num" << "1234567890123"
                               << "Watershed number must be 11, 12 or 14 digits long.\n\nCorrect the number or press "
                                  "Ctrl+Z to undo changes.";
  }
  void eachCheckKindWithItsMessage() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    const QByteArray name = field.toLatin1();
    TypeAndLeave(name.constData(), text);
    QCOMPARE(env_->messages.errors, QStringList(message));
    TEntryEdit* e = Field(name.constData());
    QVERIFY(e->InError());
    QCOMPARE(QApplication::focusWidget(), e);  // the field keeps the focus
    QVERIFY(!form_->RecordModified());         // nothing failing reaches the record
    QVERIFY(!form_->FormDataOkay());           // and no command leaves it
    QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!e->InError());
    QVERIFY(form_->FormDataOkay());
    QVERIFY(!form_->RecordModified());
  }

  void undoAfterAnAcceptedCheckKeepsRecordAndText() {
    TEntryEdit* size = Field("Field_Size");
    size->setFocus();
    size->selectAll();
    QTest::keyClicks(size, "55");
    QVERIFY(form_->FormDataOkay());  // accepted and written, the field keeps the focus
    QTest::keyClick(size, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(size->text(), "55");  // the text of the record
    QCOMPARE(float(form_->EditRec().Field_Size), 55.0f);
  }

  // A click on a tab, Ctrl+Tab and the wheel over the tabs all check the field first.
  void aFailingFieldKeepsItsPage() {
    TEntryEdit* size = Field("Field_Size");
    size->setFocus();
    size->selectAll();
    QTest::keyClicks(size, "5000");
    QTabBar* tabs = form_->Pages()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(pgHarvest).center());
    QTest::keyClick(size, Qt::Key_Tab, Qt::ControlModifier);
    WheelOver(tabs, -120);
    QCOMPARE(form_->Pages()->currentIndex(), int(pgGeneral));
    QCOMPARE(env_->messages.errors.size(), 3);
    QVERIFY(size->InError());
    QVERIFY(!form_->RecordModified());

    QTest::keyClick(size, Qt::Key_Z, Qt::ControlModifier);  // passes now: each way moves on
    QTest::keyClick(size, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(form_->Pages()->currentIndex(), int(pgSoilTests));
    WheelOver(tabs, -120);
    QCOMPARE(form_->Pages()->currentIndex(), int(pgCrops));
    QCOMPARE(env_->messages.errors.size(), 3);
  }

  // Typed, pasted or dropped, a masked field holds only what its mask allows.
  void pastedAndDroppedTextKeepsToTheMask() {
    TEntryEdit* size = Field("Field_Size");
    size->setFocus();
    size->selectAll();
    QApplication::clipboard()->setText("1a2,5.5 acres");
    QTest::keyClick(size, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(size->text(), "125.5");
    TEntryEdit* state = Field("Addr_State");
    state->setFocus();
    state->selectAll();
    QApplication::clipboard()->setText("ia");
    QTest::keyClick(state, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(state->text(), "IA");
    TEntryEdit* watershed = Field("Wshed_Num");
    watershed->setText("0708");
    QMimeData dropped;
    dropped.setText("-01 x");
    QDragEnterEvent enter(QPoint(1, 4), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(watershed, &enter);
    QDropEvent drop(QPointF(1, 4), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(watershed, &drop);
    QCOMPARE(watershed->text(), "010708");
  }

  void acceptedValuesAreReformattedAndWritten() {
    TypeAndLeave("Field_Size", "2.50");
    QCOMPARE(Field("Field_Size")->text(), "2.5");
    QCOMPARE(float(form_->EditRec().Field_Size), 2.5f);
    TypeAndLeave("Plant_Date", "5/1");
    QCOMPARE(Field("Plant_Date")->text(), "5/1/2024");
    QCOMPARE(int(form_->EditRec().Plant_Date), int(EncodeDay(2024, 5, 1)));
    TypeAndLeave("Cur_PlRate", "32000.4");
    QCOMPARE(Field("Cur_PlRate")->text(), "32000");
    TypeAndLeave("Cust_NRec", "0");
    QVERIFY(form_->EditRec().HasFlag(rfCustN));
    QVERIFY(env_->messages.all.isEmpty());
    QVERIFY(form_->RecordModified());
    QTest::keyClick(form_.get(), Qt::Key_PageDown);
    QTest::keyClick(form_.get(), Qt::Key_PageUp);
    QCOMPARE(Field("Cust_NRec")->text(), "0");  // an entered 0 shows as 0
    QCOMPARE(Field("Field_Size")->text(), "2.5");
  }

  void typedAndErasedLeavesTheRecordUnchanged() {
    const std::string before = env_->Bytes(path_);
    TypeAndLeave("Cust_PRec", "40");
    QVERIFY(form_->RecordModified());
    TypeAndLeave("Cust_PRec", "");
    QCOMPARE(Field("Cust_PRec")->text(), "");
    QVERIFY(!form_->EditRec().HasFlag(rfCustP));
    QVERIFY(!form_->RecordModified());
    QVERIFY(form_->CloseProjectFile());
    QVERIFY(env_->Bytes(path_) == before);
  }

  void masksRefuseKeys() {
    TEntryEdit* size = Field("Field_Size");
    size->setFocus();
    size->selectAll();
    QTest::keyClicks(size, "1a2,5.5");
    QCOMPARE(size->text(), "125.5");
    TEntryEdit* state = Field("Addr_State");
    state->setFocus();
    state->selectAll();
    QTest::keyClicks(state, "i1a9x");
    QCOMPARE(state->text(), "IA");  // letters only, upper case, two of them
    TEntryEdit* zip = Field("Addr_Zip");
    zip->setFocus();
    zip->selectAll();
    QTest::keyClicks(zip, "50a01-12 34");
    QCOMPARE(zip->text(), "5001-1234");
    QCOMPARE(form_->Pages()->Caption("Addr_State")->text(), "State");
    QCOMPARE(form_->Pages()->Caption("Addr_Zip")->text(), "Zip Code");
  }

  void keysMoveBetweenFields() {
    TEntryEdit* op = Field("Operation");
    op->setFocus();
    QTest::keyClick(op, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), Field("Addr_Road"));
    QTest::keyClick(Field("Addr_Road"), Qt::Key_Up);
    QCOMPARE(QApplication::focusWidget(), op);
    QTest::keyClick(op, Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), Field("Addr_Road"));
    TEntryEdit* road = Field("Addr_Road");
    road->setCursorPosition(0);
    road->deselect();
    QTest::keyClick(road, Qt::Key_Left);
    QCOMPARE(QApplication::focusWidget(), op);
  }

  void listsAndChecksWriteBack() {
    TRecordPages* p = form_->Pages();
    p->setCurrentIndex(pgGeneral);
    p->CountyCombo->setCurrentIndex(3);
    QCOMPARE(int(form_->EditRec().County), 3);
    QCOMPARE(form_->StatusPanel(spCounty)->text(), " Polk ");
    p->PUnitsCombo->setCurrentIndex(2);
    QCOMPARE(int(form_->EditRec().P_Units), 2);
    p->AttachmentsList->item(2)->setCheckState(Qt::Checked);
    QCOMPARE(uint32_t(form_->EditRec().Attchments), 4u);
    QCOMPARE(p->TraitsList->count(), 2);
    QCOMPARE(p->TraitsList->item(0)->text(), " Corn rootworm Bt");  // without " FEE"
    p->TraitsList->item(1)->setCheckState(Qt::Checked);
    QCOMPARE(int(form_->EditRec().Biotech[0]), 1952);
    p->AnnManureCheck->click();
    QVERIFY(form_->EditRec().HasFlag(rfAnnManure));
    QCOMPARE(p->CurPremCombo->count(), 2);
    p->CurPremCombo->setCurrentIndex(1);
    QCOMPARE(int(form_->EditRec().Cur_Prem), 1901);
  }

  // Rebuilding the crops' lists shows the record's choices again: nothing the user did not touch
  // looks cleared, and the next click keeps it.
  void cropChangesKeepTraitsAndPremiums() {
    TFieldRec rec = form_->EditRec();
    rec.Biotech[0] = 1952;
    rec.Biotech[1] = 1999;  // not among corn's traits (an imported record)
    rec.Cur_Prem = 1901;
    form_->AssignEditRec(rec, form_->CurrentRecord());
    TRecordPages* p = form_->Pages();
    p->setCurrentIndex(pgCrops);
    form_->Grids()->Grid(gCropHist)->ComboAt(2, 3)->setCurrentIndex(1);  // a cover crop
    QVERIFY(form_->EditRec().Cov_Crop != 0);
    QCOMPARE(p->TraitsList->item(0)->checkState(), Qt::Unchecked);
    QCOMPARE(p->TraitsList->item(1)->checkState(), Qt::Checked);
    QCOMPARE(p->CurPremCombo->currentIndex(), 1);
    p->TraitsList->item(0)->setCheckState(Qt::Checked);
    const TFieldRec& now = form_->EditRec();
    QCOMPARE(QList<int>({now.Biotech[0], now.Biotech[1], now.Biotech[2], now.Biotech[3]}),
             QList<int>({1951, 1952, 1999, 0}));
    QCOMPARE(int(now.Cur_Prem), 1901);
  }

  // The wheel over a list without the focus goes on to what holds it and changes nothing.
  void theWheelChangesNoListInPassing() {
    TRecordPages* p = form_->Pages();
    Field("Operation")->setFocus();
    const int county = p->CountyCombo->currentIndex();
    WheelOver(p->CountyCombo, -120);
    QCOMPARE(p->CountyCombo->currentIndex(), county);
    p->setCurrentIndex(pgCrops);
    Field("Till_Years")->setFocus();
    WheelOver(form_->Grids()->Grid(gCropHist)->ComboAt(3, 3), -120);
    QVERIFY(!form_->RecordModified());
    p->setCurrentIndex(pgGeneral);
    p->CountyCombo->setFocus();  // with the focus the wheel chooses
    WheelOver(p->CountyCombo, -120);
    QCOMPARE(int(form_->EditRec().County), county + 1);
  }

  void harvestInputsRecomputeTheYield() {
    TRecordPages* p = form_->Pages();
    p->CurWtUnitCombo->setCurrentIndex(UnitListPosition(ucWeight, unPound));
    TypeAndLeave("Cur_Area", "10");
    TypeAndLeave("Cur_Wt", "56000");
    TypeAndLeave("Cur_Mois", "15.5");
    QVERIFY(env_->messages.all.isEmpty());
    QVERIFY(float(form_->EditRec().Cur_Yield) > 0);
    QCOMPARE(Field("Cur_Yield")->text().toStdString(), EntryText(form_->EditRec(), *FindEntryDef("Cur_Yield")));
    QCOMPARE(p->Caption("Cur_Mois")->text(), "Moisture At Harvest");
    QCOMPARE(p->Caption("Cur_StMois")->text(), "Standard Moisture");
    QCOMPARE(p->Units("Cur_PlRate")->text(), "Seeds/A or Lb/A");
  }
};

QTEST_MAIN(TestShellEntry)
#include "TestShellEntry.moc"
