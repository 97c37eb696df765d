// The main window: menus, the ten record pages, the status bar and the shell state.
#pragma once

#include <QMainWindow>
#include <map>
#include <string>

#include "TsMenus.h"

class QAction;
class QLabel;
class QScrollBar;
class QStackedWidget;
class TAppStartup;
class TRecordPages;

// Status bar panels, left to right.
enum TStatusPanel { spHint, spState, spCounty, spCrop, spRecordId, spRecordNumber, kStatusPanelCount };

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(TAppStartup& startup, QWidget* parent = nullptr);
  ~TMainForm() override;

  // The second half of start-up; false means the program must end.
  bool InitForm();

  void UpdateForm();
  void UpdateTitleBar();
  void UpdateStatusBar();
  void UpdateMenu();

  void DoAboutDlg();

  QAction* Action(const std::string& name) const;
  QLabel* StatusPanel(int panel) const { return panels_[panel]; }
  QScrollBar* RecordScrollBar() const { return recScroll_; }
  TRecordPages* Pages() const { return pages_; }
  const TAppStartup& Startup() const { return startup_; }

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildStatusBar();
  void ConnectMenu();
  void FitToScreen();
  void ShowHint(const QString& hint);
  TMenuState MenuState() const;

  TAppStartup& startup_;
  TRecordPages* pages_ = nullptr;
  QStackedWidget* centre_ = nullptr;
  QScrollBar* recScroll_ = nullptr;
  QLabel* panels_[kStatusPanelCount] = {};
  std::map<std::string, QAction*> actions_;
};
