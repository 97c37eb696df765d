// The production cost worksheet page: field, crop and soils information, the direct inputs with
// their costs, the indirect costs, the total cost, the income and the profit of one record.
#include <string>

#include "common/Format.h"
#include "common/Locale.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "reference/MdfFile.h"
#include "reports/WrkDoc.h"
#include "store/MdaFile.h"
#include "vocab/CodeLists.h"
#include "vocab/CropVocab.h"

namespace {

// Where the cost column ends on a line (after the box and the blank).
constexpr size_t kCostColumnEnd = 74;

std::string Blanks(size_t n) { return std::string(n, ' '); }
// A rate as the input lines show it.
std::string Rate(float rate) { return PadLeft(FormatReal(rate, 2, fmtTrimZeros), 7); }
std::string Amount(float value) { return FormatReal(value, 2, 0); }
std::string Tenths(float value) { return FormatReal(value, 1, 0); }
std::string Date(uint16_t day) { return FormatShortDate(day); }

}  // namespace

void TWorksheetDoc::WriteCostWorksheet(const TFieldRec& rec) {
  const TCostSheet s = ComputeCosts(rec, *costs_,
                                    {settings_.UseRemovalCost, settings_.ChargeAnySoilLoss, settings_.UseFiveYearPrice});
  PageStart();
  SetLineMode(lmTop);
  Sep();
  SetLineMode(lmDouble);
  WriteHeading(Blanks(26) + "PRODUCTION COST WORKSHEET");
  EndLine();
  Sep();
  WriteHeading("FIELD INFORMATION");
  EndLine();
  WriteFieldInfo(rec, true, true, true);
  WriteCropInfo(rec);
  Sep();
  if (settings_.ShowSoilTests) SetLineMode(lmSingle);
  WriteSoils(rec);
  Sep();
  if (settings_.ShowSoilTests) WriteSoilTests(rec);
  SetLineMode(lmSingle);
  WriteHeading("DIRECT CROP INPUTS");
  WriteLabel("                   Rate/Acre      Unit cost      Cost/Acre");
  EndLine();
  WriteSeed(rec, s);
  WriteFertilizers(rec, s);
  WritePesticidesAndOperations(s);
  WriteIndirectCosts(rec, s);
  WriteTotals(rec, s);
  WriteIncome(rec, s);
  SetLineMode(lmBottom);
  Sep();
  SetLineMode(lmPlain);
  WriteIncompleteData(rec);
  EndLine();
  ResetStyle();
}

void TWorksheetDoc::WriteCropInfo(const TFieldRec& rec) {
  WriteHeading("CROP INFORMATION");
  EndLine();
  WriteLabel("  Cur crop: ");
  WriteInput(Pad(CropSlotName(csCur, rec), 14));
  WriteLabel("Planted: ");
  WriteInput(Pad(Date(rec.Plant_Date), 21));
  WriteLabel("Harvest:  ");
  WriteInput(Date(rec.Cur_HDate));
  EndLine();
  WriteLabel("  Cur till: ");
  WriteInput(Pad(CodeLongName(TCodeList::Tillage, rec.Cur_Till), 14));
  WriteLabel("Planter: ");
  WriteInput(Pad(rec.Planter.Str().substr(0, 20), 21));
  WriteLabel("Fld size: ");
  if (rec.Field_Size > 0) WriteInput(FormatReal(rec.Field_Size, 1, fmtTrimZeros) + " Acres");
  EndLine();
  WriteLabel("  Cov crop: ");
  WriteInput(Pad(CropSlotName(csCov, rec), 14));
  WriteLabel("Rows:    ");
  WriteInput(rec.Row_Width > 0 ? Pad(FormatReal(rec.Row_Width, 1, fmtTrimZeros) + " Inches", 21) : Blanks(21));
  WriteLabel("Yield:    ");
  if (rec.Cur_Yield > 0)
    WriteInput(FormatReal(rec.Cur_Yield, 1, fmtTrimZeros) + " " + YieldUnitText(csCur, rec) + "/A");
  EndLine();
  WriteLabel("  Prv crop: ");
  WriteInput(Pad(CropSlotName(csPrev, rec), 14));
  WriteLabel("Residue: ");
  WriteInput(rec.Residue >= 0 ? Pad(std::to_string(rec.Residue.Get()) + "%", 21) : Blanks(21));
  WriteLabel(Pad(CapitalizeFirst(MoistureWord(rec.Cur_Crop)) + ":", 10));
  if (rec.Cur_Mois > 0) WriteInput(FormatReal(rec.Cur_Mois, 1, fmtTrimZeros) + "%");
  EndLine();
  if (settings_.ShowFieldNotes) {
    WriteLabel("  Notes:    ");
    WriteInput(rec.Notes.Str());
    EndLine();
  }
}

