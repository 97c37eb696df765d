#include <gtest/gtest.h>

#include "common/DayNum.h"
#include "vocab/CodeLists.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

TEST(CropVocab, ListsFollowTableOrderAndTheirColumns) {
  EXPECT_EQ(CropListCount(clPrimary), 17);
  EXPECT_EQ(CropListCount(clCoverFirst), 6);
  EXPECT_EQ(CropListCount(clPrevNext), 19);
  EXPECT_EQ(CropAtListPosition(clPrimary, 1), 1);
  EXPECT_EQ(CropAtListPosition(clPrimary, 2), 19);
  EXPECT_EQ(CropAtListPosition(clPrimary, 17), 31);
  EXPECT_EQ(CropAtListPosition(clPrimary, 18), 0);
  EXPECT_EQ(CropAtListPosition(clPrimary, 0), 0);
  EXPECT_EQ(CropAtListPosition(clCoverFirst, 3), 13);
  EXPECT_EQ(CropAtListPosition(clCoverFirst, 6), 31);
  EXPECT_EQ(CropAtListPosition(clPrevNext, 19), 102);
  EXPECT_EQ(CropListPosition(clPrevNext, 102), 19);
  EXPECT_EQ(CropListPosition(clPrevNext, 31), 0);  // "Other" of the history list is 102
  EXPECT_EQ(CropListPosition(clPrimary, 13), 0);   // rye is not a primary crop
  EXPECT_EQ(CropListPosition(clCoverFirst, 14), 5);
}

TEST(CropVocab, LookupsOfKnownAndUnknownCodes) {
  EXPECT_EQ(CropName(16), "Grass-legume");
  EXPECT_EQ(CropName(102), "Other");
  EXPECT_EQ(CropName(11), "");
  EXPECT_EQ(CropLetter(19), 'G');
  EXPECT_EQ(CropLetter(0), 0);
  EXPECT_EQ(CropByLetter('v'), 8);
  EXPECT_EQ(CropByLetter('X'), 31);
  EXPECT_EQ(CropByLetter('J'), 0);
  EXPECT_TRUE(IsCurrentCrop(13));   // rye: cover and first crop only
  EXPECT_FALSE(IsCurrentCrop(101)); // CRP: history only
  EXPECT_FALSE(IsCurrentCrop(11));
  EXPECT_TRUE(IsSeedCounted(7));
  EXPECT_FALSE(IsSeedCounted(6));
  EXPECT_FLOAT_EQ(CropInfo(12).RemovalP2O5, 0.028f);
  EXPECT_EQ(CropInfo(2).SeedUnit, 135000);
  EXPECT_EQ(CropInfo(99).SeedUnit, 0);
  EXPECT_EQ(CropBit(1), 1u);
  EXPECT_EQ(CropBit(31), 1u << 30);
  EXPECT_EQ(CropBit(102), 0u);
}

TEST(CropVocab, MaskTextShowsTheFirstNineteenCurrentCrops) {
  EXPECT_EQ(CropMaskText(0), std::string(19, ' '));
  const std::string all = CropMaskText(0xFFFFFFFFu);
  EXPECT_EQ(all, "CGBWOYRMFVKUTALHSEX");
  EXPECT_EQ(CropMaskText(CropBit(1) | CropBit(12)), "C           T      ");
}

TEST(CropVocab, WordsUnitsAndLabels) {
  EXPECT_EQ(YieldWord(12), "lint");
  EXPECT_EQ(YieldWord(10), "harvest");
  EXPECT_EQ(SecondaryYieldWord(12), "seed");
  EXPECT_EQ(SecondaryYieldWord(1), "");
  EXPECT_EQ(MoistureWord(10), "sugar");
  EXPECT_FALSE(HasHarvestMoisture(19));
  EXPECT_TRUE(HasHarvestMoisture(10));
  EXPECT_EQ(PlantingRateUnit(1), "Seeds/A or Lb/A");
  EXPECT_EQ(PlantingRateUnit(3), "Bu/A");
  EXPECT_EQ(PlantingRateUnit(101), "");
  EXPECT_EQ(PlantingRateShort(2, 140000), "Sd");
  EXPECT_EQ(PlantingRateShort(2, 60), "Lb");
  EXPECT_EQ(SeedCostUnitName(31, 999), "Pound");
  EXPECT_EQ(SeedCostUnitName(31, 1000), "Seeds");
  EXPECT_EQ(SeedCostUnitName(4, 2), "Bushel");
  EXPECT_EQ(MainPriceLabel(12, pcCurrentPrice), "lint @ current price");
  EXPECT_EQ(MainPriceLabel(1, pcFiveYearPrice), "@ 5-year price");
  EXPECT_EQ(SecondaryPriceLabel(12, pcFiveYearPrice), "seed @ 5-year price");
  EXPECT_EQ(SecondaryPriceLabel(1, pcFiveYearPrice), "");
  EXPECT_EQ(MoistureLabel(10, pcCurrentPrice, true), "Sugar premium @ current price");
  EXPECT_EQ(MoistureLabel(1, pcFiveYearPrice, false), "Moisture deduction @ 5-year price");
}

TEST(UnitVocab, NamesAndClasses) {
  EXPECT_EQ(UnitLongName(4), "WetOunce");
  EXPECT_EQ(UnitMediumName(4), "Ounce");
  EXPECT_EQ(UnitShortName(21), "IGa");
  EXPECT_EQ(UnitMediumName(17), "Kg");
  EXPECT_EQ(UnitLongName(26), "Acre");
  // 0 means the input's own unit and 27 is no unit: neither has a name.
  EXPECT_EQ(UnitLongName(0), "");
  EXPECT_EQ(UnitMediumName(27), "");
  EXPECT_EQ(UnitShortName(27), "");
  EXPECT_EQ(UnitClass(27), 0);
  EXPECT_EQ(UnitClass(24), ucWeight);
  EXPECT_FLOAT_EQ(UnitsPerPound(16), 453.597f);
  EXPECT_EQ(UnitsPerPound(7), 0);
  EXPECT_FLOAT_EQ(UnitsPerGallon(21), 0.83264f);
}

