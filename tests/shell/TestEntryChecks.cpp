// The checks of typed entries, their messages and the write-back into the record.
#include <QtTest>

#include "TsCheck.h"
#include "TsFields.h"
#include "TsGridCells.h"
#include "common/Locale.h"

class TestEntryChecks : public QObject {
  Q_OBJECT

 private:
  static std::string Msg(const TEntryResult& r) { return r.message; }

  TEntryResult Enter(TFieldRec& rec, const char* field, const char* text, const TEntryContext& ctx = {}) {
    const TEntryDef* def = FindEntryDef(field);
    if (!def) qFatal("no entry field %s", field);
    return AcceptEntry(rec, *def, text, ctx);
  }

 private slots:
  void initTestCase() { PinUsLocale(); }

  void everyEntryNamesARecordField() {
    for (const TEntryDef& def : PageEntryDefs()) {
      const TFieldDesc* desc = nullptr;
      int index = 0;
      QVERIFY2(FindField(RecordFields(), def.field, desc, index), def.field);
      if (def.kind == TEntryKind::Text) QVERIFY2(def.size <= desc->maxLength, def.field);
    }
  }

  void wordCheck_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("value");
    QTest::newRow("empty") << "" << 200 << 1 << 0 << 0;
    QTest::newRow("zero out of range") << "0" << 200 << 1 << 256 << 0;
    QTest::newRow("limit") << "200" << 200 << 1 << 0 << 200;
    QTest::newRow("above") << "201" << 200 << 1 << 256 << 201;
    QTest::newRow("trailing blank") << "12 " << 200 << 1 << 0 << 12;
    QTest::newRow("not a number") << "1a" << 200 << 1 << 257 << 0;
    QTest::newRow("too big for a word") << "65536" << 65000 << 1 << 257 << 0;
    QTest::newRow("year too early") << "1969" << 2078 << 1970 << 256 << 1969;
    QTest::newRow("current year") << "2024" << 2078 << 1970 << 0 << 2024;
    QTest::newRow("last year") << "2078" << 2078 << 1970 << 0 << 2078;
  }
  void wordCheck() {
    QFETCH(QString, text);
    QFETCH(int, limit);
    QFETCH(int, lower);
    uint16_t value = 99;
    QTEST(WordEditCheck(text.toStdString(), limit, lower, value), "code");
    QTEST(int(value), "value");
  }

  void smallIntCheck() {
    int16_t v = 0;
    QCOMPARE(SmallIntEditCheck("", 999, -1, v), 0);
    QCOMPARE(v, -1);
    QCOMPARE(SmallIntEditCheck("0", 999, -1, v), 0);
    QCOMPARE(v, 0);
    QCOMPARE(SmallIntEditCheck("1000", 999, -1, v), 256);
    QCOMPARE(SmallIntEditCheck("-3", 999, -1, v), 256);
    QCOMPARE(SmallIntEditCheck("40000", 999, -1, v), 257);
    QCOMPARE(SmallIntEditCheck("1.5", 999, -1, v), 257);
  }

  void singleCheck() {
    float v = 0;
    QCOMPARE(SingleEditCheck("", 1000, 2, 0, v), 0);
    QCOMPARE(v, 0.0f);
    QCOMPARE(SingleEditCheck("0", 1000, 2, 0, v), 256);
    QCOMPARE(SingleEditCheck("1000.001", 1000, 2, 0, v), 256);
    QCOMPARE(SingleEditCheck("2.456", 1000, 2, 0, v), 0);
    QCOMPARE(v, 2.46f);
    QCOMPARE(SingleEditCheck("1e40", 1000, 2, 0, v), 257);
    QCOMPARE(SingleEditCheck("1.2.3", 1000, 2, 0, v), 257);
    // Soil slope: 0 is a value, empty is -1.
    QCOMPARE(SingleEditCheck("0", 99, 1, -1, v), 0);
    QCOMPARE(v, 0.0f);
    QCOMPARE(SingleEditCheck("", 99, 1, -1, v), 0);
    QCOMPARE(v, -1.0f);
  }

  void plantRateCheck() {
    float v = 0;
    QCOMPARE(PlantRateEditCheck("30000", false, 999999, v), ecSpecial);
    QCOMPARE(PlantRateEditCheck("", false, 999999, v), 0);
    QCOMPARE(PlantRateEditCheck("1500.4", true, 999999, v), 0);
    QCOMPARE(v, 1500.0f);
    QCOMPARE(PlantRateEditCheck("2.345", true, 10, v), 0);
    QCOMPARE(v, 2.35f);  // not above 1000: two decimals kept
    QCOMPARE(PlantRateEditCheck("11", true, 10, v), 256);
    QCOMPARE(PlantRateEditCheck("1", true, 0, v), 256);  // a crop that is not planted by rate
  }

  void fertAnalysisCheck_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::newRow("urea") << "46-0-0" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("two parts") << "46-0" << 257;
    QTest::newRow("four parts") << "10-10-10-10" << 257;
    QTest::newRow("empty part") << "10--10" << 257;
    QTest::newRow("over 100") << "60-30-20" << int(ecSpecial);
    QTest::newRow("exactly 100") << "50-25-25" << 0;
  }
  void fertAnalysisCheck() {
    QFETCH(QString, text);
    float n, p, k;
    QTEST(FertAnalysisEditCheck(text.toStdString(), true, n, p, k), "code");
  }

  void fertAnalysisRoundsToOneDecimal() {
    float n, p, k;
    QCOMPARE(FertAnalysisEditCheck("11.26-52-0", true, n, p, k), 0);
    QCOMPARE(n, 11.3f);
    QCOMPARE(p, 52.0f);
    QCOMPARE(k, 0.0f);
    QCOMPARE(FertAnalysisEditCheck("500-500-0", false, n, p, k), 0);  // outside percent mode
    QCOMPARE(FertAnalysisEditCheck("1000-0-0", false, n, p, k), 257);
  }

  void watershedCheck() {
    QCOMPARE(WatershedNumEditCheck(""), 0);
    QCOMPARE(WatershedNumEditCheck("070801050101"), 0);  // 12 digits
    QCOMPARE(WatershedNumEditCheck("07080105010"), 0);   // 11
    QCOMPARE(WatershedNumEditCheck("07080105010101"), 0);
    QCOMPARE(WatershedNumEditCheck("0708010501011"), 257);  // 13
    QCOMPARE(WatershedNumEditCheck("0708 0105 0101"), 0);   // blanks do not count
    QCOMPARE(WatershedNumEditCheck("0708-0105-01"), 257);   // twelve characters, ten digits
    QCOMPARE(WatershedNumEditCheck("07080105O101"), 257);
  }

  void dateCheck() {
    TDayNum day = 0;
    QCOMPARE(DateEditCheck("", 1, 2012, day), 0);
    QCOMPARE(day, TDayNum(0));
    QCOMPARE(DateEditCheck("5/10", 1, 2012, day), 0);  // month and day: the record's year
    QCOMPARE(day, EncodeDay(2012, 5, 10));
    QCOMPARE(DateEditCheck("10/1/2012", 1, 2012, day), 256);
    QCOMPARE(DateEditCheck("9/1/2012", 1, 2012, day), 0);
    QCOMPARE(DateEditCheck("9/1/2011", 1, 2012, day), 0);
    QCOMPARE(DateEditCheck("8/31/11", 1, 2012, day), 256);
    QCOMPARE(DateEditCheck("13/45/2012", 1, 2012, day), 257);
    QCOMPARE(DateEditCheck("soon", 1, 2012, day), 257);
    QCOMPARE(DateEditCheck("2/28/12", 6, 2012, day), 256);  // harvest window opens 1 March
  }

  void messagesWordForWord() {
    QCOMPARE(NumberEditErrorMsg(256, 1000, 0.01),
             "Number is not in the range 0.01 - 1000.\n\nCorrect the number or press Ctrl+Z to undo your changes.");
    QCOMPARE(NumberEditErrorMsg(257, 1000, 0.01),
             "Number is invalid.\n\nCorrect the number or press Ctrl+Z to undo your changes.");
    QCOMPARE(DateEditErrorMsg(256, 1, 2012),
             "Date is not in the range 9/1/2011-9/1/2012.\n\nCorrect the date or press Ctrl+Z to undo changes.");
    QCOMPARE(DateEditErrorMsg(257, 1, 2012), "Date is invalid. Type it as M/D/YYYY, for example 4/25/2012.\n\n"
                                             "Correct the date or press Ctrl+Z to undo changes.");
    TLocaleFormats german = UsLocaleFormats();
    german.shortDateFormat = "dd.MM.yyyy";
    german.dateSeparator = '.';
    SetLocaleFormats(german);
    const std::string germanText = DateEditErrorMsg(257, 1, 2012);
    PinUsLocale();
    QCOMPARE(germanText, "Date is invalid. Type it as DD.MM.YYYY, for example 25.04.2012.\n\nCorrect the date or "
                         "press Ctrl+Z to undo changes.");
    QCOMPARE(PlantRateErrorMsg(true), "Primary Crop has not been entered yet.\n\nPress Ctrl+Z to undo changes.");
    QCOMPARE(PlantRateErrorMsg(false), "Cover/First Crop has not been entered yet.\n\nPress Ctrl+Z to undo changes.");
    QCOMPARE(FertAnalysisErrorMsg(ecSpecial),
             "Analysis percentages can't sum to greater than 100.\n\nCorrect the analysis or press Ctrl+Z to undo "
             "changes.");
    QCOMPARE(FertAnalysisErrorMsg(257),
             "Invalid fertilizer analysis.\n\nCorrect the analysis or press Ctrl+Z to undo changes.");
    QCOMPARE(WatershedNumErrorMsg(),
             "Watershed number must be 11, 12 or 14 digits long.\n\nCorrect the number or press Ctrl+Z to undo "
             "changes.");
  }

  void fieldRangeMessagesNameTheirLimits() {
    TFieldRec rec = NewRecordTemplate(1, 2012, 16);
    QCOMPARE(Msg(Enter(rec, "Field_Size", "0")),
             "Number is not in the range 0.01 - 1000.\n\nCorrect the number or press Ctrl+Z to undo your changes.");
    QCOMPARE(Msg(Enter(rec, "SoilTst_Yr", "1969")),
             "Number is not in the range 1970 - 2078.\n\nCorrect the number or press Ctrl+Z to undo your changes.");
    QCOMPARE(Msg(Enter(rec, "Nitrate_N", "0")),
             "Number is not in the range 1 - 200.\n\nCorrect the number or press Ctrl+Z to undo your changes.");
    QCOMPARE(Msg(Enter(rec, "Cust_NRec", "1000")),
             "Number is not in the range 1 - 999.\n\nCorrect the number or press Ctrl+Z to undo your changes.");
    QCOMPARE(Msg(Enter(rec, "Cur_Wt", "1000000")),
             "Number is not in the range 0.001 - 999999.\n\nCorrect the number or press Ctrl+Z to undo your "
             "changes.");
    QCOMPARE(Msg(Enter(rec, "Wshed_Num", "1234567890123")), WatershedNumErrorMsg());
    const TCellEntry pctLeg{"Prev_PctLg", TCellEntryKind::PctLegume, 0, 100};  // the grid's % legume
    QCOMPARE(AcceptCellEntry(rec, pctLeg, 2, "101", 2012).message,
             "Number is not in the range 0 - 100.\n\nCorrect the number or press Ctrl+Z to undo your changes.");
    // Nothing failed was written.
    QVERIFY(SameRecord(rec, NewRecordTemplate(1, 2012, 16)));
  }

  void acceptedValuesAreWrittenAndReformatted() {
    TFieldRec rec = NewRecordTemplate(1, 2012, 16);
    TEntryResult r = Enter(rec, "Field_Size", "2.50");
    QCOMPARE(r.code, 0);
    QCOMPARE(r.shownText, "2.5");
    QCOMPARE(float(rec.Field_Size), 2.5f);
    QCOMPARE(Enter(rec, "SoilTst_Yr", "2024").code, 0);
    QCOMPARE(int(rec.SoilTst_Yr), 2024);
    QCOMPARE(Enter(rec, "SoilTst_Yr", "").code, 0);
    QCOMPARE(int(rec.SoilTst_Yr), 0);
    QCOMPARE(Enter(rec, "Operation", "Hansen Farms").code, 0);
    QCOMPARE(rec.Operation.Str(), "Hansen Farms");
    r = Enter(rec, "Plant_Date", "5/1", {2012});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.shownText, "5/1/2012");
    QCOMPARE(int(rec.Plant_Date), int(EncodeDay(2012, 5, 1)));
  }

  void enteredFlagsFollowTheText() {
    TFieldRec rec = NewRecordTemplate(1, 2012, 16);
    QCOMPARE(EntryText(rec, *FindEntryDef("Cust_NRec")), "");
    QCOMPARE(Enter(rec, "Cust_NRec", "0").code, 0);
    QVERIFY(rec.HasFlag(rfCustN));
    QCOMPARE(EntryText(rec, *FindEntryDef("Cust_NRec")), "0");  // an entered 0 shows
    QCOMPARE(Enter(rec, "Cust_NRec", "").code, 0);
    QVERIFY(!rec.HasFlag(rfCustN));
    QCOMPARE(int(rec.Cust_NRec), 0);
    QVERIFY(SameRecord(rec, NewRecordTemplate(1, 2012, 16)));  // typed and erased: unchanged
    QCOMPARE(Enter(rec, "Irrig_N", "12").code, 0);
    QVERIFY(rec.HasFlag(rfIrrigN));
  }

  void residueUsesMinusOneForNotEntered() {
    TFieldRec rec = NewRecordTemplate(1, 2012, 16);
    QCOMPARE(int(rec.Residue), -1);
    QCOMPARE(EntryText(rec, *FindEntryDef("Residue")), "");
    QCOMPARE(Enter(rec, "Residue", "0").code, 0);
    QCOMPARE(int(rec.Residue), 0);
    QCOMPARE(EntryText(rec, *FindEntryDef("Residue")), "0");
    QCOMPARE(Enter(rec, "Residue", "101").code, 256);
    QCOMPARE(Enter(rec, "Residue", "").code, 0);
    QCOMPARE(int(rec.Residue), -1);
  }

  void plantingRatesNeedTheirCrop() {
    TFieldRec rec = NewRecordTemplate(1, 2012, 16);
    TEntryContext ctx{2012, false, 0, false, 0};
    QCOMPARE(Msg(Enter(rec, "Cur_PlRate", "30000", ctx)), PlantRateErrorMsg(true));
    QCOMPARE(Msg(Enter(rec, "Cov_PlRate", "2", ctx)), PlantRateErrorMsg(false));
    ctx.primaryCropEntered = true;
    ctx.primaryPlantClass = 999999;
    TEntryResult r = Enter(rec, "Cur_PlRate", "1500.4", ctx);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.shownText, "1500");
    QCOMPARE(float(rec.Cur_PlRate), 1500.0f);
  }

  void shownValuesFollowTheDisplayConventions() {
    TFieldRec rec = NewRecordTemplate(1, 2012, 16);
    rec.Field_Size = 12.5f;
    rec.Cur_Wt = 1234.5678f;
    rec.Cur_HDate = EncodeDay(2012, 10, 15);
    QCOMPARE(EntryText(rec, *FindEntryDef("Field_Size")), "12.5");
    QCOMPARE(EntryText(rec, *FindEntryDef("Cur_Wt")), "1234.568");
    QCOMPARE(EntryText(rec, *FindEntryDef("Rent_Value")), "");  // 0 shows nothing
    QCOMPARE(EntryText(rec, *FindEntryDef("Cur_HDate")), "10/15/2012");
    QCOMPARE(EntryText(rec, *FindEntryDef("Nitrate_N")), "");
  }
};

QTEST_GUILESS_MAIN(TestEntryChecks)
#include "TestEntryChecks.moc"
