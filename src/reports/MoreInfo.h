// The installed software report: a one-page list of the operating system and of the programs
// that this program works with or that users are likely to ask support about.
#pragma once

#include <string>

#include "reports/RptViewer.h"
#include "reports/RtfFile.h"
#include "reports/SoftProbe.h"

inline const char* const kSoftwareReportTitle = "Information About Installed Software";

// The report as RTF, written through the RTF writer's own operations.
class TMoreInfoDoc : public TRtfOutFile {
 public:
  // Writes the whole report into the open writer (probing the running system).
  void WriteReport();
  void WriteReport(const TSoftwareInfo& info);

 private:
  void HeadingOn();
  void HeadingOff();
  void Section(const std::string& heading);
  void Row(const TSoftwareRow& row);
};

// "TIME on DAY DATE": the report clock's time, short day name and date in the system's formats.
std::string ReportStamp();
// "[This report prepared by AUTHOR at TIME on DAY DATE]".
std::string PreparedLine(const std::string& author);

// Writes the report to `path` in output kind 1 to 4; the error text (path and reason) or empty.
// A failed report leaves no file behind.
std::string WriteSoftwareReportFile(const std::string& path, int kind, const std::string& author,
                                    const TSoftwareInfo& info);
// The About box's link: writes the report to a temporary file ("Inf..."), shows it in the preview
// and deletes it; a failure is shown as an error.
void ShowSoftwareReport(TReportViewer& viewer, const std::string& author);
