// The record pages of the main window: showing the edit record and writing typed values, list
// choices and checks back into it.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "TsAbout.h"
#include "TsEdit.h"
#include "TsGrids.h"
#include "TsMain.h"
#include "TsMessages.h"
#include "TsPages.h"
#include "common/Flags.h"
#include "common/Format.h"
#include "common/TextUtil.h"
#include "reports/NutrEngine.h"
#include "reports/NutrNeeds.h"
#include "vocab/CodeLists.h"
#include "store/CropCalc.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

namespace {

QString Capitalized(const std::string& word) {
  QString s = QStr(word);
  if (!s.isEmpty()) s[0] = s[0].toUpper();
  return s;
}

// The soil test units lists, in the order of their fields.
struct TUnitsField {
  QComboBox* TRecordPages::*combo;
  uint8_t TFieldRec::*units;
};
const TUnitsField kUnitsFields[] = {
    {&TRecordPages::PUnitsCombo, &TFieldRec::P_Units},   {&TRecordPages::KUnitsCombo, &TFieldRec::K_Units},
    {&TRecordPages::MgUnitsCombo, &TFieldRec::Mg_Units}, {&TRecordPages::CaUnitsCombo, &TFieldRec::Ca_Units},
    {&TRecordPages::NaUnitsCombo, &TFieldRec::Na_Units}, {&TRecordPages::AlUnitsCombo, &TFieldRec::Al_Units},
};

void SelectOrBlank(QComboBox* combo, int index) {
  const QSignalBlocker block(combo);
  combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : 0);
}

// Rebuilds a list of a state table: the blank entry, then the names in file order; selects the
// entry whose number is `number`, else the blank one. Without tables only the blank entry.
void FillStateList(QComboBox* combo, const TStateTables* tables, int numberField, int nameField, int number) {
  const QSignalBlocker block(combo);
  combo->clear();
  combo->addItem(" ");
  int selected = 0;
  if (tables) {
    const TQriFileDb& db = tables->Db();
    for (int row = 0; row < db.FieldRowCount(numberField); ++row) {
      combo->addItem(QStr(db.GetFieldValue(nameField, row)));
      if (db.GetFieldInteger(numberField, row) == number) selected = row + 1;
    }
  }
  combo->setCurrentIndex(selected);
}

// The number of a state list's entry (0 for the blank one).
int StateListNumber(const TStateTables* tables, int numberField, int index) {
  return tables && index > 0 ? tables->Db().GetFieldInteger(numberField, index - 1) : 0;
}

// A trait's name without a closing " FEE".
QString TraitText(const std::string& name) {
  const std::string fee = " FEE";
  if (name.size() >= fee.size() && SameText(name.substr(name.size() - fee.size()), fee))
    return QStr(name.substr(0, name.size() - fee.size()));
  return QStr(name);
}

}  // namespace

void TMainForm::ConnectPages() {
  for (auto& [field, edit] : pages_->Entries()) {
    const TEntryDef* def = FindEntryDef(field);
    edit->SetValidator([this, def](TEntryEdit& e, bool leaving) { return EditUserValidation(*def, e, leaving); });
  }
  for (QComboBox* combo : pages_->Combos())
    connect(combo, &QComboBox::currentIndexChanged, this, [this, combo](int index) { EditComboChange(combo, index); });
  connect(pages_->AttachmentsList, &QListWidget::itemChanged, this, [this] { AttachmentsCheckListClickCheck(); });
  connect(pages_->TraitsList, &QListWidget::itemChanged, this, [this] { BioTechSeedCheckListClickCheck(); });
  connect(pages_->AnnManureCheck, &QCheckBox::clicked, this, [this](bool on) { AnnManuredCheckBoxClick(on); });
  connect(pages_->SoilTestInfoBtn, &QPushButton::clicked, this, [this] { DoSoilTestInfoDlg(); });
  connect(pages_, &QTabWidget::currentChanged, this, [this](int page) { DataEntryPanelsChange(page); });
  connect(pages_->DefRecSrcURL, &QLabel::linkActivated, this, [](const QString& url) {
    if (!OpenService()(url, {})) Messages().Error("Unable to start your Web browser.");
  });
}

