#include "TsMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>

#include "TsAbout.h"
#include "TsEdit.h"
#include "TsGrids.h"
#include "TsHelp.h"
#include "TsMessages.h"
#include "TsPages.h"
#include "TsRecordDlgs.h"
#include "TsStart.h"
#include "qrlbus/QrlBus.h"
#include "vocab/CropVocab.h"
#include "filebase/FileUtl.h"
#include "store/StateTables.h"

namespace {

const int kPanelWidths[kStatusPanelCount] = {232, 24, 80, 20, 96, 68};

}  // namespace

TMainForm::TMainForm(TAppStartup& startup, QWidget* parent)
    : QMainWindow(parent), startup_(startup), qrlStarter_(QrlBusStarter()) {
  setWindowIcon(ProgramIcon());
  actions_ = BuildMenuBar(menuBar());
  pages_ = new TRecordPages;
  centre_ = new QStackedWidget;
  centre_->addWidget(new QWidget);  // shown while no record is
  centre_->addWidget(pages_);
  setCentralWidget(centre_);
  BuildStatusBar();
  ConnectMenu();
  grids_ = new TRecordGrids(*this, *pages_);
  ConnectPages();
  ConnectRecordCmds();
  ConnectSoilsCmds();
  ConnectReportCmds();
  ConnectSummaryCmds();
  help_ = std::make_unique<THelpViewer>(QPath(startup_.ProgramFile(kHelpFolder)), this);
  RecordDlgHelp() = [this](int context) { ShowHelp(context); };
  qApp->installEventFilter(this);
  ConnectInterchangeCmds();
  pages_->CanLeavePage = [this] { return FormDataOkay(); };  // a failing field keeps its page
  for (const std::string& name : NotYetAvailableNames())
    if (QWidget* button = pages_->findChild<QWidget*>(QString::fromStdString(name))) MarkNotYetAvailable(button);
  SetMessageParent(this);
  FitToScreen();
  UpdateForm();
}

TMainForm::~TMainForm() {
  qApp->removeEventFilter(this);
  RecordDlgHelp() = nullptr;
  if (projectOpen_) mda_.Close();
  SetMessageParent(nullptr);
}

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
  panels_[spCrop]->setAlignment(Qt::AlignCenter);
  panels_[spHint]->setMinimumWidth(kPanelWidths[spHint]);
  panels_[spHint]->setMaximumWidth(QWIDGETSIZE_MAX);
  recScroll_ = new QScrollBar(Qt::Horizontal);
  recScroll_->setPageStep(10);
  recScroll_->setTracking(false);  // dragging the thumb moves only when it is let go
  recScroll_->setMinimumWidth(120);
  recScroll_->setFocusPolicy(Qt::NoFocus);
  bar->addWidget(recScroll_, 0);
  connect(recScroll_, &QScrollBar::valueChanged, this, &TMainForm::RecordScrolled);
}

void TMainForm::ConnectMenu() {
  auto on = [this](const char* name, auto handler) { connect(Action(name), &QAction::triggered, this, handler); };
  on("FileNewCmd", [this] { NewProjectFile(); });
  on("FileOpenCmd", [this] { OpenProjectFile(); });
  on("FileCloseCmd", [this] { CloseProjectFile(); });
  on("FilePropertiesCmd", [this] { DoFilePropertiesDlg(); });
  on("FileExitCmd", [this] { close(); });
  on("RecordPrevCmd", [this] {
    if (curRec_ > 1) GoToRec(curRec_ - 1);
  });
  on("RecordNextCmd", [this] {
    if (curRec_ < mda_.RecordCount()) GoToRec(curRec_ + 1);
  });
  on("RecordFirstCmd", [this] { GoToRec(1); });
  on("RecordLastCmd", [this] { GoToRec(mda_.RecordCount()); });
  on("ToolsSetbacksCmd", [this] { SetbacksReport(); });
  on("ToolsCostEditorCmd", [this] { CostFileEditor(); });
  on("HelpAboutCmd", [this] { DoAboutDlg(); });
  for (const char* name : {"HelpContentsCmd", "HelpWhatsNewCmd", "HelpFaqCmd", "HelpStartCmd", "HelpTipsCmd",
                           "HelpFilesCmd", "HelpProblemsCmd"}) {
    QAction* action = Action(name);
    connect(action, &QAction::triggered, this, [this, action] { ShowHelp(action->data().toInt()); });
  }
}

bool TMainForm::ShowHelp(int context) { return help_->ShowContext(context); }

int TMainForm::F1HelpContext(const QWidget* widget) const {
  if (auto* menu = qobject_cast<const QMenu*>(QApplication::activePopupWidget())) {
    for (const QMenu* m = menu; m; m = qobject_cast<const QMenu*>(m->parentWidget()))
      if (const QAction* a = m->activeAction(); a && a->data().toInt()) return a->data().toInt();
    return menu->menuAction()->data().toInt();
  }
  if (const int context = HelpContextOf(widget)) return context;
  return centre_->currentWidget() == pages_ ? TRecordPages::PageHelpContext(pages_->currentIndex()) : 1;
}

