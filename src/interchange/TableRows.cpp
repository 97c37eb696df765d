#include "interchange/TableRows.h"

#include "interchange/DbRows.h"
#include "store/MdaFile.h"

namespace {

template <class Row>
void FillCells(const TDbTable& table, const std::vector<const TExportColumn<Row>*>& sources, const Row& row,
               std::vector<TDbValue>& cells) {
  cells.resize(sources.size());
  for (size_t i = 0; i < sources.size(); ++i) cells[i] = DbCellValue(table.Columns[i], sources[i]->Value(row));
}

bool Failed(TMdaFile& project, const std::string& text, std::string& message) {
  message = text;
  project.ErrorState = esExport;
  return false;
}

}  // namespace

bool WriteTableRows(TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions, const std::string& programId,
                    const TExportOptions& options, TSheetWriter& writer, TTableRowCounts& counts, std::string& message) {
  counts = {};
  std::vector<TDbValue> cells;
  const std::vector<TExportValue> header = ProjectRowValues(project, counties, definitions, programId);
  for (size_t i = 0; i < header.size(); ++i) cells.push_back(DbCellValue(ProjectTable().Columns[i], header[i]));
  if (!writer.Row(ProjectTable(), cells)) return Failed(project, writer.ErrorText(), message);

  const auto write = [&](const TFieldDataRow& row, const std::vector<TAppRow>& appRows) {
    FillCells(FieldTable(), FieldTableSources(), row, cells);
    if (!writer.Row(FieldTable(), cells)) return false;
    ++counts.Fields;
    for (const TAppRow& app : appRows) {
      FillCells(ApplicationTable(), ApplicationTableSources(), TAppDataRow{row.Rec, app}, cells);
      if (!writer.Row(ApplicationTable(), cells)) return false;
      ++counts.Applications;
    }
    return true;
  };
  int accepted = 0;
  switch (WalkExportRecords(project, counties, definitions, options, write, accepted)) {
    case TExportWalk::Canceled: message = kExportCanceled; return false;
    case TExportWalk::ReadFailed: return Failed(project, project.FullErrorText(), message);
    case TExportWalk::WriteFailed: return Failed(project, writer.ErrorText(), message);
    case TExportWalk::Done: break;
  }
  if (accepted == 0 && project.RecordCount() > 0) {
    message = kNoRecordsInSubset;
    return false;
  }
  return true;
}

std::string SheetName(const TDbTable& table) {
  return &table == &ProjectTable() ? table.Name : table.Name + "s";
}
