#include "interchange/SdmToSls.h"

#include <cmath>
#include <cstdio>

#include "common/Cp1252.h"
#include "common/Format.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "store/FieldRules.h"
#include "vocab/CodeLists.h"

namespace {

const char* const kReadOnly = "Project file is read-only or locked.";
const char* const kNoRecords = "Project file contains no records.";
const char* const kMultiState = "Updating a multi-state project file is not supported.";
const char* const kNoConnection = "Unable to connect to Soil Data Mart Web service.";
const char* const kNoSurveyInfo = "Unable to retrieve soil survey information from Soil Data Mart Web service.";
const char* const kNoSoilData = "Unable to retrieve soil data from Soil Data Mart Web service.";

// The survey area symbols of a survey area answer, each quoted, joined by ", ".
std::string AreaList(const TSdmAnswer& answer) {
  std::string list;
  for (const TSdmRow& row : answer.rows) {
    if (!list.empty()) list += ", ";
    list += "'" + SqlQuoted(row.Value("areasymbol")) + "'";
  }
  return list;
}

bool Number(const std::string& text, double& value) { return !text.empty() && ParseReal(Trim(text), value); }

// The slope the answer gives a soil without one: the mean of the low and high slopes when both are
// given, else the one given; false when neither is. `from` names the columns and their values.
bool AnswerSlope(const TSdmRow& row, double& slope, std::string& from) {
  double low = 0, high = 0;
  const bool hasLow = Number(row.Value("slope_l"), low);
  const bool hasHigh = Number(row.Value("slope_h"), high);
  if (hasLow && hasHigh) {
    slope = std::round((low + high) / 2 * 10) / 10;
    from = "slope_l and slope_h values \"" + row.Value("slope_l") + "\" and \"" + row.Value("slope_h") + "\" give " +
           ShortestReal(slope) + ", which";
  } else {
    slope = hasLow ? low : high;
    from = (hasLow ? "slope_l" : "slope_h") + std::string(" value \"") + row.Value(hasLow ? "slope_l" : "slope_h") + "\"";
  }
  return hasLow || hasHigh;
}

// The text of a column into a record field (cut to its length), refused when it holds a character
// code page 1252 lacks or breaks the field's rule.
bool StoreText(const TSdmRow& row, const char* column, const char* field, int soil, TFieldRec& rec,
               const TRuleContext& ctx, std::string& why) {
  const TFieldDesc& desc = *RecordField(field);
  TTextImport refuse;
  std::string text, rule;
  if (ImportUtf8(row.Value(column), text, refuse, rule) &&
      SetFieldText(&rec, desc, soil, text.substr(0, desc.maxLength), rule))
    rule = CheckFieldValue(rec, desc, soil, ctx);
  if (rule.empty()) return true;
  why = std::string(column) + " value " + rule;
  return false;
}

// A number into a record field when it passes the field's rule; `from` names where it came from.
bool StoreNumber(double value, const char* field, int soil, TFieldRec& rec, const TRuleContext& ctx,
                 const std::string& from, std::string& why) {
  const std::string rule = SetCheckedNumber(rec, field, soil, value, ctx);
  if (rule.empty()) return true;
  why = from + " is not accepted: " + rule;
  return false;
}

// The service's texture ("GR-L") names its modifier before a "-"; the texture follows it.
uint8_t TextureCode(const std::string& texture) {
  const size_t dash = texture.find('-');
  return static_cast<uint8_t>(FindCodeByName(TCodeList::SoilTexture, dash == std::string::npos ? texture : texture.substr(dash + 1)));
}

// The service's drainage class ("Moderately well drained") without its last word " drained". The
// two excessive classes are abbreviated in the code list, so their names are matched here.
uint8_t DrainageCode(const std::string& drainage) {
  const std::string name = drainage.size() > 8 ? drainage.substr(0, drainage.size() - 8) : drainage;
  if (SameText(name, "Excessively")) return 1;
  if (SameText(name, "Somewhat excessively")) return 2;
  return static_cast<uint8_t>(FindCodeByName(TCodeList::SoilDrainage, name));
}

std::string Failure(const char* what, const std::string& reason) { return std::string(what) + " " + reason; }

}  // namespace

