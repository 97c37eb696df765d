// The plan export: the open project's records become the field rows of a new plan of the planner,
// with their crop history (three crop rows per field), soil tests and the planner's soil key of
// their predominant soil, saved as a plan file (.qrl).
#pragma once

#include <string>

#include "interchange/DbfExport.h"
#include "interchange/QrlLink.h"

class TMcnFile;

inline constexpr const char* kPlanExtension = ".qrl";

// Exports the records accepted by options.Filter (the subset test and StripRecord) in file order,
// as many as the plan has field rows; options.Progress may cancel. The plan is saved as `planPath`
// with the extension ".qrl". `done` receives the plan's name, the number of field rows written,
// an empty name and -1. On failure `message` says why.
bool ExportToPlan(TMdaFile& project, TMcnFile& counties, const TQrlStarter& starter, const std::string& planPath,
                  const TDbfExportDone& done, const TExportOptions& options, std::string& message);
