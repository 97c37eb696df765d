// The one way files are created or replaced: whatever goes wrong, the files that were there keep
// their bytes, names, links and owners, and no temporary file outlives its writer.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "../support/TempDir.h"
#include "filebase/FileUse.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "filebase/SafeWrite.h"

namespace {

class SafeWriteTest : public ::testing::Test {
 protected:
  void TearDown() override { SetIoFaultHook(nullptr); }
  std::string Put(const std::string& name, const std::string& bytes) {
    WriteWholeFile(dir.File(name), bytes);
    return dir.File(name);
  }
  TTempDir dir;
};

// Runs `body` in a child process and returns how it ended.
template <class F>
int InChild(F body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    body();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST_F(SafeWriteTest, ALinkedNameKeepsItsLinkAndTheFileItNamesGetsTheData) {
  const std::string real = Put("real.txt", "old");
  const std::string link = dir.File("link.txt");
  ASSERT_EQ(::symlink("real.txt", link.c_str()), 0);
  ASSERT_TRUE(WriteFileSafely(link, "new", TTargetUse::Replace).Ok());
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadWholeFile(real), "new");

  // A file with a second hard name is refused: the other name would go on showing the old data.
  ASSERT_EQ(::link(real.c_str(), dir.File("hard.txt").c_str()), 0);
  const TWriteResult r = WriteFileSafely(real, "newer", TTargetUse::Replace);
  EXPECT_EQ(r.Code, TWriteCode::HardLinked);
  EXPECT_EQ(ReadWholeFile(dir.File("hard.txt")), "new");
  EXPECT_EQ(FolderFiles(dir.Path()), (std::vector<std::string>{"hard.txt", "link.txt", "real.txt"}));
}

TEST_F(SafeWriteTest, FoldersDevicesPipesAndWildcardsAreRefusedAtOnce) {
  const std::string fifo = dir.File("pipe.txt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_directory(dir.File("folder.txt"));
  ::alarm(20);  // opening the pipe would wait for a reader for ever
  EXPECT_EQ(WriteFileSafely(fifo, "x", TTargetUse::Replace).Text, "Can't create file. File is a device.");
  EXPECT_EQ(WriteFileSafely(dir.File("folder.txt"), "x", TTargetUse::Replace).Code, TWriteCode::NotRegular);
  EXPECT_EQ(WriteFileSafely(dir.File("a*.txt"), "x", TTargetUse::Replace).Text,
            "Can't create file. File's drive, folder, or name is invalid.");
  EXPECT_EQ(WriteFileSafely(dir.File("none/a.txt"), "x", TTargetUse::Replace).Code, TWriteCode::NoFolder);
  ::alarm(0);
  EXPECT_EQ(FolderFiles(dir.Path()), (std::vector<std::string>{"folder.txt", "pipe.txt"}));
}

TEST_F(SafeWriteTest, ANewFileNeverReplacesOneThatAppearedMeanwhile) {
  for (TTargetUse use : {TTargetUse::CreateNew, TTargetUse::Replace}) {
    const std::string target = dir.File("new.txt");
    std::filesystem::remove(target);
    TSafeWrite w;
    ASSERT_TRUE(w.Begin(target, use, "tsw").Ok());
    ASSERT_TRUE(w.Write("mine"));
    Put("new.txt", "theirs");  // another program creates the name before the write is done
    const TWriteResult r = w.Commit();
    EXPECT_EQ(r.Code, TWriteCode::Exists);
    EXPECT_EQ(r.FullText(), target + "\r\nFile already exists.");
    EXPECT_EQ(ReadWholeFile(target), "theirs");
    EXPECT_EQ(FolderFiles(dir.Path()), std::vector<std::string>{"new.txt"});
  }
}

TEST_F(SafeWriteTest, AReplacementKeepsModeOwnerAndGroup) {
  const std::string target = Put("shared.txt", "old");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) ASSERT_EQ(::chown(target.c_str(), 1234, 5678), 0);
  struct stat before {};
  ASSERT_EQ(::stat(target.c_str(), &before), 0);
  ASSERT_TRUE(WriteFileSafely(target, "new", TTargetUse::Replace).Ok());
  struct stat after {};
  ASSERT_EQ(::stat(target.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_NE(after.st_ino, before.st_ino);  // replaced whole, not rewritten in place
  // A read-only file is left alone.
  ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
  EXPECT_EQ(WriteFileSafely(target, "newer", TTargetUse::Replace).Text, "Can't overwrite file.");
  EXPECT_EQ(ReadWholeFile(target), "new");
}

// A new file is as readable as the user's umask lets any new file be, whatever the mode of the
// file it was copied from; a replaced file keeps its own mode.
TEST_F(SafeWriteTest, ANewFileFollowsTheUmask) {
  const std::string source = Put("private.rtf", "{\\rtf1 report}");
  ASSERT_EQ(::chmod(source.c_str(), 0600), 0);
  auto mode = [](const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 07777u;
  };
  const mode_t saved = ::umask(002);
  const TWriteResult copied = CopyFileSafely(source, dir.File("report.rtf"), TTargetUse::Replace);
  const TWriteResult written = WriteFileSafely(dir.File("notes.txt"), "notes", TTargetUse::CreateNew);
  TSafeWrite out;
  const bool begun = out.Begin(dir.File("report.pdf"), TTargetUse::Replace, "pdf").Ok();
  const bool committed = begun && out.Write("%PDF") && out.Commit().Ok();
  ::umask(077);
  ASSERT_EQ(::chmod(dir.File("notes.txt").c_str(), 0644), 0);
  const TWriteResult replaced = WriteFileSafely(dir.File("notes.txt"), "more notes", TTargetUse::Replace);
  ::umask(saved);
  ASSERT_TRUE(copied.Ok() && written.Ok() && committed && replaced.Ok());
  EXPECT_EQ(mode(dir.File("report.rtf")), 0664u);
  EXPECT_EQ(mode(dir.File("report.pdf")), 0664u);
  EXPECT_EQ(mode(dir.File("notes.txt")), 0644u);
  EXPECT_EQ(mode(source), 0600u);
}

TEST_F(SafeWriteTest, NoOutputOfACommandReplacesItsInputsOrAnotherOutput) {
  const std::string input = Put("in.txt", "input");
  const TCommandFiles command;
  { const TInputHold read(input); }  // read and closed early: still an input of the command
  TWriteResult r = WriteFileSafely(input, "x", TTargetUse::Replace);
  EXPECT_EQ(r.Code, TWriteCode::IsInput);
  EXPECT_EQ(ReadWholeFile(input), "input");

  TSafeWrite first;
  ASSERT_TRUE(first.Begin(dir.File("out.txt"), TTargetUse::Replace, "tsw").Ok());
  EXPECT_EQ(WriteFileSafely(dir.File("out.txt"), "x", TTargetUse::Replace).Code, TWriteCode::TwoOutputs);
  ASSERT_TRUE(first.Commit().Ok());
  EXPECT_EQ(WriteFileSafely(dir.File("out.txt"), "x", TTargetUse::Replace).Code, TWriteCode::TwoOutputs);
  // A file the writer replaces on purpose (saving over the file it read) is allowed.
  EXPECT_TRUE(WriteFileSafely(input, "saved", TTargetUse::ReplaceOwn).Ok());
  EXPECT_EQ(ReadWholeFile(input), "saved");
}

TEST_F(SafeWriteTest, NoTemporaryFileOutlivesItsWriter) {
  const std::string target = Put("keep.txt", "kept");
  // Killed outright: the unlocked leftover goes at the next write into the folder, at once.
  InChild([&] {
    TSafeWrite w;
    if (w.Begin(target, TTargetUse::Replace, "tsw").Ok()) w.Write("half");
    ::_exit(9);
  });
  EXPECT_EQ(FolderFiles(dir.Path()).size(), 2u);
  // Interrupted: the next writer's start took the leftover away, and its own temporary file goes
  // with the program.
  const int status = InChild([&] {
    TSafeWrite w;
    if (w.Begin(target, TTargetUse::Replace, "tsw").Ok()) ::raise(SIGTERM);
  });
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(FolderFiles(dir.Path()), std::vector<std::string>{"keep.txt"});
  // A writer that is alive holds its temporary file locked, so a clean-up leaves it.
  TSafeWrite alive;
  ASSERT_TRUE(alive.Begin(dir.File("other.txt"), TTargetUse::Replace, "tsw").Ok());
  RemoveLeftoverTemps(dir.Path());
  EXPECT_EQ(FolderFiles(dir.Path()), (std::vector<std::string>{"keep.txt", ExtractFileName(alive.TempPath())}));
  EXPECT_EQ(ReadWholeFile(target), "kept");
}

}  // namespace
