#include "TsCostEditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "TsCostGrid.h"
#include "TsEdit.h"
#include "TsFileCmds.h"
#include "TsMain.h"
#include "TsMessages.h"
#include "TsPreview.h"
#include "TsRecordDlgs.h"
#include "TsReportView.h"
#include "TsStart.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "reference/MccFile.h"
#include "reference/MdfFile.h"
#include "reports/CostList.h"
#include "vocab/CropVocab.h"

namespace {

constexpr int kCostEditorHelp = 145;
const char* const kCaption = "Cost File Editor";
const char* const kCostExt = ".mcc";
const char* const kUseAnotherName = "\n\nUse a different file name.";
constexpr int kCropListRows = 5;

}  // namespace

TCostFileEditorDlg::TCostFileEditorDlg(TMdfFile& definitions, const std::string& programIdentification,
                                       QWidget* parent)
    : QDialog(parent), definitions_(definitions), programIdentification_(programIdentification), table_(definitions) {
  SetHelpContext(this, kCostEditorHelp);
  CostTable = new TCostGrid(table_);
  UnitCostEdit = CostTable->UnitCostEdit;
  UnitCostEdit->SetValidator(
      [this](TEntryEdit& edit, bool leaving) { return UnitCostEditUserValidation(edit, leaving); });

  auto* top = new QHBoxLayout;
  top->addWidget(CostTable);
  top->addLayout(BuildButtons());
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(BuildCropFilter());
  layout->setSizeConstraint(QLayout::SetFixedSize);
  RefreshEditor(allCrops_, false);
}

QLayout* TCostFileEditorDlg::BuildButtons() {
  NewBtn = HintedButton("&New", "Create new cost file");
  OpenBtn = HintedButton("&Open...", "Open existing cost file");
  SaveBtn = HintedButton("&Save", "Save changes to file");
  SaveAsBtn = HintedButton("Save &As...", "Save costs to different file");
  PrintBtn = HintedButton("&Print...", "Print cost file");
  ExitBtn = HintedButton("E&xit", "Close cost file editor");
  HelpBtn = HintedButton("Help", "Help for editor");
  auto* column = new QVBoxLayout;
  for (QPushButton* b : {NewBtn, OpenBtn, SaveBtn, SaveAsBtn, PrintBtn, ExitBtn, HelpBtn}) column->addWidget(b);
  column->addStretch(1);
  connect(NewBtn, &QPushButton::clicked, this, &TCostFileEditorDlg::NewBtnClick);
  connect(OpenBtn, &QPushButton::clicked, this, &TCostFileEditorDlg::OpenBtnClick);
  connect(SaveBtn, &QPushButton::clicked, this, &TCostFileEditorDlg::SaveBtnClick);
  connect(SaveAsBtn, &QPushButton::clicked, this, &TCostFileEditorDlg::SaveAsBtnClick);
  connect(PrintBtn, &QPushButton::clicked, this, &TCostFileEditorDlg::PrintBtnClick);
  connect(ExitBtn, &QPushButton::clicked, this, &TCostFileEditorDlg::reject);
  connect(HelpBtn, &QPushButton::clicked, this, &TCostFileEditorDlg::HelpBtnClick);
  return column;
}

