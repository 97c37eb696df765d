#include <gtest/gtest.h>

#include <cstring>

#include "interchange/SdmAnswer.h"
#include "interchange/SdmToSls.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "store/LoadedRefs.h"

namespace {

bool Parse(const std::string& xml, TSdmAnswer& answer, std::string& error) {
  return ParseSdmAnswer(xml.data(), xml.size(), answer, error);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

// An answer as the service writes it, laid out over lines.
const std::string kHead = R"(<?xml version="1.0" encoding="utf-8"?>
<soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
 <soap:Body><RunQueryResponse xmlns="http://SDMDataAccess.nrcs.usda.gov/Tabular/SDMTabularService.asmx"><RunQueryResult>
  <xs:schema id="NewDataSet" xmlns="" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:msdata="urn:schemas-microsoft-com:xml-msdata">
   <xs:element name="NewDataSet" msdata:IsDataSet="true" msdata:UseCurrentLocale="true"><xs:complexType>
    <xs:choice minOccurs="0" maxOccurs="unbounded"><xs:element name="Table"><xs:complexType><xs:sequence>
     <xs:element name="musym" type="xs:string" minOccurs="0" /><xs:element name="compname" type="xs:string" minOccurs="0" />
    </xs:sequence></xs:complexType></xs:element></xs:choice></xs:complexType></xs:element></xs:schema>
  <diffgr:diffgram xmlns:msdata="urn:schemas-microsoft-com:xml-msdata" xmlns:diffgr="urn:schemas-microsoft-com:xml-diffgram-v1">)";
const std::string kTail = "</diffgr:diffgram></RunQueryResult></RunQueryResponse></soap:Body></soap:Envelope>";
const std::string kTwoRows = kHead + R"(<NewDataSet xmlns="">
   <Table diffgr:id="Table1" msdata:rowOrder="0"><musym>138B</musym><compname>Ca&amp;ñada</compname></Table>
   <Table diffgr:id="Table2" msdata:rowOrder="1"><musym>138B</musym></Table>
  </NewDataSet>)" + kTail;

TEST(SdmAnswerTest, ReadsTheRowsOfTheDataSet) {
  TSdmAnswer answer;
  std::string error;
  ASSERT_TRUE(Parse(kTwoRows, answer, error)) << error;
  EXPECT_FALSE(answer.isFault);
  EXPECT_TRUE(answer.firstIsTable);
  ASSERT_EQ(answer.rows.size(), 2u);
  EXPECT_EQ(answer.rows[0].Value("musym"), "138B");
  EXPECT_EQ(answer.rows[0].Value("compname"), "Ca&\xC3\xB1" "ada");  // UTF-8 as sent
  EXPECT_EQ(answer.rows[1].Value("compname"), "");                 // null: left out
  // Only "Table" rows count, and only a "Table" first row is a result.
  ASSERT_TRUE(Parse(Replaced(Replaced(kTwoRows, "<Table diffgr:id=\"Table1\"", "<Other"), "</Table>", "</Other>"),
                    answer, error));
  EXPECT_FALSE(answer.firstIsTable);
  EXPECT_EQ(answer.rows.size(), 1u);
  ASSERT_TRUE(Parse(kHead + kTail, answer, error));  // no rows: the diffgram is empty
  EXPECT_TRUE(answer.rows.empty());
}

TEST(SdmQueryTest, QueriesAndRequestCarryQuotedEscapedLiterals) {
  EXPECT_EQ(SurveyAreaQuery("IA169"),
            "SELECT saversion, saverest, l.areasymbol, l.areaname, lao.areasymbol AS cntysymbol, lao.areaname AS "
            "cntyname FROM sacatalog sac INNER JOIN legend l ON l.areasymbol = sac.areasymbol INNER JOIN laoverlap "
            "lao ON lao.lkey = l.lkey AND lao.areatypename = 'County or Parish' AND lao.areasymbol = 'IA169' ORDER "
            "BY l.areasymbol, lao.areasymbol");
  EXPECT_EQ(MapUnitQuery("'IA169', 'IA610'", "138B", "O'Neill"),
            "SELECT saversion, saverest, l.areasymbol, l.areaname, mu.musym, mu.muname, museq, comppct_r, compname, "
            "slope_l, slope_h, tfact, drainagecl, texture FROM sacatalog sac INNER JOIN legend l ON l.areasymbol = "
            "sac.areasymbol AND l.areasymbol IN ('IA169', 'IA610') INNER JOIN mapunit mu ON mu.lkey = l.lkey AND "
            "LOWER(mu.musym) = '138b' LEFT OUTER JOIN component c ON c.mukey = mu.mukey AND c.majcompflag = 'Yes' "
            "AND c.compname LIKE 'O''Neill' LEFT OUTER JOIN chorizon ch ON ch.cokey = c.cokey AND ch.hzdept_r = '0' "
            "LEFT OUTER JOIN chtexturegrp chtg ON chtg.chkey = ch.chkey AND chtg.rvindicator = 'Yes' ORDER BY "
            "l.areasymbol, museq, comppct_r DESC, compname");
  EXPECT_NE(MapUnitQuery("'IA015'", "X'Y", "").find("'x''y' LEFT OUTER JOIN component c ON c.mukey = mu.mukey AND "
                                                    "c.majcompflag = 'Yes' AND c.compname LIKE '%' "),
            std::string::npos);
  EXPECT_NE(SdmRequestEnvelope("c < 1 AND d LIKE 'Ca\xF1" "ada & co'\x01")
                .find("<RunQuery xmlns=\"http://SDMDataAccess.nrcs.usda.gov/Tabular/SDMTabularService.asmx\"><Query>"
                      "c &lt; 1 AND d LIKE 'Ca\xC3\xB1" "ada &amp; co'</Query></RunQuery>"),
            std::string::npos);
}

