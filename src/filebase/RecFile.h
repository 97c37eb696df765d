// Base of every fixed-block binary file: blocks addressed by number, input/output failures kept
// as a numeric error state with its message, never thrown.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "filebase/FileUse.h"
#include "filebase/SafeWrite.h"

// Open modes: access in the low 2 bits, sharing in bits 4-6.
enum : int32_t {
  omReadExclusive = 16,       // read only; others may neither read nor write (exclusive lock)
  omReadWriteExclusive = 18,  // read/write; others may neither read nor write (exclusive lock)
  omReadDenyWrite = 32,       // read only; others may read (shared lock)
};

// Error states of the base; derived classes use 6 to 8 and their own codes from 10 up.
enum : int32_t {
  esNone = 0,
  esCreate = 1,
  esOpen = 2,
  esRead = 3,
  esWrite = 4,
  esClose = 5,
  esVersion = 6,
  esFormat = 7,
  esCountry = 8,
  // Past the derived classes' codes:
  esFlushUnsure = 90,  // data written in place, but the system could not confirm it reached the disk
  esMoved = 91,        // another program replaced or removed the open file; nothing was written to it
  esTarget = 92,       // a new file was refused or could not take its name (the reason is in ErrorText)
};

class TRecFile {
 public:
  TRecFile() = default;
  virtual ~TRecFile();
  TRecFile(const TRecFile&) = delete;
  TRecFile& operator=(const TRecFile&) = delete;

  // Begins a new file for `path`: it is written under a temporary name beside the file the path
  // names and takes that name only in Commit, so that a failure or a kill never touches a file of
  // that name (see TSafeWrite for the checks). Held exclusively until it is closed.
  bool Begin(const std::string& path, int32_t blockSize, TTargetUse use = TTargetUse::Replace);
  // Puts a begun file in its place; it stays open and locked under its name.
  bool Commit();
  bool IsPending() const { return pending_ != nullptr; }
  // Open holds the file locked for its mode until it is closed; a file another program holds is
  // waited for up to LockWaitMs, then refused with PathStatus 32 ("File is in use.").
  bool Open(const std::string& path, int32_t blockSize, int32_t mode);
  bool IsReadOnly() const { return (OpenMode & 3) == 0; }
  bool IsOpen() const { return fd_ >= 0; }
  // Closes the file; a begun file that was never committed is thrown away (and Close fails).
  bool Close();
  // Closes keeping the error state; a begun, uncommitted file is deleted. A file that has its
  // name is never deleted.
  void Discard();
  // Whether the open file is still the file its name names (another program may have renamed a
  // file over it or removed it).
  bool StillAtPath() const;
  // Whether another program holds a lock on the open file (from the system's list of locks).
  bool HeldByOthers() const;
  bool ReadRecords(int64_t first, int64_t count, void* buffer);
  bool WriteRecords(int64_t first, int64_t count, bool flush, const void* buffer);
  // Commits written data to disk. The file stays open and locked, so no other program can slip in.
  bool Reopen();
  // After `other` was committed over this file's name: closes the replaced file and goes on with
  // other's open file and lock, so that the name is never without its lock.
  void TakeOver(TRecFile& other);
  // Size of the open file in bytes; -1 when unknown.
  int64_t FileSize() const;

  virtual std::string ErrorText() const;
  std::string FullErrorText() const { return FileName + "\r\n" + ErrorText(); }
  // Sets esTarget with the message of a refused or failed new file.
  void SetTargetError(const TWriteResult& result);

  std::string FileName;
  int32_t RecordSize = 0;
  int32_t OpenMode = 0;
  int32_t ErrorState = 0;
  int32_t PathStatus = 0;
  // How long Create and Open wait for a file another program holds, in milliseconds.
  int32_t LockWaitMs = 0;

 protected:
  // Opens FileName (creating it when asked) and takes the lock of OpenMode on the file that the
  // name still names; the descriptor or -1, with PathStatus telling a busy or special file.
  int OpenDescriptor();
  bool CloseDescriptor();

 private:
  int fd_ = -1;
  std::unique_ptr<TSafeWrite> pending_;  // a begun file before Commit
  TInputHold hold_;                      // the open file, as a file the running command uses
  std::string targetText_;               // the message of esTarget
};
