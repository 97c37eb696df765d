// The nutrient management page of the worksheet and the balance it prints.
#include "reports/WrkNutr.h"

#include <cmath>
#include <string>
#include <vector>

#include "common/Format.h"
#include "reference/MdfFile.h"
#include "reports/NutrEngine.h"
#include "reports/NutrNeeds.h"
#include "reports/WrkDoc.h"
#include "store/CropCalc.h"
#include "store/FieldCalc.h"
#include "store/MdaFile.h"
#include "vocab/CodeLists.h"
#include "vocab/CropVocab.h"

namespace {

const int kNutrientColumns[kNutrients] = {rcN, rcP2O5, rcK2O};
const char* const kNutrientNames[kNutrients] = {"N", "P2O5", "K2O"};
constexpr int kIrrigationWater = 7002;
constexpr int kAcreInch = 11;
constexpr int kPoundUnit = 2;
// Prices of the excess: N as gas, P2O5 and K2O dry, N as liquid.
const int kExcessPriceCodes[kNutrients] = {2001, 2005, 2006};
constexpr int kLiquidNPrice = 2007;
// The custom recommendation marker: " (" + the currency sign + ")".
const char* const kCustomMark = " (\xA4)";
// The marker of a need or credit that rests on a rate not checked against the publication's table.
const char* const kProvisionalMark = " (p)";

float Rounded(float value) { return std::nearbyint(value); }

// The needs of one slot: N on a copy without the preceding crops (the gross need) and as it is
// (its difference is the legume credit), P2O5 and K2O as the record is.
TCropNeeds SlotNeeds(int slot, const TFieldRec& rec, TNutrEngine& engine) {
  TCropNeeds needs;
  TFieldRec gross = rec;
  gross.Prev_Crop = 0;
  gross.Prev_Code = 0;
  if (slot == csCur) {
    gross.Cov_Crop = 0;
    gross.Cov_Code = 0;
  }
  const TRecResult bare = engine.NutrientRec(rcN, slot, gross);
  const TRecResult net = engine.NutrientRec(rcN, slot, rec);
  needs.Ok[nuN] = bare.Error == 0 && net.Error == 0;
  needs.Causes[nuN] = bare.NullCauses | net.NullCauses;
  needs.Provisional[nuN] = bare.Provisional;
  needs.CreditProvisional = net.Provisional;
  if (needs.Ok[nuN]) {
    needs.Value[nuN] = static_cast<float>(bare.Value);
    needs.Credit = static_cast<float>(bare.Value) - static_cast<float>(net.Value);
  }
  for (int n : {nuP2O5, nuK2O}) {
    const TRecResult r = engine.NutrientRec(kNutrientColumns[n], slot, rec);
    needs.Ok[n] = r.Error == 0;
    needs.Value[n] = needs.Ok[n] ? static_cast<float>(r.Value) : 0;
    needs.Causes[n] = r.NullCauses;
    needs.Provisional[n] = r.Provisional;
  }
  return needs;
}

void AppliedNpk(const TFieldRec& rec, TNutrientBalance& b) {
  for (int i = 0; i < kFertRows; ++i) {
    const float pct[kNutrients] = {rec.Fert_N[i], rec.Fert_P2O5[i], rec.Fert_K2O[i]};
    if (!(pct[0] > 0 || pct[1] > 0 || pct[2] > 0) || !(rec.Fert_Rate[i] > 0)) continue;
    const float pounds = FertProductPounds(rec, i);
    for (int n = 0; n < kNutrients; ++n) {
      if (!(pct[n] > 0)) continue;
      const float amount = pounds * pct[n];
      b.Applied[n] += amount / 100.0f;
    }
  }
  for (float& applied : b.Applied) applied = Rounded(applied);
}

void ManureSupply(const TFieldRec& rec, TNutrEngine& engine, TNutrientBalance& b) {
  float sum[kNutrients] = {};
  for (bool& ok : b.ManureOk) ok = true;
  for (int row = 1; row <= kManureRows; ++row) {
    if (rec.Man_Input[row - 1] == 0) continue;
    const TManureNutrients m = engine.ManureNutrients(row, rec);
    const double values[kNutrients] = {m.N, m.P2O5, m.K2O};
    for (int n = 0; n < kNutrients; ++n) {
      if (values[n] < 0) b.ManureOk[n] = false;
      else sum[n] += static_cast<float>(values[n]);
    }
  }
  for (int n = 0; n < kNutrients; ++n) b.Manure[n] = b.ManureOk[n] ? Rounded(sum[n]) : 0;
}

void IrrigationSupply(const TFieldRec& rec, TNutrientBalance& b) {
  float sum = 0;
  for (int i = 0; i < kOtherRows; ++i) {
    if (rec.Othr_Input[i] != kIrrigationWater) continue;
    const int unit = rec.Othr_Units[i];
    if (!(rec.Othr_Rate[i] > 0) || (unit != 0 && unit != kAcreInch) || !rec.HasFlag(rfIrrigN)) {
      b.IrrigationOk = false;
      b.IrrigationN = 0;
      return;
    }
    const float perInch = static_cast<float>(rec.Irrig_N) * rec.Othr_Rate[i];
    sum += perInch * kIrrigationNFactor;
  }
  b.IrrigationN = Rounded(sum);
}

float PricePerPound(const TMdfFile& mdf, int code) {
  return mdf.InputCost(code) / mdf.AppToCostFactor(code, kPoundUnit);
}

void Needs(const TFieldRec& rec, TNutrEngine& engine, TNutrientBalance& b) {
  b.CoverHarvested = rec.Cov_Crop != 0 && CropInfo(rec.Cov_Crop).First && CoverCalcYield(rec) > 0;
  if (b.CoverHarvested) b.Cover = SlotNeeds(csCov, rec, engine);
  b.Current = SlotNeeds(csCur, rec, engine);
  const uint16_t custom[kNutrients] = {rec.Cust_NRec, rec.Cust_PRec, rec.Cust_KRec};
  for (int n = 0; n < kNutrients; ++n) {
    b.Custom[n] = rec.HasFlag(rfCustN + n);
    b.CustomValue[n] = custom[n];
    const bool evaluated = b.Current.Ok[n] && (!b.CoverHarvested || b.Cover.Ok[n]);
    b.HasNeed[n] = b.Custom[n] || evaluated;
    if (b.Custom[n]) b.Need[n] = b.CustomValue[n];
    else if (evaluated) b.Need[n] = b.Current.Value[n] + (b.CoverHarvested ? b.Cover.Value[n] : 0.0f);
    b.NeedProvisional[n] =
        !b.Custom[n] && evaluated && (b.Current.Provisional[n] || (b.CoverHarvested && b.Cover.Provisional[n]));
  }
  // The credit counts only where it is shown, so that the total adds up to the printed lines.
  b.CreditShown = !b.Custom[nuN] && b.Current.Ok[nuN] && (!b.CoverHarvested || b.Cover.Ok[nuN]);
  if (b.CreditShown) b.LegumeCredit = b.Current.Credit + (b.CoverHarvested ? b.Cover.Credit : 0.0f);
  b.CreditProvisional =
      b.CreditShown && (b.Current.CreditProvisional || (b.CoverHarvested && b.Cover.CreditProvisional));
}

}  // namespace

