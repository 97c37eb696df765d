#include "interchange/JsonIo.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <unordered_map>

#include "filebase/FileUtl.h"
#include "filebase/SafeWrite.h"
#include "interchange/RecJson.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "store/FieldRules.h"
#include "store/LoadedRefs.h"
#include "common/Cp1252.h"
#include "common/TextUtil.h"

namespace {

constexpr int32_t kLastFieldId = 999999999;
constexpr size_t kShownParseError = 200;  // bytes of the parser's message, which quotes what it read

// Reads and parses a whole JSON file; false with the message of the first failure.
bool ReadDocument(const std::string& path, nlohmann::json& doc, std::string& message) {
  if (const int status = FileStatus(path); status != fsExists) {
    message = FileStatusText(status, path);
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) {
    message = path + "\r\nCan't read file.";
    return false;
  }
  // The nesting is limited before the parse: the parsed value is copied and destroyed recursively.
  if (const size_t at = JsonTooDeepAt(text); at != std::string::npos) {
    message = path + "\r\nNot a valid JSON document: arrays and objects nest deeper than " +
              std::to_string(kMaxJsonDepth) + " levels at byte " + std::to_string(at + 1) + ".";
    return false;
  }
  try {
    doc = nlohmann::json::parse(text);
  } catch (const nlohmann::json::exception& e) {
    std::string why = e.what();  // "[json.exception.parse_error.101] parse error at line 1, ..."
    if (const size_t end = why.find("] "); end != std::string::npos) why.erase(0, end + 2);
    message = path + "\r\nNot a valid JSON document: " + Utf8ToCp1252(Utf8Prefix(why, kShownParseError));
    return false;
  }
  if (doc.is_object() && doc.contains("project") && doc["project"].is_object() && doc.contains("records") &&
      doc["records"].is_array())
    return true;
  message = path + "\r\nNot a project document: it needs a \"project\" object and a \"records\" array.";
  return false;
}

// A header or record field by name, without regard to case.
const TFieldDesc* FieldNamed(const std::vector<TFieldDesc>& fields, const std::string& name) {
  if (&fields == &RecordFields()) return RecordField(name);
  for (const TFieldDesc& f : fields)
    if (SameText(f.name, name)) return &f;
  return nullptr;
}

// Builds a new project from a parsed document.
class TJsonImport {
 public:
  TJsonImport(TMcnFile& counties, const TMdfFile& definitions, TTextImport& text)
      : counties_(counties), definitions_(definitions), refs_(counties, definitions), text_(text) {}
  ~TJsonImport() {
    if (project_.IsOpen()) project_.Discard();
  }
  bool Run(const nlohmann::json& doc, const std::string& target, std::string& message);
  int Records() const { return static_cast<int>(recs_.size()); }

 private:
  bool Fail(const std::string& text) {
    message_ = text;
    return false;
  }
  bool ReadHeader(const nlohmann::json& project, TMdaHeader& h);
  bool ReadRecord(size_t n, const nlohmann::json& item);
  bool SetFields(const std::string& where, const std::vector<TFieldDesc>& fields, void* block,
                 const nlohmann::json& object);
  bool CheckRecord(const std::string& where, TFieldRec& rec);
  bool CheckUnique(const std::string& where, const TFieldRec& rec);
  bool Save(const TMdaHeader& h, const std::string& target);

