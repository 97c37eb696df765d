#include "TsWorksheetDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "TsFileCmds.h"
#include "TsMessages.h"
#include "TsReportView.h"
#include "TsSubsetDlg.h"
#include "filebase/FileUtl.h"
#include "reports/RtfFile.h"

namespace {

constexpr int kWorksheetHelpContext = 141;
const char* const kModeCaptions[] = {"C&urrent Record", "&All Records", "&Record Range", "&ID Range", "Su&bset"};
const char* const kRoleCaptions[kTextRoles] = {" &Section Headings ", " &Labels ", " Crop &Inputs ", " &Costs "};

QCheckBox* AddCheck(const QString& caption, bool on, QLayout* into) {
  auto* box = new QCheckBox(caption);
  box->setChecked(on);
  into->addWidget(box);
  return box;
}

bool IsRangeMode(int mode) { return mode == rmRecordRange || mode == rmIdRange; }

}  // namespace

bool SelectCustomCostFile(std::string& fileName) {
  const QString path = FileChooser().OpenFile("Custom Cost File", "Custom Cost (*.mcc)", nullptr);
  if (path.isEmpty()) return false;
  const std::string chosen = PathStr(path);
  const std::string problem = ExtensionCheckText(chosen, ".mcc");
  if (!problem.empty()) {
    ShowReportError(QMsg("Unable to open file for the following reason:\n\n" + problem));
    return false;
  }
  fileName = chosen;
  return true;
}

TWorksheetDlg::TWorksheetDlg(TWorksheetSettingsRec& settings, TRecordSubset& subset, QWidget* parent)
    : TCheckedDlg("Worksheet Report", kWorksheetHelpContext, parent), settings_(settings), work_(settings),
      subset_(subset) {
  work_.SaveToFile = false;

  auto* records = new QGroupBox(" Records To Include ");
  auto* recordsLayout = new QGridLayout(records);
  Modes = new QButtonGroup(this);
  for (int mode = rmCurrent; mode <= rmSubset; ++mode) {
    auto* button = new QRadioButton(kModeCaptions[mode]);
    Modes->addButton(button, mode);
    recordsLayout->addWidget(button, mode, 0);
  }
  Modes->button(work_.RecordsMode)->setChecked(true);
  RangeEdit = new QLineEdit(QString::fromStdString(RangeEntryText(work_)));
  RangeEdit->setMaxLength(19);
  RangeEdit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9-]*"), RangeEdit));
  recordsLayout->addWidget(RangeEdit, rmRecordRange, 1, 2, 1, Qt::AlignVCenter);
  SelectBtn = HintedButton("&Select...", "Select subset");
  recordsLayout->addWidget(SelectBtn, rmSubset, 1);

  auto* pages = new QGroupBox(" Pages To Include ");
  auto* pagesLayout = new QVBoxLayout(pages);
  CostPageCheck = AddCheck("Production Cost Wor&ksheet", work_.IncludeCostWorksheet, pagesLayout);
  NutrientPageCheck = AddCheck("Nutrient Management Anal&ysis", work_.IncludeNutrientPage, pagesLayout);

  auto* data = new QGroupBox(" Data To Include ");
  auto* dataLayout = new QVBoxLayout(data);
  FieldIdCheck = AddCheck("Field ID", work_.ShowFieldId, dataLayout);
  FieldNameCheck = AddCheck("Field Name", work_.ShowFieldName, dataLayout);
  OperationCheck = AddCheck("Operation Name", work_.ShowOperationName, dataLayout);
  NotesCheck = AddCheck("Field Notes On Worksheet", work_.ShowFieldNotes, dataLayout);
  SoilTestsCheck = AddCheck("Soil Test Data On Worksheet", work_.ShowSoilTests, dataLayout);
  InputCostsCheck = AddCheck("Input Costs On Worksheet", work_.ShowInputCosts, dataLayout);
  ExplanatoryCheck = AddCheck("Explanatory Notes", work_.ShowExplanatoryNotes, dataLayout);

  auto* costs = new QGroupBox(" Cost Options ");
  auto* costsLayout = new QGridLayout(costs);
  RemovalCheck = new QCheckBox("Use N-P-K Re&moval Cost");
  RemovalCheck->setChecked(work_.UseRemovalCost);
  FiveYearCheck = new QCheckBox("Use &5-Year Selling Price");
  FiveYearCheck->setChecked(work_.UseFiveYearPrice);
  CustomCheck = new QCheckBox("Use &Custom Costs");
  CustomCheck->setChecked(work_.UseCustomCosts);
  LoadBtn = HintedButton("&Load...", "Select custom cost file");
  AnySoilLossCheck = new QCheckBox("Charge For A&ny Soil Loss");
  AnySoilLossCheck->setChecked(work_.ChargeAnySoilLoss);
  costsLayout->addWidget(RemovalCheck, 0, 0, 1, 2);
  costsLayout->addWidget(FiveYearCheck, 1, 0, 1, 2);
  costsLayout->addWidget(CustomCheck, 2, 0);
  costsLayout->addWidget(LoadBtn, 2, 1);
  costsLayout->addWidget(AnySoilLossCheck, 3, 0, 1, 2);
  ShowCustomCostFile();

  auto* output = new QGroupBox(" Output Options ");
  auto* outputLayout = new QVBoxLayout(output);
  FormatBtn = HintedButton("&Format...", "Change format settings");
  outputLayout->addWidget(FormatBtn);
  SaveToFileCheck = AddCheck("Sa&ve To File", false, outputLayout);
  ViewWithWordCheck = AddCheck("View With &Word", work_.ViewWithWord, outputLayout);

  auto* grid = new QGridLayout;
  grid->addWidget(records, 0, 0);
  grid->addWidget(pages, 1, 0);
  grid->addWidget(output, 2, 0);
  grid->addWidget(data, 0, 1);
  grid->addWidget(costs, 1, 1, 2, 1);
  AddButtons(grid);

  connect(Modes, &QButtonGroup::idClicked, this, &TWorksheetDlg::ModeClick);
  connect(RangeEdit, &QLineEdit::textEdited, this, &TWorksheetDlg::RangeEditChange);
  connect(SelectBtn, &QPushButton::clicked, this, &TWorksheetDlg::SelectBtnClick);
  connect(LoadBtn, &QPushButton::clicked, this, &TWorksheetDlg::LoadBtnClick);
  connect(FormatBtn, &QPushButton::clicked, this, &TWorksheetDlg::FormatBtnClick);
  Check = [this] { return CheckAndStore(); };
}

