#include "store/MdaFile.h"

#include <algorithm>

#include "common/Locale.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "filebase/SafeWrite.h"

namespace {

constexpr size_t kBatchRecords = 256;  // 512 KB per read or write while copying records

}  // namespace

bool TMdaFile::CreateProject(const std::string& path, uint16_t state, const TProjectRefs& refs,
                             const std::string& title, uint16_t year) {
  if (!BeginProject(path, state, refs, title, year, TTargetUse::Replace)) return false;
  if (WriteHeader(false) && Commit()) return true;
  Discard();
  return false;
}

bool TMdaFile::BeginProject(const std::string& path, uint16_t state, const TProjectRefs& refs,
                            const std::string& title, uint16_t year, TTargetUse use) {
  refs_ = &refs;
  Header = NewHeader(refs.DefinitionCountry(), state, year);
  Header.Req_Release = refs.DefinitionRelease();
  Header.Last_Update = TodayDay();
  Header.Title.Set(title);
  return Begin(path, kMdaBlockSize, use);
}

bool TMdaFile::OpenProject(const std::string& path, bool writeWanted, const TProjectRefs& refs) {
  refs_ = &refs;
  inUse_ = false;
  // The header is read under the lock the file stays open with, so it is the header of the file
  // that is being worked on even when another program has just replaced it.
  if (writeWanted) {
    if (OpenChecked(path, omReadWriteExclusive)) {
      if (!IsLocked()) return OpenDone();
      Close();
    } else if (ErrorState != esOpen) {
      return false;
    } else {
      inUse_ = PathStatus == fsInUse;
    }
  }
  // The wait was spent on the attempt to write: reading is tried once more, without waiting again.
  const int32_t wait = LockWaitMs;
  if (inUse_) LockWaitMs = 0;
  const bool opened = OpenChecked(path, omReadDenyWrite);
  LockWaitMs = wait;
  return opened && OpenDone();
}

bool TMdaFile::OpenChecked(const std::string& path, int32_t mode) {
  Header = TMdaHeader{};
  if (!Open(path, kMdaBlockSize, mode)) return false;
  if (!ReadRecords(0, 1, &Header)) {
    Close();
    return false;
  }
  if (Header.Version != kMdaVersion) ErrorState = esVersion;
  else if (FileSize() != (int64_t{Header.Rec_Count} + 1) * kMdaBlockSize) ErrorState = esFormat;
  else CheckReferences();
  if (ErrorState == esNone) return true;
  Close();
  return false;
}

bool TMdaFile::OpenDone() {
  RemoveLeftoverTemps(ExtractFileDir(FileName));
  return true;
}

bool TMdaFile::CheckReferences() {
  if (Header.Country != refs_->DefinitionCountry()) {
    ErrorState = esCountry;
    return false;
  }
  const TDayNum loaded = refs_->DefinitionRelease();
  if (loaded < Header.Req_Release) {
    releaseText_ = "File requires release " + FormatShortDate(Header.Req_Release) + " or later of " +
                   ExtractFileName(refs_->DefinitionFileName()) + " file. Your release is " +
                   FormatShortDate(loaded) + ".";
    ErrorState = esRelease;
    return false;
  }
  return true;
}

bool TMdaFile::SetProperties(const std::string& title, const std::string& author, const std::string& company,
                             const std::string& comments) {
  const TMdaHeader before = Header;
  Header.Title.Set(title);
  Header.Author.Set(author);
  Header.Company.Set(company);
  Header.Comments.Set(comments);
  const TDayNum today = TodayDay();
  if (Header.Last_Update != today) Header.Last_Update = today;
  if (WriteHeader(true)) return true;
  Header = before;
  return false;
}

bool TMdaFile::WriteHeader(bool flush) { return WriteRecords(0, 1, flush, &Header); }

bool TMdaFile::ReadRecord(int n, TFieldRec& rec) {
  if (n < 1 || n > RecordCount()) {
    ErrorState = esRead;
    return false;
  }
  return ReadRecords(n, 1, &rec);
}

bool TMdaFile::WriteRecord(int n, const TFieldRec& rec, bool flush) { return WriteRecordBlock(n, 1, &rec, flush); }

