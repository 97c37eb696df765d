#include "TsGrids.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>

#include "TsGridCells.h"
#include "TsMain.h"
#include "TsMessages.h"
#include "TsPages.h"
#include "common/TextUtil.h"
#include "vocab/CodeLists.h"
#include "vocab/CropVocab.h"
#include "store/StateTables.h"
#include "vocab/UnitVocab.h"

namespace {

using K = TCellKind;
using E = TCellEntryKind;

constexpr int kMiscDatTable = 63, kMiscDatColumn = 64, kMiscDatValue = 65, kMiscDatLabel = 66;

TGridColumn Fixed(const char* heading, int chars) { return {heading, K::Fixed, chars}; }
TGridColumn List(const char* heading, int chars) { return {heading, K::List, chars}; }
TGridColumn Number(const char* heading, int chars = 8) { return {heading, K::Entry, chars, 12, TEntryMask::Number}; }
TGridColumn Text(const char* heading, int chars, int length) {
  return {heading, K::Entry, chars, length, TEntryMask::Any};
}
TGridColumn Date(const char* heading) { return {heading, K::Entry, 10, 10, TEntryMask::Any}; }

// The typed cells of every grid: grid, column and what the cell edits.
struct TGridEntry {
  int grid;
  int col;
  TCellEntry cell;
};
const TGridEntry kGridEntries[] = {
    {gFert, 1, {"Fert_N", E::Analysis}},
    {gFert, 2, {"Fert_Rate", E::Single, 2, 9999}},
    {gFert, 5, {"Fert_Date", E::Date, 0, 2}},
    {gOFert, 2, {"OFert_Rate", E::Single, 2, 9999}},
    {gOFert, 4, {"OFert_Date", E::Date, 0, 2}},
    {gManure, 2, {"Man_Rate", E::Single, 2, 99999}},
    {gManure, 4, {"Man_TotN", E::Single, 1, 999}},
    {gManure, 5, {"Man_NH4N", E::Single, 1, 999}},
    {gManure, 6, {"Man_P2O5", E::Single, 1, 999}},
    {gManure, 7, {"Man_K2O", E::Single, 1, 999}},
    {gManure, 8, {"Man_PctDM", E::Single, 1, 99}},
    {gManure, 9, {"Man_Date", E::Date, 0, 2}},
    {gHerb, 2, {"Herb_Rate", E::Single, 2, 999}},
    {gHerb, 5, {"Herb_Date", E::Date, 0, 3}},
    {gInsect, 2, {"Ins_Rate", E::Single, 2, 999}},
    {gInsect, 5, {"Ins_Date", E::Date, 0, 3}},
    {gOper, 2, {"Oper_Date", E::Date, 0, 4}},
    {gOper, 3, {"Oper_Trips", E::Single, 2, 20}},
    {gOther, 2, {"Othr_Desc", E::Text, 30}},
    {gOther, 3, {"Othr_Rate", E::Single, 2, 999}},
    {gOther, 5, {"Othr_Cost", E::Single, 2, 100, 0, true}},
    {gOther, 6, {"Othr_Date", E::Date, 0, 5}},
    {gSoils, 1, {"Soil_Sym", E::Text, 6}},
    {gSoils, 2, {"Soil_Slope", E::Single, 1, 50, -1}},
    {gSoils, 3, {"Soil_Name", E::Text, 20}},
    {gSoils, 4, {"Soil_FldPct", E::Word, 0, 100}},
    {gSoils, 7, {"Soil_TValue", E::Single, 1, 99}},
    {gSoils, 8, {"Soil_Rating", E::Single, 1, 500}},
};

const TCellEntry* GridEntry(int grid, int col) {
  for (const TGridEntry& e : kGridEntries)
    if (e.grid == grid && e.col == col) return &e.cell;
  return nullptr;
}

// List columns that store the chosen index of a small code list.
struct TIndexColumn {
  int grid;
  int col;
  TCodeList list;
  uint8_t* (*field)(TFieldRec&);
};
const TIndexColumn kIndexColumns[] = {
    {gFert, 4, TCodeList::FertForm, [](TFieldRec& r) { return r.Fert_Form; }},
    {gManure, 10, TCodeList::ManureMethod, [](TFieldRec& r) { return r.Man_Method; }},
    {gHerb, 4, TCodeList::HerbTiming, [](TFieldRec& r) { return r.Herb_Timing; }},
    {gInsect, 4, TCodeList::InsMethod, [](TFieldRec& r) { return r.Ins_Method; }},
    {gSoils, 5, TCodeList::SoilTexture, [](TFieldRec& r) { return r.Soil_Texture; }},
    {gSoils, 6, TCodeList::SoilDrainage, [](TFieldRec& r) { return r.Soil_Drain; }},
};

const TIndexColumn* IndexColumn(int grid, int col) {
  for (const TIndexColumn& c : kIndexColumns)
    if (c.grid == grid && c.col == col) return &c;
  return nullptr;
}

QStringList CodeListItems(TCodeList list) {
  QStringList items{" (None)"};
  for (int code = 1; code <= CodeListCount(list); ++code) items << QStr(CodeLongName(list, code));
  return items;
}

QStringList UnitItems(int classMask) {
  QStringList items{" (None)"};
  for (int pos = 1; pos <= UnitCountInMask(classMask); ++pos)
    items << QStr(UnitMediumName(UnitAtListPosition(classMask, pos)));
  return items;
}

// Crop history rows 1..4: their slot, crop list and description.
TCropList RowList(int row) { return row == 2 ? clCoverFirst : row == 3 ? clPrimary : clPrevNext; }
const char* const kRowDescriptions[] = {"Previous Primary Crop", "Cover or First Crop", "Current Primary Crop",
                                        "Next Primary Crop"};

bool InCropList(TCropList list, int crop) { return crop != 0 && CropListPosition(list, crop) > 0; }

// Soils columns 8 to 10 by state.
struct TSoilsHeadings {
  int state;
  const char* h8;
  const char* h9;
  const char* h10;
};
const TSoilsHeadings kSoilsHeadings[] = {
    {1, "Rating", "CEC Grp", "(Unused)"},       {10, "Rating", "Cst/Pied", "(Unused)"},
    {13, "Rating", "Subsoil P", "CEC"},         {15, "CSR", "Subsoil P", "Subsoil K"},
    {49, "Rating", "Sub Fert", "CYP"},
};
const char* const kUnused = "(Unused)";

}  // namespace

