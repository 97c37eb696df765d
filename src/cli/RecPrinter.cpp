#include "RecPrinter.h"

#include <ostream>

#include "common/Cp1252.h"
#include "common/Parse.h"

namespace {

std::string Shown(const TFieldDesc& d, const void* block, int i) {
  std::string text = GetFieldText(block, d, i);
  return d.kind == TFieldKind::Str ? Cp1252ToUtf8(text) : text;
}

nlohmann::ordered_json JsonValue(const TFieldDesc& d, const void* block, int i) {
  const std::string text = GetFieldText(block, d, i);
  switch (d.kind) {
    case TFieldKind::Str: return Cp1252ToUtf8(text);
    case TFieldKind::Date: return text.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(text);
    case TFieldKind::F32: {
      double v = 0;
      ParseReal(text, v);
      return v;
    }
    default:
      return static_cast<int64_t>(std::stoll(text));
  }
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

nlohmann::ordered_json FieldsToJson(const std::vector<TFieldDesc>& fields, const void* block) {
  nlohmann::ordered_json obj = nlohmann::ordered_json::object();
  for (const auto& d : fields) {
    if (d.count == 1) {
      obj[d.name] = JsonValue(d, block, 0);
      continue;
    }
    nlohmann::ordered_json column = nlohmann::ordered_json::array();
    for (int i = 0; i < d.count; ++i) column.push_back(JsonValue(d, block, i));
    obj[d.name] = column;
  }
  return obj;
}
