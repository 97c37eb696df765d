#include "store/StateTables.h"

#include "../support/StateFixture.h"
#include "common/TextUtil.h"
#include "vocab/CropVocab.h"
#include "store/MdaFile.h"
#include "textdb/QriSign.h"

namespace {

using StateTables = TStateFixture;

const char* const kNotOfficial =
    "\r\nThis is not an \"official\" state initialization file. The file may have been damaged or improperly "
    "modified since it was installed.";

int DefinitionNumber(const TStateTables& t, int row) { return row < 0 ? -1 : t.Db().GetFieldInteger(qfCropDef, row); }

TEST_F(StateTables, SameStateLoadsOnceAnotherStateReplacesTheTables) {
  std::string message;
  ASSERT_TRUE(Tables.LoadStateTables(kStateIA, message)) << message;
  EXPECT_EQ(Tables.StateAbbr(), "IA");
  // A second request for the same state does not read the file again.
  WriteWholeFile(Dir.File("ia.qri"), "garbage");
  EXPECT_TRUE(Tables.LoadStateTables(kStateIA, message));
  EXPECT_EQ(Tables.StateAbbr(), "IA");

  TStateSampleOptions al;
  al.Abbr = "AL";
  ASSERT_EQ(WriteSampleStateFile(Dir.Path(), al), "");
  ASSERT_TRUE(Tables.LoadStateTables(kStateAL, message)) << message;
  EXPECT_EQ(Tables.StateAbbr(), "AL");
  // Back to Iowa: now the damaged file is read and refused; nothing stays loaded.
  EXPECT_FALSE(Tables.LoadStateTables(kStateIA, message));
  EXPECT_EQ(message.rfind(Dir.File("ia.qri") + "\r\n", 0), 0u) << message;
  EXPECT_FALSE(Tables.IsLoaded());
}

TEST_F(StateTables, MissingFileNamesTheFileAndGivesEmptyServices) {
  std::string message;
  EXPECT_FALSE(Tables.LoadStateTables(kStateNM, message));
  EXPECT_EQ(message.rfind(Dir.File("nm.qri") + "\r\n", 0), 0u) << message;
  EXPECT_GT(message.size(), Dir.File("nm.qri").size() + 2);
  TFieldRec rec = Record(crCorn);
  rec.State = kStateNM;
  EXPECT_EQ(Tables.CropDefinitionRow(csCur, rec), -1);
  EXPECT_EQ(Tables.DefaultDrainageType(rec), 0);
}

TEST_F(StateTables, UnsignedOrTamperedFileIsNotOfficial) {
  TStateSampleOptions unsigned_;
  unsigned_.Signed = false;  // the test file's own CRC no longer matches the changed entries
  ASSERT_EQ(WriteSampleStateFile(Dir.Path(), unsigned_), "");
  std::string message;
  EXPECT_FALSE(Tables.LoadStateTables(kStateIA, message));
  EXPECT_EQ(message, Dir.File("ia.qri") + kNotOfficial);
  EXPECT_FALSE(Tables.IsLoaded());

  // A blank CRC is refused the same way, and every service then gives an empty result.
  TStateTables fresh(Refs);
  std::string text = SampleStateText({});
  const size_t crc = text.find("CRC=");
  text.replace(crc, text.find('\n', crc) - crc, "CRC=");
  WriteWholeFile(Dir.File("ia.qri"), text);
  EXPECT_FALSE(fresh.LoadStateTables(kStateIA, message));
  EXPECT_EQ(message, Dir.File("ia.qri") + kNotOfficial);
  TFieldRec rec = Record(crOther);
  rec.Cur_Code = 60;
  rec.Drain_Type = 2;
  EXPECT_EQ(fresh.CropDefinitionRow(csCur, rec), -1);
  EXPECT_EQ(fresh.DrainageTypeName(rec), "");
  EXPECT_EQ(fresh.DefaultDrainageType(rec), 0);
  EXPECT_EQ(fresh.YieldUnitText(csCur, rec), "");
  EXPECT_EQ(fresh.CropSlotName(csCur, rec), "Other");  // the vocabulary name, not the definition's
}

TEST_F(StateTables, DefinitionsAreOrderedByName) {
  ASSERT_TRUE(Tables.LoadStateTables(kStateIA));
  const TQriFileDb& db = Tables.Db();
  ASSERT_GT(db.FieldRowCount(qfCropDef), 1);
  for (int row = 1; row < db.FieldRowCount(qfCropDef); ++row)
    EXPECT_LT(CompareText(db.GetFieldValue(qfCropName, row - 1), db.GetFieldValue(qfCropName, row)), 0) << row;
  // Two definitions are true for corn; "Corn" sorts before "Zea test", which comes first in the file.
  EXPECT_EQ(DefinitionNumber(Tables, Tables.CropDefinitionRow(csCur, Record(crCorn))), 10);
}

TEST_F(StateTables, StoredDefinitionElseConditionFallback) {
  TFieldRec rec = Record(crCorn);
  rec.Cur_Code = 30;  // stored: "Corn by weight", whose condition is never true
  EXPECT_EQ(DefinitionNumber(Tables, Tables.CropDefinitionRow(csCur, rec)), 30);
  rec.Cur_Code = 999;  // not in the tables: the first definition whose condition holds for corn
  EXPECT_EQ(DefinitionNumber(Tables, Tables.CropDefinitionRow(csCur, rec)), 10);
  rec.Cur_Crop = 0;
  EXPECT_EQ(Tables.CropDefinitionRow(csCur, rec), -1);
  rec.Prev_Crop = crSoybeans;
  EXPECT_EQ(DefinitionNumber(Tables, Tables.CropDefinitionRow(csPrev, rec)), 20);
}

TEST_F(StateTables, CoverSlotTakesFirstCropRowOnlyWithYieldOrGoal) {
  TFieldRec rec = Record(crSoybeans);
  rec.Cov_Crop = 13;  // rye
  EXPECT_EQ(DefinitionNumber(Tables, Tables.CropDefinitionRow(csCov, rec)), 50);  // "Rye cover"
  rec.Cov_Goal = 40;
  EXPECT_EQ(DefinitionNumber(Tables, Tables.CropDefinitionRow(csCov, rec)), 51);  // "Rye grain"
  rec.Cov_Goal = 0;
  rec.Cov_Yield = 35;
  EXPECT_EQ(DefinitionNumber(Tables, Tables.CropDefinitionRow(csCov, rec)), 51);
  // Rye in the next slot: a cover-only row does not suit it.
  rec.Next_Crop = 13;
  EXPECT_EQ(DefinitionNumber(Tables, Tables.CropDefinitionRow(csNext, rec)), 51);
}

TEST_F(StateTables, SlotNamesAndYieldUnits) {
  TFieldRec rec = Record(crOther);
  rec.Cur_Code = 60;  // maps to "Other": the definition's name, cut to 13 characters, and its unit
  EXPECT_EQ(Tables.CropSlotName(csCur, rec), "Hemp fiber ex");
  EXPECT_EQ(Tables.YieldUnitText(csCur, rec), "Ton");
  rec.Cur_Code = 10;  // a definition that does not map to "Other"
  EXPECT_EQ(Tables.CropSlotName(csCur, rec), "Other");
  rec.Cur_Crop = crCorn;  // corn's five-year price is per bushel
  EXPECT_EQ(Tables.CropSlotName(csCur, rec), "Corn");
  EXPECT_EQ(Tables.YieldUnitText(csCur, rec), "Bu");
  EXPECT_EQ(Tables.CropSlotName(csNext, rec), "");
  EXPECT_EQ(Tables.YieldUnitText(csNext, rec), "");
}

TEST_F(StateTables, DrainageTypes) {
  TFieldRec rec = Record();
  rec.Drain_Type = 1;
  EXPECT_EQ(Tables.DrainageTypeName(rec), "Tile");
  rec.Drain_Type = 7;
  EXPECT_EQ(Tables.DrainageTypeName(rec), "");
  EXPECT_EQ(Tables.DefaultDrainageType(rec), 2);

  TStateTables other(Refs);
  TStateSampleOptions none;
  none.DefaultDrainage = false;
  ASSERT_EQ(WriteSampleStateFile(Dir.Path(), none), "");
  EXPECT_EQ(other.DefaultDrainageType(rec), 0);
}

// Section keys are numbers: a file that writes them with leading zeros still gives its county and
// drainage rows; and every Yes/No setting reads "1", "true" and "Yes" alike.
TEST_F(StateTables, NumericKeysAndBooleansAsTheSchemaReadsThem) {
  std::string text = SampleStateText({});
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"[CntyCode=1]", "[CntyCode=001]"},
                                 {"[DrainDef=2]", "[DrainDef=02]"}, {"UseIfDrain=Yes", "UseIfDrain=1"},
                                 {"CanBeFirst=Yes", "CanBeFirst=true"}})
    text.replace(text.find(from), from.size(), to);
  WriteWholeFile(Dir.File("ia.qri"), text);
  std::string crc, error;
  ASSERT_TRUE(SignQriFile(Dir.File("ia.qri"), crc, error)) << error;

  TFieldRec rec = Record(crSoybeans);
  rec.Drain_Type = 2;
  EXPECT_EQ(Tables.Db().GetFieldValue(qfCntyName, Tables.CountyRow(rec)), "Adair");
  EXPECT_EQ(Tables.DrainageTypeName(rec), "Surface ditch");
  EXPECT_EQ(Tables.DefaultDrainageType(rec), 2);
  rec.Cov_Crop = 13;  // rye with a goal takes the row that can be a first crop ("true")
  rec.Cov_Goal = 40;
  EXPECT_EQ(DefinitionNumber(Tables, Tables.CropDefinitionRow(csCov, rec)), 51);
}

