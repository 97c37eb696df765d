// Record subsets and cost summaries: subset, costs summary.
#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>

#include "CostCli.h"
#include "ProjectCli.h"
#include "common/Format.h"
#include "reference/MccFile.h"
#include "reports/RecSubset.h"

bool LoadCostsForReport(TCliContext& ctx, TProjectSession& session, const std::string& customFile) {
  if (customFile.empty()) {
    session.ref.Mdf.ResetCosts();
    return true;
  }
  TMccFile costs;
  if (costs.LoadCosts(Typed(customFile), session.ref.Mdf)) return true;
  ReportFileError(ctx, costs);
  return false;
}

bool ApplySubsetOption(TCliContext& ctx, TRecordSubset& subset, const TMdaFile& file, const std::string& spec) {
  subset.Attach(file);
  std::string error;
  if (subset.ApplySpec(Typed(spec), error)) return true;
  Fail(ctx, error);
  return false;
}

namespace {

void PrintSubset(TCliContext& ctx, const std::string& path, const std::string& spec) {
  TProjectSession session;
  TRecordSubset subset;
  if (!session.Open(ctx, path, false) || !ApplySubsetOption(ctx, subset, session.file, spec)) return;
  TRecordReader reader(session.file);
  while (const TFieldRec* rec = reader.Next())
    if (subset.Contains(*rec, 0, true, 0)) ctx.out << reader.Number() << '\n';
  if (reader.Failed()) ReportFileError(ctx, session.file);
}

struct TSummaryArgs {
  std::string path;
  int64_t number = 0;
  TCostArgs costs;
};

void PrintCostSummary(TCliContext& ctx, const TSummaryArgs& a) {
  TProjectSession session;
  TFieldRec rec{};
  if (!session.Open(ctx, a.path, false) || !session.Read(ctx, a.number, rec)) return;
  if (!LoadCostsForReport(ctx, session, a.costs.custom)) return;
  const TCostOptions o = a.costs.Options();
  const TCostSummary summary = session.file.CostSummary(rec, o.UseRemovalCost, o.ChargeAnySoilLoss, o.UseFiveYearPrice);
  for (int i = 0; i < TCostSummary::kCount; ++i)
    ctx.out << TCostSummary::Name(i) << '=' << FormatReal(summary[i], 2) << '\n';
}

}  // namespace

void AddCostCommands(CLI::App& app, TCliContext& ctx) {
  auto subsetArgs = std::make_shared<std::pair<std::string, std::string>>();
  auto* subset = app.add_subcommand("subset", "Print the numbers of the records that pass a subset, one per line");
  subset->add_option("FILE", subsetArgs->first, "Project file")->required();
  subset->add_option("--subset", subsetArgs->second, kSubsetHelp)->required();
  subset->callback([&ctx, subsetArgs] { PrintSubset(ctx, subsetArgs->first, subsetArgs->second); });

  auto a = std::make_shared<TSummaryArgs>();
  auto* summary = app.get_subcommand("costs")->add_subcommand(
      "summary", "Print the eighteen cost and income figures of record N as Name=value lines");
  summary->add_option("FILE", a->path, "Project file")->required();
  summary->add_option("N", a->number, "Record number, from 1")->required();
  AddCostOptions(summary, a->costs);
  summary->callback([&ctx, a] { PrintCostSummary(ctx, *a); });
}

void AddCostOptions(CLI::App* cmd, std::string& custom, bool& removal, bool& currentPrices, bool& anySoilLoss) {
  cmd->add_option("--custom", custom, "Price the inputs with a custom cost file (.mcc)");
  cmd->add_flag("--removal", removal, "Value fertilizer by N applied plus P and K removal");
  cmd->add_flag("--current-prices", currentPrices, "Value the crops at current instead of five-year prices");
  cmd->add_flag("--any-soil-loss", anySoilLoss, "Charge all soil loss, not only the loss above T");
}
