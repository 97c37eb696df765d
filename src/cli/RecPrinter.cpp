#include "RecPrinter.h"

#include <ostream>

#include "common/Cp1252.h"

namespace {

std::string Shown(const TFieldDesc& d, const void* block, int i) {
  std::string text = GetFieldText(block, d, i);
  return d.kind == TFieldKind::Str ? Cp1252ToUtf8(text) : text;
}

}  // namespace

void PrintFields(std::ostream& out, const std::vector<TFieldDesc>& fields, const void* block) {
  for (const auto& d : fields) {
    if (d.count == 1) {
      out << d.name << '=' << Shown(d, block, 0) << '\n';
      continue;
    }
    for (int i = 0; i < d.count; ++i) out << d.name << '[' << (i + 1) << "]=" << Shown(d, block, i) << '\n';
  }
}