void TMainForm::InitFixedLists() {
  QStringList units{" "};
  for (int code = 1; code <= CodeListCount(TCodeList::SoilTestUnits); ++code)
    units << QStr(CodeLongName(TCodeList::SoilTestUnits, code)) + " ";
  for (const TUnitsField& f : kUnitsFields) (pages_->*f.combo)->addItems(units);
  for (int code = 1; code <= CodeListCount(TCodeList::PlanterAttachments); ++code) {
    auto* item = new QListWidgetItem(" " + QStr(CodeLongName(TCodeList::PlanterAttachments, code)));
    item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    item->setCheckState(Qt::Unchecked);
    pages_->AttachmentsList->addItem(item);
  }
  QStringList weights{" "};
  for (int pos = 1; pos <= UnitCountInMask(ucWeight); ++pos)
    weights << QStr(UnitMediumName(UnitAtListPosition(ucWeight, pos))) + " ";
  pages_->CurWtUnitCombo->addItems(weights);
  pages_->CovWtUnitCombo->addItems(weights);
  for (QComboBox* c : {pages_->PTestCombo, pages_->DrainCombo}) c->addItem(" ");
}

// Labels, lengths and masks of the address entries from the country's conventions.
void TMainForm::ApplyCountrySettings() {
  pages_->Caption("Addr_State")->setText(QStr(mcn_.RegionWordCapitalized()));
  pages_->Caption("Addr_Zip")->setText(QStr(country_->PostalCodeLabel()));
  TEntryEdit* state = pages_->Entry("Addr_State");
  state->setMaxLength(country_->StateLengthLimit());
  state->SetMask(country_->StateCharRule() == TCharRule::LettersUpper ? TEntryMask::UpperLetters
                                                                       : TEntryMask::Letters);
  TEntryEdit* zip = pages_->Entry("Addr_Zip");
  zip->setMaxLength(country_->PostalCodeLengthLimit());
  zip->SetMask(country_->PostalCodeCharRule() == TCharRule::DigitsDash ? TEntryMask::PostalDigits
                                                                        : TEntryMask::Upper);
}

TEntryContext TMainForm::EntryContext() const {
  TEntryContext ctx;
  ctx.year = editRec_.Year;
  ctx.primaryCropEntered = editRec_.Cur_Crop != 0;
  ctx.primaryPlantClass = CropInfo(editRec_.Cur_Crop).PlantingClass;
  ctx.firstCropEntered = editRec_.Cov_Crop != 0;
  ctx.firstPlantClass = CropInfo(editRec_.Cov_Crop).PlantingClass;
  return ctx;
}

void TMainForm::AssignEditRec(const TFieldRec& rec, int n) {
  const QSignalBlocker block(pages_);
  showing_ = true;
  editRec_ = rec;
  savedRec_ = rec;
  curRec_ = n;
  UpdateCropSpecificControls();
  for (bool& flag : refresh_) flag = true;
  UpdateTableData(pages_->currentIndex());
  for (const TEntryDef& def : PageEntryDefs()) pages_->Entry(def.field)->ShowText(QStr(EntryText(rec, def)));
  ShowGeneralPage(rec);
  ShowSoilTestsPage(rec);
  UpdateDefaultFertRecs();
  ShowPlantingPage(rec);
  ShowErosionPage(rec);
  ShowHarvestPage(rec);
  lastState_ = rec.State;
  showing_ = false;
}

void TMainForm::RebuildCountyList(int state) {
  QComboBox* combo = pages_->CountyCombo;
  const QSignalBlocker block(combo);
  combo->clear();
  combo->addItem(" ");
  for (int county = 1; county <= mcn_.CountyCount(state); ++county)
    combo->addItem(QStr(mcn_.CountyName(county, state)) + " ");
}

void TMainForm::ShowGeneralPage(const TFieldRec& rec) {
  if (rec.State != lastState_) RebuildCountyList(rec.State);
  SelectOrBlank(pages_->CountyCombo, rec.County);
}

TStateTables* TMainForm::StateTablesFor(const TFieldRec& rec) {
  TStateTables* tables = projectOpen_ ? mda_.StateTables() : nullptr;
  return tables && tables->LoadStateTables(rec.State) ? tables : nullptr;
}

void TMainForm::ShowSoilTestsPage(const TFieldRec& rec) {
  for (const TUnitsField& f : kUnitsFields) SelectOrBlank(pages_->*f.combo, rec.*f.units);
  FillStateList(pages_->PTestCombo, StateTablesFor(rec), kQfPTestDef, kQfPTestName, rec.P_Test);
}

