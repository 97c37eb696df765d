// Showing finished reports on the desktop: the "Save Report As" chooser and the viewer the report
// frame shows reports through (the preview window, the desktop's word processor, error boxes).
#pragma once

#include <QString>
#include <functional>

#include "reports/RptViewer.h"

// The "Save Report As" chooser: filter 1 text, 2 RTF, 3 HTML, anything else every kind (RTF
// first, PDF last). Asks again while the chosen name is refused; false when cancelled. The kind
// follows the extension: .rtf, .html, .pdf, anything else plain text.
bool SelectReportFile(int filter, const QString& dialogTitle, QString& fileName, int& kind);

// An error box of a report dialog: the message between two line breaks.
void ShowReportError(const QString& message);

class TDesktopViewer : public TReportViewer {
 public:
  // The preview window, modal.
  bool Preview(const TPreviewRequest& request) override;
  // The desktop's default application for the file's type, through the platform's open service.
  bool OpenInWordProcessor(const std::string& fileName, const std::string& title, const std::string& author) override;
  void ShowError(const std::string& message) override;
};

// The viewer of the desktop program.
TReportViewer& DesktopViewer();

// Shows reports through `inner` once `beforeShowing` has run (it takes a progress window down).
class TViewerAfterProgress : public TReportViewer {
 public:
  TViewerAfterProgress(TReportViewer& inner, std::function<void()> beforeShowing)
      : inner_(inner), before_(std::move(beforeShowing)) {}
  bool Preview(const TPreviewRequest& request) override {
    before_();
    return inner_.Preview(request);
  }
  bool OpenInWordProcessor(const std::string& fileName, const std::string& title, const std::string& author) override {
    before_();
    return inner_.OpenInWordProcessor(fileName, title, author);
  }
  void ShowError(const std::string& message) override { inner_.ShowError(message); }

 private:
  TReportViewer& inner_;
  std::function<void()> before_;
};
