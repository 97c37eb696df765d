#include "reference/MdfFile.h"

#include <gtest/gtest.h>

#include "../support/RefSamples.h"
#include "../support/TempDir.h"
#include "vocab/UnitVocab.h"

namespace {

class MdfFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.File("stnd-usa.mdf");
    std::string message;
    ASSERT_TRUE(WriteMdfFile(path, SampleCatalogue(), message)) << message;
    ASSERT_TRUE(mdf.Load(path)) << mdf.FullErrorText();
  }

  // Loads a copy of the sample file changed by `edit`; returns the error state.
  int LoadEdited(void (*edit)(std::string& image)) {
    std::string image = ReadWholeFile(path);
    edit(image);
    const std::string edited = dir.File("edited.mdf");
    WriteWholeFile(edited, image);
    TMdfFile other;
    EXPECT_FALSE(other.Load(edited));
    EXPECT_EQ(other.InputCount(), 0);
    EXPECT_EQ(other.FindInput(4004), 0);
    return other.ErrorState;
  }

  TTempDir dir;
  std::string path;
  TMdfFile mdf;
};

}  // namespace

TEST_F(MdfFileTest, LoadsHeaderAndRecords) {
  EXPECT_EQ(mdf.InputCount(), 22);
  EXPECT_EQ(mdf.Country(), 1);
  EXPECT_EQ(mdf.ReleaseDate(), EncodeDay(2025, 1, 15));
  EXPECT_EQ(mdf.GetInput(1).Code, 1001);
  EXPECT_EQ(mdf.GetInput(22).Name.Str(), "Irrigation water");
  EXPECT_EQ(mdf.GetInput(23).Code, 0);
  EXPECT_EQ(mdf.ErrorState, esNone);
}

TEST_F(MdfFileTest, WrongVersionSizeAndCountryAreRefused) {
  EXPECT_EQ(LoadEdited([](std::string& i) { i[0] = 3; }), esVersion);
  EXPECT_EQ(LoadEdited([](std::string& i) { i[0] = 5; }), esVersion);
  EXPECT_EQ(LoadEdited([](std::string& i) { i += std::string(kMdfRecordSize, '\0'); }), esFormat);
  EXPECT_EQ(LoadEdited([](std::string& i) { i.resize(i.size() - kMdfRecordSize); }), esFormat);
  EXPECT_EQ(LoadEdited([](std::string& i) { i += 'x'; }), esFormat);
  TMdfFile other;
  EXPECT_FALSE(other.LoadForCountry(path, 2));
  EXPECT_EQ(other.ErrorText(), "Wrong country for file.");
  EXPECT_EQ(other.InputCount(), 0);
  EXPECT_EQ(other.InputName(4004), "");
  EXPECT_TRUE(other.LoadForCountry(path, 1));
  EXPECT_FALSE(other.Load(dir.File("missing.mdf")));
  EXPECT_EQ(other.ErrorText(), "Can't open file. File does not exist.");
}

TEST_F(MdfFileTest, MoreThanAThousandInputsAreRefusedAsDamaged) {
  // A header claiming 1001 inputs over a file of exactly that size.
  std::string image = ReadWholeFile(path);
  const std::string input = image.substr(kMdfRecordSize, kMdfRecordSize);
  image.resize(kMdfRecordSize);
  for (int i = 0; i < 1001; ++i) image += input;
  image[3] = static_cast<char>(1001 & 0xFF);
  image[4] = static_cast<char>(1001 >> 8);
  WriteWholeFile(path, image);
  TMdfFile big;
  EXPECT_FALSE(big.Load(path));
  EXPECT_EQ(big.ErrorText(), "File is wrong format or damaged.");
  image.resize(image.size() - kMdfRecordSize);
  image[3] = static_cast<char>(1000 & 0xFF);
  image[4] = static_cast<char>(1000 >> 8);
  WriteWholeFile(path, image);
  EXPECT_TRUE(big.Load(path)) << big.FullErrorText();
  EXPECT_EQ(big.InputCount(), 1000);
}

TEST_F(MdfFileTest, CodesOutsideTheCategoriesAreNeverFound) {
  EXPECT_EQ(mdf.FindInput(9001), 0);  // carried inside category 3, category 9
  EXPECT_EQ(mdf.InputName(9001), "");
  EXPECT_EQ(mdf.FindInput(3101), 16);  // after the stray record: category 3 goes on
  EXPECT_EQ(mdf.FindInput(3002), 17);
  EXPECT_EQ(mdf.FindInput(5001), 0);
  EXPECT_EQ(mdf.CountInputs(5, itAny, kAllCrops), 0);
  EXPECT_EQ(mdf.InputAtListPosition(1, 5, kAllCrops, itAny), 0);
  EXPECT_EQ(mdf.InputListPosition(5001, itAny, kAllCrops), 0);
  EXPECT_EQ(mdf.CountInputs(0, itAny, kAllCrops), 0);
  EXPECT_EQ(mdf.CountInputs(8, itAny, kAllCrops), 0);
}

