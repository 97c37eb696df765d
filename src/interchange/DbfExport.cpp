#include "interchange/DbfExport.h"

#include "filebase/FileUtl.h"
#include "filebase/SafeWrite.h"
#include "interchange/DbfFile.h"

namespace {

// One table written under a temporary name in the folder of its final name.
class TTempTable {
 public:
  explicit TTempTable(const std::string& target) : target_(ExpandFileName(target)) {}

  template <class Row>
  bool Create(const std::vector<TExportColumn<Row>>& columns) {
    if (!table_.CreateTable(target_)) return false;
    for (const auto& c : columns)
      if (!table_.AddField(c.Name, c.Type, c.Width, c.Decimals)) return false;
    return true;
  }
  // Rows are gathered and written in blocks of about 256 KB.
  template <class Row>
  bool Write(const std::vector<TExportColumn<Row>>& columns, const Row& row) {
    pending_ += ' ';
    for (const auto& c : columns) pending_ += DbfValueText(c.Type, c.Width, c.Decimals, c.Flags, c.Value(row));
    ++pendingRows_;
    return pending_.size() < kBlockBytes || WritePending();
  }
  bool Finish() { return WritePending(); }
  // Puts the complete table in place of its final name, then writes its code page file.
  bool Commit() {
    if (!table_.CloseTable()) return false;
    const TWriteResult cpg = WriteFileSafely(ChangeFileExt(target_, ".cpg"), "1252", TTargetUse::Replace);
    if (cpg.Ok()) return true;
    cpgError_ = cpg.FullText();
    return false;
  }
  std::string ErrorText() const { return cpgError_.empty() ? target_ + "\r\n" + table_.ErrorText() : cpgError_; }
  const std::string& Target() const { return target_; }
  int Rows() const { return static_cast<int>(table_.RecordCount() + pendingRows_); }

 private:
  static constexpr size_t kBlockBytes = 256 * 1024;
  bool WritePending() {
    const bool ok = table_.AppendRecords(pending_.data(), pendingRows_);
    pending_.clear();
    pendingRows_ = 0;
    return ok;
  }

  TDbfFile table_;  // an unfinished table is thrown away with it
  std::string target_;
  std::string pending_;  // rows not yet written
  uint32_t pendingRows_ = 0;
  std::string cpgError_;
};

bool Failed(TMdaFile& project, const std::string& text, std::string& message) {
  message = text;
  project.ErrorState = esExport;
  return false;
}

}  // namespace

bool ExportToDbase(TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions, const std::string& fieldPath,
                   const std::string& appPath, const TDbfExportDone& done, const TExportOptions& options,
                   std::string& message) {
  message.clear();
  TTempTable fields(fieldPath), apps(appPath);
  if (!fields.Create(FieldDataColumns())) return Failed(project, fields.ErrorText(), message);
  if (!apps.Create(AppDataColumns())) return Failed(project, apps.ErrorText(), message);

  std::string failure;  // the message of a table that could not be written
  const auto write = [&](const TFieldDataRow& row, const std::vector<TAppRow>& appRows) {
    TTempTable* failed = nullptr;
    if (!fields.Write(FieldDataColumns(), row)) failed = &fields;
    for (size_t i = 0; !failed && i < appRows.size(); ++i)
      if (!apps.Write(AppDataColumns(), TAppDataRow{row.Rec, appRows[i]})) failed = &apps;
    if (failed) failure = failed->ErrorText();
    return !failed;
  };
  int accepted = 0;
  switch (WalkExportRecords(project, counties, definitions, options, write, accepted)) {
    case TExportWalk::Canceled: message = kExportCanceled; return false;
    case TExportWalk::ReadFailed: return Failed(project, project.FullErrorText(), message);
    case TExportWalk::WriteFailed: return Failed(project, failure, message);
    case TExportWalk::Done: break;
  }
  if (accepted == 0) {
    message = kNoRecordsInSubset;
    return false;
  }
  // Both tables are complete before either takes its name. A committed table is never removed
  // again: it has already replaced the file of its name.
  if (!fields.Finish()) return Failed(project, fields.ErrorText(), message);
  if (!apps.Finish()) return Failed(project, apps.ErrorText(), message);
  if (!fields.Commit()) return Failed(project, fields.ErrorText(), message);
  if (!apps.Commit()) return Failed(project, apps.ErrorText(), message);
  if (done) done(fields.Target(), fields.Rows(), apps.Target(), apps.Rows());
  return true;
}
