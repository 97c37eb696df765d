// How a finished report is shown. The report frame decides what to show and when the file is
// deleted; the desktop program implements the showing (preview window, word processor, message
// boxes). The command-line tool shows nothing and passes no viewer.
#pragma once

#include <string>

#include "reports/PageFurniture.h"

struct TPreviewRequest {
  std::string fileName;
  bool plainText = false;  // a plain text report (shown in "Courier New"), else RTF
  std::string title;       // print job title, and the window's title where the caller wants one
  bool landscape = false;  // the report prints in landscape orientation
  TPageFurniture furniture;  // what its printed pages show beside it
};

class TReportViewer {
 public:
  virtual ~TReportViewer() = default;
  // Shows the file in the preview window and returns when the window closed; false when the
  // window could not be shown. The frame deletes a temporary file afterwards either way.
  virtual bool Preview(const TPreviewRequest& request) = 0;
  // Hands the file to the desktop's application for its type (a word processor for RTF); false
  // when no application took it. The application reads the file after this returns.
  virtual bool OpenInWordProcessor(const std::string& fileName, const std::string& title,
                                   const std::string& author) = 0;
  // An error box showing the message framed by one line feed before and after.
  virtual void ShowError(const std::string& message) = 0;
};

// The message shown when no application could open a report.
inline const char* const kNoWordProcessorText =
    "Unable to view report with a word processor. A word processor may not be installed.";
