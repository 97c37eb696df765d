#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "../support/TempDir.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "filebase/RecFile.h"

namespace {

class RecFileTest : public ::testing::Test {
 protected:
  void TearDown() override { SetIoFaultHook(nullptr); }
  TTempDir dir;
};

std::vector<char> Blocks(int count, int size, char fill) { return std::vector<char>(count * size, fill); }

// A new, empty file that has its name at once.
bool Create(TRecFile& f, const std::string& path, int32_t blockSize) { return f.Begin(path, blockSize) && f.Commit(); }

TEST_F(RecFileTest, DeviceNamesFailWithoutTouchingTheDisk) {
  for (const std::string name : {"NUL", "com1.tsj", "Lpt3.txt", "con"}) {
    TRecFile f;
    const std::string path = dir.File(name);
    EXPECT_FALSE(f.Open(path, 16, omReadDenyWrite)) << name;
    EXPECT_EQ(f.ErrorState, esOpen);
    EXPECT_EQ(f.ErrorText(), "Can't open file. File is a device.");
    EXPECT_FALSE(Create(f, path, 16));
    EXPECT_EQ(f.ErrorText(), "Can't create file. File is a device.");
    EXPECT_FALSE(std::filesystem::exists(path)) << name;
  }
  EXPECT_EQ(FileStatus("/dev/null"), fsDevice);
}

TEST_F(RecFileTest, AFifoIsRefusedAsADeviceWithoutWaitingForAWriter) {
  const std::string path = dir.File("pipe.tsj");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_EQ(FileStatus(path), fsDevice);
  ::alarm(20);  // an open that waited for a writer would hang here for ever
  TRecFile f;
  EXPECT_FALSE(f.Open(path, 16, omReadDenyWrite));
  EXPECT_EQ(f.ErrorText(), "Can't open file. File is a device.");
  EXPECT_FALSE(f.Open(path, 16, omReadWriteExclusive));
  EXPECT_EQ(f.ErrorText(), "Can't open file. File is a device.");
  EXPECT_FALSE(Create(f, path, 16));
  EXPECT_EQ(f.ErrorText(), "Can't create file. File is a device.");
  ::alarm(0);
}

TEST_F(RecFileTest, WildcardsAreInvalidNames) {
  TRecFile f;
  EXPECT_FALSE(f.Open(dir.File("a*.tsj"), 16, omReadDenyWrite));
  EXPECT_EQ(f.ErrorText(), "Can't open file. File's drive, folder, or name is invalid.");
  EXPECT_FALSE(Create(f, dir.File("b?.tsj"), 16));
  EXPECT_EQ(f.ErrorText(), "Can't create file. File's drive, folder, or name is invalid.");
}

TEST_F(RecFileTest, MissingFileSaysSo) {
  TRecFile f;
  const std::string path = dir.File("none.tsj");
  EXPECT_FALSE(f.Open(path, 16, omReadWriteExclusive));
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ(f.ErrorText(), "Can't open file. File does not exist.");
  EXPECT_EQ(f.FullErrorText(), path + "\r\nCan't open file. File does not exist.");
}

TEST_F(RecFileTest, CreateOverwritesAnExistingFile) {
  const std::string path = dir.File("p.tsj");
  WriteWholeFile(path, std::string(100, 'x'));
  TRecFile f;
  ASSERT_TRUE(Create(f, path, 16));
  EXPECT_EQ(f.PathStatus, fsExists);
  EXPECT_EQ(f.FileSize(), 0);
  EXPECT_FALSE(f.IsReadOnly());
}

TEST_F(RecFileTest, BlocksAreAddressedByNumber) {
  TRecFile f;
  ASSERT_TRUE(Create(f, dir.File("b.dat"), 8));
  auto a = Blocks(2, 8, 'a');
  ASSERT_TRUE(f.WriteRecords(0, 2, false, a.data()));
  auto c = Blocks(1, 8, 'c');
  ASSERT_TRUE(f.WriteRecords(3, 1, true, c.data()));  // leaves a hole at block 2
  EXPECT_EQ(f.FileSize(), 32);
  std::vector<char> got(8);
  ASSERT_TRUE(f.ReadRecords(3, 1, got.data()));
  EXPECT_EQ(got, c);
  ASSERT_TRUE(f.ReadRecords(1, 1, got.data()));
  EXPECT_EQ(got, Blocks(1, 8, 'a'));
  ASSERT_TRUE(f.Close());
  EXPECT_EQ(ReadWholeFile(dir.File("b.dat")).substr(24), std::string(8, 'c'));
}

TEST_F(RecFileTest, ReadingPastTheEndFails) {
  TRecFile f;
  ASSERT_TRUE(Create(f, dir.File("short.dat"), 8));
  auto a = Blocks(1, 8, 'a');
  ASSERT_TRUE(f.WriteRecords(0, 1, false, a.data()));
  std::vector<char> got(16);
  EXPECT_FALSE(f.ReadRecords(0, 2, got.data()));  // the second block is missing
  EXPECT_EQ(f.ErrorState, esRead);
  EXPECT_EQ(f.ErrorText(), "Can't read file.");
  EXPECT_TRUE(f.ReadRecords(0, 1, got.data()));
  EXPECT_EQ(f.ErrorState, esNone);
}

TEST_F(RecFileTest, ReadOnlyFilesCannotBeWritten) {
  const std::string path = dir.File("ro.dat");
  WriteWholeFile(path, std::string(8, 'r'));
  TRecFile f;
  ASSERT_TRUE(f.Open(path, 8, omReadDenyWrite));
  EXPECT_TRUE(f.IsReadOnly());
  auto a = Blocks(1, 8, 'a');
  EXPECT_FALSE(f.WriteRecords(0, 1, false, a.data()));
  EXPECT_EQ(f.ErrorText(), "Can't write to file.");
  f.Close();
  EXPECT_EQ(ReadWholeFile(path), std::string(8, 'r'));
}

TEST_F(RecFileTest, FailedCloseAfterWriteIsReported) {
  TRecFile f;
  ASSERT_TRUE(Create(f, dir.File("c.dat"), 8));
  auto a = Blocks(1, 8, 'a');
  ASSERT_TRUE(f.WriteRecords(0, 1, false, a.data()));
  SetIoFaultHook([](TIoOp op, const std::string&) { return op == TIoOp::Close; });
  EXPECT_FALSE(f.Close());
  EXPECT_EQ(f.ErrorState, esClose);
  EXPECT_EQ(f.ErrorText(), "Can't write to file.");
}

TEST_F(RecFileTest, CloseAfterAnEarlierFailureKeepsThatFailure) {
  TRecFile f;
  ASSERT_TRUE(Create(f, dir.File("c.dat"), 8));
  std::vector<char> got(8);
  EXPECT_FALSE(f.ReadRecords(5, 1, got.data()));
  SetIoFaultHook([](TIoOp op, const std::string&) { return op == TIoOp::Close; });
  EXPECT_FALSE(f.Close());  // the failed close is reported; the first error is the one kept
  EXPECT_EQ(f.ErrorState, esRead);
}

TEST_F(RecFileTest, AFailedNewFileLeavesTheOldOneAndNothingElse) {
  const std::string path = dir.File("new.dat");
  WriteWholeFile(path, "old");
  TRecFile f;
  ASSERT_TRUE(f.Begin(path, 8));
  auto a = Blocks(4, 8, 'a');
  ASSERT_TRUE(f.WriteRecords(0, 2, false, a.data()));
  EXPECT_EQ(ReadWholeFile(path), "old");  // nothing reaches the name before Commit
  SetIoFaultHook([](TIoOp op, const std::string&) { return op == TIoOp::Write; });
  EXPECT_FALSE(f.WriteRecords(2, 2, false, a.data()));
  EXPECT_EQ(f.ErrorState, esWrite);
  f.Discard();
  EXPECT_EQ(f.ErrorState, esWrite);
  EXPECT_EQ(ReadWholeFile(path), "old");
  EXPECT_EQ(FolderFiles(dir.Path()), std::vector<std::string>{"new.dat"});
  // Closing a begun file without committing it throws it away too.
  SetIoFaultHook(nullptr);
  ASSERT_TRUE(f.Begin(path, 8));
  EXPECT_FALSE(f.Close());
  EXPECT_EQ(ReadWholeFile(path), "old");
  EXPECT_EQ(FolderFiles(dir.Path()), std::vector<std::string>{"new.dat"});
}

TEST_F(RecFileTest, FlushedWritesSurviveAndTheFileStaysUsable) {
  const std::string path = dir.File("flush.dat");
  TRecFile f;
  ASSERT_TRUE(Create(f, path, 4));
  ASSERT_TRUE(f.WriteRecords(0, 1, true, "abcd"));
  EXPECT_EQ(ReadWholeFile(path), "abcd");
  ASSERT_TRUE(f.WriteRecords(1, 1, true, "efgh"));
  EXPECT_EQ(ReadWholeFile(path), "abcdefgh");
  // A flush that fails after an in-place write cannot say whether the data is on disk.
  SetIoFaultHook([](TIoOp op, const std::string&) { return op == TIoOp::Sync; });
  EXPECT_FALSE(f.WriteRecords(1, 1, true, "ijkl"));
  EXPECT_EQ(f.ErrorState, esFlushUnsure);
  EXPECT_EQ(f.ErrorText(), "Can't write to file. The change may or may not have reached the disk.");
}

// Runs `child` in a second process that holds the file until the parent is done.
class OtherProcess {
 public:
  OtherProcess(const std::string& path, int32_t mode) {
    int ready[2], done[2];
    EXPECT_EQ(::pipe(ready), 0);
    EXPECT_EQ(::pipe(done), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
      TRecFile f;
      char ok = f.Open(path, 1, mode) ? 'y' : 'n';
      (void)!::write(ready[1], &ok, 1);
      char c;
      (void)!::read(done[0], &c, 1);
      ::_exit(0);
    }
    char ok = 0;
    EXPECT_EQ(::read(ready[0], &ok, 1), 1);
    opened_ = ok == 'y';
    ::close(ready[0]);
    ::close(ready[1]);
    done_ = done[1];
    ::close(done[0]);
  }
  ~OtherProcess() {
    char c = 'x';
    (void)!::write(done_, &c, 1);
    ::close(done_);
    int status;
    ::waitpid(pid_, &status, 0);
  }
  bool Opened() const { return opened_; }

