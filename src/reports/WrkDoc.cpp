// The worksheet document frame: opening with the cost table, the boxed line layout, the text
// roles, the field information block, and the record walk of the report command.
#include "reports/WrkDoc.h"

#include <algorithm>

#include "common/Format.h"
#include "filebase/FileUtl.h"
#include "reference/MccFile.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "reports/MoreInfo.h"
#include "reports/NutrEngine.h"
#include "reports/RecSubset.h"
#include "store/MdaFile.h"

namespace {

// Characters of the line modes 2..6: left, fill, right (code page 437).
struct TBorder {
  int left, fill, right;
};
const TBorder kBorders[] = {{201, 205, 187}, {204, 205, 185}, {199, 196, 182}, {186, ' ', 186}, {200, 205, 188}};
constexpr int kVerticalLine = 186;
constexpr int kLineWidth = 80;
constexpr int kCostFileStatus = 5;

}  // namespace

bool TWorksheetDoc::Open(const TWorksheetSettingsRec& settings, const std::string& author, TMdaFile& project,
                         TMdfFile& costs) {
  settings_ = settings;
  author_ = author;
  project_ = &project;
  costs_ = &costs;
  costFileError_ = LoadReportCosts(settings_.UseCustomCosts, settings_.CustomCostFile, costs);
  if (!costFileError_.empty()) return false;
  if (!TDocOutFile::Open(settings_.OutputKind, settings_.OutputFileName, !settings_.SaveToFile,
                         settings_.ViewWithWord, kWorksheetTitle, author))
    return false;
  SetProject(project.Title(), project.FileName);
  firstPage_ = firstHeader_ = true;
  style_ = 0;
  color_ = 0;
  for (const TTextRole& role : settings_.Roles)
    if (role.Color != 0) color_ = 16;  // no colour set yet: the first role's colour is written
  lineMode_ = lmPlain;
  column_ = 0;
  const float size = settings_.FontSize;
  const float left = (8.5f - kLineWidth * size / 120.0f) / 2.0f;
  SetPageLayout(false, left, 0.25f, 0.5f, 0.5f);
  SetExactLineSpacing(size);
  SetFont(0, size);
  if (TDocOutFile::GetStatus() == wsOk) return true;
  Abandon();
  return false;
}

int TWorksheetDoc::GetStatus() const { return costFileError_.empty() ? TDocOutFile::GetStatus() : kCostFileStatus; }

std::string TWorksheetDoc::GetErrorText() const {
  return costFileError_.empty() ? TDocOutFile::GetErrorText() : costFileError_;
}

void TWorksheetDoc::WriteRecord(const TFieldRec& rec) {
  if (settings_.IncludeCostWorksheet) WriteCostWorksheet(rec);
  if (settings_.IncludeNutrientPage) WriteNutrientPage(rec);
}

void TWorksheetDoc::SetStyle(uint16_t style, uint16_t color) {
  const bool styleChanged = style != style_;
  if (styleChanged) {
    if (style_ & tsUnderline) StyleOff(stUnderline);
    if (style_ & tsItalic) StyleOff(stItalic);
    if (style_ & tsBold) StyleOff(stBold);
  }
  if (color != color_) SetColor(color);
  if (styleChanged) {
    if (style & tsBold) StyleOn(stBold);
    if (style & tsItalic) StyleOn(stItalic);
    if (style & tsUnderline) StyleOn(stUnderline);
  }
  style_ = style;
  color_ = color;
}

void TWorksheetDoc::WriteSegment(const std::string& text, int role) {
  const TTextRole& r = settings_.Roles[role];
  if (settings_.Boxed && lineMode_ != lmPlain && column_ == 0) {
    column_ += static_cast<int>(text.size()) + 2;
    ResetStyle();
    WriteLineChar(kVerticalLine);
    SetStyle(r.Style, r.Color);
    Write(" " + text);
    return;
  }
  column_ += static_cast<int>(text.size());
  SetStyle(r.Style, r.Color);
  Write(text);
}

void TWorksheetDoc::EndLine() {
  if (settings_.Boxed && lineMode_ != lmPlain) {
    if (column_ == 0) {
      const TBorder& b = kBorders[lineMode_ - lmTop];
      ResetStyle();
      WriteLineChar(b.left);
      if (b.fill == ' ') Write(std::string(kLineWidth - 2, ' '));
      else WriteLineChars(b.fill, kLineWidth - 2);
      WriteLineChar(b.right);
    } else {
      if (column_ < kLineWidth - 1) Write(std::string(static_cast<size_t>(kLineWidth - 1 - column_), ' '));
      ResetStyle();
      WriteLineChar(kVerticalLine);
    }
  }
  column_ = 0;
  NewLine();
}

void TWorksheetDoc::PageStart() {
  lineMode_ = lmPlain;
  column_ = 0;
  if (!firstPage_) NewPage();
  firstPage_ = false;
  if (!firstHeader_) return;
  firstHeader_ = false;
  Write("     " + PreparedLine(author_));
  EndLine();
}

std::string TWorksheetDoc::CostAmount(size_t width, int decimals, float value) const {
  return settings_.ShowInputCosts ? PadLeft(FormatReal(value, decimals, 0), width) : std::string(width, '_');
}

std::string TWorksheetDoc::CropSlotName(int slot, const TFieldRec& rec) {
  return project_->StateTables()->CropSlotName(slot, rec);
}

