#include "filebase/IoFault.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {

TIoFaultHook& Hook() {
  static TIoFaultHook hook;
  return hook;
}

}  // namespace

void SetIoFaultHook(TIoFaultHook hook) { Hook() = std::move(hook); }

bool IoFaultInjected(TIoOp op, const std::string& path) {
  const TIoFaultHook& hook = Hook();
  return hook && hook(op, path);
}

bool RenameFileOver(const std::string& from, const std::string& to) {
  if (IoFaultInjected(TIoOp::Rename, to)) return false;
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool DeleteFileAt(const std::string& path) {
  if (IoFaultInjected(TIoOp::Remove, path)) return false;
  return ::unlink(path.c_str()) == 0;
}

bool SyncFolder(const std::string& folder) {
  if (IoFaultInjected(TIoOp::Sync, folder)) return false;
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}
