#include "reports/CostList.h"

#include "common/Format.h"
#include "common/Locale.h"
#include "filebase/FileUtl.h"
#include "reference/MdfFile.h"
#include "reports/MoreInfo.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

namespace {

void Line(TDocOutFile& doc, const std::string& text) {
  doc.Write(text);
  doc.NewLine();
}

void WriteHeading(TDocOutFile& doc, const TMdfFile& mdf, const std::string& costFileName, uint32_t cropFilter,
                  const std::string& author) {
  Line(doc, std::string(5, ' ') + ExtractFileName(costFileName) + " costs listed by " + author + " at " +
                ReportStamp());
  Line(doc, std::string(20, ' ') + "(" + ExtractFileName(mdf.FileName) +
                " release date: " + FormatShortDate(mdf.ReleaseDate()) + ")");
  doc.NewLine();
  const std::string crops =
      cropFilter == DisplayCropsMask() ? std::string("All crops") : CropMaskLetters(cropFilter);
  Line(doc, std::string(10, ' ') + "List of defined inputs for these crops:  " + crops);
  doc.NewLine();
  doc.NewLine();
  Line(doc, Pad("Input name", 30) + "  Unit cost   " + Pad("Cost unit", 12) + Pad("App unit", 12) + "Crops");
}

}  // namespace

void WriteCostListing(TDocOutFile& doc, const TMdfFile& mdf, const std::string& costFileName, uint32_t cropFilter,
                      const std::string& author, TReportViewer* viewer) {
  doc.SetPageLayout(false, 0.75f, 0.25f, 0.5f, 0.5f);
  doc.SetFont(0, 10);
  WriteHeading(doc, mdf, costFileName, cropFilter, author);
  for (int c = kFirstCategory; c <= kLastCategory && doc.GetStatus() == wsOk; ++c) {
    doc.NewLine();
    Line(doc, "-- " + CategoryTitle(c) + " --");
    const int count = mdf.CountInputs(c, itAny, cropFilter);
    for (int p = 1; p <= count && doc.GetStatus() == wsOk; ++p) {
      const int code = mdf.InputAtListPosition(p, c, cropFilter, itAny);
      Line(doc, Pad(mdf.InputName(code), 30) + PadLeft(FormatReal(mdf.InputCost(code), 3), 11) + "   " +
                    Pad(UnitLongName(mdf.InputCostUnit(code)), 12) + Pad(UnitLongName(mdf.InputAppUnit(code)), 12) +
                    CropMaskText(mdf.InputCropMask(code)));
    }
  }
  if (doc.GetStatus() == wsOk) doc.CloseAndView(viewer);
  if (doc.GetStatus() != wsOk) doc.Abandon();
}

std::string WriteCostListingFile(const std::string& path, int kind, const TMdfFile& mdf,
                                 const std::string& costFileName, uint32_t cropFilter, const std::string& author) {
  TDocOutFile doc;
  if (doc.Open(kind, path, false, false, kCostListingTitle, author))
    WriteCostListing(doc, mdf, costFileName, cropFilter, author, nullptr);
  return doc.GetStatus() == wsOk ? std::string() : doc.GetErrorText();
}
