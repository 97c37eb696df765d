#include "interchange/DbExport.h"

#include <filesystem>
#include <memory>

#include "common/DayNum.h"
#include "common/Format.h"
#include "filebase/FileUtl.h"
#include "filebase/SafeWrite.h"
#include "interchange/DbRows.h"
#include "interchange/DbTables.h"
#include "interchange/SqlDb.h"
#include "common/TextUtil.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"

namespace {

// One table's insert statement, bound column by column.
class TTableWriter {
 public:
  TTableWriter(TSqlDb& db, const TDbTable& table) : table_(table), insert_(db, InsertSql(table)) {}
  bool Ok() const { return insert_.Ok(); }
  template <class Row>
  bool Write(const std::vector<const TExportColumn<Row>*>& columns, const Row& row) {
    for (size_t i = 0; i < columns.size(); ++i)
      insert_.Bind(static_cast<int>(i + 1), DbCellValue(table_.Columns[i], columns[i]->Value(row)));
    return Run();
  }
  bool Write(const std::vector<TExportValue>& values) {
    for (size_t i = 0; i < values.size(); ++i)
      insert_.Bind(static_cast<int>(i + 1), DbCellValue(table_.Columns[i], values[i]));
    return Run();
  }
  int Rows() const { return rows_; }

 private:
  bool Run() {
    if (!insert_.Run()) return false;
    ++rows_;
    return true;
  }
  const TDbTable& table_;
  TSqlStatement insert_;
  int rows_ = 0;
};

class TDbExport {
 public:
  TDbExport(TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions, const std::string& target)
      : project_(project), counties_(counties), definitions_(definitions), target_(target) {}
  ~TDbExport() { db_.Close(); }  // before out_ throws an unfinished file away
  bool Run(const std::string& programId, const TExportOptions& options, std::string& message);
  int FieldRows() const { return fieldRows_; }
  int AppRows() const { return appRows_; }

 private:
  bool Fail(const std::string& why, std::string& message) {
    message = target_ + "\r\n" + why;
    project_.ErrorState = esExport;
    return false;
  }
  bool Start(std::string& message);
  bool Describe();
  bool WriteProject(const std::string& programId);
  // Writes the accepted records and their applications.
  bool Fill(const TExportOptions& options, std::string& message);
  bool Finish(std::string& message);

  TMdaFile& project_;
  TMcnFile& counties_;
  const TMdfFile& definitions_;
  std::string target_;
  TSafeWrite out_;
  TSqlDb db_;
  int fieldRows_ = 0, appRows_ = 0;
};

bool TDbExport::Start(std::string& message) {
  if (const TWriteResult begun = out_.Begin(target_, TTargetUse::Replace, "tsq"); !begun.Ok())
    return Fail(begun.Text, message);
  // The temporary file is discarded on any failure, so it needs no rollback journal on disk, and
  // SQLite need not flush it: the safe write flushes the whole file before it takes its name. The
  // rows stay in the page cache until the commit, so that each page is written once.
  if (!db_.Open(out_.TempPath(), false) ||
      !db_.Exec("PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF; PRAGMA cache_size = -65536; "
                "PRAGMA foreign_keys = ON; BEGIN"))
    return Fail(db_.ErrorText(), message);
  for (const TDbTable* t : {&ProjectTable(), &FieldTable(), &ApplicationTable()})
    if (!db_.Exec(CreateTableSql(*t))) return Fail(db_.ErrorText(), message);
  return db_.Exec(DescriptionTablesSql()) || Fail(db_.ErrorText(), message);
}

bool TDbExport::WriteProject(const std::string& programId) {
  TTableWriter writer(db_, ProjectTable());
  return writer.Ok() && writer.Write(ProjectRowValues(project_, counties_, definitions_, programId));
}

bool TDbExport::Describe() {
  const std::string path = ExpandFileName(project_.FileName);
  TSqlStatement describe(db_, "INSERT INTO \"Descriptions\" VALUES (?, ?, ?)");
  TSqlStatement decimals(db_, "INSERT INTO \"Decimals\" VALUES (?, ?, ?)");
  if (!describe.Ok() || !decimals.Ok()) return false;
  const auto add = [](TSqlStatement& s, const std::string& table, const std::string& column, const TDbValue& v) {
    s.Bind(1, TDbValue::OfText(table));
    s.Bind(2, TDbValue::OfText(column));
    s.Bind(3, v);
    return s.Run();
  };
  for (const TDbTable* t : {&ProjectTable(), &FieldTable(), &ApplicationTable()}) {
    if (!add(describe, t->Name, "", TDbValue::OfText(t->Description + path + "."))) return false;
    for (const TDbColumn& c : t->Columns) {
      if (!add(describe, t->Name, c.Name, TDbValue::OfText(c.Description))) return false;
      if (c.Decimals >= 0 && !add(decimals, t->Name, c.Name, TDbValue::OfInt(c.Decimals))) return false;
    }
  }
  return true;
}

bool TDbExport::Run(const std::string& programId, const TExportOptions& options, std::string& message) {
  if (!Start(message)) return false;
  if (!WriteProject(programId) || !Describe()) return Fail(db_.ErrorText(), message);
  return Fill(options, message) && Finish(message);
}

bool TDbExport::Fill(const TExportOptions& options, std::string& message) {
  const auto& fieldColumns = FieldTableSources();
  const auto& appColumns = ApplicationTableSources();
  TTableWriter fields(db_, FieldTable()), apps(db_, ApplicationTable());
  if (!fields.Ok() || !apps.Ok()) return Fail(db_.ErrorText(), message);
  const auto write = [&](const TFieldDataRow& row, const std::vector<TAppRow>& appRows) {
    if (!fields.Write(fieldColumns, row)) return false;
    for (const TAppRow& app : appRows)
      if (!apps.Write(appColumns, TAppDataRow{row.Rec, app})) return false;
    return true;
  };
  int accepted = 0;
  switch (WalkExportRecords(project_, counties_, definitions_, options, write, accepted)) {
    case TExportWalk::Canceled: message = kExportCanceled; return false;
    case TExportWalk::ReadFailed:
      message = project_.FullErrorText();
      project_.ErrorState = esExport;
      return false;
    case TExportWalk::WriteFailed: return Fail(db_.ErrorText(), message);
    case TExportWalk::Done: break;
  }
  if (accepted == 0 && project_.RecordCount() > 0) {
    message = kNoRecordsInSubset;
    return false;
  }
  fieldRows_ = fields.Rows();
  appRows_ = apps.Rows();
  return true;
}

bool TDbExport::Finish(std::string& message) {
  if (!db_.Exec("COMMIT") || !db_.Close()) return Fail(db_.ErrorText(), message);
  if (const TWriteResult placed = out_.Commit(); !placed.Ok()) return Fail(placed.Text, message);
  return true;
}

}  // namespace

bool ExportToDatabase(TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions, const std::string& path,
                      const std::string& programId, const TDbfExportDone& done, const TExportOptions& options,
                      std::string& message) {
  message.clear();
  const std::string target = ChangeFileExt(ExpandFileName(path), kDatabaseExtension);
  TDbExport x(project, counties, definitions, target);
  if (!x.Run(programId, options, message)) return false;
  if (done) done(target, x.FieldRows(), "", x.AppRows());
  return true;
}
