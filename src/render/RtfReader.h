// Reads the rich text that the report writers produce into a Qt rich-text document: fonts,
// sizes, colours, the character styles, tab stops of every kind (dot leaders drawn as a dotted
// line), paragraphs, line spacing, page breaks, hyperlink fields, the page setup and the title and
// author. Text bytes are code page 1252. Unknown control words are ignored and unknown
// destinations skipped; unbalanced groups and truncated data end the reading quietly.
#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// The page of a document in twips (1/1440 inch); the defaults are those of an RTF file that
// names none (US letter, margins 1.25 and 1 inch).
struct TRtfPage {
  int PaperWidth = 12240;
  int PaperHeight = 15840;
  int LeftMargin = 1800;
  int RightMargin = 1800;
  int TopMargin = 1440;
  int BottomMargin = 1440;
  bool Landscape = false;
};

// What a document says about itself beside its text.
struct TRtfMeta {
  TRtfPage Page;
  QString Title;
  QString Author;
};

// Replaces the content of `doc` by the document in `rtf`. Returns false when the data does not
// start as RTF; what could be read is in the document all the same.
bool ReadRtf(const QByteArray& rtf, QTextDocument& doc, TRtfMeta& meta);

// The resolution of the lengths in a rich-text document (tab stops, margins, line heights): Qt
// scales them from it to the device the document is laid out on.
qreal LayoutDpi();

// Replaces the content of `doc` by a plain text report (code page 1252, CR LF line ends, a form
// feed starting a new page) in 10 point Courier New.
void ReadPlainReport(const QByteArray& text, QTextDocument& doc);
// Adds more of a plain text report at the end: the text of whole lines, following whole lines.
void AppendPlainReport(const QByteArray& text, QTextDocument& doc);

// The families tried, in order, for a font name of a report (metric-compatible free fonts first).
QStringList FontFamilies(const QString& name);