  TMcnFile& counties_;
  const TMdfFile& definitions_;
  TLoadedRefs refs_;
  TTextImport& text_;
  TMdaFile project_;
  std::vector<TFieldRec> recs_;
  std::unordered_map<int32_t, size_t> byId_;
  std::unordered_map<std::string, size_t> byName_;
  std::string message_;
};

bool TJsonImport::SetFields(const std::string& where, const std::vector<TFieldDesc>& fields, void* block,
                            const nlohmann::json& object) {
  for (const auto& [key, value] : object.items()) {
    const TFieldDesc* d = FieldNamed(fields, key);
    if (d == nullptr) return Fail(where + ": unknown field \"" + Utf8ToCp1252(Utf8Prefix(key, 40)) + "\".");
    std::string error;
    if (d->count == 1) {
      if (!SetFieldFromJson(block, *d, 0, value, text_, error))
        return Fail(where + ": " + d->name + " " + Utf8ToCp1252(error) + ".");
      continue;
    }
    if (!value.is_array() || value.size() != d->count)
      return Fail(where + ": " + d->name + " must be an array of " + std::to_string(d->count) + " values.");
    for (int i = 0; i < d->count; ++i)
      if (!SetFieldFromJson(block, *d, i, value[static_cast<size_t>(i)], text_, error))
        return Fail(where + ": " + d->name + "[" + std::to_string(i + 1) + "] " + Utf8ToCp1252(error) + ".");
  }
  return true;
}

bool TJsonImport::ReadHeader(const nlohmann::json& project, TMdaHeader& h) {
  h = {};
  if (!project.contains("State") || !project.contains("Year"))
    return Fail("project: the State and Year are required.");
  if (!SetFields("project", HeaderFields(), &h, project)) return false;
  for (const TFieldDesc& d : HeaderFields()) {
    if (d.kind != TFieldKind::Str) continue;
    const std::string rule = ControlCharRule(GetFieldText(&h, d, 0), d.name == "Comments");  // comments have lines
    if (!rule.empty()) return Fail("project: " + d.name + " is not accepted: " + rule + ".");
  }
  if (project.contains("Country") && h.Country != definitions_.Country()) return Fail("project: Wrong country for file.");
  if (h.Year < kFirstProjectYear || h.Year > kLastProjectYear)
    return Fail("project: Year value " + std::to_string(h.Year) + " is not accepted: must be from " +
                std::to_string(kFirstProjectYear) + " to " + std::to_string(kLastProjectYear) + ".");
  if (h.State != 0 && counties_.StateAbbrev(h.State).empty())
    return Fail("project: State value " + std::to_string(h.State) +
                " is not accepted: must be 0 or a state number of the county names file.");
  return true;
}

bool TJsonImport::CheckRecord(const std::string& where, TFieldRec& rec) {
  if (rec.Field_ID < 1 || rec.Field_ID > kLastFieldId)
    return Fail(where + ": Field_ID value " + std::to_string(rec.Field_ID) + " is not accepted: must be from 1 to " +
                std::to_string(kLastFieldId) + ".");
  const TRuleContext rules{refs_, project_.StateTables(), project_.ProjectState(), project_.ProjectYear()};
  for (const TFieldDesc& d : RecordFields())
    for (int i = 0; i < d.count; ++i) {
      const std::string rule = CheckFieldValue(rec, d, i, rules);
      if (rule.empty()) continue;
      const std::string name = d.count == 1 ? d.name : d.name + "[" + std::to_string(i + 1) + "]";
      return Fail(where + ": " + name + " value \"" + ShownText(GetFieldText(&rec, d, i)) + "\" is not accepted: " +
                  rule + ".");
    }
  return true;
}

bool TJsonImport::CheckUnique(const std::string& where, const TFieldRec& rec) {
  const auto [id, newId] = byId_.emplace(rec.Field_ID, recs_.size());
  if (!newId)
    return Fail(where + ": Field_ID " + std::to_string(rec.Field_ID) + " is already used by record " +
                std::to_string(id->second + 1) + ".");
  if (rec.Field_Name.Empty() && rec.SubFld_Nam.Empty()) return true;
  const std::string key = UpperCase(rec.Field_Name.Str()) + '\x01' + UpperCase(rec.SubFld_Nam.Str());
  const auto [name, newName] = byName_.emplace(key, recs_.size());
  if (newName) return true;
  return Fail(where + ": the field name and subfield name are already used by record " +
              std::to_string(name->second + 1) + ".");
}

bool TJsonImport::ReadRecord(size_t n, const nlohmann::json& item) {
  const std::string where = "Record " + std::to_string(n);
  if (!item.is_object()) return Fail(where + " is not an object.");
  if (!item.contains("Field_ID")) return Fail(where + ": Field_ID is missing.");
  // A new record, then every value the document gives.
  TFieldRec rec = project_.NewRecord(0, project_.ProjectState());
  if (!SetFields(where, RecordFields(), &rec, item)) return false;
  if (!CheckRecord(where, rec) || !CheckUnique(where, rec)) return false;
  recs_.push_back(rec);
  return true;
}

bool TJsonImport::Save(const TMdaHeader& h, const std::string& target) {
  std::stable_sort(recs_.begin(), recs_.end(),
                   [](const TFieldRec& a, const TFieldRec& b) { return a.Field_ID < b.Field_ID; });
  std::string error;
  if (!project_.SetProperties(h.Title.Str(), h.Author.Str(), h.Company.Str(), h.Comments.Str())) {
    error = target + "\r\n" + project_.ErrorText();
    project_.Discard();
    return Fail(error);
  }
  if (!CommitNewProject(project_, recs_, target, error)) return Fail(error);
  return true;
}

bool TJsonImport::Run(const nlohmann::json& doc, const std::string& target, std::string& message) {
  TMdaHeader h;
  const nlohmann::json& records = doc["records"];
  bool ok = ReadHeader(doc["project"], h);
  if (ok && records.size() > static_cast<size_t>(kMaxRecords))
    ok = Fail("The document holds more than " + std::to_string(kMaxRecords) + " records.");
  if (ok && !project_.BeginProject(target, h.State, refs_, "", h.Year, TTargetUse::Replace))
    ok = Fail(target + "\r\n" + project_.ErrorText());
  for (size_t n = 0; ok && n < records.size(); ++n) ok = ReadRecord(n + 1, records[n]);
  ok = ok && Save(h, target);
  message = message_;
  return ok;
}

}  // namespace

