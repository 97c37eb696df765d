#include "TsPreview.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include "TsAbout.h"
#include "TsFileCmds.h"
#include "TsMessages.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "filebase/SafeWrite.h"
#include "render/PageRender.h"

namespace {

constexpr int kFindLength = 255;
// A plain text report is shown after its first bytes and read on in parts of this size.
constexpr qsizetype kLoadStep = 256 * 1024;

// The end of the part of `bytes` from `from` on: after the line end that follows kLoadStep bytes.
qsizetype PartEnd(const QByteArray& bytes, qsizetype from) {
  if (bytes.size() - from <= kLoadStep) return bytes.size();
  const qsizetype end = bytes.indexOf('\n', from + kLoadStep);
  return end < 0 ? bytes.size() : end + 1;
}
constexpr qreal kPlainPoints = 10;  // the view font of a plain text report
const QSize kDesignedSize(632, 453);

bool ShowPrintDialog(QPrinter& printer, QWidget* parent) {
  QPrintDialog dlg(&printer, parent);
  return dlg.exec() == QDialog::Accepted;
}

// The printout's margins, never inside the printer's unprintable edge.
void SetPrintMargins(QPrinter& printer, const QMarginsF& wanted) {
  QPageLayout layout = printer.pageLayout();
  layout.setUnits(QPageLayout::Inch);
  const QMarginsF least = layout.minimumMargins();
  const QMarginsF margins(std::max(wanted.left(), least.left()), std::max(wanted.top(), least.top()),
                          std::max(wanted.right(), least.right()), std::max(wanted.bottom(), least.bottom()));
  printer.setPageMargins(margins, QPageLayout::Inch);
}

}  // namespace

TWorkProgress::TWorkProgress(QWidget* parent, const QString& label, const QString& title)
    : dlg_(std::make_unique<QProgressDialog>(label, "Cancel", 0, 1, parent)) {
  dlg_->setWindowTitle(title);
  dlg_->setWindowModality(Qt::WindowModal);
  dlg_->setMinimumDuration(500);
  dlg_->setAutoReset(false);
}

TWorkProgress::~TWorkProgress() = default;

TRenderProgress TWorkProgress::Callback() {
  return [this](int done, int total) {
    dlg_->setMaximum(std::max(total, 1));
    dlg_->setValue(std::clamp(done, 0, std::max(total, 1)));
    return !dlg_->wasCanceled();
  };
}

bool TWorkProgress::Cancelled() const { return dlg_->wasCanceled(); }

void TWorkProgress::Close() {
  dlg_->reset();  // hides it, and it does not show itself again
  dlg_->hide();
}

TPrintSetup& PrintSetup() {
  static TPrintSetup setup = ShowPrintDialog;
  return setup;
}

TRtfPreviewDlg::TRtfPreviewDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Preview");
  View = new QTextBrowser;
  View->setOpenLinks(false);
  View->setLineWrapMode(QTextEdit::NoWrap);
  View->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  View->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  connect(View, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) { OpenLink(url); });

  FindGroup = new QGroupBox(" Find Text ");
  auto* label = new QLabel("Find &What");
  FindEdit = new QLineEdit;
  FindEdit->setMaxLength(kFindLength);
  label->setBuddy(FindEdit);
  MatchCaseCheck = new QCheckBox("&Match Case");
  FindBtn = HintedButton("&Find", "Search report for text");
  auto* findLayout = new QHBoxLayout(FindGroup);
  findLayout->addWidget(label);
  findLayout->addWidget(FindEdit, 1);
  findLayout->addWidget(MatchCaseCheck);
  findLayout->addWidget(FindBtn);

  PrintBtn = HintedButton("&Print", "Print report");
  SaveBtn = HintedButton("&Save", "Save report to file");
  CloseBtn = HintedButton("&Close", "Close Preview");
  HelpBtn = HintedButton("Help", {});
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(FindGroup, 1);
  for (QPushButton* b : {PrintBtn, SaveBtn, CloseBtn, HelpBtn}) bottom->addWidget(b, 0, Qt::AlignBottom);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(View, 1);
  layout->addLayout(bottom);

  connect(FindBtn, &QPushButton::clicked, this, &TRtfPreviewDlg::FindBtnClick);
  connect(PrintBtn, &QPushButton::clicked, this, &TRtfPreviewDlg::PrintBtnClick);
  connect(SaveBtn, &QPushButton::clicked, this, &TRtfPreviewDlg::SaveBtnClick);
  connect(CloseBtn, &QPushButton::clicked, this, &QDialog::reject);
  SetHelpContext(this, kPreviewHelpContext);
  connect(HelpBtn, &QPushButton::clicked, this, [] {
    if (RecordDlgHelp()) RecordDlgHelp()(kPreviewHelpContext);
  });
  // Enter finds while the focus is in the Find group.
  focusWatch_ = connect(qApp, &QApplication::focusChanged, this,
                        [this](QWidget*, QWidget* now) { FindBtn->setDefault(now && FindGroup->isAncestorOf(now)); });

  setMinimumSize(kDesignedSize);
  resize(kDesignedSize);
  TakeMainWindowGeometry();
}

// The focus moves while the window is taken down: the watch must end first.
TRtfPreviewDlg::~TRtfPreviewDlg() { disconnect(focusWatch_); }

// The window covers the main window, when the program has one.
void TRtfPreviewDlg::TakeMainWindowGeometry() {
  QWidget* main = parentWidget() ? parentWidget()->window() : nullptr;
  if (!qobject_cast<QMainWindow*>(main))
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<QMainWindow*>(w) && w->isVisible()) main = w;
  if (!qobject_cast<QMainWindow*>(main)) return;
  move(main->pos());
  resize(main->size().expandedTo(kDesignedSize));
}

