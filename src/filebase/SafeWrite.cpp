#include "filebase/SafeWrite.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <limits.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "filebase/FileUse.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"

namespace {

// The first three letters of every temporary file the programs write beside a target.
constexpr std::array<const char*, 13> kTempPrefixes = {"tsj", "dbf", "tsq", "jso", "mcc", "qri", "cpg",
                                                      "rpt", "pdf", "tsw", "xls", "csv", "pln"};

// The temporary files of a target, named by the kind of file it is.
std::string PrefixFor(const std::string& path) {
  static const std::array<std::pair<const char*, const char*>, 9> kByExtension = {{{".tsj", "tsj"},
                                                                                   {".tsd", "tsj"},
                                                                                   {".dbf", "dbf"},
                                                                                   {".cpg", "cpg"},
                                                                                   {".mcc", "mcc"},
                                                                                   {".sqlite", "tsq"},
                                                                                   {".json", "jso"},
                                                                                   {".qri", "qri"},
                                                                                   {".pdf", "pdf"}}};
  const std::string ext = ExtractFileExt(path);
  for (const auto& [extension, prefix] : kByExtension)
    if (strcasecmp(ext.c_str(), extension) == 0) return prefix;
  return "tsw";
}

const char* const kCantCreate = "Can't create file.";
const char* const kCantWrite = "Can't write to file.";
const char* const kIsInput = "Can't write over a file that is in use as an input. Choose another name for the output.";
const char* const kTwoOutputs = "Can't write two outputs into one file. Choose another name for one of them.";

// prefix + 5 hexadecimal digits (upper case) + ".tmp", the form MakeTempName gives in a folder.
bool IsTempFileName(const std::string& name) {
  if (name.size() != 12 || name.compare(8, 4, ".tmp") != 0) return false;
  if (name.find_first_not_of("0123456789ABCDEF", 3) != 8) return false;
  for (const char* prefix : kTempPrefixes)
    if (name.compare(0, 3, prefix) == 0) return true;
  return false;
}

// Deletes a temporary file unless a writer holds it locked (every writer locks its temporary
// file from the moment it has a name until it is put in place or deleted).
void RemoveIfUnlocked(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  struct stat held {};
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && held.st_dev == st.st_dev &&
      held.st_ino == st.st_ino)
    ::unlink(path.c_str());
  ::close(fd);
}

// Follows symbolic links to the name a file finally has, with its folder made real. False for a
// loop of links or a folder that does not exist.
bool ResolveLinks(const std::string& path, std::string& resolved, bool& loop) {
  std::string p = ExpandFileName(path);
  loop = true;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      loop = false;
      break;
    }
    char link[PATH_MAX];
    const ssize_t n = ::readlink(p.c_str(), link, sizeof link);
    if (n <= 0 || n >= static_cast<ssize_t>(sizeof link)) return false;
    const std::string to(link, static_cast<size_t>(n));
    p = ExpandFileName(to[0] == '/' ? to : AddSlash(ExtractFileDir(p)) + to);
  }
  if (loop) return false;
  char folder[PATH_MAX];
  if (::realpath(ExtractFileDir(p).c_str(), folder) == nullptr) return false;
  resolved = AddSlash(folder) + ExtractFileName(p);
  return true;
}

bool InGroup(gid_t gid) {
  if (::getegid() == gid) return true;
  std::vector<gid_t> groups(static_cast<size_t>(std::max(0, ::getgroups(0, nullptr))));
  const int n = ::getgroups(static_cast<int>(groups.size()), groups.data());
  for (int i = 0; i < n; ++i)
    if (groups[static_cast<size_t>(i)] == gid) return true;
  return false;
}

bool MayWrite(const std::string& path, const struct stat& st) {
  if (::geteuid() == 0) return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// A new unnamed file in `folder`, locked, then given a temporary name: it is never seen unlocked,
// so a clean-up of leftovers cannot take it. Falls back to a named file where the file system
// has no unnamed files.
int CreateLockedTemp(const std::string& folder, const std::string& prefix, std::string& name) {
  int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd >= 0) {
    ::flock(fd, LOCK_EX);
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
      name = MakeTempName(folder, prefix);
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return fd;
      if (errno != EEXIST) break;
    }
    ::close(fd);
  } else if (errno == EACCES || errno == EPERM || errno == EROFS) {
    return -1;
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = MakeTempName(folder, prefix);
    fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::flock(fd, LOCK_EX);
      return fd;
    }
    if (errno != EEXIST) break;
  }
  return -1;
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

}  // namespace

TSafeWrite::~TSafeWrite() {
  Abandon();
  if (fd_ >= 0) ::close(fd_);
  UnlockTarget();
  OutputDone(outputId_);
}

