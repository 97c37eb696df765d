// The field data import: the rows of a dBASE table of fields (name, location, size, soil tests,
// crop, yield goal, soils) become the field records of a new project (create mode) or update the
// records of an existing single-state project (update mode), in the values each row supplies.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/Cp1252.h"

class TMcnFile;
class TMdfFile;

// What an import did, cleared at its start.
struct TValidationInfo {
  int Updated = 0;   // rows that matched a record
  int Added = 0;     // new records
  int Warnings = 0;  // values not imported because they were invalid
  int Ignored = 0;   // rows ignored as a whole
  bool CollectMessages = false;  // whether Messages is filled
  std::vector<std::string> Messages;
  // How texts of a UTF-8 table go into code page 1252 (a text refused is a value not imported);
  // Text.Replaced counts the characters transliterated.
  TTextImport Text;

  void Clear();
  void Warn(const std::string& message);
  void Ignore(const std::string& message);
};

// Called with the rows examined so far and the row count; false cancels the import.
using TImportProgress = std::function<bool(uint32_t done, uint32_t total)>;

// Failure numbers of the import.
enum : int {
  ifNone = 0,
  ifTable,        // the table cannot be opened or read
  ifNoRecords,
  ifColumn,       // a required column is missing
  ifYear,
  ifState,
  ifProject,      // the project file cannot be created, opened or written
  ifReadOnly,
  ifMultiState,
  ifCanceled,
};

// Imports `table` into `project`: 0 on success, else a failure number and `message`. The project
// changes only when the import succeeds: a new project appears (replacing a file of that name) or
// the updated project replaces the old one whole. A project another program holds is waited for
// up to `lockWaitMs` milliseconds.
int ImportFieldData(const std::string& table, const std::string& project, bool update, TValidationInfo& info,
                    TMcnFile& counties, const TMdfFile& definitions, bool addUnmatched, std::string& message,
                    const TImportProgress& progress = nullptr, int32_t lockWaitMs = 0);