bool CropDefInList(const TQriFileDb& db, int row, int crop, int k) {
  const int to = db.GetFieldInteger(qfToTessCrop, row);
  const bool cover = db.GetFieldBoolean(qfCanBeCover, row);
  const bool first = db.GetFieldBoolean(qfCanBeFirst, row);
  if (to == crop && (((k == 1 || k == 3 || k == 4) && !cover) || (k == 2 && (cover || first)))) return true;
  if (crop == crOtherHistory && (k == 1 || k == 4) && !InCropList(clPrevNext, to) && !cover) return true;
  if (crop == crOther) {
    if (k == 2 && !InCropList(clCoverFirst, to) && (cover || first)) return true;
    if (k == 3 && !InCropList(clPrimary, to) && !cover) return true;
  }
  return false;
}

TRecordGrids::TRecordGrids(TMainForm& form, TRecordPages& pages) : QObject(&form), form_(form), pages_(pages) {
  BuildCropHist();
  BuildFertilizer();
  BuildInputGrid(gOFert, "OtherFertTable", kOFertRows,
                 {List("Other Fertilizer", 24), Number("Rate/A"), List("Units", 10), Date("Date")});
  BuildInputGrid(gManure, "ManureTable", kManureRows,
                 {List("Manure Type", 22), Number("Rate/A"), List("Units", 10), Number("Tot. N", 6),
                  Number("NH4-N", 6), Number("P2O5", 6), Number("K2O", 6), Number("% DM", 5), Date("Date"),
                  List("Method", 16)});
  BuildInputGrid(gHerb, "HerbicideTable", kHerbRows,
                 {List("Herbicide", 24), Number("Rate/A"), List("Units", 10), List("Timing", 16), Date("Date")});
  BuildInputGrid(gInsect, "InsecticideTable", kInsRows,
                 {List("Insecticide", 24), Number("Rate/A"), List("Units", 10), List("Method", 16), Date("Date")});
  BuildInputGrid(gOper, "OperationsTable", kOperRows, {List("Field Operation", 30), Date("Date"), Number("Trips")});
  BuildInputGrid(gOther, "OtherInputsTable", kOtherRows,
                 {List("Other Input", 22), Text("Description", 20, 30), Number("Rate/A"), List("Units", 10),
                  Number("Cost/A"), Date("Date")});
  grids_[gOther]->SetColumnList(4, UnitItems(ucWeight | ucVolume | ucLength | ucTrips));
  BuildSoils();
  Place(pgCrops, grids_[gCropHist], 0);
  Place(pgNutrients, grids_[gFert], 1);
  Place(pgNutrients, grids_[gOFert], 2);
  Place(pgNutrients, grids_[gManure], 3);
  Place(pgPesticides, grids_[gHerb], 1);
  Place(pgPesticides, grids_[gInsect], 2);
  Place(pgOperations, grids_[gOper], 1);
  Place(pgOther, grids_[gOther], 1);
  Place(pgErosion, grids_[gSoils], 1);
}

