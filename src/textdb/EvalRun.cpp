// Running compiled formulas: a general interpreter with null values, and a fast one for the common case
// where every variable the formula names is bound and has a value.
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
    f.Arg = in.Arg;
    f.K = in.Value;
    if (OperandCount(in.Op) == 2 && !Fast.empty() && (Fast.back().Op == fLoadK || Fast.back().Op == fLoadV)) {
      // The operand loaded just before is the last operand: take it directly (V and K follow S).
      const TFastInstr last = Fast.back();
      Fast.pop_back();
      f.Op = static_cast<TFastOp>(f.Op + (last.Op == fLoadV ? 1 : 2));
      f.Arg = last.Arg;
      f.K = last.K;
    }
    Fast.push_back(f);
  }
  Fast.push_back(TFastInstr{});
}

int TExprProgram::Run(const TExprVar* vars, const int* slots, double& value) const {
  if (!Fast.empty()) {
    bool allValued = true;
    for (size_t k = 0; k < Names.size() && allValued; ++k) allValued = slots[k] >= 0 && !vars[slots[k]].IsNull;
    if (allValued) return RunFast(vars, slots, value);
  }
  return RunGeneral(vars, slots, value);
}

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
      default: {
        sp -= OperandCount(in.Op);
        if (const int err = ApplyExprOp(in.Op, sp, *sp)) return err;
        ++sp;
        break;
      }
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
int TExprProgram::RunFast(const TExprVar* vars, const int* slots, double& value) const {
#define EVAL_LABEL_BINARY(Op) &&L##Op##S, &&L##Op##V, &&L##Op##K,
#define EVAL_LABEL_UNARY(Op) &&L##Op,
  static const void* const kLabels[] = {&&LEnd, &&LLoadK, &&LLoadV, &&LRaise, &&LIif,
                                        EVAL_BINARY_OPS(EVAL_LABEL_BINARY) EVAL_UNARY_OPS(EVAL_LABEL_UNARY)};
#undef EVAL_LABEL_BINARY
#undef EVAL_LABEL_UNARY
#define EVAL_NEXT goto* kLabels[(++ip)->Op]
  value = 0;
  double stack[kFastStack + 1];
  double* sp = stack;  // the values below the newest, which is held in acc
  double acc = 0;
  const TFastInstr* ip = Fast.data();
  goto* kLabels[ip->Op];
LEnd:
  value = acc;
  return exNone;
LLoadK:
  *sp++ = acc;
  acc = ip->K;
  EVAL_NEXT;
LLoadV:
  *sp++ = acc;
  acc = vars[slots[ip->Arg]].Value;
  EVAL_NEXT;
LRaise:
  return ip->Arg;
LIif: {
  const double b = acc, a = *--sp, c = *--sp;
  acc = c != 0 ? a : b;
  EVAL_NEXT;
}
#define EVAL_HANDLE_BINARY(Op)                                                              \
  L##Op##S : {                                                                              \
    const double x = *--sp;                                                                 \
    if (const int e = evalops::Binary(op##Op, x, acc, acc)) return e;                       \
    EVAL_NEXT;                                                                              \
  }                                                                                         \
  L##Op##V : if (const int e = evalops::Binary(op##Op, acc, vars[slots[ip->Arg]].Value, acc)) return e; \
  EVAL_NEXT;                                                                                \
  L##Op##K : if (const int e = evalops::Binary(op##Op, acc, ip->K, acc)) return e;          \
  EVAL_NEXT;
#define EVAL_HANDLE_UNARY(Op)                                        \
  L##Op : if (const int e = evalops::Unary(op##Op, acc, acc)) return e; \
  EVAL_NEXT;
  EVAL_BINARY_OPS(EVAL_HANDLE_BINARY)
  EVAL_UNARY_OPS(EVAL_HANDLE_UNARY)
#undef EVAL_HANDLE_BINARY
#undef EVAL_HANDLE_UNARY
#undef EVAL_NEXT
}
