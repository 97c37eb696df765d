// Running compiled formulas: a general interpreter with null values, and a fast one for the common case
// where every variable the formula names is bound and has a value.
#include <cmath>
#include <vector>

#include "textdb/EvalOps.h"
#include "textdb/EvalProgram.h"

namespace {

constexpr int kFastStack = 64;
constexpr int kGeneralStack = 16;

uint64_t SlotBit(int slot) { return slot >= 0 && slot < 64 ? uint64_t{1} << slot : 0; }

// The null variables behind the result of an operator. A null result comes from its null operands;
// a truth value (ISNULL, NOT, AND, OR) carries the nulls it was decided by, so that IIF can name them
// when it takes a NULL branch because of them; any other value carries none.
uint64_t ResultCauses(TExprOp op, const TExprValue* a, const uint64_t* causes, const TExprValue& r) {
  const int n = OperandCount(op);
  if (op == opIsNull) return a[0].Null ? causes[0] : 0;
  if (op == opIif) {
    const bool first = !a[0].Null && a[0].V != 0;
    const uint64_t chosen = first ? causes[1] : causes[2];
    return r.Null ? chosen | causes[0] : chosen;
  }
  if (op == opNot || op == opAnd || op == opOr) return n == 1 ? causes[0] : causes[0] | causes[1];
  if (!r.Null) return 0;
  uint64_t all = 0;
  for (int k = 0; k < n; ++k)
    if (a[k].Null) all |= causes[k];
  return all;
}


}  // namespace

int OperandCount(TExprOp op) {
  switch (op) {
    case opConst: case opVar: case opRaise: return 0;
    case opAdd: case opSub: case opMul: case opDiv: case opPow: case opEq: case opNe: case opLt:
    case opGt: case opLe: case opGe: case opAnd: case opOr: case opMax: case opMin: return 2;
    case opIif: return 3;
    default: return 1;
  }
}

int ApplyExprOp(TExprOp op, const TExprValue* a, TExprValue& result) {
  TExprValue r;
  int err = exNone;
  if (op == opIsNull) {
    r.V = evalops::Truth(a[0].Null);
  } else if (op == opIif) {
    r = (!a[0].Null && a[0].V != 0) ? a[1] : a[2];
  } else if (op == opOr && (a[0].Null || a[1].Null)) {
    const bool x = !a[0].Null && a[0].V != 0, y = !a[1].Null && a[1].V != 0;
    r.V = evalops::Truth(x || y);
    r.Null = !x && !y && a[0].Null && a[1].Null;
  } else if (OperandCount(op) == 2) {
    r.Null = a[0].Null || a[1].Null;
    if (!r.Null) err = evalops::Binary(op, a[0].V, a[1].V, r.V);
  } else {
    r.Null = a[0].Null;
    if (!r.Null) err = evalops::Unary(op, a[0].V, r.V);
  }
  if (r.Null) r.V = 0;
  result = r;
  return err;
}

namespace {

// The fast operator for an operator code; the S form for binary operators.
TFastOp FastOp(TExprOp op) {
  switch (op) {
#define EVAL_MAP_BINARY(Op) case op##Op: return f##Op##S;
#define EVAL_MAP_UNARY(Op) case op##Op: return f##Op;
    EVAL_BINARY_OPS(EVAL_MAP_BINARY)
    EVAL_UNARY_OPS(EVAL_MAP_UNARY)
#undef EVAL_MAP_BINARY
#undef EVAL_MAP_UNARY
    case opIif: return fIif;
    case opConst: return fLoadK;
    case opVar: return fLoadV;
    default: return fRaise;
  }
}

// Offsets of the forms from the S form of a binary operator and from the plain form of a unary one.
enum : int { kFormV = 1, kFormK = 2, kFormVV = 3, kFormVK = 4, kFormKV = 5, kUnaryV = 1 };

bool IsLoad(const TFastInstr& f) { return f.Op == fLoadK || f.Op == fLoadV; }

// A division by a constant power of two becomes the multiplication by its reciprocal, which is
// exact: both round the same real number, so every result (subnormal, infinite, NaN) is the same.
void DivideByMultiplying(TFastInstr& f) {
  if (f.Op != fDivK && f.Op != fDivVK) return;
  int exponent = 0;
  if (!std::isfinite(f.K) || std::fabs(std::frexp(f.K, &exponent)) != 0.5) return;
  if (exponent < -1000 || exponent > 1000) return;  // the reciprocal must be a normal number
  f.Op = f.Op == fDivK ? fMulK : fMulVK;
  f.K = 1 / f.K;
}

}  // namespace

