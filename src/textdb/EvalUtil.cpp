#include "textdb/EvalUtil.h"

#include <unordered_map>

#include "textdb/EvalProgram.h"

namespace {

// Each thread keeps its own cache of compiled formulas, emptied when it grows large.
constexpr size_t kCacheLimit = 4096;

const TExprProgram& CachedProgram(const std::string& formula) {
  thread_local std::unordered_map<std::string, std::shared_ptr<const TExprProgram>> cache;
  auto it = cache.find(formula);
  if (it != cache.end()) return *it->second;
  if (cache.size() >= kCacheLimit) cache.clear();
  return *cache.emplace(formula, CompileExpression(formula)).first->second;
}

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
  const TExprProgram& prog = CachedProgram(formula);
  int small[32];
  std::vector<int> large;
  int* slots = small;
  if (prog.Names.size() > 32) {
    large.resize(prog.Names.size());
    slots = large.data();
  }
  BindNames(prog, vars, highIndex, slots);
  return prog.Run(vars, slots, value);
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
}

int TCompiledExpression::Evaluate(const TExprVar* vars, double& value) const {
  return Program->Run(vars, Slots.data(), value);
}

int TCompiledExpression::EvaluateTracingNulls(const TExprVar* vars, double& value, uint64_t& nullCauses) const {
  return Program->RunTracingNulls(vars, Slots.data(), value, nullCauses);
}