// Below the page's fields; the grids of a page share the room that is left by their numbers of
// rows, each up to all its rows.
void TRecordGrids::Place(int page, TInputGrid* grid, int position) {
  auto* layout = qobject_cast<QBoxLayout*>(pages_.PageContent(page)->layout());
  layout->insertWidget(position, grid, grid->Rows());
}

TFieldRec& TRecordGrids::Rec() { return form_.editRec_; }

int TRecordGrids::Year() const { return form_.editRec_.Year; }

std::vector<TInputGrid*> TRecordGrids::OfPage(int page) const {
  switch (page) {
    case pgCrops: return {grids_[gCropHist]};
    case pgNutrients: return {grids_[gFert], grids_[gOFert], grids_[gManure]};
    case pgPesticides: return {grids_[gHerb], grids_[gInsect]};
    case pgOperations: return {grids_[gOper]};
    case pgOther: return {grids_[gOther]};
    case pgErosion: return {grids_[gSoils]};
    default: return {};
  }
}

void TRecordGrids::RedrawPage(int page) {
  for (TInputGrid* g : OfPage(page)) g->Redraw();
}

void TRecordGrids::RedrawAll() {
  for (TInputGrid* g : grids_) g->Redraw();
}

void TRecordGrids::SetEditable(bool editable) {
  for (TInputGrid* g : grids_) g->SetEditable(editable);
}

bool TRecordGrids::CheckFocusedEntry() {
  for (TInputGrid* g : grids_)
    if (!g->CheckActiveEntry()) return false;
  return true;
}

std::function<QString(int, int)> TRecordGrids::TypedCellText(int grid) {
  return [this, grid](int row, int col) {
    const TCellEntry* cell = GridEntry(grid, col);
    return cell ? QStr(CellEntryText(Rec(), *cell, row - 1)) : QString();
  };
}

std::function<QString(int, int, const QString&, QString&)> TRecordGrids::TypedCellCheck(int grid) {
  return [this, grid](int row, int col, const QString& text, QString& shown) -> QString {
    if (!form_.HasRecords() || !form_.Writable()) return {};
    const TEntryResult r = AcceptCellEntry(Rec(), *GridEntry(grid, col), row - 1, CpStr(text), Year());
    if (r.code) return QStr(r.message);
    shown = QStr(r.shownText);
    return {};
  };
}

// ---- Crop history ----

