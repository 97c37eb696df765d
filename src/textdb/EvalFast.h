// The fast form of a compiled formula: flat steps with the variables bound as byte offsets into a
// variable list, run when no value involved is null.
#pragma once

#include <cstdint>
#include <vector>

struct TExprVar;

// The operators of the fast form. It keeps the newest value in a register and the others on a stack;
// a binary operator takes its left operand from the stack (S) or the register, and its right one from
// the register, a variable (V) or a constant (K); the VV, VK and KV forms take both operands
// straight from variables and constants (the common leaf pairs such as A*2), and the V form of a
// function its argument from a variable.
#define EVAL_BINARY_OPS(X) X(Add) X(Sub) X(Mul) X(Div) X(Pow) X(Eq) X(Ne) X(Lt) X(Gt) X(Le) X(Ge) X(And) X(Or) X(Max) X(Min)
#define EVAL_UNARY_OPS(X) X(Neg) X(Not) X(Fix) X(Int) X(Frac) X(Round) X(Odd) X(Abs) X(Sqr) X(Exp) X(Log) X(IsNull)
#define EVAL_FAST_BINARY(Op) f##Op##S, f##Op##V, f##Op##K, f##Op##VV, f##Op##VK, f##Op##KV,
#define EVAL_FAST_UNARY(Op) f##Op, f##Op##V,
enum TFastOp : uint16_t {
  fEnd, fLoadK, fLoadV, fRaise, fIif,
  EVAL_BINARY_OPS(EVAL_FAST_BINARY)
  EVAL_UNARY_OPS(EVAL_FAST_UNARY)
};
#undef EVAL_FAST_BINARY
#undef EVAL_FAST_UNARY

// One step of the fast form, used when no value can be null.
struct TFastInstr {
  TFastOp Op = fEnd;
  uint8_t Vars = 0;  // how many of A and B name variables
  int32_t A = 0;     // a variable (name index; a byte offset once bound); the error code of fRaise
  int32_t B = 0;     // the second variable of the VV forms
  double K = 0;      // the constant of fLoadK and of the K forms
};

// A step of a bound fast form: the address of its handler in place of the operator, so that each
// step jumps straight to the next.
struct TBoundInstr {
  const void* Handler = nullptr;
  int32_t A = 0;  // byte offset of a variable's value; the error code of fRaise
  int32_t B = 0;
  double K = 0;
};

// A program's fast form bound to one variable list: the variables as byte offsets into the list.
struct TBoundFast {
  std::vector<TBoundInstr> Code;     // empty: the general interpreter runs
  std::vector<int32_t> NullOffsets;  // of the IsNull flags of the variables the formula names
  // Runs the fast form when every variable named has a value; false when one is null.
  bool TryRun(const TExprVar* vars, int& error, double& value) const;
};

// Runs a bound fast form on the variable list at `vars`; returns the error code. With a null `code`
// it sets `handlers` to the handler addresses by TFastOp instead.
int RunFastCode(const TBoundInstr* code, const char* vars, double& value, const void* const** handlers = nullptr);

inline bool TBoundFast::TryRun(const TExprVar* vars, int& error, double& value) const {
  if (Code.empty()) return false;
  const char* base = reinterpret_cast<const char*>(vars);
  for (const int32_t offset : NullOffsets)
    if (*reinterpret_cast<const bool*>(base + offset)) return false;
  error = RunFastCode(Code.data(), base, value);
  return true;
}