 private:
  pid_t pid_ = -1;
  int done_ = -1;
  bool opened_ = false;
};

TEST_F(RecFileTest, AFileHeldForEditingKeepsOtherProcessesOut) {
  const std::string path = dir.File("held.tsj");
  WriteWholeFile(path, "data");
  OtherProcess other(path, omReadWriteExclusive);
  ASSERT_TRUE(other.Opened());
  TRecFile f;
  EXPECT_FALSE(f.Open(path, 1, omReadDenyWrite));
  EXPECT_EQ(f.ErrorText(), "Can't open file. File is in use.");
  EXPECT_FALSE(f.Open(path, 1, omReadWriteExclusive));
  EXPECT_FALSE(f.Open(path, 1, omReadExclusive));
  EXPECT_FALSE(Create(f, path, 1));
  EXPECT_EQ(f.ErrorText(), "Can't create file. File is in use.");
  EXPECT_EQ(ReadWholeFile(path), "data");  // the failed create did not truncate it
}

TEST_F(RecFileTest, AFileHeldForReadingCanBeReadButNotEdited) {
  const std::string path = dir.File("shared.tsj");
  WriteWholeFile(path, "data");
  OtherProcess other(path, omReadDenyWrite);
  ASSERT_TRUE(other.Opened());
  TRecFile reader;
  EXPECT_TRUE(reader.Open(path, 1, omReadDenyWrite));
  TRecFile writer;
  EXPECT_FALSE(writer.Open(path, 1, omReadWriteExclusive));
}

TEST(FileUtlTest, StatusTexts) {
  EXPECT_EQ(FileStatusText(17), "Attempting to access file resulted in unexpected error 17.");
  EXPECT_EQ(FileStatusText(32, "/a/b.tsj"), "/a/b.tsj\r\nFile is in use.");
  EXPECT_EQ(FileStatusText(5), "File is read-only or in use.");
  EXPECT_EQ(FileStatusText(21), "Drive is not ready for access.");
  EXPECT_EQ(BadExtensionText("/a/b.txt", ".tsj"), "/a/b.txt\r\nFile does not have a valid extension (.tsj).");
}

TEST(FileUtlTest, PathPieces) {
  EXPECT_EQ(ExtractBaseName("/farm/2012/plan.tsj"), "plan");
  EXPECT_EQ(ExtractBaseName("plan"), "plan");
  EXPECT_EQ(ExtractFileExt("/farm.d/plan"), "");
  EXPECT_EQ(ChangeFileExt("/farm/plan.tsj", ".dos"), "/farm/plan.dos");
  EXPECT_EQ(AddSlash("/farm"), "/farm/");
  EXPECT_EQ(AddSlash("/farm/"), "/farm/");
  EXPECT_EQ(AddSlash(""), "");
  EXPECT_EQ(RemoveSlash("/farm/"), "/farm");
  EXPECT_EQ(RemoveSlash("/"), "/");
  EXPECT_EQ(ExpandFileName("/a/./b/../c.tsj"), "/a/c.tsj");
}

TEST(FileUtlTest, TempNamesLieBesideTheProject) {
  TTempDir dir;
  const std::string name = MakeTempName(dir.Path(), "tsjfile");
  EXPECT_EQ(ExtractFileDir(name), dir.Path());
  const std::string file = ExtractFileName(name);
  ASSERT_EQ(file.size(), 12u);
  EXPECT_EQ(file.substr(0, 3), "tsj");
  EXPECT_EQ(file.find_first_not_of("0123456789ABCDEF", 3), 8u);
  EXPECT_EQ(file.substr(8), ".tmp");
  const std::string sysTemp = MakeTempName("", "rpt");
  EXPECT_TRUE(std::filesystem::exists(sysTemp));  // the system creates it
  std::filesystem::remove(sysTemp);
}

}  // namespace
