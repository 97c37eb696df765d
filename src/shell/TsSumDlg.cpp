#include "TsSumDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "TsMessages.h"
#include "TsReportView.h"
#include "TsSubsetDlg.h"
#include "TsWorksheetDlg.h"
#include "reports/RecSubset.h"
#include "reports/WrkOpts.h"

namespace {

const char* const kCustomCostsCaption = "Use &Custom Costs";
const char* const kLoadCaption = "&Load...";

template <class TNames>
std::vector<const char*> Names(TNames name, int count) {
  std::vector<const char*> names;
  for (int c = 1; c <= count; ++c) names.push_back(name(c));
  return names;
}

}  // namespace

TSummaryDlg::TSummaryDlg(const QString& title, int helpContext, TSummarySettingsRec& settings, TRecordSubset& subset,
                         const char* prefix, const std::vector<const char*>& columnNames, QWidget* parent)
    : TCheckedDlg(title, helpContext, parent), settings_(settings), subset_(subset), prefix_(prefix) {
  auto* records = new QGroupBox(" Records To Include ");
  AllRecordsBtn = new QRadioButton("&All Records");
  SubsetBtn = new QRadioButton("Su&bset");
  SelectBtn = HintedButton("&Select...", "Select subset");
  auto* recordsLayout = new QGridLayout(records);
  recordsLayout->addWidget(AllRecordsBtn, 0, 0);
  recordsLayout->addWidget(SubsetBtn, 1, 0);
  recordsLayout->addWidget(SelectBtn, 1, 1);
  connect(SelectBtn, &QPushButton::clicked, this, &TSummaryDlg::SelectBtnClick);

  auto* costs = new QGroupBox(" Cost Options ");
  CustomCostsCheck = new QCheckBox(kCustomCostsCaption);
  LoadBtn = HintedButton(kLoadCaption, "Select custom cost file");
  RemovalCheck = new QCheckBox("Use N-P-K Re&moval Cost");
  FiveYearCheck = new QCheckBox("Use &5-Year Selling Price");
  AnySoilLossCheck = new QCheckBox("Charge For A&ny Soil Loss");
  auto* costsLayout = new QGridLayout(costs);
  costsLayout->addWidget(CustomCostsCheck, 0, 0);
  costsLayout->addWidget(LoadBtn, 0, 1);
  costsLayout->addWidget(RemovalCheck, 1, 0, 1, 2);
  costsLayout->addWidget(FiveYearCheck, 2, 0, 1, 2);
  costsLayout->addWidget(AnySoilLossCheck, 3, 0, 1, 2);
  connect(LoadBtn, &QPushButton::clicked, this, &TSummaryDlg::LoadBtnClick);

  Side = new QVBoxLayout;
  if (!columnNames.empty()) {
    auto* columns = new QGroupBox(" &Data Columns To Include ");
    ColumnList = new QListWidget;
    for (const char* name : columnNames) {
      auto* item = new QListWidgetItem(QString(" ") + name, ColumnList);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    }
    ColumnList->setMinimumWidth(ColumnList->sizeHintForColumn(0) + 40);
    (new QVBoxLayout(columns))->addWidget(ColumnList);
    Side->addWidget(columns);
  }

  auto* output = new QGroupBox(" Output Options ");
  ViewWithWordCheck = new QCheckBox("View With &Word");
  SaveToFileCheck = new QCheckBox("Sa&ve To File");
  auto* outputLayout = new QVBoxLayout(output);
  outputLayout->addWidget(ViewWithWordCheck);
  outputLayout->addWidget(SaveToFileCheck);

  Choices = new QVBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(records);
  left->addLayout(Choices);
  left->addWidget(costs);
  left->addWidget(output);
  left->addStretch();
  auto* content = new QHBoxLayout;
  content->addLayout(left);
  content->addLayout(Side, 1);
  AddButtons(content);
}

void TSummaryDlg::ShowSharedSettings() {
  const TSummarySettingsRec& s = settings_;
  (s.RecordsMode == 1 ? SubsetBtn : AllRecordsBtn)->setChecked(true);
  CustomCostsCheck->setChecked(s.UseCustomCosts);
  RemovalCheck->setChecked(s.UseRemovalCost);
  FiveYearCheck->setChecked(s.UseFiveYearPrice);
  AnySoilLossCheck->setChecked(s.ChargeAnySoilLoss);
  ViewWithWordCheck->setChecked(s.ViewWithWord);
  SaveToFileCheck->setChecked(false);
}

template <size_t N>
void TSummaryDlg::ShowShared(const std::bitset<N>& columns) {
  ShowSharedSettings();
  for (int i = 0; i < ColumnList->count(); ++i)
    ColumnList->item(i)->setCheckState(columns[static_cast<size_t>(i) + 1] ? Qt::Checked : Qt::Unchecked);
}

