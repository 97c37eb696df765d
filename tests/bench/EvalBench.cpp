// Evaluations per second of the formula evaluator (through its cache, and pre-bound), of the text
// oracle, and of muparser, on the same arithmetic formulas with changing variable values.
#include <benchmark/benchmark.h>
#include <muParser.h>

#include <vector>

#include "../textdb/EvalOracle.h"
#include "textdb/EvalUtil.h"

namespace {

// Each formula in our syntax and in muparser's (same meaning for the values used).
struct TBenchFormula {
  const char* ours;
  const char* mu;
};
constexpr TBenchFormula kFormulas[] = {
    {"A*2+B*3-C/4", "A*2+B*3-C/4"},
    {"(A+B)*(C-1.5)/(A+10)", "(A+B)*(C-1.5)/(A+10)"},
    {"150-0.5*B+0.02*B*B-MAX(A,C)", "150-0.5*B+0.02*B*B-max(A,C)"},
    {"(YldGoal*1.2-NCredit)*(1-PctLegume/100)+SQR(A)", "(YldGoal*1.2-NCredit)*(1-PctLegume/100)+sqrt(A)"},
};

struct TVarSet {
  std::vector<TExprVar> vars = {{"A", 4}, {"B", 30}, {"C", 7}, {"YldGoal", 160}, {"NCredit", 40}, {"PctLegume", 30}};
  void Step() {
    for (TExprVar& v : vars) v.Value += 0.001;
  }
};

void SetRate(benchmark::State& state) {
  state.counters["evals/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Evaluate(benchmark::State& state) {
  const std::string formula = kFormulas[state.range(0)].ours;
  TVarSet set;
  double v = 0;
  for (auto _ : state) {
    EvaluateExpression(formula, set.vars, v);
    benchmark::DoNotOptimize(v);
    set.Step();
  }
  SetRate(state);
}

void BM_CompiledBound(benchmark::State& state) {
  TCompiledExpression expr(kFormulas[state.range(0)].ours);
  TVarSet set;
  expr.Bind(set.vars.data(), static_cast<int>(set.vars.size()) - 1);
  double v = 0;
  for (auto _ : state) {
    expr.Evaluate(set.vars.data(), v);
    benchmark::DoNotOptimize(v);
    set.Step();
  }
  SetRate(state);
}

void BM_Oracle(benchmark::State& state) {
  const std::string formula = kFormulas[state.range(0)].ours;
  TVarSet set;
  double v = 0;
  for (auto _ : state) {
    OracleEvaluate(formula, set.vars, v);
    benchmark::DoNotOptimize(v);
    set.Step();
  }
  SetRate(state);
}

void BM_MuParser(benchmark::State& state) {
  TVarSet set;
  mu::Parser parser;
  for (TExprVar& var : set.vars) parser.DefineVar(var.Name, &var.Value);
  parser.SetExpr(kFormulas[state.range(0)].mu);
  double v = 0;
  for (auto _ : state) {
    v = parser.Eval();
    benchmark::DoNotOptimize(v);
    set.Step();
  }
  SetRate(state);
}

BENCHMARK(BM_Evaluate)->DenseRange(0, 3);
BENCHMARK(BM_CompiledBound)->DenseRange(0, 3);
BENCHMARK(BM_Oracle)->DenseRange(0, 3);
BENCHMARK(BM_MuParser)->DenseRange(0, 3);

}  // namespace
