// Locating and loading the reference files (county names and input definitions) for the commands.
#pragma once

#include <string>

#include "CliApp.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"

struct TRefData {
  TMcnFile Mcn;
  TMdfFile Mdf;
};

// The folder of the reference files: --data-dir when given, else the running program's data
// folder (beside it, or the installation's data folder).
std::string RefDataDir(const TCliContext& ctx);

// Loads the county names file of the data folder and the definition file of its country. On
// failure prints the failing file's full error text, sets exit status 1 and returns false.
bool LoadRefData(TCliContext& ctx, TRefData& ref);

// A state given by abbreviation or by number. When there is no such state, prints which and
// sets exit status 1; the result is then 0.
int StateArgument(TCliContext& ctx, const TRefData& ref, const std::string& arg);

// Prints a line of code page 1252 text as UTF-8, without trailing blanks.
void PrintLine(TCliContext& ctx, const std::string& cp1252Line);
// A cost with two decimals when they say it exactly, otherwise every digit the single real holds.
std::string CostText(float cost);

// Reports a failed file operation the way every command does: full error text, status 1.
void ReportFileError(TCliContext& ctx, const TRecFile& file);
