#include "TsMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStatusTipEvent>

#include "TsAbout.h"
#include "TsMessages.h"
#include "TsPages.h"
#include "TsStart.h"
#include "common/TextUtil.h"

namespace {

const int kPanelWidths[kStatusPanelCount] = {232, 24, 80, 20, 96, 68};

}  // namespace

TMainForm::TMainForm(TAppStartup& startup, QWidget* parent) : QMainWindow(parent), startup_(startup) {
  setWindowIcon(ProgramIcon());
  actions_ = BuildMenuBar(menuBar());
  pages_ = new TRecordPages;
  centre_ = new QStackedWidget;
  centre_->addWidget(new QWidget);  // shown while no record is
  centre_->addWidget(pages_);
  setCentralWidget(centre_);
  BuildStatusBar();
  ConnectMenu();
  SetMessageParent(this);
  FitToScreen();
  UpdateForm();
}

TMainForm::~TMainForm() { SetMessageParent(nullptr); }

QAction* TMainForm::Action(const std::string& name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

void TMainForm::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(false);
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() - 1);
  for (int i = 0; i < kStatusPanelCount; ++i) {
    auto* panel = new QLabel;
    panel->setFont(small);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setFixedWidth(kPanelWidths[i]);
    panel->setTextFormat(Qt::PlainText);
    bar->addWidget(panel, i == spHint ? 1 : 0);
    panels_[i] = panel;
  }
  QFont bold = small;
  bold.setBold(true);
  panels_[spRecordId]->setFont(bold);
  panels_[spRecordNumber]->setAlignment(Qt::AlignCenter);
  panels_[spHint]->setMinimumWidth(kPanelWidths[spHint]);
  panels_[spHint]->setMaximumWidth(QWIDGETSIZE_MAX);
  recScroll_ = new QScrollBar(Qt::Horizontal);
  recScroll_->setPageStep(10);
  recScroll_->setMinimumWidth(120);
  bar->addWidget(recScroll_, 0);
}

void TMainForm::ConnectMenu() {
  connect(Action("FileExitCmd"), &QAction::triggered, this, &QWidget::close);
  connect(Action("HelpAboutCmd"), &QAction::triggered, this, &TMainForm::DoAboutDlg);
}

// The window starts at the size its pages need and may grow as far as the screen allows: wider
// by 135 (or 90) pixels and taller by 24 when there is room.
void TMainForm::FitToScreen() {
  adjustSize();
  QSize size = sizeHint().expandedTo(QSize(632, 434));
  setMinimumSize(size);
  if (const QScreen* s = screen()) {
    const QRect work = s->availableGeometry();
    if (work.width() - size.width() >= 135) size.rwidth() += 135;
    else if (work.width() - size.width() >= 90) size.rwidth() += 90;
    if (work.height() >= size.height() + 24) size.rheight() += 24;
  }
  setMaximumSize(size);
  resize(size);
}

bool TMainForm::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

// Hints of web links are their addresses; those are not shown.
void TMainForm::ShowHint(const QString& hint) {
  if (hint.startsWith("http:", Qt::CaseInsensitive) || hint.startsWith("ftp:", Qt::CaseInsensitive)) return;
  panels_[spHint]->setText(hint.isEmpty() ? QString() : " " + hint);
}

TMenuState TMainForm::MenuState() const { return {}; }

bool TMainForm::InitForm() {
  if (startup_.NormalStart && startup_.Args.empty()) DoAboutDlg();
  return true;
}

void TMainForm::UpdateForm() {
  centre_->setCurrentIndex(0);
  recScroll_->setEnabled(false);
  UpdateTitleBar();
  UpdateStatusBar();
  UpdateMenu();
}

void TMainForm::UpdateTitleBar() {
  const QString title = QStr(startup_.VersionInfo.InternalName);
  setWindowTitle(title);
  QApplication::setApplicationDisplayName(QString());
}

void TMainForm::UpdateStatusBar() {
  for (int i = spState; i < kStatusPanelCount; ++i) panels_[i]->clear();
}

void TMainForm::UpdateMenu() {
  const TMenuState state = MenuState();
  for (auto& [name, action] : actions_) action->setEnabled(MenuCommandEnabled(name, state));
}

void TMainForm::DoAboutDlg() {
  TAboutBox box(startup_, this);
  box.exec();
}

void TMainForm::closeEvent(QCloseEvent* event) { event->accept(); }
