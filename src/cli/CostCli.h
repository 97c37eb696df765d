// What the cost and report commands share: custom costs, the subset option, the cost options.
#pragma once

#include <string>

#include "ProjectCli.h"
#include "store/CostCalc.h"

class TRecordSubset;

inline constexpr const char* kSubsetHelp =
    "TYPE=ITEM,ITEM;TYPE=ITEM...: types 2-16 and items by number or name; unnamed types stay fully checked";

// Loads the custom cost file into the working costs, or restores the standard costs when none is
// given; a file that cannot be read is reported.
bool LoadCostsForReport(TCliContext& ctx, TProjectSession& session, const std::string& customFile);
// Attaches the subset to the project and applies the selection; a bad selection is reported.
bool ApplySubsetOption(TCliContext& ctx, TRecordSubset& subset, const TMdaFile& file, const std::string& spec);
// --custom, --removal, --current-prices, --any-soil-loss.
void AddCostOptions(CLI::App* cmd, std::string& custom, bool& removal, bool& currentPrices, bool& anySoilLoss);

// The cost options as typed.
struct TCostArgs {
  std::string custom;
  bool removal = false, currentPrices = false, anySoilLoss = false;

  TCostOptions Options() const { return {removal, anySoilLoss, !currentPrices}; }
};
inline void AddCostOptions(CLI::App* cmd, TCostArgs& a) {
  AddCostOptions(cmd, a.custom, a.removal, a.currentPrices, a.anySoilLoss);
}