TEST(UnitVocab, ConversionFactorsFromTheStatedFactors) {
  EXPECT_FLOAT_EQ(UnitFactor(unPound, unTon), 2000);
  EXPECT_FLOAT_EQ(UnitFactor(unTon, unPound), 0.0005f);
  EXPECT_FLOAT_EQ(UnitFactor(unDryOunce, unTon), 32000);
  EXPECT_FLOAT_EQ(UnitFactor(unGram, unPound), 453.597f);
  EXPECT_FLOAT_EQ(UnitFactor(unPound, unKilogram), 2.2046f);
  EXPECT_FLOAT_EQ(UnitFactor(unPound, unTonne), 2204.6f);
  EXPECT_FLOAT_EQ(UnitFactor(unPound, unCwt), 100);
  EXPECT_NEAR(UnitFactor(unGram, unKilogram), 1000, 0.01);
  EXPECT_FLOAT_EQ(UnitFactor(unWetOunce, unGallon), 128);
  EXPECT_FLOAT_EQ(UnitFactor(unPint, unQuart), 2);
  EXPECT_FLOAT_EQ(UnitFactor(unMilliliter, unGallon), 3785.3f);
  EXPECT_FLOAT_EQ(UnitFactor(unGallon, unImpGallon), 1.201f);
  EXPECT_FLOAT_EQ(UnitFactor(unLiter, unImpGallon), 4.546f);
  EXPECT_FLOAT_EQ(UnitFactor(unInch, unCentimeter), 0.3937f);
  EXPECT_FLOAT_EQ(UnitFactor(unCentimeter, unInch), 2.54f);
  // Across classes, and for units without conversions, the missing pair means 1.
  EXPECT_EQ(UnitFactor(unPound, unGallon), 1);
  EXPECT_EQ(UnitFactor(unBushel, unPound), 1);
  EXPECT_EQ(UnitFactor(0, unPound), 1);
  EXPECT_EQ(UnitFactor(unPound, unPound), 1);
}

TEST(UnitVocab, ListsByClassMask) {
  EXPECT_EQ(UnitCountInMask(ucWeight), 7);
  EXPECT_EQ(UnitCountInMask(ucVolume), 7);
  EXPECT_EQ(UnitCountInMask(ucWeight | ucVolume), 14);
  EXPECT_EQ(UnitCountInMask(0x1F), 26);
  EXPECT_EQ(UnitCountInMask(0), 0);
  EXPECT_EQ(UnitAtListPosition(ucWeight, 4), unGram);
  EXPECT_EQ(UnitAtListPosition(ucWeight, 7), unCwt);
  EXPECT_EQ(UnitAtListPosition(ucWeight, 8), 0);
  EXPECT_EQ(UnitListPosition(ucWeight | ucVolume, unGram), 8);
  EXPECT_EQ(UnitListPosition(ucWeight, unGallon), 0);
  EXPECT_EQ(UnitListPosition(ucLength, unCentimeter), 2);
}

TEST(CodeLists, NamesCountsAndLookupsByName) {
  EXPECT_EQ(CodeListCount(TCodeList::Tillage), 6);
  EXPECT_EQ(CodeListCount(TCodeList::ManureMethod), 12);
  EXPECT_EQ(CodeListCount(TCodeList::SoilTexture), 21);
  EXPECT_EQ(CodeShortName(TCodeList::Tillage, 5), "RE");
  EXPECT_EQ(CodeLongName(TCodeList::Tillage, 6), "Conventional");
  EXPECT_EQ(CodeLongName(TCodeList::ManureMethod, 12), "Inc in >7days");
  EXPECT_EQ(CodeShortName(TCodeList::HerbTiming, 10), "O");
  EXPECT_EQ(CodeLongName(TCodeList::PlanterAttachments, 6), "Liquid starter fertilizer");
  EXPECT_EQ(CodeLongName(TCodeList::SoilDrainage, 2), "Somewhat exc. well");
  EXPECT_EQ(CodeShortName(TCodeList::Tillage, 0), "");
  EXPECT_EQ(CodeShortName(TCodeList::Tillage, 7), "");
  EXPECT_EQ(FindCodeByName(TCodeList::Tillage, "no-TILL"), 1);
  EXPECT_EQ(FindCodeByName(TCodeList::Tillage, "st"), 3);
  EXPECT_EQ(FindCodeByName(TCodeList::SoilTexture, "sicl"), 18);
  EXPECT_EQ(FindCodeByName(TCodeList::SoilDrainage, "very POORLY"), 7);
  EXPECT_EQ(FindCodeByName(TCodeList::SoilDrainage, "Poor"), 0);
  EXPECT_EQ(RatingUnitOfState(15), 2);
  EXPECT_EQ(CodeShortName(TCodeList::RatingUnits, RatingUnitOfState(15)), "CSR");
  EXPECT_EQ(RatingUnitOfState(13), 1);
}

TEST(DateWindows, KindSixRunsFromMarchToTheEndOfTheYear) {
  const TDateWindow w = DateWindow(6, 2010);
  EXPECT_EQ(w.first, EncodeDay(2010, 3, 1));
  EXPECT_EQ(w.last, EncodeDay(2010, 12, 31));
}
