// Several programs on one project at once: every change reported done is in the file, every one
// reported failed is not, and the file stays whole. The other programs are forked processes that
// work as the command-line tool does: open, change, close.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "../support/TempDir.h"
#include "FakeRefs.h"
#include "common/Locale.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "store/MdaFile.h"

namespace {

constexpr int32_t kWaitMs = 20000;

// One change a process made: '+' a record added (inserted or merged), '-' one deleted.
struct TOutcome {
  char op;
  int32_t id;
  bool ok;
};

// A process's outcomes, written to a file that the test reads once the process has ended.
class TOutcomeLog {
 public:
  explicit TOutcomeLog(const std::string& path) : out_(std::fopen(path.c_str(), "w")) {}
  ~TOutcomeLog() { std::fclose(out_); }
  void Add(char op, int32_t id, bool ok) { std::fprintf(out_, "%c %d %d\n", op, id, ok ? 1 : 0); }

 private:
  std::FILE* out_;
};

std::vector<TOutcome> ReadOutcomes(const std::string& path) {
  std::vector<TOutcome> all;
  std::ifstream in(path);
  TOutcome o{};
  int ok = 0;
  while (in >> o.op >> o.id >> ok) {
    o.ok = ok == 1;
    all.push_back(o);
  }
  return all;
}

// Runs `work` in a child process that ends when it returns.
pid_t Fork(const std::function<void()>& work) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    work();
    ::_exit(0);
  }
  return pid;
}

