#include "reports/SumDoc.h"

#include "common/Format.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "reference/MccFile.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "reports/MoreInfo.h"
#include "store/MdaFile.h"

void TCommonUnit::Add(const std::string& unit) {
  if (differ_) return;
  if (!started_ || (adopt_ && text_.empty())) {
    started_ = true;
    text_ = unit;
  } else if (!SameText(unit, text_)) {
    differ_ = true;
    text_.clear();
  }
}

int TSummaryDoc::GetStatus() const { return FailureText.empty() ? TDocOutFile::GetStatus() : kSummaryFailed; }

std::string TSummaryDoc::GetErrorText() const {
  return FailureText.empty() ? TDocOutFile::GetErrorText() : FailureText;
}

bool TSummaryDoc::OpenSummary(const TSummarySettingsRec& settings, const TRecordSubset& subset,
                              const std::string& author, TMdaFile& file, TMdfFile& definitions, const char* title) {
  settings_ = &settings;
  subset_ = &subset;
  author_ = author;
  file_ = &file;
  definitions_ = &definitions;
  FailureText = LoadReportCosts(settings.UseCustomCosts, settings.CustomCostFile, definitions);
  if (!FailureText.empty()) return false;
  if (!TDocOutFile::Open(settings.OutputKind, settings.OutputFileName, !settings.SaveToFile, settings.ViewWithWord,
                         title, author))
    return false;
  SetProject(file.Title(), file.FileName);
  return true;
}

namespace {

// Records read between two progress reports.
constexpr int kProgressRecords = 64;

}  // namespace

bool TSummaryDoc::Fail(const std::string& text) {
  if (FailureText.empty()) FailureText = text;
  return false;
}

TCostSheet TSummaryDoc::Costs(const TFieldRec& rec) const {
  const TSummarySettingsRec& s = *settings_;
  return ComputeCosts(rec, *definitions_, {s.UseRemovalCost, s.ChargeAnySoilLoss, s.UseFiveYearPrice});
}

bool TSummaryDoc::ForEachRecord(const std::function<bool(const TFieldRec&)>& take, TCommonUnit& unit,
                                const std::function<bool(const TSummaryRecord&)>& use) {
  TStateTables* tables = file_->StateTables();
  TRecordReader reader(*file_);
  const int count = file_->RecordCount();
  while (const TFieldRec* rec = reader.Next()) {
    if (reader.Number() % kProgressRecords == 0 && !ReportProgress(reader.Number(), count)) return false;
    if (!take(*rec)) continue;
    const TCostSheet sheet = Costs(*rec);
    if (!unit.Differ() && tables) unit.Add(tables->YieldUnitText(csCur, *rec));
    const TSummaryRecord r{rec, SummarizeCosts(sheet), sheet.YieldUsed, sheet.CoverHarvested};
    if (!use(r)) return false;
  }
  if (reader.Failed()) return Fail(file_->FullErrorText());
  return true;
}

void TSummaryDoc::WriteHeadingBlock() {
  SetPageLayout(false, 0.5f, 0.5f, 0.5f, 0.5f);
  SetFont(0, 10);
  auto line = [this](const std::string& text) {
    Write(text);
    NewLine();
  };
  line("     " + PreparedLine(author_));
  NewLine();
  line("Project title:  " + file_->Title());
  line("Project file:   " + ExtractFileName(file_->FileName));
  const std::string costFile = settings_->UseCustomCosts ? settings_->CustomCostFile : definitions_->FileName;
  line("Cost file:      " + ExtractFileName(costFile));
  line("Year:           " + std::to_string(file_->ProjectYear()));
  const TProjectRefs* refs = file_->Refs();
  const std::string region = refs ? refs->RegionWord() : "state";
  const int state = file_->ProjectState();
  std::string place = "Multi-" + region;
  if (state != 0) place = refs && refs->CountyFile() ? refs->CountyFile()->StateName(state) : std::string();
  line(Pad(CapitalizeFirst(region) + ":", 16) + place);
  NewLine();
  NewLine();
}

void WriteCostNotes(TDocOutFile& doc, bool useRemovalCost, bool useFiveYearPrice) {
  doc.Write(std::string("Note:  Fertilizer cost represents ") +
            (useRemovalCost ? "N applied and P and K removal charge." : "applied N-P-K costs."));
  doc.NewLine();
  doc.Write(std::string("       Income was calculated using ") +
            (useFiveYearPrice ? "5-year selling price." : "current selling price."));
  doc.NewLine();
}

void TSummaryDoc::WriteNotes(const TCommonUnit& unit, const char* warningWord, bool doubleCropWarning) {
  WriteCostNotes(*this, settings_->UseRemovalCost, settings_->UseFiveYearPrice);
  if (unit.Differ()) {
    NewLine();
    Write(std::string("Warning:  Yield units not the same for all fields in ") + warningWord + ".");
    NewLine();
  }
  if (doubleCropWarning) {
    NewLine();
    Write("Warning:  With double cropped fields, unit cost represents ");
    NewLine();
    Write("          cost per unit of the primary crop's yield.");
    NewLine();
  }
  NewLine();
}

void TSummaryDoc::Finish(TReportViewer* viewer) {
  if (GetStatus() == wsOk) CloseAndView(viewer);
  if (GetStatus() != wsOk) Abandon();
}