void ComputeNutrientSupply(const TFieldRec& rec, TStateTables& tables, TNutrientBalance& b) {
  TNutrEngine engine(tables);
  AppliedNpk(rec, b);
  ManureSupply(rec, engine, b);
  IrrigationSupply(rec, b);
}

TNutrientBalance ComputeNutrientBalance(const TFieldRec& rec, TStateTables& tables, const TMdfFile& mdf) {
  TNutrientBalance b;
  TNutrEngine engine(tables);
  Needs(rec, engine, b);
  ComputeNutrientSupply(rec, tables, b);
  b.Total[nuN] = b.LegumeCredit + b.Applied[nuN];
  b.Total[nuN] += b.Manure[nuN];
  b.Total[nuN] += b.IrrigationN;
  for (int n : {nuP2O5, nuK2O}) b.Total[n] = b.Applied[n] + b.Manure[n];
  for (int n = 0; n < kNutrients; ++n) {
    if (!b.HasNeed[n]) continue;
    b.Excess[n] = b.Total[n] - b.Need[n];
    if (b.Excess[n] > 0) b.ExcessValue[n] = b.Excess[n] * PricePerPound(mdf, kExcessPriceCodes[n]);
  }
  if (b.HasNeed[nuN] && b.Excess[nuN] > 0) b.ExcessValueLiquidN = b.Excess[nuN] * PricePerPound(mdf, kLiquidNPrice);
  return b;
}

