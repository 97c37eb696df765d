// The recommendation command: what the nutrient engine gives for one record.
#include <CLI/CLI.hpp>

#include <ostream>

#include "ProjectCli.h"
#include "common/Cp1252.h"
#include "common/Format.h"
#include "reports/NutrEngine.h"
#include "reports/NutrNeeds.h"

namespace {

const char* const kSlotLabels[] = {"Previous crop", "Cover or first crop", "Current crop", "Next crop"};
const char* const kNutrientNames[] = {"N", "P2O5", "K2O"};
const int kNutrientColumns[] = {rcN, rcP2O5, rcK2O};

std::string RecErrorText(int error) {
  return error == 1 ? "No crop definition applies." : ExpressionErrorText(error);
}

// Program text (code page 1252, CR LF line ends) as printed lines.
std::string Printable(const std::string& text) {
  std::string out;
  for (char c : Cp1252ToUtf8(text))
    if (c != '\r') out += c;
  return out;
}

// What a null recommendation lacked, after a blank; empty when the formulas do not tell.
std::string Needs(const TRecResult& r, TStateTables& tables) {
  const std::string text = r.NullCauses != 0 ? RecNeedsText(r.NullCauses, tables.Db()) : std::string();
  return text.empty() ? text : " " + Printable(text);
}

std::string Amount(double value) { return FormatReal(value, 2, fmtTrimZeros); }

// Said after a value that rests on a rate not checked against the publication's table.
std::string Flag(bool provisional) { return provisional ? std::string(", ") + kProvisionalNote : std::string(); }

void PrintSlot(std::ostream& out, TStateTables& tables, TNutrEngine& engine, int slot, const TFieldRec& rec) {
  if (SlotCrop(rec, slot) == 0) {
    out << kSlotLabels[slot] << ": none\n";
    return;
  }
  out << kSlotLabels[slot] << ": " << Printable(tables.CropSlotName(slot, rec)) << '\n';
  const int row = tables.CropDefinitionRow(slot, rec);
  if (row < 0) {
    out << "  Crop definition: none\n";
  } else {
    const TQriFileDb& db = tables.Db();
    out << "  Crop definition: " << db.GetFieldValue(qfCropDef, row) << ' '
        << Printable(db.GetFieldValue(qfCropName, row)) << " (row " << row << "), yield unit "
        << Printable(db.GetFieldValue(qfYldUnit, row)) << '\n';
  }
  out << "  Yield unit: " << Printable(tables.YieldUnitText(slot, rec)) << '\n';
  for (int i = 0; i < 3; ++i) {
    const TRecResult r = engine.NutrientRec(kNutrientColumns[i], slot, rec);
    out << "  " << kNutrientNames[i] << ": ";
    if (r.Error == 0) out << Amount(r.Value) << " (error 0)" << Flag(r.Provisional) << '\n';
    else out << "not computable (error " << r.Error << ": " << RecErrorText(r.Error) << ")" << Needs(r, tables) << '\n';
  }
}

std::string Nutrient(double value) { return value < 0 ? "not computable" : FormatReal(value, 0); }

void PrintManure(std::ostream& out, const TMdfFile& mdf, TNutrEngine& engine, const TFieldRec& rec) {
  bool any = false;
  for (int row = 1; row <= kManureRows; ++row) {
    const int code = rec.Man_Input[row - 1];
    if (code == 0) continue;
    any = true;
    const TManureNutrients m = engine.ManureNutrients(row, rec);
    out << "Manure row " << row << " (" << code << ' ' << Printable(mdf.InputName(code))
        << "): N " << Nutrient(m.N) << ", P2O5 " << Nutrient(m.P2O5) << ", K2O " << Nutrient(m.K2O) << '\n';
  }
  if (!any) out << "Manure rows: none\n";
}

void PrintRecs(TCliContext& ctx, TStateTables& tables, const TMdfFile& mdf, const TFieldRec& rec) {
  std::ostream& out = ctx.out;
  TNutrEngine engine(tables);
  std::string message;
  if (tables.LoadStateTables(rec.State, message)) {
    out << "State file: " << Printable(tables.Db().FileName()) << '\n';
  } else {
    out << "State file: not loaded\n" << Printable(message) << '\n';
  }
  for (int slot = csPrev; slot <= csNext; ++slot) PrintSlot(out, tables, engine, slot, rec);
  const char* const labels[] = {"Default N: ", "Default P2O5: ", "Default K2O: "};
  for (int i = 0; i < 3; ++i) {
    double value = 0;
    bool provisional = false;
    const bool ok = engine.DefaultRec(kNutrientColumns[i], rec, value, &provisional);
    out << labels[i] << (ok ? FormatReal(value, 0) + Flag(provisional) : std::string("not computable")) << '\n';
  }
  const double cec = engine.EstimatedCEC(rec);
  out << "Estimated CEC: " << (cec > 0 ? FormatReal(cec, 1) : std::string("not computable")) << '\n';
  PrintManure(out, mdf, engine, rec);
}

}  // namespace

void AddRecsCommands(CLI::App& app, TCliContext& ctx) {
  struct TArgs {
    std::string path;
    int64_t number = 0;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = app.add_subcommand("recs", "Print the nutrient recommendations of record N and their sources");
  cmd->add_option("FILE", a->path, "Project file")->required();
  cmd->add_option("N", a->number, "Record number, from 1")->required();
  cmd->callback([&ctx, a] {
    TProjectSession session;
    TFieldRec rec{};
    if (!session.Open(ctx, a->path, false) || !session.Read(ctx, a->number, rec)) return;
    PrintRecs(ctx, *session.file.StateTables(), session.ref.Mdf, rec);
  });
}