TEST_F(MdfFileTest, LookupsByCode) {
  EXPECT_EQ(mdf.InputName(4004), "Atrazine 4L");
  EXPECT_EQ(mdf.InputCropMask(4004), kCornBit | kSorghumBit);
  EXPECT_EQ(mdf.InputCostUnit(4004), unGallon);
  EXPECT_EQ(mdf.InputAppUnit(4004), unQuart);
  EXPECT_EQ(mdf.InputAppUnitClass(4004), ucVolume);
  EXPECT_EQ(mdf.InputKind(6002), 2);
  EXPECT_EQ(mdf.InputUnitAbbrev(4004, true), "Gal");
  EXPECT_EQ(mdf.InputUnitAbbrev(4004, false), "Qt");
  EXPECT_EQ(mdf.InputCostUnitName(3001, true), "Ton");
  EXPECT_EQ(mdf.InputCostUnitName(1101, false), "80K Bag");
  EXPECT_EQ(mdf.RateUnitName(4004, unPint), "Pint");
  EXPECT_EQ(mdf.RateUnitName(4004, 0), "Quart");
  EXPECT_EQ(mdf.RateUnitName(4004, 27), "Quart");
  EXPECT_FLOAT_EQ(mdf.AppToCostFactor(4004, 0), 4);        // quarts in a gallon
  EXPECT_FLOAT_EQ(mdf.AppToCostFactor(4004, unPint), 8);
  EXPECT_FLOAT_EQ(mdf.AppToCostFactor(4004, unPound), 1);  // no weight-to-volume pair
  EXPECT_EQ(mdf.AppToCostFactor(4999, unPint), 1);         // not found: cost x rate
  EXPECT_EQ(mdf.TraitName(1954), "Herbicide tolerance");
  EXPECT_EQ(mdf.TraitName(1955), "Rootworm trait");
}

TEST_F(MdfFileTest, FilteredListsByTypeAndCrop) {
  EXPECT_EQ(mdf.CountInputs(3, itAny, kAllCrops), 3);
  EXPECT_EQ(mdf.CountInputs(3, itMaterial, kAllCrops), 2);
  EXPECT_EQ(mdf.CountInputs(3, itManure, kAllCrops), 1);
  EXPECT_EQ(mdf.CountInputs(3, itMaterial, kSoyBit), 1);  // gypsum only for corn
  EXPECT_EQ(mdf.InputAtListPosition(2, 3, kAllCrops, itMaterial), 3002);
  EXPECT_EQ(mdf.InputAtListPosition(1, 3, kAllCrops, itManure), 3101);
  EXPECT_EQ(mdf.InputListPosition(3002, itMaterial, kAllCrops), 2);
  EXPECT_EQ(mdf.InputListPosition(3101, itMaterial, kAllCrops), 0);
  // Types 1 and 2 select nothing outside category 3.
  EXPECT_EQ(mdf.CountInputs(4, itMaterial, kAllCrops), 0);
  EXPECT_EQ(mdf.CountInputs(4, itManure, kAllCrops), 0);
  EXPECT_EQ(mdf.InputListPosition(4004, itMaterial, kAllCrops), 0);
  EXPECT_EQ(mdf.CountInputs(4, itAny, kSoyBit), 1);
  EXPECT_EQ(mdf.InputAtListPosition(1, 4, kSoyBit, itAny), 4036);
  EXPECT_EQ(mdf.InputListPosition(4036, itAny, kSoyBit | kCornBit), 2);
  EXPECT_EQ(mdf.CountInputs(4, itAny, 0), 0);
}

