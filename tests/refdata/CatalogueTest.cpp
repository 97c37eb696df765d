// Checks the shipped input definition file (stnd-usa.mdf, compiled at build time) against the
// rules the program relies on: well-known codes, complete crop coverage, category layout,
// field limits, the code rules of the older-file conversion and the manure import words.
#include <gtest/gtest.h>

#include <bit>
#include <set>
#include <string>

#include "reference/MdfFile.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

namespace {

const std::string kMdfPath = std::string(TESSEREL_RUNTIME_DIR) + "/stnd-usa.mdf";

class CatalogueTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    mdf_ = new TMdfFile;
    loaded_ = mdf_->LoadForCountry(kMdfPath, 1);
  }
  static void TearDownTestSuite() {
    delete mdf_;
    mdf_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(loaded_) << mdf_->FullErrorText(); }

  static std::vector<int> CurrentCrops() {
    std::vector<int> crops;
    for (int i = 0; i < kCropCount; ++i)
      if (IsCurrentCrop(CropAtIndex(i).Code)) crops.push_back(CropAtIndex(i).Code);
    return crops;
  }
  // True when an input of the category with the given kind is allowed for the crop.
  static bool HasKindForCrop(int category, int kind, int crop) {
    for (int i = 1; i <= mdf_->InputCount(); ++i) {
      TMdfInputRec rec = mdf_->GetInput(i);
      if (rec.Code / 1000 == category && rec.Kind == kind && (rec.CropMask & CropBit(crop))) return true;
    }
    return false;
  }
  static int CountCategory(int category) {
    int n = 0;
    for (int i = 1; i <= mdf_->InputCount(); ++i) n += mdf_->GetInput(i).Code / 1000 == category;
    return n;
  }

  static TMdfFile* mdf_;
  static bool loaded_;
};

TMdfFile* CatalogueTest::mdf_ = nullptr;
bool CatalogueTest::loaded_ = false;

TEST_F(CatalogueTest, HeaderIsCurrentVersionForTheUnitedStates) {
  EXPECT_EQ(mdf_->Header().Version, 4);
  EXPECT_EQ(mdf_->Country(), 1);
  EXPECT_NE(mdf_->ReleaseDate(), 0);
  EXPECT_GT(mdf_->InputCount(), 300);
  EXPECT_LE(mdf_->InputCount(), 1000);
}

TEST_F(CatalogueTest, CategoriesAreContiguousAscendingAndComplete) {
  int previous = 0;
  std::set<int> codes, categories;
  for (int i = 1; i <= mdf_->InputCount(); ++i) {
    const int code = mdf_->GetInput(i).Code;
    const int category = code / 1000;
    EXPECT_GE(category, 1) << code;
    EXPECT_LE(category, 7) << code;
    EXPECT_GE(category, previous) << "input " << code << " breaks the category order";
    EXPECT_TRUE(codes.insert(code).second) << "code " << code << " appears twice";
    previous = category;
    categories.insert(category);
  }
  EXPECT_EQ(categories.size(), 7u);
}

TEST_F(CatalogueTest, EveryRecordFitsItsFields) {
  const uint32_t current = [] {
    uint32_t mask = 0;
    for (int crop : CurrentCrops()) mask |= CropBit(crop);
    return mask;
  }();
  for (int i = 1; i <= mdf_->InputCount(); ++i) {
    TMdfInputRec rec = mdf_->GetInput(i);
    const std::string name = rec.Name.Str();
    SCOPED_TRACE(std::to_string(rec.Code) + " " + name);
    EXPECT_FALSE(name.empty());
    EXPECT_LE(rec.Name.len, 30);
    EXPECT_TRUE(IsUnitCode(rec.CostUnit)) << rec.CostUnit;
    EXPECT_TRUE(IsUnitCode(rec.AppUnit)) << rec.AppUnit;
    EXPECT_NE(rec.CropMask, 0u);
    EXPECT_EQ(rec.CropMask & ~current, 0u) << "mask names a crop that cannot be grown";
    EXPECT_EQ(rec.CropMask >> 31, 0u) << "mask bit above 31";
    EXPECT_GE(float(rec.Cost), 0.0f);
  }
}

