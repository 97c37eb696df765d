#include "TsPages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QVBoxLayout>

#include "TsEdit.h"
#include "vocab/CropVocab.h"

namespace {

const char* const kPageCaptions[kPageCount] = {"General",    "Soil Tests", "Crops", "Planting", "Nutrients",
                                               "Pesticides", "Operations", "Other", "Erosion",  "Harvest"};

// Width of an entry field in average characters, by how much it can hold.
int FieldChars(const TEntryDef& def) {
  if (def.kind == TEntryKind::Text || def.kind == TEntryKind::Watershed) return def.size < 8 ? def.size + 2 : def.size;
  if (def.kind == TEntryKind::Date) return 11;
  return 9;
}

TEntryMask MaskOf(const TEntryDef& def) {
  switch (def.kind) {
    case TEntryKind::Text: return TEntryMask::Any;
    case TEntryKind::Watershed:
    case TEntryKind::Word: return TEntryMask::Digits;
    case TEntryKind::Date: return TEntryMask::Any;
    default: return TEntryMask::Number;
  }
}

// A page's fields in a grid layout at the top; what room is left below goes to the page's
// grids (placed by the record grids) and then stays empty.
QWidget* Page(QGridLayout*& grid) {
  auto* page = new QWidget;
  auto* outer = new QVBoxLayout(page);
  grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);
  grid->setColumnMinimumWidth(3, 24);
  outer->addLayout(grid);
  outer->addStretch(0);
  return page;
}

// Holds a page: the page fills the window and scrolls when the window is smaller than the page.
class TPageArea : public QScrollArea {
 public:
  explicit TPageArea(QWidget* page) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);  // the page's fields take the focus, never the area around them
    setWidgetResizable(true);
    setWidget(page);
  }
  // The page's own size, so that the window starts as large as its pages need.
  QSize sizeHint() const override { return widget()->sizeHint(); }
};

QListWidget* NewCheckList() {
  auto* list = new QListWidget;
  list->setSelectionMode(QAbstractItemView::NoSelection);
  list->setMinimumHeight(120);
  return list;
}

QLineEdit* ReadOnlyNumber() {
  auto* edit = new QLineEdit;
  edit->setReadOnly(true);
  edit->setFocusPolicy(Qt::ClickFocus);
  edit->setAlignment(Qt::AlignRight);
  edit->setFixedWidth(QFontMetrics(edit->font()).averageCharWidth() * 8 + 12);
  return edit;
}

// Lets a field span `span` columns of its row and grow with them.
void Widen(QGridLayout* grid, QWidget* field, int row, int col, int span) {
  const int width = field->minimumWidth();
  grid->removeWidget(field);
  grid->addWidget(field, row, col, 1, span);
  field->setMinimumWidth(width);
  field->setMaximumWidth(QWIDGETSIZE_MAX);
}

}  // namespace

TRecordPages::TRecordPages(QWidget* parent) : QTabWidget(parent) {
  QWidget* const pages[kPageCount] = {BuildGeneral(),  BuildSoilTests(), BuildCrops(),    BuildPlanting(),
                                      BuildGridPage(), BuildGridPage(),  BuildGridPage(), BuildOther(),
                                      BuildErosion(),  BuildHarvest()};
  for (int p = 0; p < kPageCount; ++p) addTab(new TPageArea(pages[p]), kPageCaptions[p]);
  setFocusPolicy(Qt::NoFocus);
  tabBar()->installEventFilter(this);
  connect(this, &QTabWidget::currentChanged, this, &TRecordPages::FocusFirstField);
}

// A page that comes up, by any way there is, takes the keys in its first field.
void TRecordPages::FocusFirstField(int page) {
  QWidget* content = PageContent(page);
  if (!content || !isVisible()) return;
  for (QWidget* w = content->nextInFocusChain(); w && w != content; w = w->nextInFocusChain()) {
    if (!content->isAncestorOf(w)) continue;
    if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(content) && !w->focusProxy()) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

bool TRecordPages::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tabBar()) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick || type == QEvent::KeyPress ||
         type == QEvent::Wheel) &&
        !LeavingOkay())
      return true;
  }
  return QTabWidget::eventFilter(watched, event);
}

