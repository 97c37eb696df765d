// The compiled evaluator against the text oracle on generated formulas: valid ones, near-valid ones
// (one character added, removed or swapped) and token soup, each with several variable bindings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "EvalOracle.h"
#include "textdb/EvalUtil.h"

namespace {

class TFormulaGen {
 public:
  explicit TFormulaGen(uint32_t seed) : Rng(seed) {}

  std::string Valid(int depth = 0) {
    const int pick = Below(depth > 3 ? 3 : 10);
    if (pick < 3) return Atom();
    if (pick < 6) return Valid(depth + 1) + Blank() + Pick(kBinary) + Blank() + Valid(depth + 1);
    if (pick == 6) return Pick(kUnary) + Valid(depth + 1);
    if (pick == 7) return "(" + Valid(depth + 1) + ")";
    const TFn& f = kFunctions[Below(std::size(kFunctions))];
    std::string call = std::string(f.name) + "(";
    for (int k = 0; k < f.args; ++k) call += (k ? "," : "") + Valid(depth + 1);
    return call + ")";
  }

  std::string NearValid() {
    std::string s = Valid();
    const int edits = 1 + Below(2);
    for (int e = 0; e < edits && !s.empty(); ++e) {
      const size_t at = Below(s.size());
      switch (Below(3)) {
        case 0: s.erase(at, 1); break;
        case 1: s.insert(at, 1, kChars[Below(std::strlen(kChars))]); break;
        default: std::swap(s[at], s[Below(s.size())]); break;
      }
    }
    return s;
  }

  std::string Soup() {
    std::string s;
    const int n = 1 + Below(12);
    for (int k = 0; k < n; ++k) {
      switch (Below(4)) {
        case 0: s += Atom(); break;
        case 1: s += Pick(kBinary); break;
        case 2: s += std::string(1, kChars[Below(std::strlen(kChars))]); break;
        default: s += Pick(kTokens); break;
      }
    }
    return s;
  }

  std::vector<TExprVar> Binding() {
    std::vector<TExprVar> vars;
    for (const char* name : {"A", "b", "Cec", "X_1"}) {
      if (Below(8) == 0) continue;  // sometimes missing
      TExprVar v{name, Number(), Below(5) == 0};
      vars.push_back(v);
    }
    return vars;
  }

  uint32_t Below(size_t n) { return static_cast<uint32_t>(Rng() % n); }

 private:
  struct TFn {
    const char* name;
    int args;
  };
  static constexpr TFn kFunctions[] = {{"FIX", 1}, {"INT", 1}, {"FRAC", 1}, {"ROUND", 1}, {"ODD", 1},
                                       {"ABS", 1}, {"SQR", 1}, {"EXP", 1},  {"LOG", 1},   {"MAX", 2},
                                       {"MIN", 2}, {"IIF", 3}, {"ISNULL", 1}, {"Foo", 1}, {"max", 1}};
  static constexpr const char* kBinary[] = {"+", "-", "*", "/", "^", "=", "<>", "<", ">", "<=", ">=", "AND", "or"};
  static constexpr const char* kUnary[] = {"-", "NOT ", "- ", "not"};
  static constexpr const char* kTokens[] = {"(", ")", ",", " ", "NULL", "TRUE", "false", "ANDY", "< >", "> =",
                                            "1.2.3", ".", "1e5", "\x80", "\x83", "\t", "_X", "IIF("};
  static constexpr const char* kChars = "()+-*/^<>=,. 0123456789ABX_#\x84";
  static constexpr const char* kAtoms[] = {"A", "b", "CEC", "x_1", "Q", "NULL", "TRUE", "FALSE", "0", "1",
                                           "2", "0.5", "10", "3.25", "100", "1 2", ".5", "7."};

  std::mt19937 Rng;

  template <size_t N>
  std::string Pick(const char* const (&list)[N]) { return list[Below(N)]; }
  std::string Atom() { return Pick(kAtoms); }
  std::string Blank() { return Below(3) == 0 ? " " : ""; }
  double Number() {
    static const double kValues[] = {0, 1, -1, 2, 0.5, -2.5, 3, 10, 1e300, -1e-300};
    return Below(3) == 0 ? kValues[Below(std::size(kValues))] : (static_cast<int>(Below(2001)) - 1000) / 8.0;
  }
};

bool SameValue(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }

TEST(EvalDifferential, CompiledMatchesOracle) {
  TFormulaGen gen(20240611);
  int mismatches = 0, valued = 0;
  constexpr int kFormulas = 100000;
  for (int i = 0; i < kFormulas && mismatches < 10; ++i) {
    const int kind = i % 3;
    const std::string formula = kind == 0 ? gen.Valid() : kind == 1 ? gen.NearValid() : gen.Soup();
    const int bindings = kind == 0 ? 2 : 1;  // malformed text rarely depends on the values
    for (int b = 0; b < bindings; ++b) {
      const std::vector<TExprVar> vars = gen.Binding();
      double v = 0, w = 0;
      const int code = EvaluateExpression(formula, vars, v);
      const int oracle = OracleEvaluate(formula, vars, w);
      if (code == 0) ++valued;
      if (code != oracle || !SameValue(v, w)) {
        ++mismatches;
        ADD_FAILURE() << "formula [" << formula << "]: compiled " << code << " " << v << ", oracle " << oracle << " " << w;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(valued, kFormulas / 10);  // the generator must also reach real values, not only errors
}

// The fast form's own steps (leaf pairs, a function of a variable, a division by a power of two
// taken as a multiplication) against the oracle, with values whose results are subnormal, huge or
// inexact, through a bound expression whose list changes its values between runs.
TEST(EvalDifferential, FastStepsMatchOracle) {
  const char* const kFormulas[] = {"A/4",         "A/-0.5",        "(A+B)/8",     "A/2^3",      "B/1024/1024",
                                   "A*2+B*3-C/4", "0.25*B-SQR(C)", "MAX(A,B)/C",  "-A/0.125+C", "NOT A/2 OR B"};
  const double kValues[] = {4.9406564584124654e-324, 3 * 4.9406564584124654e-324, -1e-310, 1e308, -1e308,
                            0.1, -7, 1 / 3.0, 0, 2.5e-308};
  std::vector<TExprVar> vars = {{"A", 0}, {"B", 0}, {"C", 0}};
  for (const char* formula : kFormulas) {
    TCompiledExpression compiled(formula);
    compiled.Bind(vars.data(), 2);
    for (double a : kValues)
      for (double b : {kValues[1], kValues[3], kValues[5], kValues[8]}) {
        vars[0].Value = a;
        vars[1].Value = b;
        vars[2].Value = a * 0.5 + 1;
        double v = 0, w = 0;
        const int code = compiled.Evaluate(vars.data(), v);
        const int oracle = OracleEvaluate(formula, vars, w);
        EXPECT_TRUE(code == oracle && SameValue(v, w))
            << formula << " with A=" << a << " B=" << b << ": compiled " << code << " " << v << ", oracle " << oracle
            << " " << w;
      }
  }
}

}  // namespace
