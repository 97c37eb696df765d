#include "filebase/FileUse.h"

#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

struct TUse {
  long id = 0;
  bool output = false;
  bool live = true;        // still held or being written (false: only remembered by a scope)
  bool known = false;      // dev and ino are valid
  dev_t dev = 0;
  ino_t ino = 0;
  std::string path;        // outputs: the resolved target
};

struct TRegistry {
  std::mutex lock;
  std::vector<TUse> uses;
  long nextId = 1;
  int scopes = 0;
};

TRegistry& Registry() {
  static TRegistry r;
  return r;
}

long Add(TUse use) {
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.lock);
  use.id = r.nextId++;
  r.uses.push_back(std::move(use));
  return r.uses.back().id;
}

void Drop(long id) {
  if (id == 0) return;
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.lock);
  for (auto it = r.uses.begin(); it != r.uses.end(); ++it) {
    if (it->id != id) continue;
    if (r.scopes > 0) it->live = false;
    else r.uses.erase(it);
    return;
  }
}

// Temporary files for the signal handler: fixed storage, since a handler may not allocate.
constexpr int kTempSlots = 64;
char g_tempPaths[kTempSlots][PATH_MAX];
std::atomic<bool> g_tempClaimed[kTempSlots];  // taken by a writer
std::atomic<bool> g_tempUsed[kTempSlots];     // its path is complete: the handler removes it
std::once_flag g_handlersOnce;

extern "C" void RemoveTempsAndDie(int sig) {
  for (int i = 0; i < kTempSlots; ++i)
    if (g_tempUsed[i].load()) ::unlink(g_tempPaths[i]);
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

// Installed only where the program left the default action: a program that handles or ignores a
// signal itself keeps doing so.
void InstallHandlers() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction old {};
    if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) continue;
    struct sigaction act {};
    act.sa_handler = RemoveTempsAndDie;
    sigemptyset(&act.sa_mask);
    ::sigaction(sig, &act, nullptr);
  }
}

}  // namespace

TInputHold::TInputHold(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return;
  TUse use;
  use.known = true;
  use.dev = st.st_dev;
  use.ino = st.st_ino;
  id_ = Add(std::move(use));
}

void TInputHold::HoldDescriptor(int fd) {
  Release();
  struct stat st {};
  if (::fstat(fd, &st) != 0) return;
  TUse use;
  use.known = true;
  use.dev = st.st_dev;
  use.ino = st.st_ino;
  id_ = Add(std::move(use));
}

void TInputHold::Release() {
  Drop(id_);
  id_ = 0;
}

TCommandFiles::TCommandFiles() {
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.lock);
  ++r.scopes;
}

TCommandFiles::~TCommandFiles() {
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.lock);
  if (--r.scopes > 0) return;
  r.uses.erase(std::remove_if(r.uses.begin(), r.uses.end(), [](const TUse& u) { return !u.live; }), r.uses.end());
}

TFileClash FindFileClash(const std::string& path, bool exists, dev_t dev, ino_t ino, long self) {
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.lock);
  for (const TUse& u : r.uses) {
    if (u.id == self) continue;
    const bool same = (exists && u.known && u.dev == dev && u.ino == ino) || (u.output && u.path == path);
    if (same) return u.output ? TFileClash::Output : TFileClash::Input;
  }
  return TFileClash::None;
}

long NoteOutput(const std::string& path) {
  TUse use;
  use.output = true;
  use.path = path;
  return Add(std::move(use));
}

void OutputPlaced(long id, dev_t dev, ino_t ino) {
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.lock);
  for (TUse& u : r.uses)
    if (u.id == id) u.known = true, u.dev = dev, u.ino = ino;
}

void OutputDone(long id) { Drop(id); }

int RememberTempFile(const std::string& path) {
  std::call_once(g_handlersOnce, InstallHandlers);
  if (path.size() >= PATH_MAX) return -1;
  for (int i = 0; i < kTempSlots; ++i) {
    bool expected = false;
    if (g_tempClaimed[i].load() || !g_tempClaimed[i].compare_exchange_strong(expected, true)) continue;
    std::memcpy(g_tempPaths[i], path.c_str(), path.size() + 1);
    g_tempUsed[i].store(true);
    return i;
  }
  return -1;
}

void ForgetTempFile(int slot) {
  if (slot < 0 || slot >= kTempSlots) return;
  g_tempUsed[slot].store(false);
  g_tempClaimed[slot].store(false);
}
