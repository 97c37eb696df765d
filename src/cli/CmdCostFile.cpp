// costs save|show|set|list: custom cost files made from, compared with and listed against the
// definition file beside the program.
#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "CliApp.h"
#include "CmdReport.h"
#include "RefData.h"
#include "common/Cp1252.h"
#include "common/Format.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "reference/CostTable.h"
#include "reference/MccFile.h"
#include "reports/CostList.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

namespace {

bool Fail(TCliContext& ctx, const std::string& message) {
  ctx.err << MessageToUtf8(message) << '\n';
  ctx.status = 1;
  return false;
}

bool CheckCostFileName(TCliContext& ctx, const std::string& path) {
  return SameText(ExtractFileExt(path), ".mcc") || Fail(ctx, BadExtensionText(path, ".mcc"));
}

void SaveStandardCosts(TCliContext& ctx, const std::string& path) {
  TRefData ref;
  if (!CheckCostFileName(ctx, path) || !LoadRefData(ctx, ref)) return;
  ref.Mdf.ResetCosts();
  TMccFile costs;
  if (!costs.SaveCosts(path, ref.Mdf)) return ReportFileError(ctx, costs);
  ctx.out << "Saved the standard costs of " << ref.Mdf.InputCount() << " inputs to " << costs.FileName << ".\n";
}

void ShowCustomCosts(TCliContext& ctx, const std::string& path) {
  TRefData ref;
  if (!CheckCostFileName(ctx, path) || !LoadRefData(ctx, ref)) return;
  TMccFile costs;
  if (!costs.LoadCosts(path, ref.Mdf)) return ReportFileError(ctx, costs);
  int changed = 0;
  for (int i = 1; i <= ref.Mdf.InputCount(); ++i) {
    const TMdfInputRec input = ref.Mdf.GetInput(i);
    const float custom = ref.Mdf.InputCost(input.Code);
    if (custom == input.Cost || ref.Mdf.FindInput(input.Code) != i) continue;
    if (changed++ == 0) PrintLine(ctx, "Code Name                             Standard     Custom Cost unit");
    PrintLine(ctx, std::to_string(input.Code) + " " + Pad(input.Name.Str(), 30) + " " +
                       PadLeft(CostText(input.Cost), 10) + " " + PadLeft(CostText(custom), 10) + " " +
                       UnitMediumName(input.CostUnit));
  }
  if (changed == 0) ctx.out << "No cost differs from the standard costs.\n";
}

// Reads CODE=COST arguments with the cost file editor's checks; false at the first bad one.
bool ReadCostSettings(TCliContext& ctx, const TMdfFile& mdf, const std::vector<std::string>& args,
                      std::vector<std::pair<int, float>>& costs) {
  for (const std::string& arg : args) {
    const size_t eq = arg.find('=');
    uint16_t code = 0;
    if (eq == std::string::npos || !ParseWord(arg.substr(0, eq), code))
      return Fail(ctx, "\"" + Utf8ToCp1252(arg) + "\" is not CODE=COST.");
    if (mdf.FindInput(code) == 0)
      return Fail(ctx, "No input with code " + std::to_string(code) + " in " + mdf.FileName + ".");
    float cost = 0;
    const int error = ParseUnitCost(Utf8ToCp1252(arg.substr(eq + 1)), cost);
    if (error != ceNone) return Fail(ctx, "Input " + std::to_string(code) + ": " + UnitCostProblem(error));
    costs.emplace_back(code, cost);
  }
  return true;
}

void SetCosts(TCliContext& ctx, const std::string& path, const std::vector<std::string>& args) {
  TRefData ref;
  if (!CheckCostFileName(ctx, path) || !LoadRefData(ctx, ref)) return;
  std::vector<std::pair<int, float>> costs;
  if (!ReadCostSettings(ctx, ref.Mdf, args, costs)) return;
  TMccFile file;
  const bool create = FileStatus(ExpandFileName(path)) == fsMissing;
  if (create) ref.Mdf.ResetCosts();
  else if (!file.LoadCosts(path, ref.Mdf)) return ReportFileError(ctx, file);
  for (const auto& [code, cost] : costs) ref.Mdf.SetInputCost(code, cost);
  if (!file.SaveCosts(path, ref.Mdf)) return ReportFileError(ctx, file);
  ctx.out << (create ? "Created " : "Changed ") << file.FileName << ": " << costs.size() << " cost"
          << (costs.size() == 1 ? "" : "s") << " set" << (create ? ", the others standard costs" : "") << ".\n";
}

struct TListArgs {
  std::string file, out, crops;
};

// The crop filter of letters of the crop display order; all of them for an empty text.
bool CropFilterOf(TCliContext& ctx, const std::string& letters, uint32_t& mask) {
  mask = letters.empty() ? DisplayCropsMask() : 0;
  for (char letter : letters) {
    const uint32_t bit = CropBit(CropByLetter(letter));
    if ((bit & DisplayCropsMask()) == 0)
      return Fail(ctx, std::string("Unknown crop letter \"") + letter + "\"; the crops are " +
                           CropMaskLetters(DisplayCropsMask()) + ".");
    mask |= bit;
  }
  return true;
}

void ListCosts(TCliContext& ctx, const TListArgs& a) {
  TRefData ref;
  uint32_t mask = 0;
  if (!CropFilterOf(ctx, a.crops, mask) || !LoadRefData(ctx, ref)) return;
  std::string listed = ref.Mdf.FileName;
  if (!a.file.empty()) {
    TMccFile file;
    if (!CheckCostFileName(ctx, a.file)) return;
    if (!file.LoadCosts(a.file, ref.Mdf)) return ReportFileError(ctx, file);
    listed = file.FileName;
  }
  FinishReport(ctx, WriteCostListingFile(a.out, ReportKindForPath(a.out), ref.Mdf, listed, mask, ReportAuthor()));
}

}  // namespace

void AddCostFileCommands(CLI::App& app, TCliContext& ctx) {
  auto path = std::make_shared<std::string>();
  auto* costs = app.add_subcommand("costs", "Custom cost files");
  costs->require_subcommand(1);
  auto* save = costs->add_subcommand("save", "Save the standard costs as a custom cost file");
  save->add_option("FILE", *path, "Custom cost file (.mcc)")->required();
  save->callback([&ctx, path] { SaveStandardCosts(ctx, *path); });
  auto* show = costs->add_subcommand("show", "List the costs of a custom cost file that differ from the standard ones");
  show->add_option("FILE", *path, "Custom cost file (.mcc)")->required();
  show->callback([&ctx, path] { ShowCustomCosts(ctx, *path); });

  auto settings = std::make_shared<std::vector<std::string>>();
  auto* set = costs->add_subcommand(
      "set", "Change costs in a custom cost file, made from the standard costs when it does not exist; a bad "
             "code or cost writes nothing");
  set->add_option("FILE", *path, "Custom cost file (.mcc)")->required();
  set->add_option("CODE=COST", *settings, "Input code and unit cost, 0 to 999 (rounded to 3 decimals)")->required();
  set->callback([&ctx, path, settings] { SetCosts(ctx, *path, *settings); });

  auto list = std::make_shared<TListArgs>();
  auto* listCmd = AddReportSubcommand(*costs, "list", "Write the cost listing of a custom cost file (default: the "
                                                      "standard costs)", list->out);
  listCmd->add_option("FILE", list->file, "Custom cost file (.mcc)");
  listCmd->add_option("--crops", list->crops, "Only inputs for the crops with these letters (default: all crops)");
  listCmd->callback([&ctx, list] { ListCosts(ctx, *list); });
}
