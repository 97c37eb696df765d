#include "reports/SoftProbe.h"

#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>

#include "Version.h"
#include "common/Cp1252.h"
#include "filebase/FileUtl.h"

namespace {

// A program the report looks for: its packages, commands and desktop entries, in order of trust.
struct TProgram {
  const char* name;
  std::vector<const char*> packages;
  std::vector<const char*> commands;
  std::vector<const char*> desktopEntries;
};

// How a program was found: a package version, or only its place (command or desktop entry).
struct TFound {
  std::string version;
  std::string place;
};

std::vector<std::string> SplitList(const char* value, const char* fallback) {
  std::string text = value && *value ? value : fallback;
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t colon = text.find(':', start);
    const std::string part = text.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    if (!part.empty()) parts.push_back(RemoveSlash(part));
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  return parts;
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

class TProber {
 public:
  explicit TProber(const TProbePlaces& places) : places_(places), packages_(ReadInstalledPackages(places.dpkgStatus)) {}

  bool Find(const TProgram& p, TFound& found) const {
    for (const char* pkg : p.packages) {
      const auto it = packages_.find(pkg);
      if (it != packages_.end()) {
        found = {it->second, {}};
        return true;
      }
    }
    for (const char* cmd : p.commands)
      for (const std::string& dir : places_.pathDirs)
        if (IsExecutableFile(dir + "/" + cmd)) {
          found = {{}, dir + "/" + cmd};
          return true;
        }
    for (const char* entry : p.desktopEntries) {
      const std::string path = DataFile(std::string("applications/") + entry);
      if (!path.empty()) {
        found = {{}, path};
        return true;
      }
    }
    return false;
  }

  // The first data folder's file of that relative name; empty when none has it.
  std::string DataFile(const std::string& relative) const {
    for (const std::string& dir : places_.dataDirs)
      if (IsRegularFile(dir + "/" + relative)) return dir + "/" + relative;
    return {};
  }

  std::string PackageVersion(const std::string& name) const {
    const auto it = packages_.find(name);
    return it == packages_.end() ? std::string() : it->second;
  }

 private:
  const TProbePlaces& places_;
  std::map<std::string, std::string> packages_;
};

// A program line: the version, or "Installed" and where it was found.
TSoftwareRow ProgramRow(const std::string& name, const TFound& f) {
  if (!f.version.empty()) return {name, Utf8ToCp1252(f.version)};
  return {name, "Installed", "(" + Utf8ToCp1252(f.place) + ")"};
}

void AddPrograms(const TProber& prober, const std::vector<TProgram>& programs, TSoftwareSection& section,
                 bool withRelease = false) {
  for (const TProgram& p : programs) {
    TFound f;
    if (!prober.Find(p, f)) continue;
    if (withRelease && !f.version.empty())
      section.rows.push_back({p.name, ReleaseOfVersion(f.version), "(" + Utf8ToCp1252(f.version) + ")"});
    else
      section.rows.push_back(ProgramRow(p.name, f));
  }
}

// The planner: its automation service's D-Bus activation file and the program it starts.
TSoftwareRow PlannerRow(const TProber& prober) {
  const std::string service = prober.DataFile("dbus-1/services/QRL.Application.service");
  if (service.empty()) return {"Quarnel", "Not Installed"};
  std::ifstream in(service);
  std::string line, exec;
  while (std::getline(in, line))
    if (line.rfind("Exec=", 0) == 0) exec = Trim(line.substr(5));
  const std::string version = prober.PackageVersion("quarnel");
  return {"Quarnel", version.empty() ? std::string("Installed") : Utf8ToCp1252(version),
          "(" + Utf8ToCp1252(exec.empty() ? service : exec.substr(0, exec.find(' '))) + ")"};
}

}  // namespace

TProbePlaces TProbePlaces::System() {
  TProbePlaces p;
  p.osRelease = IsRegularFile("/etc/os-release") ? "/etc/os-release" : "/usr/lib/os-release";
  utsname u{};
  if (::uname(&u) == 0) p.kernelRelease = u.release;
  p.dpkgStatus = "/var/lib/dpkg/status";
  p.pathDirs = SplitList(std::getenv("PATH"), "/usr/local/bin:/usr/bin:/bin");
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (dataHome && *dataHome) p.dataDirs.push_back(RemoveSlash(dataHome));
  else if (home && *home) p.dataDirs.push_back(std::string(home) + "/.local/share");
  for (const std::string& d : SplitList(std::getenv("XDG_DATA_DIRS"), "/usr/local/share:/usr/share"))
    p.dataDirs.push_back(d);
  return p;
}

std::map<std::string, std::string> ReadInstalledPackages(const std::string& statusFile) {
  std::map<std::string, std::string> packages;
  std::ifstream in(statusFile);
  std::string line, name, version;
  bool installed = false;
  auto finish = [&] {
    if (installed && !name.empty() && !version.empty()) {
      const size_t colon = version.find(':');
      packages[name] = colon == std::string::npos ? version : version.substr(colon + 1);
    }
    name.clear();
    version.clear();
    installed = false;
  };
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) finish();
    else if (line.rfind("Package:", 0) == 0) name = Trim(line.substr(8));
    else if (line.rfind("Version:", 0) == 0) version = Trim(line.substr(8));
    else if (line.rfind("Status:", 0) == 0) installed = Trim(line.substr(7)) == "install ok installed";
  }
  finish();
  return packages;
}