TEST_F(MdfFileTest, RangesForOneCrop) {
  EXPECT_EQ(mdf.CountCropCharges(1), 1);
  EXPECT_EQ(mdf.CropChargeAt(2, 1), 1052);
  EXPECT_EQ(mdf.CountTraits(1), 2);
  EXPECT_EQ(mdf.TraitAt(1, 2), 1955);
  EXPECT_EQ(mdf.TraitPosition(1, 1955), 2);
  EXPECT_EQ(mdf.TraitPosition(2, 1955), 0);
  EXPECT_EQ(mdf.TraitPosition(1, 1901), 0);
  EXPECT_EQ(mdf.PremiumAt(2, 1), 1901);
  EXPECT_EQ(mdf.PremiumPosition(1, 1901), 1);
  // Unknown crop codes give empty ranges even when a mask bit would match.
  EXPECT_EQ(mdf.CountInRange(1000, 1999, 0), 0);
  EXPECT_EQ(mdf.CountInRange(1000, 1999, 11), 0);
  EXPECT_EQ(mdf.InRangeAt(1000, 1999, 11, 1), 0);
  EXPECT_EQ(mdf.CountInRange(1000, 1999, 6), 3);
}

TEST_F(MdfFileTest, CodeFormulas) {
  EXPECT_EQ(TMdfFile::SeedCode(6), 1106);
  EXPECT_EQ(TMdfFile::DryingCode(1), 1501);
  EXPECT_EQ(TMdfFile::HaulingCode(19), 1819);
  EXPECT_EQ(TMdfFile::PriceCode(6, true), 1606);
  EXPECT_EQ(TMdfFile::PriceCode(6, false), 1706);
  EXPECT_EQ(TMdfFile::ExtraPriceCode(12, true), 1312);
  EXPECT_EQ(TMdfFile::ExtraPriceCode(12, false), 1412);
  for (int crop : {0, 11, 20, 104}) {
    EXPECT_EQ(TMdfFile::SeedCode(crop), 0) << crop;
    EXPECT_EQ(TMdfFile::PriceCode(crop, true), 0) << crop;
    EXPECT_EQ(TMdfFile::ExtraPriceCode(crop, false), 0) << crop;
  }
  EXPECT_EQ(TMdfFile::RentCode(125.5f), 1004);
  EXPECT_EQ(TMdfFile::RentCode(125), 1005);
  EXPECT_EQ(TMdfFile::RentCode(100), 1005);
  EXPECT_EQ(TMdfFile::RentCode(99.9f), 1006);
  EXPECT_EQ(TMdfFile::NutrientPriceCode(1, 0), 2001);
  EXPECT_EQ(TMdfFile::NutrientPriceCode(2, 1), 2005);
  EXPECT_EQ(TMdfFile::NutrientPriceCode(5, 2), 2015);
  EXPECT_EQ(TMdfFile::NutrientPriceCode(6, 0), 0);
}

TEST_F(MdfFileTest, WorkingCostsAndRemovalValues) {
  EXPECT_FLOAT_EQ(mdf.InputCost(1701), 4.35f);
  mdf.SetInputCost(1701, 5);
  mdf.SetInputCost(9001, 7);  // not found: ignored
  EXPECT_FLOAT_EQ(mdf.InputCost(1701), 5);
  EXPECT_EQ(mdf.InputCost(9001), 0);
  EXPECT_FLOAT_EQ(mdf.GetInput(7).Cost, 4.35f);  // the standard cost stays in the record
  mdf.ResetCosts();
  EXPECT_FLOAT_EQ(mdf.InputCost(1701), 4.35f);
  EXPECT_FLOAT_EQ(mdf.NRemovalValue(1), 0.48f * 1.2f);
  EXPECT_FLOAT_EQ(mdf.PRemovalValue(1), 0.62f * 0.44f);
  EXPECT_FLOAT_EQ(mdf.KRemovalValue(1), 0.44f / 2000 * 0.29f);  // K2O priced per ton
  EXPECT_EQ(mdf.NRemovalValue(2), 0);  // soybeans: no N removal counted
  mdf.SetInputCost(2001, 0.5f);
  EXPECT_FLOAT_EQ(mdf.NRemovalValue(5), 0.5f * 1.5f);
}

TEST(MdfFileNames, CategoryTitlesAndDefinitionFileName) {
  EXPECT_EQ(CategoryTitle(2), "Fertilizer analysis components");
  EXPECT_EQ(CategoryTitle(8), "");
  EXPECT_EQ(InputCategory(999), 0);
  EXPECT_EQ(InputCategory(7999), 7);
  EXPECT_EQ(InputCategory(8000), 0);
  EXPECT_EQ(DefinitionFileName("/opt/tesserel/usa.mcn"), "/opt/tesserel/stnd-usa.mdf");
  EXPECT_EQ(DefinitionFileName("/data/Canada.mcn"), "/data/stnd-Can.mdf");
  EXPECT_EQ(DefinitionFileName("mx.mcn"), "stnd-mx.mdf");
}
