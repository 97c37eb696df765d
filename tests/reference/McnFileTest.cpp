#include "reference/McnFile.h"

#include <gtest/gtest.h>

#include <cstring>

#include "../support/RefSamples.h"
#include "../support/TempDir.h"
#include "filebase/IoFault.h"

namespace {

class McnFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.File("usa.mcn");
    std::string message;
    ASSERT_TRUE(WriteMcnFile(path, SampleCounties(), message)) << message;
    ASSERT_TRUE(mcn.Load(path)) << mcn.FullErrorText();
  }
  void TearDown() override { SetIoFaultHook(nullptr); }

  // Loads a copy of the sample file changed by `edit`; returns the error text.
  std::string LoadEdited(void (*edit)(std::string& image)) {
    std::string image = ReadWholeFile(path);
    edit(image);
    const std::string edited = dir.File("edited.mcn");
    WriteWholeFile(edited, image);
    TMcnFile other;
    EXPECT_FALSE(other.Load(edited));
    EXPECT_FALSE(other.IsOpen());
    EXPECT_EQ(other.StateCount(), 0);
    return other.ErrorText();
  }

  TTempDir dir;
  std::string path;
  TMcnFile mcn;
};

// Sets a 16-bit value of record `rec` at `offset`.
void Poke16(std::string& image, int rec, int offset, uint16_t value) {
  std::memcpy(image.data() + rec * kMcnRecordSize + offset, &value, 2);
}

}  // namespace

TEST_F(McnFileTest, HeaderAndStates) {
  EXPECT_TRUE(mcn.IsOpen());  // kept open for county reads
  EXPECT_EQ(mcn.CountryCode(), 1);
  EXPECT_EQ(mcn.CountryName(), "USA");
  EXPECT_EQ(mcn.RegionWord(), "state");
  EXPECT_EQ(mcn.RegionWordCapitalized(), "State");
  EXPECT_EQ(mcn.AddressSelector(), 0);
  EXPECT_EQ(mcn.StateCount(), 3);
  EXPECT_EQ(mcn.StateAbbrev(2), "IA");
  EXPECT_EQ(mcn.StateName(3), "New Mexico");
  EXPECT_EQ(mcn.StateCode(2), 19);
  EXPECT_EQ(mcn.StateName(0), "");
  EXPECT_EQ(mcn.StateName(4), "");
  EXPECT_EQ(mcn.StateCode(4), 0);
  EXPECT_EQ(mcn.FindStateByAbbrev("ia"), 2);
  EXPECT_EQ(mcn.FindStateByAbbrev("TX"), 0);
  EXPECT_EQ(mcn.FindStateByCode(35), 3);
  EXPECT_EQ(mcn.FindStateByCode(48), 0);
}

TEST_F(McnFileTest, CountiesAreReadFromTheOpenFile) {
  EXPECT_EQ(mcn.CountyCount(1), 3);
  EXPECT_EQ(mcn.CountyCount(9), 0);
  EXPECT_EQ(mcn.CountyName(3, 1), "Barbour");
  EXPECT_EQ(mcn.CountyName(1, 2), "Adair");
  EXPECT_EQ(mcn.CountyName(1, 3), "Do\xF1" "a Ana");
  EXPECT_EQ(mcn.CountyCode(2, 2), 3);
  EXPECT_EQ(mcn.CountyName(1, 0), "");
  EXPECT_EQ(mcn.CountyName(0, 1), "");
  EXPECT_EQ(mcn.CountyName(4, 1), "");  // count + 1 is not Iowa's first county
  EXPECT_EQ(mcn.CountyCode(3, 2), 0);
  EXPECT_EQ(mcn.FindCountyByCode(5, 1), 3);
  EXPECT_EQ(mcn.FindCountyByCode(13, 1), 0);
  EXPECT_EQ(mcn.FindCountyByCode(13, 3), 1);
}

TEST_F(McnFileTest, ReadErrorsGoToTheHandler) {
  int calls = 0;
  std::string shown;
  int failures = 2;
  SetIoFaultHook([&](TIoOp op, const std::string&) { return op == TIoOp::Read && failures-- > 0; });
  TMcnFile retried;
  SetIoFaultHook(nullptr);
  ASSERT_TRUE(retried.Load(path, [&](const std::string& text) {
    ++calls;
    shown = text;
    return true;
  }));
  SetIoFaultHook([&](TIoOp op, const std::string&) { return op == TIoOp::Read && failures-- > 0; });
  EXPECT_EQ(retried.CountyName(2, 1), "Baldwin");  // two failures, two retries
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(shown, retried.FileName + "\r\nCan't read file.");
  // Giving up yields the empty result and clears the error.
  failures = 1;
  TMcnFile givenUp;
  SetIoFaultHook(nullptr);
  ASSERT_TRUE(givenUp.Load(path, [](const std::string&) { return false; }));
  SetIoFaultHook([&](TIoOp op, const std::string&) { return op == TIoOp::Read && failures-- > 0; });
  EXPECT_EQ(givenUp.CountyCode(2, 1), 0);
  EXPECT_EQ(givenUp.ErrorState, esNone);
  EXPECT_EQ(givenUp.CountyCode(2, 1), 3);
  // Without a handler a failed read is given up at once.
  failures = 1;
  EXPECT_EQ(mcn.CountyName(1, 2), "");
  EXPECT_EQ(mcn.CountyName(1, 2), "Adair");
}

