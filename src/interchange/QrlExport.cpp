#include "interchange/QrlExport.h"

#include <cmath>

#include "common/Format.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "filebase/SafeWrite.h"
#include "interchange/QrlCalls.h"
#include "interchange/QrlSoils.h"
#include "interchange/QrlYield.h"
#include "reference/McnFile.h"
#include "vocab/CropVocab.h"

namespace {

constexpr int kIrrigationWater = 7002;
constexpr int kNone = -1;  // a percent legume or custom recommendation the record has not set

TQrlValue Text(const std::string& s) { return TQrlValue::OfText(s); }
TQrlValue Int(int64_t v) { return TQrlValue::OfInt(v); }
// A stored single as the decimal it was entered as (3.8, not 3.7999999523).
TQrlValue Real(float v) {
  double d = v;
  ParseReal(ShortestSingle(v), d);
  return TQrlValue::OfReal(d);
}
TQrlValue Real(double v) { return TQrlValue::OfReal(v); }

// The soil row with a symbol and the largest field percent (the first of equals); -1 when none.
int PredominantSoil(const TFieldRec& rec) {
  int best = -1;
  for (int k = 0; k < kSoilRows; ++k)
    if (!rec.Soil_Sym[k].Empty() && (best < 0 || rec.Soil_FldPct[k] > rec.Soil_FldPct[best])) best = k;
  return best;
}

// A soil test in the unit of P: doubled from ppm into Lb/A, or halved from Lb/A into ppm.
double OnPBasis(float value, uint8_t unit, bool inLbPerAcre) {
  const double v = Real(value).Real;
  if (inLbPerAcre && unit == 2) return v * 2;
  if (!inLbPerAcre && unit != 2) return v / 2;
  return v;
}

// What one crop row of a field receives.
struct TCropCells {
  int slot = csCur;
  double yield = 0;
  int pctLegume = kNone;
  int custN = kNone, custP = kNone, custK = kNone;
  std::string source;
};

class TPlanExport {
 public:
  TPlanExport(TMdaFile& project, TMcnFile& counties, IQrlPlan& plan, bool drainDef)
      : project_(project), counties_(counties), plan_(plan), drainDef_(drainDef) {}

  bool Begin(std::string& message);
  // Puts an accepted record into the next field row while the plan has one; false once the planner
  // cannot be reached (Failure() says why).
  bool Add(const TFieldRec& rec);
  int Written() const { return written_; }
  const std::string& Failure() const { return failure_; }

 private:
  // The planner passes over the values it refuses; after a failure to reach it nothing is asked.
  void Put(const std::string& table, int row, const std::string& column, const TQrlValue& value) {
    if (failure_.empty()) PutCell(plan_, table, row, column, value, failure_);
  }
  // Keeps the first failure of a call the planner did not refuse; true when the call succeeded.
  bool Answered(bool ok, const TQrlError& error) {
    if (!ok && !QrlRefused(error) && failure_.empty()) failure_ = QrlCallText(error);
    return ok;
  }
  void PutField(const std::string& column, const TQrlValue& value) { Put("Field", written_, column, value); }
  void PutOperation(const TFieldRec& rec);
  void PutIdentity(const TFieldRec& rec, int countyCode);
  void PutSoilKey(const TFieldRec& rec);
  void PutSoilTests(const TFieldRec& rec);
  void PutCrops(const TFieldRec& rec);
  void PutCrop(const TFieldRec& rec, int index, const TCropCells& cells);
  // The CropDef row of a slot's crop; -1 when none.
  int FindCropDef(const TFieldRec& rec, int slot) const;
  // Whether the planner takes the SoilKey row's key for the current field row.
  bool KeyValid(size_t row);

