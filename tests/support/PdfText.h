// What poppler's command-line tools read from a PDF file: its text as words, its page size.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>

inline std::string RunForOutput(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

// The words of a text, separated by single blanks.
inline std::string Words(const std::string& text) {
  std::istringstream in(text);
  std::string word, all;
  while (in >> word) all += (all.empty() ? "" : " ") + word;
  return all;
}

inline std::string PdfWords(const std::string& pdf) { return Words(RunForOutput("pdftotext -layout -enc UTF-8 '" + pdf + "' - 2>&1")); }

// "Pages: N" and "Page size: W x H pts" of pdfinfo, as "N W x H".
inline std::string PdfPages(const std::string& pdf) {
  const std::string info = RunForOutput("pdfinfo '" + pdf + "' 2>&1");
  auto field = [&info](const std::string& name) {
    const size_t at = info.find(name);
    if (at == std::string::npos) return std::string("?");
    const size_t end = info.find_first_of("p\n", at + name.size());  // before " pts" or the line end
    return Words(info.substr(at + name.size(), end - at - name.size()));
  };
  return field("Pages:") + " " + field("Page size:");
}