// F1 anywhere in the program but the help window opens the help of what has the focus.
bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
      static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier)
    return QMainWindow::eventFilter(watched, event);
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || qobject_cast<THelpWindow*>(widget->window())) return QMainWindow::eventFilter(watched, event);
  if (QApplication::activeModalWidget() && !QApplication::activePopupWidget() &&
      widget->window() != QApplication::activeModalWidget())
    widget = QApplication::activeModalWidget();
  ShowHelp(F1HelpContext(widget));
  return true;
}

// The window may be resized and maximized freely down to its designed client area (632 by 434
// pixels below the menu bar); the pages scroll when it is smaller than they are. It starts at the
// size its pages need, as far as the screen allows (leaving room for the window frame).
void TMainForm::FitToScreen() {
  setMinimumSize(632, 434 + menuBar()->sizeHint().height());
  // Hidden pages, and what holds them, keep their sizes from before the lists and labels were
  // filled until they are shown: ask them again.
  for (QLayout* l : findChildren<QLayout*>()) l->invalidate();
  for (QWidget* w : {static_cast<QWidget*>(pages_), static_cast<QWidget*>(centre_)}) w->updateGeometry();
  QSize size = sizeHint().expandedTo(minimumSize());
  if (const QScreen* s = screen()) size = size.boundedTo(s->availableGeometry().size() - QSize(16, 48));
  resize(size.expandedTo(minimumSize()));
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
  for (const char* scheme : {"http:", "https:", "ftp:"})
    if (hint.startsWith(scheme, Qt::CaseInsensitive)) return;
  panels_[spHint]->setText(hint.isEmpty() ? QString() : " " + hint);
}

std::string TMainForm::PromptForCountyNamesFileName() const { return startup_.ProgramFile(kCountyFileName); }

// Abort ends the program quietly: the reads that still follow before it ends fail without asking.
bool TMainForm::ReadCountyRetry(const std::string& fullErrorText) {
  if (aborted_) return false;
  if (Messages().AbortRetry(QMsg(fullErrorText))) return true;
  aborted_ = true;
  QCoreApplication::exit(1);
  return false;
}

bool TMainForm::InitForm() {
  const bool normal = startup_.NormalStart;
  if (normal && startup_.Args.empty()) DoAboutDlg();
  const QString failure = "Unable to start " + QStr(startup_.VersionInfo.InternalName) +
                          " because of a problem with a required file:\n\n";
  if (!mcn_.Load(PromptForCountyNamesFileName(), [this](const std::string& t) { return ReadCountyRetry(t); })) {
    // After Abort the user has already seen the failure: the program just ends.
    if (normal && !aborted_) Messages().Error(failure + QMsg(mcn_.FullErrorText()));
    return false;
  }
  country_ = std::make_unique<TCountrySettings>(mcn_.AddressSelector());
  if (!mdf_.LoadForCountry(DefinitionFileName(mcn_.FileName), mcn_.CountryCode())) {
    if (normal) Messages().Error(failure + QMsg(mdf_.FullErrorText()));
    return false;
  }
  refs_ = std::make_unique<TLoadedRefs>(mcn_, mdf_);
  InitFixedLists();
  ApplyCountrySettings();
  const std::string project = startup_.ProjectArgument();
  if (!project.empty()) OpenProjectFile(project);
  FitToScreen();  // the lists are filled now: the pages know their size
  return !aborted_;
}

TMenuState TMainForm::MenuState() const {
  if (!projectOpen_) return {};
  return {true, mda_.IsWritable(), mda_.RecordCount(), mda_.ProjectState() != 0};
}

void TMainForm::SetEditingEnabled(bool writable) {
  for (auto& [field, edit] : pages_->Entries()) edit->setReadOnly(!writable);
  for (QComboBox* combo : pages_->Combos()) combo->setEnabled(writable);
  pages_->AnnManureCheck->setEnabled(writable);
  grids_->SetEditable(writable);
}

void TMainForm::UpdateForm() {
  if (HasRecords()) {
    centre_->setCurrentWidget(pages_);
    recScroll_->blockSignals(true);
    recScroll_->setRange(1, mda_.RecordCount());
    recScroll_->setValue(1);
    recScroll_->blockSignals(false);
    recScroll_->setEnabled(true);
    SetEditingEnabled(mda_.IsWritable());
    pages_->setCurrentIndex(pgGeneral);
    pages_->Entry("Operation")->setFocus(Qt::OtherFocusReason);
  } else {
    centre_->setCurrentIndex(0);
    recScroll_->setEnabled(false);
  }
  UpdateTitleBar();
  UpdateStatusBar();
  UpdateMenu();
}

