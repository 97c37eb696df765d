// Readers of the readable sources of the shipped reference files:
//
//   Input catalogue (source of the .mdf): directives "version 4", "country N" and
//   "release YYYY-MM-DD", then one input per line:
//     code | name | standard cost | cost unit | application unit | crops | kind | sub-kind
//   with units given by their long names and crops by their letters ("*" = every current crop).
//
//   County table (source of the .mcn), fields separated by tabs:
//     country <code> <name> <region word "state" or "province"> <address selector>
//     state <code> <abbreviation> <name>
//     county <code> <name>            (counties of the state above, in ascending code order)
//
// Everything the binary formats and the program's code rules need is checked; every fault is
// reported with the file name and line number, and any fault makes the read fail.
#pragma once

#include <string>

#include "SourceText.h"
#include "reference/RefWriters.h"

bool ParseInputCatalogue(const std::string& text, const std::string& sourceName, TMdfContents& contents,
                         TSourceFaults& faults);
bool ParseCountyTable(const std::string& text, const std::string& sourceName, TMcnContents& contents,
                      TSourceFaults& faults);

// The same, reading the file at `path`.
bool ReadInputCatalogue(const std::string& path, TMdfContents& contents, TSourceFaults& faults);
bool ReadCountyTable(const std::string& path, TMcnContents& contents, TSourceFaults& faults);