void Join(pid_t pid) {
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

bool OpenForChange(TMdaFile& f, const std::string& path, const TProjectRefs& refs, int32_t waitMs) {
  f.LockWaitMs = waitMs;
  return f.OpenProject(path, true, refs) && f.IsWritable();
}

bool InsertId(const std::string& path, const TProjectRefs& refs, int32_t id, int32_t waitMs = kWaitMs) {
  TMdaFile f;
  int number = 0;
  return OpenForChange(f, path, refs, waitMs) && f.InsertRecord(NamedRecord(f, id), 0, number);
}

bool DeleteId(const std::string& path, const TProjectRefs& refs, int32_t id) {
  TMdaFile f;
  TFieldRec found, next;
  int number = 0, nextNumber = 0;
  return OpenForChange(f, path, refs, kWaitMs) &&
         f.FindNext(1, [id](const TFieldRec& r) { return r.Field_ID == id; }, found, number) &&
         f.DeleteRecord(number, next, nextNumber);
}

bool MergeFile(const std::string& path, const TProjectRefs& refs, const std::string& other) {
  TMdaFile f;
  std::string message;
  int current = 0;
  TFieldRec rec;
  return OpenForChange(f, path, refs, kWaitMs) && f.MergeProject(other, nullptr, 1, message, current, rec);
}

bool IsProjectTemp(const std::string& name) { return name.rfind("tsj", 0) == 0 && ExtractFileExt(name) == ".tmp"; }

class SharingTest : public ::testing::Test {
 protected:
  void SetUp() override { PinUsLocale(); }
  void TearDown() override { SetIoFaultHook(nullptr); }
  std::string Path() const { return dir.File("p.tsj"); }

  void MakeClosed(const std::string& path, const std::vector<int32_t>& ids) {
    TMdaFile f;
    ASSERT_TRUE(MakeProject(f, path, refs, ids));
    ASSERT_TRUE(f.Close());
  }

  // The IDs of the project once it has passed the open checks (version, size, country, release),
  // in file order, which must be ascending without repeats; no temporary copy may lie beside it.
  std::vector<int32_t> CheckedIds() {
    TMdaFile f;
    EXPECT_TRUE(f.OpenProject(Path(), false, refs)) << f.FullErrorText();
    const std::vector<int32_t> ids = Ids(f);
    EXPECT_EQ(static_cast<int>(ids.size()), f.RecordCount());
    EXPECT_TRUE(std::adjacent_find(ids.begin(), ids.end(), std::greater_equal<>()) == ids.end());
    for (const std::string& name : FolderFiles(dir.Path())) EXPECT_FALSE(IsProjectTemp(name)) << name;
    return ids;
  }

  TTempDir dir;
  TFakeRefs refs;
};

TEST_F(SharingTest, ParallelInsertsDeletesAndMergesLoseNothing) {
  std::vector<int32_t> initial;
  for (int32_t id = 10; id <= 600; id += 10) initial.push_back(id);
  MakeClosed(Path(), initial);
  std::vector<std::string> others;
  for (int k = 0; k < 10; ++k) {
    others.push_back(dir.File("other" + std::to_string(k) + ".tsj"));
    MakeClosed(others.back(), {100001 + 2 * k, 100002 + 2 * k});
  }
  const std::string p = Path();
  const TFakeRefs& refs = this->refs;
  std::vector<pid_t> programs;
  programs.push_back(Fork([&] {
    TOutcomeLog log(dir.File("inserts.log"));
    for (int32_t i = 0; i < 40; ++i) log.Add('+', 5 + 10 * i, InsertId(p, refs, 5 + 10 * i));
  }));
  programs.push_back(Fork([&] {
    TOutcomeLog log(dir.File("mixed.log"));
    for (int32_t i = 0; i < 25; ++i) {
      log.Add('-', 10 + 10 * i, DeleteId(p, refs, 10 + 10 * i));
      log.Add('+', 7 + 20 * i, InsertId(p, refs, 7 + 20 * i));
    }
  }));
  programs.push_back(Fork([&] {
    TOutcomeLog log(dir.File("merges.log"));
    for (int k = 0; k < 10; ++k) {
      const bool ok = MergeFile(p, refs, others[k]);
      log.Add('+', 100001 + 2 * k, ok);
      log.Add('+', 100002 + 2 * k, ok);
    }
  }));
  for (pid_t pid : programs) Join(pid);

  std::set<int32_t> expected(initial.begin(), initial.end());
  int done = 0;
  for (const char* name : {"inserts.log", "mixed.log", "merges.log"}) {
    for (const TOutcome& o : ReadOutcomes(dir.File(name))) {
      EXPECT_TRUE(o.ok) << name << ' ' << o.op << o.id;  // each waited for its turn
      if (!o.ok) continue;
      ++done;
      if (o.op == '+') expected.insert(o.id);
      else expected.erase(o.id);
    }
  }
  EXPECT_EQ(done, 40 + 50 + 20);
  EXPECT_EQ(CheckedIds(), std::vector<int32_t>(expected.begin(), expected.end()));
}

TEST_F(SharingTest, AnEditorKeepsItsProjectThroughFlushedWritesWhileAnotherTriesToWrite) {
  MakeClosed(Path(), {10, 20, 30});
  TMdaFile editor;
  ASSERT_TRUE(OpenForChange(editor, Path(), refs, 0));
  const std::string p = Path(), stop = dir.File("stop");
  const TFakeRefs& refs = this->refs;
  const pid_t other = Fork([&] {
    TOutcomeLog log(dir.File("tries.log"));
    for (int32_t id = 1000; !std::filesystem::exists(stop); ++id) log.Add('+', id, InsertId(p, refs, id, 0));
  });
  // A flush that gave the file up for a moment would also meet this program's own failing opens.
  SetIoFaultHook([](TIoOp op, const std::string& path) { return op == TIoOp::Open && ExtractFileName(path) == "p.tsj"; });
  TFieldRec rec;
  ASSERT_TRUE(editor.ReadRecord(2, rec));
  for (int i = 1; i <= 150; ++i) {
    rec.Field_Size = static_cast<float>(i);
    ASSERT_TRUE(editor.WriteRecord(2, rec, true)) << i << ' ' << editor.FullErrorText();
    ::usleep(1000);
  }
  SetIoFaultHook(nullptr);
  WriteWholeFile(stop, "");
  Join(other);
  ASSERT_TRUE(editor.Close());

  const std::vector<TOutcome> tries = ReadOutcomes(dir.File("tries.log"));
  EXPECT_FALSE(tries.empty());
  for (const TOutcome& o : tries) EXPECT_FALSE(o.ok) << o.id;
  EXPECT_EQ(CheckedIds(), (std::vector<int32_t>{10, 20, 30}));
  TMdaFile f;
  ASSERT_TRUE(f.OpenProject(Path(), false, refs));
  ASSERT_TRUE(f.ReadRecord(2, rec));
  EXPECT_EQ(rec.Field_Size, 150.0f);
}

TEST_F(SharingTest, AnOpenerWaitsForTheWriterAndWorksOnTheFileTheWriterLeft) {
  MakeClosed(Path(), {10, 20});
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const std::string p = Path();
  const TFakeRefs& refs = this->refs;
  const pid_t writer = Fork([&] {
    TMdaFile f;
    const bool opened = OpenForChange(f, p, refs, 0);
    (void)!::write(ready[1], opened ? "y" : "n", 1);
    ::usleep(300 * 1000);
    int number = 0;
    TOutcomeLog log(dir.File("writer.log"));
    log.Add('+', 15, opened && f.InsertRecord(NamedRecord(f, 15), 0, number));
  });
  char opened = 0;
  ASSERT_EQ(::read(ready[0], &opened, 1), 1);
  ASSERT_EQ(opened, 'y');
  TMdaFile waiter;
  ASSERT_TRUE(OpenForChange(waiter, Path(), refs, kWaitMs)) << waiter.FullErrorText();
  EXPECT_EQ(waiter.RecordCount(), 3);  // the writer's record is there
  int number = 0;
  EXPECT_TRUE(waiter.InsertRecord(NamedRecord(waiter, 25), 0, number));
  EXPECT_TRUE(waiter.Close());
  Join(writer);
  ::close(ready[0]);
  ::close(ready[1]);
  ASSERT_EQ(ReadOutcomes(dir.File("writer.log")).size(), 1u);
  EXPECT_TRUE(ReadOutcomes(dir.File("writer.log"))[0].ok);
  EXPECT_EQ(CheckedIds(), (std::vector<int32_t>{10, 15, 20, 25}));

  // Without waiting, a held project is refused as in use at once, writable or not.
  TMdaFile holder, other;
  ASSERT_TRUE(OpenForChange(holder, Path(), refs, 0));
  EXPECT_FALSE(other.OpenProject(Path(), true, refs));
  EXPECT_EQ(other.FullErrorText(), Path() + "\r\nCan't open file. File is in use.");
  // Waiting, the wait is spent once: on the attempt to write, not again on reading.
  other.LockWaitMs = 600;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(other.OpenProject(Path(), true, refs));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1100));
}

