// states, counties ST, inputs, costs save|show: views of the reference files beside the program.
#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>

#include "CliApp.h"
#include "RefData.h"
#include "common/Cp1252.h"
#include "common/Format.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "reference/MccFile.h"
#include "vocab/CropVocab.h"
#include "filebase/FileUtl.h"
#include "vocab/UnitVocab.h"

namespace {

void PrintLine(TCliContext& ctx, const std::string& cp1252Line) {
  ctx.out << Cp1252ToUtf8(TrimRight(cp1252Line)) << '\n';
}

std::string ZeroPadded(int value, size_t width) {
  std::string text = std::to_string(value);
  return text.size() < width ? std::string(width - text.size(), '0') + text : text;
}

// Two decimals when they say it exactly, otherwise every digit the single real holds.
std::string CostText(float cost) {
  const std::string text = FormatReal(cost, 2);
  float back = 0;
  return ParseSingle(text, back) && back == cost ? text : ShortestSingle(cost);
}

void PrintStates(TCliContext& ctx) {
  TRefData ref;
  if (!LoadRefData(ctx, ref)) return;
  PrintLine(ctx, "No. Abbr Name           FIPS Counties");
  for (int s = 1; s <= ref.Mcn.StateCount(); ++s)
    PrintLine(ctx, PadLeft(std::to_string(s), 3) + " " + Pad(ref.Mcn.StateAbbrev(s), 4) + " " +
                       Pad(ref.Mcn.StateName(s), 14) + " " + Pad(ZeroPadded(ref.Mcn.StateCode(s), 2), 4) +
                       " " + PadLeft(std::to_string(ref.Mcn.CountyCount(s)), 8));
}

// A state given by abbreviation or by number; 0 when there is no such state.
int StateFromArgument(TRefData& ref, const std::string& arg) {
  uint16_t number = 0;
  if (ParseWord(arg, number)) return number <= ref.Mcn.StateCount() ? number : 0;
  return ref.Mcn.FindStateByAbbrev(Utf8ToCp1252(arg));
}

void PrintCounties(TCliContext& ctx, const std::string& stateArg) {
  TRefData ref;
  if (!LoadRefData(ctx, ref)) return;
  const int state = StateFromArgument(ref, stateArg);
  if (state == 0) {
    ctx.err << "No " << ref.Mcn.RegionWord() << " \"" << stateArg << "\" in " << ref.Mcn.FileName << ".\n";
    ctx.status = 1;
    return;
  }
  PrintLine(ctx, "No. Name                 FIPS");
  for (int c = 1; c <= ref.Mcn.CountyCount(state); ++c)
    PrintLine(ctx, PadLeft(std::to_string(c), 3) + " " + Pad(ref.Mcn.CountyName(c, state), 20) + " " +
                       ZeroPadded(ref.Mcn.CountyCode(c, state), 3));
}

struct TInputsArgs {
  int category = 0;
  int type = itAny;
  std::string crop;
};

void PrintInputs(TCliContext& ctx, const TInputsArgs& args) {
  uint32_t mask = 0xFFFFFFFFu;
  if (!args.crop.empty()) {
    const int crop = args.crop.size() == 1 ? CropByLetter(args.crop[0]) : 0;
    if (crop == 0) {
      ctx.err << "Unknown crop letter \"" << args.crop << "\".\n";
      ctx.status = 1;
      return;
    }
    mask = CropBit(crop);
  }
  TRefData ref;
  if (!LoadRefData(ctx, ref)) return;
  const TMdfFile& mdf = ref.Mdf;
  PrintLine(ctx, "Code Name                                Cost Cost unit  App unit   Crops");
  for (int category = kFirstCategory; category <= kLastCategory; ++category) {
    if (args.category != 0 && category != args.category) continue;
    const int count = mdf.CountInputs(category, args.type, mask);
    for (int p = 1; p <= count; ++p) {
      const int code = mdf.InputAtListPosition(p, category, mask, args.type);
      PrintLine(ctx, std::to_string(code) + " " + Pad(mdf.InputName(code), 30) + " " +
                         PadLeft(CostText(mdf.InputCost(code)), 10) + " " +
                         Pad(UnitMediumName(mdf.InputCostUnit(code)), 10) + " " +
                         Pad(UnitMediumName(mdf.InputAppUnit(code)), 10) + " " +
                         CropMaskText(mdf.InputCropMask(code)));
    }
  }
}

bool CheckCostFileName(TCliContext& ctx, const std::string& path) {
  if (SameText(ExtractFileExt(path), ".mcc")) return true;
  ctx.err << BadExtensionText(path, ".mcc") << '\n';
  ctx.status = 1;
  return false;
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

}  // namespace

void AddReferenceCommands(CLI::App& app, TCliContext& ctx) {
  app.add_subcommand("states", "List the states of the county names file")->callback([&ctx] { PrintStates(ctx); });

  auto state = std::make_shared<std::string>();
  auto* counties = app.add_subcommand("counties", "List the counties of a state (number, name, FIPS code)");
  counties->add_option("ST", *state, "State abbreviation or number")->required();
  counties->callback([&ctx, state] { PrintCounties(ctx, *state); });

  auto inputsArgs = std::make_shared<TInputsArgs>();
  auto* inputs = app.add_subcommand("inputs", "List the inputs of the definition file");
  inputs->add_option("--category", inputsArgs->category, "Category 1 to 7")->check(CLI::Range(1, 7));
  inputs->add_option("--type", inputsArgs->type, "1 fertilizer materials, 2 manures (category 3)")
      ->check(CLI::Range(0, 2));
  inputs->add_option("--crop", inputsArgs->crop, "Only inputs allowed for the crop with this letter");
  inputs->callback([&ctx, inputsArgs] { PrintInputs(ctx, *inputsArgs); });

  auto path = std::make_shared<std::string>();
  auto* costs = app.add_subcommand("costs", "Custom cost files");
  costs->require_subcommand(1);
  auto* save = costs->add_subcommand("save", "Save the standard costs as a custom cost file");
  save->add_option("FILE", *path, "Custom cost file (.mcc)")->required();
  save->callback([&ctx, path] { SaveStandardCosts(ctx, *path); });
  auto* show = costs->add_subcommand("show", "List the costs of a custom cost file that differ from the standard ones");
  show->add_option("FILE", *path, "Custom cost file (.mcc)")->required();
  show->callback([&ctx, path] { ShowCustomCosts(ctx, *path); });
}
