#include "reports/RptTemp.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "filebase/FileUse.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"

namespace fs = std::filesystem;

namespace {

std::string EnvFolder(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? RemoveSlash(value) : std::string();
}

}  // namespace

std::string ReportTempFolder() {
  const std::string tmp = EnvFolder("TMPDIR");
  return tmp.empty() ? "/tmp" : tmp;
}

std::string ReportCacheFolder() {
  std::string base = EnvFolder("XDG_CACHE_HOME");
  if (base.empty()) {
    const std::string home = EnvFolder("HOME");
    if (home.empty()) return {};
    base = home + "/.cache";
  }
  const std::string folder = base + "/tesserel/reports";
  std::error_code ec;
  fs::create_directories(folder, ec);
  return IsFolder(folder) ? folder : std::string();
}

std::string NewReportFile(const std::string& folder, const std::string& prefix, const std::string& extension) {
  if (folder.empty()) return {};
  std::string name = AddSlash(folder) + prefix.substr(0, 3) + "XXXXXX" + extension;
  const int fd = ::mkstemps(name.data(), static_cast<int>(extension.size()));
  if (fd < 0) return {};
  ::close(fd);
  return name;
}

std::string TempReportPath(const std::string& folder, const std::string& prefix, const std::string& extension) {
  const std::string path = NewReportFile(folder, prefix, extension);
  return path.empty() ? AddSlash(folder) + prefix.substr(0, 3) + extension : path;
}

const std::string& TReportScratch::Make(const std::string& folder, const std::string& prefix,
                                        const std::string& extension) {
  Remove();
  path_ = NewReportFile(folder, prefix, extension);
  made_ = !path_.empty();
  if (made_) slot_ = RememberTempFile(path_);
  else path_ = AddSlash(folder) + prefix.substr(0, 3) + extension;
  return path_;
}

void TReportScratch::Keep() {
  ForgetTempFile(slot_);
  slot_ = -1;
  made_ = false;
}

void TReportScratch::Remove() {
  if (made_) DeleteFileAt(path_);
  Keep();
}

int PurgeReportCache(long maxAgeSeconds) {
  const std::string folder = ReportCacheFolder();
  if (folder.empty()) return 0;
  const std::time_t limit = std::time(nullptr) - maxAgeSeconds;
  int deleted = 0;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    struct stat st {};
    const std::string path = entry.path().string();
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime < limit && DeleteFileAt(path))
      ++deleted;
  }
  return deleted;
}
