// Conversion of version-5 project files, built here byte by byte at the old offsets.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "../support/TempDir.h"
#include "FakeRefs.h"
#include "common/Locale.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "store/MdaFile5.h"

namespace {

// A 1024-byte block written by offset, as the older program laid it out.
struct TOldBlock {
  std::string bytes = std::string(1024, '\0');
  TOldBlock& U8(size_t at, uint8_t v) {
    bytes[at] = static_cast<char>(v);
    return *this;
  }
  TOldBlock& U16(size_t at, uint16_t v) {
    std::memcpy(&bytes[at], &v, 2);
    return *this;
  }
  TOldBlock& I32(size_t at, int32_t v) {
    std::memcpy(&bytes[at], &v, 4);
    return *this;
  }
  TOldBlock& Str(size_t at, const std::string& s) {
    bytes[at] = static_cast<char>(s.size());
    std::memcpy(&bytes[at + 1], s.data(), s.size());
    return *this;
  }
};

TOldBlock OldHeader(uint16_t count, uint16_t state = 0, uint16_t flags = 0) {
  TOldBlock h;
  h.U8(0, 5).U16(1, 39000).U16(3, count).U16(5, state).U16(7, 2005).Str(9, "Old project").U16(70, flags).U16(72, 1);
  return h;
}

// A field of sorghum with one of every kind of old data.
TOldBlock SorghumRecord() {
  TOldBlock r;
  r.I32(0, 100).U16(4, 2).U16(8, 3).Str(10, "Joe Smith").Str(41, "Rural Route 1").Str(103, "Ames");
  r.Str(124, "IA").Str(130, "50010").Str(141, "555-1234").Str(156, "555-9876");
  r.U16(171, 125).U16(173, 8550).Str(175, "Skunk").Str(206, "Tiled 1998");
  r.U16(279, 123).U16(281, 2).U16(283, 1505).U16(285, 1).U16(287, 182).U16(289, 35).U16(291, 65);
  r.U16(293, 12).U16(295, 900);
  r.Str(297, "55B").Str(304, "138C").U16(318, 25).U16(320, 0).Str(324, "Nicollet").Str(345, "Clarion");
  r.U16(387, 60).U16(389, 40).U16(393, 50).U16(395, 40).U16(399, 855).U16(401, 800);
  r.U16(405, 9).Str(407, "070801050302").U16(424, 0).U16(428, 32).U16(430, 5);
  r.U16(434, 12).U16(436, 2).U16(438, 1500);   // previous: old 12 = sorghum, 150 cwt
  r.U16(440, 9).U16(442, 5).U16(444, 448);     // current: old 9 = sorghum, 44.8 cwt
  r.U16(446, 17).U16(448, 6).U16(450, 1000);   // next: old 17 = other
  r.U16(452, 3).U16(454, 38850).Str(456, "JD 7000").U16(477, 0x0001 | 0x0004 | 0x4000);
  r.U16(479, 300).Str(481, "DK 54").U16(502, 105).I32(504, 650000).U16(508, 14000);
  r.U16(514, 150).U16(524, 2).U16(534, 460).U16(544, 0).U16(554, 0).U16(564, 2).U16(574, 38800);
  // Fertilizer-like rows: a fertilizer material, a manure, an empty row.
  r.U16(584, 3001).U16(592, 1005).U16(600, 2).U16(608, 38801).U16(616, 0);
  r.U16(586, 3100).U16(594, 150).U16(602, 7).U16(610, 38802).U16(618, 55).U16(626, 25).U16(634, 40).U16(642, 7);
  r.U16(648, 4127).U16(668, 125).U16(688, 0).U16(708, 8).U16(728, 38803);
  r.U16(650, 4142).U16(670, 50).U16(690, 4).U16(710, 3);
  r.U16(652, 4145).U16(672, 75).U16(692, 3);
  r.U16(748, 5010).U16(768, 33).U16(788, 1).U16(808, 6).U16(828, 38804);
  r.U16(848, 6074).U16(868, 15).U16(888, 38805).U16(850, 6070).U16(870, 10).U16(852, 6001).U16(872, 20);
  r.U16(908, 7014).U16(928, 100).U16(948, 1200).U16(910, 7020).U16(930, 250).U16(950, 875);
  r.U16(968, 100).I32(970, 5000500).U16(974, 2).U16(976, 180).U16(978, 140).U16(980, 0).U16(982, 38900);
  r.U16(984, 0);
  return r;
}

class MdaFile5Test : public ::testing::Test {
 protected:
  void SetUp() override {
    PinUsLocale();
    refs.inputs[3001] = {1u << 5, 0, 0};  // a fertilizer material for sorghum
    refs.inputs[3100] = {1u << 5, 1, 0};  // a manure
  }
  void TearDown() override { SetIoFaultHook(nullptr); }
  std::string Path(const std::string& name = "old.tsd") const { return dir.File(name); }