QLayout* TCostFileEditorDlg::BuildCropFilter() {
  CropCheckList = new QListWidget;
  CropCheckList->setObjectName("CropCheckList");
  CropCheckList->setFlow(QListView::TopToBottom);
  CropCheckList->setWrapping(true);
  CropCheckList->setResizeMode(QListView::Adjust);
  // A click checks a crop without taking the focus from a cost being typed.
  CropCheckList->setFocusPolicy(Qt::TabFocus);
  for (int i = 1; i <= kDisplayCropCount; ++i) {
    const int crop = CropAtDisplayPosition(i);
    const QString text = " " + QString(QChar(CropLetter(crop))) + " - " + QStr(CropName(crop));
    auto* item = new QListWidgetItem(text, CropCheckList);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    item->setData(Qt::UserRole, crop);
    allCrops_ |= CropBit(crop);
  }
  CropCheckList->setFixedHeight(CropCheckList->sizeHintForRow(0) * kCropListRows + 2 * CropCheckList->frameWidth() +
                                CropCheckList->spacing() * 2 * kCropListRows + 4);
  connect(CropCheckList, &QListWidget::itemChanged, this, &TCostFileEditorDlg::CropCheckListClick);
  CropSubsetLbl = new QLabel;
  CropSubsetLbl->setBuddy(CropCheckList);
  CheckAllBtn = HintedButton("C&heck All", "Check all crops");
  UncheckAllBtn = HintedButton("&Uncheck All", "Uncheck all crops");
  connect(CheckAllBtn, &QPushButton::clicked, this, &TCostFileEditorDlg::CheckAllBtnClick);
  connect(UncheckAllBtn, &QPushButton::clicked, this, &TCostFileEditorDlg::UncheckAllBtnClick);
  auto* checks = new QVBoxLayout;
  checks->addWidget(CheckAllBtn);
  checks->addWidget(UncheckAllBtn);
  checks->addStretch(1);
  auto* grid = new QGridLayout;
  grid->addWidget(CropSubsetLbl, 0, 0);
  grid->addWidget(CropCheckList, 1, 0);
  grid->addLayout(checks, 1, 1);
  return grid;
}

// The editor's inner operations.

void TCostFileEditorDlg::UpdateCaption() {
  QString caption = kCaption;
  if (!hasFile_) caption += " - [No File]";
  else if (costFileName_.empty()) caption += " - [New File]";
  else caption += " - " + QPath(ExtractFileName(costFileName_)) + (readOnly_ ? " (Read-Only)" : "");
  setWindowTitle(caption);
}

void TCostFileEditorDlg::UpdateButtons() {
  SaveBtn->setEnabled(hasFile_ && !readOnly_);
  SaveAsBtn->setEnabled(hasFile_ && !IsDefinitionFile(costFileName_));
  PrintBtn->setEnabled(hasFile_);
  UnitCostEdit->setReadOnly(readOnly_);  // a read-only file saved under a new name becomes editable
}

void TCostFileEditorDlg::FillGrid(uint32_t mask) {
  table_.Fill(mask);
  CostTable->Fill(hasFile_, readOnly_);
}

void TCostFileEditorDlg::RefreshEditor(uint32_t mask, bool focusGrid) {
  UpdateCaption();
  QWidget* remembered = QApplication::focusWidget();
  if (UnitCostEdit->hasFocus()) CropCheckList->setFocus(Qt::OtherFocusReason);  // the rows change under it
  FillGrid(mask);
  UpdateButtons();
  int checked = 0;
  for (int i = 0; i < CropCheckList->count(); ++i) checked += CropCheckList->item(i)->checkState() == Qt::Checked;
  CropSubsetLbl->setText("C&rops: " + QString::number(checked) + " of " + QString::number(CropCheckList->count()) +
                         " Checked");
  if (!hasFile_ || !CostTable->Filled()) return;
  if (focusGrid) UnitCostEdit->setFocus(Qt::OtherFocusReason);
  else if (remembered) remembered->setFocus(Qt::OtherFocusReason);
}

uint32_t TCostFileEditorDlg::CheckedCrops() const {
  uint32_t mask = 0;
  for (int i = 0; i < CropCheckList->count(); ++i)
    if (CropCheckList->item(i)->checkState() == Qt::Checked)
      mask |= CropBit(CropCheckList->item(i)->data(Qt::UserRole).toInt());
  return mask;
}

void TCostFileEditorDlg::ShowCropChecks(uint32_t mask) {
  checkingCrops_ = true;
  for (int i = 0; i < CropCheckList->count(); ++i) {
    QListWidgetItem* item = CropCheckList->item(i);
    item->setCheckState(mask & CropBit(item->data(Qt::UserRole).toInt()) ? Qt::Checked : Qt::Unchecked);
  }
  checkingCrops_ = false;
}

bool TCostFileEditorDlg::IsDefinitionFile(const std::string& path) const {
  return !path.empty() && SameText(ExpandFileName(path), ExpandFileName(definitions_.FileName));
}