// Ctrl+Tab and Ctrl+Shift+Tab, which the tab widget takes from the field in focus.
void TRecordPages::keyPressEvent(QKeyEvent* event) {
  const bool pageKey = (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
                       (event->modifiers() & Qt::ControlModifier);
  if (pageKey && !LeavingOkay()) {
    event->accept();
    return;
  }
  QTabWidget::keyPressEvent(event);
}

QWidget* TRecordPages::PageContent(int page) const {
  auto* area = qobject_cast<QScrollArea*>(widget(page));
  return area ? area->widget() : nullptr;
}

QScrollArea* TRecordPages::PageArea(int page) const { return qobject_cast<QScrollArea*>(widget(page)); }

const char* TRecordPages::PageCaption(int page) { return page >= 0 && page < kPageCount ? kPageCaptions[page] : ""; }

TEntryEdit* TRecordPages::Entry(const std::string& field) const {
  auto it = entries_.find(field);
  return it == entries_.end() ? nullptr : it->second;
}

QLabel* TRecordPages::Caption(const std::string& field) const {
  auto it = captions_.find(field);
  return it == captions_.end() ? nullptr : it->second;
}

QLabel* TRecordPages::Units(const std::string& field) const {
  auto it = units_.find(field);
  return it == units_.end() ? nullptr : it->second;
}

QList<QComboBox*> TRecordPages::Combos() const {
  return {CountyCombo,  PUnitsCombo,    KUnitsCombo,    MgUnitsCombo, CaUnitsCombo, NaUnitsCombo, AlUnitsCombo,
          PTestCombo,   DrainCombo,     CurWtUnitCombo, CovWtUnitCombo, CurPremCombo, CovPremCombo};
}

TEntryEdit* TRecordPages::AddEntry(QGridLayout* grid, int row, int col, const std::string& field) {
  const TEntryDef* def = FindEntryDef(field);
  auto* edit = new TEntryEdit;
  edit->setObjectName(QString::fromStdString(field));
  edit->setMaxLength(def->kind == TEntryKind::Text || def->kind == TEntryKind::Watershed ? def->size : 12);
  edit->SetMask(MaskOf(*def));
  edit->setFixedWidth(QFontMetrics(edit->font()).averageCharWidth() * FieldChars(*def) + 14);
  if (def->kind != TEntryKind::Text && def->kind != TEntryKind::Watershed) edit->setAlignment(Qt::AlignRight);
  auto* caption = new QLabel(def->label);
  caption->setBuddy(edit);
  auto* units = new QLabel(def->units);
  grid->addWidget(caption, row, col);
  grid->addWidget(edit, row, col + 1);
  grid->addWidget(units, row, col + 2);
  entries_[field] = edit;
  captions_[field] = caption;
  units_[field] = units;
  return edit;
}

QComboBox* TRecordPages::NewCombo() {
  auto* combo = new QComboBox;
  combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  combo->setMinimumContentsLength(4);
  InstallComboKeys(combo);
  TakeWheelOnlyWithFocus(combo);
  return combo;
}

QComboBox* TRecordPages::AddCombo(QGridLayout* grid, int row, int col, const QString& caption) {
  auto* combo = NewCombo();
  auto* label = new QLabel(caption);
  label->setBuddy(combo);
  grid->addWidget(label, row, col);
  grid->addWidget(combo, row, col + 1, 1, 2, Qt::AlignLeft);
  return combo;
}

QWidget* TRecordPages::BuildGeneral() {
  QGridLayout* g = nullptr;
  QWidget* page = Page(g);
  const char* left[] = {"Operation", "Addr_Road", "Addr_Town", "Addr_State", "Addr_Zip",
                        "Contact",   "Off_Phone", "Home_Phone", "Email_Addr"};
  int row = 0;
  for (const char* f : left) AddEntry(g, row++, 0, f);
  CountyCombo = AddCombo(g, 0, 4, "Field County");
  CountyCombo->setMinimumContentsLength(16);
  AddEntry(g, 1, 4, "Field_Size");
  AddEntry(g, 2, 4, "FSA_Tract");
  AddEntry(g, 3, 4, "FSA_Field");
  AddEntry(g, 4, 4, "Rent_Value");
  Widen(g, AddEntry(g, row, 0, "Notes"), row, 1, 6);
  g->setColumnStretch(7, 1);
  return page;
}

QWidget* TRecordPages::BuildSoilTests() {
  QGridLayout* g = nullptr;
  QWidget* page = Page(g);
  AddEntry(g, 0, 0, "SoilTst_Yr");
  AddEntry(g, 1, 0, "OM");
  QComboBox** unitCombos[] = {&PUnitsCombo, &KUnitsCombo, &MgUnitsCombo, &CaUnitsCombo, &NaUnitsCombo, &AlUnitsCombo};
  const char* nutrients[] = {"P", "K", "Mg", "Ca", "Na", "Al"};
  int row = 2;
  for (int i = 0; i < 6; ++i) {
    AddEntry(g, row, 0, nutrients[i]);
    *unitCombos[i] = NewCombo();
    g->addWidget(*unitCombos[i], row, 2);
    ++row;
    if (i == 0) PTestCombo = AddCombo(g, row++, 0, "P Test Used");
  }
  const char* right[] = {"Soil_pH", "Buffer_pH", "CEC", "Nitrate_N", "EC", "Sulfate_S", "Basal_N"};
  row = 0;
  for (const char* f : right) AddEntry(g, row++, 4, f);
  SoilTestInfoBtn = new QPushButton("&Info...");
  SoilTestInfoBtn->setObjectName("SoilTestInfoBtn");
  SoilTestInfoBtn->setStatusTip("Display info on nutrient needs");
  g->addWidget(SoilTestInfoBtn, row + 1, 5, Qt::AlignLeft);
  g->setColumnStretch(7, 1);
  return page;
}

QWidget* TRecordPages::BuildCrops() {
  QGridLayout* g = nullptr;
  QWidget* page = Page(g);
  AddEntry(g, 0, 0, "Till_Years");

  auto* defBox = new QGroupBox("Default Fertilizer Recommendations (Lb/A) For Current Crop Year");
  auto* defGrid = new QGridLayout(defBox);
  DefNRec = ReadOnlyNumber();
  DefPRec = ReadOnlyNumber();
  DefKRec = ReadOnlyNumber();
  QLineEdit* defs[] = {DefNRec, DefPRec, DefKRec};
  const char* nutrients[] = {"N", "P2O5", "K2O"};
  for (int i = 0; i < 3; ++i) {
    defGrid->addWidget(new QLabel(nutrients[i]), 0, 2 * i);
    defGrid->addWidget(defs[i], 0, 2 * i + 1);
  }
  defGrid->addWidget(new QLabel("Source Of Fertilizer Recommendations"), 1, 0, 1, 6);
  DefRecSource = new QLineEdit;
  DefRecSource->setReadOnly(true);
  DefRecSource->setFocusPolicy(Qt::ClickFocus);
  DefRecSrcURL = new QLabel;
  DefRecSrcURL->setTextFormat(Qt::RichText);
  DefRecSrcURL->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  DefRecSrcURL->setWordWrap(true);
  DefRecSrcURL->hide();
  defGrid->addWidget(DefRecSource, 2, 0, 1, 7);
  defGrid->addWidget(DefRecSrcURL, 2, 0, 1, 7);
  defGrid->setColumnStretch(6, 1);
  g->addWidget(defBox, 1, 0, 1, 8);

  auto* custBox = new QGroupBox("Custom Fertilizer Recommendations (Lb/A) For Current Crop Year");
  auto* custGrid = new QGridLayout(custBox);
  const char* cust[] = {"Cust_NRec", "Cust_PRec", "Cust_KRec"};
  for (int i = 0; i < 3; ++i) AddEntry(custGrid, 0, 3 * i, cust[i]);
  Widen(custGrid, AddEntry(custGrid, 1, 0, "Cust_Source"), 1, 1, 8);
  Caption("Cust_Source")->setText("Source");
  custGrid->setColumnStretch(9, 1);
  g->addWidget(custBox, 2, 0, 1, 8);
  g->setColumnStretch(7, 1);
  return page;
}

QWidget* TRecordPages::BuildPlanting() {
  QGridLayout* g = nullptr;
  QWidget* page = Page(g);
  AddEntry(g, 0, 0, "Plant_Date");
  AddEntry(g, 1, 0, "Planter");
  AddEntry(g, 2, 0, "Row_Width");
  g->addWidget(new QLabel("Attachments"), 3, 0, Qt::AlignTop);
  AttachmentsList = NewCheckList();
  g->addWidget(AttachmentsList, 3, 1, 1, 2);
  AddEntry(g, 0, 4, "Hybrid_Var");
  AddEntry(g, 1, 4, "Maturity");
  g->addWidget(new QLabel("Bioengineered Seed Traits"), 3, 4, Qt::AlignTop);
  TraitsList = NewCheckList();
  g->addWidget(TraitsList, 3, 5, 1, 2);
  AddEntry(g, 4, 0, "Cur_PlRate");
  AddEntry(g, 5, 0, "Seed_Count");
  AddEntry(g, 6, 0, "Cov_PlRate");
  // The rates' units follow the crops; the page is as wide from the start as its widest units.
  QLabel* units = Units("Cur_PlRate");
  const QString given = units->text();
  int unitsWidth = 0;
  for (int crop = 0; crop <= kCropCount; ++crop) {
    units->setText(QString::fromStdString(PlantingRateUnit(crop)));
    unitsWidth = std::max(unitsWidth, units->sizeHint().width());
  }
  units->setText(given);
  for (const char* field : {"Cur_PlRate", "Cov_PlRate"}) Units(field)->setMinimumWidth(unitsWidth);
  g->setColumnStretch(7, 1);
  return page;
}

QWidget* TRecordPages::BuildGridPage() {
  QGridLayout* g = nullptr;
  return Page(g);
}

QWidget* TRecordPages::BuildOther() {
  QGridLayout* g = nullptr;
  QWidget* page = Page(g);
  AddEntry(g, 0, 0, "Irrig_N");
  g->setColumnStretch(7, 1);
  return page;
}

QWidget* TRecordPages::BuildErosion() {
  QGridLayout* g = nullptr;
  QWidget* page = Page(g);
  DrainCombo = AddCombo(g, 0, 0, "Type Of Artificial Drainage");
  DrainCombo->setMinimumContentsLength(16);
  AnnManureCheck = new QCheckBox("Manure Applied Annually");
  g->addWidget(AnnManureCheck, 1, 1, 1, 2);
  AddEntry(g, 2, 0, "Residue");
  AddEntry(g, 3, 0, "Water_Loss");
  AddEntry(g, 4, 0, "Wind_Loss");
  AddEntry(g, 0, 4, "Wshed_Num");
  AddEntry(g, 1, 4, "Wshed_Name");
  auto* buttons = new QHBoxLayout;
  UpdSoilsQrlBtn = new QPushButton("Update Soils From &QRL");
  UpdSoilsQrlBtn->setObjectName("UpdSoilsQrlBtn");
  UpdSoilsQrlBtn->setStatusTip("Fill in soils table with data from QRL");
  UpdSoilsSdmBtn = new QPushButton("Update Soils From &SDM");
  UpdSoilsSdmBtn->setObjectName("UpdSoilsSdmBtn");
  UpdSoilsSdmBtn->setStatusTip("Fill in soils table with data from Soil Data Mart");
  R2CalcBtn = new QPushButton("&Calc...");
  R2CalcBtn->setObjectName("R2CalcBtn");
  R2CalcBtn->setStatusTip("Calculate water soil loss with RUSLE2");
  R2CalcBtn->hide();
  buttons->addWidget(UpdSoilsQrlBtn);
  buttons->addWidget(UpdSoilsSdmBtn);
  buttons->addWidget(R2CalcBtn);
  buttons->addStretch(1);
  g->addLayout(buttons, 5, 0, 1, 8);
  g->setColumnStretch(7, 1);
  return page;
}

QWidget* TRecordPages::BuildHarvest() {
  QGridLayout* g = nullptr;
  QWidget* page = Page(g);
  g->addWidget(new QLabel("<b>Primary Crop</b>"), 0, 1, 1, 2);
  g->addWidget(new QLabel("<b>First Crop</b>"), 0, 4, 1, 2);
  // Rows top to bottom; the lists stand on rows 3 (weight units) and 8 (premium).
  const char* rows[] = {"Area", "Wt", nullptr, "Mois", "StMois", "Yield", "HDate", nullptr, "Yield2"};
  for (int col = 0; col < 2; ++col) {
    const std::string prefix = col == 0 ? "Cur_" : "Cov_";
    for (int r = 0; r < 9; ++r) {
      if (!rows[r]) {
        QComboBox*& combo = r == 2 ? (col == 0 ? CurWtUnitCombo : CovWtUnitCombo)
                                   : (col == 0 ? CurPremCombo : CovPremCombo);
        combo = NewCombo();
        g->addWidget(combo, r + 1, 1 + 3 * col, 1, 2, Qt::AlignLeft);
        continue;
      }
      TEntryEdit* edit = AddEntry(g, r + 1, 0, prefix + rows[r]);
      if (col == 1) {  // the row captions stand left of the primary column only
        QLabel* units = Units(prefix + rows[r]);
        Caption(prefix + rows[r])->hide();
        g->removeWidget(Caption(prefix + rows[r]));
        g->removeWidget(edit);
        g->removeWidget(units);
        g->addWidget(edit, r + 1, 4);
        g->addWidget(units, r + 1, 5);
      }
    }
  }
  g->addWidget(new QLabel("Harvest Weight Units"), 3, 0);
  g->addWidget(new QLabel("Harvest Premium"), 8, 0);
  for (QComboBox* c : {CurPremCombo, CovPremCombo}) c->setMinimumContentsLength(14);
  AddYieldRowLabel = Caption("Cur_Yield2");
  g->setColumnStretch(7, 1);
  return page;
}
