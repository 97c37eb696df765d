// Prints the fields of a header or record block: one Name=value per line, or one JSON object.
#pragma once

#include <iosfwd>
#include <vector>

#include "interchange/RecJson.h"
#include "store/RecFields.h"

// Strings in UTF-8, dates as yyyy-mm-dd, table cells as Fert_N[1]=46.
void PrintFields(std::ostream& out, const std::vector<TFieldDesc>& fields, const void* block);