// A typed cost: refused with its message, or stored in the working costs when it differs.
QString TCostFileEditorDlg::UnitCostEditUserValidation(TEntryEdit& edit, bool leaving) {
  const int row = CostTable->ActiveRow();
  const int error = table_.AcceptCost(row, CpStr(edit.text()), changed_);
  if (error != ceNone) return QStr(UnitCostErrorText(error));
  if (leaving) edit.ReformatText(CostTable->CellText(row, ccUnitCost));
  return {};
}

bool TCostFileEditorDlg::CostEntryValid() { return CostTable->CheckEntry(); }

bool TCostFileEditorDlg::QuerySaveChanges() {
  if (!CostEntryValid()) return false;
  if (!changed_) return true;
  switch (Messages().Confirm("\nYou have changed at least one cost.\n\nDo you want to save your changes?\n")) {
    case TAnswer::Yes: return SaveCostFile(costFileName_);
    case TAnswer::No: return true;
    case TAnswer::Cancel: break;
  }
  return false;
}

std::string TCostFileEditorDlg::AskSavePath() {
  for (;;) {
    const QString chosen = FileChooser().SaveFile("Save Custom Costs As", "Custom Cost (*.mcc)");
    if (chosen.isEmpty()) return {};
    const std::string path = PathStr(chosen);
    std::string refusal = ExtensionCheckText(path, kCostExt);
    if (!refusal.empty()) refusal += kUseAnotherName;
    else refusal = OutputNameCheckText(path);
    if (refusal.empty() && QFileInfo::exists(chosen) && !QFileInfo(chosen).isWritable())
      refusal = FileStatusText(fsAccessDenied, path) + kUseAnotherName;
    if (refusal.empty()) return path;
    Messages().Error(QMsg(refusal));
  }
}

bool TCostFileEditorDlg::SaveCostFile(std::string path) {
  if (path.empty() || readOnly_) {
    path = AskSavePath();
    if (path.empty()) return false;
  } else if (Messages().Confirm(QMsg("\n" + path + "\nReady to save costs to file?\n")) != TAnswer::Yes) {
    return false;
  }
  TMccFile file;
  bool saved = false;
  {
    TWaitCursor wait;
    saved = file.SaveCosts(path, definitions_);
  }
  if (!saved) {
    ShowReportError(QMsg(file.FullErrorText()));
    return false;
  }
  if (!SameText(path, costFileName_)) {
    costFileName_ = path;
    readOnly_ = false;
    UpdateCaption();
    UpdateButtons();
  }
  changed_ = false;
  return true;
}

void TCostFileEditorDlg::PrintCostListing() {
  TPrintCostsDlg options(this);
  if (options.exec() != QDialog::Accepted) return;
  const bool toFile = options.SaveToFileCheckBox->isChecked();
  const bool word = options.ViewWordCheckBox->isChecked();
  std::string target = kCostListingPrefix;
  int kind = word ? okRtf : okText;
  if (toFile) {
    QString chosen;
    if (!SelectReportFile(-1, "Save Report As", chosen, kind)) return;
    target = PathStr(chosen);
  }
  TDocOutFile doc;
  {
    TWaitCursor wait;
    if (doc.Open(kind, target, !toFile, word, kCostListingTitle, programIdentification_))
      WriteCostListing(doc, definitions_, costFileName_, CropFilter(), programIdentification_, &DesktopViewer());
  }
  if (doc.GetStatus() != 0) ShowReportError(QMsg(doc.GetErrorText()));
}

// The dialog's commands.

void TCostFileEditorDlg::reject() {
  if (QuerySaveChanges()) QDialog::reject();
}

void TCostFileEditorDlg::NewBtnClick() {
  if (!QuerySaveChanges()) return;
  if (Messages().Confirm("\nReady to start a new custom cost file?\n\nThe new file's costs will be initialized to "
                         "standard costs.\n\nTo name the new file, click the Save button.\n") != TAnswer::Yes)
    return;
  NewBtn->setFocus(Qt::OtherFocusReason);
  definitions_.ResetCosts();
  costFileName_.clear();
  hasFile_ = true;
  readOnly_ = changed_ = false;
  RefreshEditor(CropFilter(), true);
}

