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

bool FolderWritable(const std::string& path) {
  const std::string folder = ExtractFileDir(ExpandFileName(path));
  return ::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) == 0;
}
