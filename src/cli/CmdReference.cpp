// states, counties ST, inputs: views of the reference files beside the program.
#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>

#include "CliApp.h"
#include "RefData.h"
#include "common/Cp1252.h"
#include "common/Format.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "vocab/CropVocab.h"
#include "filebase/FileUtl.h"
#include "vocab/UnitVocab.h"

namespace {

std::string ZeroPadded(int value, size_t width) {
  std::string text = std::to_string(value);
  return text.size() < width ? std::string(width - text.size(), '0') + text : text;
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

void PrintCounties(TCliContext& ctx, const std::string& stateArg) {
  TRefData ref;
  if (!LoadRefData(ctx, ref)) return;
  const int state = StateArgument(ctx, ref, stateArg);
  if (state == 0) return;
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

  AddCostFileCommands(app, ctx);
}
