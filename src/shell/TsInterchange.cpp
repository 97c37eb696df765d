#include "TsInterchange.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "TsFileCmds.h"
#include "TsMessages.h"
#include "TsSubsetDlg.h"
#include "filebase/FileUtl.h"

namespace {

QString WithoutAmpersand(QString caption) { return caption.remove('&'); }

QGroupBox* RecordsGroup(TRecordsChoice& c, int records, TRecordSubset& subset, QWidget* owner) {
  auto* box = new QGroupBox(" Records To Include ");
  c.AllBtn = new QRadioButton("&All Records");
  c.SubsetBtn = new QRadioButton("Su&bset");
  c.SelectBtn = new QPushButton("&Select...");
  (records == 1 ? c.SubsetBtn : c.AllBtn)->setChecked(true);
  QRadioButton* subsetBtn = c.SubsetBtn;
  QObject::connect(c.SelectBtn, &QPushButton::clicked, owner, [&subset, subsetBtn, owner] {
    TSubsetSelectionDlg dlg(subset, owner);
    if (dlg.exec() == QDialog::Accepted) subsetBtn->setChecked(true);
  });
  auto* layout = new QVBoxLayout(box);
  layout->addWidget(c.AllBtn);
  layout->addWidget(c.SubsetBtn);
  layout->addWidget(c.SelectBtn, 0, Qt::AlignLeft);
  return box;
}

QCheckBox* AddCheck(const char* caption, bool checked, QLayout* layout) {
  auto* box = new QCheckBox(caption);
  box->setChecked(checked);
  layout->addWidget(box);
  return box;
}

QGroupBox* ExcludeGroup(TExcludeChecks& c, bool name, bool address, bool notes) {
  auto* box = new QGroupBox(" Data To Exclude ");
  auto* layout = new QVBoxLayout(box);
  c.Name = AddCheck("Ope&ration Name And Contact", name, layout);
  c.Address = AddCheck("A&ddress And Phone", address, layout);
  c.Notes = AddCheck("&Field Notes And FSA Numbers", notes, layout);
  return box;
}

}  // namespace

TExportDataDlg::TExportDataDlg(const TExportSettingsRec& settings, TRecordSubset& subset, QWidget* parent)
    : TCheckedDlg("Export Data", 107, parent), settings_(settings) {
  auto* grid = new QGridLayout;
  grid->addWidget(RecordsGroup(Records, settings.records, subset, this), 0, 0);
  QGroupBox* exclude = ExcludeGroup(Exclude, settings.excludeName, settings.excludeAddress, settings.excludeNotes);
  ExcludeCostsCheck = AddCheck("Cos&ts, Income And Profit", settings.excludeCosts, exclude->layout());
  grid->addWidget(exclude, 0, 1);

  auto* costs = new QGroupBox(" Cost Options ");
  auto* costLayout = new QVBoxLayout(costs);
  RemovalCheck = AddCheck("Use N-P-K Re&moval Cost", settings.removalCost, costLayout);
  FiveYearCheck = AddCheck("Use &5-Year Selling Price", settings.fiveYearPrice, costLayout);
  auto* customRow = new QHBoxLayout;
  CustomCheck = AddCheck("Use &Custom Costs", settings.useCustomCosts, customRow);
  LoadBtn = new QPushButton("&Load...");
  customRow->addWidget(LoadBtn);
  costLayout->addLayout(customRow);
  SoilLossCheck = AddCheck("Charge For A&ny Soil Loss", settings.soilLossCharge, costLayout);
  connect(LoadBtn, &QPushButton::clicked, this, &TExportDataDlg::LoadBtnClick);
  grid->addWidget(costs, 1, 0);

  auto* formats = new QGroupBox(" Export Format ");
  auto* formatLayout = new QVBoxLayout(formats);
  auto* group = new QButtonGroup(this);
  const char* captions[efFormats] = {"SQLite Databas&e", "dBASE F&iles",          "QRL &Plan",
                                     "&JSON File",       "Spreadsheet (&XLSX)", "CS&V Files"};
  for (int f = 0; f < efFormats; ++f) {
    FormatBtns[f] = new QRadioButton(captions[f]);
    group->addButton(FormatBtns[f], f);
    formatLayout->addWidget(FormatBtns[f]);
  }
  FormatBtns[settings.format]->setChecked(true);
  grid->addWidget(formats, 1, 1);
  AddButtons(grid);
}

