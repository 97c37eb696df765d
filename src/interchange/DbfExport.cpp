#include "interchange/DbfExport.h"

#include <fstream>

#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "interchange/DbfFile.h"

namespace {

// One table written under a temporary name in the folder of its final name.
class TTempTable {
 public:
  explicit TTempTable(const std::string& target) : target_(ExpandFileName(target)) {}
  ~TTempTable() {
    if (!committed_) table_.Discard();
  }

  template <class Row>
  bool Create(const std::vector<TExportColumn<Row>>& columns) {
    if (!CanReplaceFile(target_) || !CanReplaceFile(ChangeFileExt(target_, ".cpg"))) {
      readOnly_ = true;
      return false;
    }
    if (!table_.CreateTable(MakeTempName(ExtractFileDir(target_), "dbf"))) return false;
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
  bool Close() { return WritePending() && table_.CloseTable(); }
  // Puts the complete table in place of its final name, with its code page file.
  bool Commit() {
    if (!RenameFileOver(table_.FileName, target_)) {
      table_.ErrorState = esWrite;
      return false;
    }
    committed_ = true;
    std::ofstream cpg(ChangeFileExt(target_, ".cpg"), std::ios::binary | std::ios::trunc);
    cpg << "1252";
    cpg.close();
    if (cpg && !IoFaultInjected(TIoOp::Write, ChangeFileExt(target_, ".cpg"))) return true;
    table_.ErrorState = esWrite;
    Remove();
    return false;
  }
  // Removes a committed table again.
  void Remove() {
    DeleteFileAt(target_);
    DeleteFileAt(ChangeFileExt(target_, ".cpg"));
  }
  std::string ErrorText() const { return target_ + "\r\n" + (readOnly_ ? "Can't overwrite file." : table_.ErrorText()); }
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

  TDbfFile table_;
  std::string target_;
  std::string pending_;  // rows not yet written
  uint32_t pendingRows_ = 0;
  bool committed_ = false;
  bool readOnly_ = false;  // a read-only file of the final name is not replaced
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
  if (!fields.Close()) return Failed(project, fields.ErrorText(), message);
  if (!apps.Close()) return Failed(project, apps.ErrorText(), message);
  if (!fields.Commit()) return Failed(project, fields.ErrorText(), message);
  if (!apps.Commit()) {
    fields.Remove();
    return Failed(project, apps.ErrorText(), message);
  }
  SyncFolder(ExtractFileDir(fields.Target()));
  if (done) done(fields.Target(), fields.Rows(), apps.Target(), apps.Rows());
  return true;
}
