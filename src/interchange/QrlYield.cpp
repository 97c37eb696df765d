#include "interchange/QrlYield.h"

#include "common/Format.h"
#include "common/TextUtil.h"
#include "reference/MdfFile.h"
#include "store/ProjectRefs.h"
#include "vocab/CropVocab.h"

namespace {

constexpr double kMaxImportedYield = 9999;

}  // namespace

double ConvertYield(double value, const std::string& from, const std::string& to, int crop) {
  if (SameText(from, to)) return value;
  return YieldFromPounds(YieldInPounds(value, from, crop), to, crop, true);
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