bool TRtfPreviewDlg::LoadFile(const QString& fileName) {
  TWaitCursor wait;
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return false;
  fileName_ = fileName;
  bytes_ = file.readAll();
  QTextDocument* doc = View->document();
  if (plain_) {
    loaded_ = PartEnd(bytes_, 0);
    ReadPlainReport(bytes_.left(loaded_), *doc);
    if (loaded_ < bytes_.size()) QTimer::singleShot(0, this, &TRtfPreviewDlg::LoadMore);
  } else {
    loaded_ = bytes_.size();
    TRtfMeta meta;
    ReadRtf(bytes_, *doc, meta);
  }
  View->moveCursor(QTextCursor::Start);
  return true;
}

void TRtfPreviewDlg::LoadMore() {
  if (loaded_ >= bytes_.size()) return;
  const qsizetype end = PartEnd(bytes_, loaded_);
  AppendPlainReport(bytes_.mid(loaded_, end - loaded_), *View->document());
  loaded_ = end;
  if (loaded_ < bytes_.size()) QTimer::singleShot(0, this, &TRtfPreviewDlg::LoadMore);
}

void TRtfPreviewDlg::FinishLoading() {
  if (loaded_ >= bytes_.size()) return;
  TWaitCursor wait;
  AppendPlainReport(bytes_.mid(loaded_), *View->document());
  loaded_ = bytes_.size();
}

void TRtfPreviewDlg::SetWordWrap(bool wrap) {
  View->setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
  View->setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

// From the selection start (one character further when there is a selection) to the end of the
// text; a hit is selected, a miss says so and hands the search text back for changing.
void TRtfPreviewDlg::FindBtnClick() {
  const QString text = FindEdit->text();
  if (text.isEmpty()) {
    FindEdit->setFocus();
    return;
  }
  FinishLoading();
  const QTextCursor current = View->textCursor();
  const int from = current.selectionStart() + (current.hasSelection() ? 1 : 0);
  const QTextDocument::FindFlags flags =
      MatchCaseCheck->isChecked() ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
  const QTextCursor hit = View->document()->find(text, from, flags);
  if (!hit.isNull()) {
    View->setTextCursor(hit);
    return;
  }
  Messages().Info("\nText '" + text + "' was not found.\n");
  FindEdit->setFocus();
  FindEdit->selectAll();
}

void TRtfPreviewDlg::PrintBtnClick() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(jobTitle_);
  if (landscape_) printer.setPageOrientation(QPageLayout::Landscape);
  if (!PrintSetup()(printer, this)) return;
  TWaitCursor wait;
  SetPrintMargins(printer, PrintMargins(plain_, kPlainPoints));
  QTextDocument doc;
  TRtfMeta meta;
  ReadReportFor({bytes_, plain_}, doc, meta);
  TWorkProgress progress(this, "Printing the report...", "Print");
  const TPaintOutcome printed = PaintPages(doc, printer, furniture_, jobTitle_, progress.Callback());
  progress.Close();
  if (printed == TPaintOutcome::Cancelled) printer.abort();
  else if (printed == TPaintOutcome::Failed) Messages().Error("Unable to print the report.");
}

void TRtfPreviewDlg::SaveBtnClick() {
  const QString filter = QString(plain_ ? "Text File (*.txt)" : "Rich Text Format (*.rtf)") + ";;PDF Document (*.pdf)";
  for (;;) {
    const QString path = FileChooser().SaveFile("Save Report As", filter);
    if (path.isEmpty()) return;
    const std::string p = PathStr(path);
    if (!plain_ && !SameText(ExtractFileExt(p), ".pdf")) {
      const std::string problem = ExtensionCheckText(p, ".rtf");
      if (!problem.empty()) {
        Messages().Error(QMsg(problem + "\n\nUse a different file name."));
        continue;
      }
    }
    SaveTo(path);
    return;
  }
}

// Copies the previewed file, or renders it, to the chosen path.
bool TRtfPreviewDlg::SaveTo(const QString& path) {
  const std::string p = PathStr(path);
  TWaitCursor wait;
  TWriteResult saved;
  if (SameText(ExtractFileExt(p), ".pdf")) {
    TSafeWrite out;
    saved = out.Begin(p, TTargetUse::Replace, "pdf");
    QString error;
    TWorkProgress progress(this, "Writing the PDF document...", "Save");
    const TPaintOutcome written = saved.Ok() ? WriteReportPdf({bytes_, plain_, furniture_}, QPath(out.TempPath()),
                                                              error, progress.Callback())
                                             : TPaintOutcome::Failed;
    progress.Close();
    if (written == TPaintOutcome::Cancelled) return false;  // the unfinished document goes with `out`
    if (saved.Ok() && written == TPaintOutcome::Failed)
      saved = {TWriteCode::Write, p, CpStr(error)};
    else if (saved.Ok())
      saved = out.Commit();
  } else {
    saved = CopyFileSafely(PathStr(fileName_), p, TTargetUse::Replace);
  }
  if (!saved.Ok())
    Messages().Error(path + "\nUnable to create this file for the following reason:\n\n" + QMsg(saved.Text));
  return saved.Ok();
}

void TRtfPreviewDlg::OpenLink(const QUrl& url) {
  // A scheme of one letter is a drive: the link names a file.
  const bool web = url.scheme().size() > 1;
  const QString target = web ? url.toString() : QUrl::fromLocalFile(url.toString(QUrl::FullyDecoded)).toString();
  if (!OpenService()(target, {})) Messages().Error("Unable to open " + target + ".");
}
