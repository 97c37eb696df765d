// A two-page landscape report in the RTF the report writers produce, using every feature they
// have: fonts, sizes, colours, the eleven styles, tab stops with leaders, exact line spacing, a
// page break, a hyperlink field and code page 1252 escapes.
#pragma once

#include <string>

inline std::string SampleReportRtf() {
  std::string colors1 = "{\\colortbl;";
  std::string colors2;
  const int rgb[16][3] = {{0, 0, 0},     {0, 0, 255},   {0, 255, 255},   {0, 255, 0},     {255, 0, 255}, {255, 0, 0},
                          {255, 255, 0}, {255, 255, 255}, {0, 0, 127},   {0, 127, 127},   {0, 127, 0},   {127, 0, 127},
                          {127, 0, 0},   {127, 127, 0}, {127, 127, 127}, {192, 192, 192}};
  for (int i = 0; i < 16; ++i) {
    std::string& row = i < 8 ? colors1 : colors2;
    row += "\\red" + std::to_string(rgb[i][0]) + "\\green" + std::to_string(rgb[i][1]) + "\\blue" +
           std::to_string(rgb[i][2]) + ";";
  }
  return "{\\rtf1\\ansi \\deff0{\\fonttbl{\\f0\\fmodern Courier New;}{\\f1\\froman Times New Roman;}"
         "{\\f2\\fswiss Arial;}{\\f3\\fcharset2 MS LineDraw;}}\r\n" +
         colors1 + "\r\n" + colors2 + "}\r\n" +
         "{\\info{\\title Field Report \\'96 2024}{\\author Tesserel 1.0.0}{\\company  }"
         "{\\creatim\\yr2024\\mo5\\dy1\\hr9\\min5\\sec7}}\r\n"
         "\\landscape\\paperw15840\\paperh12240\\margl1800\\margr1440\\margt1440\\margb1440 \r\n"
         "\\sectd\\pard\\plain \r\n"
         "\\f1\\fs40 \\b Caf\\'E9 \\{Summary\\} Office\\b0 \r\n\\par "
         "\\pard \\tqr\\tldot\\tx4320 \\tqdec\\tx7200 \\tx8640 \\f0\\fs20 Corn\\tab 12.5\\tab 3.25\\tab end\r\n\\par "
         "\\pard \\sl-240 \\f2\\fs20 \\cf6 Red\\cf0  \\i italic\\i0  \\ul single\\ul0  \\uldb double\\uldb0  "
         "\\uldash dashed\\uldash0  \\uld dotted\\uld0  \\up6 raised\\up0  \\dn6 lowered\\dn0  "
         "\\super super\\nosupersub  \\sub sub\\nosupersub  \\scaps caps\\scaps0 \r\n\\par "
         "\\page \\pard \\sl-240 Second page: "
         "{\\field{\\*\\fldinst HYPERLINK C:\\\\My%20Docs\\\\x.rtf}{\\fldrslt Docs}}\r\n\\par }";
}

// The words of the sample report as a PDF file of it holds them (small capitals as capitals, and
// "ff" as two letters).
inline const char* SampleReportWords() {
  return "Café {Summary} Office Corn 12.5 3.25 end Red italic single double dashed dotted raised lowered super sub "
         "CAPS Second page: Docs";
}
