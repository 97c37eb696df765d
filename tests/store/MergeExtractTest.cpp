#include <gtest/gtest.h>
#include <unistd.h>

#include "../support/TempDir.h"
#include "FakeRefs.h"
#include "common/Locale.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "store/MdaFile.h"

namespace {

class MergeTest : public ::testing::Test {
 protected:
  void SetUp() override { PinUsLocale(); }
  std::string Path(const std::string& name = "p.tsj") const { return dir.File(name); }

  // A project whose records are all zero but one, built without writing them (a sparse file).
  void MakeLargeProject(const std::string& path, int count, uint16_t state = 0, uint16_t year = 2012) {
    TMdaFile f;
    ASSERT_TRUE(f.CreateProject(path, state, refs, "", year));
    f.Header.Rec_Count = static_cast<uint16_t>(count);
    ASSERT_TRUE(f.WriteHeader(true));
    ASSERT_EQ(truncate(path.c_str(), (count + 1) * 2048LL), 0);
  }

  // Merges `other` into the open project and returns the message.
  std::string Merge(TMdaFile& f, const std::string& other, bool expected) {
    std::string message;
    int current = 0;
    TFieldRec rec;
    EXPECT_EQ(f.MergeProject(other, nullptr, 1, message, current, rec), expected) << message;
    return message;
  }

