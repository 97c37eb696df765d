#include "reports/HtmlFile.h"

#include <cstdint>

#include "common/Cp1252.h"

namespace {

const char* const kHtmlColors[] = {"Black", "Blue", "Aqua",  "Lime",   "Fuchsia", "Red",    "Yellow", "White",
                                   "Navy",  "Teal", "Green", "Purple", "Maroon",  "Olive", "Gray",   "Silver"};
constexpr int kHtmlColorCount = 16;

const char* const kTagOn[] = {"<B>", "<I>", "<U>", "<SUP>", "<SUB>"};
const char* const kTagOff[] = {"</B>", "</I>", "</U>", "</SUP>", "</SUB>"};
constexpr int kTagCount = 5;

std::string Two(int value) { return (value < 10 ? "0" : "") + std::to_string(value); }

}  // namespace

std::string HtmlColorName(int index) {
  return index >= 0 && index < kHtmlColorCount ? kHtmlColors[index] : std::string();
}

bool THtmlOutFile::Open(const std::string& fileName, const std::string& title, const std::string& author) {
  if (!TTextOutFile::Open(fileName)) return false;
  WriteStart();
  WriteHead(title, author);
  if (Status == wsOk) return true;
  Abandon();
  return false;
}

void THtmlOutFile::WriteStart() {
  InPre = InTT = InFont = false;
  Write("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\n\r\n<HTML>\r\n\r\n");
}

void THtmlOutFile::WriteHead(const std::string& title, const std::string& author) {
  Write("<HEAD>\r\n<TITLE>");
  WriteText(title);
  Write("</TITLE>\r\n");
  WriteMeta("AUTHOR", author);
  const TReportTime t = ReportNow();
  WriteMeta("CREATIME", std::to_string(t.year) + "-" + Two(t.month) + "-" + Two(t.day) + " " + Two(t.hour) + ":" +
                            Two(t.minute) + ":" + Two(t.second));
  Write("</HEAD>\r\n\r\n<BODY>\r\n");
}

void THtmlOutFile::WriteMeta(const std::string& name, const std::string& content) {
  Write("<META NAME=\"" + name + "\" CONTENT=\"");
  WriteText(content);
  Write("\">\r\n");
}

void THtmlOutFile::SetFontMode(int mode) {
  if (InPre) Write("</PRE>\r\n");
  if (InTT) Write("</TT>");
  InPre = InTT = false;
  if (mode == hmTeletype) {
    Write("<TT>");
    InTT = true;
  } else if (mode == hmPreformatted) {
    Write("<PRE>");
    InPre = true;
  }
}

void THtmlOutFile::StyleOn(int tag) {
  if (tag >= 0 && tag < kTagCount) Write(kTagOn[tag]);
}

void THtmlOutFile::StyleOff(int tag) {
  if (tag >= 0 && tag < kTagCount) Write(kTagOff[tag]);
}

void THtmlOutFile::SetColor(int index) {
  if (InFont) Write("</FONT>");
  Write("<FONT COLOR=" + HtmlColorName(index) + ">");
  InFont = true;
}

void THtmlOutFile::WriteLink(const std::string& url, const std::string& text) {
  Write("<A HREF=\"");
  WriteText(url);
  Write("\">");
  WriteText(text);
  Write("</A>");
}

void THtmlOutFile::NewLine() { Write(InPre ? "\r\n" : "\r\n<P>"); }

void THtmlOutFile::NewPage() { Write(InPre ? "<HR>" : "<HR>\r\n"); }

void THtmlOutFile::WriteEnd() {
  if (InFont) Write("</FONT>");
  if (InPre) Write("</PRE>\r\n");
  Write("</BODY>\r\n\r\n</HTML>\r\n");
}

void THtmlOutFile::Close() {
  if (IsOpen()) WriteEnd();
  TTextOutFile::Close();
}

void THtmlOutFile::WriteText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "&quot;"; break;
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default:
        // The character's code point: bytes 128..159 are not Latin-1 in code page 1252 (euro sign,
        // curly quotes, dashes), and readers take a reference by its Unicode value.
        if (c >= 128) out += "&#" + std::to_string(static_cast<uint32_t>(Cp1252ToUnicode(c))) + ";";
        else out += ch;
    }
  }
  Write(out);
}
