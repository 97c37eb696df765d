#include "textdb/QriFilDb.h"

#include <algorithm>
#include <fstream>
#include <set>

#include "TextDbFixture.h"
#include "common/TextUtil.h"
#include "textdb/QriSign.h"

namespace {

// The signed test state file, as lines.
std::vector<std::string> SampleLines() {
  std::ifstream in(std::string(TESSEREL_TEST_DATA_DIR) + "/textdb/ia.qri", std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

class QriFileDb : public TTextDbFixture {
 protected:
  std::vector<std::string> Lines = SampleLines();
  TQriFileDb Db;

  // Sets (or adds) a setting in the block of a header.
  void Set(const std::string& header, const std::string& name, const std::string& value) {
    auto it = std::find(Lines.begin(), Lines.end(), header);
    ASSERT_NE(it, Lines.end()) << header;
    for (auto line = it + 1; line != Lines.end() && (line->empty() || (*line)[0] != '['); ++line) {
      if (line->rfind(name + "=", 0) == 0) {
        *line = name + "=" + value;
        return;
      }
    }
    Lines.insert(it + 1, name + "=" + value);
  }
  // Removes a header and its block.
  void Remove(const std::string& header) {
    auto it = std::find(Lines.begin(), Lines.end(), header);
    ASSERT_NE(it, Lines.end()) << header;
    auto end = it + 1;
    while (end != Lines.end() && (end->empty() || (*end)[0] != '[')) ++end;
    Lines.erase(it, end);
  }
  void Append(const std::string& text) { Lines.push_back(text); }

  std::string Text() const {
    std::string text;
    for (const std::string& line : Lines) text += line + "\n";
    return text;
  }
  // Loads the edited file; "" on success, else the message.
  std::string Load(const std::string& name = "ia.qri") {
    if (Db.Load(Write(name, Text()))) return {};
    EXPECT_EQ(Db.SectionCount(), 0);
    return Db.ErrorMessage();
  }
};

TEST(QriSchemaTable, DeclaresFields1To262Once) {
  size_t count = 0;
  const TQriFieldSpec* schema = QriSchema(count);
  std::set<std::string> sections;
  int expected = 1;
  for (size_t i = 0; i < count; ++i) {
    if (schema[i].Kind == TQriKind::Section) {
      EXPECT_TRUE(sections.insert(schema[i].Name).second) << schema[i].Name;
      continue;
    }
    EXPECT_EQ(schema[i].Field, expected++);
  }
  EXPECT_EQ(expected - 1, 262);
  EXPECT_EQ(sections.size(), 29u);
}

TEST_F(QriFileDb, SampleLoadsWithMatchingChecksum) {
  ASSERT_EQ(Load(), "");
  EXPECT_EQ(Db.FileCrc(), Db.ComputedCrc());
  EXPECT_EQ(Db.GetFieldValue(qfCrc, 0), Db.ComputedCrc());
  EXPECT_FALSE(Db.IsModified());
  EXPECT_EQ(Db.GetFieldValue(qfStateAbbr, 0), "IA");
  EXPECT_EQ(Db.GetFieldValue(qfInitFile, 0), (Dir / "ia.qri").string());
  EXPECT_EQ(Db.SectionName(Db.FieldLocation(qfCropDef).Section), "CropDef");
  EXPECT_EQ(Db.FieldRowCount(213), 2);
  EXPECT_FALSE(Db.SoilTestsInLbPerAcre());
}

TEST_F(QriFileDb, MissingInitInfoAndWrongVersion) {
  Remove("[InitInfo]");
  EXPECT_EQ(Load(), "[InitInfo] section is missing. File may not be an initialization file.");
  Lines = SampleLines();
  Set("[InitInfo]", "FileVers", "2.0");
  EXPECT_EQ(Load(), "FileVers=2.0 setting in [InitInfo] section is invalid.\r\nValue must be 1.9. File is wrong version.");
}

TEST_F(QriFileDb, RevisionDatesUpTo2078) {
  Set("[InitInfo]", "RevDate", "2021-01-01");
  EXPECT_EQ(Load(), "");
  Set("[InitInfo]", "RevDate", "2078-12-31");
  EXPECT_EQ(Load(), "");
  Set("[InitInfo]", "RevDate", "2079-01-01");
  EXPECT_EQ(Load(), "RevDate=2079-01-01 setting in [InitInfo] section is invalid.\r\n"
                    "Value must be in the range 2000-03-30 to 2078-12-31.");
  Set("[InitInfo]", "RevDate", "2000-03-29");
  EXPECT_NE(Load(), "");
}

TEST_F(QriFileDb, CropFormulasSeeOnlyEarlierSettingsOfTheirGroup) {
  Set("[CropDef=1]", "NRec", "NVar2 + NVar1 + NCredit");
  EXPECT_EQ(Load(), "");
  Set("[CropDef=1]", "NVar2", "NVar3 * 2");
  EXPECT_EQ(Load(), "NVar2 expression in [CropDef=1] section is invalid.\r\nUnknown variable.");
  Lines = SampleLines();
  Set("[CropDef=1]", "PRec", "PVar1 + PRemoved + NCredit");  // NCredit belongs to the N group
  EXPECT_EQ(Load(), "PRec expression in [CropDef=1] section is invalid.\r\nUnknown variable.");
  Lines = SampleLines();
  Set("[CropDef=1]", "IsTessRec", "TessCrop = 1 AND YldGoal > 0");
  EXPECT_EQ(Load(), "IsTessRec expression in [CropDef=1] section is invalid.\r\nUnknown variable.");
  Lines = SampleLines();
  Set("[InitMisc]", "CEC", "K/390 +");
  EXPECT_EQ(Load(), "CEC expression in [InitMisc] section is invalid.\r\nMissing or invalid operand.");
  Lines = SampleLines();
  Set("[NutAvail]", "NVar2", "NVar1 * Rate / 0");  // null variables: no division is tried
  EXPECT_EQ(Load(), "");
}

TEST_F(QriFileDb, RateBasisTargets) {
  Set("[RateBasDef=1]", "TargetAmt", "1000");
  EXPECT_EQ(Load(), "TargetAmt=1000 setting in [RateBasDef=1] section is invalid.\r\nInvalid target factor.");
  Set("[RateBasDef=1]", "TargetNum", "3");
  Set("[RateBasDef=1]", "TargetAmt", "2.5");
  EXPECT_EQ(Load(), "TargetAmt=2.5 setting in [RateBasDef=1] section is invalid.\r\nInvalid target amount.");
  Set("[RateBasDef=1]", "TargetAmt", "MaxNut * 2");
  EXPECT_EQ(Load(), "");
  Set("[RateBasDef=1]", "TargetAmt", "MaxN * 2");
  EXPECT_EQ(Load(), "TargetAmt expression in [RateBasDef=1] section is invalid.\r\nUnknown variable.");
  Lines = SampleLines();
  Set("[RateBasDef=1]", "TargetNum", "5");
  Set("[RateBasDef=1]", "TargetAmt", "");
  EXPECT_EQ(Load(), "NLmtBasNum= setting in [RateBasDef=1] section is invalid.\r\nValue cannot be blank.");
  Set("[RateBasDef=1]", "NLmtBasNum", "2");
  EXPECT_EQ(Load(), "NLmtTarNum= setting in [RateBasDef=1] section is invalid.\r\nValue cannot be blank.");
}

TEST_F(QriFileDb, UniquenessLookupsAndShapes) {
  Set("[AppRegMo=2]", "Month", "1");
  EXPECT_EQ(Load(), "AppRegion=1 and Month=1 settings in [AppRegMo=2] section are not unique.");
  Lines = SampleLines();
  Set("[CntyCode=1]", "AppRegion", "9");
  EXPECT_EQ(Load(), "AppRegion=9 setting in [CntyCode=1] section is invalid.\r\n"
                    "Value must specify a valid [AppRegion] section.");
  Lines = SampleLines();
  Set("[SbFStndDef=1]", "Shape", "round");
  EXPECT_EQ(Load(), "Shape=round setting in [SbFStndDef=1] section is invalid.\r\nInvalid GIS shape.");
  Set("[SbFStndDef=1]", "Shape", "AREA");
  EXPECT_EQ(Load(), "");
  Append("[RateBasDef=3]");
  Append("Name=rat NAME");
  EXPECT_EQ(Load(), "Name=rat NAME setting in [RateBasDef=3] section is not unique.");
}

TEST_F(QriFileDb, ChecksumFollowsListedSettingsOnly) {
  Set("[InitMisc]", "DefPlanYrs", "2");
  ASSERT_EQ(Load(), "");
  EXPECT_EQ(Db.GetFieldValue(qfCrc, 0), "");  // blanked: the project file then refuses the file
  EXPECT_TRUE(Db.IsModified());
  Lines = SampleLines();
  Set("[CropDef=1]", "Remark", "not a listed setting");
  Set("[InitInfo]", "CRC", LowerCase(SampleLines()[9].substr(4)));  // compared without regard to case
  ASSERT_EQ(Load(), "");
  EXPECT_EQ(Db.GetFieldValue(qfCrc, 0), Db.FileCrc());
  EXPECT_FALSE(Db.IsModified());
}

TEST_F(QriFileDb, ReorderedFileHasTheSameChecksum) {
  // Sections in reverse order (the entries of one section keep theirs), each block's settings reversed.
  std::vector<std::vector<std::string>> sections;
  std::string last;
  for (const std::string& line : Lines) {
    if (!line.empty() && line[0] == '[') {
      const std::string name = line.substr(0, line.find_first_of("=]"));
      if (name != last) sections.emplace_back();
      last = name;
      sections.back().push_back(line);
    } else if (!line.empty() && line[0] != ';' && !sections.empty()) {
      auto& block = sections.back();
      auto header = std::find_if(block.rbegin(), block.rend(), [](const std::string& l) { return l[0] == '['; });
      block.insert(header.base(), line);
    }
  }
  Lines.clear();
  for (auto s = sections.rbegin(); s != sections.rend(); ++s) Lines.insert(Lines.end(), s->begin(), s->end());
  ASSERT_EQ(Load(), "");
  EXPECT_EQ(Db.ComputedCrc(), Db.FileCrc());
  EXPECT_EQ(Db.SectionName(0), "InitInfo");
}

TEST_F(QriFileDb, OptionalSectionsMayBeAbsent) {
  Remove("[PTestDef=1]");
  Remove("[SbOperDef=1]");
  Remove("[SbFStndDef=1]");
  ASSERT_EQ(Load(), "");
  EXPECT_EQ(Db.FieldRowCount(77), 0);
  EXPECT_EQ(Db.FieldRowCount(qfMiscColDef), 0);
  EXPECT_EQ(Db.FindFieldRow(78, "Bray"), -1);
  EXPECT_EQ(Db.FindMiscColumn("SoilKey", "MiscA"), -1);
  EXPECT_NE(Db.FieldLocation(250).Section, -1);
  Lines = SampleLines();
  Remove("[CropDef=1]");
  EXPECT_EQ(Load(), "[CropDef] section is missing.");
}

TEST_F(QriFileDb, CropAndMiscColumnServices) {
  Append("[MiscColDef=2]");
  Append("Table=SoilKey\nColumn=MiscB\nLabel=Depth");
  Append("[MiscColDef=1]");
  Append("Table=soilkey\nColumn=MISCA\nLabel=Clay");
  Append("[CropDef=7]");
  Append("Name=Rye cover\nCanBeCover=Yes\nCanBeFirst=no");
  Set("[Units]", "SoilTests", "LB/A");
  ASSERT_EQ(Load(), "");
  EXPECT_EQ(Db.FindMiscColumn("SoilKey", "MiscA"), 1);
  EXPECT_EQ(Db.FindMiscColumn("SOILKEY", "miscb"), 0);
  EXPECT_TRUE(Db.SoilTestsInLbPerAcre());
  EXPECT_TRUE(Db.NotCoverOnlyCrop(Db.FindFieldRow(qfCropDef, "1")));
  EXPECT_FALSE(Db.NotCoverOnlyCrop(Db.FindFieldRow(qfCropDef, "7")));
}

TEST_F(QriFileDb, SignWritesTheChecksumIntoTheFile) {
  Set("[InitMisc]", "DefPlanYrs", "3");
  const std::string path = Write("ia.qri", Text());
  std::string crc, error;
  ASSERT_TRUE(SignQriFile(path, crc, error)) << error;
  ASSERT_TRUE(Db.Load(path));
  EXPECT_EQ(Db.FileCrc(), crc);
  EXPECT_EQ(Db.GetFieldValue(qfCrc, 0), crc);
  EXPECT_NE(ReadWholeFile(path).find("CRC=" + crc + "\r\n"), std::string::npos);  // line endings kept

  Set("[InitMisc]", "DefPlanYrs", "0");
  const std::string bad = Write("bad.qri", Text());
  EXPECT_FALSE(SignQriFile(bad, crc, error));
  EXPECT_EQ(error, "DefPlanYrs=0 setting in [InitMisc] section is invalid.\r\nValue must be in the range 1 - 10.");
}

}  // namespace
