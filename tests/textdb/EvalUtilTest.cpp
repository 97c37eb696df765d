#include <gtest/gtest.h>

#include <cmath>

#include "EvalOracle.h"
#include "textdb/EvalUtil.h"

namespace {

struct TOutcome {
  int code;
  double value;
};

// Evaluates with the compiled evaluator and checks that the oracle agrees.
TOutcome Eval(const std::string& formula, const std::vector<TExprVar>& vars = {}) {
  double v = 1, w = 1;
  const int code = EvaluateExpression(formula, vars, v);
  const int oracle = OracleEvaluate(formula, vars, w);
  EXPECT_EQ(code, oracle) << formula;
  EXPECT_TRUE(v == w || (std::isnan(v) && std::isnan(w))) << formula << ": " << v << " vs " << w;
  return {code, v};
}

double Value(const std::string& formula, const std::vector<TExprVar>& vars = {}) {
  const TOutcome r = Eval(formula, vars);
  EXPECT_EQ(r.code, 0) << formula;
  return r.value;
}

int Code(const std::string& formula, const std::vector<TExprVar>& vars = {}) {
  const TOutcome r = Eval(formula, vars);
  if (r.code != 0) {
    EXPECT_EQ(r.value, 0) << formula;
  }
  return r.code;
}

const std::vector<TExprVar> kNullX = {{"X", 0, true}};

TEST(EvalUtil, PrecedenceAndAssociativity) {
  EXPECT_EQ(Value("2+3*4"), 14);
  EXPECT_EQ(Value("(2+3)*4"), 20);
  EXPECT_EQ(Value("2^3^2"), 64);
  EXPECT_EQ(Value("-2^2"), -4);
  EXPECT_EQ(Value("10-4-3"), 3);
  EXPECT_EQ(Value("12/2/3"), 2);
  EXPECT_EQ(Value("2*-3"), -6);
  EXPECT_EQ(Value("NOT 1=2"), -1);  // NOT binds looser than comparisons
  EXPECT_EQ(Value("1 OR 0 AND 0"), -1);
  EXPECT_EQ(Value("1<2 AND 3>=3 AND 4<>5 AND 2<=2"), -1);
}

TEST(EvalUtil, BlanksAndTokens) {
  EXPECT_EQ(Value("1 2"), 12);
  EXPECT_EQ(Value("3 < 4"), -1);
  EXPECT_EQ(Value("3 < > 4"), -1);  // the blank is gone before "<>" is formed
  EXPECT_EQ(Value("NOT 0"), -1);
  EXPECT_EQ(Value("NOT 5"), 0);
  EXPECT_EQ(Value("  true  "), -1);
  EXPECT_EQ(Value("1,2"), 1);  // a top-level "," ends the expression
  EXPECT_EQ(Code("ANDY", {{"andy", 4}}), 0);
  EXPECT_EQ(Code("A B", {{"A", 1}, {"B", 2}}), exUnknownVariable);  // reads as AB
  EXPECT_EQ(Code("A AND B", {{"A", 1}, {"B", 2}}), 0);
}

TEST(EvalUtil, ErrorsOfTheTable) {
  EXPECT_EQ(Code(""), exEmpty);
  EXPECT_EQ(Code("   "), exEmpty);
  EXPECT_EQ(Code("5/0"), exDivByZero);
  EXPECT_EQ(Code("(-8)^(1/3)"), exNegativePower);
  EXPECT_EQ(Value("0^(-1)"), 0);
  EXPECT_EQ(Value("5^0"), 1);
  EXPECT_EQ(Code("2^-1"), exOperand);
  EXPECT_EQ(Code("SQR(-1)"), exNegativeSqr);
  EXPECT_EQ(Code("LOG(0)"), exNegativeLog);
  EXPECT_EQ(Code("FOO(1)"), exUnknownFunction);
  EXPECT_EQ(Code("FOO"), exUnknownVariable);
  EXPECT_EQ(Code("(1+2"), exParentheses);
  EXPECT_EQ(Code("1+2)"), exParentheses);
  EXPECT_EQ(Code(")("), exParentheses);
  EXPECT_EQ(Code("1+"), exOperand);
  EXPECT_EQ(Code("2 3+"), exOperand);
  EXPECT_EQ(Code("1.2.3"), exInvalidNumber);
  EXPECT_EQ(Code("."), exInvalidNumber);
  EXPECT_EQ(Code(std::string(400, '9')), exInvalidNumber);
  EXPECT_EQ(Code("(1)(2)"), exOperator);
  EXPECT_EQ(Code("1#2"), exOperator);
  EXPECT_EQ(Code("MAX(1)"), exOperand);
  EXPECT_EQ(Code("ABS(1,2)"), exOperator);
  EXPECT_EQ(Code(std::string(kMaxFormulaLength + 1, '1')), exTooLong);
}

TEST(EvalUtil, FirstErrorWins) {
  EXPECT_EQ(Code("1/0+FOO"), exDivByZero);
  EXPECT_EQ(Code("FOO+1/0"), exUnknownVariable);
  EXPECT_EQ(Code("X/0+1.2.3", {{"X", 1}}), exDivByZero);
  EXPECT_EQ(Code("FOO(1/0)"), exUnknownFunction);
  EXPECT_EQ(Code("SQR(X)+LOG(X)", {{"X", -1}}), exNegativeSqr);
  EXPECT_EQ(Code("SQR(X)+LOG(X)", {{"X", 0}}), exNegativeLog);
}

TEST(EvalUtil, Nulls) {
  EXPECT_EQ(Code("X+1", kNullX), exNullResult);
  EXPECT_EQ(Value("ISNULL(X)", kNullX), -1);
  EXPECT_EQ(Value("ISNULL(1)"), 0);
  EXPECT_EQ(Value("IIF(X,1,2)", kNullX), 2);
  EXPECT_EQ(Value("IIF(1,X,2)+1", {{"X", 4}}), 5);
  EXPECT_EQ(Value("X OR 1", kNullX), -1);
  EXPECT_EQ(Value("X OR 0", kNullX), 0);
  EXPECT_EQ(Code("X OR NULL", kNullX), exNullResult);
  EXPECT_EQ(Code("X AND 0", kNullX), exNullResult);
  EXPECT_EQ(Code("X/0", kNullX), exNullResult);  // a null operand is null before division is tried
  EXPECT_EQ(Code("MAX(X,1)", kNullX), exNullResult);
  EXPECT_EQ(Code("-X", kNullX), exNullResult);
  EXPECT_EQ(Code("NULL"), exNullResult);
}

TEST(EvalUtil, Functions) {
  EXPECT_EQ(Value("ROUND(2.5)"), 3);
  EXPECT_EQ(Value("ROUND(-2.5)"), -3);
  EXPECT_EQ(Value("INT(-2)"), -3);
  EXPECT_EQ(Value("INT(-2.5)"), -3);
  EXPECT_EQ(Value("INT(2.7)"), 2);
  EXPECT_EQ(Value("FIX(-2.7)"), -2);
  EXPECT_EQ(Value("FRAC(-2.5)"), -0.5);
  EXPECT_EQ(Value("ODD(3)"), -1);
  EXPECT_EQ(Value("ODD(2.4)"), 0);
  EXPECT_EQ(Value("ODD(-2.5)"), -1);
  EXPECT_EQ(Value("ABS(-3)"), 3);
  EXPECT_EQ(Value("SQR(16)"), 4);
  EXPECT_EQ(Value("EXP(0)"), 1);
  EXPECT_EQ(Value("LOG(1)"), 0);
  EXPECT_EQ(Value("MAX(2,7)"), 7);
  EXPECT_EQ(Value("MIN(2,7)"), 2);
  EXPECT_EQ(Value("IIF(0,1,2)"), 2);
  EXPECT_EQ(Value("max(1, min(5, 3)) * 2"), 6);
}

TEST(EvalUtil, Variables) {
  const std::vector<TExprVar> vars = {{"CEC", 12}, {"P", 30}, {"Dup", 1}, {"dup", 2}};
  EXPECT_EQ(Code("cec*2"), exUnknownVariable);
  EXPECT_EQ(Value("cec*2", vars), 24);
  EXPECT_EQ(Value("cec + p", vars), 42);
  EXPECT_EQ(Value("DUP", vars), 1);  // the first name that matches
}

TEST(EvalUtil, CompiledExpressionRebinds) {
  TCompiledExpression expr("A*2+B");
  std::vector<TExprVar> vars = {{"B", 1}, {"A", 3}};
  expr.Bind(vars.data(), 1);
  double v = 0;
  EXPECT_EQ(expr.Evaluate(vars.data(), v), 0);
  EXPECT_EQ(v, 7);
  vars[1].Value = 10;
  EXPECT_EQ(expr.Evaluate(vars.data(), v), 0);
  EXPECT_EQ(v, 21);
  vars[0].IsNull = true;
  EXPECT_EQ(expr.Evaluate(vars.data(), v), exNullResult);
  expr.Bind(vars.data(), 0);  // A is no longer in the list
  EXPECT_EQ(expr.Evaluate(vars.data(), v), exUnknownVariable);
}

// The nulls a null result came from: the ones that flowed into it or made IIF take a NULL branch,
// never one the formula replaced by a default; the same value and code as a plain evaluation.
TEST(EvalUtil, NullCausesOfANullResult) {
  std::vector<TExprVar> vars = {{"P", 0, true}, {"K", 5}, {"CEC", 0, true}, {"NO3", 0, true}, {"Y", 0, true}};
  auto causes = [&vars](const std::string& formula) {
    TCompiledExpression expr(formula);
    expr.Bind(vars.data(), static_cast<int>(vars.size()) - 1);
    double plain = -1, traced = -1;
    uint64_t mask = 99;
    const int code = expr.EvaluateTracingNulls(vars.data(), traced, mask);
    EXPECT_EQ(code, expr.Evaluate(vars.data(), plain)) << formula;
    EXPECT_EQ(traced, plain) << formula;
    return code == exNullResult ? mask : (mask == 0 ? uint64_t{1} << 63 : mask);
  };
  const uint64_t P = 1, CEC = 4, NO3 = 8, Y = 16, kValued = uint64_t{1} << 63;
  EXPECT_EQ(causes("IIF(ISNULL(P),NULL,P*2)"), P);
  EXPECT_EQ(causes("IIF(ISNULL(K) OR ISNULL(CEC),NULL,K)"), CEC);
  EXPECT_EQ(causes("IIF(ISNULL(NO3),3,NO3)*Y"), Y);           // the nitrate default is not a cause
  EXPECT_EQ(causes("MAX(0,ROUND(P-NO3))+K"), P | NO3);
  EXPECT_EQ(causes("IIF(NOT ISNULL(P),1,NULL)"), P);
  EXPECT_EQ(causes("IIF(ISNULL(NO3),3,NO3)+K"), kValued);      // a value: no causes
  EXPECT_EQ(causes("IIF(ISNULL(Y),K,NULL)"), kValued);
  EXPECT_EQ(causes("NULL+K"), 0u);                             // a null of the formula's own
}

TEST(EvalUtil, DeepAndLongFormulas) {
  const std::vector<TExprVar> vars = {{"A", 1}};
  std::string nested = "A";
  for (int i = 0; i < 100; ++i) nested = "A+(" + nested + ")";  // deeper than the fast stack
  EXPECT_EQ(Value(nested, vars), 101);
  EXPECT_EQ(Code(nested, {{"A", 0, true}}), exNullResult);
  const std::string parens = std::string(2000, '(') + "A" + std::string(2000, ')');
  EXPECT_EQ(Value(parens, vars), 1);
  std::string sum = "A";
  while (sum.size() < kMaxFormulaLength - 2) sum += "-A";
  EXPECT_EQ(Value(sum, vars), 1 - static_cast<double>(sum.size() / 2));
}

TEST(EvalUtil, ErrorTexts) {
  EXPECT_EQ(ExpressionErrorText(0), "");
  EXPECT_EQ(ExpressionErrorText(1), "No expression to evaluate.");
  EXPECT_EQ(ExpressionErrorText(2), "Unbalanced parentheses.");
  EXPECT_EQ(ExpressionErrorText(3), "Unknown function.");
  EXPECT_EQ(ExpressionErrorText(4), "Unknown error 4.");
  EXPECT_EQ(ExpressionErrorText(5), "Unknown variable.");
  EXPECT_EQ(ExpressionErrorText(6), "Invalid number.");
  EXPECT_EQ(ExpressionErrorText(7), "Missing or invalid operand.");
  EXPECT_EQ(ExpressionErrorText(8), "Missing or invalid operator.");
  EXPECT_EQ(ExpressionErrorText(9), "Division by zero.");
  EXPECT_EQ(ExpressionErrorText(10), "Negative number raised to a power.");
  EXPECT_EQ(ExpressionErrorText(11), "Square root of negative number.");
  EXPECT_EQ(ExpressionErrorText(12), "Log of zero or negative number.");
  EXPECT_EQ(ExpressionErrorText(13), "Result is null.");
  EXPECT_EQ(ExpressionErrorText(99), "Unknown error 99.");
}

TEST(EvalUtil, TextStages) {
  EXPECT_EQ(NormalizeFormula("A AND B<>C"), "A\x84" "B\x80" "C");
  EXPECT_EQ(NormalizeFormula("ANDY OR NOT X"), "ANDY\x85\x83X");
  EXPECT_EQ(ParenthesizeFormula("2+3*4"), "(2+(3*4))");
  EXPECT_EQ(ParenthesizeFormula("-2^2"), "(-(2^2))");
  EXPECT_EQ(ParenthesizeFormula("2^-1"), "((2^)-1)");
  EXPECT_EQ(ParenthesizeFormula("MAX(1,2)*3"), "((MAX(1,2))*3)");
}

}  // namespace