void TRecordGrids::BuildCropHist() {
  auto* g = new TInputGrid("CropHistTable", 4,
                           {Fixed("Year", 5), Fixed("Description", 20), List("Crop", 22),
                            List("Crop Fert Rec To Use", 24), List("Tillage System", 16), Number("Yield", 7),
                            Fixed("Units", 8), {"% Leg", K::Entry, 5, 3, TEntryMask::Digits}});
  grids_[gCropHist] = g;
  g->SetColumnList(5, CodeListItems(TCodeList::Tillage));
  g->CellText = [this](int row, int col) { return CropHistText(row, col); };
  g->CellList = [this](int row, int col) -> QStringList {
    if (col == 3) {
      QStringList items{" (None)"};
      const TCropList list = RowList(row);
      for (int pos = 1; pos <= CropListCount(list); ++pos) {
        const int crop = CropAtListPosition(list, pos);
        items << QString(QChar(CropLetter(crop))) + " - " + QStr(CropName(crop));
      }
      return items;
    }
    if (col == 4) return CropDefList(row);
    return CodeListItems(TCodeList::Tillage);
  };
  g->CellIndex = [this](int row, int col) {
    const int slot = row - 1;
    if (col == 3) return CropListPosition(RowList(row), SlotCrop(Rec(), slot));
    if (col == 4) return CropDefIndex(row);
    return static_cast<int>(SlotTill(Rec(), slot));
  };
  g->ComboChange = [this](int row, int col, int index) {
    if (!form_.Writable()) return false;
    if (col == 3) return CropChoice(row, index);
    if (col == 4) return CropDefChoice(row, index);
    SlotTill(Rec(), row - 1) = static_cast<uint16_t>(index);
    return true;
  };
  g->EntryCheck = [this](int row, int col, const QString& text, QString& shown) -> QString {
    if (!form_.HasRecords() || !form_.Writable()) return {};
    static const char* const kYields[] = {"Prev_Yield", "Cov_Goal", "Cur_Goal", "Next_Goal"};
    const TCellEntry yield{kYields[row - 1], E::Single, 1, 9999};
    const TCellEntry pctLeg{"Prev_PctLg", E::PctLegume, 0, 100};
    const TEntryResult r = col == 6 ? AcceptCellEntry(Rec(), yield, 0, CpStr(text), Year())
                                    : AcceptCellEntry(Rec(), pctLeg, row - 1, CpStr(text), Year());
    if (r.code) return QStr(r.message);
    shown = QStr(r.shownText);
    if (row <= 3) form_.UpdateDefaultFertRecs();
    return {};
  };
}

QString TRecordGrids::CropHistText(int row, int col) {
  const TFieldRec& rec = Rec();
  const int slot = row - 1;
  switch (col) {
    case 1: return rec.Year ? QString::number(rec.Year - (row == 1) + (row == 4)) : QString();
    case 2: return kRowDescriptions[slot];
    case 6: return QStr(CellEntryText(rec, {slot == 0 ? "Prev_Yield" : slot == 1 ? "Cov_Goal" : slot == 2 ? "Cur_Goal" : "Next_Goal", E::Single, 1, 9999}, 0));
    case 7: {
      TStateTables* tables = form_.StateTablesFor(rec);
      const std::string units = tables ? tables->YieldUnitText(slot, rec) : std::string();
      return units.empty() ? QString() : QStr(units) + "/A";
    }
    case 8: return QStr(CellEntryText(rec, {"Prev_PctLg", E::PctLegume, 0, 100}, slot));
    default: return {};
  }
}

QStringList TRecordGrids::CropDefList(int row) {
  const int crop = SlotCrop(Rec(), row - 1);
  TStateTables* tables = crop ? form_.StateTablesFor(Rec()) : nullptr;
  if (!tables) return {};
  QStringList items;
  const TQriFileDb& db = tables->Db();
  for (int r = 0; r < db.FieldRowCount(qfCropDef); ++r)
    if (CropDefInList(db, r, crop, row)) items << QStr(db.GetFieldValue(qfCropName, r));
  if (!items.isEmpty()) items.prepend(" (None)");
  return items;
}

int TRecordGrids::CropDefIndex(int row) {
  const int crop = SlotCrop(Rec(), row - 1);
  const int stored = SlotCode(Rec(), row - 1);
  TStateTables* tables = crop && stored ? form_.StateTablesFor(Rec()) : nullptr;
  if (!tables) return 0;
  const TQriFileDb& db = tables->Db();
  int pos = 0;
  for (int r = 0; r < db.FieldRowCount(qfCropDef); ++r)
    if (CropDefInList(db, r, crop, row)) {
      ++pos;
      if (db.GetFieldInteger(qfCropDef, r) == stored) return pos;
    }
  return 0;
}

