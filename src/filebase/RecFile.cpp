#include "filebase/RecFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string_view>
#include <thread>
#include <utility>

#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"

namespace {

// Full transfer or failure; a short read (past the end) is a failure.
bool ReadAll(int fd, char* p, size_t n, off_t pos) {
  while (n > 0) {
    ssize_t got = ::pread(fd, p, n, pos);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    p += got, n -= static_cast<size_t>(got), pos += got;
  }
  return true;
}

bool WriteAll(int fd, const char* p, size_t n, off_t pos) {
  while (n > 0) {
    ssize_t put = ::pwrite(fd, p, n, pos);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    p += put, n -= static_cast<size_t>(put), pos += put;
  }
  return true;
}

enum class TLockResult { Locked, Busy, Replaced, Special, Failed };

// Opens `path` without blocking (a FIFO would wait for a writer forever), refuses anything but a
// regular file and takes the lock. Replaced: a rebuild by another program renamed a new file over
// the name while this one was being opened or waited for, so the lock guards nothing.
TLockResult OpenLocked(const std::string& path, int flags, int lock, int& fd) {
  fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return TLockResult::Failed;
  struct stat opened {}, named {};
  TLockResult result = TLockResult::Locked;
  if (::fstat(fd, &opened) != 0) result = TLockResult::Failed;
  else if (!S_ISREG(opened.st_mode)) result = TLockResult::Special;
  else if (IoFaultInjected(TIoOp::Lock, path)) result = TLockResult::Busy;
  else if (::flock(fd, lock | LOCK_NB) != 0) result = errno == EWOULDBLOCK ? TLockResult::Busy : TLockResult::Failed;
  else if (::stat(path.c_str(), &named) != 0 || named.st_dev != opened.st_dev || named.st_ino != opened.st_ino)
    result = TLockResult::Replaced;
  else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) result = TLockResult::Failed;
  if (result != TLockResult::Locked) {
    ::close(fd);
    fd = -1;
  }
  return result;
}

// A short random pause between attempts on a busy file, so that waiting programs take turns.
void PauseBeforeRetry() {
  static thread_local std::minstd_rand rng(static_cast<unsigned>(::getpid()));
  std::this_thread::sleep_for(std::chrono::milliseconds(2 + rng() % 9));
}

}  // namespace

TRecFile::~TRecFile() { CloseDescriptor(); }

int TRecFile::OpenDescriptor() {
  if (IoFaultInjected(TIoOp::Open, FileName)) return -1;
  const bool readOnly = (OpenMode & 3) == 0;
  // Sharing: an exclusive lock keeps every other reader and writer out, a shared lock only writers.
  const bool exclusive = (OpenMode & 0x70) == 0x10;
  const int flags = readOnly ? O_RDONLY : O_RDWR;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(LockWaitMs);
  int fd = -1;
  for (int replaced = 0; replaced < 1000;) {
    switch (OpenLocked(FileName, flags, exclusive ? LOCK_EX : LOCK_SH, fd)) {
      case TLockResult::Locked: return fd;
      case TLockResult::Replaced: ++replaced; break;
      case TLockResult::Busy:
        if (std::chrono::steady_clock::now() >= deadline) {
          PathStatus = fsInUse;
          return -1;
        }
        PauseBeforeRetry();
        break;
      case TLockResult::Special: PathStatus = fsDevice; return -1;
      case TLockResult::Failed: return -1;
    }
  }
  return -1;
}

bool TRecFile::CloseDescriptor() {
  hold_.Release();
  if (pending_) {  // a begun file that never took its name
    pending_.reset();
    fd_ = -1;
    return true;
  }
  if (fd_ < 0) return true;
  const bool injected = IoFaultInjected(TIoOp::Close, FileName);
  const bool ok = ::close(fd_) == 0;
  fd_ = -1;
  return ok && !injected;
}

void TRecFile::SetTargetError(const TWriteResult& result) {
  targetText_ = result.Text;
  ErrorState = esTarget;
}

bool TRecFile::Begin(const std::string& path, int32_t blockSize, TTargetUse use) {
  CloseDescriptor();
  FileName = ExpandFileName(path);
  PathStatus = FileStatus(FileName);
  RecordSize = blockSize;
  OpenMode = omReadWriteExclusive;
  auto write = std::make_unique<TSafeWrite>();
  const TWriteResult begun = write->Begin(FileName, use, "");
  if (!begun.Ok()) {
    SetTargetError(begun);
    return false;
  }
  pending_ = std::move(write);
  fd_ = pending_->Descriptor();
  ErrorState = esNone;
  return true;
}

bool TRecFile::Commit() {
  if (!pending_) {
    ErrorState = esWrite;
    return false;
  }
  const TWriteResult placed = pending_->Commit();
  if (!placed.Ok()) {
    if (placed.Code == TWriteCode::Write) ErrorState = esWrite;
    else SetTargetError(placed);
    pending_.reset();
    fd_ = -1;
    return false;
  }
  fd_ = pending_->ReleaseDescriptor();
  pending_.reset();
  hold_.HoldDescriptor(fd_);
  PathStatus = fsExists;
  ErrorState = esNone;
  return true;
}

