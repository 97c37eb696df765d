// Planner plan commands: plan export, plan import, plan soils, through the planner's automation
// server on the session bus.
#include <CLI/CLI.hpp>

#include <ostream>

#include "ExportCli.h"
#include "QrlBus.h"
#include "common/Cp1252.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "interchange/QrlExport.h"
#include "interchange/QrlImport.h"
#include "interchange/QrlSoils.h"

namespace {

void AddExport(CLI::App& group, TCliContext& ctx) {
  struct TArgs {
    std::string project, plan;
    TExportArgs options;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = group.add_subcommand("export", "Export the records as a new plan of the planner");
  cmd->add_option("PROJECT", a->project, "Project file (.tsj)")->required();
  cmd->add_option("PLAN", a->plan, "Plan file to write (.qrl)")->required();
  AddExportOptions(cmd, a->options, false);
  cmd->callback([&ctx, a] {
    if (!SameText(ExtractFileExt(a->plan), kPlanExtension))
      return Fail(ctx, BadExtensionText(a->plan, kPlanExtension) + "\n\nUse a different file name.");
    TProjectSession s;
    TExportSetup setup;
    if (!s.Open(ctx, a->project, false) || !setup.Prepare(ctx, s, a->options)) return;
    const auto done = [&ctx](const std::string& plan, int fieldRows, const std::string&, int) {
      ctx.out << fieldRows << " field records exported to file\n" << plan << '\n';
    };
    std::string message;
    if (!ExportToPlan(s.file, s.ref.Mcn, QrlBusStarter(), a->plan, done, setup.Options, message))
      Fail(ctx, "Unable to export data for the following reason:\n\n" + message);
  });
}

void AddSoils(CLI::App& group, TCliContext& ctx) {
  struct TArgs {
    std::string path;
    int64_t number = 0;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = group.add_subcommand("soils", "Update the soils of record N (default: all records) from the planner's soils");
  cmd->add_option("PROJECT", a->path, "Project file (.tsj)")->required();
  cmd->add_option("N", a->number, "Record number, from 1; 0 or none: all records");
  cmd->callback([&ctx, a] {
    TProjectSession s;
    if (!s.Open(ctx, a->path, true) || !s.RecordOrAll(ctx, a->number)) return;
    int found = 0, notFound = 0;
    std::string message;
    std::vector<std::string> reasons;
    if (!UpdateSoilsFromPlanner(s.file, s.ref.Mcn, static_cast<int>(a->number), QrlBusStarter(), found, notFound,
                                message, nullptr, &reasons))
      return Fail(ctx, message);
    ctx.out << "Updated=" << found << "\nNotUpdated=" << notFound << '\n';
    for (const std::string& reason : reasons) ctx.out << Cp1252ToUtf8(reason) << '\n';
  });
}

}  // namespace

void AddPlanCommands(CLI::App& app, TCliContext& ctx) {
  CLI::App* plan = app.add_subcommand("plan", "Plans of the planner, through its automation server on the session bus");
  plan->require_subcommand(1);
  AddExport(*plan, ctx);
  auto text = std::make_shared<TTextImport>();
  CLI::App* import = AddCreateProjectCommand(
      *plan, ctx, "import", "Create a project from a plan of the planner", "Plan file (.qrl)", "plan file",
      [text](const std::string& in, const std::string& project, TProjectSession& s, std::string& message,
             int& records, std::string& report) {
        if (!CreateProjectFromPlan(QrlBusStarter(), in, project, s.ref.Mcn, s.ref.Mdf, *text, message, records))
          return false;
        if (text->Transliterate) report = "Transliterated=" + std::to_string(text->Replaced) + "\n";
        return true;
      });
  AddTransliterateFlag(import, *text);
  AddSoils(*plan, ctx);
}