bool TMdaFile::WriteRecordBlock(int n, int count, const TFieldRec* recs, bool flush) {
  const int last = n + count - 1;
  if (last > kMaxRecords) {  // a record number beyond 32767 reads as negative in the file's terms
    ErrorState = esTooMany;
    return false;
  }
  if (n < 1 || count < 1) {  // block 0 is the header
    ErrorState = esWrite;
    return false;
  }
  if (!WriteRecords(n, count, false, recs)) return false;
  bool changed = false;
  if (refs_ && Header.Req_Release < refs_->DefinitionRelease()) {
    Header.Req_Release = refs_->DefinitionRelease();
    changed = true;
  }
  const TDayNum today = TodayDay();
  if (Header.Last_Update != today) {
    Header.Last_Update = today;
    changed = true;
  }
  if (last > RecordCount()) {
    Header.Rec_Count = static_cast<uint16_t>(last);
    changed = true;
  }
  if (changed) return WriteHeader(flush);
  return flush ? Reopen() : true;
}

TFieldRec TMdaFile::NewRecord(int32_t fieldId, uint16_t state) const {
  return NewRecordTemplate(fieldId, Header.Year, Header.State != 0 ? uint16_t{Header.State} : state);
}

bool TMdaFile::RefuseUnwritable() {
  if (IsWritable()) return false;
  ErrorState = esWrite;
  return true;
}

bool TMdaFile::InsertRecord(const TFieldRec& rec, int replaced, int& newNumber) {
  newNumber = 0;
  if (RefuseUnwritable()) return false;
  if (replaced == 0 && RecordCount() >= kMaxRecords) {
    ErrorState = esTooMany;
    return false;
  }
  if (replaced < 0 || replaced > RecordCount()) {
    ErrorState = esRead;
    return false;
  }
  return CopyWithout(replaced, &rec, newNumber);
}

bool TMdaFile::DeleteRecord(int number, TFieldRec& next, int& nextNumber) {
  next = TFieldRec{};
  nextNumber = 0;
  if (RefuseUnwritable()) return false;
  if (number < 1 || number > RecordCount()) {
    ErrorState = esRead;
    return false;
  }
  int unused = 0;
  if (!CopyWithout(number, nullptr, unused)) return false;
  if (RecordCount() == 0) return true;
  nextNumber = std::min(number, RecordCount());
  return ReadRecord(nextNumber, next);
}

bool TMdaFile::ReplaceRecords(std::vector<TFieldRec> recs) {
  if (RefuseUnwritable()) return false;
  if (recs.size() > static_cast<size_t>(kMaxRecords)) {
    ErrorState = esTooMany;
    return false;
  }
  std::stable_sort(recs.begin(), recs.end(),
                   [](const TFieldRec& a, const TFieldRec& b) { return a.Field_ID < b.Field_ID; });
  TMdaFile rebuilt;
  if (!StartRebuild(rebuilt)) return false;
  TRecordBatch out(rebuilt);
  for (const TFieldRec& r : recs) {
    if (!out.Add(r)) {
      ErrorState = rebuilt.ErrorState;
      rebuilt.Discard();
      return false;
    }
  }
  return FinishRebuild(rebuilt, out);
}

bool TMdaFile::CopyWithout(int skipped, const TFieldRec* inserted, int& insertedNumber) {
  TMdaFile rebuilt;
  if (!StartRebuild(rebuilt)) return false;
  TRecordBatch out(rebuilt);
  TRecordReader in(*this);
  bool placed = inserted == nullptr;
  bool written = true;
  while (written) {
    const TFieldRec* r = in.Next();
    if (r == nullptr) break;
    if (in.Number() == skipped) continue;
    if (!placed && r->Field_ID > inserted->Field_ID) {
      placed = true;
      insertedNumber = out.Written() + 1;
      if (!(written = out.Add(*inserted))) break;
    }
    written = out.Add(*r);
  }
  if (written && !placed) {
    insertedNumber = out.Written() + 1;
    written = out.Add(*inserted);
  }
  if (in.Failed()) {  // this file's read error stays the reported one
    rebuilt.Discard();
    return false;
  }
  if (!written) {
    ErrorState = rebuilt.ErrorState;
    rebuilt.Discard();
    return false;
  }
  return FinishRebuild(rebuilt, out);
}

bool TMdaFile::BeginCopy(TMdaFile& copy, const std::string& path, TTargetUse use) const {
  if (!copy.BeginProject(path, Header.State, *refs_, Title(), Header.Year, use)) return false;
  // The other header texts travel with the first header write of the copy.
  copy.Header.Author = Header.Author;
  copy.Header.Company = Header.Company;
  copy.Header.Comments = Header.Comments;
  return true;
}

bool TMdaFile::StartRebuild(TMdaFile& rebuilt) {
  if (!StillAtPath()) {
    ErrorState = esMoved;
    return false;
  }
  // The copy is built beside the project and gets its permissions before anything is written.
  if (BeginCopy(rebuilt, FileName, TTargetUse::ReplaceOwn)) return true;
  ErrorState = rebuilt.ErrorState;
  if (ErrorState == esTarget) SetTargetError({TWriteCode::Create, FileName, rebuilt.ErrorText()});
  return false;
}

