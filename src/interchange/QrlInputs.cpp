#include "interchange/QrlInputs.h"

#include <vector>

#include "interchange/QrlCalls.h"
#include "reference/MdfFile.h"
#include "vocab/CropVocab.h"

namespace {

constexpr int kIrrigationWater = 7002;
constexpr int kManureCategory = 3;
// Application kinds and fertilizer forms of the planner.
constexpr int kFertilizer = 1, kIrrigation = 3;
constexpr int kGasOrDry = 1, kLiquid = 2;
// Units, fertilizer forms and methods of the record.
constexpr uint8_t kPound = 2, kTon = 3, kGallon = 7, kInch = 11;
constexpr uint8_t kFormGas = 1, kFormDry = 2, kFormLiquid = 3;

bool Present(const TDbValue& v, double& number) { return CellNumber(v, number); }

// Which manure inputs of an animal group suit a storage: the input's name holds the word (any
// name when it is null) and the storage definition is one of the list.
struct TManureRule {
  int group;
  const char* word;
  std::vector<int> storages;
};

const std::vector<TManureRule>& ManureRules() {
  static const std::vector<TManureRule> rules = {
      {1, "lagoon", {8, 9, 10, 11, 17, 22, 23}}, {1, "liq", {6, 7, 13, 20}},
      {1, "w/bed", {1, 2, 19, 21}},              {1, "w/o bed", {3}},
      {2, "lagoon", {8, 9, 10, 11, 12, 17, 22, 23}}, {2, "liq", {6, 7, 13, 20}},
      {2, "w/o bed", {3}},                       {2, "w/bed", {1, 2, 14, 19, 21}},
      {3, "liq", {6}},                           {3, "w/lit", {5, 15, 18, 19, 24, 25}},
      {3, "pit", {4}},                           {4, "lagoon", {8, 9, 10, 11, 17, 22, 23}},
      {4, "liq", {6, 7, 13, 20}},                {4, "dirt lot", {3}},
      {4, "w/bed", {1, 2, 14, 19, 21}},          {5, "w/lit", {5, 15, 18, 19}},
      {5, "w/o lit", {4}},                       {6, "w/bed", {1, 2}},
      {6, "w/o bed", {3}},                       {7, nullptr, {1, 2, 3}},
      {8, "liq", {6, 7, 13, 20}},
  };
  return rules;
}

bool SuitsStorage(int group, const std::string& name, int storageDef) {
  for (const TManureRule& r : ManureRules()) {
    if (r.group != group || (r.word && name.find(r.word) == std::string::npos)) continue;
    for (int s : r.storages)
      if (s == storageDef) return true;
  }
  return false;
}

// The first manure input of the record's crops of the animal group that suits the storage; 0 when none.
int ManureInput(const TMdfFile& definitions, uint32_t cropMask, int group, int storageDef) {
  const int count = definitions.CountInputs(kManureCategory, itManure, cropMask);
  for (int pos = 1; pos <= count; ++pos) {
    const int code = definitions.InputAtListPosition(pos, kManureCategory, cropMask, itManure);
    if (definitions.InputKind(code) == group && SuitsStorage(group, definitions.InputName(code), storageDef))
      return code;
  }
  return 0;
}

// The animals whose manure a storage holds: its own animals, else the animals of a transfer into it,
// else the animals of the storages transferred from.
int AnimalDefOf(const TPlanDb& db, const TDbValue& storage) {
  for (size_t i = 0; i < db.Animal.Rows.size(); ++i)
    if (SameCell(db.Animal.Value(i, "Storage"), storage) && !db.Animal.Value(i, "AnimalDef").IsNull())
      return static_cast<int>(NumberOr0(db.Animal.Value(i, "AnimalDef")));
  if (!db.HasManureXfer) return 0;
  const TDbRows& xfer = db.ManureXfer;
  for (size_t i = 0; i < xfer.Rows.size(); ++i)
    if (NumberOr0(xfer.Value(i, "XferType")) == 2 && SameCell(xfer.Value(i, "Storage"), storage) &&
        !xfer.Value(i, "AnimalDef").IsNull())
      return static_cast<int>(NumberOr0(xfer.Value(i, "AnimalDef")));
  for (size_t i = 0; i < xfer.Rows.size(); ++i) {
    if (NumberOr0(xfer.Value(i, "XferType")) != 3) continue;
    for (size_t a = 0; a < db.Animal.Rows.size(); ++a)
      if (SameCell(db.Animal.Value(a, "Storage"), xfer.Value(i, "Storage")) &&
          !db.Animal.Value(a, "AnimalDef").IsNull())
        return static_cast<int>(NumberOr0(db.Animal.Value(a, "AnimalDef")));
  }
  return 0;
}

// A measured value, else the estimate; 0 when neither is present.
float MeasuredOrEstimate(const TDbRows& storage, size_t row, const char* measured, const char* estimate) {
  const TDbValue& m = storage.Value(row, measured);
  return static_cast<float>(NumberOr0(m.IsNull() ? storage.Value(row, estimate) : m));
}

void ImportFertilizer(const TDbRows& apps, size_t a, const TPlanDates& dates, TFieldRec& rec, int& row) {
  if (row >= kFertRows) return;
  double n = 0, p = 0, k = 0;
  if (Present(apps.Value(a, "N"), n) && Present(apps.Value(a, "P2O5"), p) && Present(apps.Value(a, "K2O"), k)) {
    rec.Fert_N[row] = static_cast<float>(n);
    rec.Fert_P2O5[row] = static_cast<float>(p);
    rec.Fert_K2O[row] = static_cast<float>(k);
  } else {
    n = p = k = 0;
  }
  rec.Fert_Rate[row] = static_cast<float>(NumberOr0(apps.Value(a, "Rate")));
  const double form = NumberOr0(apps.Value(a, "Form"));
  if (form == kGasOrDry) {
    rec.Fert_Units[row] = kPound;
    rec.Fert_Form[row] = n == 82 && p == 0 && k == 0 ? kFormGas : kFormDry;
  } else if (form == kLiquid) {
    rec.Fert_Units[row] = kGallon;
    rec.Fert_Form[row] = kFormLiquid;
  }
  rec.Fert_Date[row] = dates.InWindow(dates.AppDate(apps.Value(a, "AppMonth"), apps.Value(a, "AppYrNum")), 1);
  ++row;
}

void ImportIrrigation(const TDbRows& apps, size_t a, const TPlanDates& dates, TFieldRec& rec, int& row) {
  if (row >= kOtherRows) return;
  rec.Othr_Input[row] = kIrrigationWater;
  rec.Othr_Rate[row] = static_cast<float>(NumberOr0(apps.Value(a, "Rate")));
  rec.Othr_Units[row] = kInch;
  rec.Othr_Date[row] = dates.AppDate(apps.Value(a, "AppMonth"), apps.Value(a, "AppYrNum"));
  double n = 0;
  if (!rec.HasFlag(rfIrrigN) && Present(apps.Value(a, "N"), n)) {
    rec.Irrig_N = WholeWord(n);
    rec.SetFlag(rfIrrigN, true);
  }
  ++row;
}

void ImportManure(const TPlanDb& db, size_t a, const TPlanDates& dates, const TMdfFile& definitions, TFieldRec& rec,
                  int row) {
  const TDbRows& apps = db.ManureApp;
  const TDbValue& storage = apps.Value(a, "Storage");
  rec.Man_Rate[row] = static_cast<float>(NumberOr0(apps.Value(a, "Rate")));
  rec.Man_Date[row] = dates.InWindow(dates.AppDate(apps.Value(a, "AppMonth"), apps.Value(a, "AppYrNum")), 1);
  rec.Man_Method[row] = static_cast<uint8_t>(ManureMethod(db, a));
  // Without its storage the application has no analysis (the planner left it out of the export).
  const int s = TPlanDb::FindRow(db.Storage, "Storage", storage);
  if (s < 0) return;
  const TDbRows& st = db.Storage;
  const size_t sr = static_cast<size_t>(s);
  rec.Man_TotN[row] = MeasuredOrEstimate(st, sr, "MeasTotalN", "EstTotalN");
  if (!st.Value(sr, "MeasNH4N").IsNull() || st.Value(sr, "MeasTotalN").IsNull())
    rec.Man_NH4N[row] = MeasuredOrEstimate(st, sr, "MeasNH4N", "EstNH4N");
  rec.Man_P2O5[row] = MeasuredOrEstimate(st, sr, "MeasP2O5", "EstP2O5");
  rec.Man_K2O[row] = MeasuredOrEstimate(st, sr, "MeasK2O", "EstK2O");
  rec.Man_PctDM[row] = static_cast<float>(NumberOr0(st.Value(sr, "MeasPctDM")));

  const int d = TPlanDb::FindRow(db.StorageDef, "StorageDef", st.Value(sr, "StorageDef"));
  const int storageDef = d < 0 ? 0 : static_cast<int>(NumberOr0(db.StorageDef.Value(static_cast<size_t>(d), "StorageDef")));
  const int animalDef = AnimalDefOf(db, storage);
  if (storageDef <= 0 || animalDef <= 0) return;
  const uint32_t mask = CropBit(rec.Cur_Crop) | CropBit(rec.Cov_Crop);
  const int code = ManureInput(definitions, mask, AnimalGroup(animalDef), storageDef);
  if (code == 0) return;
  rec.Man_Input[row] = static_cast<uint16_t>(code);
  rec.Man_Units[row] = CellTrue(db.StorageDef.Value(static_cast<size_t>(d), "IsLiquid")) ? kGallon : kTon;
}

}  // namespace

