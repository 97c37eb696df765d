// The cost listing: every input of the definition file that passes a crop filter, by category,
// with its working cost, cost and application units and crops, printed through the report frame.
#pragma once

#include <cstdint>
#include <string>

#include "reports/DocFile.h"

class TMdfFile;

inline const char* const kCostListingTitle = "Cost File";
inline const char* const kCostListingPrefix = "CST";

// Writes the listing into an open document, then shows it through `viewer` (may be null) or
// abandons it when writing failed; the caller reads the document's status. `costFileName` is
// the listed file (a custom cost file or the definition file itself), printed without folder.
void WriteCostListing(TDocOutFile& doc, const TMdfFile& mdf, const std::string& costFileName, uint32_t cropFilter,
                      const std::string& author, TReportViewer* viewer);
// Writes the listing to `path` in output kind 1 to 4; the error text (path and reason) or empty.
// A failed listing leaves no file behind.
std::string WriteCostListingFile(const std::string& path, int kind, const TMdfFile& mdf,
                                 const std::string& costFileName, uint32_t cropFilter, const std::string& author);
