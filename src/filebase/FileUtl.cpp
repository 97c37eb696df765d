#include "filebase/FileUtl.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>

#include "common/TextUtil.h"

namespace fs = std::filesystem;

namespace {

bool IsReservedDeviceName(const std::string& baseName) {
  static const std::array<const char*, 11> kNames = {"CON",  "AUX",  "COM1", "COM2", "COM3", "COM4",
                                                     "LPT1", "LPT2", "LPT3", "PRN",  "NUL"};
  const std::string upper = UpperCase(baseName);
  for (const char* name : kNames)
    if (upper == name) return true;
  return false;
}

bool IsUnderDev(const std::string& path) {
  const std::string full = ExpandFileName(path);
  return full == "/dev" || full.rfind("/dev/", 0) == 0;
}

// prefix + 5 hexadecimal digits (upper case) + ".tmp", the form MakeTempName gives in a folder.
bool IsTempFileName(const std::string& name, const std::string& prefix) {
  const std::string pre = prefix.substr(0, 3);
  if (name.size() != pre.size() + 9 || name.compare(0, pre.size(), pre) != 0) return false;
  if (name.compare(pre.size() + 5, 4, ".tmp") != 0) return false;
  return name.find_first_not_of("0123456789ABCDEF", pre.size()) == pre.size() + 5;
}

// Deletes a temporary file written before `writtenBefore` unless a program holds it locked (every
// writer of such a file keeps it locked until it is renamed into place or deleted).
void RemoveIfLeftover(const std::string& path, std::time_t writtenBefore) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_mtime > writtenBefore) return;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  struct stat held {};
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && held.st_dev == st.st_dev &&
      held.st_ino == st.st_ino)
    ::unlink(path.c_str());
  ::close(fd);
}

}  // namespace

std::string ExpandFileName(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(path), ec);
  if (ec) return path;
  std::string out = p.lexically_normal().string();
  if (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

int FileStatus(const std::string& path) {
  if (IsReservedDeviceName(ExtractBaseName(path)) || IsUnderDev(path)) return fsDevice;
  if (path.find_first_of("*?") != std::string::npos) return fsInvalidName;
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return fsMissing;
  return S_ISREG(st.st_mode) ? fsExists : fsDevice;
}

std::string FileStatusText(int code, const std::string& path) {
  std::string msg;
  switch (code) {
    case fsExists: msg = "File is read-write."; break;
    case fsMissing: msg = "File does not exist."; break;
    case fsInvalidName: msg = "File's drive, folder, or name is invalid."; break;
    case fsAccessDenied: msg = "File is read-only or in use."; break;
    case fsNotReady: msg = "Drive is not ready for access."; break;
    case fsInUse: msg = "File is in use."; break;
    case fsDevice: msg = "File is a device."; break;
    case fsBadExtension: msg = "File does not have a valid extension."; break;
    default: msg = "Attempting to access file resulted in unexpected error " + std::to_string(code) + "."; break;
  }
  return path.empty() ? msg : path + "\r\n" + msg;
}

std::string BadExtensionText(const std::string& path, const std::string& extension) {
  std::string text = FileStatusText(fsBadExtension, path);
  text.pop_back();  // the final "."
  return text + " (" + extension + ").";
}

std::string MakeTempName(const std::string& folder, const std::string& prefix) {
  const std::string pre = prefix.substr(0, 3);
  if (folder.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = AddSlash(tmp && *tmp ? tmp : "/tmp");
    std::string templ = dir + pre + "XXXXXX";
    int fd = ::mkstemp(templ.data());
    if (fd < 0) return {};
    ::close(fd);
    return templ;
  }
  // Reseeded on every call; a name that happens to exist is drawn again so no file is clobbered.
  std::mt19937 rng(static_cast<unsigned>(std::chrono::high_resolution_clock::now().time_since_epoch().count()) ^
                   std::random_device{}());
  static const char kHex[] = "0123456789ABCDEF";
  std::string name;
  do {
    name = AddSlash(folder) + pre;
    for (int i = 0; i < 5; ++i) name += kHex[rng() % 16];
    name += ".tmp";
  } while (::access(name.c_str(), F_OK) == 0);
  return name;
}

bool CanReplaceFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (!fs::exists(st)) return true;
  const auto writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  return fs::is_regular_file(st) && (st.permissions() & writable) != fs::perms::none;
}

std::string MakeTempFileLike(const std::string& model, const std::string& prefix) {
  const std::string folder = ExtractFileDir(ExpandFileName(model));
  struct stat st {};
  const bool hasModel = ::stat(model.c_str(), &st) == 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = MakeTempName(folder, prefix);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;  // another program drew the same name just now
      return {};
    }
    // The file is still empty when its permissions are set, so nothing is ever readable too widely.
    const bool ok = !hasModel || ::fchmod(fd, st.st_mode & 0777) == 0;
    ::close(fd);
    if (ok) return name;
    ::unlink(name.c_str());
    return {};
  }
  return {};
}

void RemoveLeftoverTemps(const std::string& folder, const std::string& prefix, int minAgeSeconds) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  const std::time_t writtenBefore = std::time(nullptr) - minAgeSeconds;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (IsTempFileName(name, prefix)) RemoveIfLeftover(AddSlash(folder) + name, writtenBefore);
  }
  ::closedir(dir);
}

bool CopyFileTo(const std::string& source, const std::string& destination) {
  std::error_code ec;
  fs::copy_file(source, destination, fs::copy_options::overwrite_existing, ec);
  return !ec;
}

std::string ExtractFileName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFileDir(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ExtractFileExt(const std::string& path) {
  const std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ExtractBaseName(const std::string& path) {
  const std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
  const std::string ext = ExtractFileExt(path);
  return path.substr(0, path.size() - ext.size()) + extension;
}

std::string AddSlash(const std::string& folder) {
  if (folder.empty() || folder.back() == '/') return folder;
  return folder + "/";
}

std::string RemoveSlash(const std::string& folder) {
  if (folder.size() > 1 && folder.back() == '/') return folder.substr(0, folder.size() - 1);
  return folder;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
