// The fields of a project header or field record as one JSON object and back: strings in UTF-8,
// numbers as numbers, dates as "yyyy-mm-dd" (null for no date), table columns as arrays.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/Cp1252.h"
#include "store/RecFields.h"

// The deepest nesting of arrays and objects a document may have.
inline constexpr int kMaxJsonDepth = 64;

nlohmann::ordered_json FieldsToJson(const std::vector<TFieldDesc>& fields, const void* block);
// Appends the text FieldsToJson(fields, block).dump() gives, without building the document.
void AppendFieldsJson(const std::vector<TFieldDesc>& fields, const void* block, std::string& out);

// Stores one JSON value in field `desc`[index] of the block as the `set` command would store its
// text; texts go into code page 1252 as `text` says. False with `error`, what follows the field's
// name in a message ("value 5 is not a text", "holds the character U+0141, ..."), when the value
// has the wrong kind or does not fit.
bool SetFieldFromJson(void* block, const TFieldDesc& desc, int index, const nlohmann::json& value, TTextImport& text,
                      std::string& error);
// A JSON value as a user reads it in a message (UTF-8): a long text, array or object only by its
// first characters, followed by "...".
std::string JsonValueText(const nlohmann::json& value);
// The first `limit` bytes of UTF-8 text, cut at a character's start, followed by "..." when cut.
std::string Utf8Prefix(const std::string& text, size_t limit);
// The byte offset at which a document's arrays and objects nest deeper than kMaxJsonDepth, npos
// when they do not; a scan of the text that needs no parse (and no recursion).
size_t JsonTooDeepAt(const std::string& text);
