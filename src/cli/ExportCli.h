// What the export commands share: the subcommand groups, the record subset, the data to exclude
// and the cost options, turned into the export options of the core.
#pragma once

#include <string>

#include "CostCli.h"
#include "interchange/ExportRun.h"
#include "reports/RecSubset.h"

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
