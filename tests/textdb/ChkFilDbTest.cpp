#include "textdb/ChkFilDb.h"

#include "TextDbFixture.h"

namespace {

class CheckedFileDb : public TTextDbFixture {
 protected:
  // A small schema: [Info] fields 1-2, [Item] key 3 with fields 4-5, [Empty] key 6.
  bool LoadWithSchema(TCheckedFileDb& db, const std::string& text) {
    db.Clear();
    if (!db.LoadFile(Write("c.ini", text))) return false;
    db.ClearRegistry();
    int info = -1, item = -1, empty = -1;
    db.RequireSection("Info", "", false, &info);
    db.DefineTextField(info, "Title", "", dfRequired, 20, 1);
    db.DefineIntegerField(info, "Count", "", 99, 0, 0, 2);
    db.RequireSection("Item", "", false, &item);
    db.DefineIntegerField(item, "Item", "", 99, 1, dfKey, 3);
    db.DefineTextField(item, "Name", "", dfUnique, 10, 4);
    db.DefineNumberField(item, "Rate", "", 10, 0, 0, 2, 5);
    db.RequireSection("Empty", "", true, &empty);
    db.DefineIntegerField(empty, "Empty", "", 9, 1, dfKey | dfAdd, 6);
    if (db.TakeError()) return false;
    db.ReorderByRegistry();
    return true;
  }
};

TEST_F(CheckedFileDb, ReorderMakesTheChecksumIndependentOfFileOrder) {
  TCheckedFileDb inOrder, reversed;
  ASSERT_TRUE(LoadWithSchema(inOrder, "[Info]\nTitle=T\nCount=3\n[Item=1]\nName=a\nRate=1.5\n[Item=2]\nName=b\n"));
  ASSERT_TRUE(LoadWithSchema(reversed, "[Item=1]\nRate=1.5\nName=a\n[Item=2]\nName=b\n[Info]\nCount=3\nTitle=T\n"));
  EXPECT_EQ(reversed.SectionName(0), "Info");
  EXPECT_EQ(reversed.FieldLocation(5).Column, 2);
  EXPECT_EQ(reversed.GetFieldValue(5, 0), "1.5");
  EXPECT_EQ(reversed.FieldName(1), "Title");
  EXPECT_EQ(inOrder.Checksum(-1, -1), reversed.Checksum(-1, -1));
  reversed.SetFieldValue(5, 0, "1.6");
  EXPECT_NE(inOrder.Checksum(-1, -1), reversed.Checksum(-1, -1));
}

TEST_F(CheckedFileDb, UnlistedSettingsKeepTheirPlaceAndStayOutOfTheChecksum) {
  TCheckedFileDb plain, extra;
  ASSERT_TRUE(LoadWithSchema(plain, "[Info]\nTitle=T\nCount=1\n[Item=1]\nName=a\nRate=2\n"));
  ASSERT_TRUE(LoadWithSchema(extra, "[Info]\nTitle=T\nCount=1\n[Item=1]\nRate=2\nNote=x\nName=a\n"));
  const int item = extra.FieldLocation(3).Section;
  EXPECT_EQ(extra.FindColumn(item, "Note"), 2);  // between the two registered columns, as read
  EXPECT_EQ(extra.FieldLocation(4).Column, 1);
  EXPECT_EQ(extra.FieldLocation(5).Column, 3);
  EXPECT_EQ(plain.Checksum(-1, -1), extra.Checksum(-1, -1));
}

TEST_F(CheckedFileDb, FieldQueriesAndModifiedFlag) {
  TCheckedFileDb db;
  ASSERT_TRUE(LoadWithSchema(db, "[Info]\nTitle=T\nCount=7\n[Item=4]\nName=Beta\nRate=2.25\n[Item=2]\nName=alpha\n"));
  EXPECT_EQ(db.FileName(), (Dir / "c.ini").string());
  EXPECT_EQ(db.FieldRowCount(3), 2);
  EXPECT_EQ(db.GetFieldInteger(2, 0), 7);
  EXPECT_FLOAT_EQ(db.GetFieldNumber(5, 0), 2.25f);
  EXPECT_EQ(db.FindFieldRow(4, "BETA"), 0);
  EXPECT_EQ(db.FindFieldRowFrom(4, 1, true, "beta"), 0);
  EXPECT_EQ(db.FindFieldRow(6, "1"), -1);  // a section without rows
  EXPECT_EQ(db.FieldRowCount(6), 0);
  EXPECT_EQ(db.GetFieldValue(0, 0), "");  // out-of-range field numbers find nothing
  EXPECT_EQ(db.GetFieldValue(301, 0), "");

  db.SetFieldValue(4, 0, "  Beta ");
  EXPECT_FALSE(db.IsModified());
  db.SetFieldValue(4, 0, "beta");
  EXPECT_TRUE(db.IsModified());
  EXPECT_EQ(db.GetFieldValue(4, 0), "beta");

  db.SortByFields(4, 0, 0, 0);
  EXPECT_EQ(db.GetFieldValue(3, 0), "2");
  db.SortByFields(3, 0, soDescending, 0);
  EXPECT_EQ(db.GetFieldValue(3, 0), "4");
}

TEST_F(CheckedFileDb, SchemaErrorsStopAtTheFirst) {
  TCheckedFileDb db;
  EXPECT_FALSE(LoadWithSchema(db, "[Info]\nTitle=\nCount=1\n[Item=1]\nName=a\n"));
  EXPECT_EQ(db.ErrorMessage(), "Title= setting in [Info] section is invalid.\r\nValue cannot be blank.");
  EXPECT_FALSE(LoadWithSchema(db, "[Info]\nTitle=x\nCount=1\n"));
  EXPECT_EQ(db.ErrorMessage(), "[Item] section is missing.");
}

}  // namespace