void TWorksheetDoc::WriteSoils(const TFieldRec& rec) {
  WriteHeading("SOILS INFORMATION");
  EndLine();
  WriteLabel("  Symbol  Slope  Soil name             Field  Texture  T value  Prod. rating");
  EndLine();
  const std::string ratingUnit = CodeShortName(TCodeList::RatingUnits, RatingUnitOfState(rec.State));
  for (int i = 0; i < kSoilRows; ++i) {
    if (rec.Soil_Sym[i].Empty() && rec.Soil_Name[i].Empty()) continue;
    const float slope = rec.Soil_Slope[i];
    const float t = rec.Soil_TValue[i];
    const float rating = rec.Soil_Rating[i];
    const int percent = rec.Soil_FldPct[i];
    std::string line = "  " + Pad(rec.Soil_Sym[i].Str(), 6);
    line += PadLeft(FormatReal(slope, 1, fmtBlankNegative | fmtTrimZeros), 5) + (slope >= 0 ? "%   " : "    ");
    line += Pad(rec.Soil_Name[i].Str(), 20) + PadLeft(FormatInt(percent, fmtBlankZero), 5);
    line += (percent != 0 ? "%   " : "    ") + Pad(CodeShortName(TCodeList::SoilTexture, rec.Soil_Texture[i]), 4);
    line += PadLeft(FormatReal(t, 1, fmtBlankZero), 7) + (t != 0 ? " T/A/Yr" : Blanks(7));
    line += PadLeft(FormatReal(rating, 1, fmtBlankZero), 7);
    if (rating > 0) line += " " + ratingUnit;
    WriteInput(line);
    EndLine();
  }
}

void TWorksheetDoc::WriteSoilTests(const TFieldRec& rec) {
  const auto test = [](float value, int unit) {
    return PadLeft(FormatReal(value, 1, fmtBlankZero | fmtTrimZeros), 6) + " " +
           Pad(CodeShortName(TCodeList::SoilTestUnits, unit), 4);
  };
  const auto ppm = [](int value) {
    return PadLeft(FormatInt(value, fmtBlankZero), 7) + (value != 0 ? " ppm" : "    ");
  };
  const float cec = ShownCEC(rec);
  WriteLabel("  Soil tests");
  EndLine();
  WriteLabel("  Phosphorus  Potassium  Soil pH       CEC        OM    Nitrate N  Basal N");
  EndLine();
  std::string line = test(rec.P, rec.P_Units) + test(rec.K, rec.K_Units);
  line += PadLeft(FormatReal(rec.Soil_pH, 1, fmtBlankZero | fmtTrimZeros), 8);
  line += PadLeft(FormatReal(cec, 1, fmtBlankZero | fmtTrimZeros), 7) + (cec != 0 ? " Meq/100g" : Blanks(9));
  line += PadLeft(FormatReal(rec.OM, 1, fmtBlankZero | fmtTrimZeros), 6) + (rec.OM != 0 ? "%" : " ");
  line += ppm(rec.Nitrate_N) + ppm(rec.Basal_N);
  WriteInput(line);
  EndLine();
  SetLineMode(lmDouble);
  Sep();
}