// ---- The page ----

namespace {

std::string Whole(float value) { return FormatReal(value, 0, 0); }

std::string UnitPerAcre(const std::string& unit) { return unit.empty() ? unit : unit + "/A"; }

// Splits a text into lines of at most `width` characters at blanks.
std::vector<std::string> Wrap(const std::string& text, size_t width) {
  std::vector<std::string> lines(1);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (!lines.back().empty() && lines.back().size() + 1 + word.size() > width) lines.emplace_back();
    if (!lines.back().empty()) lines.back() += ' ';
    lines.back() += word;
    start = end + 1;
  }
  return lines;
}

const char* BasalNText(int ppm) {
  if (ppm >= 1 && ppm <= 249) return "greater N availability would most likely have increased yield.";
  if (ppm >= 250 && ppm <= 699) return "only the minimal amount of N was available.";
  if (ppm >= 700 && ppm <= 1999) return "the optimal amount of N was available.";
  return "more N was available than needed.";
}

struct TNoteLine {
  int blanks;
  const char* text;
  bool gapAfter;
};
const TNoteLine kNutrientNotes[] = {
    {0, "1. \"Total nutrients supplied\" is calculated by adding together \"Previous", false},
    {3, "legume N credit,\" \"Nutrients applied as N-P-K,\" \"Nutrients applied as", false},
    {3, "manure,\" and \"N applied in irrigation water.\"", true},
    {0, "2. \"Excess (deficit) applied\" is calculated by subtracting \"Crop nutrient", false},
    {3, "needs\" from \"Total nutrients supplied.\"  Parentheses indicate a deficit,", false},
    {3, "which is the additional amount required to meet the crop's needs.  If a", false},
    {3, "nutrient need could not be calculated, the corresponding value is blank.", true},
    {3, "Excess phosphorus and potassium will likely be available for crop growth", false},
    {3, "during future growing seasons.  Excess nitrogen, however, may be lost due", false},
    {3, "to denitrification, leaching, or other processes that may remove nitrogen", false},
    {3, "from the soil.", true},
    {3, "Important!  Excess nutrients such as nitrogen and phosphorus can", false},
    {3, "contribute to environmental problems.  You may also be reducing your", false},
    {3, "profit margin by applying more fertilizer than what is needed.", true},
    {0, "3. This report is intended to be the first step in analyzing fertilization", false},
    {3, "practices.  For more information, contact your local Cooperative", false},
    {3, "Extension Service or Natural Resources Conservation Service office.", true},
};

// Widths of the three nutrient columns where a value is followed by a marker or blanks.
const size_t kValueWidth[kNutrients] = {10, 8, 8};
const size_t kBlankWidth[kNutrients] = {14, 12, 12};
const size_t kColumnWidth[kNutrients] = {10, 12, 12};

}  // namespace

