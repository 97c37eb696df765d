// The Soil Data Mart's SOAP messages: the RunQuery request envelope and the reading of its answer
// (a schema part and a diffgram whose data set holds the result rows).
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// One result row: the column elements in answer order, values as the service sent them (UTF-8),
// to be checked where they are stored. A null value is absent or empty.
struct TSdmRow {
  std::vector<std::pair<std::string, std::string>> cells;
  // The value of a column, empty when the row has no such column.
  const std::string& Value(const std::string& column) const;
};

struct TSdmAnswer {
  bool isFault = false;
  std::string fault;           // the fault string of a SOAP fault (code page 1252)
  bool firstIsTable = false;   // the data set's first row is a "Table" element
  std::vector<TSdmRow> rows;   // the data set's "Table" rows in order
};

// Reads a RunQuery answer or a SOAP fault. False with the reason when the text is not well-formed
// XML, carries a document type declaration (never loaded, never expanded) or lacks the result.
bool ParseSdmAnswer(const char* data, size_t size, TSdmAnswer& answer, std::string& error);

// The SOAP 1.1 request of RunQuery for an SQL text in code page 1252, as UTF-8.
std::string SdmRequestEnvelope(const std::string& sql);
