#include "interchange/QrlSoils.h"

#include "common/Cp1252.h"
#include "common/Format.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "interchange/QrlCalls.h"
#include "interchange/SdmToSls.h"
#include "reference/McnFile.h"
#include "store/FieldRules.h"
#include "vocab/CodeLists.h"

namespace {

// The planner's texture ("SIL", or "Silt loam - SIL") names the texture after its "-".
int TextureCode(const std::string& text) {
  const size_t dash = text.rfind('-');
  return FindCodeByName(TCodeList::SoilTexture, Trim(dash == std::string::npos ? text : text.substr(dash + 1)));
}

// States whose soils carry attribute 1 (MiscA), attribute 2 (MiscB) and the rating (MiscD).
bool TakesAttr1(int state) { return state == 1 || state == 10 || state == 13 || state == 15 || state == 49; }
bool TakesAttr2(int state) { return state == 13 || state == 15 || state == 49; }
bool TakesRating(int state) { return state == 15; }

}  // namespace

const std::vector<std::string>& PlanSoilColumns() {
  static const std::vector<std::string> columns = {"SoilKey", "MuSym",   "CompName", "Slope", "SlopeL", "SlopeH",
                                                   "SurfTex", "Drainage", "TFact",   "MiscA", "MiscB",  "MiscD"};
  return columns;
}

int FindPlanSoil(const TDbRows& soils, const std::string& symbol, const std::string& name) {
  int bySymbol = -1;
  for (size_t i = 0; i < soils.Rows.size(); ++i) {
    if (!SameText(CellText(soils.Value(i, "MuSym")), symbol)) continue;
    if (SameText(CellText(soils.Value(i, "CompName")), name)) return static_cast<int>(i);
    if (bySymbol < 0) bySymbol = static_cast<int>(i);
  }
  return bySymbol;
}

bool PlanSoilSlope(const TDbRows& soils, size_t row, double& slope) {
  double low = 0, high = 0;
  const bool hasLow = CellNumber(soils.Value(row, "SlopeL"), low);
  const bool hasHigh = CellNumber(soils.Value(row, "SlopeH"), high);
  if (hasLow && hasHigh) slope = RoundToDecimals((low + high) / 2, 1);
  else if (hasLow) slope = low;
  else if (hasHigh) slope = high;
  return hasLow || hasHigh;
}

void ApplyPlanSoil(const TDbRows& soils, size_t row, TFieldRec& rec, int soil, int state) {
  const auto cell = [&](const char* column) -> const TDbValue& { return soils.Value(row, column); };
  double v = 0;
  if (!cell("MuSym").IsNull()) rec.Soil_Sym[soil] = CellText(cell("MuSym"));  // cut to 6 characters
  if (!cell("CompName").IsNull()) rec.Soil_Name[soil] = CellText(cell("CompName"));  // cut to 20
  if (rec.Soil_Slope[soil] < 0 && PlanSoilSlope(soils, row, v)) rec.Soil_Slope[soil] = static_cast<float>(v);
  if (const int texture = TextureCode(CellText(cell("SurfTex"))); texture > 0)
    rec.Soil_Texture[soil] = static_cast<uint8_t>(texture);
  if (CellNumber(cell("Drainage"), v) && v >= 1 && v <= CodeListCount(TCodeList::SoilDrainage))
    rec.Soil_Drain[soil] = WholeByte(v);
  if (CellNumber(cell("TFact"), v)) rec.Soil_TValue[soil] = static_cast<float>(v);
  if (TakesAttr1(state) && CellNumber(cell("MiscA"), v)) rec.Soil_Attr1[soil] = WholeWord(v);
  if (TakesAttr2(state) && CellNumber(cell("MiscB"), v)) rec.Soil_Attr2[soil] = WholeWord(v);
  if (TakesRating(state) && CellNumber(cell("MiscD"), v)) rec.Soil_Rating[soil] = static_cast<float>(v);
}

TQrlSoilsUpdate::TQrlSoilsUpdate(TMdaFile& file, TMcnFile& counties, TQrlStarter starter)
    : file_(file), counties_(counties), starter_(std::move(starter)) {}

TQrlSoilsUpdate::~TQrlSoilsUpdate() {
  if (plan_) plan_->Close();
}

bool TQrlSoilsUpdate::Begin(int record, std::string& message) {
  message = SoilsUpdateRefusal(file_, record);
  if (!message.empty()) return false;
  first_ = record == 0 ? 1 : record;
  last_ = record == 0 ? file_.RecordCount() : record;
  message = kQrlUnknownError;
  std::string version;
  app_ = StartPlanner(starter_, version, message, waiting_);
  if (app_) plan_ = CreateStatePlan(*app_, counties_.StateName(file_.ProjectState()), message);
  if (plan_) message.clear();
  return plan_ != nullptr;
}

