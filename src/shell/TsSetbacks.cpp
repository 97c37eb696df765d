#include "TsSetbacks.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "TsMain.h"
#include "TsMessages.h"
#include "TsReportView.h"
#include "TsStart.h"
#include "common/Format.h"
#include "store/StateTables.h"

namespace {

constexpr int kSetbacksHelp = 144;
constexpr int kMostFeatureListWidth = 560;

QListWidget* CheckList(const QStringList& items) {
  auto* list = new QListWidget;
  for (const QString& text : items) {
    auto* item = new QListWidgetItem(text, list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  return list;
}

QLineEdit* NumberEdit() {
  auto* edit = new QLineEdit;
  edit->setMaxLength(6);
  edit->setMaximumWidth(64);
  return edit;
}

// A number entry's text: empty for -1 (not given), else the value without trailing zeros.
QString EntryText(double value, int decimals) {
  return value < 0 ? QString() : QStr(FormatReal(value, decimals, fmtTrimZeros));
}

}  // namespace

TSetbacksRptDlg::TSetbacksRptDlg(TSetbacksRptSettingsRec& settings, int state, const std::vector<std::string>& features,
                                 QWidget* parent)
    : TCheckedDlg("Manure Application Setbacks Report", kSetbacksHelp, parent), settings_(settings), state_(state) {
  auto* instructions =
      new QLabel("Instructions: Enter as much information as you can about the planned manure application.");
  QFont italic = instructions->font();
  italic.setItalic(true);
  instructions->setFont(italic);

  QStringList featureItems;
  for (const std::string& f : features) featureItems << QStr(f);
  FeatureList = CheckList(featureItems);
  // Wide enough for the feature names and their operation types, as far as a small screen allows.
  FeatureList->setMinimumWidth(std::min(FeatureList->sizeHintForColumn(0) + 2 * FeatureList->frameWidth() +
                                            FeatureList->verticalScrollBar()->sizeHint().width(),
                                        kMostFeatureListWidth));
  auto* featureLbl = new QLabel("&Geographic Features [Type of Farm Operation]");
  featureLbl->setBuddy(FeatureList);
  QStringList conditions;
  for (int c = 0; c < kAppliedToCount; ++c) conditions << QStr(AppliedToCaption(c));
  AppliedToList = CheckList(conditions);
  AppliedToList->setMaximumHeight(AppliedToList->sizeHintForRow(0) * kAppliedToCount + 2 * AppliedToList->frameWidth());
  auto* appliedLbl = new QLabel("Manure &Applied To");
  appliedLbl->setBuddy(AppliedToList);

  auto* left = new QVBoxLayout;
  left->addWidget(featureLbl);
  left->addWidget(FeatureList, 1);
  left->addWidget(appliedLbl);
  left->addWidget(AppliedToList);

  auto* grid = new QGridLayout;
  grid->addWidget(instructions, 0, 0, 1, 2);
  grid->addLayout(left, 1, 0);
  grid->addWidget(BuildApplication(), 1, 1);
  grid->setColumnStretch(0, 1);
  AddButtons(grid);
  Check = [this] { return OkClick(); };
  ShowSettings();
}

QWidget* TSetbacksRptDlg::BuildApplication() {
  auto* how = new QGroupBox(" How Manure Applied ");
  auto* howLayout = new QVBoxLayout(how);
  HowAppliedGroup = new QButtonGroup(this);
  for (int m = 0; m < kHowAppliedCount; ++m) {
    auto* radio = new QRadioButton(HowAppliedCaption(m));
    HowAppliedGroup->addButton(radio, m);
    howLayout->addWidget(radio);
  }
  connect(HowAppliedGroup, &QButtonGroup::idClicked, this, &TSetbacksRptDlg::HowAppliedClick);

  DaysEdit = NumberEdit();
  BufferEdit = NumberEdit();
  SlopeEdit = NumberEdit();
  ResidueEdit = NumberEdit();
  DaysLbl = new QLabel(kDaysToIncLabel);
  GradientCheck = new QCheckBox("Gradient Barrier");
  auto* entries = new QGridLayout;
  const std::pair<QWidget*, QLineEdit*> rows[] = {{DaysLbl, DaysEdit},
                                                   {new QLabel(kBufferWidthLabel), BufferEdit},
                                                   {new QLabel(kSlopeLabel), SlopeEdit},
                                                   {new QLabel(kResidueLabel), ResidueEdit}};
  int row = 0;
  for (const auto& [label, edit] : rows) {
    entries->addWidget(label, row, 0);
    entries->addWidget(edit, row++, 1);
  }
  entries->addWidget(GradientCheck, row, 0, 1, 2);

  auto* output = new QGroupBox(" Output Options ");
  ViewWordCheck = new QCheckBox("View With Word");
  SaveToFileCheck = new QCheckBox("Save To File");
  auto* outputLayout = new QVBoxLayout(output);
  outputLayout->addWidget(ViewWordCheck);
  outputLayout->addWidget(SaveToFileCheck);

  auto* box = new QWidget;
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(how);
  layout->addLayout(entries);
  layout->addStretch(1);
  layout->addWidget(output);
  return box;
}

void TSetbacksRptDlg::ShowSettings() {
  TSetbacksRptSettingsRec& s = settings_;
  if (s.FeatureState != state_) s.Features.reset();  // ticks of another state's list mean nothing here
  for (int j = 0; j < FeatureList->count(); ++j)
    FeatureList->item(j)->setCheckState(s.Features[j] ? Qt::Checked : Qt::Unchecked);
  if (QAbstractButton* b = HowAppliedGroup->button(s.HowApplied)) b->setChecked(true);
  HowAppliedClick(s.HowApplied);
  DaysEdit->setText(EntryText(s.DaysToIncorporation, 1));
  BufferEdit->setText(EntryText(s.BufferWidth, 0));
  SlopeEdit->setText(EntryText(s.SlopePercent, 1));
  ResidueEdit->setText(EntryText(s.ResiduePercent, 0));
  GradientCheck->setChecked(s.GradientBarrier);
  for (int c = 0; c < kAppliedToCount; ++c)
    AppliedToList->item(c)->setCheckState(s.AppliedTo[c] ? Qt::Checked : Qt::Unchecked);
}

// Days to incorporation mean something only for incorporated manure.
void TSetbacksRptDlg::HowAppliedClick(int method) {
  const bool incorporated = method == haLiquidIncorporated || method == haSolidIncorporated;
  DaysLbl->setEnabled(incorporated);
  DaysEdit->setEnabled(incorporated);
}

QWidget* TSetbacksRptDlg::FaultControl(TSetbacksFault fault) const {
  switch (fault) {
    case TSetbacksFault::Features: return FeatureList;
    case TSetbacksFault::HowApplied: return HowAppliedGroup->buttons().value(0);
    case TSetbacksFault::Days: return DaysEdit;
    case TSetbacksFault::Buffer: return BufferEdit;
    case TSetbacksFault::Slope: return SlopeEdit;
    case TSetbacksFault::Residue: return ResidueEdit;
    case TSetbacksFault::None: break;
  }
  return nullptr;
}

bool TSetbacksRptDlg::OkClick() {
  TSetbacksRptSettingsRec s = settings_;
  TSetbacksEntries entries;
  for (int j = 0; j < FeatureList->count(); ++j)
    entries.tickedFeatures += FeatureList->item(j)->checkState() == Qt::Checked;
  entries.howApplied = HowAppliedGroup->checkedId();
  entries.days = CpStr(DaysEdit->text());
  entries.buffer = CpStr(BufferEdit->text());
  entries.slope = CpStr(SlopeEdit->text());
  entries.residue = CpStr(ResidueEdit->text());
  TSetbacksFault fault = TSetbacksFault::None;
  const std::string problem = CheckSetbacksEntries(entries, s, &fault);
  if (!problem.empty()) {
    ShowReportError(QMsg(problem));
    QWidget* control = FaultControl(fault);
    if (control && control->isEnabled()) control->setFocus(Qt::OtherFocusReason);
    return false;
  }
  s.SaveToFile = SaveToFileCheck->isChecked();
  if (!s.SaveToFile) {
    s.OutputFileName = kSetbacksPrefix;
    s.OutputKind = okRtf;  // the preview and the word processor both show RTF
  } else {
    QString path;
    int kind = okText;
    if (!SelectReportFile(-1, "Save Report As", path, kind)) return false;
    s.OutputFileName = PathStr(path);
    s.OutputKind = kind;
  }
  s.FeatureState = state_;
  s.Features.reset();
  for (int j = 0; j < FeatureList->count(); ++j) s.Features[j] = FeatureList->item(j)->checkState() == Qt::Checked;
  s.GradientBarrier = GradientCheck->isChecked();
  for (int c = 0; c < kAppliedToCount; ++c) s.AppliedTo[c] = AppliedToList->item(c)->checkState() == Qt::Checked;
  s.ViewWithWord = ViewWordCheck->isChecked();
  settings_ = s;
  return true;
}

// The report reads no field record: the edit record need not be valid or saved.
void TMainForm::SetbacksReport() {
  if (!projectOpen_) return;
  const int state = mda_.ProjectState();
  TStateTables* tables = mda_.StateTables();
  std::string message;
  if (!tables || !tables->LoadStateTables(state, message)) {
    ShowReportError(QMsg(message));
    return;
  }
  const TCheckedFileDb& db = tables->Db();
  if (db.FieldRowCount(sbCritKey) == 0) {
    ShowReportError(kNoSetbacksText);
    return;
  }
  TSetbacksRptDlg dlg(setbacks_, state, SetbackFeatureItems(db), this);
  if (dlg.exec() != QDialog::Accepted) return;
  const TSetbacksPlace place{db, mcn_.RegionWordCapitalized(), mcn_.StateName(state)};
  TSetbacksRptDoc doc;
  {
    TWaitCursor wait;
    if (doc.Open(setbacks_, startup_.ProgramId, place)) doc.WriteReport(&DesktopViewer());
  }
  if (doc.GetStatus() != 0)
    ShowReportError(QString(kSetbacksFailedText) + "\n\n" + QMsg(doc.GetErrorText()));
}
