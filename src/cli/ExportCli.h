// What the export commands share: the subcommand groups, the record subset, the data to exclude
// and the cost options, turned into the export options of the core.
#pragma once

#include <functional>
#include <string>

#include "CostCli.h"
#include "common/Cp1252.h"
#include "interchange/ExportRun.h"
#include "reports/RecSubset.h"

inline constexpr const char* kExportFailed = "Unable to export data for the following reason:\n\n";

// False, with the invalid-extension message, when the path does not end in `extension`.
bool HasExtension(TCliContext& ctx, const std::string& path, const std::string& extension);

// The subcommand group of that name (import, export, dbf), added on first use.
CLI::App* CommandGroup(CLI::App& app, const std::string& name, const std::string& help);

struct TExportArgs {
  std::string subset, exclude;
  TCostArgs costs;
};

// --subset and, with `excludeAndCosts`, --exclude and the cost options.
void AddExportOptions(CLI::App* cmd, TExportArgs& a, bool excludeAndCosts);

// The export options of one command: the subset filter with the exclusions stripped from each
// copy, and the cost columns with the custom costs loaded.
class TExportSetup {
 public:
  // Reports a bad exclusion list, subset or cost file; false then.
  bool Prepare(TCliContext& ctx, TProjectSession& session, const TExportArgs& args);

  TExportOptions Options;

 private:
  TRecordSubset subset_;
  TExclusions exclusions_;
};

// Makes a new project from another program's file (IN) with the loaded reference files; false with
// the message on failure, else the record count and any lines to print after it (`report`).
using TCreateProject = std::function<bool(const std::string& in, const std::string& project, TProjectSession& session,
                                          std::string& message, int& records, std::string& report)>;

// A command `NAME IN PROJECT` of an import group that creates PROJECT from IN and prints `Added=`;
// a failure prints "Unable to import <what> for the following reason:" and the message. Returns
// the command, for options of its own.
CLI::App* AddCreateProjectCommand(CLI::App& group, TCliContext& ctx, const std::string& name, const std::string& help,
                                  const std::string& inHelp, const std::string& what, TCreateProject create);

// --transliterate of the imports: characters code page 1252 cannot hold are replaced (and counted)
// instead of refusing the text that holds them.
void AddTransliterateFlag(CLI::App* cmd, TTextImport& text);