void TMainForm::ShowPlantingPage(const TFieldRec& rec) {
  const bool writable = Writable();
  QListWidget* attachments = pages_->AttachmentsList;
  const QSignalBlocker block(attachments);
  for (int k = 1; k <= attachments->count(); ++k) {
    QListWidgetItem* item = attachments->item(k - 1);
    item->setCheckState(HasFlag(rec.Attchments, k) ? Qt::Checked : Qt::Unchecked);
    item->setFlags(writable ? (Qt::ItemIsUserCheckable | Qt::ItemIsEnabled) : Qt::ItemIsUserCheckable);
  }
  attachments->scrollToTop();
  attachments->setCurrentRow(-1);
}

// The primary crop's traits, those of the edit record checked; each enabled only when the file
// is writable.
void TMainForm::ShowTraits() {
  QListWidget* traits = pages_->TraitsList;
  const QSignalBlocker block(traits);
  traits->clear();
  const int crop = editRec_.Cur_Crop;
  const auto flags = Writable() ? (Qt::ItemIsUserCheckable | Qt::ItemIsEnabled) : Qt::ItemIsUserCheckable;
  for (int pos = 1; pos <= mdf_.CountTraits(crop); ++pos) {
    auto* item = new QListWidgetItem(" " + TraitText(mdf_.TraitName(mdf_.TraitAt(crop, pos))));
    item->setFlags(flags);
    item->setCheckState(Qt::Unchecked);
    traits->addItem(item);
  }
  for (uint16_t code : editRec_.Biotech)
    if (const int pos = TraitListPosition(code)) traits->item(pos - 1)->setCheckState(Qt::Checked);
}

// The list position of a stored trait; 0 for none and for a trait that is not among the primary
// crop's (possible in imported records).
int TMainForm::TraitListPosition(uint16_t code) {
  const int pos = code ? mdf_.TraitPosition(editRec_.Cur_Crop, code) : 0;
  return pos >= 1 && pos <= pages_->TraitsList->count() ? pos : 0;
}

void TMainForm::ShowErosionPage(const TFieldRec& rec) {
  if (rec.State != lastState_) grids_->SetSoilsState(rec.State);
  FillStateList(pages_->DrainCombo, StateTablesFor(rec), qfDrainDef, qfDrainName, rec.Drain_Type);
  pages_->AnnManureCheck->setChecked(rec.HasFlag(rfAnnManure));
}

void TMainForm::ShowHarvestPage(const TFieldRec& rec) {
  SelectOrBlank(pages_->CurWtUnitCombo, UnitListPosition(ucWeight, rec.Cur_WtUnit));
  SelectOrBlank(pages_->CovWtUnitCombo, UnitListPosition(ucWeight, rec.Cov_WtUnit));
}

// Rebuilds the lists that depend on the crops and shows the edit record's choices in them again:
// a rebuilt list must not look cleared, or the next click would store it so.
void TMainForm::UpdateCropSpecificControls() {
  const int cur = editRec_.Cur_Crop, cov = editRec_.Cov_Crop;
  ShowTraits();
  pages_->Units("Cur_PlRate")->setText(QStr(PlantingRateUnit(cur)));
  pages_->Units("Cov_PlRate")->setText(QStr(PlantingRateUnit(cov)));
  grids_->RebuildInputLists(CropBit(cov) | CropBit(cur));
  const QString moisture = Capitalized(MoistureWord(cur));
  pages_->Caption("Cur_Mois")->setText(moisture + " At Harvest");
  pages_->Caption("Cur_StMois")->setText("Standard " + moisture);
  bool anySecond = false;
  for (int col = 0; col < 2; ++col) {
    const int crop = col == 0 ? cur : cov;
    const std::string prefix = col == 0 ? "Cur_" : "Cov_";
    TStateTables* tables = projectOpen_ ? mda_.StateTables() : nullptr;
    QString yieldUnits = tables ? QStr(tables->YieldUnitText(col == 0 ? csCur : csCov, editRec_)) : QString();
    if (!yieldUnits.isEmpty()) {
      yieldUnits += "/A";
      if (HasSecondaryYield(crop)) yieldUnits += " " + Capitalized(YieldWord(crop));
    }
    pages_->Units(prefix + "Yield")->setText(yieldUnits);
    QString addUnits = QStr(crop ? mdf_.InputCostUnitName(TMdfFile::ExtraPriceCode(crop, false), false) : "");
    if (!addUnits.isEmpty()) addUnits += "/A " + Capitalized(SecondaryYieldWord(crop));
    pages_->Units(prefix + "Yield2")->setText(addUnits);
    const bool second = HasSecondaryYield(crop);
    pages_->Entry(prefix + "Yield2")->setVisible(second);
    pages_->Units(prefix + "Yield2")->setVisible(second);
    anySecond = anySecond || second;
    QComboBox* premium = col == 0 ? pages_->CurPremCombo : pages_->CovPremCombo;
    const QSignalBlocker block(premium);
    premium->clear();
    premium->addItem(" ");
    for (int pos = 1; pos <= mdf_.CountPremiums(crop); ++pos)
      premium->addItem(QStr(mdf_.InputName(mdf_.PremiumAt(crop, pos))) + " ");
    SelectOrBlank(premium, mdf_.PremiumPosition(crop, col == 0 ? editRec_.Cur_Prem : editRec_.Cov_Prem));
  }
  pages_->AddYieldRowLabel->setVisible(anySecond);
}