void TCostFileEditorDlg::OpenBtnClick() {
  if (!QuerySaveChanges()) return;
  bool openReadOnly = false;
  const QString chosen = FileChooser().OpenFile(
      "Open Cost File", "Custom Cost (*.mcc);;Standard Cost (*.mdf);;All Cost Files (*.mcc *.mdf)", &openReadOnly);
  if (chosen.isEmpty()) return;
  const std::string path = PathStr(chosen);
  const bool standard = IsDefinitionFile(path);
  if (!standard && !SameText(ExtractFileExt(path), kCostExt)) {
    ShowReportError(QMsg("Unable to open file for the following reason:\n\n" + BadExtensionText(path, kCostExt)));
    return;
  }
  OpenBtn->setFocus(Qt::OtherFocusReason);
  if (standard) {
    definitions_.ResetCosts();
    costFileName_ = path;
    hasFile_ = readOnly_ = true;
  } else {
    TMccFile file;
    bool loaded = false;
    {
      TWaitCursor wait;
      loaded = file.LoadCosts(path, definitions_);  // a failure leaves the standard costs
    }
    if (loaded) {
      costFileName_ = path;
      hasFile_ = true;
      readOnly_ = openReadOnly;
    } else {
      ShowReportError(QMsg(file.FullErrorText()));
      costFileName_.clear();
      hasFile_ = readOnly_ = false;
    }
  }
  changed_ = false;
  RefreshEditor(CropFilter(), true);
}

void TCostFileEditorDlg::SaveBtnClick() {
  if (CostEntryValid()) SaveCostFile(costFileName_);
}

void TCostFileEditorDlg::SaveAsBtnClick() {
  if (CostEntryValid()) SaveCostFile({});
}

void TCostFileEditorDlg::PrintBtnClick() {
  if (!CostEntryValid()) return;
  if (costFileName_.empty()) Messages().Info("\nSave the new file before attempting to print.\n");
  else if (changed_)
    Messages().Info("\nYou have changed at least one cost.\n\nSave the file before attempting to print.\n");
  else PrintCostListing();
}

void TCostFileEditorDlg::HelpBtnClick() {
  if (RecordDlgHelp()) RecordDlgHelp()(kCostEditorHelp);
}

void TCostFileEditorDlg::CheckAllBtnClick() {
  if (!CostEntryValid()) return;
  ShowCropChecks(allCrops_);
  RefreshEditor(allCrops_, false);
}

void TCostFileEditorDlg::UncheckAllBtnClick() {
  if (!CostEntryValid()) return;
  ShowCropChecks(0);
  RefreshEditor(0, false);
}

// A crop checked or unchecked by the user: the grid follows, unless a cost being typed is invalid,
// in which case the click is undone.
void TCostFileEditorDlg::CropCheckListClick(QListWidgetItem* item) {
  if (checkingCrops_) return;
  float typed = 0;
  const bool entryBad = UnitCostEdit->InError() ||
                        (UnitCostEdit->hasFocus() && UnitCostEdit->IsChanged() && !UnitCostEdit->isReadOnly() &&
                         ParseUnitCost(CpStr(UnitCostEdit->text()), typed) != ceNone);
  if (entryBad) {
    checkingCrops_ = true;
    item->setCheckState(CropFilter() & CropBit(item->data(Qt::UserRole).toInt()) ? Qt::Checked : Qt::Unchecked);
    checkingCrops_ = false;
    return;
  }
  const uint32_t mask = CheckedCrops();
  if (mask != CropFilter()) RefreshEditor(mask, false);
}

TPrintCostsDlg::TPrintCostsDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Print Costs");
  auto* group = new QGroupBox(" Output Options ");
  SaveToFileCheckBox = new QCheckBox("Sa&ve To File");
  ViewWordCheckBox = new QCheckBox("View With &Word");
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(SaveToFileCheckBox);
  groupLayout->addWidget(ViewWordCheckBox);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TMainForm::CostFileEditor() {
  TCostFileEditorDlg dlg(mdf_, startup_.ProgramId, this);
  dlg.exec();
}
