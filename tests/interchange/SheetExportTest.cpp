// The workbook and CSV exports read back by openpyxl and Python's csv module (python3-openpyxl is a
// test-only package that `make test` installs), cell for cell against the database export of the
// same project read by Python's sqlite3 module.
#include <gtest/gtest.h>

#include <filesystem>

#include "../support/SampleProjects.h"
#include "interchange/CsvExport.h"
#include "interchange/DbExport.h"
#include "interchange/XlsxExport.h"

namespace {

// Prints "ok" or the first differences. Arguments: database, workbook, CSV base name, "full" for
// the workbook's layout checks too (slower: the whole workbook in memory).
const char* const kCheck = R"PY(
import csv, datetime, io, re, sqlite3, sys, openpyxl
from openpyxl.utils import get_column_letter
db, xlsx, base, full = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4] == "full"
con = sqlite3.connect(db)
places = {(t, c): p for t, c, p in con.execute("SELECT TableName, ColumnName, Places FROM Decimals")}
described = {(t, c): d for t, c, d in con.execute("SELECT TableName, ColumnName, Description FROM Descriptions")}
problems = []
# A workbook's texts as Excel reads them: "_xHHHH_" is the character of that code.
def text(x):
    return re.sub("_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), x) if isinstance(x, str) else x
def problem(*a):
    if len(problems) < 20: problems.append(" ".join(str(x) for x in a))
wb = openpyxl.load_workbook(xlsx, read_only=not full)
if wb.sheetnames != ["Project", "Fields", "Applications", "Columns"]: problem("sheets", wb.sheetnames)
tables = (("Project", "Project"), ("Field", "Fields"), ("Application", "Applications"))
types = {}
for row in list(wb["Columns"].iter_rows(values_only=True))[1:]:
    sheet, column, kind, size, decimals, description = map(text, row)
    table = dict((s, t) for t, s in tables)[sheet]
    types[(table, column)] = kind
    if description != described.get((table, column or "")): problem("description", sheet, column, description)
    if decimals != places.get((table, column)) and column: problem("decimals", sheet, column, decimals)
if len(types) != 194: problem("described", len(types))
for table, sheet in tables:
    cur = con.execute('SELECT * FROM "%s" ORDER BY rowid' % table)
    names = [d[0] for d in cur.description]
    rows = cur.fetchall()
    ws = wb[sheet]
    sheet_rows = list(ws.iter_rows())
    if [text(c.value) for c in sheet_rows[0]] != names: problem(sheet, "header")
    if len(sheet_rows) != len(rows) + 1: problem(sheet, "rows", len(sheet_rows) - 1, len(rows))
    if full:
        if ws.freeze_panes != "A2": problem(sheet, "frozen at", ws.freeze_panes)
        if ws.auto_filter.ref != "A1:%s%d" % (get_column_letter(len(names)), len(rows) + 1): problem(sheet, "filter", ws.auto_filter.ref)
        if not sheet_rows[0][0].font.b: problem(sheet, "header not bold")
        widths = [ws.column_dimensions[get_column_letter(i + 1)].width for i in range(len(names))]
        if min(widths) < 4 or max(widths) > 43: problem(sheet, "widths", min(widths), max(widths))
    for r, (row, cells) in enumerate(zip(rows, sheet_rows[1:]), 2):
        cells = list(cells) + [None] * (len(names) - len(cells))
        for name, v, cell in zip(names, row, cells):
            x = text(getattr(cell, "value", None))
            kind = types[(table, name)]
            where = (sheet, r, name, repr(v), repr(x))
            if v is None:
                if x is not None: problem("not empty", *where)
            elif kind == "Yes/No":
                if not isinstance(x, bool) or int(x) != v: problem("logical", *where)
            elif kind == "Date":
                if not isinstance(x, datetime.datetime) or x.date().isoformat() != v or not cell.is_date: problem("date", *where)
            elif kind == "Time":
                if not isinstance(x, datetime.time) or not re.fullmatch(r"\d\d:\d\d:\d\d", v): problem("time", *where)
            elif kind == "Text":
                if x != v or cell.data_type != "s": problem("text", *where)
            else:
                digits = places.get((table, name), 0)
                wanted = "0." + "0" * digits if digits else "0"
                if isinstance(x, bool) or x != v or cell.data_type != "n" or cell.number_format != wanted:
                    problem("number", cell.number_format, *where)
    data = open("%s.%s.csv" % (base, sheet), "rb").read()
    if not data.startswith(b"\xef\xbb\xbf") or data.replace(b"\r\n", b"").count(b"\n") > data.count(b"\r\n"):
        problem(sheet, "csv: no byte-order mark or lines not ended by CR LF")
    lines = list(csv.reader(io.StringIO(data.decode("utf-8-sig"), newline=""), strict=True))
    if lines[0] != names or len(lines) != len(rows) + 1: problem(sheet, "csv header or rows")
    for r, (row, line) in enumerate(zip(rows, lines[1:]), 2):
        if len(line) != len(names): problem(sheet, "csv fields", r, len(line))
        for name, v, s in zip(names, row, line):
            digits = places.get((table, name))
            ok = (s == "" if v is None else s == v if isinstance(v, str) else
                  int(s) == v if isinstance(v, int) else float(s) == v and len(s.split(".")[1]) == digits)
            if not ok and name != "Exp_Time": problem("csv", sheet, r, name, repr(v), repr(s))
print("\n".join(problems) if problems else "ok")
)PY";

