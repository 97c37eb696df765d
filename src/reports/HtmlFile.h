// The HTML 3.2 report writer: document head with title, author and creation time, font modes
// (teletype, proportional, preformatted), style tags, colours, links and escaped text.
#pragma once

#include <string>

#include "reports/TxtFile.h"

// Modes of SetFontMode.
enum : int { hmTeletype = 0, hmProportional = 1, hmPreformatted = 2 };
// Tags of StyleOn and StyleOff.
enum : int { htBold = 0, htItalic = 1, htUnderline = 2, htSuperscript = 3, htSubscript = 4 };

// The HTML colour name of colour index 0..15 (empty out of range).
std::string HtmlColorName(int index);

class THtmlOutFile : public TTextOutFile {
 public:
  // Opens the file and writes the document start and head; false when any of it failed (the
  // partial file is deleted).
  bool Open(const std::string& fileName, const std::string& title, const std::string& author);
  void WriteStart();
  void WriteHead(const std::string& title, const std::string& author);
  void WriteMeta(const std::string& name, const std::string& content);
  void SetFontMode(int mode);
  void StyleOn(int tag);
  void StyleOff(int tag);
  void SetColor(int index);
  void WriteLink(const std::string& url, const std::string& text);
  void NewLine() override;
  void NewPage() override;
  void WriteEnd();
  void Close() override;
  // Escapes quotes, ampersands, angle brackets, and bytes of 128 and above as character references.
  void WriteText(const std::string& text);

  bool InPre = false;
  bool InTT = false;
  bool InFont = false;
};
