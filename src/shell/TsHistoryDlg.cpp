#include "TsHistoryDlg.h"

#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "TsFileCmds.h"
#include "TsMessages.h"
#include "TsReportView.h"
#include "filebase/FileUtl.h"
#include "reports/RecSubset.h"
#include "reports/WrkOpts.h"
#include "store/MdaFile.h"

namespace {

constexpr int kHistoryHelpContext = 146;

// Paths are the file system's bytes (UTF-8), never code page text.
std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString PathText(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace

THistoryDlg::THistoryDlg(THistorySettingsRec& settings, TRecordSubset& subset, TMdaFile* open,
                         const TProjectRefs& refs, QWidget* parent)
    : TSummaryDlg(kHistoryTitle, kHistoryHelpContext, settings, subset, kHistoryPrefix, {}, parent),
      settings_(settings), open_(open), refs_(refs) {
  if (auto* records = qobject_cast<QGroupBox*>(AllRecordsBtn->parentWidget())) records->setTitle(" Fields To Include ");
  AllRecordsBtn->setText("&All Fields");
  SubsetBtn->setText("Su&bset Of The Newest Year");

  auto* font = new QFormLayout;
  FontSizeCombo = new QComboBox;
  for (int size : kWorksheetFontSizes) {
    FontSizeCombo->addItem(QString::number(size));
    if (size == settings.FontSize) FontSizeCombo->setCurrentIndex(FontSizeCombo->count() - 1);
  }
  font->addRow("Font Si&ze", FontSizeCombo);
  Choices->addLayout(font);

  auto* files = new QGroupBox(" &Project Files, One Per Year ");
  FileList = new QListWidget;
  FileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  FileList->setMinimumWidth(420);
  AddBtn = HintedButton("A&dd...", "Add project files to the history");
  RemoveBtn = HintedButton("&Remove", "Remove the selected files from the history");
  CountLabel = new QLabel;
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(AddBtn);
  buttons->addWidget(RemoveBtn);
  buttons->addStretch();
  buttons->addWidget(CountLabel);
  auto* filesLayout = new QVBoxLayout(files);
  filesLayout->addWidget(FileList);
  filesLayout->addLayout(buttons);
  Side->addWidget(files);
  connect(AddBtn, &QPushButton::clicked, this, &THistoryDlg::AddBtnClick);
  connect(RemoveBtn, &QPushButton::clicked, this, &THistoryDlg::RemoveBtnClick);

  ShowSharedSettings();
  if (open_ && open_->IsOpen()) AddFile(open_->FileName, true);
  for (const std::string& path : settings.Files) AddFile(path, true);
  ShowCount();
  Check = [this] { return CheckAndStoreHistory(); };
}

THistoryDlg::~THistoryDlg() = default;

bool THistoryDlg::AddFile(const std::string& path, bool quiet) {
  const auto refuse = [&](const std::string& message) {
    if (!quiet) ShowReportError(QMsg(message));
    return false;
  };
  for (const TListed& l : listed_)
    if (SameProjectFile(l.year.Path, path)) return quiet ? false : refuse(ChosenTwiceText(path));
  if (static_cast<int>(listed_.size()) >= kMaxHistoryFiles)
    return refuse(TooManyHistoryFilesText(static_cast<int>(listed_.size()) + 1));
  TListed listed;
  std::string error;
  if (open_ && open_->IsOpen() && SameProjectFile(open_->FileName, path)) {
    listed.year = HistoryYearOf(*open_);
    listed.readable = true;
  } else {
    listed.readable = ReadHistoryYear(path, refs_, listed.year, error);
    if (!listed.readable && !quiet) return refuse("Unable to open file for the following reason:\n\n" + error);
    if (!listed.readable) listed.year.Path = path;
  }
  if (listed.readable)
    for (const TListed& l : listed_)
      if (l.readable && l.year.Year == listed.year.Year) return refuse(SameYearText(l.year.Path, path, l.year.Year));
  QString text;
  if (listed.readable)
    text = QString("%1   %2   %3").arg(listed.year.Year).arg(PathText(ExtractFileName(listed.year.Path)),
                                                              QStr(listed.year.Title));
  else
    text = "????   " + PathText(ExtractFileName(path)) + "   (cannot be read now)";
  auto* item = new QListWidgetItem(text, FileList);
  item->setToolTip(PathText(listed.year.Path));
  listed_.push_back(listed);
  return true;
}

void THistoryDlg::ShowCount() {
  CountLabel->setText(QString("%1 of %2 files").arg(listed_.size()).arg(kMaxHistoryFiles));
  RemoveBtn->setEnabled(!listed_.empty());
}

std::vector<std::string> THistoryDlg::Files() const {
  std::vector<std::string> files;
  for (const TListed& l : listed_) files.push_back(l.year.Path);
  return files;
}

void THistoryDlg::AddBtnClick() {
  const QStringList chosen = FileChooser().OpenFiles("Add Project Files", "Project Data (*.tsj)");
  for (const QString& path : chosen)
    if (!AddFile(PathBytes(path), false) && static_cast<int>(listed_.size()) >= kMaxHistoryFiles) break;
  ShowCount();
}

void THistoryDlg::RemoveBtnClick() {
  for (int row = FileList->count() - 1; row >= 0; --row) {
    if (!FileList->item(row)->isSelected()) continue;
    delete FileList->takeItem(row);
    listed_.erase(listed_.begin() + row);
  }
  ShowCount();
}

void THistoryDlg::SelectBtnClick() {
  const TListed* newest = nullptr;
  for (const TListed& l : listed_)
    if (l.readable && (!newest || l.year.Year > newest->year.Year)) newest = &l;
  if (!newest) {
    ShowReportError("Add the project files first: the subset is chosen among the fields of the newest year.");
    AddBtn->setFocus();
    return;
  }
  // The subset classifies by the project's state and names; every run attaches it again to the
  // newest year's project before using it.
  if (open_ && open_->IsOpen() && SameProjectFile(open_->FileName, newest->year.Path)) {
    Subset().Attach(*open_);
  } else {
    newest_ = std::make_unique<TMdaFile>();
    if (!newest_->OpenProject(newest->year.Path, false, refs_)) {
      ShowReportError(QMsg("Unable to open file for the following reason:\n\n" + newest_->FullErrorText()));
      return;
    }
    Subset().Attach(*newest_);
  }
  TSummaryDlg::SelectBtnClick();
}

bool THistoryDlg::CheckAndStoreHistory() {
  if (static_cast<int>(listed_.size()) < kMinHistoryFiles) {
    ShowReportError(kTooFewHistoryFilesText);
    AddBtn->setFocus();
    return false;
  }
  if (!CheckCostFile() || !CheckAndStoreShared()) return false;
  settings_.Files = Files();
  settings_.FontSize = static_cast<int16_t>(FontSizeCombo->currentText().toInt());
  return true;
}
