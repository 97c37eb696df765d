// Merge and extract: moving records between project files.
#include <unordered_set>

#include "common/Parse.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "store/MdaFile.h"

namespace {

// The first pre-check the other file fails, as the text that follows its name; empty when none.
std::string MergePreCheck(const TMdaFile& mine, const TMdaFile& other) {
  if (other.IsLocked() && (mine.ProjectState() != 0 || other.ProjectState() == 0)) return "\r\nFile is locked.";
  if (other.RecordCount() == 0) return "\r\nFile contains 0 records.";
  if (mine.RecordCount() + other.RecordCount() > kMaxRecords)
    return "\r\nFile contains too many records to merge (maximum " + std::to_string(kMaxRecords) + " per file).";
  if (mine.ProjectState() != 0 && other.ProjectState() != mine.ProjectState()) return "\r\nFile's state doesn't match.";
  if (mine.ProjectYear() != other.ProjectYear()) return "\r\nFile's year doesn't match.";
  return {};
}

// Remembers the field and subfield names written so far; false when the record's pair was
// written before (compared without regard to case). Records without names never clash.
bool NameIsNew(const TFieldRec& rec, std::unordered_set<std::string>& names) {
  if (rec.Field_Name.Empty() && rec.SubFld_Nam.Empty()) return true;
  return names.insert(UpperCase(rec.Field_Name.Str()) + '\n' + UpperCase(rec.SubFld_Nam.Str())).second;
}

std::string NameClashText(const TFieldRec& rec) {
  return "Field name \"" + rec.Field_Name.Str() + " " + Trim(rec.SubFld_Nam.Str()) +
         "\" is used in both project files.";
}

}  // namespace

bool TMdaFile::MergeProject(const std::string& path, const TMergeConfirm& confirm, int currentNumber,
                            std::string& message, int& newCurrent, TFieldRec& newRecord) {
  newCurrent = 0;
  newRecord = TFieldRec{};
  auto fail = [&](const std::string& text) {
    message = text;
    ErrorState = esMerge;
    return false;
  };
  if (!IsWritable()) {
    ErrorState = esWrite;
    return fail(FullErrorText());
  }
  TMdaFile other;
  other.LockWaitMs = LockWaitMs;
  if (!other.OpenProject(path, false, *refs_)) return fail(other.FullErrorText());
  const std::string refusal = MergePreCheck(*this, other);
  if (!refusal.empty()) return fail(other.FileName + refusal);
  if (confirm && !confirm(FileName, other.FileName, other.RecordCount())) return fail("Merge canceled by user.");

  TMdaFile merged;
  if (!StartRebuild(merged))
    return fail(ErrorState == esTarget || ErrorState == esMoved ? FullErrorText() : "Can't create merged file.");
  TRecordBatch out(merged);
  TRecordReader mine(*this), theirs(other);
  const TFieldRec* a = mine.Next();
  const TFieldRec* b = theirs.Next();
  if (RecordCount() == 0 && b != nullptr) {
    newCurrent = 1;
    newRecord = *b;
  }
  std::unordered_set<std::string> names;
  std::string failure;
  while ((a || b) && failure.empty()) {
    if (a && b && a->Field_ID == b->Field_ID) {
      failure = "Field ID " + std::to_string(a->Field_ID) + " is used in both project files.";
      break;
    }
    const bool fromMine = a && (!b || a->Field_ID < b->Field_ID);
    const TFieldRec& rec = fromMine ? *a : *b;
    if (fromMine && mine.Number() == currentNumber) {
      newCurrent = out.Written() + 1;
      newRecord = rec;
    }
    if (!out.Add(rec)) failure = "Can't write to merged file.";
    else if (!NameIsNew(rec, names)) failure = NameClashText(rec);
    if (fromMine) a = mine.Next();
    else b = theirs.Next();
  }
  if (failure.empty() && mine.Failed()) failure = FullErrorText();
  if (failure.empty() && theirs.Failed()) failure = other.FullErrorText();
  other.Close();
  if (!failure.empty()) {
    merged.Discard();
    return fail(failure);
  }
  if (!FinishRebuild(merged, out))
    return fail(ErrorState == esTarget ? FullErrorText() : "Can't write to merged file.");
  return true;
}

bool TMdaFile::ExtractProject(const std::string& path, uint16_t year, const TExtractDone& done,
                              const TRecordFilter& filter, const std::string& title, std::string& message) {
  auto fail = [&](const std::string& text) {
    message = text;
    ErrorState = esExtract;
    return false;
  };
  TMdaFile extracted;
  // The new file takes its name only when complete: a failure leaves a file of that name as it was.
  if (!extracted.BeginProject(path, Header.State, *refs_, title, year, TTargetUse::Replace))
    return fail(extracted.FullErrorText());
  if (IsLocked()) extracted.Header.Flags |= kHeaderLocked;
  TRecordBatch out(extracted);
  TRecordReader in(*this);
  bool written = true;
  while (written) {
    const TFieldRec* r = in.Next();
    if (r == nullptr) break;
    TFieldRec copy = *r;
    if (!filter || filter(copy)) written = out.Add(copy);
  }
  std::string failure;
  if (in.Failed()) failure = FullErrorText();
  else if (!written || !out.Flush()) failure = extracted.FullErrorText();
  else if (out.Written() == 0) failure = "No records in selected subset.";
  else if (!extracted.WriteHeader(false) || !extracted.Commit()) failure = extracted.FullErrorText();
  if (!failure.empty()) {
    extracted.Discard();
    return fail(failure);
  }
  extracted.Close();
  ErrorState = esNone;
  if (done) done(extracted.FileName, out.Written());
  return true;
}