void TWorksheetDoc::WriteNutrientPage(const TFieldRec& rec) {
  TStateTables& tables = *project_->StateTables();
  const TNutrientBalance b = ComputeNutrientBalance(rec, tables, *costs_);
  PageStart();
  SetLineMode(lmTop);
  Sep();
  SetLineMode(lmDouble);
  WriteHeading(std::string(28, ' ') + "NUTRIENT MANAGEMENT");
  EndLine();
  Sep();
  WriteFieldInfo(rec, false, false, true);
  WriteNutrientCrops(rec);
  SetLineMode(lmSingle);
  Sep();
  WriteNutrientSoilTests(rec, ShownCEC(rec));
  SetLineMode(lmDouble);
  Sep();
  SetLineMode(lmEmpty);
  Sep();
  WriteHeading(std::string(26, ' ') + "Fertilizer cost analysis");
  EndLine();
  Sep();
  WriteLabel(std::string(34, ' ') + PadLeft("Avail. N", 12) + PadLeft("P2O5", 12) + PadLeft("K2O", 12));
  EndLine();
  WriteLabel(std::string(34, ' ') + PadLeft("Lb/A", 12) + PadLeft("Lb/A", 12) + PadLeft("Lb/A", 12));
  EndLine();
  WriteNeeds(rec, b);
  WriteSupplies(rec, b);
  WriteExcessValue(b);
  WriteNutrientNotes(rec, b);
  SetLineMode(lmBottom);
  Sep();
  SetLineMode(lmPlain);
  WriteNutrientWarnings(rec, b);
  EndLine();
  ResetStyle();
}

void TWorksheetDoc::WriteNutrientCrops(const TFieldRec& rec) {
  struct TRow {
    const char* label;
    int slot;
    float yield, goal;
    bool hasGoal;
  };
  const TRow rows[] = {{"Current crop:   ", csCur, rec.Cur_Yield, rec.Cur_Goal, true},
                       {"Cover crop:     ", csCov, rec.Cov_Yield, rec.Cov_Goal, true},
                       {"Previous crop:  ", csPrev, rec.Prev_Yield, 0, false}};
  for (const TRow& r : rows) {
    const std::string unit = UnitPerAcre(YieldUnitText(r.slot, rec));
    WriteLabel(r.label);
    WriteInput(Pad(CropSlotName(r.slot, rec), 15));
    WriteLabel("Yield:");
    if (r.yield > 0) WriteInput(PadLeft(FormatReal(r.yield, 1, fmtBlankZero), 7) + " " + (r.hasGoal ? Pad(unit, 11) : unit));
    else if (r.hasGoal) WriteInput(std::string(19, ' '));
    if (r.hasGoal) {
      WriteLabel("Goal: ");
      if (r.goal > 0) WriteInput(PadLeft(FormatReal(r.goal, 1, fmtBlankZero), 7) + " " + unit);
    }
    EndLine();
  }
}

void TWorksheetDoc::WriteNutrientSoilTests(const TFieldRec& rec, float cec) {
  const auto value = [](float v, size_t width) { return PadLeft(FormatReal(v, 1, fmtBlankZero), width); };
  WriteLabel("Phosphorus: ");
  WriteInput(value(rec.P, 6));
  WriteInput(" " + Pad(CodeShortName(TCodeList::SoilTestUnits, rec.P_Units), 4));
  WriteLabel("     Soil pH:");
  WriteInput(value(rec.Soil_pH, 6));
  WriteInput(std::string(9, ' '));
  WriteLabel("    OM:       ");
  WriteInput(value(rec.OM, 5));
  WriteInput(rec.OM != 0 ? "%" : " ");
  EndLine();
  WriteLabel("Potassium:  ");
  WriteInput(value(rec.K, 6));
  WriteInput(" " + Pad(CodeShortName(TCodeList::SoilTestUnits, rec.K_Units), 4));
  WriteLabel("     CEC:    ");
  WriteInput(value(cec, 6));
  WriteInput(cec != 0 ? " Meq/100g" : std::string(9, ' '));
  WriteLabel("    Nitrate N:");
  WriteInput(PadLeft(FormatInt(rec.Nitrate_N, fmtBlankZero), 5));
  WriteInput(rec.Nitrate_N != 0 ? " ppm" : "    ");
  EndLine();
}

