#include "store/MdaFile5.h"

#include <unistd.h>

#include <vector>

#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "filebase/SafeWrite.h"

bool TMdaFile5::OpenOrConvert(const std::string& path, bool writeWanted, const TProjectRefs& refs,
                              const TConvertDone& converted, const TConvertConfirm& confirm) {
  if (OpenProject(path, writeWanted, refs)) return true;
  // An old file without records is shorter than one current header block.
  if (ErrorState != esVersion && ErrorState != esRead) return false;
  TMda5Header old{};
  bool current = false;
  if (!OpenOld(path, old, current)) {
    // Another program converted the file since the first look: it opens as it is now.
    if (current && OpenProject(path, writeWanted, refs)) return true;
    if (current && ErrorState == esRead) ErrorState = esFormat;  // a current file cut short
    return false;
  }
  if (confirm && !confirm(FileName)) {
    Close();
    ErrorState = esVersion;
    return false;
  }
  TMdaFile target;
  // Built beside the old file, with its permissions: a private project stays private.
  if (!target.BeginProject(FileName, old.State, refs, old.Title.Str(), old.Year, TTargetUse::ReplaceOwn)) {
    Close();
    ErrorState = target.ErrorState;
    if (ErrorState == esTarget) SetTargetError({TWriteCode::Create, FileName, target.ErrorText()});
    return false;
  }
  if (old.Flags & kHeaderLocked) target.Header.Flags |= kHeaderLocked;
  if (!ConvertRecords(old, target)) {
    Close();
    if (ErrorState == esNone) ErrorState = target.ErrorState;
    target.Discard();
    return false;
  }
  const std::string oldPath = FileName;
  if (!ReplaceWithConverted(target)) return false;
  if (converted) converted(oldPath, ChangeFileExt(oldPath, ".dos"));
  // The conversion is done whatever follows; a failing open is reported as only that.
  return OpenProject(oldPath, writeWanted, refs);
}

bool TMdaFile5::OpenOld(const std::string& path, TMda5Header& old, bool& current) {
  current = false;
  // Held exclusively until the converted file has taken its name, so no other program reads or
  // converts it meanwhile.
  if (!Open(path, kMda5BlockSize, omReadExclusive)) return false;
  if (!ReadRecords(0, 1, &old)) {
    Close();
    return false;
  }
  Header = TMdaHeader{};
  Header.Country = old.Country;
  Header.Req_Release = old.Req_Release;
  current = old.Version == kMdaVersion;
  if (current) ErrorState = esFormat;
  else if (old.Version != kMda5Version) ErrorState = esVersion;
  else if (FileSize() != (int64_t{old.Rec_Count} + 1) * kMda5BlockSize) ErrorState = esFormat;
  else CheckReferences();
  if (ErrorState == esNone) return true;
  Close();
  return false;
}

bool TMdaFile5::ConvertRecords(const TMda5Header& old, TMdaFile& target) {
  TRecordBatch out(target);
  std::vector<TMda5Rec> batch(256);
  for (int first = 1; first <= old.Rec_Count; first += static_cast<int>(batch.size())) {
    const int count = std::min<int>(static_cast<int>(batch.size()), old.Rec_Count - first + 1);
    if (!ReadRecords(first, count, batch.data())) return false;
    for (int i = 0; i < count; ++i) {
      if (IsDroppedMda5Record(batch[i])) continue;
      TFieldRec rec;
      if (!ConvertMda5Record(batch[i], target, *refs_, rec)) {
        ErrorState = esFormat;
        return false;
      }
      if (!out.Add(rec)) return false;
    }
  }
  return out.Flush() && target.WriteHeader(true);
}

bool TMdaFile5::ReplaceWithConverted(TMdaFile& converted) {
  const std::string path = FileName;
  // The old bytes get the backup name first and keep their own name until the converted file
  // takes it, so that at every moment the name holds a project. The old file stays open and
  // locked throughout. An older backup of that name is replaced by this one.
  if (!KeepBackup(path, ChangeFileExt(path, ".dos"))) {
    ErrorState = esBackup;
    converted.Discard();
    Close();
    return false;
  }
  const bool replaced = converted.Commit();
  Close();
  if (!replaced) {
    ErrorState = converted.ErrorState == esTarget ? esWrite : converted.ErrorState;
    converted.Discard();
    return false;
  }
  converted.Close();
  ErrorState = esNone;
  return true;
}

bool TMdaFile5::KeepBackup(const std::string& path, const std::string& backup) {
  // A second name for the old file, made under a temporary name and renamed over an older backup.
  const std::string folder = ExtractFileDir(path);
  const std::string link = MakeTempName(folder, "tsj");
  if (::link(path.c_str(), link.c_str()) == 0) {
    if (RenameFileOver(link, backup)) {
      SyncFolder(folder);
      return true;
    }
    ::unlink(link.c_str());
    return false;
  }
  // A file system without hard links: a copy.
  return CopyFileSafely(path, backup, TTargetUse::Replace).Ok();
}

std::string TMdaFile5::ErrorText() const {
  if (ErrorState == esBackup) return "Can't save backup copy of file with .dos extension.";
  return TMdaFile::ErrorText();
}
