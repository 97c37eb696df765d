#include "textdb/EvalUtil.h"

#include <cmath>
#include <unordered_map>

#include "textdb/EvalProgram.h"

namespace {

constexpr double kTrue = -1;

double Truth(bool b) { return b ? kTrue : 0; }
double Round(double x) { return x >= 0 ? std::trunc(x + 0.5) : std::trunc(x - 0.5); }

// x^y as e^(y ln x), computed in extended precision so that exact powers come out exact.
double Power(double x, double y) {
  const long double r = std::exp(static_cast<long double>(y) * std::log(static_cast<long double>(x)));
  return static_cast<double>(r);
}

// Arithmetic and comparison operators: null when either operand is null.
int ApplyBinary(TExprOp op, double x, double y, double& r) {
  switch (op) {
    case opAdd: r = x + y; break;
    case opSub: r = x - y; break;
    case opMul: r = x * y; break;
    case opDiv:
      if (y == 0) return exDivByZero;
      r = x / y;
      break;
    case opPow:
      if (x < 0) return exNegativePower;
      r = y == 0 ? 1 : x == 0 ? 0 : Power(x, y);
      break;
    case opEq: r = Truth(x == y); break;
    case opNe: r = Truth(x != y); break;
    case opLt: r = Truth(x < y); break;
    case opGt: r = Truth(x > y); break;
    case opLe: r = Truth(x <= y); break;
    case opGe: r = Truth(x >= y); break;
    case opAnd: r = x == 0 ? 0 : Truth(y != 0); break;
    case opMax: r = x > y ? x : y; break;
    case opMin: r = x < y ? x : y; break;
    default: break;
  }
  return exNone;
}

// One-argument functions and unary operators: null stays null.
int ApplyUnary(TExprOp op, double x, double& r) {
  switch (op) {
    case opNeg: r = -x; break;
    case opNot: r = Truth(x == 0); break;
    case opFix: r = std::trunc(x); break;
    case opInt: r = x >= 0 ? std::trunc(x) : std::trunc(x - 1); break;
    case opFrac: r = x - std::trunc(x); break;
    case opRound: r = Round(x); break;
    case opOdd: r = Truth(std::fabs(std::fmod(Round(x), 2.0)) == 1.0); break;
    case opAbs: r = std::fabs(x); break;
    case opSqr:
      if (x < 0) return exNegativeSqr;
      r = std::sqrt(x);
      break;
    case opExp: r = std::exp(x); break;
    case opLog:
      if (x <= 0) return exNegativeLog;
      r = std::log(x);
      break;
    default: break;
  }
  return exNone;
}

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

int OperandCount(TExprOp op) {
  switch (op) {
    case opConst: case opVar: case opRaise: return 0;
    case opAdd: case opSub: case opMul: case opDiv: case opPow: case opEq: case opNe: case opLt:
    case opGt: case opLe: case opGe: case opAnd: case opOr: case opMax: case opMin: return 2;
    case opIif: return 3;
    default: return 1;
  }
}

int ApplyExprOp(TExprOp op, const TExprValue* a, TExprValue& result) {
  TExprValue r;
  int err = exNone;
  switch (op) {
    case opIsNull: r.V = Truth(a[0].Null); break;
    case opIif: r = (!a[0].Null && a[0].V != 0) ? a[1] : a[2]; break;
    case opOr:
      if ((!a[0].Null && a[0].V != 0) || (!a[1].Null && a[1].V != 0)) r.V = kTrue;
      else r.Null = a[0].Null && a[1].Null;
      break;
    default:
      if (OperandCount(op) == 2) {
        r.Null = a[0].Null || a[1].Null;
        if (!r.Null) err = ApplyBinary(op, a[0].V, a[1].V, r.V);
      } else {
        r.Null = a[0].Null;
        if (!r.Null) err = ApplyUnary(op, a[0].V, r.V);
      }
      break;
  }
  result = r;
  return err;
}

int TExprProgram::Run(const TExprVar* vars, const int* slots, double& value) const {
  value = 0;
  TExprValue small[32];
  std::vector<TExprValue> large;
  TExprValue* stack = small;
  if (MaxDepth > 32) {
    large.resize(MaxDepth);
    stack = large.data();
  }
  TExprValue* sp = stack;  // next free entry
  for (const TExprInstr& in : Code) {
    switch (in.Op) {
      case opConst: *sp++ = {in.Value, in.Null}; break;
      case opVar: {
        const int slot = slots[in.Arg];
        if (slot < 0) return exUnknownVariable;
        const TExprVar& v = vars[slot];
        *sp++ = {v.IsNull ? 0 : v.Value, v.IsNull};
        break;
      }
      case opRaise: return in.Arg;
      default: {
        const int n = OperandCount(in.Op);
        sp -= n;
        if (const int err = ApplyExprOp(in.Op, sp, *sp)) return err;
        ++sp;
        break;
      }
    }
  }
  if (sp == stack || sp[-1].Null) return exNullResult;
  value = sp[-1].V;
  return exNone;
}

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