bool TRecordGrids::CropChoice(int row, int index) {
  TFieldRec& rec = Rec();
  const int slot = row - 1;
  const uint16_t crop = static_cast<uint16_t>(index > 0 ? CropAtListPosition(RowList(row), index) : 0);
  if (row == 2 && form_.mda_.CoverCropChangeLosesData(rec, crop)) {
    Messages().Error("Can't change the cover/first crop.\n\nAt least one crop-specific input has already been entered.");
    return false;
  }
  if (row == 3 && form_.mda_.PrimaryCropChangeLosesData(rec, crop)) {
    Messages().Error("Can't change the primary crop.\n\nAt least one crop-specific input has already been entered.");
    return false;
  }
  if (crop != SlotCrop(rec, slot)) {
    SlotCrop(rec, slot) = crop;
    SlotCode(rec, slot) = 0;
    if (row == 2 || row == 3) form_.UpdateCropSpecificControls();
    if (row != 4) form_.UpdateDefaultFertRecs();
    if (row == 3) form_.UpdateStatusBar();
  }
  grids_[gCropHist]->RedrawCell(row, 7);
  grids_[gCropHist]->RedrawCell(row, 4);
  return true;
}

bool TRecordGrids::CropDefChoice(int row, int index) {
  const int crop = SlotCrop(Rec(), row - 1);
  TStateTables* tables = index > 0 && crop ? form_.StateTablesFor(Rec()) : nullptr;
  int number = 0;
  if (tables) {
    const TQriFileDb& db = tables->Db();
    int pos = 0;
    for (int r = 0; r < db.FieldRowCount(qfCropDef) && number == 0; ++r)
      if (CropDefInList(db, r, crop, row) && ++pos == index) number = db.GetFieldInteger(qfCropDef, r);
  }
  SlotCode(Rec(), row - 1) = static_cast<uint16_t>(number);
  form_.UpdateCropSpecificControls();
  grids_[gCropHist]->RedrawCell(row, 7);
  form_.UpdateDefaultFertRecs();
  return true;
}

// ---- Fertilizer and the input grids ----

void TRecordGrids::BuildFertilizer() {
  auto* g = new TInputGrid("FertilizerTable", kFertRows,
                           {Text("N-P-K Analysis", 14, 14), Number("Rate/A"), List("Units", 10), List("Form", 14),
                            Date("Date")});
  grids_[gFert] = g;
  g->SetColumnList(3, UnitItems(ucWeight | ucVolume));
  g->SetColumnList(4, CodeListItems(TCodeList::FertForm));
  g->CellText = TypedCellText(gFert);
  g->CellIndex = [this](int row, int col) {
    if (col == 3) return UnitListPosition(ucWeight | ucVolume, Rec().Fert_Units[row - 1]);
    return static_cast<int>(Rec().Fert_Form[row - 1]);
  };
  g->ComboChange = [this](int row, int col, int index) {
    if (!form_.Writable()) return false;
    if (col == 3) Rec().Fert_Units[row - 1] = static_cast<uint8_t>(index ? UnitAtListPosition(ucWeight | ucVolume, index) : 0);
    else Rec().Fert_Form[row - 1] = static_cast<uint8_t>(index);
    return true;
  };
  g->EntryCheck = TypedCellCheck(gFert);
}

U16* TRecordGrids::InputColumn(int g) const {
  TFieldRec& r = form_.editRec_;
  switch (g) {
    case gOFert: return r.OFert_Input;
    case gManure: return r.Man_Input;
    case gHerb: return r.Herb_Input;
    case gInsect: return r.Ins_Input;
    case gOper: return r.Oper_Input;
    default: return r.Othr_Input;
  }
}

uint8_t* TRecordGrids::UnitsColumn(int g) const {
  TFieldRec& r = form_.editRec_;
  switch (g) {
    case gOFert: return r.OFert_Units;
    case gManure: return r.Man_Units;
    case gHerb: return r.Herb_Units;
    case gInsect: return r.Ins_Units;
    default: return r.Othr_Units;
  }
}

int TRecordGrids::InputCategory(int g, int& type) const {
  type = g == gOFert ? itMaterial : g == gManure ? itManure : itAny;
  switch (g) {
    case gOFert:
    case gManure: return 3;
    case gHerb: return 4;
    case gInsect: return 5;
    case gOper: return 6;
    default: return 7;
  }
}

