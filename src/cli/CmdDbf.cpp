// dBASE table commands: import dbf, export dbf, dbf show.
#include <CLI/CLI.hpp>

#include <ostream>

#include "ExportCli.h"
#include "common/Cp1252.h"
#include "common/DayNum.h"
#include "filebase/FileUtl.h"
#include "common/TextUtil.h"
#include "interchange/DbfExport.h"
#include "interchange/DbfFile.h"
#include "interchange/DbfImport.h"

namespace {

// A table value on one output line: control characters (tabs, line breaks) become blanks; the text
// of a UTF-8 table (its .cpg says so) is printed as it is, any other as code page 1252.
std::string Shown(std::string text, bool utf8) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return utf8 ? text : Cp1252ToUtf8(text);
}

void PrintTable(TCliContext& ctx, TDbfFile& table, int64_t maxRows) {
  const bool utf8 = TDbfFile::TextIsUtf8(table.FileName);
  int year = 0, month = 0, day = 0;
  table.LastUpdate(year, month, day);
  ctx.out << "Table=" << table.FileName << "\nVersion=" << table.Version()
          << "\nLast update=" << FormatIsoDate(EncodeDay(year, month, day)) << "\nRecords=" << table.RecordCount()
          << "\nHeader length=" << table.HeaderLength() << "\nRecord length=" << table.RecordLength()
          << "\nFields=" << table.FieldCount() << '\n';
  std::vector<TDbfField> fields(static_cast<size_t>(table.FieldCount()));
  std::string heading = "Row\tDeleted";
  for (int i = 1; i <= table.FieldCount(); ++i) {
    TDbfField& f = fields[static_cast<size_t>(i - 1)];
    table.GetFieldInfo(i, f);
    ctx.out << i << '\t' << Shown(f.FieldName(), utf8) << '\t' << f.Type << '\t' << int{f.Length} << '\t'
            << int{f.Decimals} << '\n';
    heading += '\t' + Shown(f.FieldName(), utf8);
  }
  ctx.out << heading << '\n';
  std::vector<char> row(static_cast<size_t>(table.RecordLength()));
  const uint32_t count = maxRows >= 0 && maxRows < table.RecordCount() ? uint32_t(maxRows) : table.RecordCount();
  for (uint32_t n = 1; n <= count; ++n) {
    if (!table.ReadRecord(n, row.data())) return ReportFileError(ctx, table);
    ctx.out << n << '\t' << (row[0] == kDbfDeleted ? "*" : "");
    for (const TDbfField& f : fields) ctx.out << '\t' << Shown(TDbfFile::FieldText(row.data(), f), utf8);
    ctx.out << '\n';
  }
}

void AddShow(CLI::App& group, TCliContext& ctx) {
  struct TArgs {
    std::string path;
    int64_t rows = -1;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = group.add_subcommand("show", "Print the header, fields and rows of any dBASE III table");
  cmd->add_option("TABLE", a->path, "dBASE table (.dbf)")->required();
  cmd->add_option("--rows", a->rows, "Print at most this many rows");
  cmd->callback([&ctx, a] {
    TDbfFile table;
    if (!table.OpenTable(a->path, 0, omReadDenyWrite)) return ReportFileError(ctx, table);
    PrintTable(ctx, table, a->rows);
  });
}

void AddImport(CLI::App& group, TCliContext& ctx) {
  struct TArgs {
    std::string table, project;
    bool update = false, messages = false;
    TTextImport text;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = group.add_subcommand("dbf", "Create a project from a dBASE table of fields, or update one with it");
  cmd->add_option("TABLE", a->table, "Field data table (.dbf)")->required();
  cmd->add_option("PROJECT", a->project, "Project file (.tsj): new, or existing with --update")->required();
  cmd->add_flag("--update", a->update, "Update the project's matching records and add the others");
  cmd->add_flag("--messages", a->messages, "Print a line for every ignored row and value not imported");
  AddTransliterateFlag(cmd, a->text);
  cmd->callback([&ctx, a] {
    TProjectSession s;
    if (!s.LoadRefs(ctx) || (!a->update && !UsableOutputName(ctx, a->project, true))) return;
    TValidationInfo info;
    info.CollectMessages = a->messages;
    info.Text.Transliterate = a->text.Transliterate;
    std::string message;
    if (ImportFieldData(a->table, a->project, a->update, info, s.ref.Mcn, s.ref.Mdf, true, message, nullptr,
                        LockWaitMs(ctx)) != ifNone)
      return Fail(ctx, "Unable to import dBASE file for the following reason:\n\n" + message);
    ctx.out << "Updated=" << info.Updated << "\nAdded=" << info.Added << "\nWarnings=" << info.Warnings
            << "\nIgnored=" << info.Ignored << '\n';
    if (info.Text.Transliterate) ctx.out << "Transliterated=" << info.Text.Replaced << '\n';
    for (const std::string& line : info.Messages) ctx.out << MessageToUtf8(line) << '\n';
  });
}

void AddExport(CLI::App& group, TCliContext& ctx) {
  struct TArgs {
    std::string project, fields, apps;
    TExportArgs options;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = group.add_subcommand("dbf", "Export the records as a field data and an application data dBASE table");
  cmd->add_option("PROJECT", a->project, "Project file (.tsj)")->required();
  cmd->add_option("FIELDS", a->fields, "Field data table to write (.dbf)")->required();
  cmd->add_option("APPS", a->apps, "Application data table to write (.dbf)")->required();
  AddExportOptions(cmd, a->options, true);
  cmd->callback([&ctx, a] {
    for (const std::string& path : {a->fields, a->apps})
      if (!SameText(ExtractFileExt(path), ".dbf"))
        return Fail(ctx, BadExtensionText(path, ".dbf") + "\n\nUse a different file name.");
    TProjectSession s;
    TExportSetup setup;
    if (!s.Open(ctx, a->project, false) || !setup.Prepare(ctx, s, a->options)) return;
    std::string message;
    const auto done = [&ctx](const std::string& fields, int fieldRows, const std::string& apps, int appRows) {
      ctx.out << fieldRows << " field records exported to file\n" << fields << '\n' << appRows
              << " application records exported to file\n" << apps << '\n';
    };
    if (!ExportToDbase(s.file, s.ref.Mcn, s.ref.Mdf, a->fields, a->apps, done, setup.Options, message))
      Fail(ctx, "Unable to export data for the following reason:\n\n" + message);
  });
}

}  // namespace

void AddDbfCommands(CLI::App& app, TCliContext& ctx) {
  AddImport(*CommandGroup(app, "import", "Import data from other programs' files"), ctx);
  AddExport(*CommandGroup(app, "export", "Export the project's data for other programs"), ctx);
  AddShow(*CommandGroup(app, "dbf", "dBASE table tools"), ctx);
}
