#include "TsGridCells.h"

#include "TsCheck.h"
#include "common/Format.h"
#include "common/Locale.h"
#include "common/Parse.h"

namespace {

// The descriptor of a record table column (`Fert_Rate`) or of a single field (`Cur_Goal`).
const TFieldDesc& Column(const char* name) {
  const TFieldDesc* desc = nullptr;
  int index = 0;
  if (!FindField(RecordFields(), std::string(name) + "[1]", desc, index)) FindField(RecordFields(), name, desc, index);
  return *desc;  // every column named by the grids is a record field (checked by the tests)
}

// The % legume entered flags are members 1 to 4, one per crop history row.
int PctLegFlag(int index) { return rfPrevPctLeg + index; }

std::string NumberText(double value, const TCellEntry& cell) {
  if (cell.fixedDecimals) return FormatReal(value, cell.decimals, 0);
  return ShownNumber(value, cell.decimals);
}

}  // namespace

std::string AnalysisText(float n, float p, float k) {
  if (n == 0 && p == 0 && k == 0) return {};
  return ShownNumber(n, 1) + "-" + ShownNumber(p, 1) + "-" + ShownNumber(k, 1);
}

std::string CellEntryText(const TFieldRec& rec, const TCellEntry& cell, int index) {
  if (cell.kind == TCellEntryKind::Text) return GetFieldText(&rec, Column(cell.field), index);
  if (cell.kind == TCellEntryKind::Analysis)
    return AnalysisText(rec.Fert_N[index], rec.Fert_P2O5[index], rec.Fert_K2O[index]);
  if (cell.kind == TCellEntryKind::PctLegume)
    return rec.HasFlag(PctLegFlag(index)) ? ShownNumber(SlotPctLeg(rec, index), 0) : std::string();
  const double value = FieldNumber(rec, Column(cell.field), index);
  if (cell.kind == TCellEntryKind::Date) return FormatShortDate(static_cast<TDayNum>(value));
  if (cell.emptyValue < 0) return value < 0 ? std::string() : NumberText(value, cell);
  return value == 0 ? std::string() : NumberText(value, cell);
}

TEntryResult AcceptCellEntry(TFieldRec& rec, const TCellEntry& cell, int index, const std::string& text, int year) {
  TEntryResult r;
  const bool empty = Trim(text).empty();
  double value = 0;
  switch (cell.kind) {
    case TCellEntryKind::Text: {
      const TFieldDesc& d = Column(cell.field);
      SetFieldText(&rec, d, index, text.substr(0, d.maxLength), r.message);
      r.shownText = text.substr(0, d.maxLength);
      return r;
    }
    case TCellEntryKind::Analysis: {
      float n = 0, p = 0, k = 0;
      r.code = FertAnalysisEditCheck(text, true, n, p, k);
      if (r.code) {
        r.message = FertAnalysisErrorMsg(r.code);
        return r;
      }
      rec.Fert_N[index] = n;
      rec.Fert_P2O5[index] = p;
      rec.Fert_K2O[index] = k;
      r.shownText = AnalysisText(n, p, k);
      return r;
    }
    case TCellEntryKind::PctLegume: {
      int16_t v = 0;
      r.code = SmallIntEditCheck(text, static_cast<int>(cell.limit), -1, v);
      if (r.code) {
        r.message = NumberEditErrorMsg(r.code, cell.limit, 0);  // 0 % legume is a value
        return r;
      }
      rec.SetFlag(PctLegFlag(index), !empty);
      SlotPctLeg(rec, index) = static_cast<uint16_t>(empty ? 0 : v);
      r.shownText = empty ? std::string() : ShownNumber(v, 0);
      return r;
    }
    case TCellEntryKind::Word: {
      uint16_t v = 0;
      r.code = WordEditCheck(text, static_cast<int>(cell.limit), 1, v);
      if (r.code) r.message = NumberEditErrorMsg(r.code, cell.limit, 1);
      value = v;
      break;
    }
    case TCellEntryKind::Single: {
      float v = 0;
      r.code = SingleEditCheck(text, cell.limit, cell.decimals, static_cast<float>(cell.emptyValue), v);
      if (r.code) r.message = NumberEditErrorMsg(r.code, cell.limit, cell.emptyValue < 0 ? 0 : SmallestStep(cell.decimals));
      value = v;
      break;
    }
    case TCellEntryKind::Date: {
      TDayNum day = 0;
      r.code = DateEditCheck(text, static_cast<int>(cell.limit), year, day);
      if (r.code) r.message = DateEditErrorMsg(r.code, static_cast<int>(cell.limit), year);
      value = day;
      break;
    }
  }
  if (r.code) return r;
  SetFieldNumber(rec, Column(cell.field), value, index);
  r.shownText = CellEntryText(rec, cell, index);
  return r;
}
