// The tables of the database export: "Project", "Field" and "Application" with their columns'
// types, sizes, decimals, required flags, validation rules and descriptions. The Field and
// Application columns take their values from the dBASE export's column of the same name in upper
// case.
#pragma once

#include <string>
#include <vector>

enum class TDbType { Boolean, Integer, Long, Single, Date, Time, Text, Memo };

// Column flags.
enum : unsigned {
  dcRequired = 1,  // NOT NULL
  dcKeepZero = 2,  // a number of 0 or less stays a value unless the dBASE export leaves it blank
  dcKey = 4,       // the table's primary key
  dcFieldRef = 8,  // references the Field table's key
  dcIdRule = 16,   // a field ID: 1 to 999999999
  dcYearRule = 32, // a project year
};

struct TDbColumn {
  std::string Name;
  TDbType Type;
  int Size = 0;       // characters of a Text column
  int Decimals = -1;  // decimal places shown, -1 for none
  unsigned Flags = 0;
  std::string Description;
};

struct TDbTable {
  std::string Name;
  std::string Description;  // followed by the project file's path and "."
  std::vector<TDbColumn> Columns;
};

const TDbTable& ProjectTable();
const TDbTable& FieldTable();
const TDbTable& ApplicationTable();

// The statement that creates a table: types, NOT NULL, CHECK constraints for Boolean values, Text
// sizes and the Field_ID and Year rules, the primary key and the reference to Field.
std::string CreateTableSql(const TDbTable& table);
// The index of Application on Field_ID, and the tables "Descriptions" (TableName, ColumnName -
// empty for the table itself -, Description) and "Decimals" (TableName, ColumnName, Places).
std::string DescriptionTablesSql();
// INSERT INTO the table with one parameter per column.
std::string InsertSql(const TDbTable& table);
