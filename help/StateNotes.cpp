// Writes the State-Specific Notes help page from the shipped state files: for each state the
// publications its recommendations come from, the phosphorus tests it knows, the soil data its
// formulas ask for, and whether it holds manure application setback criteria.
//   state-notes OUT.html STATE.qri...
#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using TSection = std::map<std::string, std::string>;

struct TStateFile {
  std::vector<std::pair<std::string, TSection>> sections;  // "[Name=Key]" as "Name", in file order

  std::vector<const TSection*> All(const std::string& name) const {
    std::vector<const TSection*> out;
    for (const auto& [n, s] : sections)
      if (n == name) out.push_back(&s);
    return out;
  }
  std::string Value(const std::string& section, const std::string& name) const {
    for (const TSection* s : All(section))
      if (auto it = s->find(name); it != s->end()) return it->second;
    return {};
  }
};

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

bool Read(const std::string& path, TStateFile& file) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const std::string header = line.substr(1, line.find(']') - 1);
      file.sections.push_back({header.substr(0, header.find('=')), {}});
    } else if (const auto eq = line.find('='); eq != std::string::npos && !file.sections.empty()) {
      file.sections.back().second.emplace(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }
  }
  return true;
}

// The files are plain ASCII; only the markup characters need escaping.
std::string Html(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '"') out += "&quot;";
    else out += c;
  }
  return out;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

void WriteState(std::ostream& out, const TStateFile& f) {
  const std::string abbr = f.Value("InitInfo", "StateAbbr");
  out << "<h2 id=\"" << Html(Lower(abbr)) << "\">" << Html(f.Value("InitInfo", "StateName")) << "</h2>\n";
  std::vector<std::pair<std::string, std::string>> sources;  // publication, address
  for (const TSection* crop : f.All("CropDef")) {
    const auto src = crop->find("Source"), url = crop->find("SrcURL");
    std::pair<std::string, std::string> entry{src == crop->end() ? "" : src->second,
                                              url == crop->end() ? "" : url->second};
    if (!entry.first.empty() && std::find(sources.begin(), sources.end(), entry) == sources.end())
      sources.push_back(entry);
  }
  out << "<p>Recommendations from:</p>\n<ul>\n";
  for (const auto& [source, url] : sources) {
    out << "<li>" << Html(source);
    if (!url.empty()) out << " (<a href=\"" << Html(url) << "\">" << Html(url) << "</a>)";
    out << "</li>\n";
  }
  if (sources.empty()) out << "<li>" << Html(f.Value("InitInfo", "Source")) << "</li>\n";
  out << "</ul>\n<p>Phosphorus tests:";
  const char* sep = " ";
  for (const TSection* test : f.All("PTestDef")) {
    out << sep << Html(test->count("Name") ? test->at("Name") : "");
    sep = ", ";
  }
  out << ".</p>\n";
  const auto extra = f.All("MiscColDef");
  if (!extra.empty()) {
    out << "<p>The recommendations also need, in the soils table of the <a href=\"page-erosion.html#soils\">Erosion page</a>:</p>\n<ul>\n";
    for (const TSection* col : extra) {
      out << "<li><b>" << Html(col->count("Label") ? col->at("Label") : "") << "</b>";
      if (col->count("Hint")) out << ": " << Html(col->at("Hint"));
      out << "</li>\n";
    }
    out << "</ul>\n";
  }
  out << "<p>Manure application setback criteria: " << (f.All("SbCritDef").empty() ? "none" : "yes") << ".</p>\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: state-notes OUT.html STATE.qri...\n";
    return 2;
  }
  std::vector<TStateFile> states;
  for (int i = 2; i < argc; ++i) {
    TStateFile f;
    if (!Read(argv[i], f)) {
      std::cerr << "cannot read " << argv[i] << "\n";
      return 1;
    }
    states.push_back(std::move(f));
  }
  std::sort(states.begin(), states.end(), [](const TStateFile& a, const TStateFile& b) {
    return a.Value("InitInfo", "StateName") < b.Value("InitInfo", "StateName");
  });
  std::ofstream out(argv[1]);
  out << "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>State-Specific Notes</title>\n"
         "<link rel=\"stylesheet\" href=\"help.css\">\n</head>\n<body>\n"
         "<p class=\"nav\"><a href=\"index.html\">Contents</a> | <a href=\"getting-started.html\">Getting "
         "Started</a> | <a href=\"faq.html\">Questions</a></p>\n<h1>State-Specific Notes</h1>\n"
         "<p>Each state's file (see <a href=\"files.html\">Distribution Files</a>) holds the state's fertilizer "
         "recommendation formulas, the soil tests it uses and, for some states, manure application setback "
         "criteria. Every recommendation also needs the crop definition and yield goal of the "
         "<a href=\"page-crops.html\">Crops page</a> and the soil tests of the "
         "<a href=\"page-soil-tests.html\">Soil Tests page</a> that its formulas read; the \"Info...\" button "
         "there says what is missing. The <a href=\"reports.html#setbacks\">Manure Application Setbacks</a> "
         "report needs a state with setback criteria.</p>\n";
  for (const TStateFile& f : states) WriteState(out, f);
  out << "</body>\n</html>\n";
  out.close();
  return out ? 0 : 1;
}
