// The dBASE export: a project's records as a field data table (one row per record) and an
// application data table (one row per applied input), for spreadsheets, databases and GIS.
#pragma once

#include <functional>
#include <string>

#include "interchange/ExportRun.h"

// Called after a successful export with both tables' names and row counts.
using TDbfExportDone =
    std::function<void(const std::string& fieldPath, int fieldRows, const std::string& appPath, int appRows)>;

// Writes both tables, each with a ".cpg" file beside it that names code page 1252. The tables are
// built under temporary names and replace files of the same names only when both are complete.
// On failure nothing is left behind, `message` says why and the project's error state is 14
// (except for "No records in selected subset." and a cancel).
bool ExportToDbase(TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions, const std::string& fieldPath,
                   const std::string& appPath, const TDbfExportDone& done, const TExportOptions& options,
                   std::string& message);
