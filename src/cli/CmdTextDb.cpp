// eval FORMULA [NAME=VALUE|NAME=null]...: evaluates a formula as state files and reports do.
// qri check|sign|show: loads, signs and inspects planner initialization files.
#include <CLI/CLI.hpp>

#include <ostream>

#include "CliApp.h"
#include "common/Format.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "textdb/EvalUtil.h"

namespace {

// NAME=VALUE or NAME=null; false when the argument has neither form.
bool ParseAssignment(const std::string& arg, TExprVar& var) {
  const size_t eq = arg.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  var.Name = Trim(arg.substr(0, eq));
  const std::string value = Trim(arg.substr(eq + 1));
  var.IsNull = SameText(value, "null");
  var.Value = 0;
  return var.IsNull || ParseReal(value, var.Value);
}

void RunEval(TCliContext& ctx, const std::vector<std::string>& args) {
  std::vector<TExprVar> vars;
  for (size_t i = 1; i < args.size(); ++i) {
    TExprVar var;
    if (!ParseAssignment(args[i], var)) {
      ctx.err << "Invalid variable \"" << args[i] << "\": expected NAME=VALUE or NAME=null.\n";
      ctx.status = 1;
      return;
    }
    vars.push_back(var);
  }
  double value = 0;
  const int code = EvaluateExpression(args[0], vars, value);
  if (code != 0) {
    ctx.out << "error " << code << ": " << ExpressionErrorText(code) << '\n';
    ctx.status = 2;
    return;
  }
  ctx.out << (value == 0 ? std::string("0") : ShortestReal(value)) << '\n';
}

}  // namespace

void AddTextDbCommands(CLI::App& app, TCliContext& ctx) {
  auto evalArgs = std::make_shared<std::vector<std::string>>();
  auto* eval = app.add_subcommand("eval", "Evaluate a formula; variables as NAME=VALUE or NAME=null");
  eval->add_option("FORMULA", *evalArgs, "The formula, then its variables (put -- first when it starts with -)")
      ->required();
  eval->callback([&ctx, evalArgs] { RunEval(ctx, *evalArgs); });
}
