// Record commands on a project file: add, set, delete, rename, find, check, sort-inputs.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

#include "ProjectCli.h"
#include "common/Cp1252.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "store/MdaFind.h"
#include "store/FieldRules.h"
#include "store/RecFields.h"

namespace {

// The first record from `start` on with the ID, or with the same non-empty field and subfield
// names; the message that names the clash, or empty when there is none. Failing reads are reported.
bool FindClash(TCliContext& ctx, TMdaFile& f, int start, int32_t id, const std::string& name,
               const std::string& sub, int& number, std::string& message) {
  auto clash = [&](const TFieldRec& r) {
    return r.Field_ID == id ||
           ((!r.Field_Name.Empty() || !r.SubFld_Nam.Empty()) && SameText(r.Field_Name.Str(), name) &&
            SameText(r.SubFld_Nam.Str(), sub));
  };
  TFieldRec r;
  message.clear();
  if (f.FindNext(start, clash, r, number)) {
    message = r.Field_ID == id ? "That field ID has already been used."
                               : "That field name and subfield name have already been used.";
    return true;
  }
  if (f.ErrorState != esNone) ReportFileError(ctx, f);
  return f.ErrorState == esNone;
}

bool ParseFieldId(const std::string& text, int32_t& id) {
  return ParseLongInt(Trim(text), id) && id >= 1 && id <= 999999999;
}

void SetIdentity(TFieldRec& r, int32_t id, const std::string& name, const std::string& sub) {
  r.Field_ID = id;
  r.Field_Name = name;  // cut to 15 and 5 characters, the rest zeroed
  r.SubFld_Nam = sub;
}

// A command on one record: FILE N, the project opened (for writing when `writable`) and record N read
// before `run` is called.
using TRecordAction = std::function<void(TCliContext&, TProjectSession&, int number, TFieldRec&)>;

void AddRecordCommand(CLI::App& app, TCliContext& ctx, const char* name, const char* help, bool writable,
                      TRecordAction run) {
  struct TArgs {
    std::string path;
    int64_t number = 0;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = app.add_subcommand(name, help);
  cmd->add_option("FILE", a->path, "Project file")->required();
  cmd->add_option("N", a->number, "Record number")->required();
  cmd->callback([&ctx, a, writable, run] {
    TProjectSession s;
    TFieldRec r;
    if (!s.Open(ctx, a->path, writable) || (writable && !s.RequireWritable(ctx)) || !s.Read(ctx, a->number, r))
      return;
    run(ctx, s, static_cast<int>(a->number), r);
  });
}

void AddAdd(CLI::App& app, TCliContext& ctx) {
  struct TArgs {
    std::string path, id, name, sub, state;
    int64_t duplicate = 0;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = app.add_subcommand("add", "Add a new record, or a duplicate of record N with a new identity");
  cmd->add_option("FILE", a->path, "Project file")->required();
  cmd->add_option("--id", a->id, "Field ID, 1 to 999999999")->required();
  cmd->add_option("--name", a->name, "Field name");
  cmd->add_option("--sub", a->sub, "Subfield name");
  cmd->add_option("--state", a->state, "State abbreviation (multi-state projects)");
  cmd->add_option("--duplicate", a->duplicate, "Copy record N");
  cmd->callback([&ctx, a] {
    TProjectSession s;
    if (!s.Open(ctx, a->path, true) || !s.RequireWritable(ctx)) return;
    int32_t id = 0;
    if (!ParseFieldId(a->id, id)) return Fail(ctx, "Enter a valid field ID for the new record.");
    const bool duplicating = a->duplicate != 0;
    int state = s.file.ProjectState();
    if (state == 0 && !duplicating) {
      state = s.ref.Mcn.FindStateByAbbrev(Trim(a->state));
      if (state == 0) return Fail(ctx, "Select the field's " + s.ref.Mcn.RegionWord() + ".");
    }
    const std::string name = Typed(a->name), sub = Typed(a->sub);
    int clashNumber = 0;
    std::string clash;
    if (!FindClash(ctx, s.file, 1, id, name, sub, clashNumber, clash)) return;
    if (!clash.empty()) return Fail(ctx, clash);
    TFieldRec r = s.file.NewRecord(id, static_cast<uint16_t>(state));
    if (duplicating && !s.Read(ctx, a->duplicate, r)) return;
    SetIdentity(r, id, name, sub);
    int number = 0;
    if (!s.file.InsertRecord(r, 0, number)) return ReportFileError(ctx, s.file);
    ctx.out << number << '\n';
  });
}

void AddRename(CLI::App& app, TCliContext& ctx) {
  struct TArgs {
    std::string path;
    int64_t number = 0;
    std::optional<std::string> id, name, sub;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = app.add_subcommand("rename", "Change the field ID or names of record N");
  cmd->add_option("FILE", a->path, "Project file")->required();
  cmd->add_option("N", a->number, "Record number")->required();
  cmd->add_option("--id", a->id, "New field ID");
  cmd->add_option("--name", a->name, "New field name");
  cmd->add_option("--sub", a->sub, "New subfield name");
  cmd->callback([&ctx, a] {
    TProjectSession s;
    TFieldRec r;
    if (!s.Open(ctx, a->path, true) || !s.RequireWritable(ctx) || !s.Read(ctx, a->number, r)) return;
    int32_t id = r.Field_ID;
    if (a->id && !ParseFieldId(*a->id, id)) return Fail(ctx, "Enter a valid field ID.");
    const std::string name = a->name ? Typed(*a->name) : r.Field_Name.Str();
    const std::string sub = a->sub ? Typed(*a->sub) : r.SubFld_Nam.Str();
    const int self = static_cast<int>(a->number);
    int clashNumber = 0;
    std::string clash;
    if (!FindClash(ctx, s.file, 1, id, name, sub, clashNumber, clash)) return;
    if (clashNumber == self && !FindClash(ctx, s.file, self + 1, id, name, sub, clashNumber, clash)) return;
    if (!clash.empty()) return Fail(ctx, clash);
    TFieldRec renamed = r;
    SetIdentity(renamed, id, name, sub);
    if (SameRecord(renamed, r)) {  // nothing changed: nothing is written
      ctx.out << self << '\n';
      return;
    }
    int number = 0;
    if (!s.file.InsertRecord(renamed, self, number)) return ReportFileError(ctx, s.file);
    ctx.out << number << '\n';
  });
}

void AddDelete(CLI::App& app, TCliContext& ctx) {
  AddRecordCommand(app, ctx, "delete", "Delete record N; prints the number of the record in its place", true,
                   [](TCliContext& ctx, TProjectSession& s, int number, TFieldRec& r) {
                     int next = 0;
                     if (!s.file.DeleteRecord(number, r, next)) return ReportFileError(ctx, s.file);
                     ctx.out << next << '\n';
                   });
}

// Flag bits of the record by name, as `flag.CustN`.
int RecordFlagBit(const std::string& name) {
  static const std::pair<const char*, int> kFlags[] = {
      {"PrevPctLeg", rfPrevPctLeg}, {"CovPctLeg", rfCovPctLeg}, {"CurPctLeg", rfCurPctLeg},
      {"NextPctLeg", rfNextPctLeg}, {"IrrigN", rfIrrigN},       {"CustN", rfCustN},
      {"CustP", rfCustP},           {"CustK", rfCustK},         {"AnnManure", rfAnnManure}};
  for (const auto& [flag, bit] : kFlags)
    if (SameText(name, flag)) return bit;
  return 0;
}

// A field changed by `set`, checked against its rule once every change is made.
struct TAssigned {
  const TFieldDesc* desc = nullptr;
  int index = 0;
  std::string text;  // NAME="VALUE" as typed
};

// Applies one NAME=VALUE to the record; the message when it cannot.
std::string Assign(TFieldRec& r, const std::string& assignment, TAssigned& assigned) {
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos) return assignment + ": expected NAME=VALUE";
  const std::string ref = assignment.substr(0, eq);
  std::string value, why;
  TTextImport refuse;  // a value is never stored with '?' for what code page 1252 cannot hold
  if (!ImportUtf8(assignment.substr(eq + 1), value, refuse, why)) return ref + ": the value " + why;
  if (StartsWithText(ref, "flag.")) {
    const int bit = RecordFlagBit(ref.substr(5));
    if (bit == 0) return ref + ": unknown flag";
    if (value != "0" && value != "1") return ref + ": \"" + value + "\" is not 0 or 1";
    r.SetFlag(bit, value == "1");
    return {};
  }
  const TFieldDesc* desc = nullptr;
  int index = 0;
  if (!FindField(RecordFields(), ref, desc, index)) return ref + ": unknown field";
  if (SameText(desc->name, "Field_ID") || SameText(desc->name, "Field_Name") || SameText(desc->name, "SubFld_Nam"))
    return ref + ": the field ID and names are changed with the rename command";
  std::string error;
  if (!SetFieldText(&r, *desc, index, value, error)) return ref + ": \"" + value + "\" " + error;
  assigned = {desc, index, ref + ": \"" + value + "\""};
  return {};
}

void AddSet(CLI::App& app, TCliContext& ctx) {
  struct TArgs {
    std::string path;
    int64_t number = 0;
    std::vector<std::string> assignments;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = app.add_subcommand("set", "Change fields of record N: Cur_Crop=1 Fert_N[1]=46 flag.CustN=1 ...");
  cmd->add_option("FILE", a->path, "Project file")->required();
  cmd->add_option("N", a->number, "Record number")->required();
  cmd->add_option("NAME=VALUE", a->assignments, "Field by export column name or table cell")->required();
  cmd->callback([&ctx, a] {
    TProjectSession s;
    TFieldRec r;
    if (!s.Open(ctx, a->path, true) || !s.RequireWritable(ctx) || !s.Read(ctx, a->number, r)) return;
    std::vector<TAssigned> assigned(a->assignments.size());
    for (size_t i = 0; i < assigned.size(); ++i) {
      const std::string error = Assign(r, a->assignments[i], assigned[i]);
      if (!error.empty()) return Fail(ctx, error + "; nothing was written.");
    }
    // The values are checked together: a slot's crop and its definition may come in one command.
    const TRuleContext rules{*s.refs, s.file.StateTables(), s.file.ProjectState(), s.file.ProjectYear()};
    for (const TAssigned& x : assigned) {
      const std::string rule = x.desc ? CheckFieldValue(r, *x.desc, x.index, rules) : std::string();
      if (!rule.empty()) return Fail(ctx, x.text + " is not accepted: " + rule + "; nothing was written.");
    }
    if (!s.file.WriteRecord(static_cast<int>(a->number), r, true)) ReportFileError(ctx, s.file);
  });
}

void AddFind(CLI::App& app, TCliContext& ctx) {
  struct TArgs {
    std::string path, text;
    int kind = 0;
    int64_t from = 1;
  };
  auto a = std::make_shared<TArgs>();
  auto* cmd = app.add_subcommand("find", "Print the number of the first record from --from on that matches");
  cmd->add_option("FILE", a->path, "Project file")->required();
  cmd->add_option("--kind", a->kind,
                  "0 field ID, 1 field/subfield name, 2 state, 3 county, 4 operation name, 5 contact, 6 notes, "
                  "7 primary crop letter, 8 cover or first crop letter, 9 primary tillage")
      ->required()
      ->check(CLI::Range(0, kFindKindCount - 1));
  cmd->add_option("--text", a->text, "What to find")->required();
  cmd->add_option("--from", a->from, "First record examined (default 1)");
  cmd->callback([&ctx, a] {
    TProjectSession s;
    if (!s.Open(ctx, a->path, false)) return;
    const std::string text = Typed(a->text);
    const std::string error = FindTextError(a->kind, text, *s.refs);
    if (!error.empty()) return Fail(ctx, error);
    TFieldRec r;
    int number = 0;
    const int from = static_cast<int>(std::clamp<int64_t>(a->from, 1, kMaxRecords + 1));
    if (s.file.FindNext(from, MakeFindTest(a->kind, text, *s.refs), r, number)) {
      ctx.out << number << '\n';
      return;
    }
    if (s.file.ErrorState != esNone) return ReportFileError(ctx, s.file);
    ctx.out << FindNotFoundText(a->kind) << '\n';
    ctx.status = 1;
  });
}

void AddCheck(CLI::App& app, TCliContext& ctx) {
  AddRecordCommand(app, ctx, "check", "List what record N is missing", false,
                   [](TCliContext& ctx, TProjectSession& s, int, TFieldRec& r) {
                     const std::vector<int> missing = s.file.CheckRecord(r);
                     if (missing.empty()) {
                       ctx.out << "Current record's data is complete.\n";
                       return;
                     }
                     ctx.out << "The current record's data is incomplete, as follows:\n";
                     for (int n : missing) ctx.out << '\n' << TMdaFile::CheckText(n, r) << '\n';
                   });
}

void AddSortInputs(CLI::App& app, TCliContext& ctx) {
  AddRecordCommand(app, ctx, "sort-inputs", "Put the input tables of record N in date order", true,
                   [](TCliContext& ctx, TProjectSession& s, int number, TFieldRec& r) {
                     const TFieldRec before = r;
                     TMdaFile::SortInputs(r);
                     if (!SameRecord(before, r) && !s.file.WriteRecord(number, r, true)) ReportFileError(ctx, s.file);
                   });
}

}  // namespace

void AddProjectRecordCommands(CLI::App& app, TCliContext& ctx) {
  AddAdd(app, ctx);
  AddRename(app, ctx);
  AddDelete(app, ctx);
  AddSet(app, ctx);
  AddFind(app, ctx);
  AddCheck(app, ctx);
  AddSortInputs(app, ctx);
}
