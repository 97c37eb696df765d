#include "CliApp.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>

#include "Version.h"
#include "common/Locale.h"
#include "filebase/FileUse.h"

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  // Scripts get the same dates and numbers on every machine.
  PinUsLocale();
  TCliContext ctx{out, err};
  CLI::App app{std::string(TESSEREL_PRODUCT_NAME) + " command-line tool", "tesserel-cli"};
  app.require_subcommand(1);
  app.fallthrough();  // shared options such as --data-dir may follow the subcommand
  app.set_version_flag("--version", std::string(TESSEREL_VERSION));
  app.add_option("--data-dir", ctx.dataDir,
                 "Folder of the reference files (default: beside the program, else the installation's data folder)");
  app.add_option("--wait", ctx.waitSeconds,
                 "Seconds a project command waits for a project another program is using (default 10)")
      ->type_name("SECONDS")
      ->check(CLI::Range(0.0, 86400.0));
  AddBasicCommands(app, ctx);
  AddReferenceCommands(app, ctx);
  AddTextDbCommands(app, ctx);
  AddProjectCommands(app, ctx);
  AddRecsCommands(app, ctx);
  AddReportCommands(app, ctx);
  AddSoilsCommands(app, ctx);
  AddCostCommands(app, ctx);
  AddDbfCommands(app, ctx);
  AddDbCommands(app, ctx);
  AddSheetCommands(app, ctx);
  AddPlanCommands(app, ctx);

  std::vector<std::string> reversed(args.rbegin(), args.rend());
  // Every file the command reads stays one of its inputs to the end, so that no output replaces it.
  const TCommandFiles files;
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    return app.exit(e, out, err);
  } catch (const std::exception& e) {
    // A fault inside a command ends that command with its reason, never the tool without a word.
    err << "tesserel-cli: internal error: " << e.what() << "\n";
    return 1;
  } catch (...) {
    err << "tesserel-cli: internal error.\n";
    return 1;
  }
  return ctx.status;
}