bool TQrlSoilsUpdate::Read(int number, TQrlRecordJob& job, std::string& message) {
  job = {};
  job.number = number;
  if (!file_.ReadRecord(number, job.rec)) {
    message = file_.FullErrorText();
    return false;
  }
  if (job.rec.County != 0) job.countyCode = counties_.CountyCode(job.rec.County, job.rec.State);
  return true;
}

bool TQrlSoilsUpdate::LoadCounty(const TQrlRecordJob& job, std::string& message) {
  if (job.countyCode == county_) return true;
  county_ = -1;
  soils_ = {};
  TQrlError error;
  std::string why;
  // The planner fills its SoilKey table with the soils of the operation's county.
  if (!plan_->SetValue("Operation", 0, "CntyCode", TQrlValue::OfInt(job.countyCode), error))
    why = QrlErrorText(error);
  else
    ReadPlanRows(*plan_, "SoilKey", PlanSoilColumns(), soils_, why);
  if (!why.empty()) {
    message = "Unable to retrieve QRL's soils of " + counties_.CountyName(job.rec.County, job.rec.State) +
              " County (record " + std::to_string(job.number) + ").\r\n\r\n" + why;
    return false;
  }
  county_ = job.countyCode;
  return true;
}

bool TQrlSoilsUpdate::Query(TQrlRecordJob& job, std::string& message) {
  if (app_) app_->Progressed();  // a record: the planner has its full time again
  if (job.countyCode == 0 || !plan_) return true;
  if (!LoadCounty(job, message)) return false;
  if (soils_.Rows.empty()) return true;  // the planner knows no soils of the county: none looked up
  const TRuleContext rules{*file_.Refs(), nullptr, file_.ProjectState(), file_.ProjectYear()};
  for (int k = 0; k < kSoilRows; ++k) {
    if (job.rec.Soil_Sym[k].Empty()) continue;
    const int row = FindPlanSoil(soils_, job.rec.Soil_Sym[k], job.rec.Soil_Name[k]);
    if (row < 0) {
      ++job.notUpdated;
      continue;
    }
    // The planner's values go through the record's checks; a soil with one that fails stays as it was.
    const TFieldRec before = job.rec;
    ApplyPlanSoil(soils_, static_cast<size_t>(row), job.rec, k, file_.ProjectState());
    std::string field, rule;
    if (CheckChangedRow(job.rec, before, "Soil_", k, rules, field, rule)) {
      ++job.updated;
      continue;
    }
    ++job.notUpdated;
    job.reasons.push_back("Record " + std::to_string(job.number) + ", soil " + std::to_string(k + 1) + " (" +
                          before.Soil_Sym[k].Str() + ") not updated: " + field + " value \"" +
                          ShownText(GetFieldText(&job.rec, *RecordField(field), k)) + "\" is not accepted: " + rule +
                          ".");
    job.rec = before;
  }
  return true;
}

bool TQrlSoilsUpdate::Write(const TQrlRecordJob& job, std::string& message) {
  if (job.updated == 0 || file_.WriteRecord(job.number, job.rec, true)) return true;
  message = file_.FullErrorText();
  return false;
}

bool UpdateSoilsFromPlanner(TMdaFile& file, TMcnFile& counties, int record, const TQrlStarter& starter, int& updated,
                            int& notUpdated, std::string& message, const TQrlSoilsProgress& progress,
                            std::vector<std::string>* reasons) {
  updated = notUpdated = 0;
  int done = 0, total = 0;
  bool canceled = false;  // while the planner was silent
  TQrlSoilsUpdate update(file, counties, starter);
  if (progress) update.WhileWaiting([&] { return !(canceled = !progress(done, total)); });
  if (!update.Begin(record, message)) return false;
  total = update.Last() - update.First() + 1;
  for (int n = update.First(); n <= update.Last(); ++n) {
    done = n - update.First();
    if (progress && !progress(done, total)) break;
    TQrlRecordJob job;
    if (!update.Read(n, job, message) || !update.Query(job, message) || !update.Write(job, message)) {
      if (!canceled) return false;
      break;  // a stop asked for while the planner was silent: the records done stay done
    }
    updated += job.updated;
    notUpdated += job.notUpdated;
    if (reasons) reasons->insert(reasons->end(), job.reasons.begin(), job.reasons.end());
  }
  message.clear();
  return true;
}
