#include "reports/NutrNeeds.h"

#include <vector>

#include "textdb/QriFilDb.h"

namespace {

const char* const kSoilsGrid = " of the predominant soil (Erosion page, soils grid)";

// The record value behind each recommendation variable, in the engine's order, then the preceding
// crop's yield; empty for the variables the engine derives itself (crop sequence), never missing.
const char* const kNeeds[] = {
    "a soil phosphorus test (Soil Tests page)",
    "the P test method (Soil Tests page)",
    "a soil potassium test (Soil Tests page)",
    "the soil pH (Soil Tests page)",
    "the buffer pH (Soil Tests page)",
    "the CEC, or the K, Mg and Ca tests that estimate it (Soil Tests page)",
    "the organic matter (Soil Tests page)",
    "a soil magnesium test (Soil Tests page)",
    "a soil calcium test (Soil Tests page)",
    "a soil aluminum test (Soil Tests page)",
    "",
    "a soil nitrate test (Soil Tests page)",
    "a yield goal or yield for the crop (Crops page)",
    "the % legume of the crop (Crops page)",
    "the county (General page)",
    "the irrigation water (Other page, other inputs)",
    "the surface texture of the predominant soil (Erosion page, soils grid)",
    "the drainage class of the predominant soil (Erosion page, soils grid)",
    "",
    "",
    "a crop definition for the preceding crop (Crops page)",
    "the % legume of the preceding crop (Crops page)",
    "MiscA",
    "MiscB",
    "",
    "the soil rating of the predominant soil (Erosion page, soils grid)",
    "",
    "a yield goal or yield for the preceding crop (Crops page)",
};
constexpr int kNeedCount = static_cast<int>(sizeof(kNeeds) / sizeof(kNeeds[0]));

// A state soil attribute as the state's tables label it in the soils grid.
std::string SoilAttribute(const TQriFileDb& tables, const char* column) {
  const int row = tables.FindMiscColumn("SoilKey", column);
  const std::string label = row >= 0 ? tables.GetFieldValue(qfMiscColLabel, row) : std::string();
  return (label.empty() ? std::string("a state soil attribute") : "the " + label) + kSoilsGrid;
}

}  // namespace

std::string RecNeedsText(uint64_t causes, const TQriFileDb& tables) {
  std::vector<std::string> needs;
  for (int i = 0; i < kNeedCount; ++i) {
    if ((causes >> i & 1) == 0 || kNeeds[i][0] == '\0') continue;
    const std::string need = kNeeds[i];
    needs.push_back(need == "MiscA" || need == "MiscB" ? SoilAttribute(tables, kNeeds[i]) : need);
  }
  if (needs.empty()) return {};
  std::string text = "Needs " + needs[0];
  for (size_t k = 1; k < needs.size(); ++k) text += (k + 1 == needs.size() ? " and " : ", ") + needs[k];
  return text + ".";
}

const char* const kProvisionalNote = "provisional: not checked against the publication's table";

std::string ProvisionalText(const bool provisional[3]) {
  static const char* const kNames[] = {"N", "P2O5", "K2O"};
  std::vector<std::string> names;
  for (int n = 0; n < 3; ++n)
    if (provisional[n]) names.push_back(kNames[n]);
  if (names.empty()) return {};
  const std::string note = kProvisionalNote;
  if (names.size() == 3) return "P" + note.substr(1) + ".";
  return (names.size() == 1 ? names[0] : names[0] + " and " + names[1]) + " " + note + ".";
}