void TWorksheetDoc::WriteNeeds(const TFieldRec& rec, const TNutrientBalance& b) {
  // A need right-aligned in its column, followed by its marker or as many blanks.
  const auto need = [](float value, int n, bool provisional) {
    return PadLeft(Whole(value), kValueWidth[n]) + (provisional ? kProvisionalMark : "    ");
  };
  const auto cropLine = [&](int slot, const TCropNeeds& needs) {
    WriteLabel("  ");
    WriteLabel(Pad(CropSlotName(slot, rec), 34));
    std::string text;
    for (int n = 0; n < kNutrients; ++n)
      text += needs.Ok[n] && !b.Custom[n] ? need(needs.Value[n], n, needs.Provisional[n])
                                          : std::string(kBlankWidth[n], ' ');
    WriteInput(text);
    EndLine();
  };
  WriteLabel(Pad("Crop nutrient needs", 36));
  std::string text;
  for (int n = 0; n < kNutrients; ++n) {
    if (b.Custom[n]) text += PadLeft(Whole(b.CustomValue[n]), kValueWidth[n]) + kCustomMark;
    else if (!b.CoverHarvested && b.Current.Ok[n]) text += need(b.Current.Value[n], n, b.NeedProvisional[n]);
    else text += std::string(kBlankWidth[n], ' ');
  }
  WriteInput(text);
  EndLine();
  if (b.CoverHarvested) {
    cropLine(csCov, b.Cover);
    cropLine(csCur, b.Current);
  }
  Sep();
  WriteLabel(Pad("  Previous legume N credit", 36));
  if (b.CreditShown) WriteInput(PadLeft(Whole(b.LegumeCredit), 10) + (b.CreditProvisional ? kProvisionalMark : ""));
  EndLine();
  Sep();
}

void TWorksheetDoc::WriteSupplies(const TFieldRec& rec, const TNutrientBalance& b) {
  WriteLabel(Pad("  Nutrients applied as N-P-K", 36));
  WriteInput(PadLeft(Whole(b.Applied[nuN]), 10) + PadLeft(Whole(b.Applied[nuP2O5]), 12) +
             PadLeft(Whole(b.Applied[nuK2O]), 12));
  EndLine();
  Sep();
  WriteLabel(Pad("  Nutrients applied as manure", 36));
  std::string manure;
  for (int n = 0; n < kNutrients; ++n)
    manure += b.ManureOk[n] ? PadLeft(Whole(b.Manure[n]), kColumnWidth[n]) : std::string(kColumnWidth[n], ' ');
  WriteInput(manure);
  EndLine();
  Sep();
  WriteLabel(Pad("  N applied in irrigation water", 36));
  WriteInput(b.IrrigationOk ? PadLeft(Whole(b.IrrigationN), 10) : std::string(10, ' '));
  EndLine();
  Sep();
  WriteLabel(Pad("Total nutrients supplied", 36));
  WriteInput(PadLeft(Whole(b.Total[nuN]), 10));
  if (rec.Cur_Crop == crCorn && rec.Basal_N != 0) WriteLabel(" (*)");
  else WriteInput("    ");
  WriteInput(PadLeft(Whole(b.Total[nuP2O5]), 8) + PadLeft(Whole(b.Total[nuK2O]), 12));
  EndLine();
  Sep();
  WriteLabel(Pad("Excess (deficit) applied", 36));
  // Each column is a value and a blank, or a parenthesised deficit one character wider; K2O has
  // no trailing blank.
  const size_t widths[kNutrients] = {10, 11, 11};
  std::string excess;
  for (int n = 0; n < kNutrients; ++n) {
    const size_t full = widths[n] + (n < nuK2O ? 1 : 0);
    if (!b.HasNeed[n]) excess += std::string(full, ' ');
    else if (b.Excess[n] < 0) excess += PadLeft("(" + Whole(-b.Excess[n]) + ")", widths[n] + 1);
    else excess += PadLeft(Whole(b.Excess[n]), widths[n]) + (n < nuK2O ? " " : "");
  }
  WriteInput(excess);
  EndLine();
  Sep();
}

void TWorksheetDoc::WriteExcessValue(const TNutrientBalance& b) {
  const auto dollars = [](float value, size_t width) { return PadLeft("$" + FormatReal(value, 2, 0), width); };
  WriteLabel(Pad("Value of excess applied ($/A)", 36));
  const bool nExcess = b.HasNeed[nuN] && b.Excess[nuN] > 0;
  WriteCost(nExcess ? dollars(b.ExcessValue[nuN], 10) + " Gas" : std::string(14, ' '));
  const bool pExcess = b.HasNeed[nuP2O5] && b.Excess[nuP2O5] > 0;
  WriteCost(pExcess ? dollars(b.ExcessValue[nuP2O5], 8) + " Dry" : std::string(12, ' '));
  if (b.HasNeed[nuK2O] && b.Excess[nuK2O] > 0) WriteCost(dollars(b.ExcessValue[nuK2O], 8) + " Dry");
  EndLine();
  if (nExcess) WriteCost(PadLeft(" or $" + FormatReal(b.ExcessValueLiquidN, 2, 0), 46) + " Liq");
  EndLine();
}

