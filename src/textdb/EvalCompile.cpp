// Formula text stages (normalize, parenthesize) and the compiler that turns the parenthesized text into
// a postfix program by walking it exactly as the evaluation consumes it.
#include <cstring>

#include "common/Parse.h"
#include "common/TextUtil.h"
#include "textdb/EvalProgram.h"

namespace {

// Single-character codes of the multi-character operators.
constexpr unsigned char kNe = 128, kLe = 129, kGe = 130, kNot = 131, kAnd = 132, kOr = 133;

unsigned char At(const std::string& s, size_t i) { return static_cast<unsigned char>(s[i]); }
bool IsIdStart(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool IsIdChar(unsigned char c) { return IsIdStart(c) || (c >= '0' && c <= '9') || c == '_'; }
bool IsNumChar(unsigned char c) { return (c >= '0' && c <= '9') || c == '.'; }
bool IsCode(unsigned char c) { return c >= kNe && c <= kOr; }
bool IsOperatorChar(unsigned char c) { return c != 0 && std::strchr("*+,-/<=>^", c) != nullptr; }
bool IsLeftBoundary(unsigned char c) { return c == '(' || IsOperatorChar(c) || IsCode(c); }
bool IsRightBoundary(unsigned char c) { return c == ')' || IsOperatorChar(c) || IsCode(c); }
// A "-" after one of these is binary.
bool EndsOperand(unsigned char c) { return c == ')' || IsIdChar(c); }

// Index of the ")" matching the "(" at `open`; the last index when there is none.
size_t MatchForward(const std::string& s, size_t open) {
  int depth = 0;
  for (size_t j = open; j < s.size(); ++j) {
    if (s[j] == '(') ++depth;
    else if (s[j] == ')' && --depth == 0) return j;
  }
  return s.size() - 1;
}

// Index of the "(" matching the ")" at `close`; 0 when there is none.
size_t MatchBackward(const std::string& s, size_t close) {
  int depth = 0;
  for (size_t j = close + 1; j-- > 0;) {
    if (s[j] == ')') ++depth;
    else if (s[j] == '(' && --depth == 0) return j;
  }
  return 0;
}

// Closes the right operand of the operator at `op` with a ")".
void CloseRight(std::string& s, size_t op) {
  for (size_t j = op + 1;; ++j) {
    if (j >= s.size()) {
      s += ')';
      return;
    }
    if (IsRightBoundary(At(s, j))) {
      s.insert(j, 1, ')');
      return;
    }
    if (s[j] == '(') {
      s.insert(MatchForward(s, j) + 1, 1, ')');
      return;
    }
  }
}

// Opens the left operand of the operator at `op` with a "(" (which moves the operator one place right).
void OpenLeft(std::string& s, size_t op) {
  for (size_t j = op; j-- > 0;) {
    if (IsLeftBoundary(At(s, j))) {
      s.insert(j + 1, 1, '(');
      return;
    }
    if (s[j] == ')') {
      s.insert(MatchBackward(s, j), 1, '(');
      return;
    }
  }
  s.insert(0, 1, '(');
}

// Encloses every function call (identifier directly followed by "(") in its own pair.
void EncloseCalls(std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    if (!IsIdStart(At(s, i))) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < s.size() && IsIdChar(At(s, j))) ++j;
    if (j < s.size() && s[j] == '(') {
      s.insert(MatchForward(s, j) + 1, 1, ')');
      s.insert(i, 1, '(');
      ++j;
    }
    i = j;
  }
}

// The operator characters of one parenthesizing pass (after the calls pass), tightest first.
enum TPass { psPower, psUnaryMinus, psMultiply, psAdd, psCompare, psNot, psAnd, psOr };

bool IsPassOperator(TPass pass, const std::string& s, size_t i) {
  const unsigned char c = At(s, i);
  const bool binaryMinus = c == '-' && i > 0 && EndsOperand(At(s, i - 1));
  switch (pass) {
    case psPower: return c == '^';
    case psUnaryMinus: return c == '-' && !binaryMinus;
    case psMultiply: return c == '*' || c == '/';
    case psAdd: return c == '+' || binaryMinus;
    case psCompare: return c == '<' || c == '=' || c == '>' || c == kNe || c == kLe || c == kGe;
    case psNot: return c == kNot;
    case psAnd: return c == kAnd;
    case psOr: return c == kOr;
  }
  return false;
}