TEST_F(McnFileTest, DamagedFilesAreRefused) {
  const std::string damaged = "File is wrong format or damaged.";
  EXPECT_EQ(LoadEdited([](std::string& i) { i[0] = 2; }), "File is wrong version.");
  EXPECT_EQ(LoadEdited([](std::string& i) { i += std::string(kMcnRecordSize, '\0'); }), damaged);
  EXPECT_EQ(LoadEdited([](std::string& i) { i.resize(i.size() - kMcnRecordSize); }), damaged);
  // First county record inside the state table.
  EXPECT_EQ(LoadEdited([](std::string& i) { Poke16(i, 2, 0, 3); }), damaged);
  // County block running past the end of the file.
  EXPECT_EQ(LoadEdited([](std::string& i) { Poke16(i, 3, 0, 10); }), damaged);
  // A county count of 255.
  EXPECT_EQ(LoadEdited([](std::string& i) { i[kMcnRecordSize + 2] = static_cast<char>(255); }), damaged);
}

TEST_F(McnFileTest, LastBlockEndingAtTheEndOfTheFileIsSound) {
  // New Mexico's single county is the file's last record: first + count = records.
  EXPECT_EQ(mcn.CountyName(1, 3), "Do\xF1" "a Ana");
  TMcnContents c = SampleCounties();
  c.States.clear();
  std::string message;
  ASSERT_TRUE(WriteMcnFile(dir.File("empty.mcn"), c, message)) << message;
  TMcnFile empty;
  EXPECT_TRUE(empty.Load(dir.File("empty.mcn")));
  EXPECT_EQ(empty.StateCount(), 0);
}

TEST_F(McnFileTest, MoreThanFiftyStatesAreRefusedAsDamaged) {
  // 51 states over a file of exactly the declared size: the 50th state's record is doubled.
  TMcnContents c = SampleCounties();
  c.States.resize(50, TMcnState{"XX", "Extra", 99, {{"Only", 1}}});
  std::string image, message;
  ASSERT_TRUE(EncodeMcn(c, image, message)) << message;
  const std::string state = image.substr(50 * kMcnRecordSize, kMcnRecordSize);
  std::string big = image.substr(0, 51 * kMcnRecordSize) + state + image.substr(51 * kMcnRecordSize);
  big[3] = 51;
  for (int s = 1; s <= 51; ++s) {
    uint16_t first;
    std::memcpy(&first, big.data() + s * kMcnRecordSize, 2);
    Poke16(big, s, 0, static_cast<uint16_t>(first + 1));
  }
  const std::string bigPath = dir.File("big.mcn");
  WriteWholeFile(bigPath, big);
  TMcnFile other;
  EXPECT_FALSE(other.Load(bigPath));
  EXPECT_EQ(other.ErrorState, esFormat);
  // The same file with 50 states loads.
  ASSERT_TRUE(WriteMcnFile(bigPath, c, message));
  EXPECT_TRUE(other.Load(bigPath)) << other.FullErrorText();
  EXPECT_EQ(other.StateCount(), 50);
  EXPECT_EQ(other.CountyName(1, 50), "Only");
}

TEST(CountrySettings, AddressRulesBySelector) {
  const TCountrySettings us(0), other(3);
  EXPECT_EQ(us.StateLengthLimit(), 2);
  EXPECT_EQ(other.StateLengthLimit(), 5);
  EXPECT_EQ(us.PostalCodeLabel(), "Zip Code");
  EXPECT_EQ(other.PostalCodeLabel(), "Postal Code");
  std::string zip = "50011-1234";
  EXPECT_TRUE(ApplyEntryRule(us.PostalCodeCharRule(), us.PostalCodeLengthLimit(), zip));
  zip = "5001A";
  EXPECT_FALSE(ApplyEntryRule(us.PostalCodeCharRule(), us.PostalCodeLengthLimit(), zip));
  std::string postal = "k1a 0b1";
  EXPECT_TRUE(ApplyEntryRule(other.PostalCodeCharRule(), other.PostalCodeLengthLimit(), postal));
  EXPECT_EQ(postal, "K1A 0B1");
  postal = "k1a 0b12";
  EXPECT_FALSE(ApplyEntryRule(other.PostalCodeCharRule(), other.PostalCodeLengthLimit(), postal));
  std::string state = "ia";
  EXPECT_TRUE(ApplyEntryRule(us.StateCharRule(), us.StateLengthLimit(), state));
  EXPECT_EQ(state, "IA");
  state = "Ont";
  EXPECT_TRUE(ApplyEntryRule(other.StateCharRule(), other.StateLengthLimit(), state));
  EXPECT_EQ(state, "Ont");
  state = "O1";
  EXPECT_FALSE(ApplyEntryRule(other.StateCharRule(), other.StateLengthLimit(), state));
}