  TMdaFile& project_;
  TMcnFile& counties_;
  IQrlPlan& plan_;
  bool drainDef_;
  int capacity_ = 0;
  int planYears_ = 1;
  int written_ = 0;
  bool operationCounty_ = false;  // Operation's CntyCode is set
  bool soilsRead_ = false;
  TDbRows soils_;
  TDbRows cropDefs_;
  std::string failure_;
};

bool TPlanExport::Begin(std::string& message) {
  Put("PlanInfo", 0, "Title", Text(project_.Title()));
  Put("PlanInfo", 0, "Author", Text(project_.Author()));
  Put("PlanInfo", 0, "Company", Text(project_.Company()));
  Put("PlanInfo", 0, "Comments", Text(project_.Comments()));
  Put("Operation", 0, "StartPlnYr", Int(project_.ProjectYear() - 1));
  Put("Operation", 0, "StartPlnMo", Int(9));
  TQrlError error;
  if (!failure_.empty() || !plan_.ExpandTables(error) || !plan_.RowCount("Field", capacity_, error)) {
    message = failure_.empty() ? QrlCallText(error) : failure_;
    return false;
  }
  TQrlValue years;
  if (!ReadCell(plan_, "PlanInfo", 0, "PlanYears", years, message)) return false;
  if (double y = 0; CellNumber(years, y) && y >= 1) planYears_ = static_cast<int>(y);
  return ReadPlanRows(plan_, "CropDef", {"CropDef", "Name", "ToTessCrop", "IsTessRec", "YldUnit"}, cropDefs_, message);
}

bool TPlanExport::Add(const TFieldRec& rec) {
  if (written_ >= capacity_) return true;
  if (written_ == 0) PutOperation(rec);
  const int countyCode = rec.County != 0 ? counties_.CountyCode(rec.County, rec.State) : 0;
  if (countyCode != 0 && !operationCounty_ && failure_.empty()) {
    TQrlError error;
    operationCounty_ = Answered(plan_.SetValue("Operation", 0, "CntyCode", Int(countyCode), error), error);
    soilsRead_ = false;  // the planner now offers the county's soils
  }
  PutIdentity(rec, countyCode);
  PutSoilKey(rec);
  bool irrigated = false;
  for (int i = 0; i < kOtherRows; ++i) irrigated = irrigated || rec.Othr_Input[i] == kIrrigationWater;
  PutField("Irrigated", Int(irrigated ? 1 : 0));
  PutSoilTests(rec);
  PutCrops(rec);
  ++written_;
  return failure_.empty();
}

void TPlanExport::PutOperation(const TFieldRec& rec) {
  Put("Operation", 0, "Operation", Text(rec.Operation));
  Put("Operation", 0, "Address", Text(rec.Addr_Road));
  Put("Operation", 0, "Town", Text(rec.Addr_Town));
  Put("Operation", 0, "State", Text(rec.Addr_State));
  Put("Operation", 0, "Zip", Text(rec.Addr_Zip));
  Put("Operation", 0, "Contact", Text(rec.Contact));
  Put("Operation", 0, "OffPhone", Text(rec.Off_Phone));
  Put("Operation", 0, "HomePhone", Text(rec.Home_Phone));
  Put("Operation", 0, "EMail", Text(rec.Email_Addr));
}

void TPlanExport::PutIdentity(const TFieldRec& rec, int countyCode) {
  if (!rec.SubFld_Nam.Empty() || !rec.Field_Name.Empty()) {
    PutField("SubID", Text(rec.SubFld_Nam));
    PutField("ID", Text(rec.Field_Name));
  } else {
    PutField("ID", Text(std::to_string(int32_t{rec.Field_ID})));
  }
  PutField("Size", Real(float{rec.Field_Size}));
  if (drainDef_) {
    PutField("DrainDef", Int(rec.Drain_Type));
    PutField("AnnManured", Int(rec.HasFlag(rfAnnManure) ? 1 : 0));
  } else {
    PutField("Drained", Int(rec.Drain_Type != 0 ? 1 : 0));
  }
  if (rec.Water_Loss > 0) PutField("ErosionWtr", Real(float{rec.Water_Loss}));
  if (rec.Wind_Loss > 0) PutField("ErosionWnd", Real(float{rec.Wind_Loss}));
  PutField("FsaTract", Text(rec.FSA_Tract));
  PutField("FsaField", Text(rec.FSA_Field));
  PutField("Notes", Text(rec.Notes));
  if (countyCode != 0) PutField("CntyCode", Int(countyCode));
}

bool TPlanExport::KeyValid(size_t row) {
  bool valid = false;
  TQrlError error;
  if (!failure_.empty()) return false;
  const bool asked = plan_.ValueIsValid("Field", written_, "SoilKey", soils_.Value(row, "SoilKey"), valid, error);
  return Answered(asked, error) && valid;
}

void TPlanExport::PutSoilKey(const TFieldRec& rec) {
  const int k = PredominantSoil(rec);
  if (k < 0 || !failure_.empty()) return;
  if (!soilsRead_ && !(soilsRead_ = ReadPlanRows(plan_, "SoilKey", PlanSoilColumns(), soils_, failure_))) return;
  // The first soil the planner takes whose symbol and name match, else the first whose symbol does.
  int found = -1;
  for (size_t i = 0; i < soils_.Rows.size(); ++i) {
    if (!SameText(CellText(soils_.Value(i, "MuSym")), rec.Soil_Sym[k])) continue;
    const bool byName = SameText(CellText(soils_.Value(i, "CompName")), rec.Soil_Name[k]);
    if ((!byName && found >= 0) || !KeyValid(i)) continue;
    found = static_cast<int>(i);
    if (byName) break;
  }
  if (found < 0) return;
  PutField("SoilKey", soils_.Value(static_cast<size_t>(found), "SoilKey"));
  double slope = 0;
  if (rec.Soil_Slope[k] >= 0 && PlanSoilSlope(soils_, static_cast<size_t>(found), slope) &&
      std::fabs(Real(float{rec.Soil_Slope[k]}).Real - slope) > 1e-6)
    PutField("Slope", Real(float{rec.Soil_Slope[k]}));
}

void TPlanExport::PutSoilTests(const TFieldRec& rec) {
  const bool inLbA = rec.P_Units == 0 || rec.P_Units == 1;
  PutField("SoilTestYr", Int(rec.SoilTst_Yr));
  PutField("OM", Real(float{rec.OM}));
  PutField("InLbA", Int(inLbA ? 1 : 0));
  PutField("P", Real(OnPBasis(rec.P, rec.P_Units, inLbA)));
  PutField("PTestDef", Int(rec.P_Test));
  PutField("K", Real(OnPBasis(rec.K, rec.K_Units, inLbA)));
  PutField("Mg", Real(OnPBasis(rec.Mg, rec.Mg_Units, inLbA)));
  PutField("Ca", Real(OnPBasis(rec.Ca, rec.Ca_Units, inLbA)));
  PutField("Na", Real(OnPBasis(rec.Na, rec.Na_Units, inLbA)));
  PutField("Al", Real(OnPBasis(rec.Al, rec.Al_Units, inLbA)));
  PutField("SoilpH", Real(float{rec.Soil_pH}));
  PutField("BufferpH", Real(float{rec.Buffer_pH}));
  PutField("CEC", Real(float{rec.CEC}));
  PutField("NO3N", Int(rec.Nitrate_N));
  PutField("EC", Real(float{rec.EC}));
  PutField("SO4S", Real(float{rec.Sulfate_S}));
}

void TPlanExport::PutCrops(const TFieldRec& rec) {
  const int base = written_ * planYears_ * 2;
  const auto pct = [&](int slot, int bit) { return rec.HasFlag(bit) ? SlotPctLeg(rec, slot) : kNone; };
  TCropCells cur{csCur, rec.Cur_Yield > 0 ? rec.Cur_Yield : rec.Cur_Goal, pct(csCur, rfCurPctLeg)};
  cur.custN = rec.HasFlag(rfCustN) ? int{rec.Cust_NRec} : kNone;
  cur.custP = rec.HasFlag(rfCustP) ? int{rec.Cust_PRec} : kNone;
  cur.custK = rec.HasFlag(rfCustK) ? int{rec.Cust_KRec} : kNone;
  cur.source = rec.Cust_Source;
  PutCrop(rec, base + 1, cur);
  PutCrop(rec, base, {csCov, rec.Cov_Yield > 0 ? rec.Cov_Yield : rec.Cov_Goal, pct(csCov, rfCovPctLeg)});
  // A one-year plan has no second crop year: its rows belong to the next field.
  if (planYears_ < 2) return;
  if (rec.Next_Crop != 0)
    PutCrop(rec, base + 3, {csNext, rec.Next_Goal, pct(csNext, rfNextPctLeg)});
  else
    PutCrop(rec, base + 3, {csPrev, rec.Prev_Yield, pct(csPrev, rfPrevPctLeg)});
}

void TPlanExport::PutCrop(const TFieldRec& rec, int index, const TCropCells& cells) {
  double yield = Real(static_cast<float>(cells.yield)).Real;
  const int def = FindCropDef(rec, cells.slot);
  if (def >= 0) {
    const size_t row = static_cast<size_t>(def);
    Put("Crop", index, "CropDef", cropDefs_.Value(row, "CropDef"));
    const int crop = SlotCrop(rec, cells.slot);
    yield = PlanYield(yield, CropYieldUnit(*project_.Refs(), crop), CellText(cropDefs_.Value(row, "YldUnit")), crop);
  }
  Put("Crop", index, "YldGoal", Real(yield));
  Put("Crop", index, "PctLegume", Int(cells.pctLegume));
  Put("Crop", index, "CustNRec", Int(cells.custN));
  Put("Crop", index, "CustPRec", Int(cells.custP));
  Put("Crop", index, "CustKRec", Int(cells.custK));
  Put("Crop", index, "CustRecSrc", Text(cells.source));
}

int TPlanExport::FindCropDef(const TFieldRec& rec, int slot) const {
  const auto& rows = cropDefs_.Rows;
  const int code = SlotCode(rec, slot);
  const int crop = SlotCrop(rec, slot);
  double v = 0;
  const auto number = [&](size_t i, const char* column) {
    return CellNumber(cropDefs_.Value(i, column), v) ? v : -1.0;
  };
  for (size_t i = 0; code != 0 && i < rows.size(); ++i)
    if (number(i, "CropDef") == code) return static_cast<int>(i);
  if (crop == crOther || crop == crOtherHistory) {
    for (size_t i = 0; i < rows.size(); ++i)
      if (number(i, "ToTessCrop") == int{crOtherHistory} && SameText(CellText(cropDefs_.Value(i, "Name")), "Other"))
        return static_cast<int>(i);
  } else if (crop > 0) {
    int first = -1;
    for (size_t i = 0; i < rows.size(); ++i) {
      if (number(i, "ToTessCrop") != crop) continue;
      if (!cropDefs_.Value(i, "IsTessRec").IsNull()) return static_cast<int>(i);
      if (first < 0) first = static_cast<int>(i);
    }
    return first;
  }
  return -1;
}

}  // namespace