// The default recommendations of the record and their source; all empty when the state's
// tables cannot be loaded.
void TMainForm::UpdateDefaultFertRecs() {
  TRecordPages& p = *pages_;
  QLineEdit* const edits[] = {p.DefNRec, p.DefPRec, p.DefKRec};
  const int columns[] = {rcN, rcP2O5, rcK2O};
  for (QLineEdit* e : edits) e->clear();
  p.DefRecSrcURL->hide();
  p.DefRecSource->show();
  p.DefRecSource->clear();
  TStateTables* tables = HasRecords() ? StateTablesFor(editRec_) : nullptr;
  if (!tables) return;
  TNutrEngine engine(*tables);
  bool provisional[3] = {};
  for (int i = 0; i < 3; ++i) {
    double value = 0;
    if (engine.DefaultRec(columns[i], editRec_, value, &provisional[i])) edits[i]->setText(QStr(FormatReal(value, 0)));
  }
  const int row = tables->CropDefinitionRow(csCur, editRec_);
  if (row < 0) return;
  std::string source = tables->Db().GetFieldValue(kQfSource, row);
  if (!source.empty() && source.back() != '.') source += '.';
  // Rates not checked against the publication's table are said so after the source.
  const std::string unchecked = ProvisionalText(provisional);
  const QString url = QStr(tables->Db().GetFieldValue(kQfSrcURL, row));
  if (url.isEmpty()) {
    p.DefRecSource->setText(QStr(source + (unchecked.empty() ? "" : " " + unchecked)));
    p.DefRecSource->selectAll();
    return;
  }
  p.DefRecSrcURL->setText("<a href=\"" + url.toHtmlEscaped() + "\">" + QPath(source).toHtmlEscaped() + "</a>" +
                          (unchecked.empty() ? QString() : " " + QStr(unchecked).toHtmlEscaped()));
  p.DefRecSrcURL->setStatusTip(url);
  p.DefRecSrcURL->setToolTip(url);
  p.DefRecSource->hide();
  p.DefRecSrcURL->show();
}

QString TMainForm::EditUserValidation(const TEntryDef& def, TEntryEdit& edit, bool leaving) {
  if (!HasRecords() || !Writable()) return {};
  const TEntryResult r = AcceptEntry(editRec_, def, CpStr(edit.text()), EntryContext());
  if (r.code != 0) return QStr(r.message);
  if (leaving) edit.ReformatText(QStr(r.shownText));
  const std::string field = def.field;
  static const char* const kYieldInputs[] = {"Area", "Wt", "Mois", "StMois"};
  for (const char* input : kYieldInputs) {
    if (field == std::string("Cur_") + input) UpdateCurYield();
    if (field == std::string("Cov_") + input) UpdateFirstYield();
  }
  return {};
}