bool TMdaFile::SaveCopyAs(const std::string& path, int replaced, const TFieldRec& rec, std::string& error) {
  TMdaFile copy;
  bool ok = BeginCopy(copy, path, TTargetUse::Replace);
  copy.Header.Flags = Header.Flags;
  TRecordBatch out(copy);
  TRecordReader in(*this);
  while (ok) {
    const TFieldRec* r = in.Next();
    if (r == nullptr) break;
    ok = out.Add(in.Number() == replaced ? rec : *r);
  }
  if (in.Failed()) {
    error = FullErrorText();
    return false;
  }
  if (ok && out.Flush() && copy.WriteHeader(false) && copy.Commit()) {
    copy.Close();
    return true;
  }
  error = copy.FullErrorText();
  return false;
}

bool TMdaFile::FinishRebuild(TMdaFile& rebuilt, TRecordBatch& out) {
  // The complete copy reaches the disk before it replaces anything.
  if (!out.Flush() || !rebuilt.WriteHeader(false)) {
    ErrorState = rebuilt.ErrorState;
    rebuilt.Discard();
    return false;
  }
  // Both files stay open and locked through the rename: no other program can open either name
  // in between, and one that waited on the old file finds it replaced and opens the new one.
  if (!rebuilt.Commit()) {
    ErrorState = rebuilt.ErrorState;  // the project is untouched and still open as it was
    if (ErrorState == esTarget) SetTargetError({TWriteCode::Write, FileName, rebuilt.ErrorText()});
    return false;
  }
  // The change has taken effect; nothing after this point can turn it into a failure.
  TakeOver(rebuilt);
  Header = rebuilt.Header;
  return true;
}

bool TMdaFile::FindNext(int start, const TRecordTest& test, TFieldRec& rec, int& number) {
  number = 0;
  ErrorState = esNone;
  TRecordReader in(*this, std::max(start, 1));
  while (const TFieldRec* r = in.Next()) {
    if (test(*r)) {
      rec = *r;
      number = in.Number();
      return true;
    }
  }
  return false;
}

std::string TMdaFile::ErrorText() const {
  switch (ErrorState) {
    case esRelease: return releaseText_;
    case esTooMany: return "No more records can be added to file (maximum " + std::to_string(kMaxRecords) + ").";
    case esMerge: return "Can't merge records into file.";
    case esExtract: return "Can't extract records from file.";
    case esExport: return "Can't export data from file.";
    default: return TRecFile::ErrorText();
  }
}

TRecordBatch::TRecordBatch(TMdaFile& target) : target_(target) { pending_.reserve(kBatchRecords); }

bool TRecordBatch::Add(const TFieldRec& rec) {
  pending_.push_back(rec);
  ++written_;
  return pending_.size() < kBatchRecords || Flush();
}

bool TRecordBatch::Flush() {
  if (pending_.empty()) return true;
  const bool ok = target_.WriteRecordBlock(target_.RecordCount() + 1, static_cast<int>(pending_.size()),
                                           pending_.data(), false);
  pending_.clear();
  return ok;
}

std::string FolderReadOnlyText(const std::string& project) {
  return "Records can be changed but not added, duplicated, deleted or merged: the folder " +
         ExtractFileDir(ExpandFileName(project)) + " can't be written to.";
}

bool CommitNewProject(TMdaFile& project, const std::vector<TFieldRec>& recs, const std::string& target,
                      std::string& error) {
  TRecordBatch out(project);
  bool ok = true;
  for (const TFieldRec& r : recs) ok = ok && out.Add(r);
  ok = ok && out.Flush() && project.WriteHeader(false) && project.Commit();
  if (!ok) {
    error = target + "\r\n" + project.ErrorText();
    project.Discard();  // the temporary file; the target was never touched
    return false;
  }
  project.Close();  // the complete project is on disk under its name
  return true;
}

TRecordReader::TRecordReader(TMdaFile& source, int first) : source_(source), nextToRead_(first), number_(first - 1) {}

const TFieldRec* TRecordReader::Next() {
  if (failed_) return nullptr;
  if (pos_ == buffer_.size()) {
    const int left = source_.RecordCount() - nextToRead_ + 1;
    if (left <= 0) return nullptr;
    const int count = std::min(left, static_cast<int>(kBatchRecords));
    buffer_.resize(static_cast<size_t>(count));
    if (!source_.ReadRecords(nextToRead_, count, buffer_.data())) {
      failed_ = true;
      return nullptr;
    }
    nextToRead_ += count;
    pos_ = 0;
  }
  ++number_;
  return &buffer_[pos_++];
}
