// The typed cells of the record grids: which record table column a cell edits, how its value is
// shown and how a typed text is checked and stored. Pure logic without Qt.
#pragma once

#include <string>

#include "TsFields.h"

enum class TCellEntryKind { Text, Word, Single, Date, Analysis, PctLegume };

struct TCellEntry {
  const char* field;  // record table column (`Fert_Rate`); for Analysis the N column
  TCellEntryKind kind;
  int decimals = 0;  // of a number; characters of a text
  double limit = 0;  // upper bound of a number; the date kind of a date
  int emptyValue = 0;  // stored for an empty cell (-1 where that means not entered)
  bool fixedDecimals = false;  // shown with all decimals (costs)
};

// The value of row `index` (0-based) as the cell shows it.
std::string CellEntryText(const TFieldRec& rec, const TCellEntry& cell, int index);

// Checks `text` for row `index`; when accepted stores it and gives the text to show. `slot` is the
// crop slot of a % legume cell (its entered flag).
TEntryResult AcceptCellEntry(TFieldRec& rec, const TCellEntry& cell, int index, const std::string& text, int year);

// "N-P2O5-K2O" of a fertilizer row, each with up to 1 decimal; empty when all are 0.
std::string AnalysisText(float n, float p, float k);