bool ExportToJson(TMdaFile& project, const std::string& path, const TExportOptions& options, int& records,
                  std::string& message) {
  records = 0;
  message.clear();
  TSafeWrite out;
  if (const TWriteResult begun = out.Begin(path, TTargetUse::Replace, "jso"); !begun.Ok()) {
    message = begun.FullText();
    return false;
  }
  // The records come first, so that the project's Rec_Count can say how many were written.
  std::string text = "{\"records\": [";
  const auto write = [&](const TFieldRec& rec) {
    text += records++ ? ",\n" : "\n";
    AppendFieldsJson(RecordFields(), &rec, text);
    if (text.size() < (1 << 18)) return true;
    const bool ok = out.Write(text);
    text.clear();
    return ok;
  };
  int accepted = 0;
  switch (WalkAcceptedRecords(project, options, write, accepted)) {
    case TExportWalk::Canceled: message = kExportCanceled; return false;
    case TExportWalk::ReadFailed:
      message = project.FullErrorText();
      project.ErrorState = esExport;
      return false;
    case TExportWalk::WriteFailed: break;
    case TExportWalk::Done:
      if (accepted == 0 && project.RecordCount() > 0) {
        message = kNoRecordsInSubset;
        return false;
      }
      break;
  }
  TMdaHeader header = project.Header;
  header.Rec_Count = records;
  text += "\n],\n\"project\": ";
  AppendFieldsJson(HeaderFields(), &header, text);
  text += "}\n";
  out.Write(text);
  if (const TWriteResult placed = out.Commit(); !placed.Ok()) {
    message = placed.FullText();
    return false;
  }
  return true;
}

bool ImportFromJson(const std::string& jsonPath, const std::string& projectPath, TMcnFile& counties,
                    const TMdfFile& definitions, TTextImport& text, int& records, std::string& message) {
  records = 0;
  const TInputHold source(jsonPath);  // so that the new project can never take the document's place
  text.Replaced = 0;
  text.Refused = false;
  nlohmann::json doc;
  if (!ReadDocument(jsonPath, doc, message)) return false;
  TJsonImport import(counties, definitions, text);
  if (!import.Run(doc, ExpandFileName(projectPath), message)) return false;
  records = import.Records();
  return true;
}