void TMainForm::EditComboChange(QComboBox* combo, int index) {
  if (showing_ || !HasRecords() || !Writable() || index < 0) return;
  TRecordPages& p = *pages_;
  if (combo == p.CountyCombo) {
    editRec_.County = static_cast<uint16_t>(index);
    panels_[spCounty]->setText(" " + combo->currentText());
    return;
  }
  for (const TUnitsField& f : kUnitsFields)
    if (combo == p.*f.combo) editRec_.*f.units = static_cast<uint8_t>(index);
  if (combo == p.CurWtUnitCombo || combo == p.CovWtUnitCombo) {
    const bool primary = combo == p.CurWtUnitCombo;
    (primary ? editRec_.Cur_WtUnit : editRec_.Cov_WtUnit) =
        static_cast<uint8_t>(index ? UnitAtListPosition(ucWeight, index) : 0);
    UpdateYield(primary);
  }
  if (combo == p.CurPremCombo) editRec_.Cur_Prem = static_cast<uint16_t>(mdf_.PremiumAt(editRec_.Cur_Crop, index));
  if (combo == p.CovPremCombo) editRec_.Cov_Prem = static_cast<uint16_t>(mdf_.PremiumAt(editRec_.Cov_Crop, index));
  if (combo == p.PTestCombo)
    editRec_.P_Test = static_cast<uint8_t>(StateListNumber(StateTablesFor(editRec_), kQfPTestDef, index));
  if (combo == p.DrainCombo)
    editRec_.Drain_Type = static_cast<uint8_t>(StateListNumber(StateTablesFor(editRec_), qfDrainDef, index));
}

void TMainForm::AttachmentsCheckListClickCheck() {
  if (showing_ || !Writable()) return;
  uint32_t set = 0;
  for (int k = 1; k <= pages_->AttachmentsList->count(); ++k)
    set = WithFlag(set, k, pages_->AttachmentsList->item(k - 1)->checkState() == Qt::Checked);
  editRec_.Attchments = set;
}

// The checked traits in list order; stored traits that have no item in the list stay after them.
void TMainForm::BioTechSeedCheckListClickCheck() {
  if (showing_ || !Writable()) return;
  std::vector<uint16_t> codes;
  for (int i = 0; i < pages_->TraitsList->count(); ++i)
    if (pages_->TraitsList->item(i)->checkState() == Qt::Checked)
      codes.push_back(static_cast<uint16_t>(mdf_.TraitAt(editRec_.Cur_Crop, i + 1)));
  for (uint16_t code : editRec_.Biotech)
    if (code && !TraitListPosition(code)) codes.push_back(code);
  for (int slot = 0; slot < kBiotechSlots; ++slot)
    editRec_.Biotech[slot] = slot < static_cast<int>(codes.size()) ? codes[slot] : 0;
}

void TMainForm::AnnManuredCheckBoxClick(bool checked) {
  if (showing_ || !Writable()) return;
  editRec_.SetFlag(rfAnnManure, checked);
}

void TMainForm::DataEntryPanelsChange(int page) {
  UpdateTableData(page);
  if (page == pgCrops) UpdateDefaultFertRecs();
}

void TMainForm::UpdateTableData(int page) {
  if (page < 0 || page >= kPageCount || !refresh_[page]) return;
  grids_->RedrawPage(page);
  refresh_[page] = false;
}

void TMainForm::UpdateCurYield() { UpdateYield(true); }

void TMainForm::UpdateFirstYield() { UpdateYield(false); }

void TMainForm::UpdateYield(bool primary) {
  if (!Writable()) return;
  TFieldRec& r = editRec_;
  TYieldInput in;
  in.Crop = primary ? r.Cur_Crop : r.Cov_Crop;
  in.WeightUnit = primary ? r.Cur_WtUnit : r.Cov_WtUnit;
  in.StdMoisture = primary ? r.Cur_StMois : r.Cov_StMois;
  in.Moisture = primary ? r.Cur_Mois : r.Cov_Mois;
  in.Weight = primary ? r.Cur_Wt : r.Cov_Wt;
  in.Area = primary ? r.Cur_Area : r.Cov_Area;
  float yield = primary ? r.Cur_Yield : r.Cov_Yield;
  float yield2 = primary ? r.Cur_Yield2 : r.Cov_Yield2;
  ComputeYield(in, yield, yield2);
  const std::string prefix = primary ? "Cur_" : "Cov_";
  (primary ? r.Cur_Yield : r.Cov_Yield) = yield;
  (primary ? r.Cur_Yield2 : r.Cov_Yield2) = yield2;
  for (const char* f : {"Yield", "Yield2"}) {
    const std::string field = prefix + f;
    pages_->Entry(field)->ShowText(QStr(EntryText(r, *FindEntryDef(field))));
  }
}
