// The stand-in planner's fixed data: table layouts, states, and the definition catalogues every
// new plan starts with.
#include <cstring>

#include "PlanCatalog.h"
#include "PlanStore.h"
#include "common/TextUtil.h"

namespace {

struct TStateFips {
  const char* Name;
  int Code;
};

constexpr TStateFips kStates[] = {
    {"Alabama", 1},        {"Alaska", 2},          {"Arizona", 4},       {"Arkansas", 5},
    {"California", 6},     {"Colorado", 8},        {"Connecticut", 9},   {"Delaware", 10},
    {"District of Columbia", 11}, {"Florida", 12}, {"Georgia", 13},      {"Hawaii", 15},
    {"Idaho", 16},         {"Illinois", 17},       {"Indiana", 18},      {"Iowa", 19},
    {"Kansas", 20},        {"Kentucky", 21},       {"Louisiana", 22},    {"Maine", 23},
    {"Maryland", 24},      {"Massachusetts", 25},  {"Michigan", 26},     {"Minnesota", 27},
    {"Mississippi", 28},   {"Missouri", 29},       {"Montana", 30},      {"Nebraska", 31},
    {"Nevada", 32},        {"New Hampshire", 33},  {"New Jersey", 34},   {"New Mexico", 35},
    {"New York", 36},      {"North Carolina", 37}, {"North Dakota", 38}, {"Ohio", 39},
    {"Oklahoma", 40},      {"Oregon", 41},         {"Pennsylvania", 42}, {"Rhode Island", 44},
    {"South Carolina", 45}, {"South Dakota", 46},  {"Tennessee", 47},    {"Texas", 48},
    {"Utah", 49},          {"Vermont", 50},        {"Virginia", 51},     {"Washington", 53},
    {"West Virginia", 54}, {"Wisconsin", 55},      {"Wyoming", 56},
};

std::vector<std::string> FieldColumns(const std::string& fileVersion) {
  std::vector<std::string> c = {"ID", "SubID", "Size", "CntyCode", "FsaTract", "FsaField", "Notes"};
  if (fileVersion >= std::string("0.2.0.0")) {
    c.insert(c.end(), {"DrainDef", "AnnManured"});
  } else {
    c.push_back("Drained");
  }
  c.insert(c.end(), {"ErosionWtr", "ErosionWnd", "Irrigated", "SoilKey", "Slope", "SoilTestYr", "OM", "InLbA",
                     "P", "PTestDef", "K", "Mg", "Ca", "Na", "Al", "SoilpH", "BufferpH", "CEC", "NO3N", "EC",
                     "SO4S", "PlanOrder"});
  return c;
}

TQrlValue Int(int64_t v) { return TQrlValue::OfInt(v); }
TQrlValue Text(const char* s) { return s ? TQrlValue::OfText(s) : TQrlValue{}; }

}  // namespace

const std::vector<std::string>& PlanTableNames() {
  static const std::vector<std::string> names = {
      "PlanInfo", "Operation", "InitInfo", "Field",     "SoilKey", "Crop",       "CropDef",   "FertApp",
      "ManureApp", "Storage",  "StorageDef", "Animal", "ManureXfer", "Equipment", "EquipDef"};
  return names;
}

