#include "reports/TxtFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"

namespace {

std::function<TReportTime()>& Clock() {
  static std::function<TReportTime()> clock;
  return clock;
}

bool WriteAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    const ssize_t done = ::write(fd, p, n);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    p += done;
    n -= static_cast<size_t>(done);
  }
  return true;
}

// Opens for writing without ever blocking (a named pipe without a reader) and only regular files.
int CreateRegularFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

TReportTime ReportNow() {
  if (Clock()) return Clock()();
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
          local.tm_wday};
}

void SetReportClock(std::function<TReportTime()> clock) { Clock() = std::move(clock); }

TTextOutFile::TTextOutFile() : Buffer(new char[kBufferSize]) {}

TTextOutFile::~TTextOutFile() {
  if (fd_ < 0) return;
  if (Status == wsOk) Flush();
  ::close(fd_);
}

void TTextOutFile::Fail(int status) {
  if (Status == wsOk) Status = status;
}

bool TTextOutFile::Open(const std::string& fileName) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  used_ = 0;
  FileName = ExpandFileName(fileName);
  FileCheck = FileStatus(FileName);
  Status = wsOk;
  if (FileCheck != fsExists && FileCheck != fsMissing) {
    Status = wsCreate;
    return false;
  }
  if (!IoFaultInjected(TIoOp::Open, FileName)) fd_ = CreateRegularFile(FileName);
  if (fd_ < 0) Status = wsCreate;
  return Status == wsOk;
}

bool TTextOutFile::Flush() {
  const size_t n = used_;
  used_ = 0;
  if (n == 0) return true;
  if (IoFaultInjected(TIoOp::Write, FileName)) {
    WriteAll(fd_, Buffer.get(), n / 2);  // a disk that fills up half-way
    return false;
  }
  return WriteAll(fd_, Buffer.get(), n);
}

void TTextOutFile::Write(std::string_view text) {
  if (Status != wsOk || fd_ < 0) return;
  while (!text.empty()) {
    const size_t n = std::min(text.size(), kBufferSize - used_);
    std::memcpy(Buffer.get() + used_, text.data(), n);
    used_ += n;
    text.remove_prefix(n);
    if (used_ == kBufferSize && !Flush()) {
      Fail(wsWrite);
      return;
    }
  }
}

void TTextOutFile::NewLine() { Write("\r\n"); }

void TTextOutFile::NewPage() { Write("\f"); }

void TTextOutFile::Close() {
  if (Status == wsCreate || fd_ < 0) return;
  bool ok = Status != wsOk || Flush();
  ok = !IoFaultInjected(TIoOp::Close, FileName) && ok;
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  if (!ok) Fail(wsClose);
}

void TTextOutFile::Abandon() {
  if (Status == wsCreate) return;
  Close();
  DeleteFileAt(FileName);
}

std::string TTextOutFile::GetErrorMessage() const {
  switch (Status) {
    case wsOk: return {};
    case wsCreate:
      if (FileCheck != fsExists && FileCheck != fsMissing) return "Can't create file. " + FileStatusText(FileCheck);
      return "Can't create file.";
    default: return "Can't write to file.";
  }
}

std::string TTextOutFile::GetErrorText() const { return FileName + "\r\n" + GetErrorMessage(); }