void TWorksheetDoc::WriteStandardLine(const TCostLine& line, bool plus) {
  WriteInput("    " + Pad(line.Name, 30) + Rate(line.Rate) + Pad(" " + line.RateUnit, 8));
  WriteCost(Pad(CostAmount(7, 2, line.UnitCost) + "/" + line.CostUnit, 16));
  WriteCost(CostAmount(9, 2, line.Cost));
  if (plus) WriteLabel(" +");
  EndLine();
}

void TWorksheetDoc::WriteTotalLine(const std::string& label, const std::string& amount, bool plus) {
  WriteLabel(label);
  WriteCost(PadLeft(amount, kCostColumnEnd - label.size()));
  if (plus) WriteLabel(" +");
  EndLine();
}

void TWorksheetDoc::WriteOtherInputs(const std::vector<TCostLine>& lines, bool plus) {
  for (const TCostLine& line : lines) {
    std::string text = "    " + Pad(line.Name, 30);
    if (line.Rate != 0 && !line.RateUnit.empty()) text += Rate(line.Rate) + Pad(" " + line.RateUnit, 8);
    else text += Blanks(15);
    WriteInput(text);
    WriteCost(Blanks(16));
    WriteCost(CostAmount(9, 2, line.Cost));
    if (plus) WriteLabel(" +");
    EndLine();
  }
}

void TWorksheetDoc::WriteSeed(const TFieldRec& rec, const TCostSheet& s) {
  WriteLabel("  Seed");
  EndLine();
  const auto seedLine = [&](const TCostLine& line, const std::string& name, bool plus) {
    WriteInput("    " + Pad(name, 30) + Rate(line.Rate) + " " + Pad(line.RateUnit, 7));
    if (!line.CostUnit.empty()) {
      WriteCost(Pad(CostAmount(7, 2, line.UnitCost) + "/" + line.CostUnit, 16));
      WriteCost(CostAmount(9, 2, line.Cost));
      if (plus) WriteLabel(" +");
    }
    EndLine();
  };
  if (s.HasCoverSeed) seedLine(s.CoverSeed, CropSlotName(csCov, rec) + " seed", false);
  if (s.HasCurrentSeed) seedLine(s.CurrentSeed, s.CurrentSeed.Name, !s.SeedExtras);
  for (const TCostLine& trait : s.Traits) {
    WriteInput("    " + Pad(trait.Name, 30) + Blanks(15));
    WriteCost(Pad(CostAmount(7, 2, trait.UnitCost) + "/" + trait.CostUnit, 16));
    WriteCost(CostAmount(9, 2, trait.Cost));
    EndLine();
  }
  if (s.SeedExtras) {
    WriteTotalLine("  Total seed cost", CostAmount(9, 2, s.Seed), true);
  }
  Sep();
}

void TWorksheetDoc::WriteFertilizers(const TFieldRec& rec, const TCostSheet& s) {
  WriteLabel("  N-P-K fertilizers");
  EndLine();
  for (const TNpkLine& line : s.Npk) {
    const std::string analysis = FormatReal(line.N, 1, fmtTrimZeros) + "-" + FormatReal(line.P2O5, 1, fmtTrimZeros) +
                                 "-" + FormatReal(line.K2O, 1, fmtTrimZeros);
    WriteInput("    " + Pad(analysis, 30) + Rate(line.Rate) + Pad(" " + line.RateUnit, 8));
    WriteCost(Pad(CostAmount(7, 2, line.PricePerPound * 2000) + "/Ton", 16));
    WriteCost(CostAmount(9, 2, line.Cost));
    EndLine();
  }
  WriteTotalLine("  Total applied N-P-K cost", CostAmount(9, 2, s.NpkTotal), !settings_.UseRemovalCost);
  WriteTotalLine("  N applied + P and K removal cost", Amount(s.RemovalCost), settings_.UseRemovalCost);
  Sep();
  bool otherRows = !s.OtherFertInputs.empty();
  for (int i = 0; i < kOFertRows; ++i) otherRows = otherRows || rec.OFert_Input[i] != 0;
  if (otherRows) {
    WriteLabel("  Other fertilizers");
    EndLine();
    for (const TCostLine& line : s.OtherFertRows) WriteStandardLine(line, true);
    WriteOtherInputs(s.OtherFertInputs, true);
    Sep();
  }
  if (!s.ManureRows.empty()) {
    WriteLabel("  Manure");
    EndLine();
    for (const TCostLine& line : s.ManureRows) WriteStandardLine(line, true);
    Sep();
  }
}

