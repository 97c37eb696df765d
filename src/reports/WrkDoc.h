// The worksheet report: for each selected field record the production cost worksheet and the
// nutrient management page, 80 characters of a fixed-pitch font per line, sections boxed with
// line-drawing characters, text in four roles (headings, labels, inputs, costs) whose style and
// colour the user picks. The cost page is in WrkCost.cpp, the nutrient page in WrkNutr.cpp.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "reports/DocFile.h"
#include "reports/WrkOpts.h"
#include "store/CostCalc.h"

class TMdaFile;
class TMdfFile;
class TRecordSubset;
struct TCropNeeds;
struct TNutrientBalance;

// What a boxed line end draws when nothing was written on the line.
enum : int {
  lmPlain = 1,      // nothing (no box)
  lmTop = 2,        // top border
  lmDouble = 3,     // double separator
  lmSingle = 4,     // single separator
  lmEmpty = 5,      // empty boxed line
  lmBottom = 6,     // bottom border
};

class TWorksheetDoc : public TDocOutFile {
 public:
  // Keeps the settings, the author and the project; loads the custom costs into the working cost
  // table of `costs` (or restores the standard costs), then opens the output and sets the page:
  // letter portrait with 80 characters centred, exact line spacing, the fixed font.
  bool Open(const TWorksheetSettingsRec& settings, const std::string& author, TMdaFile& project, TMdfFile& costs);
  // 5 when the custom cost file could not be read, else the frame's status.
  int GetStatus() const override;
  std::string GetErrorText() const override;

  // The enabled pages of one record, in order.
  void WriteRecord(const TFieldRec& rec);

  const TWorksheetSettingsRec& Settings() const { return settings_; }

 private:
  // Frame operations shared by the pages.
  void PageStart();
  void WriteHeading(const std::string& text) { WriteSegment(text, trHeading); }
  void WriteLabel(const std::string& text) { WriteSegment(text, trLabel); }
  void WriteInput(const std::string& text) { WriteSegment(text, trInput); }
  void WriteCost(const std::string& text) { WriteSegment(text, trCost); }
  void WriteSegment(const std::string& text, int role);
  void EndLine();
  // An empty line end: the separator of the line mode when boxed, an empty line otherwise.
  void Sep() { EndLine(); }
  void SetLineMode(int mode) { lineMode_ = mode; }
  void SetStyle(uint16_t style, uint16_t color);
  void ResetStyle() { SetStyle(0, 0); }
  void WriteFieldInfo(const TFieldRec& rec, bool indent, bool separatorAfter, bool costFileLine);
  // Padded amount, or underscores of its width when input costs are hidden.
  std::string CostAmount(size_t width, int decimals, float value) const;
  std::string CropSlotName(int slot, const TFieldRec& rec);
  std::string YieldUnitText(int slot, const TFieldRec& rec);
  // The record's CEC, else the estimate from its state's tables (0 when there is none).
  float ShownCEC(const TFieldRec& rec);

  // Cost worksheet page.
  void WriteCostWorksheet(const TFieldRec& rec);
  void WriteCropInfo(const TFieldRec& rec);
  void WriteSoils(const TFieldRec& rec);
  void WriteSoilTests(const TFieldRec& rec);
  void WriteStandardLine(const TCostLine& line, bool plus);
  void WriteOtherInputs(const std::vector<TCostLine>& lines, bool plus);
  // A label with its amount right-aligned in the cost column, and " +" when it counts.
  void WriteTotalLine(const std::string& label, const std::string& amount, bool plus);
  void WriteSeed(const TFieldRec& rec, const TCostSheet& s);
  void WriteFertilizers(const TFieldRec& rec, const TCostSheet& s);
  void WritePesticidesAndOperations(const TCostSheet& s);
  void WriteIndirectCosts(const TFieldRec& rec, const TCostSheet& s);
  void WriteCropCharge(const std::string& text, const TCropCharge& charge, int decimals);
  void WriteIncome(const TFieldRec& rec, const TCostSheet& s);
  void WriteIncomeLine(const std::string& label, float yield, const std::string& yieldUnit, float price,
                       const std::string& priceUnit, float income, int priceSet, bool counted);
  void WriteTotals(const TFieldRec& rec, const TCostSheet& s);
  void WriteIncomeTotals(const TCostSheet& s);
  void WriteIncompleteData(const TFieldRec& rec);

  // Nutrient page (WrkNutr.cpp).
  void WriteNutrientPage(const TFieldRec& rec);
  void WriteNutrientCrops(const TFieldRec& rec);
  void WriteNutrientSoilTests(const TFieldRec& rec, float cec);
  void WriteNeeds(const TFieldRec& rec, const TNutrientBalance& b);
  void WriteSupplies(const TFieldRec& rec, const TNutrientBalance& b);
  void WriteExcessValue(const TNutrientBalance& b);
  void WriteNutrientNotes(const TFieldRec& rec, const TNutrientBalance& b);
  void WriteNutrientWarnings(const TFieldRec& rec, const TNutrientBalance& b);
  // The lines telling what the state's formulas lacked for a crop's failed needs.
  void AddNeedsExplanation(const std::string& crop, const TCropNeeds& needs, const TNutrientBalance& b,
                           std::vector<std::string>& texts);

  TWorksheetSettingsRec settings_;
  std::string author_;
  TMdaFile* project_ = nullptr;
  TMdfFile* costs_ = nullptr;
  std::string costFileError_;
  bool firstPage_ = true;
  bool firstHeader_ = true;
  uint16_t style_ = 0;
  uint16_t color_ = 0;
  int lineMode_ = lmPlain;
  int column_ = 0;
};

// Everything the report command needs besides the settings.
struct TWorksheetRun {
  TMdaFile& project;
  TMdfFile& costs;
  const TFieldRec* current = nullptr;       // the record shown in the editor (current record mode)
  const TRecordSubset* subset = nullptr;    // the report's subset (subset mode), attached already
  // Called before each record with the records done and the records to look at; false cancels.
  std::function<bool(int done, int total)> progress;
};

// The report command after the dialog: opens the document, walks the records of the settings'
// mode writing each selected one, then shows the report through `viewer` (may be null) or
// abandons it. Returns the reason of a failure (shown under kWorksheetFailedText), empty on success
// and when the user cancelled (then `cancelled` is set).
std::string RunWorksheetReport(const TWorksheetSettingsRec& settings, const std::string& author, TWorksheetRun& run,
                               TReportViewer* viewer, bool* cancelled = nullptr);
