// The formula evaluator: numbers, variables (possibly null), operators and a few functions.
// Logical results are numbers: true is -1, false is 0, any non-zero number counts as true.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "textdb/EvalFast.h"

// One named variable handed to the evaluator; names match formula identifiers without regard to case.
struct TExprVar {
  std::string Name;
  double Value = 0;
  bool IsNull = false;  // the variable has no value
};

// Error codes of the evaluator (there is no code 4).
enum : int {
  exNone = 0,
  exEmpty = 1,
  exParentheses = 2,
  exUnknownFunction = 3,
  exUnknownVariable = 5,
  exInvalidNumber = 6,
  exOperand = 7,
  exOperator = 8,
  exDivByZero = 9,
  exNegativePower = 10,
  exNegativeSqr = 11,
  exNegativeLog = 12,
  exNullResult = 13,
  exTooLong = 14,  // beyond kMaxFormulaLength: refused before any work, so deep nesting cannot exhaust the stack
};

// Longest formula (after trimming) that is evaluated; formulas in state files are at most 900 characters.
constexpr size_t kMaxFormulaLength = 4096;

// Evaluates `formula` with the variables vars[0..highIndex]; returns the error code and sets `value`
// (0 on any error and when the result is null). Compiled programs are cached by formula text.
int EvaluateExpression(const std::string& formula, const TExprVar* vars, int highIndex, double& value);
int EvaluateExpression(const std::string& formula, const std::vector<TExprVar>& vars, double& value);
// The message of an error code; empty for 0.
std::string ExpressionErrorText(int code);

class TExprProgram;

// A formula compiled once and evaluated many times. Binding resolves the formula's variable names to
// positions in a variable list; the bound list may then change its values freely between runs.
class TCompiledExpression {
 public:
  explicit TCompiledExpression(const std::string& formula);
  ~TCompiledExpression();
  TCompiledExpression(const TCompiledExpression&) = delete;
  TCompiledExpression& operator=(const TCompiledExpression&) = delete;

  // Looks every variable name of the formula up in vars[0..highIndex] (first match wins).
  void Bind(const TExprVar* vars, int highIndex);
  // Evaluates with the values of the list given to Bind (same layout, values may differ).
  int Evaluate(const TExprVar* vars, double& value) const;
  // Evaluates like Evaluate; when the result is null (error 13), bit i of `nullCauses` is set for
  // each variable vars[i] (i below 64) that was read as null and made the result null. A null that
  // the formula replaced (IIF(ISNULL(X),0,X)) is not a cause; one that chose a NULL branch is.
  int EvaluateTracingNulls(const TExprVar* vars, double& value, uint64_t& nullCauses) const;

 private:
  std::shared_ptr<const TExprProgram> Program;
  std::vector<int> Slots;
  TBoundFast Fast;
};

// The two text stages, exposed for tests and tools: the normalized text (blanks removed, multi-character
// operators as single codes) and its full parenthesization by precedence.
std::string NormalizeFormula(const std::string& upperText);
std::string ParenthesizeFormula(const std::string& normalized);
