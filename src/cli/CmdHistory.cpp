// report history A.tsj B.tsj ... -o OUT: the field history over project files of several years.
#include <CLI/CLI.hpp>

#include <memory>

#include "CmdReport.h"
#include "CostCli.h"
#include "ProjectCli.h"
#include "reports/FieldHist.h"
#include "reports/RecSubset.h"

namespace {

struct THistoryArgs {
  std::vector<std::string> files;
  std::string out, subset;
  TCostArgs costs;
  int fontSize = 10;
};

void WriteHistory(TCliContext& ctx, const THistoryArgs& a) {
  TProjectSession session;
  if (!session.LoadRefs(ctx)) return;
  THistorySettingsRec s;
  s.Files = a.files;
  s.RecordsMode = a.subset.empty() ? 0 : 1;
  s.UseCustomCosts = !a.costs.custom.empty();
  s.CustomCostFile = a.costs.custom;
  const TCostOptions options = a.costs.Options();
  s.UseRemovalCost = options.UseRemovalCost;
  s.UseFiveYearPrice = options.UseFiveYearPrice;
  s.ChargeAnySoilLoss = options.ChargeAnySoilLoss;
  s.FontSize = static_cast<int16_t>(a.fontSize);
  s.OutputKind = ReportKindForPath(a.out);
  s.OutputFileName = a.out;
  s.SaveToFile = true;
  TRecordSubset subset;
  THistoryRun run{*session.refs, session.ref.Mdf};
  run.subset = &subset;
  run.lockWaitMs = LockWaitMs(ctx);
  run.chooseSubset = [&a](TRecordSubset& chosen) {
    std::string error;
    chosen.ApplySpec(Typed(a.subset), error);
    return error;
  };
  FinishReport(ctx, RunFieldHistory(s, ReportAuthor(), run, nullptr));
}

}  // namespace

void AddHistoryReportCommand(CLI::App& group, TCliContext& ctx) {
  auto a = std::make_shared<THistoryArgs>();
  auto* cmd = AddReportSubcommand(group, "history",
                                  "Write the field history: each field's seasons over project files of several "
                                  "years, per crop averages, and the fields ranked by average profit",
                                  a->out);
  cmd->add_option("FILES", a->files,
                  "Project files, one per harvest year, in any order (2 to " + std::to_string(kMaxHistoryFiles) +
                      "); fields are matched by Field ID")
      ->required();
  cmd->add_option("--subset", a->subset,
                  std::string("Only the fields whose record in the newest year is in a subset: ") + kSubsetHelp);
  AddCostOptions(cmd, a->costs);
  cmd->add_option("--font-size", a->fontSize, "Font size in points: 8, 9, 10 (default), 11 or 12")
      ->check(CLI::IsMember({8, 9, 10, 11, 12}));
  cmd->callback([&ctx, a] { WriteHistory(ctx, *a); });
}