void TWorksheetDlg::ModeClick(int mode) {
  if (!IsRangeMode(mode)) RangeEdit->clear();
  else if (RangeEdit->text().isEmpty()) RangeEdit->setFocus();
}

void TWorksheetDlg::RangeEditChange() {
  if (!IsRangeMode(Modes->checkedId())) Modes->button(rmRecordRange)->setChecked(true);
}

void TWorksheetDlg::SelectBtnClick() {
  TSubsetSelectionDlg dlg(subset_, this);
  if (dlg.exec() != QDialog::Accepted) return;
  Modes->button(rmSubset)->setChecked(true);
  ModeClick(rmSubset);
}

void TWorksheetDlg::LoadBtnClick() {
  if (!SelectCustomCostFile(work_.CustomCostFile)) return;
  CustomCheck->setChecked(true);
  ShowCustomCostFile();
}

// The chosen cost file is named in the hint of the custom costs box.
void TWorksheetDlg::ShowCustomCostFile() {
  const QString hint = work_.CustomCostFile.empty() ? QString("No custom cost file selected")
                                                    : QPath(work_.CustomCostFile);
  CustomCheck->setToolTip(hint);
  CustomCheck->setStatusTip(hint);
}

void TWorksheetDlg::FormatBtnClick() {
  TWorksheetFormatDlg dlg(work_, this);
  dlg.exec();
}

void TWorksheetDlg::TakeControls() {
  work_.RecordsMode = Modes->checkedId() >= 0 ? Modes->checkedId() : rmCurrent;
  work_.IncludeCostWorksheet = CostPageCheck->isChecked();
  work_.IncludeNutrientPage = NutrientPageCheck->isChecked();
  work_.ShowFieldId = FieldIdCheck->isChecked();
  work_.ShowFieldName = FieldNameCheck->isChecked();
  work_.ShowOperationName = OperationCheck->isChecked();
  work_.ShowFieldNotes = NotesCheck->isChecked();
  work_.ShowSoilTests = SoilTestsCheck->isChecked();
  work_.ShowInputCosts = InputCostsCheck->isChecked();
  work_.ShowExplanatoryNotes = ExplanatoryCheck->isChecked();
  work_.UseRemovalCost = RemovalCheck->isChecked();
  work_.UseFiveYearPrice = FiveYearCheck->isChecked();
  work_.UseCustomCosts = CustomCheck->isChecked();
  work_.ChargeAnySoilLoss = AnySoilLossCheck->isChecked();
  work_.ViewWithWord = ViewWithWordCheck->isChecked();
  work_.SaveToFile = SaveToFileCheck->isChecked();
}

