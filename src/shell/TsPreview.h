// The report preview window: a read-only view of an RTF or plain text report with Find, Print,
// Save, Close and Help along the bottom.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <functional>
#include <memory>

#include "TsRecordDlgs.h"
#include "reports/PageFurniture.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPrinter;
class QPushButton;
class QTextBrowser;

// The help topic of the preview window (its Help button and F1).
constexpr int kPreviewHelpContext = 502;

// Shows the print dialog for a printer; true when the user chose to print. Replaceable by tests.
using TPrintSetup = std::function<bool(QPrinter& printer, QWidget* parent)>;
TPrintSetup& PrintSetup();

class TRtfPreviewDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TRtfPreviewDlg(QWidget* parent = nullptr);
  ~TRtfPreviewDlg() override;

  // A plain text report (before LoadFile): shown in 10 point Courier New, saved as text.
  void SetPlainText(bool plain) { plain_ = plain; }
  // Loads the report file; false when it cannot be read. A long plain text report shows its
  // first pages at once and reads the rest in steps while the window is up.
  bool LoadFile(const QString& fileName);
  // Reads what is left of a report being read in steps.
  void FinishLoading();
  // Word wrap on also removes the horizontal scroll bar.
  void SetWordWrap(bool wrap);
  void SetLandscape(bool landscape) { landscape_ = landscape; }
  void SetPrintJobTitle(const QString& title) { jobTitle_ = title; }
  // What the printed pages show beside the report.
  void SetFurniture(const TPageFurniture& furniture) { furniture_ = furniture; }

  void FindBtnClick();
  void PrintBtnClick();
  void SaveBtnClick();

  QTextBrowser* View = nullptr;
  QGroupBox* FindGroup = nullptr;
  QLineEdit* FindEdit = nullptr;
  QCheckBox* MatchCaseCheck = nullptr;
  QPushButton* FindBtn = nullptr;
  QPushButton* PrintBtn = nullptr;
  QPushButton* SaveBtn = nullptr;
  QPushButton* CloseBtn = nullptr;
  QPushButton* HelpBtn = nullptr;

 private:
  void TakeMainWindowGeometry();
  void OpenLink(const QUrl& url);
  bool SaveTo(const QString& path);
  void LoadMore();

  QMetaObject::Connection focusWatch_;
  QString fileName_;
  QByteArray bytes_;
  bool plain_ = false;
  qsizetype loaded_ = 0;  // bytes of a plain text report in the view
  bool landscape_ = false;
  QString jobTitle_;
  TPageFurniture furniture_;
};

// A window-modal progress window with Cancel for long report work, shown after half a second.
// Its callback moves the bar and keeps the program's windows painted; false once cancelled.
class TWorkProgress {
 public:
  TWorkProgress(QWidget* parent, const QString& label, const QString& title);
  ~TWorkProgress();
  TRenderProgress Callback();
  bool Cancelled() const;
  void Close();

 private:
  std::unique_ptr<class QProgressDialog> dlg_;
};
