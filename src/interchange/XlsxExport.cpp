#include "interchange/XlsxExport.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "common/Cp1252.h"
#include "filebase/FileUtl.h"
#include "filebase/SafeWrite.h"
#include "interchange/TableRows.h"

namespace {

// Widths in characters: room for the header and the values, but no column wider than a screenful.
constexpr double kMaxWidth = 40, kNumberWidth = 10, kDateWidth = 11;

const char* TypeName(TDbType type) {
  switch (type) {
    case TDbType::Boolean: return "Yes/No";
    case TDbType::Integer:
    case TDbType::Long: return "Whole number";
    case TDbType::Single: return "Number";
    case TDbType::Date: return "Date";
    case TDbType::Time: return "Time";
    default: return "Text";
  }
}

double ColumnWidth(const TDbColumn& c) {
  double values = kNumberWidth;
  if (c.Type == TDbType::Text || c.Type == TDbType::Memo) values = c.Size > 0 ? c.Size : kMaxWidth;
  else if (c.Type == TDbType::Date || c.Type == TDbType::Time) values = kDateWidth;
  else if (c.Type == TDbType::Boolean) values = 5;
  return std::min(kMaxWidth, std::max(values, static_cast<double>(c.Name.size())) + 2);
}

// "hh:mm:ss" as a fraction of a day; false for another text.
bool TimeOfDay(const std::string& text, double& fraction) {
  int h = 0, m = 0, s = 0;
  char end = 0;
  if (std::sscanf(text.c_str(), "%2d:%2d:%2d%c", &h, &m, &s, &end) != 3) return false;
  fraction = (h * 3600 + m * 60 + s) / 86400.0;
  return true;
}

// A text as a cell holds it. Readers take "_xHHHH_" for the character of that code (the library
// writes control characters so), so a text holding such a sequence gets its "_" written as one.
std::string CellText(const std::string& cp1252) {
  std::string text = Cp1252ToUtf8(cp1252);
  const auto hex = [&text](size_t i) { return i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); };
  for (size_t i = text.find("_x"); i != std::string::npos; i = text.find("_x", i + 1))
    if (hex(i + 2) && hex(i + 3) && hex(i + 4) && hex(i + 5) && i + 6 < text.size() && text[i + 6] == '_') {
      text.insert(i + 1, "x005F_");
      i += 6;
    }
  return text;
}

class TWorkbook : public TSheetWriter {
 public:
  explicit TWorkbook(std::string target) : target_(std::move(target)) {}
  ~TWorkbook() override {
    if (book_ != nullptr) lxw_workbook_free(book_);
  }
  bool Open(const std::string& file, const std::string& projectPath);
  bool Row(const TDbTable& table, const std::vector<TDbValue>& cells) override;
  // Filters the headers, describes the columns and writes the workbook.
  bool Close();
  std::string ErrorText() const override { return target_ + "\r\n" + error_; }

 private:
  struct TSheet {
    const TDbTable* Table;
    lxw_worksheet* Sheet = nullptr;
    std::vector<lxw_format*> Formats;  // per column; null for text
    uint32_t Rows = 1;                 // the header row included
  };
  bool Check(lxw_error e) {
    if (e == LXW_NO_ERROR) return true;
    if (error_.empty()) error_ = lxw_strerror(e);
    return false;
  }
  lxw_format* NumberFormat(const std::string& format);
  lxw_format* ColumnFormat(const TDbColumn& c);
  bool Start(TSheet& s);
  bool WriteCell(const TSheet& s, size_t column, const TDbValue& v);
  bool Describe();

  std::string target_, error_;
  lxw_workbook* book_ = nullptr;
  lxw_format* bold_ = nullptr;
  std::map<std::string, lxw_format*> formats_;
  std::vector<TSheet> sheets_;
  std::string projectPath_;
};

