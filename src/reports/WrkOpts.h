// The worksheet report's settings: which records and pages, what data, cost options, output and
// format. One instance lives while the program runs; the dialog and the command-line tool check a
// choice the same way before it is stored.
#pragma once

#include <cstdint>
#include <string>

#include "reports/DocFile.h"

// Which records the report walks.
enum : int { rmCurrent = 0, rmAll = 1, rmRecordRange = 2, rmIdRange = 3, rmSubset = 4 };

// Text roles of the worksheet pages, and the bits of a role's style word.
enum : int { trHeading = 0, trLabel = 1, trInput = 2, trCost = 3 };
constexpr int kTextRoles = 4;
enum : uint16_t { tsBold = 1, tsItalic = 2, tsUnderline = 4 };

struct TTextRole {
  uint16_t Style = 0;
  uint16_t Color = 0;  // report colour 0..15
};

struct TWorksheetSettingsRec {
  int RecordsMode = rmCurrent;
  int RangeFrom = 1;
  int RangeTo = 999999999;
  bool IncludeCostWorksheet = true;
  bool IncludeNutrientPage = true;
  bool UseCustomCosts = false;
  std::string CustomCostFile;
  bool UseRemovalCost = false;     // value fertilizer by N applied plus P and K removal
  bool UseFiveYearPrice = true;    // value the crops at five-year prices
  bool ChargeAnySoilLoss = false;  // charge all soil loss, not only the loss above T
  bool ShowFieldId = true;
  bool ShowFieldName = true;
  bool ShowOperationName = true;
  bool ShowFieldNotes = false;
  bool ShowSoilTests = false;
  bool ShowInputCosts = true;
  bool ShowExplanatoryNotes = true;
  int OutputKind = okText;
  bool ViewWithWord = false;
  bool SaveToFile = false;
  std::string OutputFileName;  // the chosen path, or the temporary prefix "WRK"
  bool Boxed = true;
  int16_t FontSize = 10;
  TTextRole Roles[kTextRoles] = {{0, 0}, {0, 0}, {tsBold, 0}, {tsItalic, 0}};
};

inline const char* const kWorksheetTitle = "Worksheet Report";
inline const char* const kWorksheetPrefix = "WRK";
inline const char* const kWorksheetFailedText = "Unable to generate the worksheet report for the following reason:";
inline const char* const kNoWorksheetRecordsText = "No records in selected range or subset.";
// Font sizes the format dialog offers.
constexpr int kWorksheetFontSizes[] = {8, 9, 10, 11, 12};

// The range entry as the dialog shows it: "From", or "From-To" when they differ, in the two range
// modes; empty in the others.
std::string RangeEntryText(const TWorksheetSettingsRec& settings);

// What a check found wrong, naming the control the dialog puts the focus on.
enum class TWorksheetFault { None, Range, Pages, CustomCosts, FieldIdOrName };

// The first four checks of the dialog's OK, in its order: the range entry of the mode (record
// numbers below 32768, field IDs below 1000000000), at least one page, a custom cost file when
// custom costs are ticked, Field ID or Field Name. On success the range is stored in `settings`
// (1..999999999 for the modes without one). Returns the failure's message, empty when all pass.
std::string CheckWorksheetSettings(TWorksheetSettingsRec& settings, const std::string& rangeEntry,
                                   TWorksheetFault* fault = nullptr);

// The message of a ticked custom cost box without a file: the captions lose their first "&", the
// button's also its "...".
std::string MissingCostFileText(const std::string& checkBoxCaption, const std::string& buttonCaption);
