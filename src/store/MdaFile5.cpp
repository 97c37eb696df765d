#include "store/MdaFile5.h"

#include <vector>

#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"

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
  // The converted file gets the old file's permissions: a private project stays private.
  const std::string temp = MakeTempFileLike(FileName, "tsj");
  if (temp.empty() || !target.CreateProject(temp, old.State, refs, old.Title.Str(), old.Year)) {
    Close();
    ErrorState = temp.empty() ? esCreate : target.ErrorState;
    if (!temp.empty()) DeleteFileAt(temp);
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
  const std::string backup = ChangeFileExt(path, ".dos");
  // The old file stays open and locked until the converted one has its name. An older backup of
  // that name is replaced by this one.
  const bool backedUp = RenameFileOver(path, backup);
  const bool replaced = backedUp && RenameFileOver(converted.FileName, path);
  Close();
  if (replaced) {
    converted.Close();
    SyncFolder(ExtractFileDir(path));  // the renames are visible to all; committing them is best effort
    ErrorState = esNone;
    return true;
  }
  if (!backedUp) ErrorState = esBackup;
  else if (RenameFileOver(backup, path)) ErrorState = esWrite;  // the old file is back in its place
  else {
    // The old records live on in the backup and the converted ones in the kept copy.
    KeptFileName = converted.FileName;
    converted.Close();
    ErrorState = esReplace;
    return false;
  }
  converted.Discard();
  return false;
}

std::string TMdaFile5::ErrorText() const {
  if (ErrorState == esBackup) return "Can't save backup copy of file with .dos extension.";
  return TMdaFile::ErrorText();
}