TExportSettingsRec TExportDataDlg::Settings() const {
  TExportSettingsRec s = settings_;
  s.records = Records.SubsetBtn->isChecked() ? 1 : 0;
  s.useCustomCosts = CustomCheck->isChecked();
  s.removalCost = RemovalCheck->isChecked();
  s.fiveYearPrice = FiveYearCheck->isChecked();
  s.soilLossCharge = SoilLossCheck->isChecked();
  s.excludeName = Exclude.Name->isChecked();
  s.excludeAddress = Exclude.Address->isChecked();
  s.excludeNotes = Exclude.Notes->isChecked();
  s.excludeCosts = ExcludeCostsCheck->isChecked();
  for (int f = 0; f < efFormats; ++f)
    if (FormatBtns[f]->isChecked()) s.format = f;
  return s;
}

void TExportDataDlg::LoadBtnClick() {
  const std::string path =
      PathStr(FileChooser().OpenFile("Custom Cost File", "Custom Cost (*.mcc)|*.mcc", nullptr));
  if (path.empty()) return;
  const std::string bad = ExtensionCheckText(path, ".mcc");
  if (!bad.empty()) return Messages().Error("Unable to open file for the following reason:\n\n" + QMsg(bad));
  settings_.costFileName = path;
  CustomCheck->setChecked(true);
}

bool TExportDataDlg::CheckCustomCosts() {
  if (!CustomCheck->isChecked() || !settings_.costFileName.empty()) return true;
  Messages().Error("You checked the " + WithoutAmpersand(CustomCheck->text()) +
                   " box, but you have not selected a custom cost file.\n\nClick the " +
                   WithoutAmpersand(LoadBtn->text()).remove("...") +
                   " button to select a cost file, or uncheck the box to use standard costs.");
  CustomCheck->setFocus();
  return false;
}

TExtractDlg::TExtractDlg(const TExtractSettingsRec& settings, TRecordSubset& subset, bool canAdvance,
                         QWidget* parent)
    : TCheckedDlg("Extract Project", 106, parent), settings_(settings) {
  auto* grid = new QGridLayout;
  TitleEdit = new QLineEdit;
  TitleEdit->setMaxLength(60);
  auto* titleRow = new QHBoxLayout;
  auto* titleLabel = new QLabel("&Title");
  titleLabel->setBuddy(TitleEdit);
  titleRow->addWidget(titleLabel);
  titleRow->addWidget(TitleEdit);
  grid->addLayout(titleRow, 0, 0, 1, 2);
  grid->addWidget(RecordsGroup(Records, settings.records, subset, this), 1, 0);
  QGroupBox* exclude = ExcludeGroup(Exclude, settings.excludeName, settings.excludeAddress, settings.excludeNotes);
  AdvanceCheck = AddCheck("&Current Data (Advance Year)", settings.advanceYear && canAdvance, exclude->layout());
  AdvanceCheck->setEnabled(canAdvance);
  grid->addWidget(exclude, 1, 1);
  AddButtons(grid);
}

TExtractSettingsRec TExtractDlg::Settings() const {
  TExtractSettingsRec s = settings_;
  s.title = CpStr(TitleEdit->text());
  s.records = Records.SubsetBtn->isChecked() ? 1 : 0;
  s.excludeName = Exclude.Name->isChecked();
  s.excludeAddress = Exclude.Address->isChecked();
  s.excludeNotes = Exclude.Notes->isChecked();
  s.advanceYear = AdvanceCheck->isEnabled() && AdvanceCheck->isChecked();
  return s;
}

TRecordProgress::TRecordProgress(const QString& title, QWidget* parent)
    : QProgressDialog(QString(), "Cancel", 0, 1, parent) {
  setWindowTitle(title);
  setWindowModality(Qt::ApplicationModal);
  setMinimumDuration(500);
  setAutoClose(false);
  setAutoReset(false);
}

bool TRecordProgress::Step(int done, int total) {
  if (finished_) return !cancelled_;
  if (maximum() != total) setMaximum(total > 0 ? total : 1);
  setLabelText(QString("%1 of %2 records").arg(done).arg(total));
  setValue(done);
  QCoreApplication::processEvents();
  return !wasCanceled();
}

bool TRecordProgress::Finish() {
  if (finished_) return cancelled_;
  finished_ = true;
  cancelled_ = wasCanceled();
  reset();  // stops the timer that would show the window later
  hide();
  return cancelled_;
}
