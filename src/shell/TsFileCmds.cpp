#include "TsFileCmds.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGridLayout>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <sys/stat.h>

#include "TsAbout.h"
#include <algorithm>
#include <functional>
#include <utility>

#include "TsMain.h"
#include "TsMessages.h"
#include "TsRecordDlgs.h"
#include "TsStart.h"
#include "common/Locale.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "store/MdaFile.h"
#include "store/MdaFile5.h"

namespace {

// Whether two names lead to one file (links, other spellings of the folder).
bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

QString g_suggested;  // the name the next save dialog offers

class TPlatformChooser : public TFileChooser {
 public:
  QString OpenFile(const QString& title, const QString& filter, bool* readOnly) override {
    QFileDialog dlg(DialogOwner(), title, {}, filter);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setDefaultSuffix(filter.section("(*.", 1).section(QRegularExpression("[ )]"), 0, 0));
    // Of several filters the last, which takes every kind, is chosen at first.
    dlg.selectNameFilter(filter.section(";;", -1));
    dlg.setOption(QFileDialog::DontUseNativeDialog, readOnly != nullptr);
    QCheckBox* readOnlyBox = nullptr;
    if (readOnly) {  // the read-only choice below the file list
      readOnlyBox = new QCheckBox("Open as &read-only", &dlg);
      if (auto* grid = qobject_cast<QGridLayout*>(dlg.layout())) grid->addWidget(readOnlyBox, grid->rowCount(), 0, 1, -1);
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    if (readOnly) *readOnly = readOnlyBox->isChecked();
    return dlg.selectedFiles().first();
  }
  QStringList OpenFiles(const QString& title, const QString& filter) override {
    QFileDialog dlg(DialogOwner(), title, {}, filter);
    dlg.setFileMode(QFileDialog::ExistingFiles);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    return dlg.exec() == QDialog::Accepted ? dlg.selectedFiles() : QStringList();
  }
  QString SaveFile(const QString& title, const QString& filter, bool confirmOverwrite) override {
    QFileDialog dlg(DialogOwner(), title, {}, filter);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    // The default extension is the chosen filter's ("Text File (*.txt)" gives txt).
    auto useSuffixOf = [&dlg](const QString& f) { dlg.setDefaultSuffix(f.section("(*.", 1).section(')', 0, 0)); };
    useSuffixOf(filter.section(";;", 0, 0));
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, useSuffixOf);
    if (!g_suggested.isEmpty()) dlg.selectFile(std::exchange(g_suggested, QString()));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().first();
  }
};

TFileChooser* g_chooser = nullptr;

}  // namespace

TFileChooser& FileChooser() {
  static TPlatformChooser platform;
  return g_chooser ? *g_chooser : platform;
}

void SetFileChooser(TFileChooser* chooser) { g_chooser = chooser; }

void SuggestSaveName(const QString& path) { g_suggested = path; }

QString CreateProjectFilter(const std::string& internalName) {
  return QStr(internalName) + " Project Data (*" + kProjectExt + ")";
}

QString OpenProjectFilter(const std::string& internalName) {
  return QStr(internalName) + " Project Data (*" + kProjectExt + " *" + kOldProjectExt + ")";
}

std::string ExtensionCheckText(const std::string& path, const std::string& wanted) {
  return SameText(ExtractFileExt(path), wanted) ? std::string() : BadExtensionText(path, wanted);
}

std::string OutputNameCheckText(const std::string& path) {
  const int status = FileStatus(path);
  if (status == fsExists || status == fsMissing) return {};
  return FileStatusText(status, path) + "\n\nUse a different file name.";
}

// New Project dialog.

