// Database and JSON commands: export db, export json, import json.
#include <CLI/CLI.hpp>

#include <ostream>

#include "CmdReport.h"
#include "ExportCli.h"
#include "common/Cp1252.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "interchange/DbExport.h"
#include "interchange/JsonIo.h"

namespace {

void AddExportDb(CLI::App& group, TCliContext& ctx) {
  struct TArgs {
    std::string project, database;
    TExportArgs options;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = group.add_subcommand("db", "Export the project, its records and their applications as an SQLite database");
  cmd->add_option("PROJECT", a->project, "Project file (.tsj)")->required();
  cmd->add_option("OUT", a->database, "Database to write (.sqlite)")->required();
  AddExportOptions(cmd, a->options, true);
  cmd->callback([&ctx, a] {
    if (!HasExtension(ctx, a->database, kDatabaseExtension)) return;
    TProjectSession s;
    TExportSetup setup;
    if (!s.Open(ctx, a->project, false) || !setup.Prepare(ctx, s, a->options)) return;
    std::string message;
    const auto done = [&ctx](const std::string& path, int fieldRows, const std::string&, int appRows) {
      ctx.out << fieldRows << " field records exported to file\n" << path << '\n' << appRows
              << " application records exported to file.\n";
    };
    if (!ExportToDatabase(s.file, s.ref.Mcn, s.ref.Mdf, a->database, ReportAuthor(), done, setup.Options, message))
      Fail(ctx, kExportFailed + message);
  });
}

void AddExportJson(CLI::App& group, TCliContext& ctx) {
  struct TArgs {
    std::string project, json;
    TExportArgs options;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = group.add_subcommand("json", "Export the project's header and records as one JSON document");
  cmd->add_option("PROJECT", a->project, "Project file (.tsj)")->required();
  cmd->add_option("OUT", a->json, "JSON document to write")->required();
  AddExportOptions(cmd, a->options, false);
  cmd->callback([&ctx, a] {
    TProjectSession s;
    TExportSetup setup;
    if (!s.Open(ctx, a->project, false) || !setup.Prepare(ctx, s, a->options)) return;
    std::string message;
    int records = 0;
    if (!ExportToJson(s.file, a->json, setup.Options, records, message)) return Fail(ctx, kExportFailed + message);
    ctx.out << records << " field records exported to file\n" << ExpandFileName(a->json) << '\n';
  });
}

}  // namespace

void AddDbCommands(CLI::App& app, TCliContext& ctx) {
  CLI::App* exports = CommandGroup(app, "export", "Export the project's data for other programs");
  AddExportDb(*exports, ctx);
  AddExportJson(*exports, ctx);
  auto text = std::make_shared<TTextImport>();
  CLI::App* cmd = AddCreateProjectCommand(
      *CommandGroup(app, "import", "Import data from other programs' files"), ctx, "json",
      "Create a project from a JSON document as `export json` writes it", "JSON document", "JSON file",
      [text](const std::string& in, const std::string& project, TProjectSession& s, std::string& message,
             int& records, std::string& report) {
        if (!ImportFromJson(in, project, s.ref.Mcn, s.ref.Mdf, *text, records, message)) return false;
        if (text->Transliterate) report = "Transliterated=" + std::to_string(text->Replaced) + "\n";
        return true;
      });
  AddTransliterateFlag(cmd, *text);
}
