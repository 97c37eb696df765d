#include "SourceText.h"

#include <fstream>
#include <iterator>

#include "common/Parse.h"

std::vector<TSourceLine> SourceLines(const std::string& text) {
  std::vector<TSourceLine> lines;
  size_t start = 0;
  int number = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    ++number;
    std::string line = TrimRight(text.substr(start, end - start));  // also drops a CR
    start = end + 1;
    std::string content = TrimLeft(line);
    if (content.empty() || content[0] == '#') continue;
    lines.push_back({number, line});
  }
  return lines;
}

std::vector<std::string> SplitFields(const std::string& text, char separator) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    size_t end = text.find(separator, start);
    fields.push_back(Trim(text.substr(start, end == std::string::npos ? std::string::npos : end - start)));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return fields;
}

std::vector<std::string> SplitWords(const std::string& text) {
  std::vector<std::string> words;
  for (const std::string& field : SplitFields(text, ' '))
    if (!field.empty()) words.push_back(field);
  return words;
}

bool ReadSourceFile(const std::string& path, std::string& text, TSourceFaults& faults) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    faults.push_back(path + ": cannot be read.");
    return false;
  }
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

void TFaultSink::Add(int line, const std::string& message) {
  faults_.push_back(name_ + ":" + std::to_string(line) + ": " + message);
  ++count_;
}
