// report setbacks STATE -o OUT: the manure application setbacks report of a state for one planned
// application described by the options.
#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>
#include <set>

#include "CmdReport.h"
#include "RefData.h"
#include "common/Cp1252.h"
#include "reports/SetbacksRpt.h"
#include "store/LoadedRefs.h"
#include "store/StateTables.h"

namespace {

struct TSetbacksArgs {
  std::string state, out;
  int method = haLiquidSurface;
  std::set<int> features;  // feature numbers; empty: every feature the dialog lists
  std::string days, buffer, slope, residue;
  bool gradient = false;
  std::vector<int> appliedTo;
};

std::string MethodHelp() {
  std::string help = "How manure is applied (default 3):";
  for (int m = 0; m < kHowAppliedCount; ++m) help += "\n  " + std::to_string(m) + " " + HowAppliedCaption(m);
  return help;
}

std::string AppliedToHelp() {
  std::string help = "Special condition, repeatable:";
  for (int c = 0; c < kAppliedToCount; ++c) help += "\n  " + std::to_string(c) + " " + AppliedToCaption(c);
  return help;
}

// Ticks the features named by number (all listed ones when none is named); false with the state's
// list of features printed when a number is not among them.
bool TickFeatures(TCliContext& ctx, const TCheckedFileDb& db, const std::set<int>& numbers,
                  TSetbacksRptSettingsRec& s) {
  const std::vector<std::string> items = SetbackFeatureItems(db);
  for (int j = 0; j < static_cast<int>(items.size()); ++j)
    s.Features[j] = numbers.empty() || numbers.count(db.GetFieldInteger(sbFeatureKey, j)) > 0;
  if (numbers.empty() || s.Features.count() == numbers.size()) return true;
  ctx.err << "Unknown feature number. The features of this state are:\n";
  for (int j = 0; j < static_cast<int>(items.size()); ++j)
    ctx.err << "  " << db.GetFieldInteger(sbFeatureKey, j) << " " << Cp1252ToUtf8(items[j]) << '\n';
  ctx.status = 1;
  return false;
}

bool Fail(TCliContext& ctx, const std::string& message) {
  ctx.err << MessageToUtf8(message) << '\n';
  ctx.status = 1;
  return false;
}

void WriteSetbacks(TCliContext& ctx, const TSetbacksArgs& a) {
  TRefData ref;
  if (!LoadRefData(ctx, ref)) return;
  const int state = StateArgument(ctx, ref, a.state);
  if (state == 0) return;
  TLoadedRefs refs(ref.Mcn, ref.Mdf);
  TStateTables tables(refs);
  std::string message;
  if (!tables.LoadStateTables(state, message)) return (void)Fail(ctx, message);
  const TCheckedFileDb& db = tables.Db();
  if (db.FieldRowCount(sbCritKey) == 0) return (void)Fail(ctx, kNoSetbacksText);
  TSetbacksRptSettingsRec s;
  s.FeatureState = state;
  if (!TickFeatures(ctx, db, a.features, s)) return;
  s.GradientBarrier = a.gradient;
  for (int c : a.appliedTo) s.AppliedTo[c] = true;
  const TSetbacksEntries entries{static_cast<int>(s.Features.count()), a.method, a.days, a.buffer, a.slope,
                                 a.residue};
  message = CheckSetbacksEntries(entries, s);
  if (!message.empty()) return (void)Fail(ctx, message);
  const TSetbacksPlace place{db, ref.Mcn.RegionWordCapitalized(), ref.Mcn.StateName(state)};
  FinishReport(ctx, WriteSetbacksReportFile(a.out, ReportKindForPath(a.out), s, ReportAuthor(), place));
}

}  // namespace

void AddSetbacksReportCommand(CLI::App& group, TCliContext& ctx) {
  auto a = std::make_shared<TSetbacksArgs>();
  auto* cmd = AddReportSubcommand(group, "setbacks", "Write the manure application setbacks report of a state", a->out);
  cmd->add_option("STATE", a->state, "State abbreviation or number")->required();
  cmd->add_option("--method", a->method, MethodHelp())->check(CLI::Range(0, kHowAppliedCount - 1));
  cmd->add_option("--feature", a->features, "Number of a geographic feature of the state's list, repeatable "
                                            "(default: every feature)");
  cmd->add_option("--days", a->days, "Days to incorporation, 0 to 99 (required with methods 2 and 4)");
  cmd->add_option("--buffer", a->buffer, "Vegetated buffer width in feet, 1 to 999");
  cmd->add_flag("--gradient", a->gradient, "There is a gradient barrier");
  cmd->add_option("--slope", a->slope, "Slope in percent, 0 to 50");
  cmd->add_option("--residue", a->residue, "Residue cover in percent, 0 to 100");
  cmd->add_option("--applied-to", a->appliedTo, AppliedToHelp())->check(CLI::Range(0, kAppliedToCount - 1));
  cmd->callback([&ctx, a] { WriteSetbacks(ctx, *a); });
}
