#include "interchange/CsvExport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>

#include "common/Cp1252.h"
#include "common/Format.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "filebase/SafeWrite.h"
#include "interchange/TableRows.h"

namespace {

constexpr size_t kBlockBytes = 256 * 1024;

// A field, in double quotes (inner quotes doubled) when it holds a comma, a quote or a line break.
void AppendField(std::string& line, const std::string& utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string::npos) {
    line += utf8;
    return;
  }
  line += '"';
  for (const char c : utf8) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

void AppendValue(std::string& line, const TDbColumn& c, const TDbValue& v) {
  switch (v.Kind) {
    case TDbValue::TKind::Null: break;
    case TDbValue::TKind::Integer: line += std::to_string(v.Int); break;
    case TDbValue::TKind::Real: line += FormatReal(v.Real, std::max(c.Decimals, 0)); break;
    case TDbValue::TKind::Text: AppendField(line, Cp1252ToUtf8(v.Str)); break;
  }
}

// One table's file, written in blocks into its temporary file.
struct TCsvFile {
  const TDbTable* Table;
  std::string Target;
  TSafeWrite Out;
  std::string Pending;
  std::string Error;

  bool Flush() {
    const bool ok = Out.Write(Pending);
    Pending.clear();
    if (!ok) Error = "Can't write to file.";
    return ok;
  }
  bool Add(const std::vector<TDbValue>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) {
      if (i > 0) Pending += ',';
      AppendValue(Pending, Table->Columns[i], cells[i]);
    }
    Pending += "\r\n";
    return Pending.size() < kBlockBytes || Flush();
  }
};

class TCsvTables : public TSheetWriter {
 public:
  explicit TCsvTables(const TCsvFiles& files) {
    files_[0].reset(new TCsvFile{&ProjectTable(), ExpandFileName(files.Project)});
    files_[1].reset(new TCsvFile{&FieldTable(), ExpandFileName(files.Fields)});
    files_[2].reset(new TCsvFile{&ApplicationTable(), ExpandFileName(files.Applications)});
  }
  // Makes the three temporary files, each beginning with the byte-order mark and the header line.
  bool Begin(std::string& message);
  bool Row(const TDbTable& table, const std::vector<TDbValue>& cells) override {
    for (auto& f : files_)
      if (f->Table == &table) {
        failed_ = f.get();
        return f->Add(cells);
      }
    return false;
  }
  // Puts every file on disk, then gives each its name.
  bool Commit(std::string& message);
  std::string ErrorText() const override { return failed_ ? failed_->Target + "\r\n" + failed_->Error : std::string(); }
  const TCsvFile& File(size_t i) const { return *files_[i]; }

 private:
  std::array<std::unique_ptr<TCsvFile>, 3> files_;
  TCsvFile* failed_ = nullptr;  // the file of the last write
};

bool TCsvTables::Begin(std::string& message) {
  for (auto& f : files_) {
    if (const TWriteResult begun = f->Out.Begin(f->Target, TTargetUse::Replace, "csv"); !begun.Ok()) {
      message = begun.FullText();
      return false;
    }
    f->Pending = "\xEF\xBB\xBF";
    for (size_t i = 0; i < f->Table->Columns.size(); ++i) {
      if (i > 0) f->Pending += ',';
      AppendField(f->Pending, f->Table->Columns[i].Name);
    }
    f->Pending += "\r\n";
  }
  return true;
}

bool TCsvTables::Commit(std::string& message) {
  // No file takes its name before all three are written and on disk, so that a full disk or a
  // failing write leaves every file of the names as it was.
  for (auto& f : files_) {
    failed_ = f.get();
    if (!f->Flush() || ::fsync(f->Out.Descriptor()) != 0) {
      message = f->Target + "\r\nCan't write to file.";
      return false;
    }
  }
  for (auto& f : files_)
    if (const TWriteResult placed = f->Out.Commit(); !placed.Ok()) {
      message = placed.FullText();
      return false;
    }
  return true;
}

}  // namespace

TCsvFiles CsvFileNames(const std::string& out, const std::string& projectPath) {
  const std::string path = ExpandFileName(out);
  struct stat st {};
  std::string base;
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    base = AddSlash(path) + ChangeFileExt(ExtractFileName(projectPath), "");
  else
    base = SameText(ExtractFileExt(path), kCsvExtension) ? ChangeFileExt(path, "") : path;
  return {base + ".Project.csv", base + ".Fields.csv", base + ".Applications.csv"};
}

bool ExportToCsv(TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions, const TCsvFiles& files,
                 const std::string& programId, const TDbfExportDone& done, const TExportOptions& options,
                 std::string& message) {
  message.clear();
  TCsvTables tables(files);
  TTableRowCounts counts;
  const auto failed = [&project] {
    project.ErrorState = esExport;
    return false;
  };
  if (!tables.Begin(message)) return failed();
  if (!WriteTableRows(project, counties, definitions, programId, options, tables, counts, message)) return false;
  if (!tables.Commit(message)) return failed();
  if (done) done(tables.File(1).Target, counts.Fields, tables.File(2).Target, counts.Applications);
  return true;
}
