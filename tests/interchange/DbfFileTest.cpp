#include <gtest/gtest.h>

#include "../support/TempDir.h"
#include "common/DayNum.h"
#include "interchange/DbfFile.h"

namespace {

class DbfFileTest : public ::testing::Test {
 protected:
  // Two fields (C 12 and N 6.2) and three records, the second one deleted.
  void WriteSample(bool fileEnd = true) {
    TDbfFile t;
    ASSERT_TRUE(t.CreateTable(path));
    ASSERT_TRUE(t.AddField("  field_name_is_long ", 'c', 12, 0));
    ASSERT_TRUE(t.AddField("ACRES", 'N', 6, 2));
    const char* rows[] = {"   North      40.50", "*South         1.00", "   Ea\xE9st     100.25"};
    for (uint32_t n = 1; n <= 3; ++n) ASSERT_TRUE(t.WriteRecord(n, rows[n - 1], false));
    EXPECT_FALSE(t.AddField("LATE", 'C', 3, 0)) << "no field is added once records exist";
    EXPECT_FALSE(t.WriteRecord(5, rows[0], false)) << "no gap of empty records";
    ASSERT_TRUE(t.CloseTable());
    if (!fileEnd) {
      std::string bytes = ReadWholeFile(path);
      bytes.pop_back();
      WriteWholeFile(path, bytes);
    }
  }
  int OpenError() {
    TDbfFile t;
    EXPECT_FALSE(t.OpenTable(path, 0, omReadDenyWrite));
    EXPECT_EQ(t.ErrorText(), "File is wrong format or damaged.");
    return t.ErrorState;
  }

  TTempDir dir;
  std::string path = dir.File("t.dbf");
};

TEST_F(DbfFileTest, WrittenTableHasTheDbaseLayoutAndReadsBack) {
  WriteSample();
  const std::string bytes = ReadWholeFile(path);
  ASSERT_EQ(bytes.size(), 32u + 2 * 32 + 1 + 3 * 19 + 1);
  int year = 0, month = 0, day = 0;
  DecodeDay(TodayDay(), year, month, day);
  EXPECT_EQ(bytes.substr(0, 16), std::string("\x03") + char(year - 1900) + char(month) + char(day) +
                                     std::string("\x03\0\0\0\x61\0\x13\0\0\0\0\0", 12));
  EXPECT_EQ(bytes[29], '\x57') << "the language driver of code page 1252";
  EXPECT_EQ(bytes.substr(32, 18), std::string("FIELD_NAME\0C\0\0\0\0\x0C\0", 18)) << "cut to 10, upper case";
  EXPECT_EQ(bytes.substr(64, 18), std::string("ACRES\0\0\0\0\0\0N\0\0\0\0\x06\x02", 18));
  EXPECT_EQ(bytes[96], '\x0D');
  EXPECT_EQ(bytes.back(), '\x1A');

  TDbfFile t;
  ASSERT_TRUE(t.OpenTable(path, 19, omReadDenyWrite)) << t.FullErrorText();
  EXPECT_EQ(t.RecordCount(), 3u);
  EXPECT_EQ(t.FieldCount(), 2);
  EXPECT_EQ(t.FindField("field_name"), 1);
  EXPECT_EQ(t.FindField("Acres"), 2);
  EXPECT_EQ(t.FindField("FIELD_NAME_IS_LONG"), 0) << "a name longer than 10 characters never matches";
  EXPECT_EQ(t.FindField("ACRE"), 0);
  TDbfField f;
  ASSERT_TRUE(t.GetFieldInfo(2, f));
  EXPECT_EQ(f.Offset, 13u);
  EXPECT_EQ(f.Type, 'N');
  ASSERT_TRUE(t.ReadFieldDescriptor(2, f));
  EXPECT_EQ(f.Offset, 0u);
  EXPECT_FALSE(t.GetFieldInfo(3, f));
  TDbfField name;
  ASSERT_TRUE(t.GetFieldInfo(1, name));
  ASSERT_TRUE(t.GetFieldInfo(2, f));
  char row[19];
  ASSERT_TRUE(t.ReadRecord(2, row));
  EXPECT_EQ(row[0], '*') << "a deleted record is read like any other";
  ASSERT_TRUE(t.ReadRecord(3, row));
  EXPECT_EQ(TDbfFile::FieldText(row, name), "  Ea\xE9st") << "trailing blanks go, leading ones stay";
  EXPECT_EQ(TDbfFile::FieldText(row, f), "100.25");
  EXPECT_FALSE(t.ReadRecord(4, row));
  EXPECT_FALSE(t.ReadRecord(0, row));
}

TEST_F(DbfFileTest, HeaderChecksAcceptBothEndingsAndRefuseDamage) {
  WriteSample(false);
  TDbfFile t;
  EXPECT_TRUE(t.OpenTable(path, 0, omReadDenyWrite)) << "a table without the final byte 26 is read";
  t.Close();
  WriteSample();
  std::string good = ReadWholeFile(path);
  WriteWholeFile(path, good + "partial");
  EXPECT_TRUE(t.OpenTable(path, 0, omReadDenyWrite)) << "a partial last record is tolerated";
  t.Close();
  EXPECT_FALSE(t.OpenTable(dir.File("t.dbf"), 20, omReadDenyWrite)) << "another record length was expected";
  EXPECT_EQ(t.ErrorState, esFormat);

  std::string bytes = good;
  bytes[4] = 4;  // the count says 4, the data hold 3 records
  WriteWholeFile(path, bytes);
  EXPECT_EQ(OpenError(), esFormat);
  bytes = good;
  bytes[10] = bytes[11] = 0;  // record length 0
  WriteWholeFile(path, bytes);
  EXPECT_EQ(OpenError(), esFormat);
  bytes = good;
  bytes[32 + 16] = 40;  // the first field runs past the end of the record
  WriteWholeFile(path, bytes);
  EXPECT_EQ(OpenError(), esFormat);
  WriteWholeFile(path, good.substr(0, 40));  // the header is longer than the file
  EXPECT_EQ(OpenError(), esFormat);
  EXPECT_FALSE(t.OpenTable(dir.File("missing.dbf"), 0, omReadDenyWrite));
  EXPECT_EQ(t.ErrorState, esOpen);
}

}  // namespace
