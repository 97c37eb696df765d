#include "textdb/EvalUtil.h"

#include <algorithm>
#include <unordered_map>

#include "textdb/EvalProgram.h"

namespace {

// Each thread keeps its own cache of compiled formulas, emptied when it grows large.
constexpr size_t kCacheLimit = 4096;
// Formulas recently asked for, by the address of their text: callers pass the same strings again
// and again, and comparing a text is cheaper than hashing it.
constexpr size_t kRecentSlots = 64;

// A compiled formula with its fast form bound as its names were last found in a variable list.
struct TCachedFormula {
  std::string Text;
  std::shared_ptr<const TExprProgram> Program;
  std::vector<int> Slots;
  TBoundFast Fast;
  bool Bound = false;
};

struct TRecent {
  const char* Data = nullptr;
  TCachedFormula* Entry = nullptr;
};

struct TFormulaCache {
  std::unordered_map<std::string, std::unique_ptr<TCachedFormula>> ByText;
  TRecent Recent[kRecentSlots];

  TCachedFormula& Find(const std::string& formula) {
    TRecent& recent = Recent[(reinterpret_cast<uintptr_t>(formula.data()) >> 4) % kRecentSlots];
    if (recent.Data == formula.data() && recent.Entry->Text == formula) return *recent.Entry;
    auto it = ByText.find(formula);
    if (it == ByText.end()) {
      if (ByText.size() >= kCacheLimit) {
        ByText.clear();
        for (TRecent& r : Recent) r = {};
      }
      auto entry = std::make_unique<TCachedFormula>();
      entry->Text = formula;
      entry->Program = CompileExpression(formula);
      it = ByText.emplace(formula, std::move(entry)).first;
    }
    recent = {formula.data(), it->second.get()};
    return *it->second;
  }
};

// Formula names are upper-case letters, digits and "_", so an ASCII case fold suffices.
bool SameName(const std::string& varName, const std::string& upperName) {
  if (varName.size() != upperName.size()) return false;
  for (size_t i = 0; i < upperName.size(); ++i) {
    char c = varName[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (c != upperName[i]) return false;
  }
  return true;
}

// Binds each name to the first variable of that name (-1 when there is none).
void BindNames(const TExprProgram& prog, const TExprVar* vars, int highIndex, int* slots) {
  for (size_t k = 0; k < prog.Names.size(); ++k) {
    slots[k] = -1;
    for (int i = 0; i <= highIndex; ++i) {
      if (SameName(vars[i].Name, prog.Names[k])) {
        slots[k] = i;
        break;
      }
    }
  }
}

}  // namespace

int EvaluateExpression(const std::string& formula, const TExprVar* vars, int highIndex, double& value) {
  thread_local TFormulaCache cache;
  TCachedFormula& f = cache.Find(formula);
  const TExprProgram& prog = *f.Program;
  int small[32];
  std::vector<int> large;
  int* slots = small;
  if (prog.Names.size() > 32) {
    large.resize(prog.Names.size());
    slots = large.data();
  }
  BindNames(prog, vars, highIndex, slots);
  // The bound fast form serves any list in which the names land at the same places.
  if (!f.Bound || !std::equal(f.Slots.begin(), f.Slots.end(), slots)) {
    f.Slots.assign(slots, slots + prog.Names.size());
    f.Bound = true;
    prog.BindFast(vars, slots, f.Fast);
  }
  int error = exNone;
  if (f.Fast.TryRun(vars, error, value)) return error;
  return prog.RunGeneral(vars, slots, value);
}

int EvaluateExpression(const std::string& formula, const std::vector<TExprVar>& vars, double& value) {
  return EvaluateExpression(formula, vars.data(), static_cast<int>(vars.size()) - 1, value);
}

std::string ExpressionErrorText(int code) {
  switch (code) {
    case exNone: return {};
    case exEmpty: return "No expression to evaluate.";
    case exParentheses: return "Unbalanced parentheses.";
    case exUnknownFunction: return "Unknown function.";
    case exUnknownVariable: return "Unknown variable.";
    case exInvalidNumber: return "Invalid number.";
    case exOperand: return "Missing or invalid operand.";
    case exOperator: return "Missing or invalid operator.";
    case exDivByZero: return "Division by zero.";
    case exNegativePower: return "Negative number raised to a power.";
    case exNegativeSqr: return "Square root of negative number.";
    case exNegativeLog: return "Log of zero or negative number.";
    case exNullResult: return "Result is null.";
    case exTooLong: return "Expression is too long.";
    default: return "Unknown error " + std::to_string(code) + ".";
  }
}

TCompiledExpression::TCompiledExpression(const std::string& formula) : Program(CompileExpression(formula)) {
  Slots.assign(Program->Names.size(), -1);
}

TCompiledExpression::~TCompiledExpression() = default;

void TCompiledExpression::Bind(const TExprVar* vars, int highIndex) {
  BindNames(*Program, vars, highIndex, Slots.data());
  Program->BindFast(vars, Slots.data(), Fast);
}

int TCompiledExpression::Evaluate(const TExprVar* vars, double& value) const {
  int error = exNone;
  if (Fast.TryRun(vars, error, value)) return error;
  return Program->RunGeneral(vars, Slots.data(), value);
}

int TCompiledExpression::EvaluateTracingNulls(const TExprVar* vars, double& value, uint64_t& nullCauses) const {
  return Program->RunTracingNulls(vars, Slots.data(), value, nullCauses);
}
