// The state tables of one state at a time (the state's planner initialization file), loaded on
// demand for the state of the record in hand, and the record services built on them: crop slot
// names and yield units, the crop definition of a slot, drainage types. Formulas of the loaded
// file are compiled once and kept until another state is loaded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/MdaLayout.h"
#include "store/ProjectRefs.h"
#include "textdb/EvalUtil.h"
#include "textdb/QriFilDb.h"

// Field numbers of the state tables used here and by the nutrient engine (besides QriFilDb.h's).
enum : int {
  qfCecFormula = 18,
  qfDrainDef = 50, qfDrainName = 51, qfUseIfDrain = 53, qfPTestDef = 77, qfPTestName = 78,
  qfYldUnit = 81, qfIsTessRec = 86, qfToTessCrop = 87,
  qfNCredit = 88, qfPRemoved = 90, qfKRemoved = 91,
  qfNVar1 = 92, qfNRec = 102, qfPVar1 = 103, qfPRec = 113, qfKVar1 = 114, qfKRec = 124,
  qfManureName = 152, qfManIsLiquid = 154, qfManIsPoultry = 155, qfManTotalN = 156, qfManNH4N = 157,
  qfManP2O5 = 158, qfManK2O = 159, qfManPctMineral = 160, qfManAnimalDef = 161, qfManStorageDef = 162,
  qfIsTessAve = 163,
  qfUseNModel = 174, qfPctAvailP = 176, qfPctAvailK = 177, qfNAvailVar1 = 180, qfNAvail = 195,
  qfCntyCode = 220, qfCntyName = 221, qfAppRegion = 222, qfRecRegion = 223,
};

// Rates of a crop definition that were not checked against the publication's own table, as bits:
// its N, P2O5 and K2O recommendations and the N credit it leaves the next crop.
enum : unsigned { prN = 1, prP2O5 = 2, prK2O = 4, prNCredit = 8, prAll = 15 };
// The crop definition setting that lists them ("N, K2O"); a setting the planner does not know, so
// it takes no part in the file's checks or checksum.
constexpr const char* kProvisionalSetting = "Provisional";

class TStateTables {
 public:
  // The references must outlive this object. The state files lie in the folder of the definition
  // file; state abbreviations and county codes come from the county names file.
  explicit TStateTables(const TProjectRefs& refs);
  ~TStateTables();
  TStateTables(const TStateTables&) = delete;
  TStateTables& operator=(const TStateTables&) = delete;

  // Makes the tables hold the file of `state`; does nothing when that state is loaded already.
  bool LoadStateTables(int state, std::string& message);
  bool LoadStateTables(int state);
  bool IsLoaded() const { return Tables.SectionCount() > 0; }
  const std::string& StateAbbr() const { return loadedAbbr_; }  // of the loaded tables; empty when none are
  const TQriFileDb& Db() const { return Tables; }
  const TProjectRefs& Refs() const { return refs_; }

  // Record services; each loads the record's state first and gives an empty result without tables.
  std::string CropSlotName(int slot, const TFieldRec& rec);
  std::string YieldUnitText(int slot, const TFieldRec& rec);
  int CropDefinitionRow(int slot, const TFieldRec& rec);
  std::string DrainageTypeName(const TFieldRec& rec);
  int DefaultDrainageType(const TFieldRec& rec);

  // The unchecked rates (pr* bits) of crop definition `row` by its Provisional setting: a list of
  // N, P2O5, K2O and NCredit. A word it does not know marks every rate, so a misspelt list never
  // passes a rate off as checked. 0 for none or a file without the setting.
  unsigned ProvisionalRates(int row) const;

  // The first manure definition whose IsTessAve formula is true for the manure input code, or -1.
  int ManureDefinitionRow(int code);
  // The row of the record's county in the county table, or -1.
  int CountyRow(const TFieldRec& rec);
  // The formula of a setting, compiled and bound to the variable list `layout`[0..highIndex] on
  // first use. A setting is always evaluated with the same list of names, so one binding serves.
  const TCompiledExpression& Formula(int field, int row, const TExprVar* layout, int highIndex);

 private:
  // The definition row with this number (column 79), or -1.
  int DefinitionRow(int number) const;
  // The stored definition's row when it maps to "Other" (the crop is 31 or 102), else -1.
  int OtherDefinitionRow(int slot, const TFieldRec& rec);
  int FindDefinitionByCondition(int slot, const TFieldRec& rec);
  void ClearCaches();

  const TProjectRefs& refs_;
  TQriFileDb Tables;
  std::unordered_map<int, int> definitionRows_;   // definition number -> row
  std::vector<unsigned> provisional_;             // by definition row: ProvisionalRates
  std::unordered_map<int, int> conditionRows_;    // crop and slot kind -> row found by condition
  std::unordered_map<int, int> countyRows_;       // county number -> row
  std::unordered_map<int, int> manureRows_;       // manure input code -> row
  // Compiled formulas by field and row: every step of every recommendation looks one up.
  std::vector<std::vector<std::unique_ptr<TCompiledExpression>>> formulas_;
  int loadedState_ = -1;  // the state number the loaded tables were asked for
  std::string loadedAbbr_;
  // The state whose file failed last (while no tables are loaded), with the file's size and time
  // then: the failure is repeated without reading until the file changes (the user mends it).
  int failedState_ = -1;
  std::string failedStamp_;
  std::string failedMessage_;
};