bool TWorksheetDlg::CheckAndStore() {
  TakeControls();
  TWorksheetFault fault = TWorksheetFault::None;
  const std::string problem = CheckWorksheetSettings(work_, CpStr(RangeEdit->text()), &fault);
  if (!problem.empty()) {
    ShowReportError(QMsg(problem));
    QWidget* focus = fault == TWorksheetFault::Range         ? static_cast<QWidget*>(RangeEdit)
                     : fault == TWorksheetFault::Pages       ? CostPageCheck
                     : fault == TWorksheetFault::CustomCosts ? CustomCheck
                                                             : FieldIdCheck;
    focus->setFocus();
    return false;
  }
  if (work_.SaveToFile) {
    QString path;
    int kind = okText;
    if (!SelectReportFile(-1, "Save Report As", path, kind)) return false;
    work_.OutputFileName = PathStr(path);
    work_.OutputKind = kind;
  } else {
    work_.OutputFileName = kWorksheetPrefix;
    work_.OutputKind = work_.ViewWithWord ? okRtf : okText;
  }
  settings_ = work_;
  return true;
}

TWorksheetFormatDlg::TWorksheetFormatDlg(TWorksheetSettingsRec& settings, QWidget* parent)
    : TCheckedDlg("Worksheet Format", kWorksheetHelpContext, parent), settings_(settings) {
  auto* all = new QGroupBox(" Applies To All Output ");
  auto* allLayout = new QVBoxLayout(all);
  BoxedCheck = AddCheck("&Boxes Around Sections", settings.Boxed, allLayout);

  auto* document = new QGroupBox(" Apply To Document Output Only ");
  auto* documentLayout = new QGridLayout(document);
  FontSizeCombo = new QComboBox;
  for (int size : kWorksheetFontSizes) {
    FontSizeCombo->addItem(QString::number(size), size);
    if (size == settings.FontSize) FontSizeCombo->setCurrentIndex(FontSizeCombo->count() - 1);
  }
  auto* sizeLabel = new QLabel("&Font Size");
  sizeLabel->setBuddy(FontSizeCombo);
  auto* sizeRow = new QHBoxLayout;
  sizeRow->addWidget(sizeLabel);
  sizeRow->addWidget(FontSizeCombo);
  sizeRow->addStretch();
  documentLayout->addLayout(sizeRow, 0, 0, 1, 2);
  for (int role = 0; role < kTextRoles; ++role) {
    auto* box = new QGroupBox(kRoleCaptions[role]);
    auto* layout = new QGridLayout(box);
    const TTextRole& r = settings.Roles[role];
    BoldCheck[role] = new QCheckBox("Bold");
    BoldCheck[role]->setChecked(r.Style & tsBold);
    ItalicCheck[role] = new QCheckBox("Italic");
    ItalicCheck[role]->setChecked(r.Style & tsItalic);
    ColorCombo[role] = new QComboBox;
    for (int color = 0; color < kColorCount; ++color) ColorCombo[role]->addItem(QStr(ColorName(color)));
    ColorCombo[role]->setCurrentIndex(r.Color < kColorCount ? r.Color : 0);
    layout->addWidget(BoldCheck[role], 0, 0);
    layout->addWidget(ItalicCheck[role], 0, 1);
    layout->addWidget(new QLabel("Color"), 1, 0);
    layout->addWidget(ColorCombo[role], 1, 1);
    documentLayout->addWidget(box, 1 + role / 2, role % 2);
  }
  auto* layout = new QVBoxLayout;
  layout->addWidget(all);
  layout->addWidget(document);
  AddButtons(layout);
  Check = [this] {
    settings_.Boxed = BoxedCheck->isChecked();
    settings_.FontSize = static_cast<int16_t>(FontSizeCombo->currentData().toInt());
    for (int role = 0; role < kTextRoles; ++role) {
      TTextRole& r = settings_.Roles[role];
      r.Style = static_cast<uint16_t>((r.Style & ~(tsBold | tsItalic)) | (BoldCheck[role]->isChecked() ? tsBold : 0) |
                                      (ItalicCheck[role]->isChecked() ? tsItalic : 0));
      r.Color = static_cast<uint16_t>(ColorCombo[role]->currentIndex());
    }
    return true;
  };
}