void TMainForm::UpdateTitleBar() {
  QString title = QStr(startup_.VersionInfo.InternalName);
  if (projectOpen_) {
    title += " - " + QPath(ExtractFileName(mda_.FileName));
    if (mda_.IsLocked()) title += " (Locked)";
    else if (mda_.IsReadOnly()) title += " (Read-Only)";
  }
  setWindowTitle(title);
}

void TMainForm::UpdateStatusBar() {
  for (int i = spState; i < kStatusPanelCount; ++i) panels_[i]->clear();
  if (!projectOpen_) return;
  if (mda_.RecordCount() == 0) {
    panels_[spRecordNumber]->setText("0 records");
    return;
  }
  const int state = editRec_.State;
  panels_[spState]->setText(QStr(mcn_.StateAbbrev(state)));
  panels_[spCounty]->setText(" " + QStr(mcn_.CountyName(editRec_.County, state)));
  const char letter = CropLetter(editRec_.Cur_Crop);
  panels_[spCrop]->setText(letter ? QString(QChar(letter)) : QString());
  const std::string name = editRec_.Field_Name.Str(), sub = editRec_.SubFld_Nam.Str();
  QLabel* id = panels_[spRecordId];
  if (!name.empty() || !sub.empty()) {
    id->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    id->setText(" " + QStr(name) + " " + QStr(sub));
  } else {
    id->setAlignment(Qt::AlignCenter);
    id->setText(QString::number(int32_t(editRec_.Field_ID)));
  }
  panels_[spRecordNumber]->setText(QString::number(curRec_) + "/" + QString::number(mda_.RecordCount()));
}

void TMainForm::UpdateMenu() {
  const TMenuState state = MenuState();
  for (auto& [name, action] : actions_) action->setEnabled(MenuCommandEnabled(name, state) && !NotYetAvailable(name));
  for (QPushButton* button : {pages_->UpdSoilsQrlBtn, pages_->UpdSoilsSdmBtn})
    button->setEnabled(state.writable && !NotYetAvailable(button->objectName().toStdString()));
}

bool TMainForm::ShowFileError() {
  if (mda_.ErrorState == esMoved && projectOpen_) return SaveMovedProject();
  Messages().Error(QMsg(mda_.FullErrorText()));
  return false;
}

bool TMainForm::FormDataOkay() {
  if (!HasRecords()) return true;
  auto* edit = qobject_cast<TEntryEdit*>(QApplication::focusWidget());
  if (!edit || !pages_->isAncestorOf(edit)) return true;
  return edit->CheckNow();
}

bool TMainForm::SaveEditRec() {
  if (!HasRecords() || !RecordModified()) return true;
  if (!mda_.IsOpen()) {  // edits that can no longer reach the file must not look saved
    if (mda_.ErrorState == esNone) mda_.ErrorState = esWrite;
    ShowFileError();
    return false;
  }
  if (!mda_.IsWritable()) return true;
  if (!mda_.WriteRecord(curRec_, editRec_, true)) return ShowFileError();  // saved elsewhere, or not
  savedRec_ = editRec_;
  return true;
}

bool TMainForm::LoadEditRec(int n) {
  TFieldRec rec;
  if (!mda_.ReadRecord(n, rec)) return false;
  AssignEditRec(rec, n);
  return true;
}

bool TMainForm::GoToRec(int n) {
  if (!FormDataOkay() || !SaveEditRec()) return false;
  TWaitCursor wait;
  if (!LoadEditRec(n)) {
    ShowFileError();
    return false;
  }
  UpdateStatusBar();
  recScroll_->blockSignals(true);
  recScroll_->setValue(n);
  recScroll_->blockSignals(false);
  return true;
}

void TMainForm::RecordScrolled(int value) {
  if (!HasRecords() || value == curRec_) return;
  if (!GoToRec(value)) {
    recScroll_->blockSignals(true);
    recScroll_->setValue(curRec_);
    recScroll_->blockSignals(false);
  }
}

bool TMainForm::CloseProjectFile() {
  if (!FormDataOkay() || !SaveEditRec()) return false;
  if (projectOpen_) mda_.Close();
  projectOpen_ = false;
  curRec_ = 0;
  UpdateForm();
  return true;
}

void TMainForm::DoAboutDlg() {
  TAboutBox box(startup_, this);
  box.ShowHelp = [this](int context) { ShowHelp(context); };
  box.exec();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (CloseProjectFile()) {
    event->accept();
    return;
  }
  const QString question = "\nDo you want to exit " + QStr(startup_.VersionInfo.InternalName) +
                           " anyway, abandoning changes you made to the current record?\n";
  if (Messages().Confirm(question, true, TAnswer::No) != TAnswer::Yes) {  // Enter keeps the edits
    event->ignore();
    return;
  }
  // Abandoned: the project is closed without writing the edit record.
  mda_.Close();
  projectOpen_ = false;
  event->accept();
}