TEST_F(CatalogueTest, EveryCurrentCropHasSeedPricesAndHauling) {
  for (int crop : CurrentCrops()) {
    SCOPED_TRACE(CropName(crop));
    for (int code : {TMdfFile::SeedCode(crop), TMdfFile::PriceCode(crop, true), TMdfFile::PriceCode(crop, false),
                     TMdfFile::HaulingCode(crop)}) {
      ASSERT_NE(mdf_->FindInput(code), 0) << "missing code " << code;
      EXPECT_TRUE(mdf_->InputCropMask(code) & CropBit(crop)) << code;
    }
    // Prices and hauling are charged per unit of the crop's yield: one unit for all three.
    const int yieldUnit = mdf_->InputCostUnit(TMdfFile::PriceCode(crop, true));
    EXPECT_EQ(mdf_->InputCostUnit(TMdfFile::PriceCode(crop, false)), yieldUnit);
    EXPECT_EQ(mdf_->InputCostUnit(TMdfFile::HaulingCode(crop)), yieldUnit);
    EXPECT_GT(mdf_->InputCost(TMdfFile::PriceCode(crop, false)), 0.0f);
    const int drying = TMdfFile::DryingCode(crop);
    if (mdf_->FindInput(drying) != 0) {
      EXPECT_TRUE(HasHarvestMoisture(crop));
      const int unit = mdf_->InputCostUnit(drying);
      EXPECT_TRUE(unit == unPctBushel || unit == unPctCwt) << "drying is charged per point and unit";
    }
  }
}

TEST_F(CatalogueTest, YieldUnitsMatchHowYieldsAreComputed) {
  // Grain yields are bushels, sunflowers and dry beans hundredweight, beets and silage tons,
  // cotton lint pounds.
  for (int crop : {1, 2, 3, 4, 5, 6, 13}) EXPECT_EQ(mdf_->InputCostUnit(1600 + crop), unBushel) << crop;
  for (int crop : {7, 8, 9}) EXPECT_EQ(mdf_->InputCostUnit(1600 + crop), unCwt) << crop;
  for (int crop : {10, 19}) EXPECT_EQ(mdf_->InputCostUnit(1600 + crop), unTon) << crop;
  EXPECT_EQ(mdf_->InputCostUnit(1612), unPound);
  // Cotton's second product, the seed, has both prices in pounds like its secondary yield.
  for (int code : {1312, 1412}) {
    ASSERT_NE(mdf_->FindInput(code), 0) << code;
    EXPECT_EQ(mdf_->InputCostUnit(code), unPound);
    EXPECT_EQ(mdf_->InputCropMask(code), CropBit(crCotton));
  }
}

TEST_F(CatalogueTest, SeedIsPricedPerSeedUnitOfTheCrop) {
  // The worksheet multiplies the rate in seed units by the seed cost.
  EXPECT_EQ(mdf_->InputCostUnit(1101), unBag80K);
  EXPECT_EQ(mdf_->InputCostUnit(1119), unBag80K);
  EXPECT_EQ(mdf_->InputCostUnit(1107), unBag100K);
  for (int crop : {3, 4, 5, 13}) EXPECT_EQ(mdf_->InputCostUnit(1100 + crop), unBushel) << crop;
  for (int crop : {8, 9}) EXPECT_EQ(mdf_->InputCostUnit(1100 + crop), unCwt) << crop;
  for (int crop : {6, 12, 14, 15, 16, 17, 18}) EXPECT_EQ(mdf_->InputCostUnit(1100 + crop), unBag50Lb) << crop;
}

TEST_F(CatalogueTest, WellKnownMiscellaneousAndNutrientCodesExist) {
  for (int code : {1001, 1002, 1004, 1005, 1006, 1007}) EXPECT_NE(mdf_->FindInput(code), 0) << code;
  EXPECT_EQ(mdf_->InputCostUnit(1002), unPercent);
  for (int form = 1; form <= 5; ++form)
    for (int k = 0; k < 3; ++k) {
      const int code = 1998 + 3 * form + k;
      ASSERT_NE(mdf_->FindInput(code), 0) << code;
      EXPECT_EQ(mdf_->InputCostUnit(code), unPound) << code;
      EXPECT_GT(mdf_->InputCost(code), 0.0f) << code;
    }
  // Removal values use the gas N, dry P2O5 and dry K2O prices per pound.
  EXPECT_FLOAT_EQ(mdf_->AppToCostFactor(2001, unPound), 1.0f);
  EXPECT_GT(mdf_->NRemovalValue(crCorn), 0.0f);
  EXPECT_GT(mdf_->PRemovalValue(crSoybeans), 0.0f);
}

TEST_F(CatalogueTest, CropChargesPremiumsAndTraits) {
  EXPECT_GT(mdf_->CountCropCharges(crCorn), 0);
  EXPECT_GT(mdf_->CountCropCharges(crSoybeans), 0);
  EXPECT_GT(mdf_->CountPremiums(crCorn), 0);
  EXPECT_GT(mdf_->CountPremiums(crSoybeans), 0);
  EXPECT_GT(mdf_->CountTraits(crCorn), 0);
  EXPECT_GT(mdf_->CountTraits(crCotton), 0);
  // The older-file conversion turns a technology fee input into trait 1954.
  ASSERT_NE(mdf_->FindInput(1954), 0);
  EXPECT_TRUE(mdf_->InputName(1954).ends_with(" FEE"));
  EXPECT_GT(mdf_->TraitPosition(crCorn, 1954), 0);
  EXPECT_GT(mdf_->TraitPosition(crSoybeans, 1954), 0);
  int fees = 0;
  for (int code = 1951; code <= 1999; ++code)
    if (mdf_->FindInput(code) && mdf_->InputName(code).ends_with(" FEE")) ++fees;
  EXPECT_GE(fees, 10);
}

