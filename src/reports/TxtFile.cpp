#include "reports/TxtFile.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"

namespace {

std::function<TReportTime()>& Clock() {
  static std::function<TReportTime()> clock;
  return clock;
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

TTextOutFile::~TTextOutFile() = default;  // an unfinished file is thrown away

void TTextOutFile::Fail(int status) {
  if (Status == wsOk) Status = status;
}

bool TTextOutFile::Open(const std::string& fileName) {
  used_ = 0;
  FileName = ExpandFileName(fileName);
  FileCheck = FileStatus(FileName);
  Status = wsOk;
  out_ = std::make_unique<TSafeWrite>();
  const TWriteResult begun = out_->Begin(FileName, TTargetUse::Replace, "rpt");
  if (begun.Ok()) return true;
  createText_ = begun.Text;
  out_.reset();
  Status = wsCreate;
  return false;
}

bool TTextOutFile::Flush() {
  const size_t n = used_;
  used_ = 0;
  return n == 0 || out_->Write(std::string_view(Buffer.get(), n));
}

void TTextOutFile::Write(std::string_view text) {
  if (Status != wsOk || !IsOpen()) return;
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
  if (!IsOpen()) return;
  if (Status != wsOk || !Flush() || IoFaultInjected(TIoOp::Close, FileName)) {
    out_.reset();
    return Fail(wsClose);
  }
  const TWriteResult placed = out_->Commit();
  out_.reset();
  if (placed.Ok()) return;
  if (placed.Code != TWriteCode::Write) createText_ = placed.Text;
  Fail(placed.Code == TWriteCode::Write ? wsClose : wsCreate);
}

void TTextOutFile::Abandon() { out_.reset(); }

std::string TTextOutFile::GetErrorMessage() const {
  switch (Status) {
    case wsOk: return {};
    case wsCreate: return createText_.empty() ? "Can't create file." : createText_;
    default: return "Can't write to file.";
  }
}

std::string TTextOutFile::GetErrorText() const { return FileName + "\r\n" + GetErrorMessage(); }
