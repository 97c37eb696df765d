#include "interchange/RecJson.h"

#include <charconv>

#include "common/Cp1252.h"
#include "common/Parse.h"

namespace {

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
    default: return static_cast<int64_t>(std::stoll(text));
  }
}

// The text `set` takes for a JSON value of a field's kind; false when the kinds differ.
bool FieldText(const TFieldDesc& d, const nlohmann::json& value, std::string& text) {
  switch (d.kind) {
    case TFieldKind::Str:
      if (!value.is_string()) return false;
      text = Utf8ToCp1252(value.get_ref<const std::string&>());
      return true;
    case TFieldKind::Date:
      if (value.is_null()) text.clear();
      else if (value.is_string()) text = value.get<std::string>();
      else return false;
      return true;
    case TFieldKind::F32: {
      if (!value.is_number()) return false;
      // The shortest text of the double gives back the float it was written from.
      char buf[64];
      const auto end = std::to_chars(buf, buf + sizeof buf, value.get<double>()).ptr;
      text.assign(buf, end);
      return true;
    }
    default:
      if (value.is_number_unsigned()) text = std::to_string(value.get<uint64_t>());
      else if (value.is_number_integer()) text = std::to_string(value.get<int64_t>());
      else return false;
      return true;
  }
}

}  // namespace

nlohmann::ordered_json FieldsToJson(const std::vector<TFieldDesc>& fields, const void* block) {
  nlohmann::ordered_json obj = nlohmann::ordered_json::object();
  // The names are unique: appended without the key search of operator[], which made the export of
  // large projects slow.
  auto& members = obj.get_ref<nlohmann::ordered_json::object_t&>();
  members.reserve(fields.size());
  for (const auto& d : fields) {
    if (d.count == 1) {
      members.emplace_back(d.name, JsonValue(d, block, 0));
      continue;
    }
    nlohmann::ordered_json column = nlohmann::ordered_json::array();
    column.get_ref<nlohmann::ordered_json::array_t&>().reserve(d.count);
    for (int i = 0; i < d.count; ++i) column.push_back(JsonValue(d, block, i));
    members.emplace_back(d.name, std::move(column));
  }
  return obj;
}

bool SetFieldFromJson(void* block, const TFieldDesc& desc, int index, const nlohmann::json& value, std::string& error) {
  std::string text;
  if (!FieldText(desc, value, text)) {
    static const char* const kKinds[] = {"a whole number", "a whole number", "a whole number", "a whole number",
                                         "a whole number", "a number", "a date text or null", "a text"};
    error = std::string("is not ") + kKinds[static_cast<int>(desc.kind)];
    return false;
  }
  return SetFieldText(block, desc, index, text, error);
}

std::string JsonValueText(const nlohmann::json& value) {
  return value.is_string() ? value.get<std::string>() : value.dump();
}
