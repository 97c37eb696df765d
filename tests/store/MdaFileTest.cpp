#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "../support/TempDir.h"
#include "FakeRefs.h"
#include "common/Locale.h"
#include "store/MdaFile.h"

namespace {

class MdaFileTest : public ::testing::Test {
 protected:
  void SetUp() override { PinUsLocale(); }
  std::string Path(const std::string& name = "p.tsj") const { return dir.File(name); }
  TTempDir dir;
  TFakeRefs refs;
};

// Rewrites bytes of a closed file in place.
void Patch(const std::string& path, size_t offset, const std::string& bytes) {
  std::string image = ReadWholeFile(path);
  image.replace(offset, bytes.size(), bytes);
  WriteWholeFile(path, image);
}


TEST_F(MdaFileTest, CreateWritesTheHeaderAndStaysWritable) {
  TMdaFile f;
  ASSERT_TRUE(f.CreateProject(Path(), 3, refs, std::string(70, 'T'), 2077));
  EXPECT_TRUE(f.IsWritable());
  EXPECT_EQ(f.FileSize(), 2048);
  EXPECT_EQ(f.Header.Version, 7);
  EXPECT_EQ(f.RequiredRelease(), refs.release);
  EXPECT_EQ(f.Header.Country, refs.country);
  EXPECT_EQ(f.ProjectState(), 3);
  EXPECT_EQ(f.ProjectYear(), 2077);
  EXPECT_EQ(f.Title(), std::string(60, 'T'));
  EXPECT_EQ(f.LastUpdate(), TodayDay());
  EXPECT_EQ(f.RecordCount(), 0);
  f.Close();
  TMdaFile g;
  ASSERT_TRUE(g.OpenProject(Path(), true, refs));
  EXPECT_EQ(g.Title(), std::string(60, 'T'));
  EXPECT_TRUE(g.IsWritable());
}

TEST_F(MdaFileTest, OpenChecksVersionSizeCountryAndReleaseInThatOrder) {
  {
    TMdaFile f;
    ASSERT_TRUE(MakeProject(f, Path(), refs, {1, 2}));
  }
  const std::string good = ReadWholeFile(Path());
  TMdaFile f;

  Patch(Path(), 0, std::string(1, '\x05'));
  WriteWholeFile(Path(), ReadWholeFile(Path()) + "x");  // also damaged: the version is told first
  EXPECT_FALSE(f.OpenProject(Path(), true, refs));
  EXPECT_EQ(f.ErrorState, esVersion);
  EXPECT_EQ(f.ErrorText(), "File is wrong version.");
  EXPECT_FALSE(f.IsOpen());

  for (const std::string& damaged : {good + "x", good.substr(0, good.size() - 2048), good + std::string(2048, 0)}) {
    WriteWholeFile(Path(), damaged);
    EXPECT_FALSE(f.OpenProject(Path(), true, refs));
    EXPECT_EQ(f.ErrorState, esFormat);
    EXPECT_EQ(f.ErrorText(), "File is wrong format or damaged.");
  }

  WriteWholeFile(Path(), good);
  TFakeRefs canada = refs;
  canada.country = 2;
  canada.release = 1;  // also too old: the country is told first
  EXPECT_FALSE(f.OpenProject(Path(), true, canada));
  EXPECT_EQ(f.ErrorState, esCountry);
  EXPECT_EQ(f.ErrorText(), "Wrong country for file.");

  TFakeRefs older = refs;
  older.release = 39900;
  EXPECT_FALSE(f.OpenProject(Path(), true, older));
  EXPECT_EQ(f.ErrorState, esRelease);
  EXPECT_EQ(f.FullErrorText(), Path() + "\r\nFile requires release 7/8/2009 or later of stnd-usa.mdf file. "
                                        "Your release is 3/30/2009.");
  EXPECT_FALSE(f.IsOpen());

  TFakeRefs newer = refs;
  newer.release = 40100;
  EXPECT_TRUE(f.OpenProject(Path(), true, newer));
}

TEST_F(MdaFileTest, ReleaseDatesPast2078AreSpelledOutInTheMessage) {
  TFakeRefs latest = refs;
  latest.release = 65535;  // the last day a file can hold
  {
    TMdaFile g;
    ASSERT_TRUE(g.CreateProject(Path(), 0, latest, "Future", 2012));
  }
  TFakeRefs older = refs;
  older.release = 65000;
  TMdaFile f;
  EXPECT_FALSE(f.OpenProject(Path(), true, older));
  EXPECT_EQ(f.ErrorText(), "File requires release 6/6/2079 or later of stnd-usa.mdf file. Your release is 12/18/2077.");
}

TEST_F(MdaFileTest, LockedOrReadOnlyFilesOpenForReadingOnly) {
  {
    TMdaFile f;
    ASSERT_TRUE(MakeProject(f, Path(), refs, {1}));
    f.Header.Flags = kHeaderLocked;
    ASSERT_TRUE(f.WriteHeader(true));
  }
  TMdaFile f;
  ASSERT_TRUE(f.OpenProject(Path(), true, refs));
  EXPECT_TRUE(f.IsLocked());
  EXPECT_TRUE(f.IsReadOnly());
  EXPECT_FALSE(f.IsWritable());
  int number = 0;
  EXPECT_FALSE(f.InsertRecord(NamedRecord(f, 5), 0, number));
  EXPECT_EQ(f.ErrorState, esWrite);

  TMdaFile g;
  ASSERT_TRUE(g.OpenProject(Path(), false, refs));
  EXPECT_TRUE(g.IsReadOnly());
}

TEST_F(MdaFileTest, OpensReadOnlyWhileAnotherProcessReadsTheFile) {
  {
    TMdaFile f;
    ASSERT_TRUE(MakeProject(f, Path(), refs, {1}));
  }
  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {  // holds the file as a reader would, until told to stop
    int fd = open(Path().c_str(), O_RDONLY);
    char c = (fd >= 0 && flock(fd, LOCK_SH | LOCK_NB) == 0) ? 'y' : 'n';
    (void)!write(ready[1], &c, 1);
    (void)!read(release[0], &c, 1);
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  TMdaFile f;
  EXPECT_TRUE(f.OpenProject(Path(), true, refs));
  EXPECT_TRUE(f.IsReadOnly());
  EXPECT_FALSE(f.IsWritable());
  f.Close();
  (void)!write(release[1], "x", 1);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(f.OpenProject(Path(), true, refs));
  EXPECT_TRUE(f.IsWritable());
  // A project open for writing keeps every other opener out.
  TMdaFile other;
  EXPECT_FALSE(other.OpenProject(Path(), false, refs));
  EXPECT_EQ(other.ErrorState, esOpen);
}

TEST_F(MdaFileTest, WriteRecordKeepsTheHeaderCurrent) {
  TMdaFile f;
  ASSERT_TRUE(MakeProject(f, Path(), refs, {1, 2, 3}));
  EXPECT_EQ(f.FileSize(), 8192);
  f.Header.Req_Release = 100;
  f.Header.Last_Update = 5;
  ASSERT_TRUE(f.WriteHeader(true));
  ASSERT_TRUE(f.WriteRecord(4, NamedRecord(f, 4), true));
  EXPECT_EQ(f.RecordCount(), 4);
  EXPECT_EQ(f.FileSize(), 10240);
  EXPECT_EQ(f.RequiredRelease(), refs.release);
  EXPECT_EQ(f.LastUpdate(), TodayDay());
  TMdaHeader onDisk{};
  ASSERT_TRUE(f.ReadRecords(0, 1, &onDisk));
  EXPECT_EQ(std::memcmp(&onDisk, &f.Header, sizeof onDisk), 0);

  EXPECT_FALSE(f.WriteRecord(32768, NamedRecord(f, 9), false));
  EXPECT_EQ(f.ErrorState, esTooMany);
  EXPECT_EQ(f.ErrorText(), "No more records can be added to file (maximum 32767).");
  EXPECT_FALSE(f.WriteRecord(0, NamedRecord(f, 9), false));  // never over the header
  EXPECT_EQ(f.Header.Version, 7);
  TFieldRec r;
  EXPECT_FALSE(f.ReadRecord(5, r));
  EXPECT_EQ(f.ErrorState, esRead);
}

TEST_F(MdaFileTest, NewRecordTakesTheFileYearAndState) {
  TMdaFile single, multi;
  ASSERT_TRUE(single.CreateProject(Path("s.tsj"), 2, refs, "", 2015));
  ASSERT_TRUE(multi.CreateProject(Path("m.tsj"), 0, refs, "", 2016));
  const TFieldRec a = single.NewRecord(17, 3), b = multi.NewRecord(18, 3);
  EXPECT_EQ(a.Field_ID, 17);
  EXPECT_EQ(a.Year, 2015);
  EXPECT_EQ(a.State, 2);
  EXPECT_EQ(b.Year, 2016);
  EXPECT_EQ(b.State, 3);
  EXPECT_EQ(b.Residue, -1);
  EXPECT_EQ(b.Soil_Slope[2], -1.0f);
}

TEST_F(MdaFileTest, SetPropertiesTruncatesAndZeroesTheRest) {
  TMdaFile f;
  ASSERT_TRUE(f.CreateProject(Path(), 0, refs, "Old title that is long", 2012));
  f.Header.Last_Update = 1;
  ASSERT_TRUE(f.SetProperties("New", std::string(61, 'a'), "Co", std::string(300, 'c')));
  f.Close();
  TMdaFile g;
  ASSERT_TRUE(g.OpenProject(Path(), false, refs));
  EXPECT_EQ(g.Title(), "New");
  EXPECT_EQ(g.Author(), std::string(60, 'a'));
  EXPECT_EQ(g.Company(), "Co");
  EXPECT_EQ(g.Comments(), std::string(254, 'c'));
  EXPECT_EQ(g.LastUpdate(), TodayDay());
  const std::string bytes = ReadWholeFile(Path());
  EXPECT_EQ(bytes.substr(11 + 1 + 3, 57), std::string(57, '\0'));  // after "New"
  // A read-only file keeps its header as it was, in memory as on disk.
  EXPECT_FALSE(g.SetProperties("Changed", "", "", ""));
  EXPECT_EQ(g.Title(), "New");
}

TEST_F(MdaFileTest, InsertKeepsFieldIdOrder) {
  TMdaFile f;
  ASSERT_TRUE(MakeProject(f, Path(), refs, {3, 7, 9}));
  int number = 0;
  ASSERT_TRUE(f.InsertRecord(NamedRecord(f, 5, "North"), 0, number));
  EXPECT_EQ(number, 2);
  EXPECT_EQ(Ids(f), (std::vector<int32_t>{3, 5, 7, 9}));
  ASSERT_TRUE(f.InsertRecord(NamedRecord(f, 1), 0, number));
  EXPECT_EQ(number, 1);
  ASSERT_TRUE(f.InsertRecord(NamedRecord(f, 12), 0, number));
  EXPECT_EQ(number, 6);
  EXPECT_EQ(Ids(f), (std::vector<int32_t>{1, 3, 5, 7, 9, 12}));
  EXPECT_EQ(f.FileSize(), 7 * 2048);
  EXPECT_TRUE(f.IsWritable());
  TFieldRec r;
  ASSERT_TRUE(f.ReadRecord(3, r));
  EXPECT_EQ(r.Field_Name.Str(), "North");
}

TEST_F(MdaFileTest, RenameMovesTheRecordAndKeepsItsData) {
  TMdaFile f;
  ASSERT_TRUE(MakeProject(f, Path(), refs, {3, 7, 9}));
  ASSERT_TRUE(f.SetProperties("T", "Author", "Company", "Comments"));
  TFieldRec r;
  ASSERT_TRUE(f.ReadRecord(1, r));
  r.Field_ID = 8;
  r.Notes = "Limed in 2010";
  int number = 0;
  ASSERT_TRUE(f.InsertRecord(r, 1, number));
  EXPECT_EQ(number, 2);
  EXPECT_EQ(Ids(f), (std::vector<int32_t>{7, 8, 9}));
  ASSERT_TRUE(f.ReadRecord(2, r));
  EXPECT_EQ(r.Notes.Str(), "Limed in 2010");
  ASSERT_TRUE(f.ReadRecord(3, r));
  r.Field_ID = 2;
  ASSERT_TRUE(f.InsertRecord(r, 3, number));
  EXPECT_EQ(number, 1);
  EXPECT_EQ(Ids(f), (std::vector<int32_t>{2, 7, 8}));
  // The rebuilt file carries the header texts over.
  EXPECT_EQ(f.Author(), "Author");
  EXPECT_EQ(f.Company(), "Company");
  EXPECT_EQ(f.Comments(), "Comments");
  EXPECT_EQ(FolderFiles(dir.Path()), std::vector<std::string>{"p.tsj"});
}

TEST_F(MdaFileTest, DeleteReturnsTheRecordThatTakesItsPlace) {
  TMdaFile f;
  ASSERT_TRUE(MakeProject(f, Path(), refs, {10, 20, 30, 40}));
  TFieldRec next;
  int nextNumber = 0;
  ASSERT_TRUE(f.DeleteRecord(4, next, nextNumber));
  EXPECT_EQ(nextNumber, 3);
  EXPECT_EQ(next.Field_ID, 30);
  ASSERT_TRUE(f.DeleteRecord(2, next, nextNumber));
  EXPECT_EQ(nextNumber, 2);
  EXPECT_EQ(next.Field_ID, 30);
  EXPECT_EQ(Ids(f), (std::vector<int32_t>{10, 30}));
  ASSERT_TRUE(f.DeleteRecord(1, next, nextNumber));
  ASSERT_TRUE(f.DeleteRecord(1, next, nextNumber));
  EXPECT_EQ(nextNumber, 0);
  EXPECT_EQ(f.RecordCount(), 0);
  EXPECT_EQ(f.FileSize(), 2048);
  EXPECT_FALSE(f.DeleteRecord(1, next, nextNumber));
}

TEST_F(MdaFileTest, AtTheRecordLimitAddFailsButRenameWorks) {
  {
    TMdaFile f;
    ASSERT_TRUE(MakeProject(f, Path(), refs, {}));
    f.Header.Rec_Count = kMaxRecords;
    ASSERT_TRUE(f.WriteHeader(true));
    ASSERT_TRUE(f.WriteRecord(kMaxRecords, NamedRecord(f, 999), true));  // the rest reads as zeros
  }
  TMdaFile f;
  ASSERT_TRUE(f.OpenProject(Path(), true, refs));
  int number = 0;
  EXPECT_FALSE(f.InsertRecord(NamedRecord(f, 1000), 0, number));
  EXPECT_EQ(f.ErrorState, esTooMany);
  EXPECT_EQ(f.RecordCount(), kMaxRecords);
  ASSERT_TRUE(f.InsertRecord(NamedRecord(f, 5), kMaxRecords, number));
  EXPECT_EQ(number, kMaxRecords);
  EXPECT_EQ(f.RecordCount(), kMaxRecords);
  TFieldRec r;
  ASSERT_TRUE(f.ReadRecord(kMaxRecords, r));
  EXPECT_EQ(r.Field_ID, 5);
}

TEST_F(MdaFileTest, FindNextStartsWhereToldAndDoesNotWrap) {
  TMdaFile f;
  ASSERT_TRUE(MakeProject(f, Path(), refs, {1, 2, 3, 4, 5, 6}));
  auto even = [](const TFieldRec& r) { return r.Field_ID % 2 == 0; };
  TFieldRec r;
  int number = 0;
  ASSERT_TRUE(f.FindNext(1, even, r, number));
  EXPECT_EQ(number, 2);
  ASSERT_TRUE(f.FindNext(4, even, r, number));
  EXPECT_EQ(number, 4);
  EXPECT_EQ(r.Field_ID, 4);
  EXPECT_FALSE(f.FindNext(7, even, r, number));
  EXPECT_FALSE(f.FindNext(1, [](const TFieldRec& x) { return x.Field_ID == 99; }, r, number));
  EXPECT_EQ(f.ErrorState, esNone);
}

}  // namespace