TEST(SdmQueryTest, FirstRowUpdatesOneSoil) {
  TFieldRec rec{};
  for (int k = 0; k < kSoilRows; ++k) {
    rec.Soil_Sym[k] = "old";
    rec.Soil_Name[k] = "Old name";
    rec.Soil_Slope[k] = k == 1 ? 7.5f : -1.0f;
    rec.Soil_Texture[k] = 13;
    rec.Soil_Drain[k] = 4;
    rec.Soil_TValue[k] = 3;
  }
  const TFieldRec before = rec;
  using TCells = std::vector<std::pair<std::string, std::string>>;
  TMcnFile mcn;
  TMdfFile mdf;
  const TLoadedRefs refs(mcn, mdf);  // the soil fields' rules look nothing up
  const TRuleContext ctx{refs};
  std::string why;
  auto apply = [&](int soil, TCells cells) { return ApplyMapUnitRow(TSdmRow{std::move(cells)}, rec, soil, ctx, why); };

  // Both slopes give their mean; texts are cut to the field widths; the texture follows its modifier.
  apply(0, {{"musym", "138C2abc"}, {"compname", "Clarion and other long names"}, {"slope_l", "2"}, {"slope_h", "5"},
            {"texture", "GR-SIL"}, {"drainagecl", "Somewhat poorly drained"}, {"tfact", "5"}});
  EXPECT_EQ(rec.Soil_Sym[0].Str(), "138C2a");
  EXPECT_EQ(rec.Soil_Name[0].Str(), "Clarion and other lo");
  EXPECT_FLOAT_EQ(rec.Soil_Slope[0], 3.5f);
  EXPECT_EQ(rec.Soil_Texture[0], 14);  // SIL
  EXPECT_EQ(rec.Soil_Drain[0], 5);     // Somewhat poorly
  EXPECT_FLOAT_EQ(rec.Soil_TValue[0], 5);
  // A stored slope stays; unknown texture and drainage class give 0; a null T factor keeps T.
  apply(1, {{"musym", "55"}, {"compname", "Nicollet"}, {"slope_l", "1"}, {"slope_h", "3"}, {"texture", "MUCK"},
            {"drainagecl", "Subaqueous"}});
  EXPECT_FLOAT_EQ(rec.Soil_Slope[1], 7.5f);
  EXPECT_EQ(rec.Soil_Texture[1] * 10 + rec.Soil_Drain[1], 0);
  EXPECT_FLOAT_EQ(rec.Soil_TValue[1], 3);
  // One slope alone; a null texture keeps it; the excessive classes the list abbreviates; a null symbol.
  apply(2, {{"musym", "27B"}, {"compname", "Terril"}, {"slope_h", "2"}, {"drainagecl", "Somewhat excessively drained"}});
  EXPECT_FLOAT_EQ(rec.Soil_Slope[2], 2);
  EXPECT_EQ(rec.Soil_Texture[2], 13);
  EXPECT_EQ(rec.Soil_Drain[2], 2);
  apply(2, {{"compname", "Sparta"}, {"drainagecl", "EXCESSIVELY DRAINED"}});
  EXPECT_EQ(rec.Soil_Drain[2], 1);
  EXPECT_EQ(rec.Soil_Sym[2].Str(), "27B");

  // The map unit without a major component like the stored name: only the symbol changes.
  rec = before;
  apply(0, {{"musym", "138B"}, {"muname", "Clarion loam, 2 to 6 percent slopes"}});
  EXPECT_EQ(rec.Soil_Sym[0].Str(), "138B");
  rec.Soil_Sym[0] = "old";
  EXPECT_EQ(std::memcmp(&rec, &before, sizeof rec), 0);
}

}  // namespace