std::string ReadOsPrettyName(const std::string& osReleaseFile) {
  std::ifstream in(osReleaseFile);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
    std::string value = Trim(line.substr(12));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\\' && i + 1 < value.size()) ++i;  // shell-style escapes
      out += value[i];
    }
    return out;
  }
  return {};
}

std::string ReleaseOfVersion(const std::string& version) {
  size_t i = 0;
  int dots = 0;
  while (i < version.size() && (std::isdigit(static_cast<unsigned char>(version[i])) || version[i] == '.')) {
    if (version[i] == '.' && ++dots == 2) break;
    ++i;
  }
  std::string release = version.substr(0, i);
  if (!release.empty() && release.back() == '.') release.pop_back();
  return release;
}

TSoftwareInfo ProbeInstalledSoftware(const TProbePlaces& places) {
  const TProber prober(places);
  TSoftwareInfo info;
  const std::string os = ReadOsPrettyName(places.osRelease);
  info.system = {Utf8ToCp1252(os.empty() ? "Linux" : os)};
  if (!places.kernelRelease.empty()) info.system.push_back("Linux " + Utf8ToCp1252(places.kernelRelease));

  TSoftwareSection nutrient{"Nutrient Management Software", {}};
  nutrient.rows.push_back(PlannerRow(prober));
  nutrient.rows.push_back({"Tesserel Recordkeeper", TESSEREL_PRODUCT_VERSION, "(" TESSEREL_FILE_VERSION ")"});
  AddPrograms(prober,
              {{"QGIS", {"qgis"}, {"qgis"}, {"org.qgis.qgis.desktop", "qgis.desktop"}},
               {"GRASS GIS", {"grass-core", "grass"}, {"grass"}, {"grass.desktop"}},
               {"GDAL tools", {"gdal-bin"}, {"gdalinfo"}, {}}},
              nutrient);

  // The suite itself first: a system without desktop (the "-nogui" packages) or with LibreOffice
  // from elsewhere still has its core and soffice.
  TSoftwareSection office{"LibreOffice", {}};
  AddPrograms(prober,
              {{"LibreOffice", {"libreoffice-core", "libreoffice-core-nogui"}, {"soffice", "libreoffice"},
                {"libreoffice-startcenter.desktop"}},
               {"Writer", {"libreoffice-writer", "libreoffice-writer-nogui"}, {"lowriter"},
                {"libreoffice-writer.desktop"}},
               {"Calc", {"libreoffice-calc", "libreoffice-calc-nogui"}, {"localc"}, {"libreoffice-calc.desktop"}},
               {"Base", {"libreoffice-base"}, {"lobase"}, {"libreoffice-base.desktop"}},
               {"Impress", {"libreoffice-impress", "libreoffice-impress-nogui"}, {"loimpress"},
                {"libreoffice-impress.desktop"}}},
              office, true);

  TSoftwareSection browsers{"Web Browsers/File Viewers", {}};
  AddPrograms(prober,
              {{"Firefox", {"firefox-esr", "firefox"}, {"firefox-esr", "firefox"},
                {"firefox-esr.desktop", "firefox.desktop", "org.mozilla.firefox.desktop"}},
               {"Chromium", {"chromium"}, {"chromium", "chromium-browser"}, {"chromium.desktop"}},
               {"Evince", {"evince"}, {"evince"}, {"org.gnome.Evince.desktop"}},
               {"Okular", {"okular"}, {"okular"}, {"org.kde.okular.desktop"}}},
              browsers);

  TSoftwareSection other{"Other Programs", {}};
  AddPrograms(prober,
              {{"Gnumeric", {"gnumeric"}, {"gnumeric"}, {"org.gnome.Gnumeric.desktop", "gnumeric.desktop"}},
               {"AbiWord", {"abiword"}, {"abiword"}, {"abiword.desktop", "com.abisource.AbiWord.desktop"}}},
              other);

  TSoftwareSection system{"System Software", {}};
  AddPrograms(prober,
              {{"Qt runtime", {"libqt6core6", "libqt6core6t64"}, {}, {}},
               {"SQLite", {"libsqlite3-0"}, {}, {}},
               {"libcurl", {"libcurl4", "libcurl4t64", "libcurl3-gnutls", "libcurl3t64-gnutls"}, {}, {}}},
              system);

  info.sections = {nutrient, office, browsers, other, system};
  return info;
}