TEST_F(SharingTest, AFileRenamedOverTheNameBetweenOpeningAndLockingIsOpenedAfresh) {
  MakeClosed(Path(), {10, 20});
  MakeClosed(dir.File("rebuilt.tsj"), {10, 15, 20});  // what another program's rebuild left
  // Another program renames its rebuilt copy over the name just after this one opened the file.
  auto renamed = std::make_shared<bool>(false);
  const std::string rebuilt = dir.File("rebuilt.tsj"), p = Path();
  SetIoFaultHook([=](TIoOp op, const std::string& path) {
    if (op == TIoOp::Lock && path == p && !*renamed) *renamed = std::rename(rebuilt.c_str(), p.c_str()) == 0;
    return false;
  });
  TMdaFile f;
  ASSERT_TRUE(OpenForChange(f, Path(), refs, 0));
  EXPECT_TRUE(*renamed);
  EXPECT_EQ(f.RecordCount(), 3);
  int number = 0;
  ASSERT_TRUE(f.InsertRecord(NamedRecord(f, 25), 0, number));
  ASSERT_TRUE(f.Close());
  EXPECT_EQ(CheckedIds(), (std::vector<int32_t>{10, 15, 20, 25}));
}

TEST_F(SharingTest, AChangeIsDoneOnceTheRebuiltFileHasTheProjectsName) {
  TMdaFile file;
  ASSERT_TRUE(MakeProject(file, Path(), refs, {10, 20, 30}));
  MakeClosed(dir.File("other.tsj"), {5, 25});
  // Once a rebuilt copy has been renamed, the project can no longer be opened by name and the
  // folder cannot be committed.
  auto renamed = std::make_shared<bool>(false);
  const std::string folder = dir.Path();
  SetIoFaultHook([=](TIoOp op, const std::string& path) {
    if (op == TIoOp::Rename) *renamed = true;
    return *renamed && ((op == TIoOp::Open && ExtractFileName(path) == "p.tsj") || (op == TIoOp::Sync && path == folder));
  });
  int number = 0;
  EXPECT_TRUE(file.InsertRecord(NamedRecord(file, 15), 0, number)) << file.FullErrorText();
  EXPECT_EQ(number, 2);
  TFieldRec next;
  EXPECT_TRUE(file.DeleteRecord(1, next, number)) << file.FullErrorText();
  EXPECT_EQ(next.Field_ID, 15);
  std::string message;
  EXPECT_TRUE(file.MergeProject(dir.File("other.tsj"), nullptr, 1, message, number, next)) << message;
  EXPECT_EQ(next.Field_ID, 15);  // the record that was current, now number 2
  EXPECT_EQ(number, 2);
  // The project stays open for editing.
  next.Field_Size = 7.5f;
  EXPECT_TRUE(file.WriteRecord(2, next, true)) << file.FullErrorText();
  SetIoFaultHook(nullptr);
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(CheckedIds(), (std::vector<int32_t>{5, 15, 20, 25, 30}));
}

