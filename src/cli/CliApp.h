// The command-line tool over the core: every command, runnable in-process for the tests.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

// What every command needs: where to write, and the options shared by all commands.
struct TCliContext {
  std::ostream& out;
  std::ostream& err;
  std::string dataDir;  // folder of the reference files; empty = beside the program
  double waitSeconds = 10;  // how long a project command waits for a project another program is writing
  int status = 0;       // exit status set by the command that ran
};

// Runs the tool with the given arguments (without the program name); returns the exit status.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Command groups; each adds its subcommands to the application.
void AddBasicCommands(CLI::App& app, TCliContext& ctx);
void AddReferenceCommands(CLI::App& app, TCliContext& ctx);
// The "costs" group of custom cost files (added by AddReferenceCommands).
void AddCostFileCommands(CLI::App& app, TCliContext& ctx);
void AddTextDbCommands(CLI::App& app, TCliContext& ctx);
void AddProjectCommands(CLI::App& app, TCliContext& ctx);
void AddRecsCommands(CLI::App& app, TCliContext& ctx);
void AddReportCommands(CLI::App& app, TCliContext& ctx);
void AddSoilsCommands(CLI::App& app, TCliContext& ctx);
// After the reference commands: adds "summary" to their "costs" group.
void AddCostCommands(CLI::App& app, TCliContext& ctx);
void AddDbfCommands(CLI::App& app, TCliContext& ctx);
// After the dBASE commands: export db, export json, import json.
void AddDbCommands(CLI::App& app, TCliContext& ctx);
// After the database commands: export xlsx, export csv.
void AddSheetCommands(CLI::App& app, TCliContext& ctx);
// Plans of the planner, reached over the D-Bus session bus: plan export, plan import, plan soils.
void AddPlanCommands(CLI::App& app, TCliContext& ctx);
