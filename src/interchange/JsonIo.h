// Projects as JSON documents for scripts and other tools: {"project": {header fields}, "records":
// [{record fields}, ...]} with the keys and value forms of the command-line tool's `show --json`.
#pragma once

#include <string>

#include "common/Cp1252.h"
#include "interchange/ExportRun.h"

class TMcnFile;
class TMdfFile;

// Writes the header and the records the filter accepts, one record per line, into a temporary
// file that replaces `path` only when complete; `records` is the number written. The cost options
// play no part. On failure nothing is left behind and `message` says why.
bool ExportToJson(TMdaFile& project, const std::string& path, const TExportOptions& options, int& records,
                  std::string& message);

// Creates the project `projectPath` from a document: the header's State and Year (Title, Author,
// Company and Comments when present; Country, when present, must be the definition file's), and one
// record per element of "records". A record needs its Field_ID; fields it leaves out keep the
// values of a new record. Every value must have its field's kind and pass the field's rule, IDs
// and field names must be unique; texts hold no control characters (the comments may hold line
// breaks) and go into code page 1252 as `text` says (text.Replaced counts the characters
// replaced). On a bad value `message` names the record, the field and the rule, and nothing is
// written; a file of that name is replaced only by a complete project. Documents nesting arrays
// and objects deeper than kMaxJsonDepth are refused before they are parsed.
bool ImportFromJson(const std::string& jsonPath, const std::string& projectPath, TMcnFile& counties,
                    const TMdfFile& definitions, TTextImport& text, int& records, std::string& message);
