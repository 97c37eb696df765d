// Worked cases from the state publications, computed by the nutrient engine from field records.
#include "ShippedStates.h"

namespace {

class WorkedCases : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(States.Ok) << States.Message; }
  TStateCase Case(const std::string& abbr) { return TStateCase(States, abbr); }
  TShippedStates States;
};

// Iowa: ISU PM 1688 (rev. 2013) Tables 1-4 and 9-12; corn N from the ISU Corn N Rate Calculator
// (MRTN at a 0.10 N:corn price ratio), where the rate after soybean already holds the rotation effect.
TEST_F(WorkedCases, IowaCornNitrogenByPreviousCrop) {
  EXPECT_EQ(Case("ia").Crop("Corn, grain").N(), 190);  // corn after corn (no credit)
  EXPECT_EQ(Case("ia").Crop("Corn, grain").After("Soybeans").N(), 140);
  EXPECT_EQ(Case("ia").Crop("Corn, grain").After("Alfalfa, established", 70).N(), 0);
}

TEST_F(WorkedCases, IowaPhosphorusAndPotassiumByTestMethodAndClass) {
  auto corn = [this] { return Case("ia").Crop("Corn, grain").Goal(200); };
  EXPECT_EQ(corn().P(12, 1).P2O5(), 75);   // Bray-P1 Low (9-15), Table 3
  EXPECT_EQ(corn().P(6).P2O5(), 100);      // Very low (0-8)
  EXPECT_EQ(corn().P(18).P2O5(), 64);      // Optimum: removal 0.32 lb P2O5/bu x 200 bu
  EXPECT_EQ(corn().P(18, 3).P2O5(), 75);   // Mehlich-3 ICP 18 ppm is Low (16-25)
  EXPECT_EQ(Case("ia").Crop("Soybeans").Goal(60).P(8, 4).P2O5(), 60);  // Olsen Low, Table 4
  EXPECT_FALSE(Case("ia").Crop("Corn, grain").P(18).P2O5());  // Optimum needs the yield for removal
  EXPECT_EQ(corn().K(180).K2O(), 44);      // K Optimum (161-200): 0.22 x 200 bu
  EXPECT_EQ(Case("ia").Crop("Soybeans").Goal(60).K(140).K2O(), 90);  // Low (121-160)
  EXPECT_EQ(corn().K(230).K2O(), 0);       // High
}

// Forages: the Very low and Low classes never get less than the removal that Optimum gets at the
// same yield goal; corn silage removes 3.5 lb P2O5 and 9.0 lb K2O per ton (65 % moisture).
TEST_F(WorkedCases, IowaForagesBuildUpNeverBelowMaintenance) {
  auto alfalfa = [this] { return Case("ia").Crop("Alfalfa, established").Goal(5); };
  EXPECT_EQ(alfalfa().K(180).K2O(), 245);  // Optimum: 49 x 5 t
  EXPECT_EQ(alfalfa().K(140).K2O(), 245);  // Low: the published 170, raised to removal
  EXPECT_EQ(alfalfa().K(100).K2O(), 245);  // Very low: 220, raised to removal
  EXPECT_EQ(Case("ia").Crop("Alfalfa, established").Goal(3).K(100).K2O(), 220);  // 220 above 147
  auto silage = [this] { return Case("ia").Crop("Corn, silage").Goal(25); };
  EXPECT_EQ(silage().P(18).P2O5(), 88);    // 3.5 x 25, rounded
  EXPECT_EQ(silage().K(180).K2O(), 225);   // 9.0 x 25
  EXPECT_EQ(silage().K(140).K2O(), 225);   // Low 130, raised to removal
}

// Illinois Agronomy Handbook (24th ed.) ch. 8-9; soil tests in lb/a.
TEST_F(WorkedCases, IllinoisCornAfterSoybeanMrtnByRegion) {
  const int expected[] = {160, 169, 188};  // north, central, south
  for (int region = 1; region <= 3; ++region)
    EXPECT_EQ(Case("il").Crop("Corn, grain").After("Soybeans").Region(region).N(), expected[region - 1]) << region;
}

