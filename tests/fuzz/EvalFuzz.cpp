// libFuzzer target: the compiled evaluator must agree with the text oracle on any input.
// Input: one byte choosing which of four variables exist and which are null, one byte choosing their
// values, then the formula text.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "EvalOracle.h"
#include "textdb/EvalUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static const double kValues[] = {0, 1, -1, 2.5, -0.5, 100, 1e308, -3};
  static const char* const kNames[] = {"A", "b", "X_1", "Cec"};
  std::vector<TExprVar> vars;
  for (int k = 0; k < 4; ++k) {
    if (!(data[0] & (1 << k))) continue;
    vars.push_back({kNames[k], kValues[(data[1] >> (2 * k)) & 7], (data[0] & (16 << k)) != 0});
  }
  const std::string formula(reinterpret_cast<const char*>(data + 2), size - 2);
  double v = 0, w = 0;
  const int code = EvaluateExpression(formula, vars, v);
  const int oracle = OracleEvaluate(formula, vars, w);
  const bool same = std::memcmp(&v, &w, sizeof v) == 0 || (std::isnan(v) && std::isnan(w));
  if (code != oracle || !same) {
    std::fprintf(stderr, "mismatch: compiled %d %.17g, oracle %d %.17g\n", code, v, oracle, w);
    std::abort();
  }
  return 0;
}