void TWorksheetDoc::WriteNutrientNotes(const TFieldRec& rec, const TNutrientBalance& b) {
  if (b.AnyCustom()) {
    Sep();
    WriteLabel(std::string("  ") + (kCustomMark + 1) + " Indicates a custom fertilizer recommendation.");
    EndLine();
  }
  if (b.AnyProvisional()) {
    Sep();
    const std::string note = kProvisionalNote;
    WriteLabel(std::string("  ") + (kProvisionalMark + 1) + " P" + note.substr(1) + ".");
    EndLine();
  }
  if (rec.Cur_Crop == crCorn && rec.Basal_N != 0) {
    Sep();
    WriteLabel("  (*) The crop's basal nitrogen test (");
    WriteInput(std::to_string(rec.Basal_N) + " ppm");
    WriteLabel(") indicates that");
    EndLine();
    WriteLabel(std::string(6, ' '));
    WriteLabel(BasalNText(rec.Basal_N));
    EndLine();
  }
}

void TWorksheetDoc::WriteNutrientWarnings(const TFieldRec& rec, const TNutrientBalance& b) {
  // Each warning follows an empty line.
  const auto lines = [this](const std::vector<std::string>& texts) {
    EndLine();
    for (const std::string& text : texts) {
      WriteInput(text);
      EndLine();
    }
  };
  if (b.AnyNeedMissing()) {
    std::vector<std::string> texts = {"***  Warning: Unable to calculate one or more nutrient needs!  ***",
                                      "     The field's state or crop may not be supported, or",
                                      "     required soil test or other data may be missing."};
    if (b.CoverHarvested) AddNeedsExplanation(CropSlotName(csCov, rec), b.Cover, b, texts);
    AddNeedsExplanation(CropSlotName(csCur, rec), b.Current, b, texts);
    lines(texts);
  }
  if (b.AnyManureMissing())
    lines({"***  Warning: Unable to calculate one or more manure nutrients!  ***",
           "     The field's state or manure type may not be supported, or",
           "     required manure application or other data may be missing."});
  if (!b.IrrigationOk)
    lines({"***  Warning: Unable to calculate one or more irrigation N credits!  ***",
           "     Required irrigation data may be missing."});
  if (!settings_.ShowExplanatoryNotes) return;
  Sep();
  WriteHeading("Explanatory notes:");
  EndLine();
  Sep();
  for (const TNoteLine& line : kNutrientNotes) {
    WriteLabel(std::string(static_cast<size_t>(line.blanks), ' ') + line.text);
    EndLine();
    if (line.gapAfter) EndLine();
  }
}

void TWorksheetDoc::AddNeedsExplanation(const std::string& crop, const TCropNeeds& needs, const TNutrientBalance& b,
                                        std::vector<std::string>& texts) {
  // What the state's formulas lacked for the crop's failed needs, where they tell.
  uint64_t causes = 0;
  std::string which;
  for (int n = 0; n < kNutrients; ++n) {
    if (needs.Ok[n] || b.Custom[n] || needs.Causes[n] == 0) continue;
    causes |= needs.Causes[n];
    which += (which.empty() ? "" : ", ") + std::string(kNutrientNames[n]);
  }
  TStateTables& tables = *project_->StateTables();
  if (causes == 0 || !tables.IsLoaded()) return;
  const std::string text = RecNeedsText(causes, tables.Db());
  if (text.empty()) return;
  const std::vector<std::string> wrapped = Wrap(crop + " " + which + ": " + text, 72);
  for (size_t k = 0; k < wrapped.size(); ++k) texts.push_back(std::string(k == 0 ? 5 : 7, ' ') + wrapped[k]);
}