TEST_F(WorkedCases, IllinoisBuildupAndMaintenance) {
  auto corn = [this] { return Case("il").Crop("Corn, grain").Goal(200); };
  // P1 30 lb/a, medium P-supplying power (goal 45): (45-30) x 9 / 4 years + 0.37 x 200 bu
  EXPECT_EQ(corn().Soil(2).P(30).P2O5(), 34 + 74);
  EXPECT_EQ(corn().Soil(2).P(55).P2O5(), 74);  // between the goal and the maintenance limit (65)
  EXPECT_EQ(corn().Soil(2).P(80).P2O5(), 0);   // above the maintenance limit
  // K 220 lb/a, CEC 15 (goal 300): (300-220) x 4 / 4 years + 0.24 x 200 bu (2019 grain survey)
  EXPECT_EQ(corn().Cec(15).K(220).K2O(), 80 + 48);
  EXPECT_EQ(Case("il").Crop("Soybeans").Goal(60).Cec(15).K(220).K2O(), 80 + 70);  // 1.17 x 60 bu
  EXPECT_FALSE(corn().P(30).P2O5());  // without the soil's P-supplying power there is none
}

// Missouri: the handbook builds K over eight years, to 220 + 5 CEC for the row crops (Table XII) and
// to 160 + 5 CEC for the grass hay (Table XI, which crops take it provisional).
TEST_F(WorkedCases, MissouriPotassiumBuildUpOverEightYears) {
  EXPECT_EQ(Case("mo").Crop("Corn, grain").Goal(170).Cec(15).K(215).K2O(), 10 + 46);  // (295-215)/8 + 0.27 x 170
  EXPECT_EQ(Case("mo").Crop("Grass hay").Goal(3).Cec(15).K(240).K2O(), 135);          // 235 reached: 45 x 3
  EXPECT_EQ(Case("mo").Crop("Grass hay").Goal(3).Cec(15).K(155).K2O(), 10 + 135);     // (235-155)/8 + removal
}

// Nebraska: on sands and sandy loams the N tool takes OM 1 % and a 35 lb soybean credit, on sands
// and loamy sands 1.5 ppm nitrate, where the record has none; 200 bu corn after soybean.
TEST_F(WorkedCases, NebraskaCornNitrogenDefaultsByTexture) {
  auto corn = [this](int texture) { return Case("ne").Crop("Corn, grain").Goal(200).After("Soybeans").Texture(texture); };
  EXPECT_EQ(corn(14).N(), 35 + 240 - 24 - 56 - 45);   // silt loam: OM 2, nitrate 3 ppm
  EXPECT_EQ(corn(10).N(), 35 + 240 - 24 - 28 - 35);   // sandy loam: OM 1
  EXPECT_EQ(corn(6).N(), 35 + 240 - 12 - 28 - 35);    // loamy sand: and nitrate 1.5 ppm
  // At the critical level no P and no K, for both alike (Bray-1 15, K 125 ppm).
  EXPECT_EQ(Case("ne").Crop("Corn, grain").P(15, 1).P2O5(), 0);
  EXPECT_EQ(Case("ne").Crop("Corn, grain").P(14, 1).P2O5(), 40);
  EXPECT_EQ(Case("ne").Crop("Corn, grain").K(125).K2O(), 0);
}

// Minnesota: UMN AG-FO-3790 Fertilizing corn in Minnesota, Tables 1 and 3 and the P and K equations.
TEST_F(WorkedCases, MinnesotaCorn) {
  EXPECT_EQ(Case("mn").Crop("Corn, grain").N(), 165);                // corn after corn MRTN at 0.10
  EXPECT_EQ(Case("mn").Crop("Corn, grain").Nitrate(50).N(), 135);    // less 0.6 x 50 lb/a NO3-N
  EXPECT_EQ(Case("mn").Crop("Corn, grain").After("Alfalfa, established", 60).N(), 15);   // 165 - 150
  EXPECT_EQ(Case("mn").Crop("Corn, grain").After("Alfalfa, established", 10).N(), 115);  // 165 - 50
  auto corn = [this] { return Case("mn").Crop("Corn, grain").Goal(180); };
  EXPECT_EQ(corn().P(8).P2O5(), 76);     // (0.700 - 0.035 x 8) x 180 bu = 75.6
  EXPECT_EQ(corn().P(6, 2).P2O5(), 78);  // Olsen: (0.700 - 0.044 x 6) x 180 bu = 78.5
  EXPECT_EQ(corn().K(100).K2O(), 78);    // (1.166 - 0.0073 x 100) x 180 bu = 78.5
  EXPECT_EQ(corn().K(170).K2O(), 0);     // very high
}

