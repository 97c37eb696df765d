// Base of every fixed-block binary file: blocks addressed by number, input/output failures kept
// as a numeric error state with its message, never thrown.
#pragma once

#include <cstdint>
#include <string>

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
};

class TRecFile {
 public:
  TRecFile() = default;
  virtual ~TRecFile();
  TRecFile(const TRecFile&) = delete;
  TRecFile& operator=(const TRecFile&) = delete;

  // Create and Open hold the file locked for their mode until it is closed; a file another program
  // holds is waited for up to LockWaitMs, then refused with PathStatus 32 ("File is in use.").
  bool Create(const std::string& path, int32_t blockSize);
  bool Open(const std::string& path, int32_t blockSize, int32_t mode);
  bool IsReadOnly() const { return (OpenMode & 3) == 0; }
  bool IsOpen() const { return fd_ >= 0; }
  bool Close();
  // Closes keeping the error state, then deletes the file (a half-written new file).
  void Discard();
  bool ReadRecords(int64_t first, int64_t count, void* buffer);
  bool WriteRecords(int64_t first, int64_t count, bool flush, const void* buffer);
  // Commits written data to disk. The file stays open and locked, so no other program can slip in.
  bool Reopen();
  // After `other` was renamed over this file's name: closes the replaced file and goes on with
  // other's open file and lock, so that the name is never without its lock.
  void TakeOver(TRecFile& other);
  // Size of the open file in bytes; -1 when unknown.
  int64_t FileSize() const;

  virtual std::string ErrorText() const;
  std::string FullErrorText() const { return FileName + "\r\n" + ErrorText(); }

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
  int OpenDescriptor(bool create);
  bool CloseDescriptor();

 private:
  int fd_ = -1;
};
