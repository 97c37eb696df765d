// The compiled form of a formula: a postfix program that performs, in the same order, every step the
// text evaluation would perform (reads, operators, functions, and the first syntax error met).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "textdb/EvalUtil.h"

enum TExprOp : uint8_t {
  opConst, opVar, opRaise,
  opNeg, opNot,
  opAdd, opSub, opMul, opDiv, opPow,
  opEq, opNe, opLt, opGt, opLe, opGe, opAnd, opOr,
  opFix, opInt, opFrac, opRound, opOdd, opAbs, opSqr, opExp, opLog, opIsNull,
  opMax, opMin,
  opIif,
};

struct TExprValue {
  double V = 0;
  bool Null = false;
};

struct TExprInstr {
  TExprOp Op = opConst;
  bool Null = false;  // opConst: the constant NULL
  int32_t Arg = 0;    // opVar: index into Names; opRaise: the error code
  double Value = 0;   // opConst
};

// The operators of the fast form by the place their last operand comes from: S the value stack, V a
// variable, K a constant (the fast form keeps the newest value in a register, the others on a stack).
#define EVAL_BINARY_OPS(X) X(Add) X(Sub) X(Mul) X(Div) X(Pow) X(Eq) X(Ne) X(Lt) X(Gt) X(Le) X(Ge) X(And) X(Or) X(Max) X(Min)
#define EVAL_UNARY_OPS(X) X(Neg) X(Not) X(Fix) X(Int) X(Frac) X(Round) X(Odd) X(Abs) X(Sqr) X(Exp) X(Log) X(IsNull)
#define EVAL_FAST_BINARY(Op) f##Op##S, f##Op##V, f##Op##K,
#define EVAL_FAST_UNARY(Op) f##Op,
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
  int32_t Arg = 0;  // name index of fLoadV and of the V operators; the error code of fRaise
  double K = 0;     // constant of fLoadK and of the K operators
};

class TExprProgram {
 public:
  std::vector<TExprInstr> Code;    // ends with opRaise when evaluation certainly stops with an error
  std::vector<std::string> Names;  // variable names (upper case) in order of first use
  int MaxDepth = 0;                // deepest value stack the program needs
  std::vector<TFastInstr> Fast;    // the fast form, ending with fEnd; empty when the program holds a NULL constant

  // Builds the fast form from Code.
  void BuildFast();
  // Runs the program; slots[i] is the list index bound to Names[i], or -1 when the name is unknown.
  int Run(const TExprVar* vars, const int* slots, double& value) const;
  // Runs the program like Run and, when the result is null, sets bit i of `nullCauses` for every
  // variable at list index i (below 64) whose null value the result came from.
  int RunTracingNulls(const TExprVar* vars, const int* slots, double& value, uint64_t& nullCauses) const;

 private:
  int RunGeneral(const TExprVar* vars, const int* slots, double& value) const;
  int RunFast(const TExprVar* vars, const int* slots, double& value) const;
};

// Operands taken by an operator or function code.
int OperandCount(TExprOp op);
// Applies an operator or function to its operands a[0..OperandCount-1]; returns the error code.
int ApplyExprOp(TExprOp op, const TExprValue* a, TExprValue& result);

// Compiles a formula (as given by the caller: untrimmed, any letter case).
std::shared_ptr<const TExprProgram> CompileExpression(const std::string& formula);
