#include "interchange/QrlImport.h"

#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "interchange/QrlCalls.h"
#include "interchange/QrlInputs.h"
#include "interchange/QrlSoils.h"
#include "interchange/QrlYield.h"
#include "reference/McnFile.h"
#include "store/FieldRules.h"
#include "store/LoadedRefs.h"
#include "vocab/CropVocab.h"

namespace {

const char* const kReadError = "Error reading QRL exported database.\r\nMake sure correct version of QRL is installed.";

// Whether a cell holds a number that is not negative (the planner's -1 means none).
bool Given(const TDbValue& v, double& number) { return CellNumber(v, number) && number >= 0; }

void SetReal(F32& field, const TDbValue& v) {
  double number = 0;
  if (CellNumber(v, number)) field = static_cast<float>(number);
}

// Comments the planner writes itself, not the user's.
bool PlannerComment(const std::string& comments) {
  const std::string head = comments.substr(0, 10);
  return head == "Created at" || head == "Updated at";
}

class TPlanImport {
 public:
  TPlanImport(TMcnFile& counties, const TMdfFile& definitions, TTextImport& text)
      : counties_(counties), definitions_(definitions), refs_(counties, definitions), text_(text) {}

  bool Run(const TQrlStarter& starter, const std::string& planPath, const std::string& projectPath,
           const TImportProgress& progress, std::string& message, int& count);

 private:
  bool ExportPlan(const TQrlStarter& starter, const std::string& planPath, const TImportProgress& progress,
                  std::string& message);
  bool ReadDatabase(std::string& message);
  bool StartProject(const std::string& projectPath, std::string& message);
  bool ImportFields(const TImportProgress& progress, std::string& message, int& count);
  TFieldRec FieldRecord(size_t field, int32_t id);
  void ImportOperation(TFieldRec& rec);
  void ImportField(size_t field, TFieldRec& rec);
  void ImportSoil(size_t field, TFieldRec& rec);
  void ImportCrops(size_t field, TFieldRec& rec);
  // The first primary (or cover) crop row of a crop year of the field; -1 when none.
  int CropRow(size_t field, int year, bool primary) const;
  // Sets a crop slot from a Crop row: definition, yield and percent legume.
  void SetSlot(TFieldRec& rec, int slot, int row, int pctLegBit);
  void ImportCustomRecs(TFieldRec& rec, int cur, int cov);
  bool Finish(const std::string& projectPath, std::string& message);

