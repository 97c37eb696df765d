#include "reference/MccFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "../support/RefSamples.h"
#include "../support/TempDir.h"
#include "reference/MdfFile.h"
#include "reference/RefLayout.h"
#include "filebase/IoFault.h"

namespace {

class MccFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadCatalogue(SampleCatalogue())); }
  void TearDown() override { SetIoFaultHook(nullptr); }

  bool LoadCatalogue(const TMdfContents& contents) {
    std::string message;
    const std::string path = dir.File("stnd-usa.mdf");
    return WriteMdfFile(path, contents, message) && mdf.Load(path);
  }

  // A cost file of the given version and country with {code, raw 4-byte value} records.
  std::string CostFile(uint8_t version, uint8_t country, const std::vector<std::pair<uint16_t, uint32_t>>& recs) {
    TMccHeaderRec header{};
    header.Version = version;
    header.Count = static_cast<uint16_t>(recs.size());
    header.Country = country;
    std::string image(reinterpret_cast<const char*>(&header), sizeof header);
    for (const auto& [code, value] : recs) {
      TMccCostRec rec{};
      rec.Code = code;
      rec.Value = value;
      image.append(reinterpret_cast<const char*>(&rec), sizeof rec);
    }
    const std::string path = dir.File("costs.mcc");
    WriteWholeFile(path, image);
    return path;
  }

  static uint32_t Real(float cost) { return std::bit_cast<uint32_t>(cost); }
  static uint32_t Thousandths(int32_t milli) { return static_cast<uint32_t>(milli); }

  TTempDir dir;
  TMdfFile mdf;
  TMccFile mcc;
};

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST_F(MccFileTest, VersionTwoCostsApplyAndUnknownCodesAreIgnored) {
  mdf.SetInputCost(3001, 99);  // a leftover custom cost is replaced by the standard one first
  const std::string path = CostFile(2, 1, {{4004, Real(21.5f)}, {4999, Real(1)}, {1701, Real(4.1f)}});
  ASSERT_TRUE(mcc.LoadCosts(path, mdf)) << mcc.FullErrorText();
  EXPECT_FLOAT_EQ(mdf.InputCost(4004), 21.5f);
  EXPECT_FLOAT_EQ(mdf.InputCost(1701), 4.1f);
  EXPECT_FLOAT_EQ(mdf.InputCost(3001), 32);
}

TEST_F(MccFileTest, VersionOneCodesAreTranslated) {
  const std::string path = CostFile(1, 1,
                                    {{1109, Thousandths(1850)},   // old crop 9 seed -> sorghum 1106
                                     {1609, Thousandths(10000)},  // sorghum price per cwt -> per bu
                                     {1901, Thousandths(20500)},  // -> 1051
                                     {1902, Thousandths(-250)},   // -> 1052
                                     {4000, Thousandths(26000)},  // -> 4100 (not in the file)
                                     {4004, Thousandths(23125)}});
  ASSERT_TRUE(mcc.LoadCosts(path, mdf)) << mcc.FullErrorText();
  EXPECT_FLOAT_EQ(mdf.InputCost(1106), 1.85f);
  EXPECT_FLOAT_EQ(mdf.InputCost(1606), 5.6f);
  EXPECT_FLOAT_EQ(mdf.InputCost(1051), 20.5f);
  EXPECT_FLOAT_EQ(mdf.InputCost(1052), -0.25f);
  EXPECT_FLOAT_EQ(mdf.InputCost(4004), 23.125f);
  EXPECT_FLOAT_EQ(mdf.InputCost(1901), 0.3f);  // the new 1901 keeps its standard cost
}

TEST(MccTranslation, OldNumbering) {
  struct TCase {
    uint16_t from, to;
    bool kept;
  };
  for (const TCase c : std::initializer_list<TCase>{{4127, 0, false}, {4150, 0, false}, {4095, 0, false},
                                                    {6067, 0, false}, {6087, 0, false}, {6088, 6088, true},
                                                    {4000, 4100, true}, {1001, 1001, true}, {1100, 1100, true},
                                                    {1101, 1101, true}, {1108, 1112, true}, {1110, 1107, true},
                                                    {1113, 1110, true}, {1106, 1100, true}, {1114, 1100, true},
                                                    {1810, 1807, true}, {1951, 1900, true}}) {
    uint16_t code = c.from;
    float cost = 1;
    EXPECT_EQ(TranslateOldCost(code, cost), c.kept) << c.from;
    if (c.kept) {
      EXPECT_EQ(code, c.to) << c.from;
    }
  }
  uint16_t code = 1809;  // sorghum hauling per cwt -> per bushel, to the cent
  float cost = 0.125f;
  EXPECT_TRUE(TranslateOldCost(code, cost));
  EXPECT_EQ(code, 1806);
  EXPECT_FLOAT_EQ(cost, 0.07f);
  code = 1109;  // seed is not converted
  cost = 0.125f;
  EXPECT_TRUE(TranslateOldCost(code, cost));
  EXPECT_FLOAT_EQ(cost, 0.125f);
}