  void WriteOld(const std::vector<TOldBlock>& blocks) {
    std::string image;
    for (const auto& b : blocks) image += b.bytes;
    WriteWholeFile(Path(), image);
  }
  std::vector<TOldBlock> ThreeRecords() {
    TOldBlock dropped = SorghumRecord();
    dropped.I32(0, 200).U16(440, 6);
    TOldBlock soy;
    soy.I32(0, 300).U16(4, 1).Str(41, "Farm 2").Str(72, "Main St").U16(440, 2).I32(504, 150000);
    soy.U16(648, 4145).U16(688, 3).U16(708, 2);
    return {OldHeader(3), SorghumRecord(), dropped, soy};
  }
  bool Convert(TMdaFile5& f, bool answer = true) {
    return f.OpenOrConvert(
        Path(), true, refs,
        [this](const std::string& path, const std::string& backup) { done = path + "|" + backup; },
        [this, answer](const std::string& path) {
          asked = path;
          return answer;
        });
  }

  TTempDir dir;
  TFakeRefs refs;
  std::string asked, done;
};

TEST_F(MdaFile5Test, ConvertsInPlaceAndKeepsTheOldFileAsDos) {
  WriteOld(ThreeRecords());
  const std::string oldBytes = ReadWholeFile(Path());
  WriteWholeFile(Path("old.dos"), "an older backup");
  TMdaFile5 f;
  ASSERT_TRUE(Convert(f)) << f.FullErrorText();
  EXPECT_EQ(asked, ExpandFileName(Path()));
  EXPECT_EQ(done, ExpandFileName(Path()) + "|" + ExpandFileName(Path("old.dos")));
  EXPECT_TRUE(ReadWholeFile(Path("old.dos")) == oldBytes);
  EXPECT_EQ(FolderFiles(dir.Path()), (std::vector<std::string>{"old.dos", "old.tsd"}));
  f.Close();

  TMdaFile g;
  ASSERT_TRUE(g.OpenProject(Path(), true, refs)) << g.FullErrorText();
  EXPECT_EQ(g.RecordCount(), 2);  // the old current crop 6 has no counterpart
  EXPECT_EQ(g.ProjectYear(), 2005);
  EXPECT_EQ(g.Title(), "Old project");
  EXPECT_EQ(g.RequiredRelease(), refs.release);
  EXPECT_EQ(Ids(g), (std::vector<int32_t>{100, 300}));
}

TEST_F(MdaFile5Test, APrivateFileStaysPrivateThroughConversionAndRebuildsWhileNewFilesFollowTheUmask) {
  const mode_t umaskBefore = ::umask(022);
  WriteOld(ThreeRecords());
  ASSERT_EQ(::chmod(Path().c_str(), 0600), 0);
  TMdaFile5 f;
  ASSERT_TRUE(Convert(f)) << f.FullErrorText();
  auto mode = [](const std::string& path) { return std::filesystem::status(path).permissions(); };
  EXPECT_EQ(mode(Path()), std::filesystem::perms(0600));
  EXPECT_EQ(mode(Path("old.dos")), std::filesystem::perms(0600));
  ASSERT_EQ(::chmod(Path().c_str(), 0640), 0);
  int number = 0;
  ASSERT_TRUE(f.InsertRecord(f.NewRecord(50, 1), 0, number));
  EXPECT_EQ(mode(Path()), std::filesystem::perms(0640));
  ::umask(027);
  TMdaFile g;
  ASSERT_TRUE(g.CreateProject(Path("new.tsj"), 0, refs, "New", 2012));
  EXPECT_EQ(mode(Path("new.tsj")), std::filesystem::perms(0640));
  ::umask(umaskBefore);
}

TEST_F(MdaFile5Test, MapsEveryOldField) {
  WriteOld(ThreeRecords());
  TMdaFile5 f;
  ASSERT_TRUE(Convert(f)) << f.FullErrorText();
  TFieldRec r;
  ASSERT_TRUE(f.ReadRecord(1, r));
  EXPECT_EQ(r.State, 2);
  EXPECT_EQ(r.Year, 2005);
  EXPECT_EQ(r.County, 3);
  EXPECT_EQ(r.Contact.Str(), "Joe Smith");
  EXPECT_EQ(r.Operation.Str(), "");  // one address line goes to the road
  EXPECT_EQ(r.Addr_Road.Str(), "Rural Route 1");
  EXPECT_EQ(r.Addr_Zip.Str(), "50010");
  EXPECT_EQ(r.Off_Phone.Str(), "555-9876");
  EXPECT_FLOAT_EQ(r.Field_Size, 12.5f);
  EXPECT_FLOAT_EQ(r.Rent_Value, 85.5f);
  EXPECT_EQ(r.Notes.Str(), "Tiled 1998");
  EXPECT_FLOAT_EQ(r.P, 12.3f);
  EXPECT_EQ(r.P_Units, 2);
  EXPECT_FLOAT_EQ(r.K, 150.5f);
  EXPECT_FLOAT_EQ(r.Soil_pH, 6.5f);
  EXPECT_EQ(r.Basal_N, 900);
  EXPECT_EQ(r.Soil_Sym[1].Str(), "138C");
  EXPECT_FLOAT_EQ(r.Soil_Slope[0], 2.5f);
  EXPECT_FLOAT_EQ(r.Soil_Slope[1], -1.0f);
  EXPECT_EQ(r.Soil_Name[1].Str(), "Clarion");
  EXPECT_EQ(r.Soil_FldPct[0], 60);
  EXPECT_FLOAT_EQ(r.Soil_TValue[0], 5.0f);
  EXPECT_FLOAT_EQ(r.Soil_Rating[0], 85.5f);
  EXPECT_EQ(r.Eros_Legacy, 9);
  EXPECT_EQ(r.Wshed_Num.Str(), "070801050302");
  EXPECT_EQ(r.Residue, -1);
  EXPECT_FLOAT_EQ(r.Water_Loss, 3.2f);
  // Crops, tillage and sorghum yields in bushels.
  EXPECT_EQ(r.Prev_Crop, 6);
  EXPECT_EQ(r.Prev_Till, 4);
  EXPECT_FLOAT_EQ(r.Prev_Yield, 268.0f);  // 150 / 0.56 = 267.86
  EXPECT_EQ(r.Cur_Crop, 6);
  EXPECT_EQ(r.Cur_Till, 6);
  EXPECT_FLOAT_EQ(r.Cur_Goal, 80.0f);
  EXPECT_EQ(r.Next_Crop, 102);
  EXPECT_EQ(r.Next_Till, 5);
  EXPECT_FLOAT_EQ(r.Next_Goal, 100.0f);
  EXPECT_EQ(r.Till_Years, 3);
  EXPECT_EQ(r.Plant_Date, 38850);
  EXPECT_EQ(r.Attchments, (1u << 6) | (1u << 7) | (1u << 2));  // old bits 1, 3, 15 -> 7, 8, 3
  EXPECT_FLOAT_EQ(r.Row_Width, 30.0f);
  EXPECT_EQ(r.Maturity, 105);
  EXPECT_FLOAT_EQ(r.Cur_PlRate, 6500.0f);
  EXPECT_EQ(r.Seed_Count, 14000);
  EXPECT_FLOAT_EQ(r.Fert_Rate[0], 150.0f);
  EXPECT_FLOAT_EQ(r.Fert_N[0], 46.0f);
  EXPECT_EQ(r.Fert_Form[0], 2);
  EXPECT_EQ(r.Fert_Date[0], 38800);
  // The fertilizer material and the manure go to their own tables.
  EXPECT_EQ(r.OFert_Input[0], 3001);
  EXPECT_FLOAT_EQ(r.OFert_Rate[0], 100.5f);
  EXPECT_EQ(r.OFert_Date[0], 38801);
  EXPECT_EQ(r.OFert_Input[1], 0);
  EXPECT_EQ(r.Man_Input[0], 3100);
  EXPECT_FLOAT_EQ(r.Man_Rate[0], 15.0f);
  EXPECT_EQ(r.Man_Units[0], 7);
  EXPECT_FLOAT_EQ(r.Man_TotN[0], 5.5f);
  EXPECT_FLOAT_EQ(r.Man_K2O[0], 4.0f);
  EXPECT_EQ(r.Man_Legacy[0], 7);
  EXPECT_EQ(r.Man_Input[1], 0);
  // Herbicide code and unit changes; timing 8 becomes 10.
  EXPECT_EQ(r.Herb_Input[0], 4036);
  EXPECT_EQ(r.Herb_Units[0], 5);
  EXPECT_EQ(r.Herb_Timing[0], 10);
  EXPECT_FLOAT_EQ(r.Herb_Rate[0], 1.25f);
  EXPECT_EQ(r.Herb_Input[1], 4142);
  EXPECT_EQ(r.Herb_Units[1], 1);
  EXPECT_EQ(r.Herb_Input[2], 4145);  // kept: the crop is not soybeans
  EXPECT_EQ(r.Herb_Units[2], 3);
  EXPECT_EQ(r.Ins_Input[0], 5010);
  EXPECT_FLOAT_EQ(r.Ins_Rate[0], 0.33f);
  EXPECT_EQ(r.Ins_Method[0], 6);
  EXPECT_EQ(r.Oper_Input[0], 6150);
  EXPECT_FLOAT_EQ(r.Oper_Trips[0], 1.5f);
  EXPECT_EQ(r.Oper_Input[1], 6152);
  EXPECT_EQ(r.Oper_Input[2], 6001);
  // Other input 7014 became the first biotech trait; the rest move up.
  EXPECT_EQ(r.Biotech[0], 1954);
  EXPECT_EQ(r.Othr_Input[0], 7020);
  EXPECT_FLOAT_EQ(r.Othr_Rate[0], 2.5f);
  EXPECT_FLOAT_EQ(r.Othr_Cost[0], 8.75f);
  EXPECT_EQ(r.Othr_Input[1], 0);
  EXPECT_FLOAT_EQ(r.Cur_Area, 10.0f);
  EXPECT_FLOAT_EQ(r.Cur_Wt, 5000.5f);
  EXPECT_FLOAT_EQ(r.Cur_Mois, 18.0f);
  EXPECT_EQ(r.Cur_HDate, 38900);
  // Sorghum yields come again from the harvest data: 82/86 x (5000.5 lb / 56) / 10 acres.
  EXPECT_FLOAT_EQ(r.Cur_Yield, 8.5f);

  ASSERT_TRUE(f.ReadRecord(2, r));
  EXPECT_EQ(r.Operation.Str(), "Farm 2");
  EXPECT_EQ(r.Addr_Road.Str(), "Main St");
  EXPECT_EQ(r.Cur_Crop, 2);
  EXPECT_FLOAT_EQ(r.Cur_PlRate, 150000.0f);  // soybeans: as stored
  EXPECT_EQ(r.Herb_Input[0], 0);             // 4145 is removed for soybeans
  EXPECT_EQ(r.Herb_Units[0], 0);
  EXPECT_EQ(r.Herb_Timing[0], 2);
}

TEST_F(MdaFile5Test, ALockedOldFileGivesALockedProject) {
  WriteOld({OldHeader(1, 0, 1), SorghumRecord()});
  TMdaFile5 f;
  ASSERT_TRUE(Convert(f)) << f.FullErrorText();
  EXPECT_TRUE(f.IsLocked());
  EXPECT_FALSE(f.IsWritable());
}

TEST_F(MdaFile5Test, DecliningOrAnUnknownVersionLeavesTheFileAlone) {
  WriteOld(ThreeRecords());
  const std::string oldBytes = ReadWholeFile(Path());
  TMdaFile5 f;
  EXPECT_FALSE(Convert(f, false));
  EXPECT_EQ(f.FullErrorText(), ExpandFileName(Path()) + "\r\nFile is wrong version.");
  EXPECT_TRUE(ReadWholeFile(Path()) == oldBytes);
  EXPECT_EQ(FolderFiles(dir.Path()), std::vector<std::string>{"old.tsd"});

  TOldBlock h = OldHeader(0);
  h.U8(0, 6);
  WriteOld({h});
  asked.clear();
  EXPECT_FALSE(Convert(f));
  EXPECT_EQ(f.ErrorState, esVersion);
  EXPECT_EQ(asked, "");  // not asked
  WriteOld({h, h});
  EXPECT_FALSE(Convert(f));
  EXPECT_EQ(f.ErrorState, esVersion);
  EXPECT_EQ(asked, "");
}

TEST_F(MdaFile5Test, AnEmptyOldFileConverts) {
  WriteOld({OldHeader(0)});  // shorter than one current block
  TMdaFile5 f;
  ASSERT_TRUE(Convert(f)) << f.FullErrorText();
  EXPECT_EQ(f.RecordCount(), 0);
  EXPECT_EQ(f.FileSize(), 2048);
}

TEST_F(MdaFile5Test, OldFilesAreCheckedLikeCurrentOnes) {
  TMdaFile5 f;
  WriteOld({OldHeader(2), SorghumRecord()});
  EXPECT_FALSE(Convert(f));
  EXPECT_EQ(f.ErrorState, esFormat);
  TOldBlock h = OldHeader(1);
  h.U16(72, 2);
  WriteOld({h, SorghumRecord()});
  EXPECT_FALSE(Convert(f));
  EXPECT_EQ(f.ErrorState, esCountry);
  h = OldHeader(1);
  h.U16(1, 40001);
  WriteOld({h, SorghumRecord()});
  EXPECT_FALSE(Convert(f));
  EXPECT_EQ(f.ErrorState, esRelease);
  EXPECT_EQ(asked, "");
  EXPECT_FALSE(f.IsOpen());
}

TEST_F(MdaFile5Test, ValuesThatDoNotFitStopTheConversion) {
  TOldBlock negativeResidue = SorghumRecord(), bigCode = SorghumRecord(), bigLegacy = SorghumRecord();
  negativeResidue.U16(424, static_cast<uint16_t>(-5));
  bigCode.U16(281, 300);
  bigLegacy.U16(405, 256);
  for (const TOldBlock& bad : {negativeResidue, bigCode, bigLegacy}) {
    WriteOld({OldHeader(2), SorghumRecord(), bad});
    const std::string oldBytes = ReadWholeFile(Path());
    TMdaFile5 f;
    EXPECT_FALSE(Convert(f));
    EXPECT_EQ(f.ErrorState, esFormat);
    EXPECT_EQ(f.ErrorText(), "File is wrong format or damaged.");
    EXPECT_TRUE(ReadWholeFile(Path()) == oldBytes);
    EXPECT_EQ(FolderFiles(dir.Path()), std::vector<std::string>{"old.tsd"});
  }
}

TEST_F(MdaFile5Test, AFailedBackupKeepsTheOldFileAndDropsTheNewOne) {
  WriteOld(ThreeRecords());
  const std::string oldBytes = ReadWholeFile(Path());
  SetIoFaultHook([](TIoOp op, const std::string& path) { return op == TIoOp::Rename && ExtractFileExt(path) == ".dos"; });
  TMdaFile5 f;
  EXPECT_FALSE(Convert(f));
  EXPECT_EQ(f.ErrorState, esBackup);
  EXPECT_EQ(f.ErrorText(), "Can't save backup copy of file with .dos extension.");
  EXPECT_TRUE(ReadWholeFile(Path()) == oldBytes);
  EXPECT_EQ(FolderFiles(dir.Path()), std::vector<std::string>{"old.tsd"});
}

TEST_F(MdaFile5Test, AWriteFailureLeavesOnlyTheOldFile) {
  WriteOld(ThreeRecords());
  const std::string oldBytes = ReadWholeFile(Path());
  SetIoFaultHook([](TIoOp op, const std::string& path) {
    return op == TIoOp::Write && ExtractFileExt(path) == ".tmp" && ExtractFileName(path).rfind("tsj", 0) == 0;
  });
  TMdaFile5 f;
  EXPECT_FALSE(Convert(f));
  EXPECT_EQ(f.ErrorState, esWrite);
  EXPECT_TRUE(ReadWholeFile(Path()) == oldBytes);
  EXPECT_EQ(FolderFiles(dir.Path()), std::vector<std::string>{"old.tsd"});
}

TEST_F(MdaFile5Test, AFailedFinalRenameLeavesTheOldFileUnderItsName) {
  WriteOld(ThreeRecords());
  const std::string oldBytes = ReadWholeFile(Path());
  SetIoFaultHook([](TIoOp op, const std::string& path) { return op == TIoOp::Rename && ExtractFileExt(path) == ".tsd"; });
  TMdaFile5 f;
  EXPECT_FALSE(Convert(f));
  SetIoFaultHook(nullptr);
  EXPECT_EQ(f.ErrorState, esWrite);
  EXPECT_TRUE(ReadWholeFile(Path()) == oldBytes);
  EXPECT_TRUE(ReadWholeFile(Path("old.dos")) == oldBytes);
  EXPECT_EQ(FolderFiles(dir.Path()), (std::vector<std::string>{"old.dos", "old.tsd"}));
}

TEST_F(MdaFile5Test, ACurrentFileOpensWithoutQuestions) {
  {
    TMdaFile g;
    ASSERT_TRUE(MakeProject(g, Path("new.tsj"), refs, {4}));
  }
  TMdaFile5 f;
  ASSERT_TRUE(f.OpenOrConvert(Path("new.tsj"), true, refs, nullptr, [](const std::string&) {
    ADD_FAILURE() << "asked";
    return false;
  }));
  EXPECT_EQ(f.RecordCount(), 1);
}

}  // namespace
