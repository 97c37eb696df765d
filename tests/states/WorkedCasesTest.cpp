// Worked cases from the state publications, evaluated through each file's own expressions.
#include "StateChain.h"

namespace {

double Value(const TChainResult& r) {
  EXPECT_EQ(r.Error, exNone);
  return r.Value.value_or(-1);
}

// Iowa: ISU PM 1688 (rev. 2013) Tables 1-4; corn N from the ISU Corn N Rate Calculator (MRTN at a
// 0.10 N:corn price ratio), where the rate after soybean already holds the rotation effect.
TEST(IowaCases, CornNitrogenByPreviousCrop) {
  TStateFile ia("ia");
  ASSERT_TRUE(ia.Loaded) << ia.Message;
  TRecVars none;
  EXPECT_EQ(Value(ia.N("Corn, grain", none)), 190);  // corn after corn (no credit)
  const auto soyCredit = ia.Credit("Soybeans", none);
  ASSERT_TRUE(soyCredit);
  EXPECT_EQ(Value(ia.N("Corn, grain", none, soyCredit)), 140);  // corn after soybean
  TRecVars alfalfa;
  alfalfa.Set("PctLegume", 70);
  EXPECT_EQ(Value(ia.N("Corn, grain", none, ia.Credit("Alfalfa, established", alfalfa))), 0);
}

TEST(IowaCases, PhosphorusByTestMethodAndClass) {
  TStateFile ia("ia");
  ASSERT_TRUE(ia.Loaded) << ia.Message;
  TRecVars low;  // Bray-P1 12 ppm: Low (9-15), Table 3 corn 75 lb P2O5
  low.Set("P", 12).Set("PTestDef", 1).Set("YldGoal", 200);
  EXPECT_EQ(Value(ia.P("Corn, grain", low)), 75);
  TRecVars veryLow;  // Bray-P1 6 ppm: Very low (0-8), 100 lb P2O5
  veryLow.Set("P", 6).Set("YldGoal", 200);
  EXPECT_EQ(Value(ia.P("Corn, grain", veryLow)), 100);
  TRecVars optimum;  // Bray-P1 18 ppm: Optimum, removal 0.32 lb P2O5/bu (Table 2) x 200 bu
  optimum.Set("P", 18).Set("YldGoal", 200);
  EXPECT_EQ(Value(ia.P("Corn, grain", optimum)), 64);
  TRecVars icp;  // Mehlich-3 ICP 18 ppm is Low (16-25), not Optimum as with Bray
  icp.Set("P", 18).Set("PTestDef", 3).Set("YldGoal", 200);
  EXPECT_EQ(Value(ia.P("Corn, grain", icp)), 75);
  TRecVars olsen;  // Olsen 8 ppm: Low, Table 4 soybean 60 lb P2O5
  olsen.Set("P", 8).Set("PTestDef", 4).Set("YldGoal", 60);
  EXPECT_EQ(Value(ia.P("Soybeans", olsen)), 60);
  TRecVars noGoal;  // the Optimum class needs the yield for removal
  noGoal.Set("P", 18);
  EXPECT_FALSE(ia.P("Corn, grain", noGoal).Value);
}

TEST(IowaCases, PotassiumByClass) {
  TStateFile ia("ia");
  ASSERT_TRUE(ia.Loaded) << ia.Message;
  TRecVars medium;  // K 180 ppm: Optimum (161-200), removal 0.22 lb K2O/bu x 200 bu
  medium.Set("K", 180).Set("YldGoal", 200);
  EXPECT_EQ(Value(ia.K("Corn, grain", medium)), 44);
  TRecVars low;  // K 140 ppm: Low (121-160), Table 4 soybean 90 lb K2O
  low.Set("K", 140).Set("YldGoal", 60);
  EXPECT_EQ(Value(ia.K("Soybeans", low)), 90);
  TRecVars high;  // K 230 ppm: High, none
  high.Set("K", 230).Set("YldGoal", 200);
  EXPECT_EQ(Value(ia.K("Corn, grain", high)), 0);
}

// Illinois Agronomy Handbook (24th ed.) ch. 8-9; soil tests in lb/a.
TEST(IllinoisCases, CornAfterSoybeanMrtnByRegion) {
  TStateFile il("il");
  ASSERT_TRUE(il.Loaded) << il.Message;
  const int expected[] = {160, 169, 188};  // north, central, south
  for (int region = 1; region <= 3; ++region) {
    TRecVars rec;
    rec.Set("RecRegion", region);
    EXPECT_EQ(Value(il.N("Corn, grain", rec, il.Credit("Soybeans", rec))), expected[region - 1]) << region;
  }
}

TEST(IllinoisCases, BuildupAndMaintenance) {
  TStateFile il("il");
  ASSERT_TRUE(il.Loaded) << il.Message;
  TRecVars p;  // P1 30 lb/a, medium P-supplying power (goal 45): (45-30) x 9 / 4 years + 0.37 x 200 bu
  p.Set("P", 30).Set("MiscA", 2).Set("YldGoal", 200);
  EXPECT_EQ(Value(il.P("Corn, grain", p)), 34 + 74);
  p.Set("P", 55);  // between the goal and the maintenance limit (65): removal only
  EXPECT_EQ(Value(il.P("Corn, grain", p)), 74);
  p.Set("P", 80);  // above the maintenance limit
  EXPECT_EQ(Value(il.P("Corn, grain", p)), 0);
  TRecVars k;  // K 220 lb/a, CEC 15 (goal 300): (300-220) x 4 / 4 years + 0.27 x 200 bu
  k.Set("K", 220).Set("CEC", 15).Set("YldGoal", 200);
  EXPECT_EQ(Value(il.K("Corn, grain", k)), 80 + 54);
  TRecVars noRegion;  // without the soil's P-supplying power there is no P recommendation
  noRegion.Set("P", 30).Set("YldGoal", 200);
  EXPECT_FALSE(il.P("Corn, grain", noRegion).Value);
}

// Minnesota: UMN AG-FO-3790 Fertilizing corn in Minnesota, Tables 1 and 3 and the P and K equations.
TEST(MinnesotaCases, CornNitrogen) {
  TStateFile mn("mn");
  ASSERT_TRUE(mn.Loaded) << mn.Message;
  TRecVars none;
  EXPECT_EQ(Value(mn.N("Corn, grain", none)), 165);  // corn after corn MRTN at 0.10
  TRecVars nitrate;  // 50 lb/a NO3-N in 0-24 in.: subtract 0.6 x 50
  nitrate.Set("NO3N", 50);
  EXPECT_EQ(Value(mn.N("Corn, grain", nitrate)), 135);
  TRecVars good, poor;
  good.Set("PctLegume", 60);
  poor.Set("PctLegume", 10);
  EXPECT_EQ(Value(mn.N("Corn, grain", none, mn.Credit("Alfalfa, established", good))), 15);   // 165 - 150
  EXPECT_EQ(Value(mn.N("Corn, grain", none, mn.Credit("Alfalfa, established", poor))), 115);  // 165 - 50
}

TEST(MinnesotaCases, CornPhosphorusAndPotassiumEquations) {
  TStateFile mn("mn");
  ASSERT_TRUE(mn.Loaded) << mn.Message;
  TRecVars bray;  // (0.700 - 0.035 x 8) x 180 bu = 75.6
  bray.Set("P", 8).Set("YldGoal", 180);
  EXPECT_EQ(Value(mn.P("Corn, grain", bray)), 76);
  TRecVars olsen;  // (0.700 - 0.044 x 6) x 180 bu = 78.5
  olsen.Set("P", 6).Set("PTestDef", 2).Set("YldGoal", 180);
  EXPECT_EQ(Value(mn.P("Corn, grain", olsen)), 78);
  TRecVars k;  // (1.166 - 0.0073 x 100) x 180 bu = 78.5
  k.Set("K", 100).Set("YldGoal", 180);
  EXPECT_EQ(Value(mn.K("Corn, grain", k)), 78);
  k.Set("K", 170);  // very high: none
  EXPECT_EQ(Value(mn.K("Corn, grain", k)), 0);
}

// Wisconsin: UW A2809 (2012), corn N by soil and previous crop, P classes by soil group.
TEST(WisconsinCases, CornAfterAlfalfaAndSoybean) {
  TStateFile wi("wi");
  ASSERT_TRUE(wi.Loaded) << wi.Message;
  TRecVars fine;
  fine.Set("MiscB", 1);
  TRecVars stand = fine;
  stand.Set("PctLegume", 70);  // > 4 plants/sq ft: 190 lb N/a credit, more than the MRTN of 165
  EXPECT_EQ(Value(wi.N("Corn, grain", fine, wi.Credit("Alfalfa, established", stand))), 0);
  EXPECT_EQ(Value(wi.N("Corn, grain", fine)), 165);
  EXPECT_EQ(Value(wi.N("Corn, grain", fine, wi.Credit("Soybeans", fine))), 125);
}

TEST(WisconsinCases, PhosphorusClassesBySoilGroup) {
  TStateFile wi("wi");
  ASSERT_TRUE(wi.Loaded) << wi.Message;
  TRecVars loamy;  // loamy soil, Bray 12 ppm: Low (10-15): removal 0.38 x 180 + 15
  loamy.Set("P", 12).Set("MiscA", 1).Set("YldGoal", 180);
  EXPECT_EQ(Value(wi.P("Corn, grain", loamy)), 83);
  TRecVars sandy;  // sandy soil, 25 ppm: Optimum (23-32): removal
  sandy.Set("P", 25).Set("MiscA", 5).Set("YldGoal", 180);
  EXPECT_EQ(Value(wi.P("Corn, grain", sandy)), 68);
  sandy.Set("MiscA", 1);  // the same test on a loamy soil is High: half of removal
  EXPECT_EQ(Value(wi.P("Corn, grain", sandy)), 34);
}

// Alabama: Auburn AAES Series 324B (2012), ratings by soil group, P and K requirement levels.
TEST(AlabamaCases, RatingsBySoilGroup) {
  TStateFile al("al");
  ASSERT_TRUE(al.Loaded) << al.Message;
  TRecVars corn;  // soil group 2, P 10 lb/a: Low, level 2: 90 lb P2O5
  corn.Set("P", 10).Set("MiscA", 2);
  EXPECT_EQ(Value(al.P("Corn, grain", corn)), 90);
  TRecVars cotton;  // soil group 1, K 50 lb/a: Medium, K level 3: 60 lb K2O
  cotton.Set("K", 50).Set("MiscA", 1);
  EXPECT_EQ(Value(al.K("Cotton", cotton)), 60);
  cotton.Set("MiscA", 3);  // the same test on a clay soil is Low: 90
  EXPECT_EQ(Value(al.K("Cotton", cotton)), 90);
  TRecVars irrigated;
  irrigated.Set("IrrWater", 8);
  EXPECT_EQ(Value(al.N("Corn, grain", irrigated)), 200);
  EXPECT_EQ(Value(al.N("Peanuts", irrigated)), 0);
}

// Georgia: UGA Soil Test Handbook (SB 62), corn: 180 lb N for 150 bu plus 12 lb N, 6 lb P2O5 and
// 10 lb K2O per extra 10 bu; ratings by region.
TEST(GeorgiaCases, CornByYieldGoalAndRegion) {
  TStateFile ga("ga");
  ASSERT_TRUE(ga.Loaded) << ga.Message;
  TRecVars rec;
  rec.Set("YldGoal", 200);
  EXPECT_EQ(Value(ga.N("Corn, grain", rec)), 240);
  TRecVars coastal = rec;  // Coastal Plain P 40 lb/a: Medium, 60 + 5 x 6
  coastal.Set("P", 40).Set("RecRegion", 1);
  EXPECT_EQ(Value(ga.P("Corn, grain", coastal)), 90);
  TRecVars piedmont = rec;  // Piedmont K 100 lb/a: Medium, 80 + 5 x 10
  piedmont.Set("K", 100).Set("RecRegion", 2);
  EXPECT_EQ(Value(ga.K("Corn, grain", piedmont)), 130);
  piedmont.Set("K", 65);  // Piedmont Low (0-70): 120 + 5 x 10
  EXPECT_EQ(Value(ga.K("Corn, grain", piedmont)), 170);
  piedmont.Set("MiscA", 1);  // the soil's region wins over the county's: Coastal Plain Medium (61-130)
  EXPECT_EQ(Value(ga.K("Corn, grain", piedmont)), 130);
  // County regions: Sumter (Coastal Plain), Hall (Piedmont).
  EXPECT_EQ(ga.Db.GetFieldInteger(kfCntyRegion, ga.Db.FindFieldRow(kfCntyCode, "261")), 1);
  EXPECT_EQ(ga.Db.GetFieldInteger(kfCntyRegion, ga.Db.FindFieldRow(kfCntyCode, "139")), 2);
}

}  // namespace
