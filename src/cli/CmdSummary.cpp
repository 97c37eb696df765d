// report ranked FILE -o OUT, report tabular FILE -o OUT: the ranked and tabular summaries of a
// project's records.
#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>

#include "CmdReport.h"
#include "CostCli.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "reports/RankSum.h"
#include "reports/RecSubset.h"
#include "reports/TabSum.h"

namespace {

struct TSummaryArgs {
  std::string path, out, subset, custom;
  std::string columns;
  CLI::Option* columnsOption = nullptr;  // not given: the default columns
  bool removal = false, currentPrices = false, anySoilLoss = false;
  std::string rankBy = "yield";
  std::string table, rows;  // tabular: data types; empty: the defaults
};

using TColumnName = const char* (*)(int);

// The help of --columns: every column's number and name, and the defaults.
template <size_t N>
std::string ColumnHelp(TColumnName name, const std::bitset<N>& defaults) {
  std::string list, help = "Columns by number or name, separated by commas:";
  for (int c = 1; c < static_cast<int>(N); ++c) {
    help += "\n  " + std::to_string(c) + " " + name(c);
    if (defaults[c]) list += (list.empty() ? "" : ",") + std::to_string(c);
  }
  return help + "\nDefault: " + list;
}

// "1,4,Field Name" -> the columns; names compared without regard to case.
template <size_t N>
bool ParseColumns(TCliContext& ctx, const std::string& text, TColumnName name, std::bitset<N>& columns) {
  columns.reset();
  if (Trim(text).empty()) {
    Fail(ctx, kNoColumnsText);
    return false;
  }
  std::string part;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != ',') {
      part += text[i];
      continue;
    }
    const std::string item = Trim(part);
    part.clear();
    int32_t number = 0;
    int found = ParseLongInt(item, number) && number >= 1 && number < static_cast<int>(N) ? number : 0;
    for (int c = 1; c < static_cast<int>(N) && found == 0; ++c)
      if (SameText(item, name(c))) found = c;
    if (found == 0) {
      Fail(ctx, "Unknown column \"" + item + "\".");
      return false;
    }
    columns.set(found);
  }
  return true;
}

std::string TableTypeHelp() {
  TRecordSubset names;
  std::string help = "Data type giving one table per category, by number or name:";
  for (int type = sdCountry; type <= kSubsetTypes; ++type)
    help += "\n  " + std::to_string(type) + " " + names.TypeName(type);
  return help + "\n(1 is the country and 2 the state in a multi-state project)\nDefault: " +
         std::to_string(TTabularSummarySettingsRec().TableType);
}

bool ParseType(TCliContext& ctx, const TRecordSubset& subset, const std::string& text, int& type) {
  if (text.empty()) return true;
  type = subset.FindType(Typed(text), sdCountry);
  if (type != 0) return true;
  Fail(ctx, "Unknown data type \"" + text + "\".");
  return false;
}

// Opens the project, applies the subset and the cost options to the settings.
bool Prepare(TCliContext& ctx, TProjectSession& session, TRecordSubset& subset, const TSummaryArgs& a,
             TSummarySettingsRec& s) {
  if (!session.Open(ctx, a.path, false)) return false;
  subset.Attach(session.file);
  if (!a.subset.empty()) {
    if (!ApplySubsetOption(ctx, subset, session.file, a.subset)) return false;
    s.RecordsMode = 1;
  }
  s.UseCustomCosts = !a.custom.empty();
  s.CustomCostFile = a.custom;
  s.UseRemovalCost = a.removal;
  s.UseFiveYearPrice = !a.currentPrices;
  s.ChargeAnySoilLoss = a.anySoilLoss;
  return true;
}

template <class TDoc, class TSettings>
void WriteReportFile(TCliContext& ctx, TProjectSession& session, const TSummaryArgs& a, const TSettings& s,
                     const TRecordSubset& subset, const char* heading) {
  FinishReport(ctx, WriteSummaryFile<TDoc>(a.out, ReportKindForPath(a.out), s, subset, ReportAuthor(), session.file,
                                            session.ref.Mdf),
               heading);
}

bool ColumnsGiven(const TSummaryArgs& a) { return a.columnsOption != nullptr && a.columnsOption->count() > 0; }

void WriteRanked(TCliContext& ctx, const TSummaryArgs& a) {
  TProjectSession session;
  TRecordSubset subset;
  TRankedSummarySettingsRec s;
  if (ColumnsGiven(a) && !ParseColumns(ctx, a.columns, RankedColumnName, s.Columns)) return;
  s.RankBy = a.rankBy == "profit" ? rbProfit : a.rankBy == "unit-cost" ? rbUnitCost : rbYield;
  if (!Prepare(ctx, session, subset, a, s)) return;
  WriteReportFile<TRankedSummaryDoc>(ctx, session, a, s, subset, kRankedFailedText);
}

void WriteTabular(TCliContext& ctx, const TSummaryArgs& a) {
  TProjectSession session;
  TRecordSubset subset;
  TTabularSummarySettingsRec s;
  if (ColumnsGiven(a) && !ParseColumns(ctx, a.columns, TabularColumnName, s.Columns)) return;
  if (!Prepare(ctx, session, subset, a, s)) return;
  if (!ParseType(ctx, subset, a.table, s.TableType) || !ParseType(ctx, subset, a.rows, s.RowType)) return;
  WriteReportFile<TTabularSummaryDoc>(ctx, session, a, s, subset, kTabularFailedText);
}

CLI::App* AddSummaryCommand(CLI::App& group, const std::string& name, const std::string& help, TSummaryArgs& a) {
  auto* cmd = AddReportSubcommand(group, name, help, a.out);
  cmd->add_option("FILE", a.path, "Project file")->required();
  cmd->add_option("--subset", a.subset, std::string("Only the records of a subset: ") + kSubsetHelp);
  AddCostOptions(cmd, a.custom, a.removal, a.currentPrices, a.anySoilLoss);
  return cmd;
}

}  // namespace

void AddSummaryReportCommands(CLI::App& group, TCliContext& ctx) {
  auto r = std::make_shared<TSummaryArgs>();
  auto* ranked = AddSummaryCommand(group, "ranked", "Write the ranked summary: one row per field, ranked by yield, "
                                                    "unit cost and profit", *r);
  r->columnsOption = ranked->add_option("--columns", r->columns, ColumnHelp(RankedColumnName, DefaultRankedColumns()));
  ranked->add_option("--rank-by", r->rankBy, "Order of the rows: yield (default), unit-cost or profit")
      ->check(CLI::IsMember({"yield", "unit-cost", "profit"}));
  ranked->callback([&ctx, r] { WriteRanked(ctx, *r); });

  auto t = std::make_shared<TSummaryArgs>();
  auto* tabular = AddSummaryCommand(group, "tabular", "Write the tabular summary: per-field averages in a table "
                                                      "per category of one data type, a row per category of another",
                                    *t);
  t->columnsOption =
      tabular->add_option("--columns", t->columns, ColumnHelp(TabularColumnName, DefaultTabularColumns()));
  tabular->add_option("--table", t->table, TableTypeHelp());
  tabular->add_option("--rows", t->rows, "Data type giving one row per category, as for --table. Default: " +
                                             std::to_string(TTabularSummarySettingsRec().RowType));
  tabular->callback([&ctx, t] { WriteTabular(ctx, *t); });
}
