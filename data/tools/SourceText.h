// Line-by-line reading of the readable reference sources: comments, field splitting and faults
// reported with the file name and line number.
#pragma once

#include <string>
#include <vector>

// Faults found in a source, each "file:line: message".
using TSourceFaults = std::vector<std::string>;

// One meaningful line of a source: blank lines and lines starting with "#" are left out.
struct TSourceLine {
  int Number = 0;    // 1-based line number in the file
  std::string Text;  // without the line end and trailing blanks
};

std::vector<TSourceLine> SourceLines(const std::string& text);

// The fields between separators, each trimmed of blanks.
std::vector<std::string> SplitFields(const std::string& text, char separator);

// The words of a text separated by any run of blanks.
std::vector<std::string> SplitWords(const std::string& text);

// Reads a whole source file; false (and a fault) when it cannot be read.
bool ReadSourceFile(const std::string& path, std::string& text, TSourceFaults& faults);

// Collects faults of one source under its file name.
class TFaultSink {
 public:
  TFaultSink(const std::string& sourceName, TSourceFaults& faults) : name_(sourceName), faults_(faults) {}
  void Add(int line, const std::string& message);
  bool Any() const { return count_ > 0; }

 private:
  std::string name_;
  TSourceFaults& faults_;
  int count_ = 0;
};