TEST_F(CatalogueTest, PesticideAndOperationCounts) {
  EXPECT_GE(CountCategory(4), 60);
  EXPECT_GE(CountCategory(5), 25);
  EXPECT_GE(CountCategory(6), 60);
}

TEST_F(CatalogueTest, CodesOfTheOlderFileConversionExist) {
  for (int code : {4004, 4036, 4059, 4097, 4100, 4139, 4142, 4150}) EXPECT_NE(mdf_->FindInput(code), 0) << code;
  // Old rates of these three were kept in dry ounces.
  for (int code : {4139, 4142, 4150}) EXPECT_EQ(mdf_->InputAppUnit(code), unDryOunce) << code;
  // Old pint rates of 4036 are stored with an explicit pint unit, which must convert.
  EXPECT_NE(UnitFactor(unPint, mdf_->InputCostUnit(4036)), 1.0f);
  // The hay operations the old per-crop operations became.
  for (int code = 6150; code <= 6153; ++code) {
    ASSERT_NE(mdf_->FindInput(code), 0) << code;
    EXPECT_TRUE(mdf_->InputCropMask(code) & CropBit(18)) << code;
  }
  // Old codes that are translated or dropped must not come back with a new meaning.
  for (int code : {4000, 4095, 4096, 4127, 4133, 7014}) EXPECT_EQ(mdf_->FindInput(code), 0) << code;
  for (int code = 6067; code <= 6087; ++code) EXPECT_EQ(mdf_->FindInput(code), 0) << code;
}

TEST_F(CatalogueTest, EveryCurrentCropHasPlantingAndHarvestOperations) {
  for (int crop : CurrentCrops()) {
    EXPECT_TRUE(HasKindForCrop(6, 1, crop)) << "no planting operation for " << CropName(crop);
    EXPECT_TRUE(HasKindForCrop(6, 2, crop)) << "no harvest operation for " << CropName(crop);
  }
}

TEST_F(CatalogueTest, FertilizerMaterialsAndManuresOfEveryAnimalGroup) {
  const uint32_t all = CropBit(crCorn) | CropBit(crSoybeans);
  EXPECT_GT(mdf_->CountInputs(3, itMaterial, all), 5);
  EXPECT_GT(mdf_->CountInputs(3, itManure, all), 9);
  for (int kind = 1; kind <= 9; ++kind) EXPECT_TRUE(HasKindForCrop(3, kind, crCorn)) << "animal group " << kind;
}

TEST_F(CatalogueTest, ManureNamesCarryTheWordsThePlanImportMatches) {
  struct TRule {
    int group;
    const char* word;
  };
  const TRule rules[] = {{1, "lagoon"}, {1, "liq"},    {1, "w/bed"}, {1, "w/o bed"}, {2, "lagoon"},
                         {2, "liq"},    {2, "w/o bed"}, {2, "w/bed"}, {3, "liq"},     {3, "w/lit"},
                         {3, "pit"},    {4, "lagoon"},  {4, "liq"},   {4, "dirt lot"}, {4, "w/bed"},
                         {5, "w/lit"},  {5, "w/o lit"}, {6, "w/bed"}, {6, "w/o bed"}, {8, "liq"}};
  for (const TRule& rule : rules) {
    bool found = false;
    for (int i = 1; i <= mdf_->InputCount() && !found; ++i) {
      TMdfInputRec rec = mdf_->GetInput(i);
      found = rec.Code / 1000 == 3 && rec.Kind == rule.group && rec.Name.Str().find(rule.word) != std::string::npos;
    }
    EXPECT_TRUE(found) << "group " << rule.group << " has no manure named with \"" << rule.word << "\"";
  }
}

TEST_F(CatalogueTest, OtherInputsCoverEveryCostGroupAndIrrigation) {
  for (int group : {0, 3, 4, 5, 6}) EXPECT_TRUE(HasKindForCrop(7, group, crCorn)) << "cost group " << group;
  ASSERT_NE(mdf_->FindInput(7002), 0);
  EXPECT_EQ(mdf_->InputAppUnit(7002), unInch);
  EXPECT_EQ(mdf_->InputKind(7002), 0);
}

}  // namespace
