// Every command that writes a file, against every way of losing the file it would replace: the
// output names an input, a symbolic or hard link, a pipe, a wildcard or a read-only file; the disk
// fills up; another program creates the name meanwhile; the command is killed at each step. The
// files that were there keep their bytes, and no temporary file outlives the command.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

#include "../support/CliRun.h"
#include "../support/DbfSamples.h"
#include "../support/SampleProjects.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "filebase/SafeWrite.h"

namespace {

namespace fs = std::filesystem;

struct TWriter {
  const char* name;
  const char* ext;  // of the output
  // The command, given the folder's project, JSON document and dBASE table, and the output.
  std::function<std::vector<std::string>(const std::string& dir, const std::string& out)> args;
  const char* input;  // the input an output may not replace ("" for none)
  bool newOnly;       // the output's name must be new
};

void PrintTo(const TWriter& w, std::ostream* os) { *os << w.name; }

// Every file of a folder with what it holds: bytes, or the target of a symbolic link.
using TSnapshot = std::map<std::string, std::string>;
TSnapshot Snapshot(const std::string& dir) {
  TSnapshot s;
  for (const std::string& name : FolderFiles(dir)) {
    const fs::path p = fs::path(dir) / name;
    s[name] = fs::is_symlink(p) ? "link to " + fs::read_symlink(p).string()
              : fs::is_regular_file(fs::symlink_status(p)) ? ReadWholeFile(p.string())
                                                           : "special";
  }
  return s;
}

bool IsTemp(const std::string& path) { return ExtractFileExt(path) == ".tmp"; }

class WriteSafetyTest : public ::testing::TestWithParam<TWriter> {
 protected:
  void SetUp() override {
    fs::copy_file(kRuntimeDir + "/samples/iowa-2024.tsj", dir.File("p.tsj"));
    ASSERT_EQ(Run({"export", "json", dir.File("p.tsj"), dir.File("p.json")}).status, 0);
    ASSERT_TRUE(WriteDbfSample(dir.File("t.dbf"), {{"FIELD_NAME", "CROP_YEAR", "COUNTY"},
                                                   {{"", "North", "2024", "19169"}, {"", "South", "2024", "19169"}}}));
    WriteWholeFile(dir.File("other.txt"), "unrelated");
  }
  void TearDown() override { SetIoFaultHook(nullptr); }
  TCliRun Run(std::vector<std::string> args) { return RunToolWithData(kRuntimeDir, std::move(args)); }
  TCliRun RunWriter(const std::string& out) { return Run(GetParam().args(dir.Path(), out)); }
  std::string Out(const std::string& base = "out") const { return dir.File(base + GetParam().ext); }

  // A refused command: status 1 with a message, and the folder exactly as it was.
  void ExpectRefused(const std::string& out, const std::string& what) {
    SCOPED_TRACE(what);
    const TSnapshot before = Snapshot(dir.Path());
    const TCliRun r = RunWriter(out);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(Snapshot(dir.Path()), before) << r.err;
  }

  TTempDir dir;
};

TEST_P(WriteSafetyTest, NoFileIsLostWhateverHappens) {
  const TWriter& w = GetParam();
  const std::string out = Out();
  if (*w.input) ExpectRefused(dir.File(w.input), "the output is an input");

  // A link is followed: the file it names gets the output, and the link stays a link.
  WriteWholeFile(dir.File("real" + std::string(w.ext)), "old");
  ASSERT_EQ(::symlink(("real" + std::string(w.ext)).c_str(), out.c_str()), 0);
  if (w.newOnly) {
    ExpectRefused(out, "a link where a new file is wanted");
  } else {
    const TCliRun r = RunWriter(out);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(out));
    EXPECT_NE(ReadWholeFile(dir.File("real" + std::string(w.ext))), "old");
  }
  fs::remove(out);

  // A file with a second name, a pipe, a wildcard, a read-only file.
  WriteWholeFile(out, "old");
  ASSERT_EQ(::link(out.c_str(), dir.File("second.name").c_str()), 0);
  ExpectRefused(out, "a hard-linked file");
  fs::remove(dir.File("second.name"));
  ASSERT_EQ(::chmod(out.c_str(), 0444), 0);
  ExpectRefused(out, "a read-only file");
  fs::remove(out);
  ASSERT_EQ(::mkfifo(out.c_str(), 0644), 0);
  ::alarm(60);  // a writer that opened the pipe would wait for a reader for ever
  ExpectRefused(out, "a pipe");
  ::alarm(0);
  fs::remove(out);
  ExpectRefused(dir.File(std::string("a*") + w.ext), "a wildcard");

