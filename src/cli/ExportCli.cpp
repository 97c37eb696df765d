#include "ExportCli.h"

#include <CLI/CLI.hpp>

#include "common/TextUtil.h"
#include "filebase/FileUtl.h"

bool HasExtension(TCliContext& ctx, const std::string& path, const std::string& extension) {
  if (SameText(ExtractFileExt(path), extension)) return true;
  Fail(ctx, BadExtensionText(path, extension) + "\n\nUse a different file name.");
  return false;
}

CLI::App* CommandGroup(CLI::App& app, const std::string& name, const std::string& help) {
  for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; }))
    if (sub->get_name() == name) return sub;
  CLI::App* group = app.add_subcommand(name, help);
  group->require_subcommand(1);
  return group;
}

void AddExportOptions(CLI::App* cmd, TExportArgs& a, bool excludeAndCosts) {
  cmd->add_option("--subset", a.subset, std::string("Only the records of a subset: ") + kSubsetHelp);
  if (!excludeAndCosts) return;
  cmd->add_option("--exclude", a.exclude, "Data to leave out: name, address, notes, costs (comma-separated)");
  AddCostOptions(cmd, a.costs);
}

bool TExportSetup::Prepare(TCliContext& ctx, TProjectSession& session, const TExportArgs& args) {
  if (!ParseExclusions(args.exclude, exclusions_, true)) {
    Fail(ctx, "Data to exclude must be name, address, notes or costs.");
    return false;
  }
  if (!ApplySubsetOption(ctx, subset_, session.file, args.subset)) return false;
  Options.ExcludeCosts = exclusions_.Costs;
  Options.CostOptions = args.costs.Options();
  if (!exclusions_.Costs && !LoadCostsForReport(ctx, session, args.costs.custom)) return false;
  Options.Filter = [this](TFieldRec& r) {
    if (!subset_.Contains(r, 0, true, 0)) return false;
    StripRecord(r, exclusions_.Name, exclusions_.Address, exclusions_.Notes, false);
    return true;
  };
  return true;
}

CLI::App* AddCreateProjectCommand(CLI::App& group, TCliContext& ctx, const std::string& name, const std::string& help,
                                  const std::string& inHelp, const std::string& what, TCreateProject create) {
  struct TArgs {
    std::string in, project;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = group.add_subcommand(name, help);
  cmd->add_option("IN", a->in, inHelp)->required();
  cmd->add_option("PROJECT", a->project, "New project file (.tsj)")->required();
  cmd->callback([&ctx, a, what, create] {
    TProjectSession s;
    if (!s.LoadRefs(ctx) || !UsableOutputName(ctx, a->project, true)) return;
    std::string message, report;
    int records = 0;
    if (!create(a->in, a->project, s, message, records, report))
      return Fail(ctx, "Unable to import " + what + " for the following reason:\n\n" + message);
    ctx.out << "Added=" << records << '\n' << report;
  });
  return cmd;
}

void AddTransliterateFlag(CLI::App* cmd, TTextImport& text) {
  cmd->add_flag("--transliterate", text.Transliterate,
                "Replace characters code page 1252 cannot hold by the nearest it holds (\u0141 by L, others by ?) "
                "instead of refusing their texts; prints Transliterated= with the number replaced");
}
