// The spreadsheet export: the database export's tables as the sheets "Project", "Fields" and
// "Applications" of an Excel workbook, with typed cells, and a sheet "Columns" describing them.
#pragma once

#include <string>

#include "interchange/DbfExport.h"

inline constexpr const char* kXlsxExtension = ".xlsx";

// Writes the workbook `path` (its extension made ".xlsx") into a temporary file beside it, which
// replaces a file of that name only when complete; a read-only file of that name, or a file the
// command reads, is refused. Numbers are number cells shown with their column's decimals, dates
// date cells, Yes/No values logical cells, Null an empty cell; texts are converted to UTF-8. Each
// sheet's header row is frozen and filtered. `done` receives the workbook's name, the Fields row
// count, an empty name and the Applications row count. On failure nothing is left behind and
// `message` says why, as for the database export.
bool ExportToXlsx(TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions, const std::string& path,
                  const std::string& programId, const TDbfExportDone& done, const TExportOptions& options,
                  std::string& message);
