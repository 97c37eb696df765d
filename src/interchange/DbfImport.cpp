#include "interchange/DbfImport.h"

#include <algorithm>
#include <unordered_map>

#include "common/Parse.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "interchange/ImportCols.h"
#include "reference/McnFile.h"
#include "store/LoadedRefs.h"

namespace {

constexpr int32_t kLastFieldId = 999999999;
constexpr size_t kCountedCodes = 10;  // distinct county codes counted when finding the state

class TFieldImport {
 public:
  TFieldImport(TValidationInfo& info, TMcnFile& counties, const TMdfFile& definitions)
      : info_(info), counties_(counties), refs_(counties, definitions), rows_(cols_, project_, refs_, info) {}

  void SetLockWait(int32_t ms) { project_.LockWaitMs = ms; }
  int Run(const std::string& table, const std::string& project, bool update, bool addUnmatched,
          const TImportProgress& progress, std::string& message);

 private:
  int Fail(int code, const std::string& text) {
    message_ = text;
    return code;
  }
  int OpenTable(const std::string& path, bool update);
  int Create(const std::string& path);
  int OpenForUpdate(const std::string& path);
  // Finds the year and the state of a new project from the table's rows.
  int ScanTable(uint16_t& year, int& state);
  int ImportRows(const TImportProgress& progress);
  // Imports one live row; false on a failure that ends the import.
  bool ImportRow(uint32_t n, const char* row);
  bool RowInProject(uint32_t n, const char* row, int& county);
  // The record a row updates or adds; null when the row is ignored.
  TFieldRec* Target(uint32_t n, const std::string& name, const std::string& sub);
  std::string Key(const std::string& name, const std::string& sub) const {
    return cols_.Has(icSubFld) ? UpperCase(name) + '\x01' + UpperCase(sub) : UpperCase(name);
  }
  int Save(const std::string& path);
  void Ignore(uint32_t n, const std::string& why) { info_.Ignore("Row " + std::to_string(n) + " ignored: " + why); }

