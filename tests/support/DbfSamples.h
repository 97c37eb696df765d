// Small dBASE tables for tests: character columns wide enough for their values, written with the
// program's own table writer.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "interchange/DbfFile.h"

struct TDbfSample {
  std::vector<std::string> Columns;
  std::vector<std::vector<std::string>> Rows;  // a row whose first value is "*" is written deleted
};

// Writes the sample as a table of C columns; false when the writer failed.
inline bool WriteDbfSample(const std::string& path, const TDbfSample& sample) {
  TDbfFile table;
  if (!table.CreateTable(path)) return false;
  std::vector<size_t> widths(sample.Columns.size(), 1);
  for (const auto& row : sample.Rows)
    for (size_t c = 0; c < widths.size(); ++c)
      widths[c] = std::max(widths[c], row.at(c + 1).size());
  for (size_t c = 0; c < widths.size(); ++c)
    if (!table.AddField(sample.Columns[c], 'C', static_cast<int>(widths[c]), 0)) return false;
  uint32_t n = 0;
  for (const auto& row : sample.Rows) {
    std::string bytes = row[0] == "*" ? "*" : " ";
    for (size_t c = 0; c < widths.size(); ++c) bytes += row[c + 1] + std::string(widths[c] - row[c + 1].size(), ' ');
    if (!table.WriteRecord(++n, bytes.data(), false)) return false;
  }
  return table.CloseTable();
}
