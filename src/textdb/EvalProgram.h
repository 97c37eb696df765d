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

class TExprProgram {
 public:
  std::vector<TExprInstr> Code;    // ends with opRaise when evaluation certainly stops with an error
  std::vector<std::string> Names;  // variable names (upper case) in order of first use
  int MaxDepth = 0;                // deepest value stack the program needs
  std::vector<TFastInstr> Fast;    // the fast form, ending with fEnd; empty when the program holds a NULL constant

  // Builds the fast form from Code.
  void BuildFast();
  // The fast form bound to `vars` (slots[i] is the list index bound to Names[i], or -1 when the name
  // is unknown); left empty when there is no fast form or a name is unknown.
  void BindFast(const TExprVar* vars, const int* slots, TBoundFast& bound) const;
  // Runs the program with values of any kind (null included); slots as for BindFast.
  int RunGeneral(const TExprVar* vars, const int* slots, double& value) const;
  // Runs the program like RunGeneral and, when the result is null, sets bit i of `nullCauses` for
  // every variable at list index i (below 64) whose null value the result came from.
  int RunTracingNulls(const TExprVar* vars, const int* slots, double& value, uint64_t& nullCauses) const;
};

// Operands taken by an operator or function code.
int OperandCount(TExprOp op);
// Applies an operator or function to its operands a[0..OperandCount-1]; returns the error code.
int ApplyExprOp(TExprOp op, const TExprValue* a, TExprValue& result);

// Compiles a formula (as given by the caller: untrimmed, any letter case).
std::shared_ptr<const TExprProgram> CompileExpression(const std::string& formula);
