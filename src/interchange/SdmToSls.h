// The soils update from the USDA-NRCS Soil Data Mart: for every soil of a record that has a map unit
// symbol, the map unit in the soil survey areas of the record's county, and what the service
// knows of its major component (name, slope, surface texture, drainage class, T factor).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "interchange/SdmClient.h"
#include "store/FieldRules.h"
#include "store/MdaFile.h"

// Why a soils update (from any source) of record `record` (0: all records) is refused: a file that
// cannot be written, an empty one, a multi-state one, a record number outside the file; empty when
// it may go ahead.
std::string SoilsUpdateRefusal(const TMdaFile& file, int record);

// One record's share of an update.
struct TSdmRecordJob {
  int number = 0;
  TFieldRec rec{};
  std::string area;  // survey area candidate: state abbreviation and 3-digit county code; empty: skipped
  int updated = 0;
  int notUpdated = 0;
  std::vector<std::string> reasons;  // why soils found were not updated, one line each
};

// The update in steps, so that a caller can make the service calls off the thread that owns the
// project file: Begin, then per record Read and Write on the file's thread and Query on any.
class TSdmSoilsUpdate {
 public:
  TSdmSoilsUpdate(TMdaFile& file, const TSdmSettings& settings);
  ~TSdmSoilsUpdate();

  // Refuses a file that cannot be written, an empty one, a multi-state one and a record number
  // outside the file (`record` 0: all records); then makes the service connection.
  bool Begin(int record, std::string& message);
  int First() const { return first_; }
  int Last() const { return last_; }

  bool Read(int number, TSdmRecordJob& job, std::string& message);
  // Asks the service for the record's soils and applies the answers to job.rec; touches no file.
  bool Query(TSdmRecordJob& job, std::string& message) const;
  // Writes the record back, flushed, when one of its soils was updated.
  bool Write(const TSdmRecordJob& job, std::string& message);

 private:
  TMdaFile& file_;
  TSdmSettings settings_;
  std::unique_ptr<TSdmClient> client_;
  int first_ = 1;
  int last_ = 0;
};

// The whole update at once. On success the counts of soils updated and not updated, and in
// `reasons` why soils the service found were not updated; otherwise the message. Records written
// before a failure stay written.
bool UpdateSoilsFromSdm(TMdaFile& file, int record, const TSdmSettings& settings, int& updated,
                        int& notUpdated, std::string& message, std::vector<std::string>* reasons = nullptr);

// The text with every single quote doubled, for an SQL string literal.
std::string SqlQuoted(const std::string& text);
// The survey areas that cover a county, e.g. area "IA169".
std::string SurveyAreaQuery(const std::string& area);
// One soil's map unit in the listed survey areas ("'IA169', 'IA610'") with the major component
// whose name is like `name` ("%" when empty).
std::string MapUnitQuery(const std::string& areas, const std::string& symbol, const std::string& name);
// Stores the first row of a map unit answer in soil `soil` (0..2) of the record, every value
// through the record's field checks (code page 1252 texts without control characters, the slope
// and T value ranges). False when one fails: the record keeps the soil as it was, and `why` (UTF-8)
// names the column, its value and the rule.
bool ApplyMapUnitRow(const TSdmRow& row, TFieldRec& rec, int soil, const TRuleContext& ctx, std::string& why);
