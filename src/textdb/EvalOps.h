// The operators and functions of the evaluator on non-null values, shared by the compiler (constant
// parts), the general interpreter and the fast interpreter so that all compute bit for bit alike.
#pragma once

#include <cmath>

#include "textdb/EvalProgram.h"

namespace evalops {

constexpr double kTrue = -1;

inline double Truth(bool b) { return b ? kTrue : 0; }
inline double Round(double x) { return x >= 0 ? std::trunc(x + 0.5) : std::trunc(x - 0.5); }

// x^y as e^(y ln x), computed in extended precision so that exact powers come out exact.
inline double Power(double x, double y) {
  const long double r = std::exp(static_cast<long double>(y) * std::log(static_cast<long double>(x)));
  return static_cast<double>(r);
}

// Two-operand operators and functions; returns the error code.
[[gnu::always_inline]] inline int Binary(TExprOp op, double x, double y, double& r) {
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
    case opOr: r = Truth(x != 0 || y != 0); break;
    case opMax: r = x > y ? x : y; break;
    case opMin: r = x < y ? x : y; break;
    default: break;
  }
  return exNone;
}

// One-operand operators and functions; returns the error code.
[[gnu::always_inline]] inline int Unary(TExprOp op, double x, double& r) {
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
    case opIsNull: r = 0; break;
    default: break;
  }
  return exNone;
}

}  // namespace evalops
