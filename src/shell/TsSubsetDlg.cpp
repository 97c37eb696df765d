#include "TsSubsetDlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "TsMessages.h"
#include "TsReportView.h"
#include "reports/RecSubset.h"

namespace {

constexpr int kFirstShownType = sdCounty;
constexpr int kSubsetHelpContext = 141;

QPushButton* Button(const QString& caption, const QString& hint) {
  auto* button = new QPushButton(caption);
  button->setToolTip(hint);
  button->setStatusTip(hint);
  return button;
}

}  // namespace

TSubsetSelectionDlg::TSubsetSelectionDlg(TRecordSubset& subset, QWidget* parent)
    : TCheckedDlg("Subset Selection", kSubsetHelpContext, parent), subset_(subset) {
  subset_.SaveSets();
  TypeList = new QListWidget;
  for (int type = kFirstShownType; type <= kSubsetTypes; ++type) TypeList->addItem(QStr(subset_.TypeName(type)));
  // Every data type in view without scrolling.
  TypeList->setMinimumHeight(TypeList->sizeHintForRow(0) * TypeList->count() + 2 * TypeList->frameWidth());
  TypeList->setMinimumWidth(TypeList->sizeHintForColumn(0) + 2 * TypeList->frameWidth() + 8);
  ItemList = new QListWidget;
  ItemList->setMinimumWidth(220);
  CheckAllBtn = Button("&Check All", "Check all data");
  UncheckAllBtn = Button("&Uncheck All", "Uncheck all data");
  ResetBtn = Button("&Reset Subsets", "Check all data for all types");

  auto* typeLabel = new QLabel("Data &Type");
  typeLabel->setBuddy(TypeList);
  auto* itemLabel = new QLabel("Data Su&bset");
  itemLabel->setBuddy(ItemList);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(CheckAllBtn);
  buttons->addWidget(UncheckAllBtn);
  buttons->addWidget(ResetBtn);
  buttons->addStretch();
  auto* grid = new QGridLayout;
  grid->addWidget(typeLabel, 0, 0);
  grid->addWidget(itemLabel, 0, 1);
  grid->addWidget(TypeList, 1, 0);
  grid->addWidget(ItemList, 1, 1);
  grid->addLayout(buttons, 1, 2);
  AddButtons(grid);

  connect(TypeList, &QListWidget::currentRowChanged, this, &TSubsetSelectionDlg::TypeListChange);
  connect(ItemList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    if (!filling_) subset_.Toggle(shown_, ItemList->row(item) + 1);
  });
  connect(CheckAllBtn, &QPushButton::clicked, this, &TSubsetSelectionDlg::CheckAllBtnClick);
  connect(UncheckAllBtn, &QPushButton::clicked, this, &TSubsetSelectionDlg::UncheckAllBtnClick);
  connect(ResetBtn, &QPushButton::clicked, this, &TSubsetSelectionDlg::ResetBtnClick);
  Check = [this] { return ShownTypeChecked(); };
  TypeList->setCurrentRow(0);
}

void TSubsetSelectionDlg::ShowType(int type) {
  shown_ = type;
  filling_ = true;
  ItemList->clear();
  for (int item = 1; item <= subset_.ItemCount(type); ++item) {
    auto* row = new QListWidgetItem(" " + QStr(subset_.ItemName(type, item)), ItemList);
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    row->setCheckState(subset_.IsChecked(type, item) ? Qt::Checked : Qt::Unchecked);
  }
  filling_ = false;
}

bool TSubsetSelectionDlg::ShownTypeChecked() {
  if (shown_ == 0 || subset_.CheckedCount(shown_) > 0) return true;
  ShowReportError("At least one item must be checked in subset.");
  ItemList->setFocus();
  return false;
}

void TSubsetSelectionDlg::TypeListChange(int row) {
  if (row < 0) return;
  const int type = kFirstShownType + row;
  if (type == shown_) return;
  if (!ShownTypeChecked()) {
    // The selection stays on the type that needs a tick.
    const QSignalBlocker block(TypeList);
    TypeList->setCurrentRow(shown_ - kFirstShownType);
    return;
  }
  ShowType(type);
}

void TSubsetSelectionDlg::CheckAllBtnClick() {
  subset_.CheckAll(shown_);
  ShowType(shown_);
}

void TSubsetSelectionDlg::UncheckAllBtnClick() {
  subset_.UncheckAll(shown_);
  ShowType(shown_);
}

void TSubsetSelectionDlg::ResetBtnClick() {
  if (Messages().Confirm("\nAre you sure you want to check all items in all subsets?\n") != TAnswer::Yes) return;
  subset_.CheckAllTypes();
  ShowType(shown_);
}

void TSubsetSelectionDlg::done(int result) {
  if (result == QDialog::Accepted && !ShownTypeChecked()) return;
  if (result != QDialog::Accepted) subset_.RestoreSets();
  QDialog::done(result);
}