bool ParenthesesBalanced(const std::string& s) {
  int depth = 0;
  for (char c : s) {
    if (c == '(') ++depth;
    else if (c == ')' && --depth < 0) return false;
  }
  return depth == 0;
}

// Trims blanks and control characters from both ends.
std::string TrimFormula(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && At(s, b) <= ' ') ++b;
  while (e > b && At(s, e - 1) <= ' ') --e;
  return s.substr(b, e - b);
}

struct TFunctionDef {
  const char* Name;
  TExprOp Op;
};
constexpr TFunctionDef kFunctions[] = {
    {"FIX", opFix}, {"INT", opInt}, {"FRAC", opFrac}, {"ROUND", opRound}, {"ODD", opOdd},
    {"ABS", opAbs}, {"SQR", opSqr}, {"EXP", opExp},   {"LOG", opLog},     {"MAX", opMax},
    {"MIN", opMin}, {"IIF", opIif}, {"ISNULL", opIsNull},
};

TExprOp BinaryOp(unsigned char c) {
  switch (c) {
    case '+': return opAdd;
    case '-': return opSub;
    case '*': return opMul;
    case '/': return opDiv;
    case '^': return opPow;
    case '=': return opEq;
    case '<': return opLt;
    case '>': return opGt;
    case kNe: return opNe;
    case kLe: return opLe;
    case kGe: return opGe;
    case kAnd: return opAnd;
    case kOr: return opOr;
    default: return opRaise;  // not a binary operator
  }
}

// Walks the parenthesized text as the evaluation consumes it and emits each step. Emission stops at the
// first certain error (a syntax error, or a constant part that fails), as the evaluation would stop.
class TCompiler {
 public:
  TCompiler(const std::string& text, TExprProgram& prog) : Text(text), Prog(prog) {}

  bool Expression() {
    if (!Operand()) return false;
    if (Pos == Text.size()) return true;
    const unsigned char c = At(Text, Pos++);
    const TExprOp op = BinaryOp(c);
    if (op != opRaise) return Expression() && Emit(op);
    if (c == ')' || c == ',') return true;
    return Raise(exOperator);
  }

 private:
  const std::string& Text;
  TExprProgram& Prog;
  size_t Pos = 0;

  bool Operand() {
    TExprOp unary = opConst;
    if (Pos < Text.size() && Text[Pos] == '-') unary = opNeg, ++Pos;
    else if (Pos < Text.size() && At(Text, Pos) == kNot) unary = opNot, ++Pos;
    bool ok;
    if (Pos < Text.size() && Text[Pos] == '(') {
      ++Pos;
      ok = Expression();
    } else {
      ok = Primary();
    }
    return ok && (unary == opConst || Emit(unary));
  }

  bool Primary() {
    if (Pos < Text.size() && IsIdStart(At(Text, Pos))) return Identifier();
    if (Pos < Text.size() && IsNumChar(At(Text, Pos))) return Number();
    return Raise(exOperand);
  }

  bool Number() {
    const size_t start = Pos;
    while (Pos < Text.size() && IsNumChar(At(Text, Pos))) ++Pos;
    double v;
    if (!ParseReal(Text.substr(start, Pos - start), v)) return Raise(exInvalidNumber);
    return Push(v, false);
  }

  bool Identifier() {
    const size_t start = Pos;
    while (Pos < Text.size() && IsIdChar(At(Text, Pos))) ++Pos;
    const std::string name = Text.substr(start, Pos - start);
    if (Pos < Text.size() && Text[Pos] == '(') {
      ++Pos;
      return Call(name);
    }
    if (name == "NULL") return Push(0, true);
    if (name == "TRUE") return Push(-1, false);
    if (name == "FALSE") return Push(0, false);
    return Variable(name);
  }

  bool Call(const std::string& name) {
    for (const TFunctionDef& f : kFunctions) {
      if (name != f.Name) continue;
      for (int k = 0; k < OperandCount(f.Op); ++k)
        if (!Expression()) return false;
      return Emit(f.Op);
    }
    return Raise(exUnknownFunction);
  }

