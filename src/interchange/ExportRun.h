// What the record exports (dBASE tables, database, JSON) share: the options that choose the
// records and their cost columns, and the walk over the accepted records.
#pragma once

#include <functional>
#include <vector>

#include "interchange/ExportCols.h"
#include "store/CostCalc.h"
#include "store/MdaFile.h"

struct TExportOptions {
  // Decides per record whether it is exported and may change the copy (subset and StripRecord);
  // null exports every record.
  TRecordFilter Filter;
  // Leaves the seventeen cost columns blank.
  bool ExcludeCosts = false;
  // How the cost columns are computed, at the working costs of the definition file (load a custom
  // cost file into them first, or restore the standard costs).
  TCostOptions CostOptions;
  // Called with the records examined so far and the record count; false cancels the export.
  std::function<bool(int done, int total)> Progress;
};

// The cost columns of a record: its cost summary without the fertilizer figure used in the total.
TCostFigures ExportCostFigures(const TCostSummary& summary);

enum class TExportWalk { Done, Canceled, ReadFailed, WriteFailed };

// Reads the project's records in order and hands a copy of each one the filter accepts (changed by
// it) to `visit`; false from `visit` stops the walk. `accepted` counts the records handed on. On
// ReadFailed the project's error state says why.
TExportWalk WalkAcceptedRecords(TMdaFile& project, const TExportOptions& options,
                                const std::function<bool(const TFieldRec&)>& visit, int& accepted);

// Receives one accepted record as a field data row with its application rows; false stops the walk.
using TExportWrite = std::function<bool(const TFieldDataRow&, const std::vector<TAppRow>&)>;

// As WalkAcceptedRecords, with each record as a field data row (its cost figures computed unless
// they are excluded) and its application rows.
TExportWalk WalkExportRecords(TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions,
                              const TExportOptions& options, const TExportWrite& write, int& accepted);

inline constexpr const char* kExportCanceled = "Export canceled by user.";
inline constexpr const char* kNoRecordsInSubset = "No records in selected subset.";