// The lock every program of ours takes on a file it holds; held until the new file has the name,
// so that a program waiting for the old file finds it replaced and opens the new one.
bool TSafeWrite::LockTarget() {
  UnlockTarget();
  targetLock_ = ::open(target_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (targetLock_ < 0) return true;  // a file we may not read is held by none of ours
  if (!IoFaultInjected(TIoOp::Lock, target_) && ::flock(targetLock_, LOCK_EX | LOCK_NB) == 0) return true;
  UnlockTarget();
  return false;
}

void TSafeWrite::UnlockTarget() {
  if (targetLock_ >= 0) ::close(targetLock_);
  targetLock_ = -1;
}

TWriteResult TSafeWrite::Refuse(TWriteCode code, const std::string& text) {
  TWriteResult r;
  r.Code = code;
  r.File = file_;
  r.Text = text;
  return r;
}

TWriteResult TSafeWrite::CheckExisting(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return Refuse(TWriteCode::NotRegular, "Can't create file. A folder has that name.");
  if (!S_ISREG(st.st_mode))
    return Refuse(TWriteCode::NotRegular, std::string(kCantCreate) + " " + FileStatusText(fsDevice));
  if (use_ == TTargetUse::CreateNew) return Refuse(TWriteCode::Exists, "File already exists.");
  if (use_ != TTargetUse::ReplaceOwn) {
    const TFileClash clash = FindFileClash(target_, true, st.st_dev, st.st_ino);
    if (clash == TFileClash::Input)
      return Refuse(TWriteCode::IsInput, kIsInput);
    if (clash == TFileClash::Output)
      return Refuse(TWriteCode::TwoOutputs, kTwoOutputs);
  }
  if (!MayWrite(target_, st)) return Refuse(TWriteCode::ReadOnly, "Can't overwrite file.");
  if (use_ != TTargetUse::ReplaceOwn && !LockTarget())
    return Refuse(TWriteCode::InUse, std::string(kCantCreate) + " " + FileStatusText(fsInUse));
  if (st.st_nlink > 1)
    return Refuse(TWriteCode::HardLinked,
                  "Can't replace file: it has other names (hard links), which would go on showing the old data. "
                  "Save under another name.");
  // A replacement belongs to whoever writes it. Another user's file is replaced only where its
  // owner keeps every right through the file's group; root keeps owner and group as they were.
  const mode_t ownerBits = (st.st_mode >> 6) & 7, groupBits = (st.st_mode >> 3) & 7;
  const bool root = ::geteuid() == 0;
  const bool ownerKept =
      root || st.st_uid == ::geteuid() || (InGroup(st.st_gid) && (groupBits & ownerBits) == ownerBits);
  const bool groupKept = root || InGroup(st.st_gid) || groupBits == 0;
  if (!ownerKept || !groupKept)
    return Refuse(TWriteCode::OtherOwner,
                  "Can't replace file: it belongs to another user or group, who could no longer use it. Ask its "
                  "owner to make the change, or save under another name.");
  existed_ = true;
  mode_ = st.st_mode & 0777;
  uid_ = st.st_uid;
  gid_ = st.st_gid;
  return {};
}

TWriteResult TSafeWrite::Begin(const std::string& target, TTargetUse use, const std::string& prefix) {
  Abandon();
  if (fd_ >= 0) ::close(fd_);  // the file of an earlier, committed write
  fd_ = -1;
  OutputDone(outputId_);
  outputId_ = 0;
  use_ = use;
  file_ = ExpandFileName(target);
  existed_ = failed_ = committed_ = false;
  const int status = file_.empty() ? fsInvalidName : FileStatus(file_);
  if (status == fsDevice || status == fsInvalidName)
    return Refuse(TWriteCode::BadName, std::string(kCantCreate) + " " + FileStatusText(status));
  bool loop = false;
  if (!ResolveLinks(file_, target_, loop)) {
    if (loop) return Refuse(TWriteCode::BadName, std::string(kCantCreate) + " " + FileStatusText(fsInvalidName));
    return Refuse(TWriteCode::NoFolder, "Can't create file. The folder " + ExtractFileDir(file_) + " does not exist.");
  }
  struct stat st {};
  if (::lstat(target_.c_str(), &st) == 0) {
    TWriteResult checked = CheckExisting(st);
    if (!checked.Ok()) return checked;
  } else if (use_ != TTargetUse::ReplaceOwn && FindFileClash(target_, false, 0, 0) == TFileClash::Output) {
    return Refuse(TWriteCode::TwoOutputs, kTwoOutputs);
  }
  return MakeTemp(prefix.empty() ? PrefixFor(target_) : prefix);
}

TWriteResult TSafeWrite::MakeTemp(const std::string& prefix) {
  const std::string folder = ExtractFileDir(target_);
  RemoveLeftoverTemps(folder);
  fd_ = CreateLockedTemp(folder, prefix, temp_);
  if (fd_ < 0) {
    temp_.clear();
    if (errno == EACCES || errno == EPERM || errno == EROFS)
      return Refuse(TWriteCode::NoFolder, "Can't create file. The folder " + folder + " can't be written to.");
    return Refuse(TWriteCode::Create, kCantCreate);
  }
  slot_ = RememberTempFile(temp_);
  if (IoFaultInjected(TIoOp::Open, temp_)) {
    Abandon();
    return Refuse(TWriteCode::Create, kCantCreate);
  }
  outputId_ = NoteOutput(target_);
  if (existed_ && !KeepOwnerAndMode()) {
    Abandon();
    return Refuse(TWriteCode::OtherOwner, "Can't create file. The replaced file's permissions can't be kept.");
  }
  return {};
}

bool TSafeWrite::KeepOwnerAndMode() {
  // Set while the file is empty, so that nothing is ever readable more widely than before.
  if (::fchmod(fd_, mode_) != 0) return false;
  if (uid_ == ::geteuid() && gid_ == ::getegid()) return true;
  if (::fchown(fd_, uid_, gid_) == 0) return true;
  // Not root: the group at least (the checks made sure the owner keeps its rights through it).
  return ::fchown(fd_, static_cast<uid_t>(-1), gid_) == 0 || (((mode_ >> 3) & 7) == 0);
}

bool TSafeWrite::Write(std::string_view bytes) {
  if (!Active() || failed_) return false;
  if (IoFaultInjected(TIoOp::Write, temp_)) {
    WriteAll(fd_, bytes.data(), bytes.size() / 2);  // a disk that fills up half-way
    failed_ = true;
    return false;
  }
  failed_ = !WriteAll(fd_, bytes.data(), bytes.size());
  return !failed_;
}

bool TSafeWrite::Place() {
  if (IoFaultInjected(TIoOp::Rename, file_)) return false;
  if (use_ != TTargetUse::CreateNew && existed_) return std::rename(temp_.c_str(), target_.c_str()) == 0;
  // A file that appeared meanwhile is never replaced.
  if (::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (::link(temp_.c_str(), target_.c_str()) != 0) return false;
  ::unlink(temp_.c_str());
  return true;
}

TWriteResult TSafeWrite::Commit() {
  if (!Active()) return Refuse(TWriteCode::Write, kCantWrite);
  if (failed_ || IoFaultInjected(TIoOp::Sync, temp_) || ::fsync(fd_) != 0) {
    Abandon();
    return Refuse(TWriteCode::Write, kCantWrite);
  }
  // An input the command opened after the output was begun.
  struct stat now {};
  const bool exists = ::stat(target_.c_str(), &now) == 0;
  if (use_ != TTargetUse::ReplaceOwn &&
      FindFileClash(target_, exists, now.st_dev, now.st_ino, outputId_) == TFileClash::Input) {
    Abandon();
    return Refuse(TWriteCode::IsInput, kIsInput);
  }
  if (!Place()) {
    const bool taken = errno == EEXIST;
    Abandon();
    return taken ? Refuse(TWriteCode::Exists, "File already exists.") : Refuse(TWriteCode::Write, kCantWrite);
  }
  committed_ = true;
  UnlockTarget();
  SyncFolder(ExtractFileDir(target_));  // the new name is visible to all; committing it is best effort
  ForgetTempFile(slot_);
  slot_ = -1;
  temp_.clear();
  if (::fstat(fd_, &now) == 0) OutputPlaced(outputId_, now.st_dev, now.st_ino);
  return {};
}

void TSafeWrite::Abandon() {
  if (committed_) return;
  UnlockTarget();
  if (fd_ < 0) return;
  // Only the file this writer made: the name may have been taken away and given to another file.
  struct stat named {}, own {};
  if (!temp_.empty() && ::lstat(temp_.c_str(), &named) == 0 && ::fstat(fd_, &own) == 0 &&
      named.st_dev == own.st_dev && named.st_ino == own.st_ino)
    ::unlink(temp_.c_str());
  ::close(fd_);
  fd_ = -1;
  ForgetTempFile(slot_);
  slot_ = -1;
  temp_.clear();
  OutputDone(outputId_);
  outputId_ = 0;
}

int TSafeWrite::ReleaseDescriptor() {
  if (!committed_) return -1;
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

TWriteResult CheckOutputTarget(const std::string& target, TTargetUse use) {
  TSafeWrite probe;
  TWriteResult r = probe.Begin(target, use, "");
  probe.Abandon();
  return r;
}

TWriteResult WriteFileSafely(const std::string& target, std::string_view bytes, TTargetUse use,
                            const std::string& prefix) {
  TSafeWrite out;
  TWriteResult r = out.Begin(target, use, prefix);
  if (!r.Ok()) return r;
  out.Write(bytes);
  return out.Commit();
}

TWriteResult CopyFileSafely(const std::string& source, const std::string& target, TTargetUse use) {
  TInputHold hold(source);
  TSafeWrite out;
  TWriteResult r = out.Begin(target, use, "");
  if (!r.Ok()) return r;
  const int in = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat st {};
  if (in < 0 || ::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (in >= 0) ::close(in);
    r.Code = TWriteCode::Write;
    r.File = ExpandFileName(source);
    r.Text = "Can't read file.";
    return r;
  }
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) out.MarkFailed();
    if (got <= 0 || !out.Write(std::string_view(buffer.data(), static_cast<size_t>(got)))) break;
  }
  ::close(in);
  return out.Commit();
}

void RemoveLeftoverTemps(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (IsTempFileName(name)) RemoveIfUnlocked(AddSlash(folder) + name);
  }
  ::closedir(dir);
}