void TWorksheetDoc::WritePesticidesAndOperations(const TCostSheet& s) {
  WriteLabel("  Pesticides");
  EndLine();
  for (const TCostLine& line : s.HerbRows) WriteStandardLine(line, false);
  WriteOtherInputs(s.HerbInputs, false);
  for (const TCostLine& line : s.InsRows) WriteStandardLine(line, false);
  WriteOtherInputs(s.InsInputs, false);
  WriteTotalLine("  Total pesticide cost", CostAmount(9, 2, s.Pesticides), true);
  Sep();
  WriteLabel("  Field operations");
  EndLine();
  for (const TCostLine& line : s.Operations) WriteStandardLine(line, false);
  WriteOtherInputs(s.OperationInputs, false);
  WriteTotalLine("  Total field operation cost", CostAmount(9, 2, s.FieldOperations), true);
  if (!s.OtherInputRows.empty()) {
    Sep();
    WriteLabel("  Other inputs");
    EndLine();
    WriteOtherInputs(s.OtherInputRows, true);
  }
}

void TWorksheetDoc::WriteCropCharge(const std::string& text, const TCropCharge& charge, int decimals) {
  WriteInput(text);
  WriteCost(CostAmount(7, decimals, charge.UnitCost) + "/" + Pad(charge.CostUnit, 8));
  WriteCost(CostAmount(9, 2, charge.Charge));
  WriteLabel(" +");
  EndLine();
}

void TWorksheetDoc::WriteIndirectCosts(const TFieldRec& rec, const TCostSheet& s) {
  SetLineMode(lmDouble);
  Sep();
  WriteHeading("INDIRECT COSTS");
  EndLine();
  if (rec.Rent_Value > 0) {
    WriteInput("  Actual land cash rent value");
    WriteCost(PadLeft(Amount(rec.Rent_Value), 45));
    if (!(s.WeightedRating > 0)) WriteLabel(" +");
    EndLine();
  }
  if (s.WeightedRating > 0) {
    WriteInput("  Calculated land cash rent value");
    WriteCost(PadLeft(Amount(s.CalculatedRent), 41));
    WriteLabel(" +");
    EndLine();
  }
  if (s.SoilLossTons != 0) {
    WriteInput("  Soil loss charge");
    const bool charged = settings_.ChargeAnySoilLoss || s.SoilLossTons > s.WeightedT;
    if (charged) {
      const float tons = settings_.ChargeAnySoilLoss ? s.SoilLossTons : s.SoilLossTons - s.WeightedT;
      WriteInput(PadLeft(Tenths(tons), 23) + (settings_.ChargeAnySoilLoss ? " Ton    " : " Ton > T"));
      WriteCost(CostAmount(7, 2, s.SoilLossUnitCost) + "/Ton     ");
      WriteCost(CostAmount(9, 2, s.SoilLoss));
      WriteLabel(" +");
    } else {
      WriteInput(PadLeft(Tenths(s.WeightedT - s.SoilLossTons), 23) + " Ton < T");
      WriteCost("   No charge         0.00");
    }
    EndLine();
  }
  std::string hauling = "Harvest";
  if (s.CoverHauling.Present) {
    WriteCropCharge(Pad("  " + CropSlotName(csCov, rec) + " harvest hauling charge", 49), s.CoverHauling, 2);
    hauling = CropSlotName(csCur, rec) + " harvest";
  }
  if (s.CurrentHauling.Present) WriteCropCharge(Pad("  " + hauling + " hauling charge", 49), s.CurrentHauling, 2);
  const auto drying = [&](const std::string& label, const TCropCharge& c) {
    const std::string text =
        label + " from " + Tenths(c.Moisture) + "% to " + Tenths(c.Standard) + "%";
    WriteCropCharge("  " + Pad(text, 35) + PadLeft(Tenths(c.Moisture - c.Standard), 4) + " %      ", c, 3);
  };
  std::string dryingLabel = "Drying";
  if (s.CoverDrying.Present) {
    drying(CropSlotName(csCov, rec) + " drying", s.CoverDrying);
    dryingLabel = CropSlotName(csCur, rec) + " drying";
  }
  if (s.CurrentDrying.Present) drying(dryingLabel, s.CurrentDrying);
  for (const TCostLine& line : s.CropChargeLines) {
    WriteInput("  " + Pad(line.Name, 30) + Blanks(17));
    WriteCost(CostAmount(7, 2, line.UnitCost) + "/" + Pad(line.CostUnit, 8));
    WriteCost(CostAmount(9, 2, line.Cost));
    WriteLabel(" +");
    EndLine();
  }
  WriteInput(Pad("  Interest on $" + Trim(CostAmount(8, 2, s.InterestBase)) + " for 6 months", 49));
  WriteCost(CostAmount(7, 2, s.InterestRate) + "%        ");
  WriteCost(CostAmount(9, 2, s.Interest));
  WriteLabel(" +");
  EndLine();
  Sep();
}

