// Showing finished reports on the desktop: the "Save Report As" chooser, the preview window and
// the desktop's word processor, with the cache folder that reports for other programs go to.
#pragma once

#include <QDateTime>
#include <QString>

class QWidget;

// Output kinds of a report file; the PDF kind is written as RTF and rendered.
enum TReportKind : int { rkText = 1, rkRtf = 2, rkHtml = 3, rkPdf = 4 };

// The "Save Report As" chooser: filter 1 text, 2 RTF, 3 HTML, anything else every kind (RTF
// first). Asks again while the chosen name is refused; false when cancelled. The kind follows the
// extension: .rtf, .html, .pdf, anything else plain text.
bool SelectReportFile(int filter, const QString& dialogTitle, QString& fileName, int& kind);

// An error box of a report dialog: the message between two line breaks.
void ShowReportError(const QString& message);

// Shows a report file in the preview window, modally; false when it cannot be read.
bool PreviewReport(const QString& path, bool plain, const QString& title, bool landscape);

// Where reports handed to other programs are kept: the user's cache folder + "tesserel/reports".
QString ReportCacheFolder();
// Removes the files in `folder` last changed before a day before `now` (done at start-up).
void RemoveOldReports(const QString& folder, const QDateTime& now);

// Opens a report in the desktop's default application for its kind. A temporary report is first
// copied to the cache folder (the application reads it after we return and the original is
// deleted); `kind` gives the copy its extension. Shows the failure message and returns false
// when no application opened it.
bool ViewWithWordProcessor(const QString& path, bool temporary, int kind);
