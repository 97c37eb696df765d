#include "CmdReport.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "CliApp.h"
#include "Version.h"
#include "common/Cp1252.h"
#include "reports/DocFile.h"
#include "reports/MoreInfo.h"

CLI::App* AddReportSubcommand(CLI::App& group, const std::string& name, const std::string& help, std::string& out) {
  auto* cmd = group.add_subcommand(name, help);
  cmd->add_option("-o,--output", out, "Report file: .rtf, .html, .pdf, anything else plain text")->required();
  return cmd;
}

std::string ReportAuthor() { return std::string(TESSEREL_INTERNAL_NAME) + " " + TESSEREL_FILE_VERSION; }

void FinishReport(TCliContext& ctx, const std::string& errorText, const char* heading) {
  if (errorText.empty()) return;
  if (heading != nullptr) ctx.err << heading << "\n\n";
  ctx.err << MessageToUtf8(errorText) << '\n';
  ctx.status = 1;
}

void AddSoftwareReportCommand(CLI::App& group, TCliContext& ctx) {
  auto out = std::make_shared<std::string>();
  auto* cmd = AddReportSubcommand(group, "software", "Write the installed software report", *out);
  cmd->callback([&ctx, out] {
    FinishReport(ctx, WriteSoftwareReportFile(*out, ReportKindForPath(*out), ReportAuthor(),
                                              ProbeInstalledSoftware(TProbePlaces::System())));
  });
}

void AddReportCommands(CLI::App& app, TCliContext& ctx) {
  auto* group = app.add_subcommand("report", "Write a report to a file (format by the file's extension)");
  group->require_subcommand(1);
  AddSoftwareReportCommand(*group, ctx);
  AddSetbacksReportCommand(*group, ctx);
  AddWorksheetReportCommand(*group, ctx);
  AddSummaryReportCommands(*group, ctx);
  AddHistoryReportCommand(*group, ctx);
}