bool ExportToPlan(TMdaFile& project, TMcnFile& counties, const TQrlStarter& starter, const std::string& planPath,
                  const TDbfExportDone& done, const TExportOptions& options, std::string& message) {
  message = kQrlUnknownError;
  if (project.RecordCount() == 0) {
    message = "Project file contains no records.";
    return false;
  }
  if (project.ProjectState() == 0) {
    message = "Exporting a multi-state project file is not supported.";
    return false;
  }
  // The planner saves the plan under a temporary name beside the target, which the plan takes only
  // when it is complete; a refused name is refused before any work.
  const std::string target = ChangeFileExt(ExpandFileName(planPath), kPlanExtension);
  TSafeWrite out;
  if (const TWriteResult begun = out.Begin(target, TTargetUse::Replace, "pln"); !begun.Ok()) {
    message = begun.FullText();
    return false;
  }
  // Each record renews the planner's time; while a call waits, the last step is shown again.
  int stepDone = 0, stepTotal = project.RecordCount();
  bool canceled = false;  // while the planner was silent
  std::function<bool()> waiting;
  if (options.Progress) waiting = [&] { return !(canceled = !options.Progress(stepDone, stepTotal)); };
  std::unique_ptr<IQrlApp> app;
  TExportOptions walkOptions = options;
  walkOptions.Progress = [&](int d, int t) {
    stepDone = d, stepTotal = t;
    app->Progressed();
    return !options.Progress || options.Progress(d, t);
  };
  std::string version;
  app = StartPlanner(starter, version, message, waiting);
  if (!app) return false;
  const std::unique_ptr<IQrlPlan> plan = CreateStatePlan(*app, counties.StateName(project.ProjectState()), message);
  if (!plan) return false;
  TPlanExport x(project, counties, *plan, !VersionBelow(version, kQrlDrainDefVersion));
  int accepted = 0;
  bool ok = x.Begin(message);
  if (ok) {
    const TExportWalk walk =
        WalkAcceptedRecords(project, walkOptions, [&](const TFieldRec& rec) { return x.Add(rec); }, accepted);
    if (walk == TExportWalk::WriteFailed) message = x.Failure();
    else if (walk == TExportWalk::Canceled) message = kExportCanceled;
    else if (walk != TExportWalk::Done) message = project.FullErrorText();
    else if (accepted == 0) message = kNoRecordsInSubset;  // as the other exports: no empty plan
    ok = walk == TExportWalk::Done && accepted > 0;
  }
  TQrlError error;
  if (ok && !plan->SaveAs(out.TempPath(), error)) {
    message = "Unable to create QRL plan file.\r\n\r\n" + QrlErrorText(error);
    ok = false;
  }
  plan->Close();
  if (canceled) message = kExportCanceled;
  if (!ok) return false;
  if (const TWriteResult placed = out.Commit(); !placed.Ok()) {
    message = placed.FullText();
    return false;
  }
  message.clear();
  if (done) done(target, x.Written(), "", -1);
  return true;
}
