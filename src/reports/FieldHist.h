// The field history: a farm's fields over several project files, one per harvest year. Each field
// gets a block of one row per year (crop, tillage, yield goal and yield, N, P2O5 and K2O applied
// against the default recommendation, cost per acre, cost per unit, profit per acre), then per
// crop its average and its best and worst year; a closing table ranks the fields by average
// profit per acre over the years of the report. 100 characters of a fixed-pitch font per line.
#pragma once

#include <string>

#include "reports/DocFile.h"
#include "reports/HistData.h"

class THistoryDoc : public TDocOutFile {
 public:
  // Opens the output of the settings: landscape, the lines centred, the fixed font in its size.
  bool Open(const THistorySettingsRec& settings, const std::string& author);
  // The whole report; `refs` names the states, `costFile` is the cost file's path.
  void WriteReport(const THistoryData& data, const TProjectRefs& refs, const std::string& costFile);

 private:
  void Line(const std::string& text);
  void WriteHeading(const THistoryData& data, const TProjectRefs& refs, const std::string& costFile);
  void WriteColumnHeads();
  void WriteField(const THistoryData& data, const THistoryField& field);
  void WriteCrops(const THistoryData& data, const THistoryField& field);
  void WriteRanking(const THistoryData& data);
  void WriteNotes(const THistoryData& data);

  THistorySettingsRec settings_;
  std::string author_;
};

// Reads the files of the settings, writes the report and shows it through `viewer` (may be null),
// or abandons it. Returns the reason of a failure (shown under kHistoryFailedText), empty on success
// and when the user cancelled (then `cancelled` is set). Loads the settings' costs into run.costs.
std::string RunFieldHistory(const THistorySettingsRec& settings, const std::string& author, THistoryRun& run,
                            TReportViewer* viewer, bool* cancelled = nullptr);