TEST_F(SharingTest, TemporaryFilesLeftByAKilledWriteGoWhenTheProjectIsNextOpenedOrSaved) {
  MakeClosed(Path(), {10});
  auto make = [&](const std::string& name, int ageSeconds) {
    WriteWholeFile(dir.File(name), "half a copy");
    const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::seconds(ageSeconds);
    std::filesystem::last_write_time(dir.File(name), when);
  };
  make("tsj0A1B2.tmp", 120);   // left by a killed write
  make("tsjFFFFF.tmp", 0);     // left just now: unlocked, so nobody is writing it any more
  make("mcc0A1B2.tmp", 1);     // a killed cost file save
  make("tsj12345.tmp", 120);   // still held by a running program, below
  for (const char* other : {"tsjabcde.tmp", "tsj1234.tmp", "tsj123456.tmp", "xtsj0A1B2.tmp", "tsj0A1B2.tmp.bak",
                            "notes.txt"})
    make(other, 120);
  TRecFile running;
  ASSERT_TRUE(running.Open(dir.File("tsj12345.tmp"), 1, omReadWriteExclusive));
  std::vector<std::string> before = FolderFiles(dir.Path());

  TMdaFile f;
  ASSERT_TRUE(f.OpenProject(Path(), false, refs));
  for (const char* gone : {"tsj0A1B2.tmp", "tsjFFFFF.tmp", "mcc0A1B2.tmp"})
    before.erase(std::find(before.begin(), before.end(), gone));
  EXPECT_EQ(FolderFiles(dir.Path()), before);
  ASSERT_TRUE(f.Close());

  // A rebuild (an insert here) saves the whole project and clears away what is stale by then.
  make("tsj77777.tmp", 120);
  ASSERT_TRUE(OpenForChange(f, Path(), refs, 0));
  make("tsj88888.tmp", 120);
  int number = 0;
  ASSERT_TRUE(f.InsertRecord(NamedRecord(f, 20), 0, number));
  EXPECT_EQ(FolderFiles(dir.Path()), before);
}

}  // namespace