std::vector<std::string> PlanColumns(const std::string& table, const std::string& fileVersion) {
  const std::string t = UpperCase(table);
  if (t == "PLANINFO") return {"Title", "Author", "Company", "Comments", "PlanYears"};
  if (t == "OPERATION")
    return {"Operation", "Address",   "Town",  "State",    "Zip",        "Contact",   "OffPhone",
            "HomePhone", "EMail",     "CntyCode", "StartPlnYr", "StartPlnMo", "StartCrpYr"};
  if (t == "INITINFO") return {"StateCode"};
  if (t == "FIELD") return FieldColumns(fileVersion);
  if (t == "SOILKEY")
    return {"SoilKey", "MuSym", "CompName", "Slope", "SlopeL", "SlopeH",
            "SurfTex", "Drainage", "TFact", "MiscA", "MiscB", "MiscD"};
  if (t == "CROP")
    return {"Field",   "CropYrNum", "IsPrimary", "CropDef",  "YldGoal",  "PctLegume", "DefNRec",
            "DefPRec", "DefKRec",   "CustNRec",  "CustPRec", "CustKRec", "CustRecSrc"};
  if (t == "CROPDEF") return {"CropDef", "Name", "ToTessCrop", "IsTessRec", "YldUnit"};
  if (t == "FERTAPP")
    return {"Field", "CropYrNum", "CovType", "AppType", "N", "P2O5", "K2O", "Rate", "Form", "AppMonth", "AppYrNum"};
  if (t == "MANUREAPP")
    return {"Field", "CropYrNum", "Storage", "Rate", "AppMonth", "AppYrNum", "Equipment", "DaysToInc"};
  if (t == "STORAGE")
    return {"Storage",  "StorageDef", "MeasTotalN", "EstTotalN", "MeasNH4N", "EstNH4N",
            "MeasP2O5", "EstP2O5",    "MeasK2O",    "EstK2O",    "MeasPctDM"};
  if (t == "STORAGEDEF") return {"StorageDef", "IsLiquid"};
  if (t == "ANIMAL") return {"Storage", "AnimalDef", "PlanOrder"};
  if (t == "MANUREXFER") return {"XferType", "Storage", "AnimalDef"};
  if (t == "EQUIPMENT") return {"Equipment", "EquipDef"};
  if (t == "EQUIPDEF") return {"EquipDef", "IsInject", "IsIrrigate"};
  return {};
}

int StateFipsCode(const std::string& stateName) {
  for (const auto& s : kStates)
    if (SameText(stateName, s.Name)) return s.Code;
  return 0;
}

std::vector<std::vector<TQrlValue>> CropDefRows() {
  struct TCropDef {
    int Crop;
    const char* Name;
    int TessCrop;
    bool TessRec;
    const char* Unit;
  };
  // An "Oatlage" definition comes before the oat grain one, both of crop 4, so that the grain
  // definition (the one with recommendations) is the one a crop code finds.
  static constexpr TCropDef defs[] = {
      {1, "Corn grain", 1, true, "Bu"},        {2, "Corn silage", 19, true, "Ton"},
      {3, "Soybeans", 2, true, "Bu"},          {4, "Wheat", 3, true, "Bu"},
      {5, "Oatlage", 4, false, "Ton"},         {6, "Oats", 4, true, "Bu"},
      {7, "Barley", 5, true, "Bu"},            {8, "Rye cover", 13, false, "Bu"},
      {9, "Grain sorghum", 6, true, "CWT"},    {10, "Sunflowers", 7, true, "Lb"},
      {11, "Navy beans", 8, true, "CWT"},      {12, "Black beans", 9, false, "CWT"},
      {13, "Sugar beets", 10, true, "Ton"},    {14, "Cotton", 12, true, "Bale"},
      {15, "Alfalfa", 18, true, "Ton"},        {16, "Red clover", 15, false, "Ton"},
      {17, "Grass-legume hay", 16, true, "Ton"}, {18, "Grass hay", 17, true, "Ton"},
      {19, "CRP", 101, false, nullptr},        {20, "Fallow", 103, false, nullptr},
      {21, "Hairy vetch", 14, false, nullptr}, {22, "Other", 102, false, "Bu"},
  };
  std::vector<std::vector<TQrlValue>> rows;
  for (const auto& d : defs)
    rows.push_back({Int(d.Crop), Text(d.Name), Int(d.TessCrop), d.TessRec ? Int(1) : TQrlValue{}, Text(d.Unit)});
  return rows;
}

std::vector<std::vector<TQrlValue>> StorageDefRows() {
  // Liquid: pits, tanks, lagoons and basins; the rest hold solid manure.
  static constexpr int liquid[] = {6, 7, 8, 9, 10, 11, 12, 13, 17, 20, 22, 23};
  std::vector<std::vector<TQrlValue>> rows;
  for (int def = 1; def <= 25; ++def) {
    bool isLiquid = false;
    for (int l : liquid) isLiquid = isLiquid || l == def;
    rows.push_back({Int(def), Int(isLiquid ? 1 : 0)});
  }
  return rows;
}

std::vector<std::vector<TQrlValue>> EquipDefRows() {
  // Box spreader, injector, irrigation system, tank spreader.
  return {{Int(1), Int(0), Int(0)}, {Int(2), Int(1), Int(0)}, {Int(3), Int(0), Int(1)}, {Int(4), Int(0), Int(0)}};
}
