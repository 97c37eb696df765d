#include "textdb/TxtFilDb.h"

#include "TextDbFixture.h"

namespace {

class TextFileDb : public TTextDbFixture {
 protected:
  // Loads text into db; returns "" on success or the error message.
  std::string Load(const std::string& text, TTextFileDb& target) {
    target.Clear();
    if (target.LoadFromFile(Write("t.ini", text))) return {};
    return target.ErrorMessage();
  }
  std::string Load(const std::string& text) { return Load(text, Db); }

  TTextFileDb Db;
};

TEST_F(TextFileDb, HeaderErrorsNameTheLineAsRead) {
  EXPECT_EQ(Load("[A]\nx=1\n  [A]  \n"), "[A] section appears more than once.");
  EXPECT_EQ(Load("[Crop=1]\n[Crop]\n"), "[Crop] section name is incomplete.");
  EXPECT_EQ(Load("[Crop]\n[Crop=1]\n"), "[Crop=1] section name is invalid.");
  EXPECT_EQ(Load("[Crop=1]\nx=1\n[crop=2]\n[Crop=1]\n"), "[Crop=1] section appears more than once.");
  EXPECT_EQ(Load("[Crop=]\n"), "[Crop=] section name is incomplete.");
  EXPECT_EQ(Load("[ =4]\n"), "[ =4] section name is incomplete.");
  EXPECT_EQ(Load("[]\n"), "[] section name is incomplete.");
  EXPECT_EQ(Db.SectionCount(), 0);  // a failed load leaves nothing behind
}

TEST_F(TextFileDb, SettingsAndRows) {
  ASSERT_EQ(Load("x=ignored\n; comment\n[A]\n Name = First value \nname=again\n"),
            "Name setting in [A] section appears more than once.");  // the column's name as first met
  ASSERT_EQ(Load("[A]\n=5\n"), "=5 setting in [A] section is invalid.");
  ASSERT_EQ(Load("[K=3]\nnovalue\n"), "novalue setting in [K=3] section is invalid.");
  ASSERT_EQ(Load("x=ignored\n[A]\n Name = First value \n\n[K=1]\nv=a\n[K=2]\nV=b\nw=c\n"), "");
  EXPECT_EQ(Db.SectionCount(), 2);
  const int a = Db.FindSection(" a "), k = Db.FindSection("K");
  EXPECT_EQ(Db.RowCount(a), 1);
  EXPECT_EQ(Db.GetValue(a, 0, Db.FindColumn(a, "NAME")), "First value");
  EXPECT_FALSE(Db.IsKeyed(a));
  EXPECT_TRUE(Db.IsKeyed(k));
  EXPECT_EQ(Db.RowCount(k), 2);
  EXPECT_EQ(Db.ColumnCount(k), 3);  // K, v, w
  EXPECT_EQ(Db.GetValue(k, 1, Db.FindColumn(k, "v")), "b");
  EXPECT_EQ(Db.GetValue(k, 0, Db.FindColumn(k, "w")), "");
  EXPECT_EQ(Db.FindRow(k, 0, " 2 "), 1);
  EXPECT_EQ(Db.FindRowFrom(k, 1, true, "A", 1), 0);
  EXPECT_EQ(Db.FindRowFrom(k, 1, false, "A", 1), -1);
  EXPECT_EQ(Db.SectionDisplay(k, 1), "[K=2]");
  EXPECT_EQ(Db.SettingDisplay(k, 1, 1), "v=b");
  EXPECT_EQ(Db.GetValue(9, 0, 0), "");
  EXPECT_EQ(Db.GetInteger(k, 0, 1), 0);
}

TEST_F(TextFileDb, FileNameChecksAndIncludes) {
  EXPECT_FALSE(Db.LoadFromFile((Dir / "nul.ini").string()));
  EXPECT_EQ(Db.ErrorMessage(), "File is a device.");
  EXPECT_FALSE(Db.LoadFromFile((Dir / "a*.ini").string()));
  EXPECT_EQ(Db.ErrorMessage(), "File's drive, folder, or name is invalid.");
  EXPECT_FALSE(Db.LoadFromFile((Dir / "none.ini").string()));
  EXPECT_EQ(Db.ErrorMessage(), "File does not exist.");

  Write("part.ini", "[B=1]\nx=2\n");
  EXPECT_EQ(Load("[A]\ny=1\n;$i C:\\somewhere\\part.ini\n[B=2]\nx=3\n"), "");
  EXPECT_EQ(Db.RowCount(Db.FindSection("B")), 2);
  EXPECT_EQ(Load("[A]\n;$I missing.ini\n"), "Includes file " + (Dir / "missing.ini").string() + "\r\nFile does not exist.");
  Write("bad.ini", "[A]\n[A]\n");
  EXPECT_EQ(Load(";$I bad.ini\n"), "Includes file " + (Dir / "bad.ini").string() + "\r\n[A] section appears more than once.");
  Write("loop.ini", ";$I t.ini\n");
  EXPECT_EQ(Load(";$I loop.ini\n"), "Includes file " + (Dir / "loop.ini").string() + "\r\nIncludes file " +
                                        (Dir / "t.ini").string() + "\r\nFile includes itself.");
}

TEST_F(TextFileDb, ValueChecksAndMessages) {
  ASSERT_EQ(Load("[A]\nn= 7 \nr=0\nd=2020-2-01\ne=2020-02-30\ny=Y\nt=TRUE\nf=1.95\ns=abcdef\ni=1.5\n"), "");
  const int a = Db.FindSection("A");
  EXPECT_TRUE(Db.DefineIntegerColumn(a, "n", "", 10, 1, dfRequired));
  EXPECT_TRUE(Db.DefineYesNoColumn(a, "t", "", 0));
  EXPECT_TRUE(Db.GetBoolean(a, 0, Db.FindColumn(a, "t")));
  EXPECT_FALSE(Db.DefineIntegerColumn(a, "r", "", 10, 1, dfRequired));
  EXPECT_EQ(Db.ErrorMessage(), "r=0 setting in [A] section is invalid.\r\nValue must be in the range 1 - 10.");
  EXPECT_FALSE(Db.DefineYesNoColumn(a, "t", "", 0));  // nothing happens while the error is pending
  EXPECT_TRUE(Db.TakeError());
  EXPECT_FALSE(Db.TakeError());

  auto message = [&](const std::string& name, auto define) {
    EXPECT_FALSE(define(name)) << name;
    Db.TakeError();
    return Db.ErrorMessage();
  };
  EXPECT_EQ(message("d", [&](auto n) { return Db.DefineDateColumn(a, n, "", 60000, 0, 0); }),
            "d=2020-2-01 setting in [A] section is invalid.\r\nValue must be a valid date.");
  EXPECT_EQ(message("e", [&](auto n) { return Db.DefineDateColumn(a, n, "", 60000, 0, 0); }),
            "e=2020-02-30 setting in [A] section is invalid.\r\nValue must be a valid date.");
  EXPECT_EQ(message("y", [&](auto n) { return Db.DefineYesNoColumn(a, n, "", 0); }),
            "y=Y setting in [A] section is invalid.\r\nValue must be Yes or No.");
  EXPECT_EQ(message("f", [&](auto n) { return Db.DefineNumberColumn(a, n, "", 1.9, 1.9, 0, 1); }),
            "f=1.95 setting in [A] section is invalid.\r\nValue must be 1.9.");
  EXPECT_EQ(message("f", [&](auto n) { return Db.DefineNumberColumn(a, n, "", 1.25, -0.5, 0, 2); }),
            "f=1.95 setting in [A] section is invalid.\r\nValue must be in the range -0.5 - 1.25.");
  EXPECT_EQ(message("s", [&](auto n) { return Db.DefineTextColumn(a, n, "", 0, 5); }),
            "s=abcdef setting in [A] section is invalid.\r\nValue must be no longer than 5 characters.");
  EXPECT_EQ(message("i", [&](auto n) { return Db.DefineIntegerColumn(a, n, "", 9, 0, 0); }),
            "i=1.5 setting in [A] section is invalid.\r\nValue must be a whole number.");
  EXPECT_EQ(message("s", [&](auto n) { return Db.DefineNumberColumn(a, n, "", 9, 0, 0, 0); }),
            "s=abcdef setting in [A] section is invalid.\r\nValue must be a valid number.");
  EXPECT_EQ(message("q", [&](auto n) { return Db.DefineTextColumn(a, n, "", dfRequired, 5); }),
            "q setting in [A] section is missing.");
  EXPECT_FALSE(Db.RequireSection("Gone", "", false));
  EXPECT_EQ(Db.ErrorMessage(), "[Gone] section is missing.");
  Db.TakeError();
  int added = -1;
  EXPECT_TRUE(Db.DefineTextColumn(a, "q", "", dfAdd, 5, &added));
  EXPECT_EQ(Db.FindColumn(a, "q"), added);
}

TEST(TextDbValue, DatesAndRanges) {
  TTextDbColDef date;
  date.Type = dtDate;
  int64_t lo = 0, hi = 0;
  ASSERT_TRUE(ParseTextDbDate("2000-03-30", lo));
  ASSERT_TRUE(ParseTextDbDate("2078-12-31", hi));
  EXPECT_EQ(hi, LastDayNum());  // same day numbers as the rest of the program
  EXPECT_EQ(FormatTextDbDate(lo), "2000-03-30");
  date.Minimum = static_cast<double>(lo), date.Maximum = static_cast<double>(hi);
  EXPECT_EQ(CheckTextDbValue(date, "2078-12-31"), "");
  EXPECT_EQ(CheckTextDbValue(date, "2079-01-01"), "Value must be in the range 2000-03-30 to 2078-12-31.");
  EXPECT_EQ(CheckTextDbValue(date, "2000-02-29"), "Value must be in the range 2000-03-30 to 2078-12-31.");
  EXPECT_EQ(CheckTextDbValue(date, "1900-02-29"), "Value must be a valid date.");
  EXPECT_EQ(CheckTextDbValue(date, "2000/03/30"), "Value must be a valid date.");
  EXPECT_EQ(CheckTextDbValue(date, "+000-03-30"), "Value must be a valid date.");
  TTextDbColDef text;
  text.Width = 10;
  EXPECT_EQ(CheckTextDbValue(text, std::string("a\x1a")), "Value contains an invalid character.");
  text.Required = true;
  EXPECT_EQ(CheckTextDbValue(text, ""), "Value cannot be blank.");
}

TEST_F(TextFileDb, UniquePairsAndKeys) {
  ASSERT_EQ(Load("[R=1]\nName=a\nM=1\nReg=x\n[R=2]\nName=B\nM=1\nReg=y\n[R=3]\nName=A\nM=2\nReg=X\n"), "");
  const int r = Db.FindSection("R");
  EXPECT_TRUE(Db.DefineIntegerColumn(r, "R", "", 9, 1, dfKey));
  EXPECT_TRUE(Db.IsKeyed(r));
  EXPECT_TRUE(Db.ColumnDef(r, 0).Unique);
  EXPECT_FALSE(Db.DefineTextColumn(r, "Name", "", dfUnique, 5));
  EXPECT_EQ(Db.ErrorMessage(), "Name=A setting in [R=3] section is not unique.");
  Db.TakeError();
  EXPECT_TRUE(Db.DefineTextColumn(r, "Reg", "", dfPairFirst | dfRequired, 4));
  EXPECT_TRUE(Db.DefineIntegerColumn(r, "M", "", 12, 1, dfPairSecond));  // (x,1) (y,1) (X,2)
  Db.SetValue(r, 2, Db.FindColumn(r, "M"), "1");
  EXPECT_FALSE(Db.DefineIntegerColumn(r, "M", "", 12, 1, dfPairSecond));
  EXPECT_EQ(Db.ErrorMessage(), "Reg=X and M=1 settings in [R=3] section are not unique.");
}

TEST_F(TextFileDb, Lookups) {
  TTextFileDb other;
  ASSERT_EQ(Load("[Plain]\nCode=7\n", other), "");
  ASSERT_TRUE(other.DefineTextColumn(0, "Code", "", 0, 3));
  ASSERT_EQ(Load("[Reg=1]\nName=North\n[Reg=2]\nName=South\n[C=1]\nReg=2\nRegName=north\nP=8\n[C=2]\nReg=3\n"), "");
  const int reg = Db.FindSection("Reg"), c = Db.FindSection("C");
  ASSERT_TRUE(Db.DefineIntegerColumn(reg, "Reg", "", 99, 1, dfKey));
  ASSERT_TRUE(Db.DefineTextColumn(reg, "Name", "", dfRequired, 10));
  EXPECT_TRUE(Db.DefineLookupColumn(c, "RegName", "", 0, Db, reg, 1));
  EXPECT_FALSE(Db.DefineLookupColumn(c, "Reg", "", 0, Db, reg, 0));
  EXPECT_EQ(Db.ErrorMessage(), "Reg=3 setting in [C=2] section is invalid.\r\nValue must specify a valid [Reg] section.");
  EXPECT_EQ(Db.ColumnDef(c, Db.FindColumn(c, "Reg")).Type, dtInteger);  // taken over from the lookup column
  Db.TakeError();
  Db.SetValue(c, 0, Db.FindColumn(c, "RegName"), "East");
  EXPECT_FALSE(Db.DefineLookupColumn(c, "RegName", "", 0, Db, reg, 1));
  EXPECT_EQ(Db.ErrorMessage(),
            "RegName=East setting in [C=1] section is invalid.\r\nValue must specify a valid [Reg] section Name value.");
  Db.TakeError();
  EXPECT_FALSE(Db.DefineLookupColumn(c, "P", "", 0, other, 0, 0));
  EXPECT_EQ(Db.ErrorMessage(),
            "P=8 setting in [C=1] section is invalid.\r\nValue must match [Plain] section's Code value in lookup file.");
}

// A whole number is the same value however it is written: in finds, lookups, keys and pairs.
TEST_F(TextFileDb, WholeNumbersCompareByValue) {
  ASSERT_EQ(Load("[Reg=01]\nName=North\n[Reg=2]\nName=South\n[C=1]\nReg=002\nT=x\nM=1\n[C=2]\nReg=1\nT=x\nM=01\n"), "");
  const int reg = Db.FindSection("Reg"), c = Db.FindSection("C");
  EXPECT_EQ(Db.FindRow(reg, 0, "1"), -1);  // text until the schema says the key is a number
  ASSERT_TRUE(Db.DefineIntegerColumn(reg, "Reg", "", 99, 1, dfKey));
  EXPECT_EQ(Db.FindRow(reg, 0, "1"), 0);
  EXPECT_EQ(Db.FindRow(reg, 0, " 02 "), 1);
  EXPECT_TRUE(Db.DefineLookupColumn(c, "Reg", "", 0, Db, reg, 0));
  ASSERT_TRUE(Db.DefineTextColumn(c, "T", "", dfPairFirst, 3));
  EXPECT_FALSE(Db.DefineIntegerColumn(c, "M", "", 12, 1, dfPairSecond));
  EXPECT_EQ(Db.ErrorMessage(), "T=x and M=01 settings in [C=2] section are not unique.");
  Db.TakeError();
  ASSERT_EQ(Load("[Reg=1]\nName=a\n[Reg=01]\nName=b\n"), "");  // two keys as read
  EXPECT_FALSE(Db.DefineIntegerColumn(Db.FindSection("Reg"), "Reg", "", 99, 1, dfKey));
  EXPECT_EQ(Db.ErrorMessage(), "Reg=01 setting in [Reg=01] section is not unique.");
}

class TRejectingDb : public TTextFileDb {
 protected:
  bool CheckValue(const std::string& value, int section, int column, int row) override {
    ++Calls;
    if (value != "bad") return true;
    SetErrorMessage("Bad value at " + std::to_string(section) + "," + std::to_string(column) + "," + std::to_string(row) + ".");
    return false;
  }
  std::string ComputedValue(int, int row, int) const override { return "computed" + std::to_string(row); }