  TValidationInfo& info_;
  TMcnFile& counties_;
  TLoadedRefs refs_;
  TDbfFile table_;
  TImportColumns cols_;
  TMdaFile project_;
  TRowApplier rows_;
  bool update_ = false;
  bool addUnmatched_ = true;
  bool changed_ = false;
  std::vector<TFieldRec> recs_;
  std::unordered_map<std::string, size_t> byKey_;  // first record of each name (and subfield name)
  std::vector<char> buffer_;
  std::string message_;
};

int TFieldImport::Run(const std::string& table, const std::string& project, bool update, bool addUnmatched,
                      const TImportProgress& progress, std::string& message) {
  update_ = update;
  addUnmatched_ = addUnmatched || !update;
  int code = OpenTable(table, update);
  if (code == ifNone) code = update ? OpenForUpdate(project) : Create(project);
  if (code == ifNone) {
    rows_.Prepare();
    code = ImportRows(progress);
  }
  if (code == ifNone) code = Save(project);
  if (code != ifNone && !update && project_.IsOpen()) project_.Discard();
  project_.Close();
  table_.Close();
  message = message_;
  return code;
}

int TFieldImport::OpenTable(const std::string& path, bool update) {
  if (!table_.OpenTable(path, 0, omReadDenyWrite)) return Fail(ifTable, table_.FullErrorText());
  if (table_.RecordCount() == 0) return Fail(ifNoRecords, table_.FileName + "\r\nFile contains no records.");
  cols_.Find(table_, TDbfFile::TextIsUtf8(path));
  buffer_.resize(static_cast<size_t>(table_.RecordLength()));
  // The export's tables hold the same fields in another form (county names, no CROP_YEAR).
  if (table_.FindField("FIELD_ID") > 0 && table_.FindField("YEAR") > 0 && !cols_.Has(icCropYear) &&
      (table_.FindField("STATE_CODE") > 0 || table_.FindField("INPUT_NAME") > 0))
    return Fail(ifColumn, table_.FileName + "\r\nNot a valid field data import file.\r\nThe table was written by "
                          "the dBASE export, whose tables are meant for other programs and cannot be imported. To "
                          "copy records between projects, use the JSON export and import, or Merge Project.");
  for (int col : {icFieldName, icCropYear, icCounty}) {
    if (cols_.Has(col) || (update && col != icFieldName)) continue;
    return Fail(ifColumn, table_.FileName + "\r\nNot a valid field data import file.\r\nRequired " + cols_.Name(col) +
                              " column is missing.");
  }
  return ifNone;
}

int TFieldImport::ScanTable(uint16_t& year, int& state) {
  int64_t maxYear = 0;
  std::vector<std::pair<int64_t, int>> counts;  // county code and rows, in order of appearance
  for (uint32_t n = 1; n <= table_.RecordCount(); ++n) {
    if (!table_.ReadRecord(n, buffer_.data())) return Fail(ifTable, table_.FullErrorText());
    if (buffer_[0] == kDbfDeleted) continue;
    int64_t v = 0;
    if (ParseWholeValue(cols_.Text(buffer_.data(), icCropYear), v)) maxYear = std::max(maxYear, v);
    // Numeric columns drop the leading zero of states below 10, so four digits count as well.
    const std::string county = cols_.Text(buffer_.data(), icCounty);
    if (county.size() < 4 || county.size() > 5 || !ParseWholeValue(county, v) || v < 1000) continue;
    auto it = std::find_if(counts.begin(), counts.end(), [v](const auto& c) { return c.first == v; });
    if (it != counts.end()) ++it->second;
    else if (counts.size() < kCountedCodes) counts.emplace_back(v, 1);
  }
  const std::string name = table_.FileName;
  if (maxYear == 0) return Fail(ifYear, name + "\r\nFile contains no records with valid crop year.");
  if (maxYear < kFirstProjectYear || maxYear > kLastProjectYear)
    return Fail(ifYear, name + "\r\nFile's crop year (" + std::to_string(maxYear) + ") is not valid.");
  year = static_cast<uint16_t>(maxYear);
  int64_t code = 0;
  int best = 0;
  for (const auto& [c, rows] : counts)
    if (rows > best) code = c, best = rows;
  state = counties_.FindStateByCode(static_cast<int>(code / 1000));
  if (code == 0 || state == 0)
    return Fail(ifState, name + "\r\nFile's state (FIPS=" + std::to_string(code) + ") is invalid or not supported.");
  return ifNone;
}

int TFieldImport::Create(const std::string& path) {
  uint16_t year = 0;
  int state = 0;
  if (const int code = ScanTable(year, state); code != ifNone) return code;
  // Built under a temporary name: a file of the same name is replaced only by a complete import.
  if (!project_.BeginProject(path, static_cast<uint16_t>(state), refs_, "", year, TTargetUse::Replace))
    return Fail(ifProject, ExpandFileName(path) + "\r\n" + project_.ErrorText());
  return ifNone;
}

int TFieldImport::OpenForUpdate(const std::string& path) {
  if (!project_.OpenProject(path, true, refs_)) return Fail(ifProject, project_.FullErrorText());
  if (project_.InUse() && !project_.IsLocked())
    return Fail(ifProject, project_.FileName + "\r\nThe project is in use by another program.");
  if (!project_.IsWritable()) return Fail(ifReadOnly, project_.FileName + "\r\nFile is read-only or locked.");
  if (project_.ProjectState() == 0)
    return Fail(ifMultiState, project_.FileName + "\r\nUpdating a multi-state project file is not supported.");
  TRecordReader in(project_);
  while (const TFieldRec* r = in.Next()) recs_.push_back(*r);
  if (in.Failed()) return Fail(ifProject, project_.FullErrorText());
  for (size_t i = 0; i < recs_.size(); ++i)
    byKey_.emplace(Key(recs_[i].Field_Name.Str(), recs_[i].SubFld_Nam.Str()), i);
  return ifNone;
}

int TFieldImport::ImportRows(const TImportProgress& progress) {
  const uint32_t count = table_.RecordCount();
  for (uint32_t n = 1; n <= count; ++n) {
    if (progress && !progress(n - 1, count)) return Fail(ifCanceled, "Import canceled by user.");
    if (!table_.ReadRecord(n, buffer_.data())) return Fail(ifTable, table_.FullErrorText());
    if (buffer_[0] != kDbfDeleted && !ImportRow(n, buffer_.data())) return ifProject;
  }
  if (progress) progress(count, count);
  return ifNone;
}

bool TFieldImport::RowInProject(uint32_t n, const char* row, int& county) {
  int64_t v = 0;
  if (cols_.Has(icCropYear) && (!ParseWholeValue(cols_.Text(row, icCropYear), v) || v != project_.ProjectYear())) {
    Ignore(n, "its crop year is not the project's year.");
    return false;
  }
  county = -1;  // not given
  const std::string code = cols_.Text(row, icCounty);
  if (code.empty()) return true;
  const int state = project_.ProjectState();
  if (!ParseWholeValue(code, v) || v / 1000 != counties_.StateCode(state)) {
    Ignore(n, "its county code " + code + " is not of the project's state.");
    return false;
  }
  county = counties_.FindCountyByCode(static_cast<int>(v % 1000), state);
  if (county == 0) info_.Warn("Row " + std::to_string(n) + ": COUNTY value \"" + code + "\" not imported: unknown county.");
  return true;
}

TFieldRec* TFieldImport::Target(uint32_t n, const std::string& name, const std::string& sub) {
  const auto it = byKey_.find(Key(name, sub));
  if (it != byKey_.end()) {
    if (!update_) {
      Ignore(n, "its field name repeats an earlier row.");
      return nullptr;
    }
    ++info_.Updated;
    return &recs_[it->second];
  }
  if (!addUnmatched_) return nullptr;
  const int32_t lastId = recs_.empty() ? 0 : int32_t{recs_.back().Field_ID};
  if (lastId >= kLastFieldId) {
    Ignore(n, "no field ID is left for a new record.");
    return nullptr;
  }
  if (recs_.size() >= static_cast<size_t>(kMaxRecords)) {
    project_.ErrorState = esTooMany;
    return nullptr;
  }
  byKey_.emplace(Key(name, sub), recs_.size());
  recs_.push_back(project_.NewRecord(lastId + 1, project_.ProjectState()));
  ++info_.Added;
  return &recs_.back();
}

bool TFieldImport::ImportRow(uint32_t n, const char* row) {
  int county = -1;
  if (!RowInProject(n, row, county)) return true;
  std::string full, sub, why;
  for (const auto& [col, text] : {std::pair{icFieldName, &full}, std::pair{icSubFld, &sub}}) {
    if (cols_.StoredText(row, col, info_.Text, *text, why)) continue;
    Ignore(n, "its " + cols_.Name(col) + " value " + why + ".");  // it would match no record as it stands
    return true;
  }
  const std::string name = Trim(full.substr(0, 15));
  sub = Trim(sub.substr(0, 5));
  if (name.empty() && sub.empty()) {
    Ignore(n, "it has no field name.");
    return true;
  }
  TFieldRec* rec = Target(n, name, sub);
  if (rec == nullptr) {
    if (project_.ErrorState != esTooMany) return true;
    message_ = ExpandFileName(project_.FileName) + "\r\n" + project_.ErrorText();
    return false;
  }
  const TFieldRec before = *rec;
  if (full.size() > 15) info_.Warn("Row " + std::to_string(n) + ": FIELD_NAME \"" + full + "\" cut to 15 characters.");
  rec->Field_Name = name;
  if (cols_.Has(icSubFld)) rec->SubFld_Nam = sub;
  if (county > 0) rec->County = static_cast<uint16_t>(county);
  rows_.Apply(row, n, *rec);
  changed_ = changed_ || !SameRecord(before, *rec);
  return true;
}

int TFieldImport::Save(const std::string& path) {
  if (update_) {
    if (!changed_ && info_.Added == 0) return ifNone;
    return project_.ReplaceRecords(recs_) ? ifNone : Fail(ifProject, project_.FullErrorText());
  }
  std::string error;
  return CommitNewProject(project_, recs_, ExpandFileName(path), error) ? ifNone : Fail(ifProject, error);
}

}  // namespace

void TValidationInfo::Clear() {
  Updated = Added = Warnings = Ignored = 0;
  Messages.clear();
  Text.Replaced = 0;
  Text.Refused = false;
}

void TValidationInfo::Warn(const std::string& message) {
  ++Warnings;
  if (CollectMessages) Messages.push_back(message);
}

void TValidationInfo::Ignore(const std::string& message) {
  ++Ignored;
  if (CollectMessages) Messages.push_back(message);
}

int ImportFieldData(const std::string& table, const std::string& project, bool update, TValidationInfo& info,
                    TMcnFile& counties, const TMdfFile& definitions, bool addUnmatched, std::string& message,
                    const TImportProgress& progress, int32_t lockWaitMs) {
  info.Clear();
  TFieldImport import(info, counties, definitions);
  import.SetLockWait(lockWaitMs);
  return import.Run(table, project, update, addUnmatched, progress, message);
}
