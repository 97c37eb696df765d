#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "../support/TempDir.h"
#include "store/MdaLayout.h"
#include "store/RecFields.h"
#include "filebase/RecFile.h"

namespace {

TEST(LayoutTest, NewRecordTemplate) {
  TFieldRec r = NewRecordTemplate(42, 2012, 15);
  EXPECT_EQ(r.Field_ID, 42);
  EXPECT_EQ(r.Year, 2012);
  EXPECT_EQ(r.State, 15);
  EXPECT_EQ(r.Residue, -1);
  for (int i = 0; i < kSoilRows; ++i) EXPECT_EQ(r.Soil_Slope[i], -1.0f);
  // Everything else is zero.
  TFieldRec z{};
  z.Field_ID = 42;
  z.Year = 2012;
  z.State = 15;
  z.Residue = -1;
  for (int i = 0; i < kSoilRows; ++i) z.Soil_Slope[i] = -1.0f;
  EXPECT_TRUE(SameRecord(r, z));
  // -1.0 as a little-endian float at 1619, -1 as i16 at 1725.
  const auto* bytes = reinterpret_cast<const uint8_t*>(&r);
  EXPECT_EQ(bytes[1619 + 3], 0xBF);
  EXPECT_EQ(bytes[1619 + 2], 0x80);
  EXPECT_EQ(bytes[1725], 0xFF);
  EXPECT_EQ(bytes[1726], 0xFF);
}

TEST(LayoutTest, ShortStringsZeroTheirTailAndStayInTheirBytes) {
  TFieldRec r{};
  r.Email_Addr = "grower@example.com";
  r.SubFld_Nam = "ABCDEFGH";  // longer than 5: cut
  EXPECT_EQ(r.SubFld_Nam.Str(), "ABCDE");
  EXPECT_EQ(r.Email_Addr.Str(), "grower@example.com");
  r.Notes = "Limed in 2010";
  r.Notes = "No";
  const auto* bytes = reinterpret_cast<const uint8_t*>(&r);
  EXPECT_EQ(bytes[226], 2);
  for (int i = 226 + 1 + 2; i < 226 + 61; ++i) EXPECT_EQ(bytes[i], 0) << i;
}

TEST(LayoutTest, TablesAreStoredColumnByColumn) {
  TFieldRec r{};
  r.Fert_N[1] = 46.0f;
  r.Fert_Date[9] = 0x1234;
  r.Othr_Desc[2] = "Scouting";
  const auto* bytes = reinterpret_cast<const uint8_t*>(&r);
  float n;
  std::memcpy(&n, bytes + 443 + 4, 4);
  EXPECT_EQ(n, 46.0f);
  EXPECT_EQ(bytes[623 + 18], 0x34);
  EXPECT_EQ(bytes[623 + 19], 0x12);
  EXPECT_EQ(bytes[1178 + 2 * 31], 8);
  EXPECT_EQ(std::memcmp(bytes + 1178 + 2 * 31 + 1, "Scouting", 8), 0);
}

TEST(LayoutTest, SlotAccessorsPickTheRightFields) {
  TFieldRec r{};
  SlotCrop(r, csPrev) = 1;
  SlotYield(r, csCov) = 2.5f;
  SlotPctLeg(r, csCur) = 30;
  SlotCode(r, csNext) = 7;
  EXPECT_EQ(r.Prev_Crop, 1);
  EXPECT_EQ(r.Cov_Goal, 2.5f);
  EXPECT_EQ(r.Cur_PctLeg, 30);
  EXPECT_EQ(r.Next_Code, 7);
  r.SetFlag(rfCustN, true);
  EXPECT_EQ(r.Flags, 0x20);
  EXPECT_TRUE(r.HasFlag(rfCustN));
  r.SetFlag(rfAnnManure, true);
  EXPECT_EQ(r.Flags, 0x8020);
}

TEST(LayoutTest, FileSizeIsRecordsPlusOneTimesBlock) {
  TTempDir dir;
  const std::string path = dir.File("p.tsj");
  TRecFile f;
  ASSERT_TRUE(f.Begin(path, kMdaBlockSize) && f.Commit());
  TMdaHeader h = NewHeader(1, 15, 2012);
  h.Rec_Count = 3;
  ASSERT_TRUE(f.WriteRecords(0, 1, false, &h));
  for (int i = 1; i <= 3; ++i) {
    TFieldRec r = NewRecordTemplate(i, 2012, 15);
    ASSERT_TRUE(f.WriteRecords(i, 1, false, &r));
  }
  EXPECT_EQ(f.FileSize(), 8192);
  TFieldRec fourth = NewRecordTemplate(4, 2012, 15);
  ASSERT_TRUE(f.WriteRecords(4, 1, true, &fourth));
  EXPECT_EQ(f.FileSize(), 10240);
  TFieldRec back{};
  ASSERT_TRUE(f.ReadRecords(4, 1, &back));
  EXPECT_TRUE(SameRecord(back, fourth));
}

TEST(RecFieldsTest, EveryByteBelongsToExactlyOneField) {
  for (const auto* fields : {&RecordFields(), &HeaderFields()}) {
    std::vector<int> owner(kMdaBlockSize, 0);
    for (const auto& d : *fields)
      for (int i = 0; i < d.count; ++i)
        for (int b = 0; b < d.stride; ++b) ++owner[d.offset + i * d.stride + b];
    int covered = 0;
    for (int b = 0; b < kMdaBlockSize; ++b) {
      EXPECT_LE(owner[b], 1) << "byte " << b;
      covered += owner[b];
    }
    if (fields == &RecordFields()) EXPECT_EQ(covered, kMdaBlockSize - 1);  // only 2047 is unused
    else EXPECT_EQ(covered, 453);
  }
}

TEST(RecFieldsTest, FindByNameAndCell) {
  const TFieldDesc* d;
  int i;
  ASSERT_TRUE(FindField(RecordFields(), "cur_crop", d, i));
  EXPECT_EQ(d->offset, 331u);
  ASSERT_TRUE(FindField(RecordFields(), "Fert_N[10]", d, i));
  EXPECT_EQ(i, 9);
  EXPECT_FALSE(FindField(RecordFields(), "Fert_N[11]", d, i));
  EXPECT_FALSE(FindField(RecordFields(), "Fert_N[0]", d, i));
  EXPECT_FALSE(FindField(RecordFields(), "Fert_N", d, i));    // a cell is needed
  EXPECT_FALSE(FindField(RecordFields(), "Cur_Crop[1]", d, i));
  EXPECT_FALSE(FindField(RecordFields(), "Nonsense", d, i));
}

TEST(RecFieldsTest, SetRefusesValuesThatDoNotFit) {
  TFieldRec r = NewRecordTemplate(1, 2012, 15);
  const TFieldRec before = r;
  const TFieldDesc* d;
  int i;
  std::string err;
  ASSERT_TRUE(FindField(RecordFields(), "Fert_Units[1]", d, i));
  EXPECT_FALSE(SetFieldText(&r, *d, i, "256", err));
  EXPECT_FALSE(err.empty());
  ASSERT_TRUE(FindField(RecordFields(), "Notes", d, i));
  EXPECT_FALSE(SetFieldText(&r, *d, i, std::string(61, 'x'), err));
  ASSERT_TRUE(FindField(RecordFields(), "Plant_Date", d, i));
  EXPECT_FALSE(SetFieldText(&r, *d, i, "2012-02-30", err));
  ASSERT_TRUE(FindField(RecordFields(), "Residue", d, i));
  EXPECT_FALSE(SetFieldText(&r, *d, i, "40000", err));
  EXPECT_TRUE(SameRecord(r, before));

  ASSERT_TRUE(FindField(RecordFields(), "Plant_Date", d, i));
  EXPECT_TRUE(SetFieldText(&r, *d, i, "2012-05-01", err));
  EXPECT_EQ(GetFieldText(&r, *d, i), "2012-05-01");
  ASSERT_TRUE(FindField(RecordFields(), "Field_Size", d, i));
  EXPECT_TRUE(SetFieldText(&r, *d, i, "12.5", err));
  EXPECT_EQ(r.Field_Size, 12.5f);
  ASSERT_TRUE(FindField(RecordFields(), "Soil_Name[3]", d, i));
  EXPECT_TRUE(SetFieldText(&r, *d, i, "Clarion", err));
  EXPECT_EQ(r.Soil_Name[2].Str(), "Clarion");
}

}  // namespace
