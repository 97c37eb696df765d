// The fields of a project header or field record as one JSON object and back: strings in UTF-8,
// numbers as numbers, dates as "yyyy-mm-dd" (null for no date), table columns as arrays.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "store/RecFields.h"

nlohmann::ordered_json FieldsToJson(const std::vector<TFieldDesc>& fields, const void* block);

// Stores one JSON value in field `desc`[index] of the block as the `set` command would store its
// text. False with `error` ("is not a number") when the value has the wrong kind or does not fit.
bool SetFieldFromJson(void* block, const TFieldDesc& desc, int index, const nlohmann::json& value, std::string& error);
// A JSON value as a user reads it, for messages.
std::string JsonValueText(const nlohmann::json& value);
