// Production costs and income of one field record, per acre, at the working costs of the input
// definition file: every line of the cost worksheet and the group totals. The worksheet prints the
// lines; the cost summary condenses the totals into the eighteen figures that the summaries and
// exports use, so that they always agree. All arithmetic is done in 32-bit floats, each product or
// sum stored as a float before the next step.
#pragma once

#include <string>
#include <vector>

#include "store/MdaLayout.h"

class TMdfFile;

struct TCostOptions {
  bool UseRemovalCost = false;    // value fertilizer by N applied plus P and K removal
  bool ChargeAnySoilLoss = false; // charge all soil loss, not only the loss above T
  bool UseFiveYearPrice = true;   // value the crops at five-year prices
};

// One priced line: an input applied at a rate, a charge on a yield, an other input's own cost.
struct TCostLine {
  int Code = 0;
  std::string Name;
  float Rate = 0;
  std::string RateUnit;  // name of the rate's unit
  float UnitCost = 0;
  std::string CostUnit;  // name of the cost unit
  float Cost = 0;
};

// A fertilizer row priced by its analysis.
struct TNpkLine {
  float N = 0, P2O5 = 0, K2O = 0;
  float Rate = 0;
  std::string RateUnit;
  float PricePerPound = 0;
  float Cost = 0;
};

// A charge on a harvested crop (hauling, drying); Present when it applies.
struct TCropCharge {
  bool Present = false;
  float UnitCost = 0;
  std::string CostUnit;
  float Moisture = 0, Standard = 0;  // drying only
  float Charge = 0;
};

// The crop values of one price set (0 current, 1 five-year).
struct TPriceSet {
  float CoverPrice = 0, CoverIncome = 0;
  float CropPrice = 0, CropIncome = 0;
  float ExtraPrice = 0, ExtraIncome = 0;
  float MoisturePerUnit = 0, MoistureAdjustment = 0;
  float Total = 0;  // cover + crop + additional product + moisture adjustment
};

struct TCostSheet {
  TCostOptions Options;
  float YieldUsed = 0;        // the harvested yield, else the goal
  float CoverYield = 0;       // likewise for the cover or first crop
  bool CoverHarvested = false; // a harvested first crop with a yield above 0

  // Direct inputs.
  bool HasCoverSeed = false, HasCurrentSeed = false, SeedExtras = false;
  TCostLine CoverSeed, CurrentSeed;
  std::vector<TCostLine> Traits;
  float Seed = 0;
  std::vector<TNpkLine> Npk;
  float NpkTotal = 0, AppliedN = 0, NRemoval = 0, PKRemoval = 0, RemovalCost = 0;
  std::vector<TCostLine> OtherFertRows, OtherFertInputs, ManureRows;
  float OtherFertilizers = 0, Manure = 0;
  std::vector<TCostLine> HerbRows, HerbInputs, InsRows, InsInputs;
  float Pesticides = 0;
  std::vector<TCostLine> Operations, OperationInputs;
  float FieldOperations = 0;
  std::vector<TCostLine> OtherInputRows;
  float OtherInputs = 0;

  // Indirect costs.
  float WeightedRating = 0, WeightedT = 0;
  float CalculatedRent = 0;  // used when the weighted rating is above 0
  float Land = 0;
  float SoilLossTons = 0, SoilLossUnitCost = 0, SoilLoss = 0;
  TCropCharge CoverHauling, CurrentHauling, CoverDrying, CurrentDrying;
  float Hauling = 0, Drying = 0;
  std::vector<TCostLine> CropChargeLines;
  float CropCharges = 0;
  float InterestRate = 0, InterestBase = 0, Interest = 0;
  float TotalCost = 0;
  float CostPerUnit = 0;  // 0 without a yield

  // Income.
  TPriceSet Prices[2];
  float ExtraYield = 0;
  TCostLine CoverPremium, CurrentPremium;  // Code 0 when not counted
  float Income = 0;
  float Profit = 0;
};

// The eighteen figures of a record's cost summary, in their order.
struct TCostSummary {
  static constexpr int kCount = 18;
  float Values[kCount] = {};
  enum : int {
    Seed, AppliedFertilizer, RemovalFertilizer, FertilizerUsed, Pesticides, FieldOperations, OtherInputs,
    Land, SoilLoss, Hauling, Drying, CropCharges, Interest, IndirectCosts, TotalCost, CostPerUnit, Income,
    Profit,
  };
  float operator[](int i) const { return Values[i]; }
  static const char* Name(int i);
};

// Every cost and income line of a record at the working costs of `mdf`.
TCostSheet ComputeCosts(const TFieldRec& rec, const TMdfFile& mdf, const TCostOptions& options);
TCostSummary SummarizeCosts(const TCostSheet& sheet);
// Standard moisture of the crop in a record: the record's when above 0, else the crop's default.
float StandardMoisture(int crop, float recordStandard);