// Minnesota alfalfa potash is given per yield goal: medium (81-120 ppm) at 6 t/a is 100 to 140 lb.
TEST_F(WorkedCases, MinnesotaAlfalfaPotashByYieldGoal) {
  auto alfalfa = [this](double goal) { return Case("mn").Crop("Alfalfa, established").Goal(goal); };
  EXPECT_EQ(alfalfa(6).K(100).K2O(), 120);
  EXPECT_EQ(alfalfa(4).K(100).K2O(), 80);
  EXPECT_EQ(alfalfa(6).K(30).K2O(), 240);  // very low
  EXPECT_EQ(alfalfa(6).K(140).K2O(), 0);   // high
  EXPECT_FALSE(Case("mn").Crop("Alfalfa, established").K(100).K2O());  // needs the goal
}

// What the engine flags: Minnesota corn after corn is checked; after soybean it rests on the soybean
// credit, which is not; its P2O5 is not checked either.
TEST_F(WorkedCases, ProvisionalRatesAreFlaggedThroughTheCredit) {
  EXPECT_FALSE(Case("mn").Crop("Corn, grain").Provisional(rcN));
  EXPECT_TRUE(Case("mn").Crop("Corn, grain").After("Soybeans").Provisional(rcN));
  EXPECT_TRUE(Case("mn").Crop("Corn, grain").Goal(180).P(8).Provisional(rcP2O5));
  EXPECT_FALSE(Case("il").Crop("Corn, grain").Goal(200).Cec(15).K(220).Provisional(rcK2O));
}

// Wisconsin: UW A2809 (2012), corn N by soil and previous crop, P classes by soil group.
TEST_F(WorkedCases, WisconsinCornAfterAlfalfaAndSoybean) {
  // > 4 plants/sq ft: 190 lb N/a credit, more than the MRTN of 165 on a fine-textured soil
  EXPECT_EQ(Case("wi").Crop("Corn, grain").Soil(0, 1).After("Alfalfa, established", 70).N(), 0);
  EXPECT_EQ(Case("wi").Crop("Corn, grain").Soil(0, 1).N(), 165);
  EXPECT_EQ(Case("wi").Crop("Corn, grain").Soil(0, 1).After("Soybeans").N(), 125);
}

TEST_F(WorkedCases, WisconsinClassesBySoilGroupAndDemandLevel) {
  auto corn = [this](int soil) { return Case("wi").Crop("Corn, grain").Goal(180).Soil(soil); };
  EXPECT_EQ(corn(1).P(12).P2O5(), 83);  // loamy Bray 12 ppm: Low (10-15): 0.38 x 180 + 15
  EXPECT_EQ(corn(5).P(25).P2O5(), 68);  // sandy 25 ppm: Optimum (23-32): removal
  EXPECT_EQ(corn(1).P(25).P2O5(), 34);  // the same test on a loamy soil is High: half of removal
  // Alfalfa is a demand level 2 crop: loamy P Low 12-17, Optimum 18-25; K Low 90-110, Optimum 111-140.
  auto alfalfa = [this](int soil) { return Case("wi").Crop("Alfalfa, established").Goal(5).Soil(soil); };
  EXPECT_EQ(alfalfa(1).P(17).P2O5(), 13 * 5 + 15);  // Low (demand level 1 would call it High)
  EXPECT_EQ(alfalfa(1).P(18).P2O5(), 13 * 5);       // Optimum
  EXPECT_EQ(alfalfa(1).P(11).P2O5(), 13 * 5 + 30);  // Very low
  EXPECT_EQ(alfalfa(1).K(100).K2O(), 60 * 5 + 30);  // Low
  EXPECT_EQ(alfalfa(1).K(140).K2O(), 60 * 5);       // Optimum
  EXPECT_EQ(alfalfa(1).K(150).K2O(), 60 * 5 / 2);   // High (141-170)
  EXPECT_EQ(alfalfa(5).P(30).P2O5(), 13 * 5);       // sandy P Optimum 26-37
  EXPECT_EQ(alfalfa(5).K(70).K2O(), 60 * 5 + 30);   // sandy K Low 50-80
  EXPECT_EQ(alfalfa(5).K(121).K2O(), 60 * 5 / 2);   // sandy K High 121-160
}

