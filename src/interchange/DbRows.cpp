#include "interchange/DbRows.h"

#include <cmath>
#include <ctime>

#include "common/DayNum.h"
#include "common/Format.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "store/MdaFile.h"

namespace {

template <class Row>
std::vector<const TExportColumn<Row>*> MatchColumns(const TDbTable& table, const std::vector<TExportColumn<Row>>& all) {
  std::vector<const TExportColumn<Row>*> matched;
  for (const TDbColumn& c : table.Columns) {
    const TExportColumn<Row>* found = nullptr;
    for (const auto& e : all)
      if (SameText(e.Name, c.Name)) found = &e;
    matched.push_back(found);
  }
  return matched;
}

}  // namespace

TDbValue DbCellValue(const TDbColumn& c, const TExportValue& v) {
  if (v.Blank) return {};
  switch (c.Type) {
    case TDbType::Text:
    case TDbType::Memo:
    case TDbType::Time: {
      std::string text = c.Size > 0 ? v.Text.substr(0, static_cast<size_t>(c.Size)) : v.Text;
      return text.find_first_not_of(' ') == std::string::npos ? TDbValue{} : TDbValue::OfText(std::move(text));
    }
    case TDbType::Boolean: return TDbValue::OfInt(v.Number != 0);
    case TDbType::Date: {
      const auto day = static_cast<TDayNum>(v.Number);
      return day == 0 ? TDbValue{} : TDbValue::OfText(FormatIsoDate(day));
    }
    default: break;
  }
  if (!(c.Flags & dcKeepZero) && v.Number <= 0) return {};
  if (c.Type == TDbType::Single) return TDbValue::OfReal(RoundToDecimals(v.Number, c.Decimals));
  return TDbValue::OfInt(std::llround(v.Number));
}

const std::vector<const TExportColumn<TFieldDataRow>*>& FieldTableSources() {
  static const auto columns = MatchColumns(FieldTable(), FieldDataColumns());
  return columns;
}

const std::vector<const TExportColumn<TAppDataRow>*>& ApplicationTableSources() {
  static const auto columns = MatchColumns(ApplicationTable(), AppDataColumns());
  return columns;
}

std::vector<TExportValue> ProjectRowValues(const TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions,
                                           const std::string& programId) {
  using V = TExportValue;
  const TMdaHeader& h = project.Header;
  const std::string path = ExpandFileName(project.FileName);
  const bool multi = h.State == 0;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char time[16];
  std::strftime(time, sizeof time, "%H:%M:%S", &local);
  return {
      V::OfText(ExtractFileName(path)),
      V::OfText(ExtractFileDir(path)),
      V::OfText(multi ? "Multi-" + counties.RegionWord() : counties.StateName(h.State)),
      V::OfNumber(multi ? 0 : counties.StateCode(h.State)),
      V::OfNumber(h.Year),
      V::OfText(h.Title.Str()),
      V::OfText(h.Author.Str()),
      V::OfText(h.Company.Str()),
      V::OfText(h.Comments.Str()),
      V::OfNumber(definitions.ReleaseDate()),
      V::OfNumber(h.Last_Update),
      V::OfText(programId),
      V::OfNumber(TodayDay()),
      V::OfText(time),
  };
}
