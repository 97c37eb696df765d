#include "textdb/QriSign.h"

#include <fstream>
#include <sstream>

#include "common/Parse.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "filebase/SafeWrite.h"
#include "textdb/QriFilDb.h"

namespace {

// The section name of a header line ("[Name]" or "[Name=Key]", blanks allowed around it).
std::string HeaderName(const std::string& trimmed) {
  std::string inner = trimmed.substr(1);
  if (!inner.empty() && inner.back() == ']') inner.pop_back();
  return Trim(inner.substr(0, inner.find('=')));
}

// Replaces the value of the CRC line of [InitInfo]; false when the file itself has no such line.
bool ReplaceCrcLine(std::string& text, const std::string& crc) {
  bool inInitInfo = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    const std::string trimmed = Trim(line);
    if (!trimmed.empty() && trimmed[0] == '[') {
      inInitInfo = SameText(HeaderName(trimmed), "InitInfo");
    } else if (inInitInfo && trimmed.find('=') != std::string::npos && trimmed[0] != ';' &&
               SameText(Trim(trimmed.substr(0, trimmed.find('='))), "CRC")) {
      const size_t indent = line.find_first_not_of(" \t");
      const bool cr = !line.empty() && line.back() == '\r';
      text.replace(start, line.size(), line.substr(0, indent) + "CRC=" + crc + (cr ? "\r" : ""));
      return true;
    }
    start = end + 1;
  }
  return false;
}

}  // namespace

bool SignQriFile(const std::string& path, std::string& crc, std::string& error) {
  TQriFileDb db;
  if (!db.Load(path)) {
    error = db.ErrorMessage();
    return false;
  }
  crc = db.ComputedCrc();
  const std::string full = db.FileName();
  std::ifstream in(full, std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  std::string text = buffer.str();
  if (!in || !ReplaceCrcLine(text, crc)) {
    error = "The CRC setting of [InitInfo] is not in the file itself.";
    return false;
  }
  // The signed file replaces the one just read, with its permissions.
  if (const TWriteResult saved = WriteFileSafely(full, text, TTargetUse::ReplaceOwn, "qri"); !saved.Ok()) {
    error = saved.Code == TWriteCode::Write ? "Can't write file." : saved.Text;
    return false;
  }
  return true;
}
