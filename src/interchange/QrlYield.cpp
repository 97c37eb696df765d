#include "interchange/QrlYield.h"

#include "common/Format.h"
#include "common/TextUtil.h"
#include "reference/MdfFile.h"
#include "store/ProjectRefs.h"
#include "vocab/CropVocab.h"

namespace {

constexpr double kMaxImportedYield = 9999;

double ToPounds(double value, const std::string& unit, int crop) {
  if (SameText(unit, "CWT")) return value * 100;
  if (SameText(unit, "Ton")) return value * 2000;
  if (SameText(unit, "Bu")) return value * CropInfo(crop).LbPerBushel;
  if (SameText(unit, "Lb")) return value;
  if (SameText(unit, "Bale") && crop == crCotton) return value * kLbPerBale;
  return 0;
}

double FromPounds(double pounds, const std::string& unit, int crop) {
  if (SameText(unit, "CWT")) return pounds / 100;
  if (SameText(unit, "Ton")) return pounds / 2000;
  if (SameText(unit, "Bu")) {
    const double lbPerBushel = CropInfo(crop).LbPerBushel;
    return lbPerBushel > 0 ? pounds / lbPerBushel : 0;
  }
  if (SameText(unit, "Lb")) return pounds;
  if (SameText(unit, "Bale") && crop == crCotton) return pounds / kLbPerBale;
  return 0;
}

}  // namespace

double ConvertYield(double value, const std::string& from, const std::string& to, int crop) {
  if (SameText(from, to)) return value;
  return FromPounds(ToPounds(value, from, crop), to, crop);
}

double PlanYield(double value, const std::string& from, const std::string& to, int crop) {
  return from.empty() || to.empty() ? value : ConvertYield(value, from, to, crop);
}

double ImportedYield(double value, const std::string& from, const std::string& to, int crop) {
  const double rounded = RoundToDecimals(PlanYield(value, from, to, crop), 1);
  return rounded < 0 || rounded > kMaxImportedYield ? 0 : rounded;
}

std::string CropYieldUnit(const TProjectRefs& refs, int crop) {
  const int code = TMdfFile::PriceCode(crop, true);
  return code == 0 ? std::string() : refs.InputUnitAbbrev(static_cast<uint16_t>(code), true);
}
