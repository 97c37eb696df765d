// The reference evaluator: the formula text algorithm done literally (normalize, parenthesize, consume
// from the front of a working copy) on every call. Slow by design; the compiled evaluator must agree
// with it on value and error code for every formula and binding.
#pragma once

#include <string>
#include <vector>

#include "textdb/EvalUtil.h"

int OracleEvaluate(const std::string& formula, const std::vector<TExprVar>& vars, double& value);
