// eval FORMULA [NAME=VALUE|NAME=null]...: evaluates a formula as state files and reports do.
// qri check|sign|show: loads, signs and inspects planner initialization files.
#include <CLI/CLI.hpp>

#include <ostream>

#include "CliApp.h"
#include "common/Format.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "common/Cp1252.h"
#include "textdb/EvalUtil.h"
#include "textdb/QriFilDb.h"
#include "textdb/QriSign.h"

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

// A message of the core for the terminal: UTF-8, with line feeds only.
std::string ForTerminal(const std::string& text) {
  std::string out;
  for (char c : Cp1252ToUtf8(text))
    if (c != '\r') out += c;
  return out;
}

void Fail(TCliContext& ctx, const std::string& message) {
  ctx.err << ForTerminal(message) << '\n';
  ctx.status = 1;
}

void RunQriCheck(TCliContext& ctx, const std::string& path) {
  TQriFileDb db;
  if (!db.Load(path)) return Fail(ctx, db.ErrorMessage());
  if (!SameText(db.FileCrc(), db.ComputedCrc())) {
    const std::string asRead = db.FileCrc().empty() ? "blank" : "\"" + db.FileCrc() + "\"";
    return Fail(ctx, "CRC setting is " + asRead + " but the file's checksum is " + db.ComputedCrc() + ".");
  }
  ctx.out << "OK " << ForTerminal(db.GetFieldValue(qfStateAbbr, 0)) << ' ' << db.ComputedCrc() << '\n';
}

void RunQriSign(TCliContext& ctx, const std::string& path) {
  std::string crc, error;
  if (!SignQriFile(path, crc, error)) return Fail(ctx, error);
  ctx.out << "CRC=" << crc << '\n';
}

// The section's rows as read, in the file's own syntax.
void RunQriShow(TCliContext& ctx, const std::string& path, const std::string& name) {
  TTextFileDb db;
  if (!db.LoadFromFile(path)) return Fail(ctx, db.ErrorMessage());
  const int section = db.FindSection(Utf8ToCp1252(name));
  if (section < 0) return Fail(ctx, "[" + Utf8ToCp1252(name) + "] section is missing.");
  const int firstColumn = db.IsKeyed(section) ? 1 : 0;
  for (int row = 0; row < db.RowCount(section); ++row) {
    ctx.out << ForTerminal(db.SectionDisplay(section, row)) << '\n';
    for (int c = firstColumn; c < db.ColumnCount(section); ++c)
      ctx.out << ForTerminal(db.SettingDisplay(section, row, c)) << '\n';
  }
}

}  // namespace

void AddTextDbCommands(CLI::App& app, TCliContext& ctx) {
  auto evalArgs = std::make_shared<std::vector<std::string>>();
  auto* eval = app.add_subcommand("eval", "Evaluate a formula; variables as NAME=VALUE or NAME=null");
  eval->add_option("FORMULA", *evalArgs, "The formula, then its variables (put -- first when it starts with -)")
      ->required();
  eval->callback([&ctx, evalArgs] { RunEval(ctx, *evalArgs); });

  struct TQriArgs {
    std::string path, section;
  };
  auto qriArgs = std::make_shared<TQriArgs>();
  auto* qri = app.add_subcommand("qri", "Check, sign or inspect a state initialization file (.qri)");
  qri->require_subcommand(1);
  auto* check = qri->add_subcommand("check", "Load the file with the full schema; print OK, the state and the CRC");
  check->add_option("FILE", qriArgs->path, "State file")->required();
  check->callback([&ctx, qriArgs] { RunQriCheck(ctx, qriArgs->path); });
  auto* sign = qri->add_subcommand("sign", "Write the checksum of a file that otherwise loads into its CRC setting");
  sign->add_option("FILE", qriArgs->path, "State file")->required();
  sign->callback([&ctx, qriArgs] { RunQriSign(ctx, qriArgs->path); });
  auto* show = qri->add_subcommand("show", "Print a section's rows and settings as read");
  show->add_option("FILE", qriArgs->path, "State file")->required();
  show->add_option("SECTION", qriArgs->section, "Section name")->required();
  show->callback([&ctx, qriArgs] { RunQriShow(ctx, qriArgs->path, qriArgs->section); });
}