lxw_format* TWorkbook::NumberFormat(const std::string& format) {
  lxw_format*& f = formats_[format];
  if (f == nullptr) {
    f = workbook_add_format(book_);
    if (format == "date") format_set_num_format_index(f, 14);  // the reader's short date format
    else format_set_num_format(f, format.c_str());
  }
  return f;
}

lxw_format* TWorkbook::ColumnFormat(const TDbColumn& c) {
  switch (c.Type) {
    case TDbType::Integer:
    case TDbType::Long: return NumberFormat("0");
    case TDbType::Single: return NumberFormat(c.Decimals > 0 ? "0." + std::string(static_cast<size_t>(c.Decimals), '0') : "0");
    case TDbType::Date: return NumberFormat("date");
    case TDbType::Time: return NumberFormat("hh:mm:ss");
    default: return nullptr;
  }
}

bool TWorkbook::Open(const std::string& file, const std::string& projectPath) {
  projectPath_ = projectPath;
  // Rows go straight to the sheets' temporary files instead of being kept in memory.
  lxw_workbook_options options = {};
  options.constant_memory = LXW_TRUE;
  book_ = workbook_new_opt(file.c_str(), &options);
  if (book_ == nullptr) {
    error_ = "Can't create file.";
    return false;
  }
  bold_ = workbook_add_format(book_);
  format_set_bold(bold_);
  for (const TDbTable* t : {&ProjectTable(), &FieldTable(), &ApplicationTable()}) sheets_.push_back({t});
  for (TSheet& s : sheets_)
    if (!Start(s)) return false;
  return true;
}

bool TWorkbook::Start(TSheet& s) {
  s.Sheet = workbook_add_worksheet(book_, SheetName(*s.Table).c_str());
  if (s.Sheet == nullptr) return Check(LXW_ERROR_MEMORY_MALLOC_FAILED);
  const std::vector<TDbColumn>& columns = s.Table->Columns;
  for (size_t i = 0; i < columns.size(); ++i) {
    const auto col = static_cast<lxw_col_t>(i);
    s.Formats.push_back(ColumnFormat(columns[i]));
    if (!Check(worksheet_set_column(s.Sheet, col, col, ColumnWidth(columns[i]), nullptr)) ||
        !Check(worksheet_write_string(s.Sheet, 0, col, columns[i].Name.c_str(), bold_)))
      return false;
  }
  worksheet_freeze_panes(s.Sheet, 1, 0);
  return true;
}

bool TWorkbook::WriteCell(const TSheet& s, size_t column, const TDbValue& v) {
  const lxw_row_t row = s.Rows;
  const auto col = static_cast<lxw_col_t>(column);
  lxw_format* format = s.Formats[column];
  switch (s.Table->Columns[column].Type) {
    case TDbType::Boolean: return Check(worksheet_write_boolean(s.Sheet, row, col, v.Int != 0, nullptr));
    case TDbType::Date: {
      lxw_datetime d = {};
      if (std::sscanf(v.Str.c_str(), "%4d-%2d-%2d", &d.year, &d.month, &d.day) == 3)
        return Check(worksheet_write_datetime(s.Sheet, row, col, &d, format));
      break;
    }
    case TDbType::Time: {
      double fraction = 0;
      if (TimeOfDay(v.Str, fraction)) return Check(worksheet_write_number(s.Sheet, row, col, fraction, format));
      break;
    }
    default: break;
  }
  if (v.Kind == TDbValue::TKind::Text)
    return Check(worksheet_write_string(s.Sheet, row, col, CellText(v.Str).c_str(), nullptr));
  return Check(worksheet_write_number(s.Sheet, row, col, v.Number(), format));
}