// A state file that failed is not read again for every record, but is once the user has mended it.
TEST_F(StateTables, FailedFileIsReadAgainOnceItChanges) {
  const std::string good = ReadWholeFile(Dir.File("ia.qri"));
  WriteWholeFile(Dir.File("ia.qri"), "[InitInfo]\nFileVers=1.9\n");
  std::string message;
  EXPECT_FALSE(Tables.LoadStateTables(kStateIA, message));
  EXPECT_NE(message.find("section is missing"), std::string::npos) << message;
  EXPECT_FALSE(Tables.LoadStateTables(kStateIA, message));  // the same file: the same answer
  WriteWholeFile(Dir.File("ia.qri"), good);
  EXPECT_TRUE(Tables.LoadStateTables(kStateIA, message)) << message;
  EXPECT_EQ(Tables.StateAbbr(), "IA");

  std::filesystem::remove(Dir.File("nm.qri"));
  EXPECT_FALSE(Tables.LoadStateTables(kStateNM, message));  // a missing file, added later
  TStateSampleOptions nm;
  nm.Abbr = "NM";
  ASSERT_EQ(WriteSampleStateFile(Dir.Path(), nm), "");
  EXPECT_TRUE(Tables.LoadStateTables(kStateNM, message)) << message;
}

TEST_F(StateTables, ProjectFileHoldsTablesForItsReferences) {
  TMdaFile project;
  EXPECT_EQ(project.StateTables(), nullptr);
  ASSERT_TRUE(project.CreateProject(Dir.File("farm.tsj"), kStateIA, Refs, "", 2024)) << project.FullErrorText();
  TStateTables* tables = project.StateTables();
  ASSERT_NE(tables, nullptr);
  EXPECT_EQ(tables, project.StateTables());  // one set, kept while the references stay
  EXPECT_EQ(tables->CropSlotName(csCur, Record(crCorn)), "Corn");
  EXPECT_EQ(tables->StateAbbr(), "");  // a name needs no tables
  EXPECT_EQ(tables->DefaultDrainageType(Record()), 2);
  EXPECT_EQ(tables->StateAbbr(), "IA");
}

TEST_F(StateTables, ManureDefinitionByInputCode) {
  ASSERT_TRUE(Tables.LoadStateTables(kStateIA));
  EXPECT_EQ(Tables.Db().GetFieldValue(qfManureName, Tables.ManureDefinitionRow(3101)), "Swine liquid");
  EXPECT_EQ(Tables.Db().GetFieldValue(qfManureName, Tables.ManureDefinitionRow(3102)), "Beef solid with bedding");
  EXPECT_EQ(Tables.ManureDefinitionRow(3001), -1);
}

}  // namespace
