#include "vocab/CodeLists.h"

#include <initializer_list>
#include <utility>

#include "common/TextUtil.h"

namespace {

struct TCodeName {
  const char* Short;
  const char* Long;
};

using TNames = std::initializer_list<TCodeName>;

const TNames kSoilTestUnits = {{"Lb/A", "Lb/A"}, {"ppm", "ppm"}};
const TNames kTillage = {{"NT", "No-till"},     {"MT", "Mulch-till"},   {"ST", "Strip-till"},
                         {"RT", "Ridge-till"},  {"RE", "Reduced-till"}, {"CV", "Conventional"}};
const TNames kAttachments = {{"Z", "Zone-till coulters"}, {"N", "No-till coulters"},
                             {"R", "Row cleaners"},       {"C", "Coulter combo units"},
                             {"S", "Subsoil shanks"},     {"L", "Liquid starter fertilizer"},
                             {"D", "Dry starter fertilizer"}, {"O", "Other"}};
const TNames kFertForms = {{"G", "Gas"}, {"D", "Dry"}, {"L", "Liquid"}, {"S", "Suspension"}, {"F", "Foliar"}};
const TNames kManureMethods = {
    {"Inject", "Injection"},     {"Inc0Day", "Inc same day"},  {"Inc1Day", "Inc in 1 day"},
    {"Inc3Day", "Inc in 3 days"}, {"Inc5Day", "Inc in 5 days"}, {"NotInc", "Not incorp"},
    {"Irrig", "Irrigation"},     {"Inc2Day", "Inc in 2 days"}, {"Inc4Day", "Inc in 4 days"},
    {"Inc6Day", "Inc in 6 days"}, {"Inc7Day", "Inc in 7 days"}, {"Inc>7D", "Inc in >7days"}};
const TNames kHerbTimings = {{"EPP", "Early preplant"}, {"PPI", "Preplant incorporated"},
                             {"Pre", "Pre-emerge"},     {"Post", "Post-emerge"},
                             {"DP", "Directed post-emerge"}, {"B", "Band"},
                             {"BD", "Burndown"},        {"LB", "Lay by"},
                             {"HS", "Hooded sprayer"},  {"O", "Other"}};
const TNames kInsMethods = {{"A", "Aerial"},   {"FB", "Foliar band"}, {"BC", "Broadcast"},
                            {"B", "Soil band"}, {"TB", "T-band"},     {"IF", "In furrow"},
                            {"CU", "Cultivation"}};
const TNames kTextures = {{"COS", "COS"},   {"S", "S"},       {"FS", "FS"},     {"VFS", "VFS"},
                          {"LCOS", "LCOS"}, {"LS", "LS"},     {"LFS", "LFS"},   {"LVFS", "LVFS"},
                          {"COSL", "COSL"}, {"SL", "SL"},     {"FSL", "FSL"},   {"VFSL", "VFSL"},
                          {"L", "L"},       {"SIL", "SIL"},   {"SI", "SI"},     {"SCL", "SCL"},
                          {"CL", "CL"},     {"SICL", "SICL"}, {"SC", "SC"},     {"SIC", "SIC"},
                          {"C", "C"}};
const TNames kDrainage = {{"Excessively well", "Excessively well"},
                          {"Somewhat exc. well", "Somewhat exc. well"},
                          {"Well", "Well"},
                          {"Moderately well", "Moderately well"},
                          {"Somewhat poorly", "Somewhat poorly"},
                          {"Poorly", "Poorly"},
                          {"Very poorly", "Very poorly"}};
const TNames kRatingUnits = {{"Bu/A", "Bu/A"}, {"CSR", "CSR"}};

const TNames& Names(TCodeList list) {
  switch (list) {
    case TCodeList::SoilTestUnits: return kSoilTestUnits;
    case TCodeList::Tillage: return kTillage;
    case TCodeList::PlanterAttachments: return kAttachments;
    case TCodeList::FertForm: return kFertForms;
    case TCodeList::ManureMethod: return kManureMethods;
    case TCodeList::HerbTiming: return kHerbTimings;
    case TCodeList::InsMethod: return kInsMethods;
    case TCodeList::SoilTexture: return kTextures;
    case TCodeList::SoilDrainage: return kDrainage;
    case TCodeList::RatingUnits: return kRatingUnits;
  }
  return kSoilTestUnits;
}

const TCodeName* Entry(TCodeList list, int code) {
  const TNames& names = Names(list);
  if (code < 1 || code > static_cast<int>(names.size())) return nullptr;
  return names.begin() + (code - 1);
}

}  // namespace

int CodeListCount(TCodeList list) { return static_cast<int>(Names(list).size()); }

std::string CodeShortName(TCodeList list, int code) {
  const TCodeName* e = Entry(list, code);
  return e ? e->Short : "";
}

std::string CodeLongName(TCodeList list, int code) {
  const TCodeName* e = Entry(list, code);
  return e ? e->Long : "";
}

int FindCodeByName(TCodeList list, const std::string& name) {
  int code = 0;
  for (const TCodeName& e : Names(list)) {
    ++code;
    if (SameText(name, e.Short) || SameText(name, e.Long)) return code;
  }
  return 0;
}

int RatingUnitOfState(int state) { return state == 15 ? 2 : 1; }
