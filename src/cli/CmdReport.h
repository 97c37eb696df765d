// The report command group: `tesserel-cli report KIND ... -o OUT`, one subcommand per report.
// The output format follows OUT's extension as in the desktop's "Save Report As": .rtf, .html,
// .pdf, anything else plain text. PDF goes through the renderer registered with SetPdfRenderer
// (reports/PdfRender.h); a tool built without one reports that PDF output is not available.
#pragma once

#include <string>

namespace CLI {
class App;
}
struct TCliContext;

// Adds the report `name` to the group with its required `-o,--output OUT` option bound to `out`.
CLI::App* AddReportSubcommand(CLI::App& group, const std::string& name, const std::string& help, std::string& out);
// The author written into report files and the program named by the exports: the program's internal
// name and file version.
std::string ReportAuthor();
// Ends a report command: an error text (file name, line break, reason) is printed on the error
// stream, after `heading` and an empty line when given (the desktop's "Unable to generate ... for
// the following reason:"), and the exit status becomes 1.
void FinishReport(TCliContext& ctx, const std::string& errorText, const char* heading = nullptr);

// The reports; each adds its subcommand to the group.
void AddSoftwareReportCommand(CLI::App& group, TCliContext& ctx);
void AddSetbacksReportCommand(CLI::App& group, TCliContext& ctx);
void AddWorksheetReportCommand(CLI::App& group, TCliContext& ctx);
void AddSummaryReportCommands(CLI::App& group, TCliContext& ctx);
void AddHistoryReportCommand(CLI::App& group, TCliContext& ctx);
