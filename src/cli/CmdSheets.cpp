// Spreadsheet commands: export xlsx and export csv.
#include <CLI/CLI.hpp>

#include <ostream>

#include "CmdReport.h"
#include "ExportCli.h"
#include "filebase/FileUtl.h"
#include "interchange/CsvExport.h"
#include "interchange/XlsxExport.h"

namespace {

struct TSheetArgs {
  std::string project, out;
  TExportArgs options;
};

// The command with its arguments; `run` exports the opened project.
using TSheetRun = std::function<void(TCliContext&, TProjectSession&, const TSheetArgs&, const TExportOptions&)>;

void AddSheetCommand(CLI::App& group, TCliContext& ctx, const std::string& name, const std::string& help,
                     const std::string& outHelp, const std::string& extension, TSheetRun run) {
  auto a = std::make_shared<TSheetArgs>();
  auto* cmd = group.add_subcommand(name, help);
  cmd->add_option("PROJECT", a->project, "Project file (.tsj)")->required();
  cmd->add_option("OUT", a->out, outHelp)->required();
  AddExportOptions(cmd, a->options, true);
  cmd->callback([&ctx, a, extension, run] {
    if (!extension.empty() && !HasExtension(ctx, a->out, extension)) return;
    TProjectSession s;
    TExportSetup setup;
    if (!s.Open(ctx, a->project, false) || !setup.Prepare(ctx, s, a->options)) return;
    run(ctx, s, *a, setup.Options);
  });
}

void PrintDone(TCliContext& ctx, const std::string& fields, int fieldRows, const std::string& apps, int appRows) {
  ctx.out << fieldRows << " field records exported to file\n" << fields << '\n' << appRows
          << " application records exported to file" << (apps.empty() ? ".\n" : "\n" + apps + "\n");
}

}  // namespace

void AddSheetCommands(CLI::App& app, TCliContext& ctx) {
  CLI::App* exports = CommandGroup(app, "export", "Export the project's data for other programs");
  AddSheetCommand(
      *exports, ctx, "xlsx",
      "Export the project, its records and their applications as an Excel workbook (sheets Project, Fields, "
      "Applications, Columns)",
      "Workbook to write (.xlsx)", kXlsxExtension,
      [](TCliContext& ctx, TProjectSession& s, const TSheetArgs& a, const TExportOptions& options) {
        std::string message;
        const auto done = [&ctx](const std::string& path, int n, const std::string&, int m) { PrintDone(ctx, path, n, "", m); };
        if (!ExportToXlsx(s.file, s.ref.Mcn, s.ref.Mdf, a.out, ReportAuthor(), done, options, message))
          Fail(ctx, kExportFailed + message);
      });
  AddSheetCommand(
      *exports, ctx, "csv",
      "Export the project, its records and their applications as CSV files BASE.Project.csv, BASE.Fields.csv, "
      "BASE.Applications.csv",
      "Folder to write into (BASE is the project's name), or the base name BASE (a .csv extension is dropped)", "",
      [](TCliContext& ctx, TProjectSession& s, const TSheetArgs& a, const TExportOptions& options) {
        std::string message;
        const TCsvFiles files = CsvFileNames(a.out, s.file.FileName);
        const auto done = [&](const std::string& fields, int n, const std::string& apps, int m) {
          PrintDone(ctx, fields, n, apps, m);
          ctx.out << "Project information exported to file\n" << files.Project << '\n';
        };
        if (!ExportToCsv(s.file, s.ref.Mcn, s.ref.Mdf, files, ReportAuthor(), done, options, message))
          Fail(ctx, kExportFailed + message);
      });
}