TNewFileDlg::TNewFileDlg(const TMcnFile& counties, int defaultYear, QWidget* parent)
    : QDialog(parent), regionWord_(counties.RegionWord()) {
  setWindowTitle("New Project");
  auto* stateBox = new QGroupBox("&State");
  SingleBtn = new QRadioButton("Si&ngle-" + QStr(regionWord_));
  MultiBtn = new QRadioButton("&Multi-" + QStr(regionWord_));
  SingleBtn->setChecked(true);
  StateList = new QListWidget;
  for (int s = 1; s <= counties.StateCount(); ++s) StateList->addItem(QStr(counties.StateName(s)));
  auto* stateLayout = new QVBoxLayout(stateBox);
  auto* choice = new QHBoxLayout;
  choice->addWidget(SingleBtn);
  choice->addWidget(MultiBtn);
  stateLayout->addLayout(choice);
  stateLayout->addWidget(StateList);
  connect(MultiBtn, &QRadioButton::toggled, StateList, [this](bool multi) { StateList->setEnabled(!multi); });

  YearEdit = new QLineEdit(defaultYear ? QString::number(defaultYear) : QString());
  YearEdit->setMaxLength(4);
  YearEdit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), YearEdit));
  TitleEdit = new QLineEdit;
  TitleEdit->setMaxLength(60);
  auto* form = new QFormLayout;
  form->addRow("&Year", YearEdit);
  form->addRow("&Title", TitleEdit);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
  connect(buttons, &QDialogButtonBox::accepted, this, &TNewFileDlg::accept);
  SetHelpContext(this, 101, buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(stateBox);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

bool TNewFileDlg::CheckChoices() {
  if (SingleBtn->isChecked() && StateList->currentRow() < 0) {
    Messages().Error("Specify the new file's " + QStr(regionWord_) + ".");
    StateList->setFocus();
    return false;
  }
  bool ok = false;
  const int year = YearEdit->text().toInt(&ok);
  if (!ok || year < kFirstProjectYear || year > kLastProjectYear) {
    Messages().Error("Year must be in the range " + QString::number(kFirstProjectYear) + "-" +
                     QString::number(kLastProjectYear) + ".");
    YearEdit->setFocus();
    return false;
  }
  return true;
}

void TNewFileDlg::accept() {
  if (CheckChoices()) QDialog::accept();
}

TNewProjectSettings TNewFileDlg::Settings() const {
  TNewProjectSettings s;
  s.state = SingleBtn->isChecked() ? StateList->currentRow() + 1 : 0;
  s.year = YearEdit->text().toInt();
  s.title = CpStr(TitleEdit->text());
  return s;
}

// Properties dialog.

TPropertiesDlg::TPropertiesDlg(TMdaFile& project, const TMcnFile& counties, QWidget* parent) : QDialog(parent) {
  setWindowTitle("Project Properties");
  const int state = project.ProjectState();
  const QString stateText = state ? QStr(counties.StateName(state)) : "Multi-" + QStr(counties.RegionWord());
  auto* form = new QFormLayout;
  form->addRow("File Name:", new QLabel(QPath(ExtractFileName(project.FileName))));
  form->addRow("Folder:", new QLabel(QPath(ExtractFileDir(project.FileName))));
  form->addRow("State:", new QLabel(stateText));
  form->addRow("Year:", new QLabel(QString::number(project.ProjectYear())));
  form->addRow("Required Definition File:",
               new QLabel("Release " + QStr(FormatShortDate(project.RequiredRelease())) + " or later"));
  TitleEdit = new QLineEdit(QStr(project.Title()));
  AuthorEdit = new QLineEdit(QStr(project.Author()));
  CompanyEdit = new QLineEdit(QStr(project.Company()));
  for (QLineEdit* e : {TitleEdit, AuthorEdit, CompanyEdit}) e->setMaxLength(60);
  CommentsEdit = new QPlainTextEdit(QStr(project.Comments()));
  CommentsEdit->setTabChangesFocus(true);
  connect(CommentsEdit, &QPlainTextEdit::textChanged, this, [this] {
    if (CommentsEdit->toPlainText().size() > 254) CommentsEdit->undo();  // at most 254 characters
  });
  form->addRow("&Title", TitleEdit);
  form->addRow("&Author", AuthorEdit);
  form->addRow("C&ompany", CompanyEdit);
  form->addRow("&Comments", CommentsEdit);
  const bool writable = project.IsWritable();
  for (QLineEdit* e : {TitleEdit, AuthorEdit, CompanyEdit}) e->setReadOnly(!writable);
  CommentsEdit->setReadOnly(!writable);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  SetHelpContext(this, 104, buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

// The commands of the main window.

bool TMainForm::NewProjectFile() {
  if (!FormDataOkay()) return false;
  TNewFileDlg dlg(mcn_, projectOpen_ ? mda_.ProjectYear() : 0, this);
  if (dlg.exec() != QDialog::Accepted) return false;
  const TNewProjectSettings settings = dlg.Settings();
  std::string path;
  for (;;) {
    // An existing file is never replaced: the dialog does not offer it, the refusal below says so.
    path = PathStr(FileChooser().SaveFile("Save New Project As", CreateProjectFilter(startup_.VersionInfo.InternalName),
                                        false));
    if (path.empty()) return false;
    std::string problem = ExtensionCheckText(path, kProjectExt);
    if (problem.empty() && FileStatus(path) != fsMissing) problem = path + "\nFile already exists.";
    if (problem.empty()) break;
    Messages().Error(QMsg(problem + "\n\nUse a different file name."));
  }
  {
    TWaitCursor wait;
    TMdaFile created;
    const bool ok = created.CreateProject(path, static_cast<uint16_t>(settings.state), *refs_, settings.title,
                                          static_cast<uint16_t>(settings.year));
    created.Close();
    if (!ok) {
      Messages().Error("Unable to create file for the following reason:\n\n" + QMsg(created.FullErrorText()));
      return false;
    }
  }
  if (projectOpen_) {
    if (!SaveEditRec()) {
      DeleteFileAt(path);
      return false;
    }
    mda_.Close();
    projectOpen_ = false;
  }
  projectOpen_ = mda_.OpenProject(path, true, *refs_);
  if (!projectOpen_) ShowFileError();
  curRec_ = 0;
  UpdateForm();
  return projectOpen_;
}

namespace {

// Repeats `busy` (an attempt that tells whether the project was held by another program) for up
// to `waitMs`: the wait cursor at once, a window with Cancel after half a second. False when the
// user cancelled; otherwise the last attempt's result stands.
bool WaitWhileBusy(QWidget* parent, int waitMs, const std::function<bool()>& busy) {
  if (!busy()) return true;
  QProgressDialog progress("Waiting for another program to let go of the project...", "Cancel", 0, 0, parent);
  progress.setWindowTitle("Open Project");
  progress.setWindowModality(Qt::ApplicationModal);
  progress.setMinimumDuration(500);
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < waitMs) {
    progress.setValue(0);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (progress.wasCanceled()) return false;
    QThread::msleep(40);
    if (!busy()) return true;
  }
  return true;
}

bool HeldByAnother(const TRecFile& f) { return f.ErrorState == esOpen && f.PathStatus == fsInUse; }

}  // namespace

bool TMainForm::OpenProjectFile(const std::string& given) {
  if (!FormDataOkay()) return false;
  std::string path = given;
  bool writable = true;
  if (path.empty()) {
    bool readOnly = false;
    path = PathStr(FileChooser().OpenFile("Open Project Data File", OpenProjectFilter(startup_.VersionInfo.InternalName),
                                          &readOnly));
    if (path.empty()) return false;
    writable = !readOnly;
  }
  path = ExpandFileName(path);
  const QString failure = "Unable to open file for the following reason:\n\n";
  const std::string ext = ExtractFileExt(path);
  if (!SameText(ext, kProjectExt) && !SameText(ext, kOldProjectExt)) {
    Messages().Error(failure + QMsg(BadExtensionText(path, kProjectExt)));
    return false;
  }
  TWaitCursor wait;
  // The open project is held by this window, so it is not checked again: it is opened anew below.
  if (!projectOpen_ || !SameFile(path, mda_.FileName)) {
    const QString name = QStr(startup_.VersionInfo.InternalName);
    TMdaFile5 checked;
    bool ok = false;
    const bool waited = WaitWhileBusy(this, BusyWaitMs, [&] {
      ok = checked.OpenOrConvert(
          path, writable, *refs_,
          [](const std::string& file, const std::string& copy) {
            Messages().Info("\n" + QPath(file) + "\n" + "File was successfully converted for use with this version." +
                            "\n\n" + "A copy of the old file was saved as\n" + QPath(copy) + "\n");
          },
          [name](const std::string& file) {
            return Messages().Confirm("\n" + QPath(file) + "\n" + "File was created by previous version of " + name +
                                      "." + "\n\n" + "Do you want to convert the file to use with this " +
                                      "version?\n") == TAnswer::Yes;
          });
      return !ok && HeldByAnother(checked);
    });
    checked.Close();
    if (!waited) return false;
    if (!ok) {
      Messages().Error(failure + QMsg(checked.FullErrorText()));
      return false;
    }
  }
  if (projectOpen_) {
    if (!SaveEditRec()) return false;
    mda_.Close();
    projectOpen_ = false;
  }
  curRec_ = 0;
  // A project another program is reading opens read-only; it is tried for editing a while first.
  WaitWhileBusy(this, BusyWaitMs, [&] {
    if (projectOpen_) mda_.Close();
    projectOpen_ = mda_.OpenProject(path, writable, *refs_);
    return projectOpen_ ? writable && mda_.InUse() : HeldByAnother(mda_);
  });
  if (projectOpen_ && mda_.RecordCount() > 0 && !LoadEditRec(1)) {
    mda_.Close();
    projectOpen_ = false;
  }
  if (!projectOpen_) ShowFileError();
  UpdateForm();
  if (projectOpen_ && writable && mda_.InUse()) WatchUntilFree();
  if (projectOpen_ && mda_.IsWritable() && !FolderWritable(path))
    Messages().Info("\n" + QPath(path) + "\n" + QMsg(FolderReadOnlyText(path)) + "\n");
  return projectOpen_;
}

void TMainForm::WatchUntilFree() {
  if (!freeTimer_) {
    freeTimer_ = new QTimer(this);
    freeTimer_->setInterval(1500);
    connect(freeTimer_, &QTimer::timeout, this, &TMainForm::OfferEditingOnceFree);
  }
  freeTimer_->start();
}

void TMainForm::OfferEditingOnceFree() {
  if (!projectOpen_ || !mda_.InUse() || !mda_.IsReadOnly()) return freeTimer_->stop();
  if (mda_.HeldByOthers() || QApplication::activeModalWidget()) return;
  freeTimer_->stop();
  const std::string path = mda_.FileName;
  if (Messages().Confirm("\n" + QPath(path) + "\nThe project is no longer in use by another program.\n\n" +
                             "Do you want to open it again for editing?\n",
                         false) != TAnswer::Yes)
    return;
  if (!FormDataOkay()) return;
  TWaitCursor wait;
  const int current = curRec_;
  mda_.Close();
  projectOpen_ = mda_.OpenProject(path, true, *refs_);
  if (projectOpen_ && mda_.RecordCount() > 0 && !LoadEditRec(std::clamp(current, 1, mda_.RecordCount())))
    mda_.Close(), projectOpen_ = false;
  if (!projectOpen_) {
    curRec_ = 0;
    ShowFileError();
  }
  UpdateForm();
}

bool TMainForm::SaveMovedProject() {
  const QString question = QMsg(mda_.FullErrorText()) +
                           "\n\nDo you want to save the open project, with the current record, under another name?";
  if (Messages().Confirm("\n" + question + "\n", false) != TAnswer::Yes) return false;
  std::string path;
  for (;;) {
    path = PathStr(FileChooser().SaveFile("Save Project As", CreateProjectFilter(startup_.VersionInfo.InternalName)));
    if (path.empty()) return false;
    std::string problem = ExtensionCheckText(path, kProjectExt);
    if (problem.empty()) {
      TWaitCursor wait;
      if (mda_.SaveCopyAs(path, curRec_, editRec_, problem)) break;
    }
    Messages().Error("Unable to save file for the following reason:\n\n" + QMsg(problem));
  }
  TWaitCursor wait;
  mda_.Close();
  const int current = curRec_;
  projectOpen_ = mda_.OpenProject(path, true, *refs_);
  if (projectOpen_ && current > 0 && !LoadEditRec(current)) mda_.Close(), projectOpen_ = false;
  if (!projectOpen_) {
    curRec_ = 0;
    Messages().Error(QMsg(mda_.FullErrorText()));
  }
  UpdateForm();
  return projectOpen_;
}

void TMainForm::DoFilePropertiesDlg() {
  if (!projectOpen_ || !FormDataOkay()) return;
  TPropertiesDlg dlg(mda_, mcn_, this);
  if (dlg.exec() != QDialog::Accepted || !mda_.IsWritable()) return;
  const std::string title = CpStr(dlg.TitleEdit->text()), author = CpStr(dlg.AuthorEdit->text()),
                    company = CpStr(dlg.CompanyEdit->text()), comments = CpStr(dlg.CommentsEdit->toPlainText());
  if (title == mda_.Title() && author == mda_.Author() && company == mda_.Company() && comments == mda_.Comments())
    return;
  if (!mda_.SetProperties(title, author, company, comments))
    Messages().Error("Unable to save properties for the following reason:\n\n" + QMsg(mda_.FullErrorText()));
}
