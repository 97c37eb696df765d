// The root of the report output writers: a plain text file written through a 2048-byte buffer.
// A writer never fails loudly: the first failure is kept in `Status`, later output is skipped,
// and the caller asks for the message at the end.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "filebase/SafeWrite.h"

// Writer statuses; a status only moves away from wsOk, so the first failure is the one reported.
enum : int {
  wsOk = 0,
  wsCreate = 1,  // the file could not be opened
  wsWrite = 2,   // a write failed
  wsClose = 3,   // closing failed
};

// The local date and time written into report files (document properties, "prepared at" lines).
struct TReportTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  int weekday = 0;  // 0 = Sunday
};
TReportTime ReportNow();
// Replaces the clock (tests pin the time so that whole files can be compared); empty restores it.
void SetReportClock(std::function<TReportTime()> clock);

class TTextOutFile {
 public:
  static constexpr size_t kBufferSize = 2048;

  TTextOutFile();
  virtual ~TTextOutFile();
  TTextOutFile(const TTextOutFile&) = delete;
  TTextOutFile& operator=(const TTextOutFile&) = delete;

  // Starts the file: it is written under a temporary name beside it and replaces a file of the
  // name only when Close succeeds. False (status 1) for a refused name or a file that cannot be
  // created.
  bool Open(const std::string& fileName);
  // Writes the bytes unchanged.
  void Write(std::string_view text);
  // Ends the line with CR LF.
  virtual void NewLine();
  // A form feed.
  virtual void NewPage();
  virtual void Close();
  // The message of the current status; empty for status 0.
  virtual std::string GetErrorMessage() const;
  // Throws the unfinished file away (the report failed); a file of its name stays as it was.
  void Abandon();
  // The file name, CR LF, then the message.
  std::string GetErrorText() const;
  bool IsOpen() const { return out_ && out_->Active(); }

  std::string FileName;  // absolute path given to Open
  int Status = wsOk;
  int FileCheck = 0;  // FileStatus of FileName at Open

 private:
  bool Flush();
  void Fail(int status);

  std::unique_ptr<char[]> Buffer;
  size_t used_ = 0;
  std::unique_ptr<TSafeWrite> out_;
  std::string createText_;  // why the file could not be started
};
