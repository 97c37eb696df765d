// The database export: a project's header, records and applied inputs as the tables "Project",
// "Field" and "Application" of a new SQLite database, typed, constrained and described (tables
// "Descriptions" and "Decimals"), with the values of the dBASE export.
#pragma once

#include <string>

#include "interchange/DbfExport.h"

inline constexpr const char* kDatabaseExtension = ".sqlite";

// Writes the database `path` (its extension made ".sqlite") in one transaction into a temporary file
// beside it, which replaces a file of that name only when complete; a read-only file of that name is
// refused. `programId` names this program in the Project table. `done` receives the database's
// name, the Field row count, an empty name and the Application row count. On failure nothing is
// left behind, `message` says why (with SQLite's own text) and the project's error state is 14
// (except for "No records in selected subset." and a cancel).
bool ExportToDatabase(TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions, const std::string& path,
                      const std::string& programId, const TDbfExportDone& done, const TExportOptions& options,
                      std::string& message);
