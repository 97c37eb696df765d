#include "interchange/SqlDb.h"

#include <sqlite3.h>

#include "common/Cp1252.h"
#include "common/TextUtil.h"

TDbValue TDbValue::OfInt(int64_t v) {
  TDbValue x;
  x.Kind = TKind::Integer;
  x.Int = v;
  return x;
}

TDbValue TDbValue::OfReal(double v) {
  TDbValue x;
  x.Kind = TKind::Real;
  x.Real = v;
  return x;
}

TDbValue TDbValue::OfText(std::string v) {
  TDbValue x;
  x.Kind = TKind::Text;
  x.Str = std::move(v);
  return x;
}

bool TSqlDb::Open(const std::string& path, bool readOnly) {
  Close();
  const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    error_ = db_ ? sqlite3_errmsg(db_) : "out of memory";
    Close();
    return false;
  }
  sqlite3_extended_result_codes(db_, 1);
  // Opening does not read the file: reading the schema tells a database from any other file.
  if (Exec("SELECT count(*) FROM sqlite_master")) return true;
  const std::string why = error_;
  Close();
  error_ = why;
  return false;
}

bool TSqlDb::Failed() {
  error_ = db_ ? sqlite3_errmsg(db_) : "database not open";
  return false;
}

bool TSqlDb::Exec(const std::string& sql) {
  if (!db_) return Failed();
  char* text = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &text) == SQLITE_OK) return true;
  error_ = text ? text : sqlite3_errmsg(db_);
  sqlite3_free(text);
  return false;
}

bool TSqlDb::Close() {
  if (!db_) return true;
  const bool ok = sqlite3_close(db_) == SQLITE_OK;
  if (!ok) Failed();
  db_ = nullptr;  // a failed close (statements left open) would be a fault of this program
  return ok;
}

TSqlStatement::TSqlStatement(TSqlDb& db, const std::string& sql) : db_(db) {
  if (!db.db_ || sqlite3_prepare_v2(db.db_, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK) {
    db.Failed();
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
  }
}

TSqlStatement::~TSqlStatement() { sqlite3_finalize(stmt_); }

void TSqlStatement::Bind(int i, const TDbValue& v) {
  switch (v.Kind) {
    case TDbValue::TKind::Null: sqlite3_bind_null(stmt_, i); break;
    case TDbValue::TKind::Integer: sqlite3_bind_int64(stmt_, i, v.Int); break;
    case TDbValue::TKind::Real: sqlite3_bind_double(stmt_, i, v.Real); break;
    case TDbValue::TKind::Text: {
      const std::string utf8 = Cp1252ToUtf8(v.Str);
      sqlite3_bind_text(stmt_, i, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
      break;
    }
  }
}

bool TSqlStatement::Run() {
  const int rc = sqlite3_step(stmt_);
  sqlite3_reset(stmt_);
  if (rc == SQLITE_DONE) return true;
  failed_ = true;
  return db_.Failed();
}

bool TSqlStatement::Next() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) {
    failed_ = true;
    db_.Failed();
  }
  return false;
}

int TSqlStatement::ColumnCount() const { return sqlite3_column_count(stmt_); }

std::string TSqlStatement::ColumnName(int i) const {
  const char* name = sqlite3_column_name(stmt_, i);
  return name ? name : "";
}

TDbValue TSqlStatement::Column(int i) const {
  switch (sqlite3_column_type(stmt_, i)) {
    case SQLITE_INTEGER: return TDbValue::OfInt(sqlite3_column_int64(stmt_, i));
    case SQLITE_FLOAT: return TDbValue::OfReal(sqlite3_column_double(stmt_, i));
    case SQLITE_NULL: return {};
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
      const int size = sqlite3_column_bytes(stmt_, i);
      return TDbValue::OfText(Utf8ToCp1252(text ? std::string(text, static_cast<size_t>(size)) : std::string()));
    }
  }
}

bool TSqlStatement::ColumnUtf8(int i, std::string& text) const {
  if (sqlite3_column_type(stmt_, i) != SQLITE_TEXT) return false;
  const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
  text.assign(bytes ? bytes : "", static_cast<size_t>(sqlite3_column_bytes(stmt_, i)));
  return true;
}

int TDbRows::ColumnIndex(const std::string& name) const {
  for (size_t i = 0; i < Columns.size(); ++i)
    if (SameText(Columns[i], name)) return static_cast<int>(i);
  return -1;
}

const TDbValue& TDbRows::Value(size_t row, const std::string& column) const {
  static const TDbValue kNull;
  const int i = ColumnIndex(column);
  return i < 0 || row >= Rows.size() ? kNull : Rows[row][static_cast<size_t>(i)];
}

bool TDbReader::Open(const std::string& path) {
  path_ = path;
  return db_.Open(path, true);
}

bool TDbReader::HasTable(const std::string& name) {
  TSqlStatement q(db_, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE");
  if (!q.Ok()) return false;
  q.Bind(1, TDbValue::OfText(name));
  return q.Next();
}

bool TDbReader::ReadTable(const std::string& name, TDbRows& rows, const std::string& orderBy) {
  rows = {};
  TSqlStatement q(db_, "SELECT * FROM " + SqlName(name) + (orderBy.empty() ? "" : " ORDER BY " + SqlName(orderBy)));
  if (!q.Ok()) return false;
  for (int i = 0; i < q.ColumnCount(); ++i) rows.Columns.push_back(q.ColumnName(i));
  std::string utf8, why;
  while (q.Next()) {
    std::vector<TDbValue>& row = rows.Rows.emplace_back();
    for (int i = 0; i < q.ColumnCount(); ++i) {
      row.push_back(q.Column(i));
      if (!text_ || !q.ColumnUtf8(i, utf8) || ImportUtf8(utf8, row.back().Str, *text_, why)) continue;
      textFault_ = name + " table, row " + std::to_string(rows.Rows.size()) + ", " + rows.Columns[i] + " " + why;
      return false;
    }
  }
  return !q.Failed();
}

std::string TDbReader::ErrorText() const { return path_ + "\r\n" + db_.ErrorText(); }

std::string SqlName(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}
