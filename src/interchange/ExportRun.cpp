#include "interchange/ExportRun.h"

#include "reports/NutrEngine.h"

TCostFigures ExportCostFigures(const TCostSummary& s) {
  TCostFigures c;
  int column = 0;
  for (int i = 0; i < TCostSummary::kCount; ++i)
    if (i != TCostSummary::FertilizerUsed) c.Values[column++] = s[i];
  return c;
}

TExportWalk WalkAcceptedRecords(TMdaFile& project, const TExportOptions& options,
                                const std::function<bool(const TFieldRec&)>& visit, int& accepted) {
  accepted = 0;
  const int total = project.RecordCount();
  TRecordReader in(project);
  while (const TFieldRec* r = in.Next()) {
    if (options.Progress && !options.Progress(in.Number() - 1, total)) return TExportWalk::Canceled;
    TFieldRec rec = *r;
    if (options.Filter && !options.Filter(rec)) continue;
    ++accepted;
    if (!visit(rec)) return TExportWalk::WriteFailed;
  }
  if (in.Failed()) return TExportWalk::ReadFailed;
  if (options.Progress) options.Progress(total, total);
  return TExportWalk::Done;
}

TExportWalk WalkExportRecords(TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions,
                              const TExportOptions& options, const TExportWrite& write, int& accepted) {
  TStateTables& tables = *project.StateTables();
  TNutrEngine engine(tables);
  TCostFigures costs;
  const TExportSource source{counties, definitions, tables, engine, options.ExcludeCosts ? nullptr : &costs};
  const TCostOptions& o = options.CostOptions;
  const auto visit = [&](const TFieldRec& rec) {
    if (!options.ExcludeCosts)
      costs = ExportCostFigures(project.CostSummary(rec, o.UseRemovalCost, o.ChargeAnySoilLoss, o.UseFiveYearPrice));
    return write(TFieldDataRow{source, rec}, ApplicationRows(rec, definitions));
  };
  return WalkAcceptedRecords(project, options, visit, accepted);
}
