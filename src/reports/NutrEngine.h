// The nutrient recommendation engine: fills the variables of the state's formulas from a field
// record and chains the formulas into the N, P2O5 and K2O recommendation of a crop slot, the
// default recommendation of a record, the estimated CEC and the nutrients a manure row makes
// available. Nothing here fails loudly: results carry error codes, false or -1.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "store/MdaLayout.h"
#include "store/StateTables.h"

// A recommendation: its value and the error code (0 success, 1 no crop definition row, 13 no
// crop or a null result, others the evaluator's error of the failing step). For a null result,
// bit i of NullCauses stands for recommendation variable i whose missing value made it null.
// Provisional: the value rests on a rate of the state file that was not checked against the
// publication's own table (the definition's, or for N the credit of the preceding crop).
struct TRecResult {
  double Value = 0;
  int Error = 0;
  uint64_t NullCauses = 0;
  bool Provisional = false;
};

// Available manure nutrients in lb per acre; -1 for a nutrient that is not computable.
struct TManureNutrients {
  double N = -1;
  double P2O5 = -1;
  double K2O = -1;
};

// Recommendation columns of a crop definition.
enum : int { rcNCredit = qfNCredit, rcN = qfNRec, rcP2O5 = qfPRec, rcK2O = qfKRec };

// Number of recommendation variables and of manure availability variables.
constexpr int kRecVarCount = 27;
constexpr int kManureVarCount = 26;
// The NullCauses bit, after the recommendation variables', for the preceding crop's yield: the
// credit that crop leaves is the first step of an N chain.
constexpr int kPrvYieldCause = kRecVarCount;
// Longest chain of formulas: a head column and eleven more (N, P2O5, K2O); the manure chain has sixteen.
constexpr int kMaxChainSteps = 16;

class TNutrEngine {
 public:
  explicit TNutrEngine(TStateTables& tables) : Tables(tables) {}

  // A soil test value in the units the loaded tables assume (unit: 1 Lb/A, 2 ppm, 0 none).
  double ToPlannerUnits(double value, int unit) const;
  // A crop's yield, given in the unit of its price input, in `unit` (0 when not convertible).
  double ToYieldUnit(int crop, double yield, const std::string& unit) const;

  double EstimatedCEC(const TFieldRec& rec);
  TRecResult NutrientRec(int column, int slot, const TFieldRec& rec);
  // `provisional`, when given, tells whether a summed recommendation rests on an unchecked rate.
  bool DefaultRec(int column, const TFieldRec& rec, double& value, bool* provisional = nullptr);
  // What the slot's N, P2O5 or K2O recommendation lacks, in the user's words ("Needs ..."); empty
  // when it is computable or its formulas name no record value.
  std::string RecNeeds(int column, int slot, const TFieldRec& rec);

  int ManureRow(int code);
  // The percent of manure P that is available; false when the formula fails.
  bool ManurePAvailability(const TFieldRec& rec, double& percent);
  // Manure row 1..5.
  TManureNutrients ManureNutrients(int row, const TFieldRec& rec);
  // Available N of manure row 1..5 by the state's N availability formulas, for the ManureDef row
  // `defRow`; `rate` in tons or gallons per acre, or 0 to take the row's own rate.
  TRecResult ManureNChain(int row, int defRow, double rate, const TFieldRec& rec);

  // The slot whose crop precedes `slot`, or -1 for the previous crop.
  static int PrecedingSlot(int slot, const TFieldRec& rec);
  // Index 0..2 of the predominant soil row.
  static int PredominantSoil(const TFieldRec& rec);

 private:
  TStateTables& Tables;
  // The recommendation variables and the chain's results, for a recommendation and the credit it
  // asks for on the way.
  using TRecVars = std::array<TExprVar, kRecVarCount + kMaxChainSteps>;
  std::array<TRecVars, 2> recVars_;
  int recDepth_ = 0;
  struct TDepth {
    int& Depth;
    explicit TDepth(int& depth) : Depth(depth) { ++Depth; }
    ~TDepth() { --Depth; }
  };

  // Fills the 27 recommendation variables of a slot whose crop definition row is `defRow`.
  void FillRecVars(int slot, int defRow, const TFieldRec& rec, TExprVar* vars);
  void FillStateVars(const TFieldRec& rec, TExprVar* vars) const;
  void FillManureVars(int row, int defRow, double rate, const TFieldRec& rec, TExprVar* vars);
  // Total N and NH4-N of a manure row, completed from the ManureDef row; false when they cannot be.
  bool ManureNitrogen(int row, int defRow, const TFieldRec& rec, double& total, double& nh4) const;
  // The rate of a manure row in tons or thousand gallons per acre by the input's unit; 0 when unknown.
  double ManureTons(int row, const TFieldRec& rec) const;
  // Runs the formulas of `columns` on row `row` after the `base` variables, appending each result
  // as a variable; the step at column `takenColumn` (0 for none) takes `taken` instead. A null
  // result names the base variables it came from, through the chain's own null steps.
  TRecResult RunChain(const int* columns, int count, int row, TExprVar* vars, int base, int takenColumn,
                      const TRecResult& taken);
  // The N credit that the crop of `slot` leaves to the crop after it, a null one naming what it
  // lacks as the following crop sees it.
  TRecResult CreditLeft(int slot, const TFieldRec& rec);
  double IrrigationWater(const TFieldRec& rec) const;
};