void TExprProgram::BuildFast() {
  Fast.clear();
  if (MaxDepth > kFastStack) return;
  for (const TExprInstr& in : Code) {
    if (in.Op == opConst && in.Null) {
      Fast.clear();
      return;
    }
    TFastInstr f;
    f.Op = FastOp(in.Op);
    f.A = in.Arg;
    f.Vars = in.Op == opVar ? 1 : 0;
    f.K = in.Value;
    const size_t n = Fast.size();
    const auto form = [&f](int offset) { f.Op = static_cast<TFastOp>(f.Op + offset); };
    if (OperandCount(in.Op) == 2 && n >= 2 && IsLoad(Fast[n - 2]) && IsLoad(Fast[n - 1]) &&
        !(Fast[n - 2].Op == fLoadK && Fast[n - 1].Op == fLoadK)) {
      // Both operands are the two leaves loaded just before.
      const TFastInstr x = Fast[n - 2], y = Fast[n - 1];
      Fast.resize(n - 2);
      if (x.Op == fLoadV && y.Op == fLoadV) form(kFormVV), f.A = x.A, f.B = y.A, f.Vars = 2;
      else if (x.Op == fLoadV) form(kFormVK), f.A = x.A, f.K = y.K, f.Vars = 1;
      else form(kFormKV), f.A = y.A, f.K = x.K, f.Vars = 1;
    } else if (OperandCount(in.Op) == 2 && n >= 1 && IsLoad(Fast[n - 1])) {
      // The right operand is the leaf loaded just before.
      const TFastInstr last = Fast.back();
      Fast.pop_back();
      form(last.Op == fLoadV ? kFormV : kFormK);
      f.A = last.A;
      f.K = last.K;
      f.Vars = last.Vars;
    } else if (OperandCount(in.Op) == 1 && n >= 1 && Fast[n - 1].Op == fLoadV) {
      f.A = Fast.back().A;
      f.Vars = 1;
      Fast.pop_back();
      form(kUnaryV);
    }
    DivideByMultiplying(f);
    Fast.push_back(f);
  }
  Fast.push_back(TFastInstr{});
}

void TExprProgram::BindFast(const TExprVar* vars, const int* slots, TBoundFast& bound) const {
  bound.Code.clear();
  bound.NullOffsets.clear();
  if (Fast.empty()) return;
  const char* base = reinterpret_cast<const char*>(vars);
  const auto valueAt = [&](int name) {
    return static_cast<int32_t>(reinterpret_cast<const char*>(&vars[slots[name]].Value) - base);
  };
  for (size_t k = 0; k < Names.size(); ++k) {
    if (slots[k] < 0) return;
    bound.NullOffsets.push_back(static_cast<int32_t>(reinterpret_cast<const char*>(&vars[slots[k]].IsNull) - base));
  }
  const void* const* handlers = nullptr;
  double unused = 0;
  RunFastCode(nullptr, nullptr, unused, &handlers);
  bound.Code.reserve(Fast.size());
  for (const TFastInstr& f : Fast)
    bound.Code.push_back({handlers[f.Op], f.Vars >= 1 ? valueAt(f.A) : f.A, f.Vars == 2 ? valueAt(f.B) : f.B, f.K});
}