std::string SqlQuoted(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

std::string SurveyAreaQuery(const std::string& area) {
  return "SELECT saversion, saverest, l.areasymbol, l.areaname, lao.areasymbol AS cntysymbol, lao.areaname AS "
         "cntyname FROM sacatalog sac INNER JOIN legend l ON l.areasymbol = sac.areasymbol INNER JOIN laoverlap lao "
         "ON lao.lkey = l.lkey AND lao.areatypename = 'County or Parish' AND lao.areasymbol = '" +
         SqlQuoted(area) + "' ORDER BY l.areasymbol, lao.areasymbol";
}

std::string MapUnitQuery(const std::string& areas, const std::string& symbol, const std::string& name) {
  return "SELECT saversion, saverest, l.areasymbol, l.areaname, mu.musym, mu.muname, museq, comppct_r, compname, "
         "slope_l, slope_h, tfact, drainagecl, texture FROM sacatalog sac INNER JOIN legend l ON l.areasymbol = "
         "sac.areasymbol AND l.areasymbol IN (" +
         areas + ") INNER JOIN mapunit mu ON mu.lkey = l.lkey AND LOWER(mu.musym) = '" +
         SqlQuoted(LowerCase(symbol)) +
         "' LEFT OUTER JOIN component c ON c.mukey = mu.mukey AND c.majcompflag = 'Yes' AND c.compname LIKE '" +
         (name.empty() ? std::string("%") : SqlQuoted(name)) +
         "' LEFT OUTER JOIN chorizon ch ON ch.cokey = c.cokey AND ch.hzdept_r = '0' LEFT OUTER JOIN chtexturegrp "
         "chtg ON chtg.chkey = ch.chkey AND chtg.rvindicator = 'Yes' ORDER BY l.areasymbol, museq, comppct_r DESC, "
         "compname";
}

bool ApplyMapUnitRow(const TSdmRow& row, TFieldRec& rec, int soil, const TRuleContext& ctx, std::string& why) {
  TFieldRec next = rec;
  if (!row.Value("musym").empty() && !StoreText(row, "musym", "Soil_Sym", soil, next, ctx, why)) return false;
  // No major component matched the stored name: its columns are null. The record keeps its soil
  // name, drainage class and the rest rather than losing them.
  if (!row.Value("compname").empty()) {
    if (!StoreText(row, "compname", "Soil_Name", soil, next, ctx, why)) return false;
    double v = 0;
    std::string from;
    if (next.Soil_Slope[soil] < 0 && AnswerSlope(row, v, from) &&
        !StoreNumber(v, "Soil_Slope", soil, next, ctx, from, why))
      return false;
    const std::string texture = Utf8ToCp1252(row.Value("texture"));  // a name to look up
    if (!texture.empty()) next.Soil_Texture[soil] = TextureCode(texture);
    next.Soil_Drain[soil] = DrainageCode(Utf8ToCp1252(row.Value("drainagecl")));
    if (Number(row.Value("tfact"), v) &&
        !StoreNumber(v, "Soil_TValue", soil, next, ctx, "tfact value \"" + row.Value("tfact") + "\"", why))
      return false;
  }
  rec = next;
  return true;
}

TSdmSoilsUpdate::TSdmSoilsUpdate(TMdaFile& file, const TSdmSettings& settings) : file_(file), settings_(settings) {}

TSdmSoilsUpdate::~TSdmSoilsUpdate() = default;

std::string SoilsUpdateRefusal(const TMdaFile& file, int record) {
  if (!file.IsWritable()) return kReadOnly;
  if (file.RecordCount() == 0) return kNoRecords;
  if (file.ProjectState() == 0) return kMultiState;
  if (record < 0 || record > file.RecordCount()) return "Record " + std::to_string(record) + " is not in the project file.";
  return {};
}

bool TSdmSoilsUpdate::Begin(int record, std::string& message) {
  message = SoilsUpdateRefusal(file_, record);
  if (!message.empty()) return false;
  first_ = record == 0 ? 1 : record;
  last_ = record == 0 ? file_.RecordCount() : record;
  client_ = std::make_unique<TSdmClient>(settings_);
  if (!client_->Ready()) message = kNoConnection;
  return message.empty();
}

bool TSdmSoilsUpdate::Read(int number, TSdmRecordJob& job, std::string& message) {
  job = {};
  job.number = number;
  if (!file_.ReadRecord(number, job.rec)) {
    message = file_.FullErrorText();
    return false;
  }
  const TProjectRefs* refs = file_.Refs();
  if (job.rec.County != 0 && refs) {
    char county[16];
    std::snprintf(county, sizeof county, "%03d", refs->CountyCode(job.rec.County, job.rec.State));
    job.area = refs->StateAbbrev(job.rec.State) + county;
  }
  return true;
}

bool TSdmSoilsUpdate::Query(TSdmRecordJob& job, std::string& message) const {
  if (job.area.empty() || !client_) return true;
  TSdmAnswer answer;
  std::string reason;
  if (!client_->RunQuery(SurveyAreaQuery(job.area), answer, reason)) {
    message = Failure(kNoSurveyInfo, reason);
    return false;
  }
  const std::string areas = AreaList(answer);
  // The soil fields' rules need none of the state tables.
  const TRuleContext rules{*file_.Refs(), nullptr, file_.ProjectState(), file_.ProjectYear()};
  for (int k = 0; k < kSoilRows; ++k) {
    if (job.rec.Soil_Sym[k].Empty()) continue;
    if (areas.empty()) {
      ++job.notUpdated;
      continue;
    }
    if (!client_->RunQuery(MapUnitQuery(areas, job.rec.Soil_Sym[k], job.rec.Soil_Name[k]), answer, reason)) {
      message = Failure(kNoSoilData, reason);
      return false;
    }
    std::string why;
    if (answer.firstIsTable && ApplyMapUnitRow(answer.rows.front(), job.rec, k, rules, why)) {
      ++job.updated;
      continue;
    }
    ++job.notUpdated;
    if (!why.empty())
      job.reasons.push_back("Record " + std::to_string(job.number) + ", soil " + std::to_string(k + 1) + " (" +
                            job.rec.Soil_Sym[k].Str() + ") not updated: " + Utf8ToCp1252(why) + ".");
  }
  return true;
}

bool TSdmSoilsUpdate::Write(const TSdmRecordJob& job, std::string& message) {
  if (job.updated == 0 || file_.WriteRecord(job.number, job.rec, true)) return true;
  message = file_.FullErrorText();
  return false;
}

bool UpdateSoilsFromSdm(TMdaFile& file, int record, const TSdmSettings& settings, int& updated, int& notUpdated,
                        std::string& message, std::vector<std::string>* reasons) {
  updated = notUpdated = 0;
  TSdmSoilsUpdate update(file, settings);
  if (!update.Begin(record, message)) return false;
  for (int n = update.First(); n <= update.Last(); ++n) {
    TSdmRecordJob job;
    if (!update.Read(n, job, message) || !update.Query(job, message) || !update.Write(job, message)) return false;
    updated += job.updated;
    notUpdated += job.notUpdated;
    if (reasons) reasons->insert(reasons->end(), job.reasons.begin(), job.reasons.end());
  }
  return true;
}