bool TSummaryDlg::CheckCostFile() {
  if (!CustomCostsCheck->isChecked() || !settings_.CustomCostFile.empty()) return true;
  ShowReportError(QMsg(MissingCostFileText(kCustomCostsCaption, kLoadCaption)));
  CustomCostsCheck->setFocus();
  return false;
}

template <size_t N>
bool TSummaryDlg::CheckAndStore(std::bitset<N>& columns) {
  std::bitset<N> ticked;
  for (int i = 0; i < ColumnList->count(); ++i)
    ticked[static_cast<size_t>(i) + 1] = ColumnList->item(i)->checkState() == Qt::Checked;
  if (!CheckCostFile()) return false;
  if (ticked.none()) {
    ShowReportError("You must include at least one data column.");
    ColumnList->setFocus();
    return false;
  }
  if (!CheckAndStoreShared()) return false;
  columns = ticked;
  return true;
}

bool TSummaryDlg::CheckAndStoreShared() {
  TSummarySettingsRec& s = settings_;
  const bool toFile = SaveToFileCheck->isChecked();
  QString fileName = QString::fromLatin1(prefix_);
  int kind = ViewWithWordCheck->isChecked() ? okRtf : okText;
  if (toFile) {
    fileName = QPath(s.OutputFileName);
    if (!SelectReportFile(-1, "Save Report As", fileName, kind)) return false;
  }
  s.RecordsMode = SubsetBtn->isChecked() ? 1 : 0;
  s.UseCustomCosts = CustomCostsCheck->isChecked();
  s.UseRemovalCost = RemovalCheck->isChecked();
  s.UseFiveYearPrice = FiveYearCheck->isChecked();
  s.ChargeAnySoilLoss = AnySoilLossCheck->isChecked();
  s.OutputKind = kind;
  s.OutputFileName = PathStr(fileName);
  s.ViewWithWord = ViewWithWordCheck->isChecked();
  s.SaveToFile = toFile;
  return true;
}

void TSummaryDlg::SelectBtnClick() {
  TSubsetSelectionDlg dlg(subset_, this);
  if (dlg.exec() == QDialog::Accepted) SubsetBtn->setChecked(true);
}

void TSummaryDlg::LoadBtnClick() {
  if (SelectCustomCostFile(settings_.CustomCostFile)) CustomCostsCheck->setChecked(true);
}

TRankedSummaryDlg::TRankedSummaryDlg(TRankedSummarySettingsRec& settings, TRecordSubset& subset, QWidget* parent)
    : TSummaryDlg(kRankedTitle, 142, settings, subset, kRankedPrefix, Names(RankedColumnName, kRankedColumns),
                  parent),
      settings_(settings) {
  auto* rank = new QGroupBox(" Rank By ");
  auto* rankLayout = new QVBoxLayout(rank);
  const char* const captions[] = {"&Yield", "&Unit Cost", "Prof&it"};
  for (int i = 0; i < 3; ++i) rankLayout->addWidget(RankButtons[i] = new QRadioButton(captions[i]));
  Choices->addWidget(rank);
  ShowShared(settings.Columns);
  RankButtons[settings.RankBy >= rbYield && settings.RankBy <= rbProfit ? settings.RankBy : rbYield]->setChecked(true);
  Check = [this] {
    if (!CheckAndStore(settings_.Columns)) return false;
    for (int i = 0; i < 3; ++i)
      if (RankButtons[i]->isChecked()) settings_.RankBy = i;
    return true;
  };
}

TTabularSummaryDlg::TTabularSummaryDlg(TTabularSummarySettingsRec& settings, TRecordSubset& subset, QWidget* parent)
    : TSummaryDlg(kTabularTitle, 143, settings, subset, kTabularPrefix, Names(TabularColumnName, kTabularColumns),
                  parent),
      settings_(settings) {
  QStringList typeNames;
  for (int type = sdCountry; type <= kSubsetTypes; ++type) typeNames << QStr(subset.TypeName(type));
  auto* types = new QFormLayout;
  for (QComboBox** combo : {&TableCombo, &RowCombo}) {
    *combo = new QComboBox;
    (*combo)->addItems(typeNames);
    (*combo)->setMaxVisibleItems(10);
  }
  types->addRow("Tabl&e For Each", TableCombo);
  types->addRow("&Row For Each", RowCombo);
  Choices->addLayout(types);
  ShowShared(settings.Columns);
  TableCombo->setCurrentIndex(settings.TableType - 1);
  RowCombo->setCurrentIndex(settings.RowType - 1);
  Check = [this] {
    if (!CheckAndStore(settings_.Columns)) return false;
    settings_.TableType = TableCombo->currentIndex() + 1;
    settings_.RowType = RowCombo->currentIndex() + 1;
    return true;
  };
}