void TRecordGrids::BuildInputGrid(int gi, const QString& name, int rows, const std::vector<TGridColumn>& cols) {
  auto* g = new TInputGrid(name, rows, cols);
  grids_[gi] = g;
  const bool hasUnits = gi != gOper;
  const int unitsCol = gi == gOther ? 4 : 3;
  for (const TIndexColumn& c : kIndexColumns)
    if (c.grid == gi) g->SetColumnList(c.col, CodeListItems(c.list));
  g->CellText = TypedCellText(gi);
  if (hasUnits && gi != gOther) g->CellList = [this, gi](int row, int) { return UnitsList(gi, row); };
  g->CellIndex = [this, gi, unitsCol, hasUnits](int row, int col) {
    if (col == 1) {
      int type = 0;
      InputCategory(gi, type);
      const int code = InputColumn(gi)[row - 1];
      return code ? form_.mdf_.InputListPosition(code, type, cropMask_) : 0;
    }
    if (hasUnits && col == unitsCol) return UnitsIndex(gi, row);
    const TIndexColumn* c = IndexColumn(gi, col);
    return c ? static_cast<int>(c->field(Rec())[row - 1]) : 0;
  };
  g->ComboChange = [this, gi, unitsCol, hasUnits](int row, int col, int index) {
    if (!form_.Writable()) return false;
    if (col == 1) return InputChoice(gi, row, index);
    if (hasUnits && col == unitsCol) {
      const int mask = gi == gOther ? (ucWeight | ucVolume | ucLength | ucTrips)
                                    : form_.mdf_.InputAppUnitClass(InputColumn(gi)[row - 1]);
      UnitsColumn(gi)[row - 1] = static_cast<uint8_t>(index > 0 ? UnitAtListPosition(mask, index) : 0);
      return true;
    }
    if (const TIndexColumn* c = IndexColumn(gi, col)) c->field(Rec())[row - 1] = static_cast<uint8_t>(index);
    return true;
  };
  g->EntryCheck = TypedCellCheck(gi);
}

// The units of the row's input's application unit class; only " (None)" without an input.
QStringList TRecordGrids::UnitsList(int g, int row) {
  const int code = InputColumn(g)[row - 1];
  if (code == 0) return {" (None)"};
  return UnitItems(form_.mdf_.InputAppUnitClass(code));
}

int TRecordGrids::UnitsIndex(int g, int row) {
  const int unit = UnitsColumn(g)[row - 1];
  if (unit == 0) return 0;
  const int mask = g == gOther ? (ucWeight | ucVolume | ucLength | ucTrips)
                               : form_.mdf_.InputAppUnitClass(InputColumn(g)[row - 1]);
  return UnitListPosition(mask, unit);
}

bool TRecordGrids::InputChoice(int g, int row, int index) {
  int type = 0;
  const int category = InputCategory(g, type);
  const uint16_t code = static_cast<uint16_t>(index > 0 ? form_.mdf_.InputAtListPosition(index, category, cropMask_, type) : 0);
  U16& stored = InputColumn(g)[row - 1];
  TFieldRec& rec = Rec();
  if (g == gOper) {
    if (stored == 0 && rec.Oper_Trips[row - 1] == 0) rec.Oper_Trips[row - 1] = 1.0f;
    stored = code;
    grids_[g]->RedrawCell(row, 3);
    return true;
  }
  if (g != gOther && form_.mdf_.InputAppUnitClass(code) != form_.mdf_.InputAppUnitClass(stored))
    UnitsColumn(g)[row - 1] = 0;
  stored = code;
  if (g != gOther) grids_[g]->RedrawCell(row, 3);
  return true;
}

void TRecordGrids::RebuildInputLists(uint32_t cropMask) {
  cropMask_ = cropMask;
  for (int g = gOFert; g <= gOther; ++g) {
    const bool editing = grids_[g]->HasEditorFocus();
    int type = 0;
    const int category = InputCategory(g, type);
    QStringList items{" (None)"};
    const int count = form_.mdf_.CountInputs(category, type, cropMask);
    for (int pos = 1; pos <= count; ++pos)
      items << QStr(form_.mdf_.InputName(form_.mdf_.InputAtListPosition(pos, category, cropMask, type)));
    grids_[g]->SetColumnList(1, items);
    if (editing) grids_[g]->SetActiveCell(grids_[g]->ActiveRow(), grids_[g]->ActiveCol());
  }
}

