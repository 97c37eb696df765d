// What the spreadsheet exports (workbook and CSV files) share: the rows of the database export's
// tables, cell for cell the values the database holds, handed to a writer table by table.
#pragma once

#include <string>
#include <vector>

#include "interchange/DbTables.h"
#include "interchange/ExportRun.h"
#include "interchange/SqlDb.h"

// Receives the rows: the Project row first, then each accepted record's Field row followed by its
// Application rows. Texts are code page 1252, dates "yyyy-mm-dd", times "hh:mm:ss".
class TSheetWriter {
 public:
  virtual ~TSheetWriter() = default;
  // `cells` are in the order of the table's columns; false stops the export (ErrorText says why).
  virtual bool Row(const TDbTable& table, const std::vector<TDbValue>& cells) = 0;
  // The failing file, CR LF and the reason.
  virtual std::string ErrorText() const = 0;
};

struct TTableRowCounts {
  int Fields = 0, Applications = 0;
};

// Hands the three tables' rows to `writer`. On failure `message` says why and the project's error
// state is 14, except for "No records in selected subset." (a project with records of which none
// was accepted) and a cancel.
bool WriteTableRows(TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions, const std::string& programId,
                    const TExportOptions& options, TSheetWriter& writer, TTableRowCounts& counts, std::string& message);

// A table's name as the spreadsheet exports call it: "Project", "Fields", "Applications".
std::string SheetName(const TDbTable& table);
