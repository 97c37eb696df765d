// SQLite databases: a connection with prepared statements for writing, and a reader that takes a
// table's rows whole with their cells by column name (the database export's checks and the planner
// import read exported databases through it). Texts are UTF-8 in the database and code page 1252
// on this side.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/Cp1252.h"

struct sqlite3;
struct sqlite3_stmt;

// One cell: Null, a whole number, a real number or a text.
struct TDbValue {
  enum class TKind { Null, Integer, Real, Text };
  TKind Kind = TKind::Null;
  int64_t Int = 0;
  double Real = 0;
  std::string Str;

  static TDbValue OfInt(int64_t v);
  static TDbValue OfReal(double v);
  static TDbValue OfText(std::string v);
  bool IsNull() const { return Kind == TKind::Null; }
  // A number cell as a double (0 for Null and text).
  double Number() const { return Kind == TKind::Integer ? static_cast<double>(Int) : Kind == TKind::Real ? Real : 0; }
};

class TSqlDb {
 public:
  TSqlDb() = default;
  ~TSqlDb() { Close(); }
  TSqlDb(const TSqlDb&) = delete;
  TSqlDb& operator=(const TSqlDb&) = delete;

  // Opens a database file for writing (creating it when it does not exist) or read-only; a file
  // that is not a database fails here.
  bool Open(const std::string& path, bool readOnly);
  // Runs statements without results.
  bool Exec(const std::string& sql);
  bool Close();
  bool IsOpen() const { return db_ != nullptr; }
  // SQLite's message of the last failure.
  const std::string& ErrorText() const { return error_; }

 private:
  friend class TSqlStatement;
  bool Failed();  // keeps SQLite's message; always false
  sqlite3* db_ = nullptr;
  std::string error_;
};

class TSqlStatement {
 public:
  // Prepares the statement; a failure shows in Ok() and the database's ErrorText().
  TSqlStatement(TSqlDb& db, const std::string& sql);
  ~TSqlStatement();
  TSqlStatement(const TSqlStatement&) = delete;
  TSqlStatement& operator=(const TSqlStatement&) = delete;

  bool Ok() const { return stmt_ != nullptr; }
  // Binds parameter i (from 1); texts are converted to UTF-8.
  void Bind(int i, const TDbValue& value);
  // Runs a statement without results and makes it ready for the next binding.
  bool Run();
  // Steps to the next result row: false at the end or on a failure (then Failed()).
  bool Next();
  bool Failed() const { return failed_; }
  int ColumnCount() const;
  std::string ColumnName(int i) const;  // from 0
  // From 0; a text in code page 1252, characters it cannot hold as '?'.
  TDbValue Column(int i) const;
  // A text column as stored (UTF-8); false when the column holds no text.
  bool ColumnUtf8(int i, std::string& text) const;

 private:
  TSqlDb& db_;
  sqlite3_stmt* stmt_ = nullptr;
  bool failed_ = false;
};

// The rows of one table, read whole.
struct TDbRows {
  std::vector<std::string> Columns;
  std::vector<std::vector<TDbValue>> Rows;

  // The position of a column named without regard to case, -1 when the table has none.
  int ColumnIndex(const std::string& name) const;
  bool HasColumn(const std::string& name) const { return ColumnIndex(name) >= 0; }
  // A cell by row (from 0) and column name; Null for a column the table does not have.
  const TDbValue& Value(size_t row, const std::string& column) const;
};

class TDbReader {
 public:
  // Opens a database read-only; false with ErrorText() when it cannot be opened or read.
  bool Open(const std::string& path);
  bool HasTable(const std::string& name);
  // Every row of a table, in the order of `orderBy` (a column name) or as stored.
  bool ReadTable(const std::string& name, TDbRows& rows, const std::string& orderBy = {});
  // The path, CR LF and SQLite's message.
  std::string ErrorText() const;
  // Takes the texts of the tables read from now on into code page 1252 as `mode` says (null: any
  // character it cannot hold becomes '?'). A text refused fails ReadTable; TextFault() says where
  // and why ("Field table, row 3, Notes holds the character U+0141, ...").
  void CheckTexts(TTextImport* mode) { text_ = mode; }
  const std::string& TextFault() const { return textFault_; }

 private:
  TSqlDb db_;
  std::string path_;
  TTextImport* text_ = nullptr;
  std::string textFault_;
};

// A name as an SQL identifier: in double quotes, inner quotes doubled.
std::string SqlName(const std::string& name);
