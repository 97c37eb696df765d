// Manure nutrients against the sample state file: book values per ton (beef: total N 14, NH4-N 4,
// P2O5 9, K2O 12, 30 % mineralized; swine liquid per 1000 gal: 40, 30, 25, 30), P available 80 %
// (60 % on annually manured fields), K 90 %, and the N chain NAvail = TotalN x (1 - DaysToInc / 10),
// or TotalN x 0.5 without incorporation.
#include "reports/NutrEngine.h"

#include "../support/StateFixture.h"
#include "vocab/CropVocab.h"

namespace {

// Rates pass through the 32-bit unit factors (a ton is 0.0005 of a pound's unit).
constexpr double kTol = 1e-4;

class Manure : public TStateFixture {
 protected:
  // Beef manure on row 1 at 10 tons per acre (the input's application unit), method m.
  static TFieldRec Beef(int method = 0) {
    TFieldRec rec = Record(crCorn);
    rec.Man_Input[0] = 3102;
    rec.Man_Rate[0] = 10;
    rec.Man_Method[0] = static_cast<uint8_t>(method);
    return rec;
  }
  void UseNModel() {
    TStateSampleOptions o;
    o.UseNModel = true;
    ASSERT_EQ(WriteSampleStateFile(Dir.Path(), o), "");
  }
  TNutrEngine Engine{Tables};
};

TEST_F(Manure, ManureRowAndPAvailability) {
  ASSERT_TRUE(Tables.LoadStateTables(kStateIA));
  EXPECT_EQ(Engine.ManureRow(3102), 0);
  EXPECT_EQ(Engine.ManureRow(3001), -1);
  TFieldRec rec = Beef();
  double percent = 0;
  ASSERT_TRUE(Engine.ManurePAvailability(rec, percent));
  EXPECT_NEAR(percent, 80, kTol);
  rec.SetFlag(rfAnnManure, true);
  ASSERT_TRUE(Engine.ManurePAvailability(rec, percent));
  EXPECT_NEAR(percent, 60, kTol);
}

TEST_F(Manure, DaysToIncorporationByMethod) {
  // Method -> days: 2 0, 3 1, 8 2, 4 3, 9 4, 5 5, 10 6, 11 7; N = 10 t x 14 x (1 - d / 10).
  const int methods[][2] = {{2, 0}, {3, 1}, {8, 2}, {4, 3}, {9, 4}, {5, 5}, {10, 6}, {11, 7}};
  for (const auto& m : methods)
    EXPECT_DOUBLE_EQ(Engine.ManureNutrients(1, Beef(m[0])).N, 140 - 14 * m[1]) << "method " << m[0];
  // Injection, irrigation and unknown methods have no days: 14 x 0.5 x 10.
  for (int method : {0, 1, 6, 7, 12}) EXPECT_DOUBLE_EQ(Engine.ManureNutrients(1, Beef(method)).N, 70) << method;
}

TEST_F(Manure, ChainAnalysesAndAvailability) {
  TFieldRec rec = Beef(4);
  TManureNutrients m = Engine.ManureNutrients(1, rec);
  EXPECT_NEAR(m.N, 98, kTol);
  EXPECT_NEAR(m.P2O5, 9 * 10 * 0.8, kTol);
  EXPECT_NEAR(m.K2O, 12 * 10 * 0.9, kTol);
  rec.Man_TotN[0] = 20;  // the record's analysis replaces the book value: 20 x 0.7 x 10
  rec.Man_P2O5[0] = 6;
  rec.SetFlag(rfAnnManure, true);
  m = Engine.ManureNutrients(1, rec);
  EXPECT_NEAR(m.N, 140, kTol);
  EXPECT_NEAR(m.P2O5, 6 * 10 * 0.6, kTol);
  // Rate in pounds: 4000 lb = 2 tons.
  rec.Man_Units[0] = 2;
  rec.Man_Rate[0] = 4000;
  EXPECT_NEAR(Engine.ManureNutrients(1, rec).N, 28, kTol);
  rec.Man_Rate[0] = 0;  // no rate: nothing is computable
  m = Engine.ManureNutrients(1, rec);
  EXPECT_EQ(m.N, -1);
  EXPECT_EQ(m.P2O5, -1);
  EXPECT_EQ(m.K2O, -1);
}

TEST_F(Manure, LiquidManureRateInGallons) {
  // 5000 gal: P2O5 25 x 5 x 0.8, K2O 30 x 5 x 0.9; N 5000 gal x 40 x 1.0 / 1000.
  TFieldRec rec = Record(crCorn);
  rec.Man_Input[1] = 3101;
  rec.Man_Rate[1] = 5000;
  rec.Man_Method[1] = 2;
  const TManureNutrients m = Engine.ManureNutrients(2, rec);
  EXPECT_NEAR(m.N, 200, kTol);
  EXPECT_NEAR(m.P2O5, 100, kTol);
  EXPECT_NEAR(m.K2O, 135, kTol);
  // Unchanged when the chain is given the rate itself.
  EXPECT_NEAR(Engine.ManureNChain(2, Engine.ManureRow(3101), 5000, rec).Value, 200, kTol);
  // A liquid manure whose rate is in tons has no rate in gallons: no N rather than 0.
  const TRecResult byWeight = Engine.ManureNChain(1, Engine.ManureRow(3101), 0, Beef(2));
  EXPECT_EQ(byWeight.Error, exNullResult);
}

TEST_F(Manure, NModelFillsMissingAnalysesFromTheBook) {
  UseNModel();
  // N = (A + 30 % x (T - A)) x 10 t.
  TFieldRec rec = Beef();
  EXPECT_NEAR(Engine.ManureNutrients(1, rec).N, (4 + 3) * 10, kTol);  // both from the book
  rec.Man_TotN[0] = 20;  // A = 4 x 20 / 14; 0.7 A + 0.3 T = 4 + 6
  EXPECT_NEAR(Engine.ManureNutrients(1, rec).N, 100, kTol);
  rec.Man_TotN[0] = 0;
  rec.Man_NH4N[0] = 7;  // T = 14 x 7 / 4 = 24.5
  EXPECT_NEAR(Engine.ManureNutrients(1, rec).N, (7 + 0.3 * 17.5) * 10, kTol);
  rec.Man_TotN[0] = 5;  // A capped at T
  EXPECT_NEAR(Engine.ManureNutrients(1, rec).N, 50, kTol);

  TFieldRec none = Beef();  // no ammonium book value: T cannot be derived from A
  none.Man_Input[0] = 3103;
  none.Man_NH4N[0] = 3;
  none.Man_P2O5[0] = 6;
  const TManureNutrients m = Engine.ManureNutrients(1, none);
  EXPECT_EQ(m.N, -1);
  EXPECT_EQ(m.P2O5, -1);
  EXPECT_EQ(m.K2O, -1);
}

TEST_F(Manure, StateWithoutTables) {
  TFieldRec rec = Beef(4);
  rec.State = kStateNM;
  rec.Man_P2O5[0] = 9;
  rec.Man_K2O[0] = 12;
  TManureNutrients m = Engine.ManureNutrients(1, rec);
  EXPECT_EQ(m.N, -1);
  EXPECT_NEAR(m.P2O5, 90, kTol);  // at 100 %
  EXPECT_NEAR(m.K2O, 120, kTol);
  rec.Man_K2O[0] = 0;  // no book values to fall back on
  EXPECT_EQ(Engine.ManureNutrients(1, rec).K2O, -1);

  rec.Cur_Goal = 150;
  EXPECT_EQ(Engine.NutrientRec(rcN, csCur, rec).Error, 1);
  double value = 5;
  EXPECT_FALSE(Engine.DefaultRec(rcN, rec, value));
  EXPECT_EQ(value, 0);
  rec.K = 200;
  rec.Mg = 121;
  rec.Ca = 400;
  EXPECT_EQ(Engine.EstimatedCEC(rec), 0);
}

}  // namespace
