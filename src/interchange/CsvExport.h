// The CSV export: the database export's tables as three CSV files (RFC 4180, UTF-8 with a
// byte-order mark, CR LF line ends), a header line of column names followed by the rows.
#pragma once

#include <string>

#include "interchange/DbfExport.h"

inline constexpr const char* kCsvExtension = ".csv";

struct TCsvFiles {
  std::string Project, Fields, Applications;
};

// The files of an export to `out`: named after the project file in the folder `out` when that is
// a folder, else after `out` itself (without a ".csv" extension); the base name is followed by
// ".Project.csv", ".Fields.csv" and ".Applications.csv".
TCsvFiles CsvFileNames(const std::string& out, const std::string& projectPath);

// Writes the three files into temporary files beside them; only when all three are complete and
// on disk do they replace files of their names. A read-only file of one of the names, or a file
// the command reads, is refused before anything is written. Values are those of the database
// export: Null is an empty field, numbers have their column's decimals, dates are yyyy-mm-dd, Yes/No
// values 1 or 0, texts are converted to UTF-8. `done` receives the Fields file and row count and
// the Applications file and row count. On failure nothing is left behind and `message` says why,
// as for the database export.
bool ExportToCsv(TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions, const TCsvFiles& files,
                 const std::string& programId, const TDbfExportDone& done, const TExportOptions& options,
                 std::string& message);
