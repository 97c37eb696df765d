// Where report files that are shown and then deleted live.
#pragma once

#include <string>

// The user's temporary folder: $TMPDIR, else /tmp.
std::string ReportTempFolder();
// The folder of reports handed to another application, which reads them after we return:
// $XDG_CACHE_HOME/tesserel/reports, else ~/.cache/tesserel/reports; created when missing.
// Empty when there is no such folder and it cannot be created.
std::string ReportCacheFolder();
// A new, empty file in `folder` (created, so that no other program takes the name) named by the
// first three characters of `prefix`, six random characters and `extension`; empty on failure.
std::string NewReportFile(const std::string& folder, const std::string& prefix, const std::string& extension);
// NewReportFile, or when no file can be made there, the name the writer then fails to create (so
// that its message names the folder).
std::string TempReportPath(const std::string& folder, const std::string& prefix, const std::string& extension);

// A report file made by TempReportPath that is deleted with this object, and also when the
// program is interrupted, unless it is kept for an application that reads it later.
class TReportScratch {
 public:
  TReportScratch() = default;
  ~TReportScratch() { Remove(); }
  TReportScratch(const TReportScratch&) = delete;
  TReportScratch& operator=(const TReportScratch&) = delete;
  const std::string& Make(const std::string& folder, const std::string& prefix, const std::string& extension);
  const std::string& Path() const { return path_; }
  void Keep();
  void Remove();

 private:
  std::string path_;
  bool made_ = false;
  int slot_ = -1;
};
// Deletes the files of the report cache folder last changed more than `maxAgeSeconds` ago;
// returns how many were deleted. The desktop program runs it at start-up.
int PurgeReportCache(long maxAgeSeconds = 24 * 60 * 60);