class SheetExportTest : public TSampleFixture {
 protected:
  void SetUp() override {
    TSampleFixture::SetUp();
    if (!RunCommand("/usr/bin/python3 -c 'import openpyxl'").ok)
      GTEST_SKIP() << "python3-openpyxl is missing (make test installs it)";
    WriteWholeFile(Dir.File("check.py"), kCheck);
  }
  // Exports the project as a database, a workbook and CSV files, and compares them.
  void ExpectSameValues(TMdaFile& project, bool full) {
    TExportOptions options;
    options.CostOptions.UseRemovalCost = true;
    std::string message;
    const std::string db = Dir.File("x.sqlite"), book = Dir.File("x.xlsx"), base = Dir.File("x");
    ASSERT_TRUE(ExportToDatabase(project, Mcn, Mdf, db, "Tesserel 1.0.0", nullptr, options, message)) << message;
    int fields = -1;
    const auto done = [&](const std::string&, int f, const std::string&, int) { fields = f; };
    ASSERT_TRUE(ExportToXlsx(project, Mcn, Mdf, book, "Tesserel 1.0.0", done, options, message)) << message;
    EXPECT_EQ(fields, project.RecordCount());
    ASSERT_TRUE(ExportToCsv(project, Mcn, Mdf, CsvFileNames(base, ""), "Tesserel 1.0.0", nullptr, options, message))
        << message;
    const TCommandRun r = RunCommand("/usr/bin/python3 " + Dir.File("check.py") + " " + db + " " + book + " " + base +
                                     (full ? " full" : " fast"));
    EXPECT_EQ(r.out, "ok\n") << project.FileName;
  }
};