// Alabama: Auburn AAES Series 324B (2012), ratings by soil group, P and K requirement levels.
TEST_F(WorkedCases, AlabamaRatingsBySoilGroup) {
  EXPECT_EQ(Case("al").Crop("Corn, grain").Soil(2).P(10).P2O5(), 90);  // group 2, 10 lb/a: Low, level 2
  EXPECT_EQ(Case("al").Crop("Cotton").Soil(1).K(50).K2O(), 60);        // group 1: Medium, K level 3
  EXPECT_EQ(Case("al").Crop("Cotton").Soil(3).K(50).K2O(), 90);        // the same test on clay is Low
  EXPECT_EQ(Case("al").Crop("Corn, grain").Irrigated(8).N(), 200);
  EXPECT_EQ(Case("al").Crop("Peanuts").Irrigated(8).N(), 0);
}

// Georgia: UGA Soil Test Handbook (SB 62), corn: 180 lb N for 150 bu plus 12 lb N, 6 lb P2O5 and
// 10 lb K2O per extra 10 bu; ratings by region (the soil's region wins over the county's).
TEST_F(WorkedCases, GeorgiaCornByYieldGoalAndRegion) {
  auto corn = [this] { return Case("ga").Crop("Corn, grain").Goal(200); };
  EXPECT_EQ(corn().N(), 240);
  EXPECT_EQ(corn().Region(1).P(40).P2O5(), 90);   // Coastal Plain Medium: 60 + 5 x 6
  EXPECT_EQ(corn().Region(2).K(100).K2O(), 130);  // Piedmont Medium: 80 + 5 x 10
  EXPECT_EQ(corn().Region(2).K(65).K2O(), 170);   // Piedmont Low (0-70): 120 + 5 x 10
  EXPECT_EQ(corn().Region(2).Soil(1).K(65).K2O(), 130);  // Coastal Plain soil: Medium (61-130)
}

// UGA Coastal Bermuda hay sheet (037): Coastal Plain K 0-60, 61-150, 151-250; Piedmont P 0-20,
// 21-40, 41-75 and K 0-100, 101-200, 201-350 lb/A (Low, Medium, High); 200 to 400 lb N for 4 to 8 t/a.
TEST_F(WorkedCases, GeorgiaBermudagrassHayClassesByRegion) {
  auto hay = [this](int region) { return Case("ga").Crop("Bermudagrass hay").Goal(6).Soil(region); };
  EXPECT_EQ(hay(1).N(), 300);
  EXPECT_EQ(hay(1).K(150).K2O(), 100);  // Coastal Plain K Medium
  EXPECT_EQ(hay(1).K(151).K2O(), 50);   // High
  EXPECT_EQ(hay(2).P(40).P2O5(), 50);   // Piedmont P Medium
  EXPECT_EQ(hay(2).P(75).P2O5(), 25);   // High
  EXPECT_EQ(hay(2).K(100).K2O(), 150);  // Piedmont K Low
  EXPECT_EQ(hay(2).K(350).K2O(), 50);   // High
  EXPECT_EQ(hay(2).K(351).K2O(), 0);    // Very high
}

