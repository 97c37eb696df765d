#include "reports/MoreInfo.h"

#include "common/Format.h"
#include "common/Locale.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "reports/DocFile.h"
#include "reports/PdfRender.h"
#include "reports/RptTemp.h"

namespace {

const float kProgramTabs[] = {0.25f, 3.0f, 3.35f, 4.0f};

// A report line in fixed-pitch columns, for the kinds without tab stops.
std::string PlainRow(const TSoftwareRow& row) {
  std::string line = "  ";
  for (size_t i = 0; i < row.size(); ++i) line += i + 1 < row.size() ? Pad(row[i], i == 0 ? 33 : 17) + " " : row[i];
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

void PlainHeading(TDocOutFile& d, float size, const std::string& text) {
  d.SetFont(1, size);
  d.StyleOn(stBold);
  d.StyleOn(stItalic);
  d.SetColor(8);
  d.Write(text);
  d.StyleOff(stItalic);
  d.StyleOff(stBold);
  d.SetColor(0);
  d.NewLine();
}

void PlainRows(TDocOutFile& d, const std::vector<TSoftwareRow>& rows) {
  d.SetFont(0, 10);
  for (const TSoftwareRow& row : rows) {
    d.Write(PlainRow(row));
    d.NewLine();
  }
}

// The same report through the frame, in columns of a fixed-pitch font (plain text and HTML).
void WritePlainReport(TDocOutFile& d, const TSoftwareInfo& info, const std::string& author) {
  d.SetPageLayout(false, 1, 1, 1, 1);
  d.SetFont(1, 10);
  d.StyleOn(stItalic);
  d.SetColor(8);
  d.Write(PreparedLine(author));
  d.SetColor(0);
  d.StyleOff(stItalic);
  d.NewLine();
  d.NewLine();
  PlainHeading(d, 20, kSoftwareReportTitle);
  d.NewLine();
  PlainHeading(d, 12, "Operating System");
  PlainRows(d, {info.system});
  for (const TSoftwareSection& s : info.sections) {
    d.NewLine();
    PlainHeading(d, 12, s.heading);
    PlainRows(d, s.rows);
  }
  d.NewLine();
}

std::string WriteRtfReport(const std::string& path, const std::string& author, const TSoftwareInfo& info) {
  TMoreInfoDoc w;
  if (w.Open(path, ruInches, author, kSoftwareReportTitle)) {
    w.WriteReport(info);
    w.Close();
  }
  if (w.Status == wsOk) return {};
  w.Abandon();
  return w.GetErrorText();
}

}  // namespace

std::string ReportStamp() {
  const TReportTime t = ReportNow();
  const TLocaleFormats& locale = CurrentLocale();
  return FormatLongTime(t.hour, t.minute, t.second) + " on " +
         locale.shortDayNames[static_cast<size_t>(t.weekday) % 7] + " " +
         FormatShortDate(EncodeDay(t.year, t.month, t.day));
}

std::string PreparedLine(const std::string& author) {
  return "[This report prepared by " + author + " at " + ReportStamp() + "]";
}

void TMoreInfoDoc::HeadingOn() {
  StyleOn(stBold);
  StyleOn(stItalic);
  SetColor(8);
  SetFont(1, 12);
}

void TMoreInfoDoc::HeadingOff() {
  SetFont(2, 10);
  SetColor(0);
  StyleOff(stItalic);
  StyleOff(stBold);
}

void TMoreInfoDoc::Section(const std::string& heading) {
  NewLine();
  HeadingOn();
  WriteText(heading);
  HeadingOff();
  NewLine();
}

void TMoreInfoDoc::Row(const TSoftwareRow& row) {
  for (const std::string& cell : row) {
    Tab();
    WriteText(cell);
  }
  NewLine();
}

void TMoreInfoDoc::WriteReport() { WriteReport(ProbeInstalledSoftware(TProbePlaces::System())); }

void TMoreInfoDoc::WriteReport(const TSoftwareInfo& info) {
  SetPageLayout(false, 1, 1, 1, 1);
  SetTabStop(tkLeft, 1.4f);
  StyleOn(stItalic);
  SetColor(8);
  SetFont(1, 10);
  Tab();
  WriteText(PreparedLine(Author));
  SetColor(0);
  StyleOff(stItalic);
  NewLine();
  NewLine();
  HeadingOn();
  SetTabStop(tkLeft, 1.1f);
  SetFont(1, 20);
  Tab();
  WriteText(kSoftwareReportTitle);
  NewLine();
  HeadingOff();
  NewLine();
  HeadingOn();
  WriteText("Operating System");
  HeadingOff();
  NewLine();
  for (float tab : kProgramTabs) SetTabStop(tkLeft, tab);
  Row(info.system);
  for (const TSoftwareSection& s : info.sections) {
    Section(s.heading);
    for (const TSoftwareRow& row : s.rows) Row(row);
  }
  NewLine();
}

std::string WriteSoftwareReportFile(const std::string& path, int kind, const std::string& author,
                                    const TSoftwareInfo& info) {
  if (kind == okRtf) return WriteRtfReport(path, author, info);
  if (kind == okPdf)
    return WritePdfThroughRtf(path, [&](const std::string& rtf) { return WriteRtfReport(rtf, author, info); });
  TDocOutFile d;
  if (d.Open(kind, path, false, false, kSoftwareReportTitle, author)) {
    WritePlainReport(d, info, author);
    d.Close();
  }
  if (d.GetStatus() == wsOk) return {};
  d.Abandon();
  return d.GetErrorText();
}

void ShowSoftwareReport(TReportViewer& viewer, const std::string& author) {
  TReportScratch scratch;
  const std::string& path = scratch.Make(ReportTempFolder(), "Inf", ".rtf");
  const std::string error = WriteRtfReport(path, author, ProbeInstalledSoftware(TProbePlaces::System()));
  if (!error.empty()) {
    viewer.ShowError(error);
    return;
  }
  viewer.Preview({path, false, kSoftwareReportTitle, false});
}