TEST_F(MccFileTest, RefusedFilesLeaveTheStandardCostsInForce) {
  EXPECT_FALSE(mcc.LoadCosts(CostFile(2, 2, {{4004, Real(1)}}), mdf));
  EXPECT_EQ(mcc.ErrorText(), "Wrong country for file.");
  EXPECT_FLOAT_EQ(mdf.InputCost(4004), 24);
  EXPECT_FALSE(mcc.LoadCosts(CostFile(3, 1, {{4004, Real(1)}}), mdf));
  EXPECT_EQ(mcc.ErrorText(), "File is wrong version.");
  // One record more than the header declares.
  std::string path = CostFile(2, 1, {{4004, Real(1)}, {4036, Real(2)}});
  std::string image = ReadWholeFile(path);
  image[3] = 1;
  WriteWholeFile(path, image);
  EXPECT_FALSE(mcc.LoadCosts(path, mdf));
  EXPECT_EQ(mcc.ErrorText(), "File is wrong format or damaged.");
  EXPECT_FLOAT_EQ(mdf.InputCost(4004), 24);
  // A read failure half-way restores the standard costs as well.
  path = CostFile(2, 1, {{4004, Real(1)}, {4036, Real(2)}});
  SetIoFaultHook([](TIoOp op, const std::string&) { return op == TIoOp::Read; });
  EXPECT_FALSE(mcc.LoadCosts(path, mdf));
  SetIoFaultHook(nullptr);
  EXPECT_EQ(mcc.ErrorState, esRead);
  EXPECT_FLOAT_EQ(mdf.InputCost(4004), 24);
}

TEST_F(MccFileTest, SavedFileHoldsEveryInputInFileOrder) {
  mdf.SetInputCost(4036, 27.75f);
  const std::string path = dir.File("mine.mcc");
  ASSERT_TRUE(mcc.SaveCosts(path, mdf)) << mcc.FullErrorText();
  const std::string image = ReadWholeFile(path);
  ASSERT_EQ(image.size(), (mdf.InputCount() + 1u) * kMccRecordSize);
  TMccHeaderRec header;
  std::memcpy(&header, image.data(), sizeof header);
  EXPECT_EQ(header.Version, 2);
  EXPECT_EQ(header.Release, mdf.ReleaseDate());
  EXPECT_EQ(header.Count, mdf.InputCount());
  EXPECT_EQ(header.Country, 1);
  TMccCostRec stray;  // record 15 is the stray code 9001, saved with cost 0
  std::memcpy(&stray, image.data() + 15 * kMccRecordSize, sizeof stray);
  EXPECT_EQ(stray.Code, 9001);
  // Loading the file back into fresh standard costs gives the saved costs.
  mdf.ResetCosts();
  ASSERT_TRUE(mcc.LoadCosts(path, mdf));
  EXPECT_FLOAT_EQ(mdf.InputCost(4036), 27.75f);
  EXPECT_FLOAT_EQ(mdf.InputCost(4004), 24);
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"mine.mcc", "stnd-usa.mdf"}));
}

TEST_F(MccFileTest, SavingOverACostFileKeepsItsPermissions) {
  const std::string path = dir.File("mine.mcc");
  WriteWholeFile(path, "previous");
  std::filesystem::permissions(path, std::filesystem::perms(0600));
  ASSERT_TRUE(mcc.SaveCosts(path, mdf)) << mcc.FullErrorText();
  EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0600));
  EXPECT_EQ(ReadWholeFile(path).size(), (mdf.InputCount() + 1u) * kMccRecordSize);
}

TEST_F(MccFileTest, FailedSaveLeavesThePreviousFileInPlace) {
  const std::string path = dir.File("mine.mcc");
  ASSERT_TRUE(mcc.SaveCosts(path, mdf));
  const std::string before = ReadWholeFile(path);
  mdf.SetInputCost(4004, 1);
  for (TIoOp failing : {TIoOp::Open, TIoOp::Write, TIoOp::Sync, TIoOp::Rename}) {
    SetIoFaultHook([failing](TIoOp op, const std::string&) { return op == failing; });
    EXPECT_FALSE(mcc.SaveCosts(path, mdf)) << static_cast<int>(failing);
    SetIoFaultHook(nullptr);
    EXPECT_EQ(mcc.FileName, path);
    EXPECT_EQ(ReadWholeFile(path), before) << static_cast<int>(failing);
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"mine.mcc", "stnd-usa.mdf"}));
  }
  EXPECT_TRUE(mcc.SaveCosts(path, mdf));
  EXPECT_NE(ReadWholeFile(path), before);
}

TEST_F(MccFileTest, CountryCodeAboveTwoFiftyFiveIsNotSaved) {
  TMdfContents contents = SampleCatalogue();
  contents.Country = 257;  // would be written as country 1
  ASSERT_TRUE(LoadCatalogue(contents));
  const std::string path = dir.File("mine.mcc");
  WriteWholeFile(path, "previous");
  EXPECT_FALSE(mcc.SaveCosts(path, mdf));
  EXPECT_NE(mcc.FullErrorText().find("country code is above 255"), std::string::npos);
  EXPECT_EQ(ReadWholeFile(path), "previous");
  // Nor can such a file be loaded: its country byte never matches.
  EXPECT_FALSE(mcc.LoadCosts(CostFile(2, 1, {{4004, Real(1)}}), mdf));
  EXPECT_EQ(mcc.ErrorState, esCountry);
}

TEST_F(MccFileTest, SaveToAnInvalidNameFailsAsCreate) {
  EXPECT_FALSE(mcc.SaveCosts(dir.File("a*.mcc"), mdf));
  EXPECT_EQ(mcc.ErrorState, esCreate);
  EXPECT_EQ(mcc.ErrorText(), "Can't create file. File's drive, folder, or name is invalid.");
  EXPECT_FALSE(mcc.SaveCosts(dir.File("no/such/mine.mcc"), mdf));
  EXPECT_EQ(mcc.ErrorText(), "Can't create file. The folder " + dir.File("no/such") + " does not exist.");
}