bool TRecFile::Open(const std::string& path, int32_t blockSize, int32_t mode) {
  CloseDescriptor();
  FileName = ExpandFileName(path);
  PathStatus = FileStatus(FileName);
  RecordSize = blockSize;
  OpenMode = mode;
  if (PathStatus != fsExists) {
    ErrorState = esOpen;
    return false;
  }
  fd_ = OpenDescriptor();
  ErrorState = fd_ >= 0 ? esNone : esOpen;
  if (fd_ >= 0) hold_.HoldDescriptor(fd_);
  return fd_ >= 0;
}

bool TRecFile::Close() {
  const bool abandoned = pending_ != nullptr;
  const bool ok = CloseDescriptor() && !abandoned;
  if (!ok && ErrorState == esNone) ErrorState = abandoned ? esWrite : esClose;
  return ok;  // a failed close() is reported even after an earlier error
}

void TRecFile::Discard() { CloseDescriptor(); }

bool TRecFile::StillAtPath() const {
  struct stat named {}, open {};
  return fd_ >= 0 && ::fstat(fd_, &open) == 0 && ::stat(FileName.c_str(), &named) == 0 &&
         named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

bool TRecFile::HeldByOthers() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return false;
  // Lines such as "1: FLOCK  ADVISORY  READ 1234 fe:00:10953029 0 EOF": the holder's process, the
  // device's major and minor number in hexadecimal, the inode.
  std::ifstream locks("/proc/locks");
  for (std::string line; std::getline(locks, line);) {
    char kind[16] = {}, mode[16] = {}, access[16] = {};
    int pid = 0;
    unsigned major = 0, minor = 0;
    unsigned long inode = 0;
    if (std::sscanf(line.c_str(), "%*d: %15s %15s %15s %d %x:%x:%lu", kind, mode, access, &pid, &major, &minor,
                    &inode) == 7 &&
        std::string_view(kind) == "FLOCK" && pid != ::getpid() && inode == st.st_ino &&
        major == ::major(st.st_dev) && minor == ::minor(st.st_dev))
      return true;
  }
  return false;
}

bool TRecFile::ReadRecords(int64_t first, int64_t count, void* buffer) {
  const size_t bytes = static_cast<size_t>(count) * static_cast<size_t>(RecordSize);
  const bool ok = fd_ >= 0 && first >= 0 && count >= 0 && !IoFaultInjected(TIoOp::Read, FileName) &&
                  ReadAll(fd_, static_cast<char*>(buffer), bytes, static_cast<off_t>(first * RecordSize));
  ErrorState = ok ? esNone : esRead;
  return ok;
}

bool TRecFile::WriteRecords(int64_t first, int64_t count, bool flush, const void* buffer) {
  if (fd_ < 0 || first < 0 || count < 0) {
    ErrorState = esWrite;
    return false;
  }
  // An open file that lost its name would take the change where nobody finds it again.
  if (!pending_ && !StillAtPath()) {
    ErrorState = esMoved;
    return false;
  }
  const size_t bytes = static_cast<size_t>(count) * static_cast<size_t>(RecordSize);
  const off_t pos = static_cast<off_t>(first * RecordSize);
  const char* data = static_cast<const char*>(buffer);
  if (IoFaultInjected(TIoOp::Write, pending_ ? pending_->TempPath() : FileName)) {
    WriteAll(fd_, data, bytes / 2, pos);  // a disk that fills up half-way
    ErrorState = esWrite;
    return false;
  }
  if (!WriteAll(fd_, data, bytes, pos)) {
    ErrorState = esWrite;
    return false;
  }
  ErrorState = esNone;
  return flush ? Reopen() : true;
}

bool TRecFile::Reopen() {
  const bool ok = fd_ >= 0 && !IoFaultInjected(TIoOp::Sync, pending_ ? pending_->TempPath() : FileName) &&
                  ::fsync(fd_) == 0;
  // A file being built is thrown away on failure; a file written in place may hold the change.
  ErrorState = ok ? esNone : pending_ || fd_ < 0 ? esWrite : esFlushUnsure;
  return ok;
}

void TRecFile::TakeOver(TRecFile& other) {
  CloseDescriptor();  // the replaced file, no longer reachable by its name
  other.hold_.Release();
  fd_ = std::exchange(other.fd_, -1);
  hold_.HoldDescriptor(fd_);
  RecordSize = other.RecordSize;
  OpenMode = other.OpenMode;
  PathStatus = fsExists;
  ErrorState = esNone;
}

int64_t TRecFile::FileSize() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
  return st.st_size;
}

std::string TRecFile::ErrorText() const {
  std::string msg;
  switch (ErrorState) {
    case esNone: return {};
    case esCreate: msg = "Can't create file."; break;
    case esOpen: msg = "Can't open file."; break;
    case esRead: msg = "Can't read file."; break;
    case esWrite: msg = "Can't write to file."; break;
    case esClose: msg = "Can't write to file."; break;
    case esVersion: return "File is wrong version.";
    case esFormat: return "File is wrong format or damaged.";
    case esCountry: return "Wrong country for file.";
    case esFlushUnsure: return "Can't write to file. The change may or may not have reached the disk.";
    case esMoved:
      return "File was replaced or removed by another program since it was opened. Nothing was written to it.";
    case esTarget: return targetText_;
    default: return {};
  }
  if ((ErrorState == esOpen && PathStatus != fsExists) ||
      (ErrorState == esCreate && PathStatus != fsExists && PathStatus != fsMissing))
    msg += " " + FileStatusText(PathStatus);
  return msg;
}
