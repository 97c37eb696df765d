// What the ranked and tabular summaries share: the settings both dialogs hold, and the document
// base that loads the costs, reads the chosen records with their cost summaries, and writes the
// heading block, the notes and the warnings.
#pragma once

#include <functional>
#include <string>

#include "reports/DocFile.h"
#include "store/CostCalc.h"

class TMdaFile;
class TMdfFile;
class TRecordSubset;

// The settings both summaries have; each summary's own settings add to them. One instance of
// each lives while the program runs, never stored on disk.
struct TSummarySettingsRec {
  int RecordsMode = 0;  // 0 all records of the project, 1 the records in the summary's subset
  bool UseCustomCosts = false;
  std::string CustomCostFile;
  bool UseRemovalCost = false;    // fertilizer cost is N applied plus P and K removal
  bool UseFiveYearPrice = true;   // income at the five-year price instead of the current price
  bool ChargeAnySoilLoss = false;
  int OutputKind = okText;
  bool ViewWithWord = false;
  bool SaveToFile = false;
  std::string OutputFileName;  // the chosen path, or the temporary prefix
};

// Status of a summary that failed for a reason of its own (FailureText).
constexpr int kSummaryFailed = 5;

// The yield unit the records share. `adoptFirstNonEmpty` off (ranked summary): the first
// record's unit is kept, even an empty one; on (tabular summary): an empty kept unit gives way to
// the next record's. A unit that differs, ignoring case, clears the kept text for good.
class TCommonUnit {
 public:
  explicit TCommonUnit(bool adoptFirstNonEmpty) : adopt_(adoptFirstNonEmpty) {}
  void Add(const std::string& unit);
  bool Differ() const { return differ_; }
  const std::string& Text() const { return text_; }

 private:
  bool adopt_;
  bool started_ = false;
  bool differ_ = false;
  std::string text_;
};

// One record as a summary sees it.
struct TSummaryRecord {
  const TFieldRec* rec = nullptr;
  TCostSummary costs;
  float yieldUsed = 0;      // the harvested yield, else the goal
  bool doubleCrop = false;  // the cover or first crop is harvested, with a yield above 0
};

class TSummaryDoc : public TDocOutFile {
 public:
  // 5 when the summary failed for a reason of its own, else the frame's status.
  int GetStatus() const override;
  std::string GetErrorText() const override;

  std::string FailureText;

 protected:
  // Keeps the settings and the sources, loads the custom costs into the definition file's
  // working costs (or restores the standard costs), then opens the output.
  bool OpenSummary(const TSummarySettingsRec& settings, const TRecordSubset& subset, const std::string& author,
                   TMdaFile& file, TMdfFile& definitions, const char* title);
  bool Fail(const std::string& text);
  // Reads every record in order and hands each one that `take` accepts, with its costs, yield unit
  // and double-crop flag, to `use`; false when a read failed (the failure is set) or `use` said stop.
  bool ForEachRecord(const std::function<bool(const TFieldRec&)>& take, TCommonUnit& unit,
                     const std::function<bool(const TSummaryRecord&)>& use);
  // Portrait with half-inch margins, Courier New 10 points, the prepared-by line, the project's
  // title, file, cost file, year and state, then two empty lines.
  void WriteHeadingBlock();
  // The fertilizer and income notes, the unit warning ("ranking" or "summary") when the units
  // differ, and the double-crop warning when asked for.
  void WriteNotes(const TCommonUnit& unit, const char* warningWord, bool doubleCropWarning);
  // Shows a finished report through `viewer` (may be null), or abandons a failed one.
  void Finish(TReportViewer* viewer);

  const TSummarySettingsRec& Settings() const { return *settings_; }
  const TRecordSubset& Subset() const { return *subset_; }
  TMdaFile& File() const { return *file_; }

 private:
  // The costs of a record with the settings' options.
  TCostSheet Costs(const TFieldRec& rec) const;

  const TSummarySettingsRec* settings_ = nullptr;
  const TRecordSubset* subset_ = nullptr;
  std::string author_;
  TMdaFile* file_ = nullptr;
  TMdfFile* definitions_ = nullptr;
};

// Why a summary without a single data column is refused.
inline const char* const kNoColumnsText = "You must include at least one data column.";

// The two notes on how the fertilizer cost and the income were reckoned, each ended by NewLine.
void WriteCostNotes(TDocOutFile& doc, bool useRemovalCost, bool useFiveYearPrice);

// Opens `doc` with settings that send the report to `path` in output kind `kind`, writes it, and
// returns the error text (empty on success). For the command-line tool.
template <class TDoc, class TSettings>
std::string WriteSummaryFile(const std::string& path, int kind, TSettings settings, const TRecordSubset& subset,
                             const std::string& author, TMdaFile& file, TMdfFile& definitions) {
  settings.OutputKind = kind;
  settings.OutputFileName = path;
  settings.SaveToFile = true;
  settings.ViewWithWord = false;
  TDoc doc;
  if (doc.Open(settings, subset, author, file, definitions)) doc.WriteReport(nullptr);
  return doc.GetStatus() == wsOk ? std::string() : doc.GetErrorText();
}
