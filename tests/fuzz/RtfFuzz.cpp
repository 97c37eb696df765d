// libFuzzer target: the RTF reader on any bytes, with the document laid out afterwards, must neither
// crash, hang nor touch memory it does not own. The same bytes also go through the plain text reader.
#include <QAbstractTextDocumentLayout>
#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>

#include "render/RtfReader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  new QGuiApplication(*argc, *argv);  // lives for the whole run: fonts need it
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QTextDocument doc;
  TRtfMeta meta;
  ReadRtf(bytes, doc, meta);
  doc.setPageSize(QSizeF(816, 1056));
  doc.documentLayout()->documentSize();
  ReadPlainReport(bytes, doc);
  doc.documentLayout()->documentSize();
  return 0;
}