  TMcnFile& counties_;
  const TMdfFile& definitions_;
  TLoadedRefs refs_;
  TTextImport& text_;
  TPlanDb db_;
  TPlanDates dates_;
  int state_ = 0;
  int planYears_ = 1;
  std::string dbPath_;
  TMdaFile project_;
  std::vector<TFieldRec> recs_;
  int slotDef_[4] = {};  // crop definition of each slot of the record in hand, -1 when none
};

bool TPlanImport::Run(const TQrlStarter& starter, const std::string& planPath, const std::string& projectPath,
                      const TImportProgress& progress, std::string& message, int& count) {
  message = kQrlUnknownError;
  // The database goes beside the new project under its name, unless a file of that name exists
  // already (a database export of another project): that one is no scratch file to delete.
  dbPath_ = ChangeFileExt(ExpandFileName(projectPath), kPlanDatabaseExtension);
  if (FileStatus(dbPath_) != fsMissing) dbPath_ = MakeTempName(ExtractFileDir(dbPath_), "qrl");
  const bool ok = ExportPlan(starter, planPath, progress, message) && ReadDatabase(message) &&
                  StartProject(projectPath, message) && ImportFields(progress, message, count) &&
                  Finish(projectPath, message);
  if (!ok && project_.IsOpen()) project_.Discard();
  DeleteFileAt(dbPath_);
  if (ok) message.clear();
  return ok;
}

bool TPlanImport::ExportPlan(const TQrlStarter& starter, const std::string& planPath, const TImportProgress& progress,
                             std::string& message) {
  std::string version;
  std::function<bool()> waiting;  // the progress stays live while the planner writes the database
  if (progress) waiting = [&progress] { return progress(0, 0); };
  const std::unique_ptr<IQrlApp> app = StartPlanner(starter, version, message, waiting);
  if (!app) return false;
  TQrlError error;
  const std::unique_ptr<IQrlPlan> plan = app->OpenPlanFile(planPath, error);
  const bool ok = plan && plan->ExportToAccess(dbPath_, error);
  if (plan) plan->Close();
  if (!ok) message = "Error exporting QRL plan data.\r\n" + QrlErrorText(error);
  return ok;
}

bool TPlanImport::ReadDatabase(std::string& message) {
  TDbReader reader;
  if (!reader.Open(dbPath_)) {
    message = reader.ErrorText();
    return false;
  }
  reader.CheckTexts(&text_);
  if (!db_.Read(reader)) {
    message = reader.TextFault().empty() ? kReadError : "The plan's " + reader.TextFault() + ".";
    return false;
  }
  double v = 0;
  if (CellNumber(db_.InitInfo.Value(0, "StateCode"), v)) state_ = counties_.FindStateByCode(static_cast<int>(v));
  if (state_ == 0) {
    message = "Unable to determine plan's state.";
    return false;
  }
  if (!CellNumber(db_.Operation.Value(0, "StartCrpYr"), v) || v < kFirstProjectYear || v > kLastProjectYear) {
    message = "Unable to determine plan's starting crop year.";
    return false;
  }
  dates_.StartCrpYr = static_cast<int>(v);
  dates_.StartPlnYr = static_cast<int>(NumberOr0(db_.Operation.Value(0, "StartPlnYr")));
  if (CellNumber(db_.PlanInfo.Value(0, "PlanYears"), v) && v >= 1) planYears_ = static_cast<int>(v);
  return true;
}

bool TPlanImport::StartProject(const std::string& projectPath, std::string& message) {
  // Built under a temporary name: a file of the same name is replaced only by a complete import.
  const std::string target = ExpandFileName(projectPath);
  std::string comments = CellText(db_.PlanInfo.Value(0, "Comments"));
  if (PlannerComment(comments)) comments.clear();
  if (project_.BeginProject(target, static_cast<uint16_t>(state_), refs_, "", static_cast<uint16_t>(dates_.StartCrpYr),
                            TTargetUse::Replace) &&
      project_.SetProperties(CellText(db_.PlanInfo.Value(0, "Title")), CellText(db_.PlanInfo.Value(0, "Author")),
                             CellText(db_.PlanInfo.Value(0, "Company")), comments))
    return true;
  message = target + "\r\n" + project_.ErrorText();
  return false;
}

bool TPlanImport::ImportFields(const TImportProgress& progress, std::string& message, int& count) {
  const std::vector<size_t> order = db_.FieldOrder();
  if (order.size() > static_cast<size_t>(kMaxRecords)) {
    project_.ErrorState = esTooMany;
    message = ExpandFileName(project_.FileName) + "\r\n" + project_.ErrorText();
    return false;
  }
  const uint32_t total = static_cast<uint32_t>(order.size());
  for (uint32_t n = 0; n < total; ++n) {
    if (progress && !progress(n, total)) {
      message = "Import canceled by user.";
      return false;
    }
    recs_.push_back(FieldRecord(order[n], static_cast<int32_t>(n + 1)));
    std::string field, rule;
    if (FindControlText(recs_.back(), field, rule)) {
      message = "The plan's field " + std::to_string(n + 1) + ": " + field + " is not accepted: " + rule + ".";
      return false;
    }
  }
  if (progress) progress(total, total);
  count = static_cast<int>(recs_.size());
  return true;
}

TFieldRec TPlanImport::FieldRecord(size_t field, int32_t id) {
  TFieldRec rec = project_.NewRecord(id, static_cast<uint16_t>(state_));
  ImportOperation(rec);
  ImportField(field, rec);
  ImportSoil(field, rec);
  ImportCrops(field, rec);
  ImportApplications(db_, field, CellTrue(db_.Field.Value(field, "Irrigated")), dates_, definitions_, rec);
  TMdaFile::SortInputs(rec);
  return rec;
}

void TPlanImport::ImportOperation(TFieldRec& rec) {
  const auto text = [this](const char* column) { return CellText(db_.Operation.Value(0, column)); };
  rec.Operation = text("Operation");
  rec.Addr_Road = text("Address");
  rec.Addr_Town = text("Town");
  rec.Addr_State = text("State");
  rec.Addr_Zip = text("Zip");
  rec.Contact = text("Contact");
  rec.Home_Phone = text("HomePhone");
  rec.Email_Addr = text("EMail");
  rec.Off_Phone = text("OffPhone");
}

void TPlanImport::ImportField(size_t field, TFieldRec& rec) {
  const TDbRows& f = db_.Field;
  const auto cell = [&](const char* column) -> const TDbValue& { return f.Value(field, column); };
  double v = 0;
  if (CellNumber(cell("CntyCode"), v) || CellNumber(db_.Operation.Value(0, "CntyCode"), v))
    rec.County = static_cast<uint16_t>(counties_.FindCountyByCode(static_cast<int>(v), state_));
  rec.Field_Name = CellText(cell("ID"));
  rec.SubFld_Nam = CellText(cell("SubID"));
  SetReal(rec.Field_Size, cell("Size"));
  rec.FSA_Tract = CellText(cell("FsaTract"));
  rec.FSA_Field = CellText(cell("FsaField"));
  rec.Notes = CellText(cell("Notes"));
  if (f.HasColumn("DrainDef")) rec.Drain_Type = WholeByte(NumberOr0(cell("DrainDef")));
  else if (CellTrue(cell("Drained"))) rec.Drain_Type = WholeByte(project_.StateTables()->DefaultDrainageType(rec));
  rec.SetFlag(rfAnnManure, CellTrue(cell("AnnManured")));
  SetReal(rec.Water_Loss, cell("ErosionWtr"));
  SetReal(rec.Wind_Loss, cell("ErosionWnd"));
  if (CellNumber(cell("SoilTestYr"), v)) rec.SoilTst_Yr = WholeWord(v);
  SetReal(rec.OM, cell("OM"));
  const uint8_t unit = CellTrue(cell("InLbA")) ? 1 : 2;  // Lb/A or ppm
  const struct {
    const char* column;
    F32* value;
    uint8_t* unit;
  } tests[] = {{"P", &rec.P, &rec.P_Units},    {"K", &rec.K, &rec.K_Units},    {"Mg", &rec.Mg, &rec.Mg_Units},
               {"Ca", &rec.Ca, &rec.Ca_Units}, {"Na", &rec.Na, &rec.Na_Units}, {"Al", &rec.Al, &rec.Al_Units}};
  for (const auto& t : tests) {
    if (!CellNumber(cell(t.column), v)) continue;
    *t.value = static_cast<float>(v);
    *t.unit = unit;
  }
  if (CellNumber(cell("PTestDef"), v)) rec.P_Test = WholeByte(v);
  SetReal(rec.Soil_pH, cell("SoilpH"));
  SetReal(rec.Buffer_pH, cell("BufferpH"));
  SetReal(rec.CEC, cell("CEC"));
  if (CellNumber(cell("NO3N"), v)) rec.Nitrate_N = WholeWord(v);
  SetReal(rec.EC, cell("EC"));
  SetReal(rec.Sulfate_S, cell("SO4S"));
}

void TPlanImport::ImportSoil(size_t field, TFieldRec& rec) {
  const TDbValue& key = db_.Field.Value(field, "SoilKey");
  const int s = TPlanDb::FindRow(db_.SoilKey, "SoilKey", key);
  if (s < 0) return;
  rec.Soil_FldPct[0] = 100;
  SetReal(rec.Soil_Slope[0], db_.Field.Value(field, "Slope"));
  ApplyPlanSoil(db_.SoilKey, static_cast<size_t>(s), rec, 0, state_);
}

int TPlanImport::CropRow(size_t field, int year, bool primary) const {
  for (size_t i : TPlanDb::RowsOf(db_.Crop, field, year))
    if (CellTrue(db_.Crop.Value(i, "IsPrimary")) == primary) return static_cast<int>(i);
  return -1;
}

void TPlanImport::SetSlot(TFieldRec& rec, int slot, int row, int pctLegBit) {
  if (row < 0) return;
  const auto cell = [&](const char* column) -> const TDbValue& {
    return db_.Crop.Value(static_cast<size_t>(row), column);
  };
  double v = 0;
  if (CellNumber(cell("CropDef"), v)) slotDef_[slot] = static_cast<int>(v);
  SetReal(SlotYield(rec, slot), cell("YldGoal"));
  if (Given(cell("PctLegume"), v)) {
    SlotPctLeg(rec, slot) = WholeWord(v);
    rec.SetFlag(pctLegBit, true);
  }
}

void TPlanImport::ImportCrops(size_t field, TFieldRec& rec) {
  for (int& d : slotDef_) d = -1;
  const int cov = CropRow(field, 1, false);
  const int cur = CropRow(field, 1, true);
  SetSlot(rec, csCov, cov, rfCovPctLeg);
  SetSlot(rec, csCur, cur, rfCurPctLeg);
  SetSlot(rec, csNext, CropRow(field, 2, true), rfNextPctLeg);
  if (slotDef_[csCur] >= 0 && planYears_ > 1) {
    // The crop before the current one in the plan's rotation: the one before the current crop's
    // next appearance, or the last crop year's when it does not come again.
    int prev = CropRow(field, planYears_, true);
    bool otherSeen = false;
    for (int k = 2; k <= planYears_; ++k) {
      const int row = CropRow(field, k, true);
      double def = 0;
      const bool same = row >= 0 && CellNumber(db_.Crop.Value(static_cast<size_t>(row), "CropDef"), def) &&
                        def == slotDef_[csCur];
      if (same && otherSeen) {
        prev = CropRow(field, k - 1, true);
        break;
      }
      otherSeen = otherSeen || !same;
    }
    SetSlot(rec, csPrev, prev, rfPrevPctLeg);
  }
  for (int slot = csPrev; slot <= csNext; ++slot) {
    const int d = slotDef_[slot] < 0 ? -1 : TPlanDb::FindRow(db_.CropDef, "CropDef", TDbValue::OfInt(slotDef_[slot]));
    F32& yield = SlotYield(rec, slot);
    if (d < 0) {
      yield = static_cast<float>(ImportedYield(yield, "", "", 0));
      continue;
    }
    const TCropList list = slot == csCur ? clPrimary : slot == csCov ? clCoverFirst : clPrevNext;
    int crop = static_cast<int>(NumberOr0(db_.CropDef.Value(static_cast<size_t>(d), "ToTessCrop")));
    if (CropListPosition(list, crop) == 0) crop = list == clPrevNext ? crOtherHistory : crOther;
    SlotCrop(rec, slot) = static_cast<uint16_t>(crop);
    SlotCode(rec, slot) = WholeWord(slotDef_[slot]);
    const std::string unit = CellText(db_.CropDef.Value(static_cast<size_t>(d), "YldUnit"));
    yield = static_cast<float>(ImportedYield(yield, unit, CropYieldUnit(refs_, crop), crop));
  }
  ImportCustomRecs(rec, cur, cov);
}

void TPlanImport::ImportCustomRecs(TFieldRec& rec, int cur, int cov) {
  const auto value = [this](int row, const char* column, double& v) {
    return row >= 0 && Given(db_.Crop.Value(static_cast<size_t>(row), column), v);
  };
  // A crop's share: its custom recommendation, else its default one, else 0.
  const auto share = [&](int row, const char* custom, const char* standard) {
    double v = 0;
    return value(row, custom, v) || value(row, standard, v) ? v : 0.0;
  };
  const struct {
    const char* custom;
    const char* standard;
    U16* field;
    int bit;
  } recs[] = {{"CustNRec", "DefNRec", &rec.Cust_NRec, rfCustN},
              {"CustPRec", "DefPRec", &rec.Cust_PRec, rfCustP},
              {"CustKRec", "DefKRec", &rec.Cust_KRec, rfCustK}};
  bool curCustom = false, covCustom = false;
  for (const auto& r : recs) {
    double v = 0;
    const bool curHas = value(cur, r.custom, v);
    const bool covHas = value(cov, r.custom, v);
    curCustom = curCustom || curHas;
    covCustom = covCustom || covHas;
    if (!curHas && !covHas) continue;
    *r.field = WholeWord(share(cur, r.custom, r.standard) + share(cov, r.custom, r.standard));
    rec.SetFlag(r.bit, true);
  }
  if (!curCustom && !covCustom) return;
  const auto source = [this](int row) { return row < 0 ? std::string() : CellText(db_.Crop.Value(static_cast<size_t>(row), "CustRecSrc")); };
  if (curCustom && !source(cur).empty()) rec.Cust_Source = source(cur);  // cut to 50 characters
  else if (covCustom && !source(cov).empty()) rec.Cust_Source = source(cov);
}

bool TPlanImport::Finish(const std::string& projectPath, std::string& message) {
  return CommitNewProject(project_, recs_, ExpandFileName(projectPath), message);
}

}  // namespace

bool CreateProjectFromPlan(const TQrlStarter& starter, const std::string& planPath, const std::string& projectPath,
                           TMcnFile& counties, const TMdfFile& definitions, TTextImport& text, std::string& message,
                           int& recordCount, const TImportProgress& progress) {
  recordCount = 0;
  text.Replaced = 0;
  text.Refused = false;
  TPlanImport import(counties, definitions, text);
  return import.Run(starter, planPath, projectPath, progress, message, recordCount);
}