  TTempDir dir;
  TFakeRefs refs;
};

TEST_F(MergeTest, PreChecksComeInOrderAndNameTheOtherFile) {
  TMdaFile f;
  ASSERT_TRUE(MakeProject(f, Path(), refs, {1}, 0, 2012));
  const std::string before = ReadWholeFile(Path());
  {
    TMdaFile o;
    ASSERT_TRUE(MakeProject(o, Path("locked.tsj"), refs, {}, 0, 2013));  // empty, wrong year too
    o.Header.Flags = kHeaderLocked;
    ASSERT_TRUE(o.WriteHeader(true));
    TMdaFile e;
    ASSERT_TRUE(MakeProject(e, Path("empty.tsj"), refs, {}, 2, 2013));
    TMdaFile s;
    ASSERT_TRUE(MakeProject(s, Path("state2.tsj"), refs, {7}, 2, 2013));
  }
  const std::string other = ExpandFileName(Path("locked.tsj"));
  EXPECT_EQ(Merge(f, Path("locked.tsj"), false), other + "\r\nFile is locked.");
  EXPECT_EQ(f.ErrorState, esMerge);
  EXPECT_EQ(f.ErrorText(), "Can't merge records into file.");
  EXPECT_EQ(Merge(f, Path("empty.tsj"), false), ExpandFileName(Path("empty.tsj")) + "\r\nFile contains 0 records.");
  // A multi-state project takes any state, so the year is what differs.
  EXPECT_EQ(Merge(f, Path("state2.tsj"), false), ExpandFileName(Path("state2.tsj")) + "\r\nFile's year doesn't match.");
  MakeLargeProject(Path("big.tsj"), kMaxRecords, 0, 2012);
  EXPECT_EQ(Merge(f, Path("big.tsj"), false),
            ExpandFileName(Path("big.tsj")) +
                "\r\nFile contains too many records to merge (maximum 32767 per file).");
  EXPECT_EQ(Merge(f, Path("missing.tsj"), false),
            ExpandFileName(Path("missing.tsj")) + "\r\nCan't open file. File does not exist.");
  EXPECT_TRUE(ReadWholeFile(Path()) == before);
  EXPECT_TRUE(f.IsWritable());
}

TEST_F(MergeTest, SingleStateProjectsTakeOnlyTheirStateAndLockedFilesOfIt) {
  TMdaFile f;
  ASSERT_TRUE(MakeProject(f, Path(), refs, {1}, 2, 2012));
  {
    TMdaFile multi, other, locked;
    ASSERT_TRUE(MakeProject(multi, Path("multi.tsj"), refs, {3}, 0, 2012));
    ASSERT_TRUE(MakeProject(other, Path("s3.tsj"), refs, {3}, 3, 2012));
    ASSERT_TRUE(MakeProject(locked, Path("locked.tsj"), refs, {3}, 2, 2012));
    locked.Header.Flags = kHeaderLocked;
    ASSERT_TRUE(locked.WriteHeader(true));
  }
  EXPECT_EQ(Merge(f, Path("multi.tsj"), false), ExpandFileName(Path("multi.tsj")) + "\r\nFile's state doesn't match.");
  EXPECT_EQ(Merge(f, Path("s3.tsj"), false), ExpandFileName(Path("s3.tsj")) + "\r\nFile's state doesn't match.");
  EXPECT_EQ(Merge(f, Path("locked.tsj"), false), ExpandFileName(Path("locked.tsj")) + "\r\nFile is locked.");

  // Into a multi-state project a locked single-state file merges.
  TMdaFile m;
  ASSERT_TRUE(MakeProject(m, Path("m2.tsj"), refs, {1}, 0, 2012));
  Merge(m, Path("locked.tsj"), true);
  EXPECT_EQ(Ids(m), (std::vector<int32_t>{1, 3}));
}

TEST_F(MergeTest, TwentyThousandIntoTwelveThousandSevenHundredSixtyEightIsRefused) {
  MakeLargeProject(Path(), 12768);
  MakeLargeProject(Path("other.tsj"), 20000);
  TMdaFile f;
  ASSERT_TRUE(f.OpenProject(Path(), true, refs));
  EXPECT_EQ(Merge(f, Path("other.tsj"), false),
            ExpandFileName(Path("other.tsj")) +
                "\r\nFile contains too many records to merge (maximum 32767 per file).");
}

TEST_F(MergeTest, MergedRecordsFollowFieldIdAndTheCurrentRecordIsTracked) {
  TMdaFile f;
  ASSERT_TRUE(MakeProject(f, Path(), refs, {10, 20, 30}));
  ASSERT_TRUE(f.SetProperties("Title", "Author", "Company", "Comments"));
  {
    TMdaFile o;
    ASSERT_TRUE(MakeProject(o, Path("other.tsj"), refs, {5, 25, 40, 50}));
  }
  std::string asked;
  int askedCount = 0;
  auto confirm = [&](const std::string& mine, const std::string& other, int count) {
    asked = ExtractFileName(mine) + "+" + ExtractFileName(other);
    askedCount = count;
    return true;
  };
  std::string message;
  int current = 0;
  TFieldRec rec;
  ASSERT_TRUE(f.MergeProject(Path("other.tsj"), confirm, 2, message, current, rec)) << message;
  EXPECT_EQ(asked, "p.tsj+other.tsj");
  EXPECT_EQ(askedCount, 4);
  EXPECT_EQ(Ids(f), (std::vector<int32_t>{5, 10, 20, 25, 30, 40, 50}));
  EXPECT_EQ(current, 3);
  EXPECT_EQ(rec.Field_ID, 20);
  EXPECT_EQ(f.Author(), "Author");
  EXPECT_EQ(f.Comments(), "Comments");
  EXPECT_TRUE(f.IsWritable());
  EXPECT_EQ(FolderFiles(dir.Path()), (std::vector<std::string>{"other.tsj", "p.tsj"}));

  EXPECT_FALSE(f.MergeProject(Path("other.tsj"), [](auto&, auto&, int) { return false; }, 1, message, current, rec));
  EXPECT_EQ(message, "Merge canceled by user.");
}

TEST_F(MergeTest, MergingIntoAnEmptyProjectMakesTheFirstOtherRecordCurrent) {
  TMdaFile f;
  ASSERT_TRUE(MakeProject(f, Path(), refs, {}));
  {
    TMdaFile o;
    ASSERT_TRUE(MakeProject(o, Path("other.tsj"), refs, {8, 9}));
  }
  std::string message;
  int current = 0;
  TFieldRec rec;
  ASSERT_TRUE(f.MergeProject(Path("other.tsj"), nullptr, 0, message, current, rec));
  EXPECT_EQ(current, 1);
  EXPECT_EQ(rec.Field_ID, 8);
  EXPECT_EQ(f.RecordCount(), 2);
}

TEST_F(MergeTest, SharedIdsAndNamesStopTheMergeAndChangeNothing) {
  TMdaFile f;
  ASSERT_TRUE(f.CreateProject(Path(), 0, refs, "", 2012));
  ASSERT_TRUE(f.WriteRecord(1, NamedRecord(f, 10, "North", " a "), false));
  ASSERT_TRUE(f.WriteRecord(2, NamedRecord(f, 20), false));
  ASSERT_TRUE(f.WriteRecord(3, NamedRecord(f, 30, "South"), false));
  const std::string before = ReadWholeFile(Path());
  {
    TMdaFile o;
    ASSERT_TRUE(o.CreateProject(Path("names.tsj"), 0, refs, "", 2012));
    ASSERT_TRUE(o.WriteRecord(1, NamedRecord(o, 11), false));           // no names: never clash
    ASSERT_TRUE(o.WriteRecord(2, NamedRecord(o, 25, "NORTH", " A "), false));
    TMdaFile i;
    ASSERT_TRUE(MakeProject(i, Path("ids.tsj"), refs, {5, 30}));
  }
  EXPECT_EQ(Merge(f, Path("names.tsj"), false), "Field name \"NORTH A\" is used in both project files.");
  EXPECT_EQ(Merge(f, Path("ids.tsj"), false), "Field ID 30 is used in both project files.");
  EXPECT_TRUE(ReadWholeFile(Path()) == before);
  EXPECT_EQ(FolderFiles(dir.Path()), (std::vector<std::string>{"ids.tsj", "names.tsj", "p.tsj"}));

  // Same name with another subfield is no clash.
  TMdaFile g;
  ASSERT_TRUE(g.CreateProject(Path("g.tsj"), 0, refs, "", 2012));
  ASSERT_TRUE(g.WriteRecord(1, NamedRecord(g, 1, "North", "b"), false));
  ASSERT_TRUE(g.WriteRecord(2, NamedRecord(g, 2), false));
  Merge(g, Path("names.tsj"), true);
  EXPECT_EQ(Ids(g), (std::vector<int32_t>{1, 2, 11, 25}));
}

class ExtractTest : public MergeTest {};

TEST_F(ExtractTest, CopiesFilteredRecordsInOrderWithTheGivenYearAndTitle) {
  TMdaFile f;
  ASSERT_TRUE(MakeProject(f, Path(), refs, {1, 2, 3, 4, 5}, 2, 2012));
  std::string donePath;
  int doneCount = 0;
  auto done = [&](const std::string& path, int count) {
    donePath = path;
    doneCount = count;
  };
  auto odd = [](TFieldRec& r) {
    r.Notes = "copy";
    return r.Field_ID % 2 == 1;
  };
  std::string message;
  ASSERT_TRUE(f.ExtractProject(Path("x.tsj"), 2013, done, odd, "Next year", message)) << message;
  EXPECT_EQ(donePath, ExpandFileName(Path("x.tsj")));
  EXPECT_EQ(doneCount, 3);
  TMdaFile x;
  ASSERT_TRUE(x.OpenProject(Path("x.tsj"), false, refs));
  EXPECT_EQ(Ids(x), (std::vector<int32_t>{1, 3, 5}));
  EXPECT_EQ(x.ProjectYear(), 2013);
  EXPECT_EQ(x.ProjectState(), 2);
  EXPECT_EQ(x.Title(), "Next year");
  EXPECT_FALSE(x.IsLocked());
  TFieldRec r;
  ASSERT_TRUE(x.ReadRecord(2, r));
  EXPECT_EQ(r.Notes.Str(), "copy");
  ASSERT_TRUE(f.ReadRecord(1, r));
  EXPECT_EQ(r.Notes.Str(), "");  // the open project is not changed
}

TEST_F(ExtractTest, NothingSelectedMakesNoFile) {
  TMdaFile f;
  ASSERT_TRUE(MakeProject(f, Path(), refs, {1, 2}));
  std::string message;
  EXPECT_FALSE(f.ExtractProject(Path("x.tsj"), 2012, nullptr, [](TFieldRec&) { return false; }, "", message));
  EXPECT_EQ(message, "No records in selected subset.");
  EXPECT_EQ(f.ErrorState, esExtract);
  EXPECT_EQ(f.ErrorText(), "Can't extract records from file.");
  EXPECT_FALSE(std::filesystem::exists(Path("x.tsj")));
}

TEST_F(ExtractTest, ALockedProjectGivesALockedExtract) {
  {
    TMdaFile f;
    ASSERT_TRUE(MakeProject(f, Path(), refs, {1, 2}));
    f.Header.Flags = kHeaderLocked;
    ASSERT_TRUE(f.WriteHeader(true));
  }
  TMdaFile f;
  ASSERT_TRUE(f.OpenProject(Path(), true, refs));
  std::string message;
  ASSERT_TRUE(f.ExtractProject(Path("x.tsj"), 2012, nullptr, nullptr, "", message));
  TMdaFile x;
  ASSERT_TRUE(x.OpenProject(Path("x.tsj"), true, refs));
  EXPECT_TRUE(x.IsLocked());
  EXPECT_EQ(x.RecordCount(), 2);
}

TEST_F(ExtractTest, AFullDiskLeavesNoPartialFile) {
  std::vector<int32_t> ids;
  for (int i = 1; i <= 300; ++i) ids.push_back(i);
  TMdaFile f;
  ASSERT_TRUE(MakeProject(f, Path(), refs, ids));
  const std::string before = ReadWholeFile(Path());
  WriteWholeFile(Path("x.tsj"), "an older extract");
  int writes = 0;
  SetIoFaultHook([&](TIoOp op, const std::string& path) {
    return op == TIoOp::Write && ExtractFileExt(path) == ".tmp" && ++writes == 2;
  });
  std::string message;
  EXPECT_FALSE(f.ExtractProject(Path("x.tsj"), 2012, nullptr, nullptr, "", message));
  SetIoFaultHook(nullptr);
  EXPECT_EQ(message, ExpandFileName(Path("x.tsj")) + "\r\nCan't write to file.");
  EXPECT_EQ(ReadWholeFile(Path("x.tsj")), "an older extract");
  EXPECT_TRUE(ReadWholeFile(Path()) == before);
  EXPECT_EQ(FolderFiles(dir.Path()), (std::vector<std::string>{"p.tsj", "x.tsj"}));
}

TEST_F(ExtractTest, TheOpenProjectCannotBeItsOwnTarget) {
  TMdaFile f;
  ASSERT_TRUE(MakeProject(f, Path(), refs, {1, 2}));
  const std::string before = ReadWholeFile(Path());
  std::string message;
  EXPECT_FALSE(f.ExtractProject(Path(), 2012, nullptr, nullptr, "", message));
  EXPECT_EQ(message, ExpandFileName(Path()) +
                         "\r\nCan't write over a file that is in use as an input. Choose another name for the output.");
  EXPECT_TRUE(ReadWholeFile(Path()) == before);
}

}  // namespace
