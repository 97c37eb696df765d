// The plan import: a new project file made from a plan of the planner. The planner writes the plan
// into a database beside the new project, which is read whole: one record per field with its
// operation, soil tests, predominant soil, crop history, custom recommendations and the fertilizer,
// irrigation and manure applications of the first crop year.
#pragma once

#include <string>

#include "interchange/DbfImport.h"
#include "interchange/QrlLink.h"

class TMcnFile;
class TMdfFile;

// The database the planner exports a plan into, beside the new project.
inline constexpr const char* kPlanDatabaseExtension = ".sqlite";

// Creates `projectPath` from the plan `planPath`; `progress` may cancel between fields. On success
// `recordCount` holds the number of records; a file of that name is replaced only then. On
// failure `message` says why and nothing is left behind. The planner's database is written beside
// the project (its name with ".sqlite", or a temporary name when that file exists) and deleted
// either way. Its texts go into code page 1252 as `text` says, and a record's text with a control
// character refuses the plan.
bool CreateProjectFromPlan(const TQrlStarter& starter, const std::string& planPath, const std::string& projectPath,
                           TMcnFile& counties, const TMdfFile& definitions, TTextImport& text, std::string& message,
                           int& recordCount, const TImportProgress& progress = nullptr);
