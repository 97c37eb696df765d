// Rebuilds (insert, rename, delete, merge) under failing input/output: the project file must stay
// byte for byte as it was, still open, and no temporary file may be left behind.
#include <gtest/gtest.h>

#include <functional>

#include "../support/TempDir.h"
#include "FakeRefs.h"
#include "common/Locale.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "store/MdaFile.h"

namespace {

bool IsTempName(const std::string& path) {
  const std::string name = ExtractFileName(path);
  return name.rfind("tsj", 0) == 0 && ExtractFileExt(name) == ".tmp";
}

// Fails the `nth` operation `op` on the temporary file (counted from 1).
TIoFaultHook FailOnTemp(TIoOp op, int nth = 1) {
  auto seen = std::make_shared<int>(0);
  return [=](TIoOp o, const std::string& path) { return o == op && IsTempName(path) && ++*seen == nth; };
}

struct TFaultCase {
  const char* name;
  std::function<TIoFaultHook()> hook;
};

void PrintTo(const TFaultCase& c, std::ostream* os) { *os << c.name; }

class RebuildFaultTest : public ::testing::TestWithParam<TFaultCase> {
 protected:
  void SetUp() override {
    PinUsLocale();
    std::vector<int32_t> ids;
    for (int i = 1; i <= 600; ++i) ids.push_back(i * 10);  // more than two copy batches
    ASSERT_TRUE(MakeProject(file, Path(), refs, ids));
    TMdaFile other;
    ASSERT_TRUE(MakeProject(other, dir.File("other.tsj"), refs, {5, 15, 6001}));
    original = ReadWholeFile(Path());
    otherBytes = ReadWholeFile(dir.File("other.tsj"));
  }
  void TearDown() override { SetIoFaultHook(nullptr); }
  std::string Path() const { return dir.File("p.tsj"); }

  // The project is unchanged on disk, still open and usable, and nothing else lies beside it.
  void ExpectUntouched() {
    SetIoFaultHook(nullptr);
    EXPECT_EQ(ReadWholeFile(Path()) == original, true);
    EXPECT_EQ(ReadWholeFile(dir.File("other.tsj")) == otherBytes, true);
    EXPECT_EQ(FolderFiles(dir.Path()), (std::vector<std::string>{"other.tsj", "p.tsj"}));
    EXPECT_EQ(file.RecordCount(), 600);
    TFieldRec r;
    EXPECT_TRUE(file.ReadRecord(600, r));
    EXPECT_EQ(r.Field_ID, 6000);
  }

  TTempDir dir;
  TFakeRefs refs;
  TMdaFile file;
  std::string original, otherBytes;
};

TEST_P(RebuildFaultTest, InsertLeavesTheProjectAsItWas) {
  SetIoFaultHook(GetParam().hook());
  int number = 0;
  EXPECT_FALSE(file.InsertRecord(NamedRecord(file, 55), 0, number));
  EXPECT_NE(file.ErrorState, esNone);
  ExpectUntouched();
}

TEST_P(RebuildFaultTest, RenameLeavesTheProjectAsItWas) {
  TFieldRec r;
  ASSERT_TRUE(file.ReadRecord(3, r));
  r.Field_ID = 99999;
  SetIoFaultHook(GetParam().hook());
  int number = 0;
  EXPECT_FALSE(file.InsertRecord(r, 3, number));
  ExpectUntouched();
}

TEST_P(RebuildFaultTest, DeleteLeavesTheProjectAsItWas) {
  SetIoFaultHook(GetParam().hook());
  TFieldRec next;
  int number = 0;
  EXPECT_FALSE(file.DeleteRecord(1, next, number));
  ExpectUntouched();
}

TEST_P(RebuildFaultTest, MergeLeavesTheProjectAsItWas) {
  SetIoFaultHook(GetParam().hook());
  std::string message;
  int current = 0;
  TFieldRec rec;
  EXPECT_FALSE(file.MergeProject(dir.File("other.tsj"), nullptr, 1, message, current, rec));
  EXPECT_EQ(file.ErrorState, esMerge);
  EXPECT_FALSE(message.empty());
  ExpectUntouched();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RebuildFaultTest,
    ::testing::Values(TFaultCase{"FirstWriteFailsHalfWay", [] { return FailOnTemp(TIoOp::Write, 2); }},
                      TFaultCase{"DiskFullInTheLastBatch", [] { return FailOnTemp(TIoOp::Write, 4); }},
                      TFaultCase{"CreateFails", [] { return FailOnTemp(TIoOp::Open); }},
                      TFaultCase{"FlushFails", [] { return FailOnTemp(TIoOp::Sync); }},
                      TFaultCase{"RenameFails",
                                 [] {
                                   return TIoFaultHook(
                                       [](TIoOp o, const std::string&) { return o == TIoOp::Rename; });
                                 }},
                      TFaultCase{"ProjectReadFails",
                                 [] {
                                   auto seen = std::make_shared<int>(0);
                                   return TIoFaultHook([=](TIoOp o, const std::string& path) {
                                     return o == TIoOp::Read && ExtractFileName(path) == "p.tsj" && ++*seen == 2;
                                   });
                                 }}),
    [](const ::testing::TestParamInfo<TFaultCase>& info) { return std::string(info.param.name); });

}  // namespace