  // The disk fills up (a write or the final flush fails): an existing output keeps its bytes.
  if (!w.newOnly) WriteWholeFile(out, "old");
  SetIoFaultHook([](TIoOp op, const std::string& path) {
    return (op == TIoOp::Write || op == TIoOp::Sync) && IsTemp(path);
  });
  {
    const TSnapshot before = Snapshot(dir.Path());
    const TCliRun r = RunWriter(out);
    SetIoFaultHook(nullptr);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Snapshot(dir.Path()), before) << r.err;
  }
  fs::remove(out);

  // Another program creates the name while the command writes: its file is never replaced.
  SetIoFaultHook([&, done = false](TIoOp op, const std::string& path) mutable {
    if (op == TIoOp::Sync && IsTemp(path) && !done) done = true, WriteWholeFile(out, "theirs");
    return false;
  });
  const TCliRun r = RunWriter(out);
  SetIoFaultHook(nullptr);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("File already exists."), std::string::npos) << r.err;
  EXPECT_EQ(ReadWholeFile(out), "theirs");
  fs::remove(out);
}

TEST_P(WriteSafetyTest, AKilledCommandLeavesEveryFileAsItWas) {
  const std::string out = Out();
  for (TIoOp step : {TIoOp::Open, TIoOp::Write, TIoOp::Sync, TIoOp::Rename}) {
    const TSnapshot before = Snapshot(dir.Path());
    const pid_t pid = ::fork();
    if (pid == 0) {
      SetIoFaultHook([step](TIoOp op, const std::string& path) {
        if (op == step && (step == TIoOp::Rename || IsTemp(path))) ::_exit(9);
        return false;
      });
      RunWriter(out);
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const bool killed = WIFEXITED(status) && WEXITSTATUS(status) == 9;
    // Every writer makes a temporary file and renames it into place.
    if (step == TIoOp::Open || step == TIoOp::Rename) EXPECT_TRUE(killed) << "step " << static_cast<int>(step);
    TSnapshot after = Snapshot(dir.Path());
    // The outputs of a command that ran to its end are new files; the rest is as it was.
    if (!killed)
      for (auto it = after.begin(); it != after.end();) it = before.count(it->first) ? std::next(it) : after.erase(it);
    for (auto it = after.begin(); it != after.end();) it = IsTemp(it->first) ? after.erase(it) : std::next(it);
    EXPECT_EQ(after, before) << "step " << static_cast<int>(step);
    // What the killed command left is gone as soon as the next command writes into the folder.
    RemoveLeftoverTemps(dir.Path());
    for (const std::string& name : FolderFiles(dir.Path())) EXPECT_FALSE(IsTemp(name)) << name;
    for (const auto& [name, bytes] : Snapshot(dir.Path()))
      if (!before.count(name)) fs::remove(dir.File(name));
  }
}

std::string In(const std::string& dir, const char* name) { return dir + "/" + name; }

const TWriter kWriters[] = {
    {"New", ".tsj", [](auto, auto out) { return std::vector<std::string>{"new", out, "--state", "IA", "--year", "2024"}; },
     "", true},
    {"Extract", ".tsj", [](auto d, auto out) { return std::vector<std::string>{"extract", In(d, "p.tsj"), out}; },
     "p.tsj", false},
    {"ExportJson", ".json",
     [](auto d, auto out) { return std::vector<std::string>{"export", "json", In(d, "p.tsj"), out}; }, "p.tsj", false},
    {"ExportDb", ".sqlite",
     [](auto d, auto out) { return std::vector<std::string>{"export", "db", In(d, "p.tsj"), out}; }, "", false},
    {"ExportDbf", ".dbf",
     [](auto d, auto out) { return std::vector<std::string>{"export", "dbf", In(d, "p.tsj"), out, In(d, "apps.dbf")}; },
     "p.tsj", false},
    {"ImportJson", ".tsj",
     [](auto d, auto out) { return std::vector<std::string>{"import", "json", In(d, "p.json"), out}; }, "p.json", true},
    {"ImportDbf", ".tsj",
     [](auto d, auto out) { return std::vector<std::string>{"import", "dbf", In(d, "t.dbf"), out}; }, "t.dbf", true},
    {"RankedReport", ".txt",
     [](auto d, auto out) { return std::vector<std::string>{"report", "ranked", In(d, "p.tsj"), "-o", out}; }, "p.tsj",
     false},
    {"WorksheetReport", ".rtf",
     [](auto d, auto out) { return std::vector<std::string>{"report", "worksheet", In(d, "p.tsj"), "-o", out}; },
     "p.tsj", false},
    {"CostFile", ".mcc", [](auto, auto out) { return std::vector<std::string>{"costs", "save", out}; }, "", false},
};

INSTANTIATE_TEST_SUITE_P(EveryWriter, WriteSafetyTest, ::testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
