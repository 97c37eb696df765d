#include "textdb/QriSign.h"

#include <fstream>
#include <sstream>

#include "common/Parse.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
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

bool WriteWhole(const std::string& path, const std::string& text) {
  if (IoFaultInjected(TIoOp::Open, path)) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out || IoFaultInjected(TIoOp::Write, path)) return false;
  out << text;
  out.close();
  return !out.fail();
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
  const std::string folder = ExtractFileDir(full);
  const std::string temp = MakeTempFileLike(full, "qri");  // keeps the file's permissions
  if (temp.empty() || !WriteWhole(temp, text) || !RenameFileOver(temp, full)) {
    if (!temp.empty()) DeleteFileAt(temp);
    error = "Can't write file.";
    return false;
  }
  SyncFolder(folder);
  return true;
}
