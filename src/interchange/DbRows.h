// The rows of the database export's tables as typed values: each Field and Application column
// takes the value of the export column of its name, made Null, cut or rounded as the column's type
// says; the Project row holds the header. The database and the spreadsheet exports share them.
#pragma once

#include <string>
#include <vector>

#include "interchange/DbTables.h"
#include "interchange/ExportCols.h"
#include "interchange/SqlDb.h"

class TMcnFile;
class TMdaFile;
class TMdfFile;

// The value of an export value in a column: blanks, empty texts, no date and (unless the column
// keeps them) numbers of 0 or less are Null; texts are cut to the column's size and numbers rounded
// to its decimals, as the dBASE export writes them. Dates are "yyyy-mm-dd", times "hh:mm:ss" and
// Yes/No values 1 or 0.
TDbValue DbCellValue(const TDbColumn& column, const TExportValue& value);

// For each column of the Field and Application tables, the export column it takes its values from.
const std::vector<const TExportColumn<TFieldDataRow>*>& FieldTableSources();
const std::vector<const TExportColumn<TAppDataRow>*>& ApplicationTableSources();

// The Project table's one row: the project file, its state, the header and the export itself
// (`programId`, today and the time of day).
std::vector<TExportValue> ProjectRowValues(const TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions,
                                           const std::string& programId);