TEST_F(SheetExportTest, WorkbookAndCsvFilesHoldTheDatabaseValues) {
  for (const char* sample : {"iowa-2024", "multi-state-2024"}) {
    TMdaFile project;
    OpenSample(project, sample);
    ExpectSameValues(project, true);
  }
  // Texts of code page 1252 with commas, quotes and line breaks; then 10,000 records.
  TMdaFile sample, mixed, big;
  OpenSample(sample, "iowa-2024");
  std::vector<TFieldRec> recs;
  for (TRecordReader r(sample); const TFieldRec* rec = r.Next();) recs.push_back(*rec);
  recs[0].Field_Name = "Pe\xF1" "a, \"N\"";
  recs[1].Notes = "\x80" "12 \"paid\",\r\nsecond line";
  recs[2].Notes = "lot _x0041_ and _x00";
  ASSERT_TRUE(mixed.CreateProject(Dir.File("mixed.tsj"), sample.ProjectState(), Refs, "Caf\xE9", 2024));
  ASSERT_TRUE(mixed.SetProperties("Caf\xE9", "", "", "First line\r\n\"Second\", line"));
  ASSERT_TRUE(mixed.WriteRecordBlock(1, static_cast<int>(recs.size()), recs.data(), true));
  ExpectSameValues(mixed, true);

  std::vector<TFieldRec> many;
  for (int i = 0; i < 10000; ++i) {
    many.push_back(recs[static_cast<size_t>(i) % recs.size()]);
    many.back().Field_ID = i + 1;
  }
  ASSERT_TRUE(big.CreateProject(Dir.File("big.tsj"), sample.ProjectState(), Refs, "", 2024));
  ASSERT_TRUE(big.WriteRecordBlock(1, static_cast<int>(many.size()), many.data(), true));
  ExpectSameValues(big, false);
}

TEST_F(SheetExportTest, AFailedExportLeavesEveryFileAsItWas) {
  TMdaFile sample;
  OpenSample(sample, "iowa-2024");
  const std::string book = Dir.File("farm.xlsx");
  const TCsvFiles csv = CsvFileNames(Dir.Path(), sample.FileName);
  EXPECT_EQ(csv.Fields, Dir.File("iowa-2024.Fields.csv"));
  EXPECT_EQ(CsvFileNames(Dir.File("farm.csv"), "").Applications, Dir.File("farm.Applications.csv"));
  for (const std::string& f : {book, csv.Project, csv.Fields, csv.Applications}) WriteWholeFile(f, "older");
  const auto unchanged = [&] {
    for (const std::string& f : {book, csv.Project, csv.Fields, csv.Applications})
      EXPECT_EQ(ReadWholeFile(f), "older") << f;
    for (const std::string& f : FolderFiles(Dir.Path())) EXPECT_EQ(f.find(".tmp"), std::string::npos) << f;
  };
  std::string message;
  TExportOptions none, canceled;
  none.Filter = [](TFieldRec&) { return false; };
  canceled.Progress = [](int done, int) { return done < 5; };
  for (const TExportOptions* o : {&none, &canceled}) {
    EXPECT_FALSE(ExportToXlsx(sample, Mcn, Mdf, book, "", nullptr, *o, message));
    EXPECT_EQ(message, o == &none ? "No records in selected subset." : "Export canceled by user.");
    EXPECT_FALSE(ExportToCsv(sample, Mcn, Mdf, csv, "", nullptr, *o, message));
    EXPECT_EQ(message, o == &none ? "No records in selected subset." : "Export canceled by user.");
    unchanged();
  }
  // A read-only file of one of the names: none of them is written.
  std::filesystem::permissions(csv.Applications, std::filesystem::perms::owner_read);
  std::filesystem::permissions(book, std::filesystem::perms::owner_read);
  EXPECT_FALSE(ExportToCsv(sample, Mcn, Mdf, csv, "", nullptr, {}, message));
  EXPECT_EQ(message, csv.Applications + "\r\nCan't overwrite file.");
  EXPECT_FALSE(ExportToXlsx(sample, Mcn, Mdf, book, "", nullptr, {}, message));
  EXPECT_EQ(message, book + "\r\nCan't overwrite file.");
  EXPECT_EQ(sample.ErrorState, esExport);
  unchanged();
  // The extension is always ".xlsx".
  ASSERT_TRUE(ExportToXlsx(sample, Mcn, Mdf, Dir.File("other.xls"), "", nullptr, {}, message)) << message;
  EXPECT_TRUE(std::filesystem::exists(Dir.File("other.xlsx")));
}

}  // namespace