// UGA alfalfa sheets: Coastal Plain P 0-30, 31-60, 61-100 and K 0-70, 71-170, 171-275; Piedmont
// P 0-20, 21-40, 41-75 and K 0-120, 121-250, 251-400 lb/A (Low, Medium, High).
TEST_F(WorkedCases, GeorgiaAlfalfaClassesByRegion) {
  auto alfalfa = [this](int region) { return Case("ga").Crop("Alfalfa, established").Goal(5).Soil(region); };
  EXPECT_EQ(alfalfa(1).K(70).K2O(), 300);   // Coastal Plain Low
  EXPECT_EQ(alfalfa(1).K(170).K2O(), 200);  // Medium
  EXPECT_EQ(alfalfa(1).K(275).K2O(), 100);  // High
  EXPECT_EQ(alfalfa(1).K(276).K2O(), 0);    // Very high
  EXPECT_EQ(alfalfa(1).P(30).P2O5(), 150);  // Coastal Plain P Low
  EXPECT_EQ(alfalfa(2).P(20).P2O5(), 150);  // Piedmont P Low
  EXPECT_EQ(alfalfa(2).P(40).P2O5(), 100);  // Medium
  EXPECT_EQ(alfalfa(2).P(75).P2O5(), 50);   // High
  EXPECT_EQ(alfalfa(2).K(120).K2O(), 300);  // Piedmont K Low
  EXPECT_EQ(alfalfa(2).K(250).K2O(), 200);  // Medium
  EXPECT_EQ(alfalfa(2).K(400).K2O(), 100);  // High
  // County regions: Sumter (Coastal Plain), Hall (Piedmont).
  ASSERT_NE(States.Load("ga"), 0);
  EXPECT_EQ(States.Db().GetFieldInteger(qfRecRegion, States.Db().FindFieldRow(qfCntyCode, "261")), 1);
  EXPECT_EQ(States.Db().GetFieldInteger(qfRecRegion, States.Db().FindFieldRow(qfCntyCode, "139")), 2);
}

// Pennsylvania: Penn State Agronomy Guide Table 1.2-5, corn grain 1 lb N per bushel of expected
// yield less the previous legume's credit.
TEST_F(WorkedCases, PennsylvaniaCornNitrogenPerBushel) {
  EXPECT_EQ(Case("pa").Crop("Corn, grain").Goal(160).N(), 160);
  EXPECT_EQ(Case("pa").Crop("Corn, grain").Goal(160).After("Alfalfa, established", 60).N(), 10);
  EXPECT_FALSE(Case("pa").Crop("Corn, grain").N());  // needs the expected yield
}

// Tennessee: UT Fertility Recommendations for Tennessee Row Crops: Mehlich 3 P 25 ppm (50 lb/a) is
// Medium, and cotton on a Medium soil gets 60 lb P2O5.
TEST_F(WorkedCases, TennesseeCottonOnAMediumMehlich3Test) {
  EXPECT_EQ(Case("tn").Crop("Cotton").P(50, 2).P2O5(), 60);
}

// Texas: Texas Agricultural Extension Service Soil Testing Laboratory, pinto beans Table 3: N, P2O5
// and K2O by soil test level (Very low 60-80-100, Low 50-80-80, Medium 20-80-80, High none).
TEST_F(WorkedCases, TexasPintoBeansByTestLevel) {
  auto beans = [this] { return Case("tx").Crop("Dry beans, pinto"); };
  EXPECT_EQ(beans().N(), 60);
  EXPECT_EQ(beans().Nitrate(7).N(), 50);
  EXPECT_EQ(beans().Nitrate(15).N(), 20);
  EXPECT_EQ(beans().Nitrate(25).N(), 0);
  EXPECT_EQ(beans().P(30).P2O5(), 80);
  EXPECT_EQ(beans().P(60).P2O5(), 0);
  EXPECT_EQ(beans().K(40).K2O(), 100);
  EXPECT_EQ(beans().K(150).K2O(), 80);
  EXPECT_EQ(beans().K(200).K2O(), 0);
}

}  // namespace
