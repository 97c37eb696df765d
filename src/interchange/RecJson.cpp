#include "interchange/RecJson.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "common/Cp1252.h"
#include "common/DayNum.h"
#include "common/Format.h"
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

constexpr size_t kShownBytes = 40;  // of a value quoted in a message

// Appends a value's JSON text to `out` until `out` holds `limit` bytes; long texts are cut before
// they are written out, so a huge value costs no more than a short one.
void AppendValue(const nlohmann::json& v, std::string& out, size_t limit) {
  if (out.size() >= limit) return;
  if (v.is_string()) {
    out += nlohmann::json(v.get_ref<const std::string&>().substr(0, limit)).dump();
  } else if (v.is_array() || v.is_object()) {
    out += v.is_object() ? '{' : '[';
    for (auto it = v.begin(); it != v.end() && out.size() < limit; ++it) {
      if (it != v.begin()) out += ',';
      if (v.is_object()) out += nlohmann::json(it.key().substr(0, limit)).dump() + ':';
      AppendValue(*it, out, limit);  // each level adds a character: at most `limit` deep
    }
    out += v.is_object() ? '}' : ']';
  } else {
    out += v.dump();
  }
}

// The text `set` takes for a JSON value of a field's kind; false when the kinds differ.
bool FieldText(const TFieldDesc& d, const nlohmann::json& value, std::string& text) {
  switch (d.kind) {
    case TFieldKind::Str:
      if (!value.is_string()) return false;
      text = value.get<std::string>();  // UTF-8 still
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

// A JSON string as the library's compact dump writes it: quotes, backslashes and control
// characters escaped, everything else (valid UTF-8) as it is.
void AppendJsonString(const std::string& utf8, std::string& out) {
  static const char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\f': out += "\\f"; break;
      case '\r': out += "\\r"; break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 15];
        } else {
          out += ch;
        }
    }
  }
  out += '"';
}

template <class T>
T LoadAt(const uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <class T>
void AppendNumber(T v, std::string& out) {
  char buf[32];
  out.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// One value as JsonValue gives it, dumped.
void AppendFieldValue(const TFieldDesc& d, const void* block, int i, std::string& out) {
  const uint8_t* p = static_cast<const uint8_t*>(block) + d.offset + static_cast<size_t>(i) * d.stride;
  switch (d.kind) {
    case TFieldKind::U8: AppendNumber(*p, out); return;
    case TFieldKind::U16: AppendNumber(LoadAt<uint16_t>(p), out); return;
    case TFieldKind::I16: AppendNumber(LoadAt<int16_t>(p), out); return;
    case TFieldKind::I32: AppendNumber(LoadAt<int32_t>(p), out); return;
    case TFieldKind::U32: AppendNumber(LoadAt<uint32_t>(p), out); return;
    case TFieldKind::F32: {
      double v = 0;
      ParseReal(ShortestSingle(LoadAt<float>(p)), v);
      if (!std::isfinite(v)) {
        out += "null";
        return;
      }
      // The library's own shortest form of a double ("0.0", "1.5", "1e+20"), so that the text is
      // the one a dump of the document writes.
      char buf[64];
      out.append(buf, nlohmann::detail::to_chars(buf, buf + sizeof buf, v));
      return;
    }
    case TFieldKind::Date: {
      const std::string text = FormatIsoDate(LoadAt<uint16_t>(p));
      if (text.empty()) out += "null";
      else AppendJsonString(text, out);
      return;
    }
    case TFieldKind::Str: AppendJsonString(Cp1252ToUtf8(GetFieldText(block, d, i)), out); return;
  }
}

}  // namespace

void AppendFieldsJson(const std::vector<TFieldDesc>& fields, const void* block, std::string& out) {
  out += '{';
  bool first = true;
  for (const TFieldDesc& d : fields) {
    if (!first) out += ',';
    first = false;
    AppendJsonString(d.name, out);
    out += ':';
    if (d.count == 1) {
      AppendFieldValue(d, block, 0, out);
      continue;
    }
    out += '[';
    for (int i = 0; i < d.count; ++i) {
      if (i > 0) out += ',';
      AppendFieldValue(d, block, i, out);
    }
    out += ']';
  }
  out += '}';
}

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

bool SetFieldFromJson(void* block, const TFieldDesc& desc, int index, const nlohmann::json& value, TTextImport& mode,
                      std::string& error) {
  std::string text;
  if (!FieldText(desc, value, text)) {
    static const char* const kKinds[] = {"a whole number", "a whole number", "a whole number", "a whole number",
                                         "a whole number", "a number", "a date text or null", "a text"};
    error = "value " + JsonValueText(value) + " is not " + kKinds[static_cast<int>(desc.kind)];
    return false;
  }
  if (desc.kind == TFieldKind::Str) {
    const std::string utf8 = std::move(text);
    if (!ImportUtf8(utf8, text, mode, error)) return false;
  }
  if (SetFieldText(block, desc, index, text, error)) return true;
  error = "value " + JsonValueText(value) + " " + error;
  return false;
}

std::string JsonValueText(const nlohmann::json& value) {
  if (value.is_string()) return Utf8Prefix(value.get_ref<const std::string&>(), kShownBytes);
  std::string text;
  AppendValue(value, text, kShownBytes + 1);
  return Utf8Prefix(text, kShownBytes);
}

std::string Utf8Prefix(const std::string& text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;  // a continuation byte
  return text.substr(0, end) + "...";
}

size_t JsonTooDeepAt(const std::string& text) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxJsonDepth) return i;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return std::string::npos;
}