namespace {

// The unit crop prices are given in: the cost unit of the crop's five-year price, else its yield unit.
std::string PriceUnit(const TMdfFile& mdf, int priceCode, const std::string& yieldUnit) {
  const std::string unit = mdf.InputCostUnitName(priceCode, true);
  return unit.empty() ? yieldUnit : unit;
}

}  // namespace

void TWorksheetDoc::WriteTotals(const TFieldRec& rec, const TCostSheet& s) {
  const std::string priceUnit =
      PriceUnit(*costs_, TMdfFile::PriceCode(rec.Cur_Crop, true), YieldUnitText(csCur, rec));
  WriteHeading("TOTAL COST");
  if (s.YieldUsed > 0 || !settings_.ShowInputCosts)
    WriteCost(PadLeft(CostAmount(7, 2, s.CostPerUnit), 46) + "/" + Pad(priceUnit, 8));
  else
    WriteCost(Blanks(55));
  WriteCost(CostAmount(9, 2, s.TotalCost));
  WriteLabel(" =");
  EndLine();
  Sep();
}

void TWorksheetDoc::WriteIncomeLine(const std::string& label, float yield, const std::string& yieldUnit, float price,
                                    const std::string& priceUnit, float income, int priceSet, bool counted) {
  const bool hasYield = yield >= 0;
  WriteInput("  " + Pad(label, hasYield ? 30 : 47));
  if (hasYield) WriteInput(PadLeft(Tenths(yield), 9) + " " + Pad(yieldUnit, 7));
  if (priceSet >= 0) {
    const bool current = priceSet == pcCurrentPrice;
    WriteCost((current ? CostAmount(7, 2, price) : PadLeft(Amount(price), 7)) + "/" + Pad(priceUnit, 8));
    WriteCost(current ? CostAmount(9, 2, income) : PadLeft(Amount(income), 9));
    if (counted) WriteLabel(" +");
  }
  EndLine();
}