TDayNum TPlanDates::AppDate(const TDbValue& month, const TDbValue& yearNum) const {
  const double m = NumberOr0(month);
  const double year = StartPlnYr + NumberOr0(yearNum) - 1;
  if (m < 1 || m > 12 || year < kFirstDateYear || year > kLastDateYear) return 0;
  return EncodeDay(static_cast<int>(year), static_cast<int>(m), 15);
}

TDayNum TPlanDates::InWindow(TDayNum date, int cropYearNum) const {
  const TDayNum earliest = EncodeDay(StartCrpYr + cropYearNum - 2, 7, 1);
  return date < earliest ? 0 : date;
}

int AnimalGroup(int a) {
  if ((a >= 1 && a <= 6) || a == 29) return 1;
  if ((a >= 7 && a <= 11) || a == 25) return 2;
  if (a == 20 || a == 21 || a == 27 || a == 28 || a == 30 || a == 31) return 3;
  if (a >= 13 && a <= 17) return 4;
  if (a == 22 || a == 23) return 5;
  if (a == 18) return 6;
  if (a == 19) return 7;
  if (a == 12) return 8;
  return 9;
}

int ManureMethod(const TPlanDb& db, size_t a) {
  const int e = TPlanDb::FindRow(db.Equipment, "Equipment", db.ManureApp.Value(a, "Equipment"));
  if (e < 0) return 0;
  const int d = TPlanDb::FindRow(db.EquipDef, "EquipDef", db.Equipment.Value(static_cast<size_t>(e), "EquipDef"));
  if (d < 0) return 0;
  if (CellTrue(db.EquipDef.Value(static_cast<size_t>(d), "IsInject"))) return 1;
  if (CellTrue(db.EquipDef.Value(static_cast<size_t>(d), "IsIrrigate"))) return 7;
  double days = 0;
  if (!CellNumber(db.ManureApp.Value(a, "DaysToInc"), days)) return 6;
  static constexpr int kByDays[] = {2, 3, 8, 4, 9, 5, 10, 11};  // methods for 0 to 7 days
  return days >= 0 && days <= 7 && days == static_cast<int>(days) ? kByDays[static_cast<int>(days)] : 12;
}

void ImportApplications(const TPlanDb& db, size_t field, bool irrigated, const TPlanDates& dates,
                        const TMdfFile& definitions, TFieldRec& rec) {
  int fert = 0, other = 0;
  if (db.HasFertApp) {
    for (size_t a : TPlanDb::RowsOf(db.FertApp, field, 1)) {
      if (NumberOr0(db.FertApp.Value(a, "CovType")) >= 3) continue;
      const double type = NumberOr0(db.FertApp.Value(a, "AppType"));
      if (type == kFertilizer) ImportFertilizer(db.FertApp, a, dates, rec, fert);
      else if (type == kIrrigation) ImportIrrigation(db.FertApp, a, dates, rec, other);
    }
  }
  if (rec.Cur_Crop != 0 && irrigated && rec.Othr_Input[0] == 0) rec.Othr_Input[0] = kIrrigationWater;
  int manure = 0;
  for (size_t a : TPlanDb::RowsOf(db.ManureApp, field, 1))
    if (manure < kManureRows) ImportManure(db, a, dates, definitions, rec, manure++);
}