 public:
  int Calls = 0;
};

TEST_F(TextFileDb, ValidateAllAndComputedColumns) {
  TRejectingDb db;
  ASSERT_EQ(Load("[S=1]\na=1\nc=file value\n[S=2]\na=bad\n", db), "");
  ASSERT_TRUE(db.DefineTextColumn(0, "c", "", dfComputed, 20));
  EXPECT_EQ(db.GetValue(0, 1, 2), "computed1");
  EXPECT_FALSE(db.ValidateAll());
  EXPECT_EQ(db.ErrorMessage(), "a=bad setting in [S=2] section is invalid.\r\nBad value at 0,1,1.");
  EXPECT_EQ(db.Calls, 4);  // column S then column a; never the computed column
}

TEST_F(TextFileDb, ChecksumCoversDefinedColumnsOnly) {
  EXPECT_EQ(Db.Checksum(-1, -1), 0x0000);
  // CRC-16/USB of "123456789" is 0xB4C8.
  ASSERT_EQ(Load("[1234]\n5678=9\n"), "");
  ASSERT_TRUE(Db.DefineTextColumn(0, "5678", "", 0, 5));
  EXPECT_EQ(Db.Checksum(-1, -1), 0xB4C8);
  ASSERT_EQ(Load("[1234]\n5678=9\nextra=unlisted\n"), "");
  ASSERT_TRUE(Db.DefineTextColumn(0, "5678", "", 0, 5));
  EXPECT_EQ(Db.Checksum(-1, -1), 0xB4C8);
  Db.SetValue(0, 0, 0, "8");
  EXPECT_NE(Db.Checksum(-1, -1), 0xB4C8);
  EXPECT_EQ(Db.Checksum(0, 0), Db.Checksum(0, 0));
  Db.SetValue(0, 0, 0, "anything");
  const uint16_t excluded = Db.Checksum(0, 0);
  Db.SetValue(0, 0, 0, "else");
  EXPECT_EQ(Db.Checksum(0, 0), excluded);
}

TEST_F(TextFileDb, SortRows) {
  ASSERT_EQ(Load("[S=1]\nn=10\nt=b\n[S=2]\nn=9\nt=A\n[S=3]\n[S=4]\nn=10\nt=a\n[S=5]\nn=-1\n"), "");
  ASSERT_TRUE(Db.DefineIntegerColumn(0, "S", "", 9, 1, dfKey));
  ASSERT_TRUE(Db.DefineIntegerColumn(0, "n", "", 99, -9, 0));
  ASSERT_TRUE(Db.DefineTextColumn(0, "t", "", 0, 5));
  auto keys = [&] {
    std::string k;
    for (int r = 0; r < Db.RowCount(0); ++r) k += Db.GetValue(0, r, 0);
    return k;
  };
  Db.SortRows(0, 1, soBlankRowsLast, 2);
  EXPECT_EQ(keys(), "52413");  // numerically, ties by text without regard to case; the blank row last
  Db.SortRows(0, 1, soDescending | soBlankRowsLast, 2);
  EXPECT_EQ(keys(), "14253");
  Db.SortRows(0, 2, 0);
  EXPECT_EQ(Db.GetValue(0, 0, 2), "");  // blank text sorts first without option 2
}

}  // namespace