bool TWorkbook::Row(const TDbTable& table, const std::vector<TDbValue>& cells) {
  auto s = std::find_if(sheets_.begin(), sheets_.end(), [&table](const TSheet& x) { return x.Table == &table; });
  if (s == sheets_.end()) return false;
  if (s->Rows >= LXW_ROW_MAX) {
    error_ = "The " + SheetName(table) + " sheet would have more than " + std::to_string(LXW_ROW_MAX) +
             " rows, the most a worksheet holds. Export a subset of the records.";
    return false;
  }
  for (size_t i = 0; i < cells.size(); ++i)
    if (!cells[i].IsNull() && !WriteCell(*s, i, cells[i])) return false;
  ++s->Rows;
  return true;
}

// One row per sheet (its description, with an empty column name) and per column.
bool TWorkbook::Describe() {
  lxw_worksheet* sheet = workbook_add_worksheet(book_, "Columns");
  if (sheet == nullptr) return Check(LXW_ERROR_MEMORY_MALLOC_FAILED);
  const double widths[] = {13, 12, 13, 6, 9, 100};
  const char* headers[] = {"Sheet", "Column", "Type", "Size", "Decimals", "Description"};
  for (lxw_col_t c = 0; c < 6; ++c)
    if (!Check(worksheet_set_column(sheet, c, c, widths[c], nullptr)) ||
        !Check(worksheet_write_string(sheet, 0, c, headers[c], bold_)))
      return false;
  worksheet_freeze_panes(sheet, 1, 0);
  lxw_row_t row = 1;
  const auto text = [&](lxw_col_t c, const std::string& s) {
    return Check(worksheet_write_string(sheet, row, c, CellText(s).c_str(), nullptr));
  };
  for (const TSheet& s : sheets_) {
    const std::string name = SheetName(*s.Table);
    if (!text(0, name) || !text(5, s.Table->Description + projectPath_ + ".")) return false;
    ++row;
    for (const TDbColumn& c : s.Table->Columns) {
      if (!text(0, name) || !text(1, c.Name) || !text(2, TypeName(c.Type)) || !text(5, c.Description)) return false;
      if (c.Size > 0 && !Check(worksheet_write_number(sheet, row, 3, c.Size, nullptr))) return false;
      if (c.Decimals >= 0 && !Check(worksheet_write_number(sheet, row, 4, c.Decimals, nullptr))) return false;
      ++row;
    }
  }
  return Check(worksheet_autofilter(sheet, 0, 0, row - 1, 5));
}

bool TWorkbook::Close() {
  for (const TSheet& s : sheets_)
    if (!Check(worksheet_autofilter(s.Sheet, 0, 0, s.Rows - 1, static_cast<lxw_col_t>(s.Table->Columns.size() - 1))))
      return false;
  if (!Describe()) return false;
  lxw_workbook* book = book_;
  book_ = nullptr;  // closing frees it, also when it fails
  return Check(workbook_close(book));
}

}  // namespace

bool ExportToXlsx(TMdaFile& project, TMcnFile& counties, const TMdfFile& definitions, const std::string& path,
                  const std::string& programId, const TDbfExportDone& done, const TExportOptions& options,
                  std::string& message) {
  message.clear();
  const auto fail = [&](const std::string& text) {
    message = text;
    project.ErrorState = esExport;
    return false;
  };
  const std::string target = ChangeFileExt(ExpandFileName(path), kXlsxExtension);
  TSafeWrite out;
  if (const TWriteResult begun = out.Begin(target, TTargetUse::Replace, "xls"); !begun.Ok()) return fail(begun.FullText());
  // The workbook is written by name into the locked temporary file, which the commit puts in place.
  TWorkbook book(target);
  TTableRowCounts counts;
  if (!book.Open(out.TempPath(), ExpandFileName(project.FileName))) return fail(book.ErrorText());
  if (!WriteTableRows(project, counties, definitions, programId, options, book, counts, message)) return false;
  if (!book.Close()) return fail(book.ErrorText());
  if (const TWriteResult placed = out.Commit(); !placed.Ok()) return fail(placed.FullText());
  if (done) done(target, counts.Fields, "", counts.Applications);
  return true;
}