void TWorksheetDoc::WriteIncome(const TFieldRec& rec, const TCostSheet& s) {
  WriteHeading("INCOME");
  WriteLabel("                              Yield/Acre      Unit price   Income/Acre");
  EndLine();
  const int chosen = settings_.UseFiveYearPrice ? pcFiveYearPrice : pcCurrentPrice;
  const auto marker = [](float entered, float used) { return !(entered > 0) && used > 0 ? "*" : ""; };
  // The two price lines of a crop, each with amounts only when its price is above 0.
  const auto cropLines = [&](int slot, int crop, float yield, const std::string& mark, bool isCover) {
    const std::string unit = PriceUnit(*costs_, TMdfFile::PriceCode(crop, true), YieldUnitText(slot, rec));
    for (int set : {pcCurrentPrice, pcFiveYearPrice}) {
      const TPriceSet& p = s.Prices[set];
      const float price = isCover ? p.CoverPrice : p.CropPrice;
      const float income = isCover ? p.CoverIncome : p.CropIncome;
      WriteIncomeLine(CropSlotName(slot, rec) + " " + MainPriceLabel(crop, set), yield, unit + mark, price, unit,
                      income, price > 0 ? set : -1, set == chosen);
    }
    return unit;
  };
  const auto premiumLine = [&](const TCostLine& premium, const std::string& cropUnit) {
    const std::string unit = premium.CostUnit.empty() ? cropUnit : premium.CostUnit;
    WriteIncomeLine(premium.Name, -1, "", premium.UnitCost, unit, premium.Cost, pcCurrentPrice, true);
  };
  if (s.CoverHarvested) {
    const std::string unit = cropLines(csCov, rec.Cov_Crop, s.CoverYield, marker(rec.Cov_Yield, s.CoverYield), true);
    if (s.CoverPremium.Code != 0) premiumLine(s.CoverPremium, unit);
  }
  if (rec.Cur_Crop == 0) return WriteIncomeTotals(s);
  const int crop = rec.Cur_Crop;
  const std::string unit = cropLines(csCur, crop, s.YieldUsed, marker(rec.Cur_Yield, s.YieldUsed), false);
  if (HasSecondaryYield(crop)) {
    const std::string extraUnit = costs_->InputCostUnitName(TMdfFile::ExtraPriceCode(crop, true), true);
    for (int set : {pcCurrentPrice, pcFiveYearPrice}) {
      const TPriceSet& p = s.Prices[set];
      WriteIncomeLine(SecondaryPriceLabel(crop, set), s.ExtraYield, extraUnit + marker(rec.Cur_Yield2, s.ExtraYield),
                      p.ExtraPrice, extraUnit, p.ExtraIncome, set, set == chosen);
    }
  }
  for (int set : {pcCurrentPrice, pcFiveYearPrice}) {
    const TPriceSet& p = s.Prices[set];
    if (p.MoistureAdjustment == 0) continue;
    WriteIncomeLine(CropSlotName(csCur, rec) + " " + MoistureLabel(crop, set, p.MoistureAdjustment > 0), -1, "",
                    p.MoisturePerUnit, unit, p.MoistureAdjustment, set, set == chosen);
  }
  if (s.CurrentPremium.Code != 0) premiumLine(s.CurrentPremium, unit);
  WriteIncomeTotals(s);
}

void TWorksheetDoc::WriteIncomeTotals(const TCostSheet& s) {
  Sep();
  WriteHeading("TOTAL INCOME");
  WriteCost(PadLeft(CostAmount(9, 2, s.Income), 62));
  WriteLabel(" =");
  EndLine();
  Sep();
  WriteHeading("PROFIT (OR LOSS)");
  if (!settings_.ShowInputCosts) WriteCost(PadLeft(std::string(9, '_'), 58));
  else if (s.Profit >= 0) WriteCost(PadLeft(Amount(s.Profit), 58));
  else WriteCost(PadLeft("(" + Amount(-s.Profit) + ")", 59));
  EndLine();
}

void TWorksheetDoc::WriteIncompleteData(const TFieldRec& rec) {
  const std::vector<int> checks = project_->CheckRecord(rec);
  if (checks.empty()) return;
  EndLine();
  WriteInput("***  Warning: Incomplete data used to calculate this worksheet!  ***");
  EndLine();
  for (int number : checks) {
    WriteInput(Blanks(5) + TMdaFile::CheckText(number, rec));
    EndLine();
  }
  EndLine();
}