// ---- Soils ----

void TRecordGrids::BuildSoils() {
  auto* g = new TInputGrid("SoilsTable", kSoilRows,
                           {Text("Symbol", 7, 6), Number("Slope %", 6), Text("Soil Name", 20, 20),
                            {"Field %", K::Entry, 6, 3, TEntryMask::Digits}, List("Texture", 18), List("Drainage", 18),
                            Number("T Value", 6), Number("Rating", 6), List("Attr. 1", 14), List("Attr. 2", 14)});
  grids_[gSoils] = g;
  for (const TIndexColumn& c : kIndexColumns)
    if (c.grid == gSoils) g->SetColumnList(c.col, CodeListItems(c.list));
  g->SetHeading(9, kUnused);
  g->SetHeading(10, kUnused);
  g->CellText = TypedCellText(gSoils);
  g->CellIndex = [this](int row, int col) {
    if (col >= 9) return AttrIndex(col - 9, row);
    const TIndexColumn* c = IndexColumn(gSoils, col);
    return c ? static_cast<int>(c->field(Rec())[row - 1]) : 0;
  };
  g->ComboChange = [this](int row, int col, int index) {
    if (!form_.Writable()) return false;
    if (col >= 9) {
      const int which = col - 9;
      const uint16_t value = static_cast<uint16_t>(index > 0 && index <= static_cast<int>(attrValues_[which].size())
                                                       ? attrValues_[which][index - 1]
                                                       : 0);
      (which == 0 ? Rec().Soil_Attr1 : Rec().Soil_Attr2)[row - 1] = value;
      return true;
    }
    if (const TIndexColumn* c = IndexColumn(gSoils, col)) c->field(Rec())[row - 1] = static_cast<uint8_t>(index);
    return true;
  };
  g->EntryCheck = TypedCellCheck(gSoils);
}

void TRecordGrids::SetSoilsState(int state) {
  TInputGrid* g = grids_[gSoils];
  const char* h8 = "Rating";
  const char* h9 = kUnused;
  const char* h10 = kUnused;
  for (const TSoilsHeadings& h : kSoilsHeadings)
    if (h.state == state) {
      h8 = h.h8;
      h9 = h.h9;
      h10 = h.h10;
    }
  g->SetHeading(8, h8);
  g->SetHeading(9, h9);
  g->SetHeading(10, h10);
  const char* heads[2] = {h9, h10};
  const char* columns[2] = {"MiscA", "MiscB"};
  TStateTables* tables = form_.projectOpen_ ? form_.mda_.StateTables() : nullptr;
  if (tables && !tables->LoadStateTables(state)) tables = nullptr;
  for (int which = 0; which < 2; ++which) {
    attrLists_[which].clear();
    attrValues_[which].clear();
    if (heads[which] == kUnused || !tables) continue;
    const TQriFileDb& db = tables->Db();
    const int colRow = db.FindMiscColumn("SoilKey", columns[which]);
    if (colRow < 0) continue;
    const std::string table = db.GetFieldValue(qfMiscColTable, colRow);
    const std::string column = db.GetFieldValue(qfMiscColColumn, colRow);
    attrLists_[which] << " (None)";
    for (int r = 0; r < db.FieldRowCount(kMiscDatTable); ++r)
      if (SameText(db.GetFieldValue(kMiscDatTable, r), table) && SameText(db.GetFieldValue(kMiscDatColumn, r), column)) {
        attrLists_[which] << QStr(db.GetFieldValue(kMiscDatLabel, r));
        attrValues_[which].push_back(db.GetFieldInteger(kMiscDatValue, r));
      }
  }
  g->SetColumnList(9, attrLists_[0]);
  g->SetColumnList(10, attrLists_[1]);
}

int TRecordGrids::AttrIndex(int which, int row) {
  const int stored = (which == 0 ? Rec().Soil_Attr1 : Rec().Soil_Attr2)[row - 1];
  if (stored == 0) return 0;
  for (size_t i = 0; i < attrValues_[which].size(); ++i)
    if (attrValues_[which][i] == stored) return static_cast<int>(i) + 1;
  return 0;
}