// The general interpreter: every value carries its null flag (a null value is kept as 0).
int TExprProgram::RunGeneral(const TExprVar* vars, const int* slots, double& value) const {
  value = 0;
  TExprValue small[kGeneralStack];
  std::vector<TExprValue> large;
  TExprValue* stack = small;
  if (MaxDepth > kGeneralStack) {
    large.resize(MaxDepth);
    stack = large.data();
  }
  TExprValue* sp = stack;  // next free entry
  for (const TExprInstr& in : Code) {
    switch (in.Op) {
      case opConst: *sp++ = {in.Value, in.Null}; break;
      case opVar: {
        const int slot = slots[in.Arg];
        if (slot < 0) return exUnknownVariable;
        const TExprVar& v = vars[slot];
        *sp++ = {v.IsNull ? 0 : v.Value, v.IsNull};
        break;
      }
      case opRaise: return in.Arg;
      case opIsNull: sp[-1] = {evalops::Truth(sp[-1].Null), false}; break;
      case opIif: {
        sp -= 2;
        TExprValue& c = sp[-1];
        c = (!c.Null && c.V != 0) ? sp[0] : sp[1];
        break;
      }
      case opOr: {
        --sp;
        TExprValue& x = sp[-1];
        const TExprValue& y = *sp;
        const bool a = !x.Null && x.V != 0, b = !y.Null && y.V != 0;
        x = {a || b ? evalops::kTrue : 0, !a && !b && x.Null && y.Null};
        break;
      }
#define EVAL_GENERAL_BINARY(Op)                                                \
  case op##Op: {                                                               \
    --sp;                                                                      \
    TExprValue& x = sp[-1];                                                    \
    if (x.Null || sp->Null) x = {0, true};                                     \
    else if (const int e = evalops::Binary(op##Op, x.V, sp->V, x.V)) return e; \
    break;                                                                     \
  }
#define EVAL_GENERAL_UNARY(Op)                                                            \
  case op##Op:                                                                            \
    if (!sp[-1].Null)                                                                     \
      if (const int e = evalops::Unary(op##Op, sp[-1].V, sp[-1].V)) return e;             \
    break;
      // OR and ISNULL have their own cases above.
      EVAL_GENERAL_BINARY(Add) EVAL_GENERAL_BINARY(Sub) EVAL_GENERAL_BINARY(Mul) EVAL_GENERAL_BINARY(Div)
      EVAL_GENERAL_BINARY(Pow) EVAL_GENERAL_BINARY(Eq) EVAL_GENERAL_BINARY(Ne) EVAL_GENERAL_BINARY(Lt)
      EVAL_GENERAL_BINARY(Gt) EVAL_GENERAL_BINARY(Le) EVAL_GENERAL_BINARY(Ge) EVAL_GENERAL_BINARY(And)
      EVAL_GENERAL_BINARY(Max) EVAL_GENERAL_BINARY(Min)
      EVAL_GENERAL_UNARY(Neg) EVAL_GENERAL_UNARY(Not) EVAL_GENERAL_UNARY(Fix) EVAL_GENERAL_UNARY(Int)
      EVAL_GENERAL_UNARY(Frac) EVAL_GENERAL_UNARY(Round) EVAL_GENERAL_UNARY(Odd) EVAL_GENERAL_UNARY(Abs)
      EVAL_GENERAL_UNARY(Sqr) EVAL_GENERAL_UNARY(Exp) EVAL_GENERAL_UNARY(Log)
#undef EVAL_GENERAL_BINARY
#undef EVAL_GENERAL_UNARY
    }
  }
  if (sp == stack || sp[-1].Null) return exNullResult;
  value = sp[-1].V;
  return exNone;
}
int TExprProgram::RunTracingNulls(const TExprVar* vars, const int* slots, double& value, uint64_t& nullCauses) const {
  value = 0;
  nullCauses = 0;
  std::vector<TExprValue> stack(static_cast<size_t>(MaxDepth) + 1);
  std::vector<uint64_t> causes(stack.size());
  size_t sp = 0;  // next free entry
  for (const TExprInstr& in : Code) {
    switch (in.Op) {
      case opConst:
        causes[sp] = 0;
        stack[sp++] = {in.Value, in.Null};
        break;
      case opVar: {
        const int slot = slots[in.Arg];
        if (slot < 0) return exUnknownVariable;
        const TExprVar& v = vars[slot];
        causes[sp] = v.IsNull ? SlotBit(slot) : 0;
        stack[sp++] = {v.IsNull ? 0 : v.Value, v.IsNull};
        break;
      }
      case opRaise: return in.Arg;
      default: {
        sp -= OperandCount(in.Op);
        TExprValue r;
        if (const int err = ApplyExprOp(in.Op, &stack[sp], r)) return err;
        causes[sp] = ResultCauses(in.Op, &stack[sp], &causes[sp], r);
        stack[sp++] = r;
        break;
      }
    }
  }
  if (sp == 0) return exNullResult;
  if (stack[sp - 1].Null) {
    nullCauses = causes[sp - 1];
    return exNullResult;
  }
  value = stack[sp - 1].V;
  return exNone;
}

// Threaded dispatch: each step jumps straight to the handler of the next one.
int RunFastCode(const TBoundInstr* code, const char* vars, double& value, const void* const** handlers) {
#define EVAL_LABEL_BINARY(Op) &&L##Op##S, &&L##Op##V, &&L##Op##K, &&L##Op##VV, &&L##Op##VK, &&L##Op##KV,
#define EVAL_LABEL_UNARY(Op) &&L##Op, &&L##Op##V,
  static const void* const kLabels[] = {&&LEnd, &&LLoadK, &&LLoadV, &&LRaise, &&LIif,
                                        EVAL_BINARY_OPS(EVAL_LABEL_BINARY) EVAL_UNARY_OPS(EVAL_LABEL_UNARY)};
#undef EVAL_LABEL_BINARY
#undef EVAL_LABEL_UNARY
  if (code == nullptr) {
    *handlers = kLabels;
    return exNone;
  }
#define EVAL_NEXT goto*(++ip)->Handler
#define EVAL_VAR(offset) (*reinterpret_cast<const double*>(vars + (offset)))
  double stack[kFastStack + 1];
  double* sp = stack;  // the values below the newest, which is held in acc
  double acc = 0;
  int error = exNone;
  const TBoundInstr* ip = code;
  goto* ip->Handler;
LEnd:
  value = acc;
  return exNone;
LFail:
  value = 0;
  return error;
LLoadK:
  *sp++ = acc;
  acc = ip->K;
  EVAL_NEXT;
LLoadV:
  *sp++ = acc;
  acc = EVAL_VAR(ip->A);
  EVAL_NEXT;
LRaise:
  error = ip->A;
  goto LFail;
LIif: {
  const double b = acc, a = *--sp, c = *--sp;
  acc = c != 0 ? a : b;
  EVAL_NEXT;
}
#define EVAL_BINARY_FORM(label, op, push, x, y)                 \
  label : {                                                     \
    push;                                                       \
    if ((error = evalops::Binary(op, x, y, acc))) goto LFail;   \
    EVAL_NEXT;                                                  \
  }
#define EVAL_HANDLE_BINARY(Op)                                                           \
  EVAL_BINARY_FORM(L##Op##S, op##Op, const double x = *--sp, x, acc)                     \
  EVAL_BINARY_FORM(L##Op##V, op##Op, (void)0, acc, EVAL_VAR(ip->A))                      \
  EVAL_BINARY_FORM(L##Op##K, op##Op, (void)0, acc, ip->K)                                \
  EVAL_BINARY_FORM(L##Op##VV, op##Op, *sp++ = acc, EVAL_VAR(ip->A), EVAL_VAR(ip->B))     \
  EVAL_BINARY_FORM(L##Op##VK, op##Op, *sp++ = acc, EVAL_VAR(ip->A), ip->K)               \
  EVAL_BINARY_FORM(L##Op##KV, op##Op, *sp++ = acc, ip->K, EVAL_VAR(ip->A))
#define EVAL_HANDLE_UNARY(Op)                                                        \
  L##Op : if ((error = evalops::Unary(op##Op, acc, acc))) goto LFail;               \
  EVAL_NEXT;                                                                         \
  L##Op##V : *sp++ = acc;                                                            \
  if ((error = evalops::Unary(op##Op, EVAL_VAR(ip->A), acc))) goto LFail;           \
  EVAL_NEXT;
  EVAL_BINARY_OPS(EVAL_HANDLE_BINARY)
  EVAL_UNARY_OPS(EVAL_HANDLE_UNARY)
#undef EVAL_BINARY_FORM
#undef EVAL_HANDLE_BINARY
#undef EVAL_HANDLE_UNARY
#undef EVAL_VAR
#undef EVAL_NEXT
}
