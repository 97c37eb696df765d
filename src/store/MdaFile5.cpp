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
  if (!OpenOld(path, old)) return false;
  if (confirm && !confirm(FileName)) {
    Close();
    ErrorState = esVersion;
    return false;
  }
  TMdaFile target;
  if (!target.CreateProject(MakeTempName(ExtractFileDir(FileName), "tsj"), old.State, refs, old.Title.Str(),
                            old.Year)) {
    Close();
    ErrorState = target.ErrorState;
    return false;
  }
  if (old.Flags & kHeaderLocked) target.Header.Flags |= kHeaderLocked;
  const bool copied = ConvertRecords(old, target);
  Close();
  if (!copied) {
    if (ErrorState == esNone) ErrorState = target.ErrorState;
    target.Discard();
    return false;
  }
  const std::string oldPath = FileName;
  if (!ReplaceWithConverted(target, writeWanted)) return false;
  if (converted) converted(oldPath, ChangeFileExt(oldPath, ".dos"));
  return true;
}

bool TMdaFile5::OpenOld(const std::string& path, TMda5Header& old) {
  if (!Open(path, kMda5BlockSize, omReadDenyWrite)) return false;
  if (!ReadRecords(0, 1, &old)) {
    Close();
    return false;
  }
  Header = TMdaHeader{};
  Header.Country = old.Country;
  Header.Req_Release = old.Req_Release;
  if (old.Version == kMdaVersion) ErrorState = esFormat;  // a current file cut short
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
  return out.Flush() && target.WriteHeader(true) && target.Close();
}

bool TMdaFile5::ReplaceWithConverted(TMdaFile& converted, bool writeWanted) {
  const std::string path = FileName;
  const std::string backup = ChangeFileExt(path, ".dos");
  const TProjectRefs& refs = *refs_;
  // An older backup of that name is replaced by this one.
  if (!RenameFileOver(path, backup)) {
    ErrorState = esBackup;
    converted.Discard();
    return false;
  }
  if (!RenameFileOver(converted.FileName, path)) {
    // The old records live on in the backup and the converted ones in the kept copy.
    KeptFileName = converted.FileName;
    ErrorState = esReplace;
    return false;
  }
  const bool synced = SyncFolder(ExtractFileDir(path));
  if (!OpenProject(path, writeWanted, refs)) return false;
  if (!synced) {
    ErrorState = esWrite;
    return false;
  }
  return true;
}

std::string TMdaFile5::ErrorText() const {
  if (ErrorState == esBackup) return "Can't save backup copy of file with .dos extension.";
  return TMdaFile::ErrorText();
}