std::string TWorksheetDoc::YieldUnitText(int slot, const TFieldRec& rec) {
  return project_->StateTables()->YieldUnitText(slot, rec);
}

float TWorksheetDoc::ShownCEC(const TFieldRec& rec) {
  if (rec.CEC != 0) return rec.CEC;
  TNutrEngine engine(*project_->StateTables());
  return static_cast<float>(engine.EstimatedCEC(rec));
}

void TWorksheetDoc::WriteFieldInfo(const TFieldRec& rec, bool indent, bool separatorAfter, bool costFileLine) {
  const std::string ind = indent ? "  " : "";
  const auto start = [&] {
    if (indent) WriteLabel(ind);
  };
  TMcnFile* counties = project_->Refs() ? project_->Refs()->CountyFile() : nullptr;
  start();
  if (settings_.ShowFieldId) {
    WriteLabel("Field ID:   ");
    WriteInput(Pad(std::to_string(rec.Field_ID.Get()), 17));
  }
  if (settings_.ShowFieldName) {
    WriteLabel("Field Name: ");
    WriteInput(Pad(rec.Field_Name.Str(), 17));
    WriteLabel("Subfield: ");
    if (!settings_.ShowFieldId) WriteInput("  ");
    WriteInput(rec.SubFld_Nam.Str());
  }
  EndLine();
  if (settings_.ShowOperationName) {
    start();
    WriteLabel("Operation:  ");
    WriteInput(rec.Operation.Str());
    EndLine();
  }
  start();
  WriteLabel(Pad((counties ? counties->RegionWordCapitalized() : std::string("State")) + ":", 12));
  WriteInput(Pad(counties ? counties->StateName(rec.State) : std::string(), 17));
  WriteLabel("County:     ");
  WriteInput(counties ? counties->CountyName(rec.County, rec.State) : std::string());
  EndLine();
  start();
  WriteLabel("Year:       ");
  WriteInput(Pad(std::to_string(project_->ProjectYear()), 17));
  WriteLabel("Watershed:  ");
  WriteInput(rec.Wshed_Name.Str());
  EndLine();
  SetLineMode(lmSingle);
  EndLine();
  start();
  WriteLabel("Project:    ");
  WriteInput(ExtractFileName(project_->FileName));
  EndLine();
  start();
  WriteLabel("Title:      ");
  WriteInput(project_->Title());
  EndLine();
  if (costFileLine) {
    start();
    WriteLabel("Cost file:  ");
    WriteInput(ExtractFileName(settings_.UseCustomCosts ? settings_.CustomCostFile : costs_->FileName));
    EndLine();
  }
  if (separatorAfter) SetLineMode(lmDouble);
  EndLine();
}

// ---- The report command's record walk ----

namespace {

// The records the walk looks at, for the progress count.
int WalkLength(const TWorksheetSettingsRec& s, int count) {
  if (s.RecordsMode == rmCurrent) return 1;
  if (s.RecordsMode == rmRecordRange) return s.RangeFrom > count ? 0 : std::min(s.RangeTo, count) - s.RangeFrom + 1;
  return count;
}

}  // namespace

std::string RunWorksheetReport(const TWorksheetSettingsRec& settings, const std::string& author, TWorksheetRun& run,
                               TReportViewer* viewer, bool* cancelled) {
  if (cancelled) *cancelled = false;
  TWorksheetDoc doc;
  if (!doc.Open(settings, author, run.project, run.costs)) return doc.GetErrorText();
  const int count = run.project.RecordCount();
  const int total = WalkLength(settings, count);
  int written = 0, looked = 0;
  std::string error;
  bool stopped = false;
  const auto step = [&](const TFieldRec& rec, bool selected) {
    if (run.progress && !run.progress(looked, total)) return !(stopped = true);
    ++looked;
    if (selected) {
      doc.WriteRecord(rec);
      ++written;
    }
    if (doc.GetStatus() != wsOk) error = doc.GetErrorText();
    return error.empty();
  };
  if (settings.RecordsMode == rmCurrent) {
    if (run.current) step(*run.current, true);
  } else if (settings.RecordsMode != rmRecordRange || settings.RangeFrom <= count) {
    TRecordReader reader(run.project, settings.RecordsMode == rmRecordRange ? settings.RangeFrom : 1);
    while (const TFieldRec* rec = reader.Next()) {
      const int id = rec->Field_ID;
      bool selected = true;
      if (settings.RecordsMode == rmIdRange) selected = id >= settings.RangeFrom && id <= settings.RangeTo;
      if (settings.RecordsMode == rmSubset) selected = run.subset && run.subset->Contains(*rec, 0, true, 0);
      if (!step(*rec, selected)) break;
      if (settings.RecordsMode == rmRecordRange && reader.Number() >= settings.RangeTo) break;
      if (settings.RecordsMode == rmIdRange && id >= settings.RangeTo) break;
    }
    if (reader.Failed()) error = run.project.FullErrorText();
  }
  if (stopped) {
    doc.Abandon();
    if (cancelled) *cancelled = true;
    return {};
  }
  if (error.empty() && written == 0) error = kNoWorksheetRecordsText;
  if (error.empty()) {
    doc.Progress = run.progress;
    doc.CloseAndView(viewer);
    if (doc.GetStatus() != wsOk) error = doc.GetErrorText();
  }
  if (doc.Cancelled()) {
    doc.Abandon();
    if (cancelled) *cancelled = true;
    return {};
  }
  if (!error.empty()) doc.Abandon();
  return error;
}
