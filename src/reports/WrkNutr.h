// The nutrient balance of one field record, as the worksheet's nutrient management page shows it:
// the crops' needs of available N, P2O5 and K2O against the previous legume N credit, commercial
// fertilizer, manure and irrigation water, with the excess or deficit and what an excess was worth.
// Pounds per acre, 32-bit floats.
#pragma once

#include <cstdint>

#include "store/MdaLayout.h"

class TMdfFile;
class TStateTables;

enum : int { nuN = 0, nuP2O5 = 1, nuK2O = 2 };
constexpr int kNutrients = 3;

// The needs of one crop slot.
struct TCropNeeds {
  bool Ok[kNutrients] = {};         // the state's formulas gave a value
  float Value[kNutrients] = {};     // N before any legume credit, P2O5, K2O
  float Credit = 0;                 // N need without the preceding crops minus the need after them
  uint64_t Causes[kNutrients] = {};  // recommendation variables whose absence made a failed need null
  bool Provisional[kNutrients] = {};  // the need rests on a rate not checked against the publication
  bool CreditProvisional = false;     // likewise the credit (the N need after the preceding crops)
};

struct TNutrientBalance {
  bool CoverHarvested = false;  // a harvested first crop with a yield (or goal) above 0
  TCropNeeds Cover, Current;
  bool Custom[kNutrients] = {};
  float CustomValue[kNutrients] = {};
  bool HasNeed[kNutrients] = {};
  float Need[kNutrients] = {};  // the total need: custom, or the crops' needs
  bool CreditShown = false;     // the legume credit could be computed
  float LegumeCredit = 0;
  bool NeedProvisional[kNutrients] = {};  // a need from the crops' rates that rests on an unchecked one
  bool CreditProvisional = false;
  float Applied[kNutrients] = {};  // commercial N-P-K fertilizer, whole pounds
  bool ManureOk[kNutrients] = {};
  float Manure[kNutrients] = {};   // whole pounds; 0 when not computable
  bool IrrigationOk = true;
  float IrrigationN = 0;           // whole pounds; 0 when not computable
  float Total[kNutrients] = {};
  float Excess[kNutrients] = {};   // total - need, for the nutrients with a need
  float ExcessValue[kNutrients] = {};  // $/A of a positive excess: N as gas, P2O5 and K2O dry
  float ExcessValueLiquidN = 0;        // $/A of a positive N excess as liquid N

  bool AnyCustom() const { return Custom[nuN] || Custom[nuP2O5] || Custom[nuK2O]; }
  bool AnyProvisional() const {
    return NeedProvisional[nuN] || NeedProvisional[nuP2O5] || NeedProvisional[nuK2O] || CreditProvisional;
  }
  bool AnyNeedMissing() const { return !HasNeed[nuN] || !HasNeed[nuP2O5] || !HasNeed[nuK2O]; }
  bool AnyManureMissing() const { return !ManureOk[nuN] || !ManureOk[nuP2O5] || !ManureOk[nuK2O]; }
  // What was put on the field, without the legume credit: fertilizer and manure, and for N the
  // irrigation water too (whole pounds, so the sum is exact).
  float Supplied(int n) const { return Applied[n] + Manure[n] + (n == nuN ? IrrigationN : 0.0f); }
  // Whether every part of Supplied(n) could be computed.
  bool SuppliedOk(int n) const { return ManureOk[n] && (n != nuN || IrrigationOk); }
};

// The balance of a record with its state's tables (loaded on demand) at the working costs of `mdf`.
TNutrientBalance ComputeNutrientBalance(const TFieldRec& rec, TStateTables& tables, const TMdfFile& mdf);
// Only the supplies of the balance: commercial N-P-K, manure and irrigation water.
void ComputeNutrientSupply(const TFieldRec& rec, TStateTables& tables, TNutrientBalance& b);
// Pounds of N per acre-inch of irrigation water per ppm of nitrate N.
constexpr float kIrrigationNFactor = 0.226666f;
