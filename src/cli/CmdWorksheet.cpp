// report worksheet FILE -o OUT: the production cost worksheet and the nutrient management page of
// the selected records, with the worksheet dialog's choices as options.
#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>
#include <sstream>

#include "CmdReport.h"
#include "CostCli.h"
#include "ProjectCli.h"
#include "reports/RecSubset.h"
#include "reports/WrkDoc.h"

namespace {

struct TWorksheetArgs {
  std::string path, out;
  std::string records = "all";
  std::string subset;
  std::string custom;
  bool removal = false, currentPrices = false, anySoilLoss = false;
  bool noCosts = false, noNutrients = false, unboxed = false;
  int fontSize = 10;
  std::string show;
};

const char* const kShowWords[] = {"id", "name", "operation", "notes", "soil-tests", "input-costs", "notes-explained"};

// Ticks exactly the data named in a comma list; false with a message for an unknown word.
bool ApplyShow(TCliContext& ctx, const std::string& list, TWorksheetSettingsRec& s) {
  bool* const flags[] = {&s.ShowFieldId,   &s.ShowFieldName,  &s.ShowOperationName,   &s.ShowFieldNotes,
                         &s.ShowSoilTests, &s.ShowInputCosts, &s.ShowExplanatoryNotes};
  for (bool* flag : flags) *flag = false;
  std::stringstream words(list);
  std::string word;
  while (std::getline(words, word, ',')) {
    int k = 0;
    while (k < 7 && word != kShowWords[k]) ++k;
    if (k == 7) {
      Fail(ctx, "Unknown --show item \"" + Typed(word) + "\".");
      return false;
    }
    *flags[k] = true;
  }
  return true;
}

// The record mode and range entry of --records: all, N, N-M or ids:A-B.
void ApplyRecords(const std::string& records, TWorksheetSettingsRec& s, std::string& rangeEntry) {
  if (records == "all") {
    s.RecordsMode = rmAll;
  } else if (records.rfind("ids:", 0) == 0) {
    s.RecordsMode = rmIdRange;
    rangeEntry = records.substr(4);
  } else {
    s.RecordsMode = rmRecordRange;
    rangeEntry = records;
  }
}

void WriteWorksheet(TCliContext& ctx, const TWorksheetArgs& a) {
  TWorksheetSettingsRec s;
  std::string rangeEntry;
  ApplyRecords(a.records, s, rangeEntry);
  if (!a.subset.empty()) s.RecordsMode = rmSubset;
  s.IncludeCostWorksheet = !a.noCosts;
  s.IncludeNutrientPage = !a.noNutrients;
  s.UseCustomCosts = !a.custom.empty();
  s.CustomCostFile = a.custom;
  s.UseRemovalCost = a.removal;
  s.UseFiveYearPrice = !a.currentPrices;
  s.ChargeAnySoilLoss = a.anySoilLoss;
  s.Boxed = !a.unboxed;
  s.FontSize = static_cast<int16_t>(a.fontSize);
  if (!a.show.empty() && !ApplyShow(ctx, a.show, s)) return;
  const std::string problem = CheckWorksheetSettings(s, rangeEntry);
  if (!problem.empty()) return Fail(ctx, problem);
  s.OutputKind = ReportKindForPath(a.out);
  s.OutputFileName = a.out;
  s.SaveToFile = true;

  TProjectSession session;
  if (!session.Open(ctx, a.path, false)) return;
  TRecordSubset subset;
  if (s.RecordsMode == rmSubset && !ApplySubsetOption(ctx, subset, session.file, a.subset)) return;
  TWorksheetRun run{session.file, session.ref.Mdf, nullptr, &subset, nullptr};
  FinishReport(ctx, RunWorksheetReport(s, ReportAuthor(), run, nullptr));
}

}  // namespace

void AddWorksheetReportCommand(CLI::App& group, TCliContext& ctx) {
  auto a = std::make_shared<TWorksheetArgs>();
  auto* cmd = AddReportSubcommand(group, "worksheet",
                                  "Write the production cost worksheet and nutrient management page of records", a->out);
  cmd->add_option("FILE", a->path, "Project file")->required();
  auto* records = cmd->add_option("--records", a->records,
                                  "all (default), a record number N, numbers N-M, or field IDs ids:A-B");
  cmd->add_option("--subset", a->subset, kSubsetHelp)->excludes(records);
  AddCostOptions(cmd, a->custom, a->removal, a->currentPrices, a->anySoilLoss);
  cmd->add_flag("--no-costs", a->noCosts, "Leave out the production cost worksheet");
  cmd->add_flag("--no-nutrients", a->noNutrients, "Leave out the nutrient management page");
  cmd->add_flag("--unboxed", a->unboxed, "No boxes around sections");
  cmd->add_option("--font-size", a->fontSize, "Font size in points: 8, 9, 10 (default), 11 or 12")
      ->check(CLI::IsMember({8, 9, 10, 11, 12}));
  cmd->add_option("--show", a->show,
                  "Data to include, comma separated (default id,name,operation,input-costs,notes-explained): "
                  "id, name, operation, notes, soil-tests, input-costs, notes-explained");
  cmd->callback([&ctx, a] { WriteWorksheet(ctx, *a); });
}
