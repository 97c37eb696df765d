// Every file the programs create or replace is written through TSafeWrite. The content is built
// under a temporary name in the folder of the file it is for, locked while its writer lives, and
// takes that file's place only when it is complete. Whatever fails, no file the writer did not
// create is changed or deleted.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

// What a new file may do to a file of its name.
enum class TTargetUse {
  Replace,     // replaces the file of the name, or creates it
  CreateNew,   // only a new file: an existing one, also one that appears meanwhile, is refused
  ReplaceOwn,  // replaces a file its own writer holds open (a rebuild, a save over the open file)
};

enum class TWriteCode {
  Ok = 0,
  BadName,     // empty, a wildcard, a reserved device name, a loop of links
  NotRegular,  // a folder, device, FIFO or socket
  IsInput,     // the file is one the command reads or holds open
  TwoOutputs,  // another output of the command names the same file
  ReadOnly,    // an existing file that may not be written
  InUse,       // an existing file another program holds open
  HardLinked,  // an existing file with other names, which would go on naming the old data
  OtherOwner,  // an existing file whose owner or group a replacement could not keep
  Exists,      // a new file was asked for and the name is taken
  NoFolder,    // the folder is missing or cannot be written
  Create,      // the temporary file could not be made
  Write,       // writing, flushing or putting the file in place failed
};

struct [[nodiscard]] TWriteResult {
  TWriteCode Code = TWriteCode::Ok;
  std::string File;  // the file as named by the caller, expanded
  std::string Text;  // the message
  bool Ok() const { return Code == TWriteCode::Ok; }
  // The file, CR LF, the message.
  std::string FullText() const { return File + "\r\n" + Text; }
};

class TSafeWrite {
 public:
  TSafeWrite() = default;
  ~TSafeWrite();
  TSafeWrite(const TSafeWrite&) = delete;
  TSafeWrite& operator=(const TSafeWrite&) = delete;

  // Checks `target` (symbolic links are followed to the file they name) and makes the locked,
  // empty temporary file beside it, named by the first three characters of `prefix` (empty: by the
  // kind of file the target is); the replaced file's mode, owner and group are given to it before
  // anything is written.
  TWriteResult Begin(const std::string& target, TTargetUse use, const std::string& prefix);
  bool Active() const { return fd_ >= 0 && !committed_; }
  // The temporary file (the file itself after Commit), open for reading and writing.
  int Descriptor() const { return fd_; }
  const std::string& TempPath() const { return temp_; }
  // The file the content is for, links followed.
  const std::string& Target() const { return target_; }
  // Appends bytes to the temporary file; the first failure is kept and reported by Commit.
  bool Write(std::string_view bytes);
  // A failure of the caller's own writes to the descriptor, reported by Commit.
  void MarkFailed() { failed_ = true; }
  // Flushes the content to disk and puts it in the target's place. The descriptor stays open
  // (and locked) on the file now at the target until ReleaseDescriptor or destruction.
  TWriteResult Commit();
  // Removes the temporary file, never anything else.
  void Abandon();
  // After Commit: hands the open, locked descriptor to the caller.
  int ReleaseDescriptor();

 private:
  TWriteResult Refuse(TWriteCode code, const std::string& text);
  TWriteResult CheckExisting(const struct stat& st);
  TWriteResult MakeTemp(const std::string& prefix);
  bool KeepOwnerAndMode();
  bool LockTarget();
  void UnlockTarget();
  bool Place();

  TTargetUse use_ = TTargetUse::Replace;
  std::string file_, target_, temp_;
  int fd_ = -1;
  int targetLock_ = -1;   // the replaced file, locked so that no other program takes it meanwhile
  bool existed_ = false;  // the target existed at Begin
  mode_t mode_ = 0;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
  bool failed_ = false, committed_ = false;
  int slot_ = -1;        // the signal clean-up's record of the temporary file
  long outputId_ = 0;    // the output's record among the command's files
};

// Begin's checks alone, for a command that checks its outputs before it starts working.
TWriteResult CheckOutputTarget(const std::string& target, TTargetUse use);
// Writes a whole file at once.
TWriteResult WriteFileSafely(const std::string& target, std::string_view bytes, TTargetUse use,
                            const std::string& prefix = "");
// Copies `source` to `target`; the source counts as an input of the copy.
TWriteResult CopyFileSafely(const std::string& source, const std::string& target, TTargetUse use);
// Deletes the temporary files in `folder` that no living writer holds: what a killed program
// left behind. Touches no other file.
void RemoveLeftoverTemps(const std::string& folder);
