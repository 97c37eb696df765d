#include "EvalOracle.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/Parse.h"
#include "common/TextUtil.h"

namespace {

const char cNe = '\x80', cLe = '\x81', cGe = '\x82', cNot = '\x83', cAnd = '\x84', cOr = '\x85';

bool Letter(char c) { return c >= 'A' && c <= 'Z'; }
bool Digit(char c) { return c >= '0' && c <= '9'; }
bool IdentChar(char c) { return Letter(c) || Digit(c) || c == '_'; }
bool OpCode(char c) { return static_cast<unsigned char>(c) >= 128 && static_cast<unsigned char>(c) <= 133; }
bool Among(char c, const char* set) { return c != 0 && std::strchr(set, c) != nullptr; }
bool LeftBound(char c) { return Among(c, "(*+,-/<=>^") || OpCode(c); }
bool RightBound(char c) { return Among(c, ")*+,-/<=>^") || OpCode(c); }

std::string Normalize(std::string s) {
  size_t i = 0;
  while (i < s.size()) {
    if (s[i] == ' ') {
      s.erase(i, 1);
    } else if (Letter(s[i])) {
      size_t n = 1;
      while (i + n < s.size() && IdentChar(s[i + n])) ++n;
      const std::string word = s.substr(i, n);
      if (word == "AND" || word == "OR" || word == "NOT") {
        s.replace(i, n, 1, word == "AND" ? cAnd : word == "OR" ? cOr : cNot);
        n = 1;
      }
      i += n;
    } else if (i > 0 && s[i - 1] == '<' && (s[i] == '>' || s[i] == '=')) {
      s.replace(i - 1, 2, 1, s[i] == '>' ? cNe : cLe);
    } else if (i > 0 && s[i - 1] == '>' && s[i] == '=') {
      s.replace(i - 1, 2, 1, cGe);
    } else {
      ++i;
    }
  }
  return s;
}

size_t ClosingOf(const std::string& s, size_t open) {
  int level = 0;
  for (size_t k = open; k < s.size(); ++k) {
    level += s[k] == '(' ? 1 : s[k] == ')' ? -1 : 0;
    if (level == 0) return k;
  }
  return s.size() - 1;
}

size_t OpeningOf(const std::string& s, size_t close) {
  int level = 0;
  for (size_t k = close;; --k) {
    level += s[k] == ')' ? 1 : s[k] == '(' ? -1 : 0;
    if (level == 0 || k == 0) return k;
  }
}

void Enclose(std::string& s, size_t op) {
  // Right operand.
  size_t r = op + 1;
  while (r < s.size() && !RightBound(s[r]) && s[r] != '(') ++r;
  if (r >= s.size()) s.push_back(')');
  else if (s[r] == '(') s.insert(ClosingOf(s, r) + 1, ")");
  else s.insert(r, ")");
  // Left operand.
  long l = static_cast<long>(op) - 1;
  while (l >= 0 && !LeftBound(s[l]) && s[l] != ')') --l;
  if (l < 0) s.insert(0, "(");
  else if (s[l] == ')') s.insert(OpeningOf(s, l), "(");
  else s.insert(l + 1, "(");
}

bool AfterOperand(const std::string& s, size_t i) { return s[i - 1] == ')' || IdentChar(s[i - 1]); }

std::string Parenthesize(const std::string& text) {
  std::string s = "(" + text + ")";
  for (size_t i = 0; i < s.size();) {
    if (!Letter(s[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < s.size() && IdentChar(s[end])) ++end;
    if (end < s.size() && s[end] == '(') {
      s.insert(ClosingOf(s, end) + 1, ")");
      s.insert(i, "(");
      ++end;
    }
    i = end;
  }
  for (int pass = 2; pass <= 9; ++pass) {
    for (size_t i = 0; i < s.size(); ++i) {
      const char c = s[i];
      bool hit = false;
      switch (pass) {
        case 2: hit = c == '^'; break;
        case 3: hit = c == '-' && !AfterOperand(s, i); break;
        case 4: hit = c == '*' || c == '/'; break;
        case 5: hit = c == '+' || (c == '-' && AfterOperand(s, i)); break;
        case 6: hit = Among(c, "<=>") || c == cNe || c == cLe || c == cGe; break;
        case 7: hit = c == cNot; break;
        case 8: hit = c == cAnd; break;
        case 9: hit = c == cOr; break;
      }
      if (hit) {
        Enclose(s, i);
        ++i;  // the operator moved one place right
      }
    }
  }
  return s.substr(1, s.size() - 2);
}

struct TVal {
  double v = 0;
  bool isNull = false;
};

class TConsumer {
 public:
  TConsumer(std::string text, const std::vector<TExprVar>& vars) : S(std::move(text)), Vars(vars) {}
  int Err = 0;

  TVal Expression() {
    TVal x = Operand();
    if (Err || S.empty()) return x;
    const char c = Take();
    if (Among(c, "*+-/<=>^") || c == cNe || c == cLe || c == cGe || c == cAnd || c == cOr) {
      TVal y = Expression();
      if (Err) return {};
      return Binary(c, x, y);
    }
    if (c == ')' || c == ',') return x;
    Err = 8;
    return {};
  }

 private:
  std::string S;
  const std::vector<TExprVar>& Vars;

  char Take() {
    const char c = S[0];
    S.erase(0, 1);
    return c;
  }

  TVal Operand() {
    char unary = 0;
    if (!S.empty() && (S[0] == '-' || S[0] == cNot)) unary = Take();
    TVal x;
    if (!S.empty() && S[0] == '(') {
      Take();
      x = Expression();
    } else {
      x = Primary();
    }
    if (Err) return {};
    if (unary && !x.isNull) x.v = unary == '-' ? -x.v : (x.v == 0 ? -1 : 0);
    return x;
  }

  TVal Primary() {
    if (!S.empty() && Letter(S[0])) {
      size_t n = 0;
      while (n < S.size() && IdentChar(S[n])) ++n;
      const std::string name = S.substr(0, n);
      S.erase(0, n);
      if (!S.empty() && S[0] == '(') {
        Take();
        return Function(name);
      }
      if (name == "NULL") return {0, true};
      if (name == "TRUE") return {-1, false};
      if (name == "FALSE") return {0, false};
      for (const TExprVar& var : Vars)
        if (SameText(var.Name, name)) return {var.IsNull ? 0 : var.Value, var.IsNull};
      Err = 5;
      return {};
    }
    if (!S.empty() && (Digit(S[0]) || S[0] == '.')) {
      size_t n = 0;
      while (n < S.size() && (Digit(S[n]) || S[n] == '.')) ++n;
      double v;
      if (!ParseReal(S.substr(0, n), v)) {
        Err = 6;
        return {};
      }
      S.erase(0, n);
      return {v, false};
    }
    Err = 7;
    return {};
  }

  TVal Function(const std::string& name) {
    static const char* const kOne[] = {"FIX", "INT", "FRAC", "ROUND", "ODD", "ABS", "SQR", "EXP", "LOG", "ISNULL"};
    int count = 0;
    for (const char* f : kOne)
      if (name == f) count = 1;
    if (name == "MAX" || name == "MIN") count = 2;
    if (name == "IIF") count = 3;
    if (count == 0) {
      Err = 3;
      return {};
    }
    TVal a[3];
    for (int k = 0; k < count; ++k) {
      a[k] = Expression();
      if (Err) return {};
    }
    return Apply(name, a);
  }

  static double Rounded(double x) { return x >= 0 ? std::trunc(x + 0.5) : std::trunc(x - 0.5); }

  TVal Apply(const std::string& f, const TVal* a) {
    if (f == "ISNULL") return {a[0].isNull ? -1.0 : 0.0, false};
    if (f == "IIF") return (!a[0].isNull && a[0].v != 0) ? a[1] : a[2];
    if (a[0].isNull || ((f == "MAX" || f == "MIN") && a[1].isNull)) return {0, true};
    const double x = a[0].v;
    if (f == "MAX") return {x > a[1].v ? x : a[1].v, false};
    if (f == "MIN") return {x < a[1].v ? x : a[1].v, false};
    if (f == "FIX") return {std::trunc(x), false};
    if (f == "INT") return {x >= 0 ? std::trunc(x) : std::trunc(x - 1), false};
    if (f == "FRAC") return {x - std::trunc(x), false};
    if (f == "ROUND") return {Rounded(x), false};
    if (f == "ODD") return {std::fabs(std::fmod(Rounded(x), 2.0)) == 1.0 ? -1.0 : 0.0, false};
    if (f == "ABS") return {std::fabs(x), false};
    if (f == "EXP") return {std::exp(x), false};
    if (f == "SQR") {
      if (x < 0) Err = 11;
      return {Err ? 0 : std::sqrt(x), false};
    }
    if (x <= 0) Err = 12;  // LOG
    return {Err ? 0 : std::log(x), false};
  }

  TVal Binary(char op, TVal x, TVal y) {
    if (op == cOr) {
      if ((!x.isNull && x.v != 0) || (!y.isNull && y.v != 0)) return {-1, false};
      return {0, x.isNull && y.isNull};
    }
    if (x.isNull || y.isNull) return {0, true};
    const double a = x.v, b = y.v;
    auto truth = [](bool t) { return TVal{t ? -1.0 : 0.0, false}; };
    switch (op) {
      case '+': return {a + b, false};
      case '-': return {a - b, false};
      case '*': return {a * b, false};
      case '/':
        if (b == 0) Err = 9;
        return {Err ? 0 : a / b, false};
      case '^':
        if (a < 0) Err = 10;
        if (Err || b == 0) return {Err ? 0.0 : 1.0, false};
        if (a == 0) return {0, false};
        return {static_cast<double>(std::exp(static_cast<long double>(b) * std::log(static_cast<long double>(a)))), false};
      case '=': return truth(a == b);
      case '<': return truth(a < b);
      case '>': return truth(a > b);
      case cNe: return truth(a != b);
      case cLe: return truth(a <= b);
      case cGe: return truth(a >= b);
      default: return truth(a != 0 && b != 0);  // AND
    }
  }
};

std::string Trimmed(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

}  // namespace

int OracleEvaluate(const std::string& formula, const std::vector<TExprVar>& vars, double& value) {
  value = 0;
  const std::string text = UpperCase(Trimmed(formula));
  if (text.empty()) return 1;
  if (text.size() > kMaxFormulaLength) return 14;
  const std::string normalized = Normalize(text);
  int level = 0;
  for (char c : normalized) {
    level += c == '(' ? 1 : c == ')' ? -1 : 0;
    if (level < 0) return 2;
  }
  if (level != 0) return 2;
  TConsumer consumer(Parenthesize(normalized), vars);
  const TVal result = consumer.Expression();
  if (consumer.Err) return consumer.Err;
  if (result.isNull) return 13;
  value = result.v;
  return 0;
}