  bool Variable(const std::string& name) {
    int index = 0;
    while (index < static_cast<int>(Prog.Names.size()) && Prog.Names[index] != name) ++index;
    if (index == static_cast<int>(Prog.Names.size())) Prog.Names.push_back(name);
    TExprInstr in;
    in.Op = opVar;
    in.Arg = index;
    Prog.Code.push_back(in);
    return true;
  }

  bool Push(double v, bool isNull) {
    TExprInstr in;
    in.Op = opConst;
    in.Value = isNull ? 0 : v;
    in.Null = isNull;
    Prog.Code.push_back(in);
    return true;
  }

  bool Raise(int code) {
    TExprInstr in;
    in.Op = opRaise;
    in.Arg = code;
    Prog.Code.push_back(in);
    return false;
  }

  // Emits an operator or function; when all its operands are constants it is computed right away.
  bool Emit(TExprOp op) {
    const int n = OperandCount(op);
    auto& code = Prog.Code;
    bool constant = static_cast<int>(code.size()) >= n;
    for (int k = 1; constant && k <= n; ++k) constant = code[code.size() - k].Op == opConst;
    if (!constant) {
      TExprInstr in;
      in.Op = op;
      code.push_back(in);
      return true;
    }
    TExprValue args[3];
    for (int k = 0; k < n; ++k) args[k] = {code[code.size() - n + k].Value, code[code.size() - n + k].Null};
    code.resize(code.size() - n);
    TExprValue r;
    const int err = ApplyExprOp(op, args, r);
    return err ? Raise(err) : Push(r.V, r.Null);
  }
};

int StackDepth(const TExprProgram& prog) {
  int depth = 0, most = 0;
  for (const TExprInstr& in : prog.Code) {
    if (in.Op == opConst || in.Op == opVar) ++depth;
    else if (in.Op != opRaise) depth -= OperandCount(in.Op) - 1;
    if (depth > most) most = depth;
  }
  return most;
}

}  // namespace

std::string NormalizeFormula(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = At(s, i);
    if (c == ' ') {
      ++i;
    } else if (IsIdStart(c)) {
      size_t j = i;
      while (j < s.size() && IsIdChar(At(s, j))) ++j;
      const std::string id = s.substr(i, j - i);
      if (id == "AND") out += static_cast<char>(kAnd);
      else if (id == "OR") out += static_cast<char>(kOr);
      else if (id == "NOT") out += static_cast<char>(kNot);
      else out += id;
      i = j;
    } else {
      const char prev = out.empty() ? '\0' : out.back();
      if (c == '>' && prev == '<') out.back() = static_cast<char>(kNe);
      else if (c == '=' && prev == '<') out.back() = static_cast<char>(kLe);
      else if (c == '=' && prev == '>') out.back() = static_cast<char>(kGe);
      else out += static_cast<char>(c);
      ++i;
    }
  }
  return out;
}

std::string ParenthesizeFormula(const std::string& normalized) {
  std::string s = "(" + normalized + ")";
  EncloseCalls(s);
  for (TPass pass : {psPower, psUnaryMinus, psMultiply, psAdd, psCompare, psNot, psAnd, psOr}) {
    size_t i = 0;
    while (i < s.size()) {
      if (!IsPassOperator(pass, s, i)) {
        ++i;
        continue;
      }
      CloseRight(s, i);
      OpenLeft(s, i);
      i += 2;
    }
  }
  return s.substr(1, s.size() - 2);
}

std::shared_ptr<const TExprProgram> CompileExpression(const std::string& formula) {
  auto prog = std::make_shared<TExprProgram>();
  const std::string text = UpperCase(TrimFormula(formula));
  TExprInstr fail;
  fail.Op = opRaise;
  if (text.empty()) fail.Arg = exEmpty;
  else if (text.size() > kMaxFormulaLength) fail.Arg = exTooLong;
  std::string normalized;
  if (fail.Arg == 0) {
    normalized = NormalizeFormula(text);
    if (!ParenthesesBalanced(normalized)) fail.Arg = exParentheses;
  }
  if (fail.Arg != 0) {
    prog->Code.push_back(fail);
    return prog;
  }
  const std::string parenthesized = ParenthesizeFormula(normalized);
  TCompiler(parenthesized, *prog).Expression();
  prog->MaxDepth = StackDepth(*prog);
  prog->BuildFast();
  return prog;
}
