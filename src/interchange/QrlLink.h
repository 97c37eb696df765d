// The planner as this program sees it: an automation server with an application object that makes
// and opens plans, and plan objects whose tables are read and written cell by cell. The interchange
// (export, import, soils update) is written against these interfaces; the desktop program and the
// command-line tool hand it a starter that reaches the real planner (over D-Bus), the tests one
// that reaches a stand-in.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "interchange/SqlDb.h"

// A cell of a plan table: Null, a whole number, a real number or a text (code page 1252). Booleans
// travel as whole numbers 0 and 1.
using TQrlValue = TDbValue;

// How a call failed. The planner refused it (a value it does not take, a table it does not have):
// its own error, which some steps of an operation pass over. Or the planner could not be reached:
// it went away or was started anew (Lost), it did not answer in time (Stalled), or the user gave up
// waiting (Canceled); these end any operation.
enum class TQrlFault { Refused, Lost, Stalled, Canceled };

// A failed call: the error code (a signed 32-bit automation error number, e.g. -2147221503 for
// object-defined error 1), the component that raised it and its message text.
struct TQrlError {
  int32_t Code = 0;
  std::string Source;
  std::string Message;
  TQrlFault Fault = TQrlFault::Refused;
};

class IQrlPlan {
 public:
  virtual ~IQrlPlan() = default;
  // Number of rows of a plan table.
  virtual bool RowCount(const std::string& table, int& count, TQrlError& error) = 0;
  // One cell, rows numbered from 0; a missing value reads as Null.
  virtual bool GetValue(const std::string& table, int row, const std::string& column, TQrlValue& value,
                        TQrlError& error) = 0;
  virtual bool SetValue(const std::string& table, int row, const std::string& column, const TQrlValue& value,
                        TQrlError& error) = 0;
  virtual bool ValueIsValid(const std::string& table, int row, const std::string& column, const TQrlValue& value,
                            bool& valid, TQrlError& error) = 0;
  // Gives the plan its full set of field rows (and their crop rows); called once before the field
  // rows are put.
  virtual bool ExpandTables(TQrlError& error) = 0;
  virtual bool SaveAs(const std::string& path, TQrlError& error) = 0;
  // Writes the plan's tables into a database (SQLite here) readable with TDbReader.
  virtual bool ExportToAccess(const std::string& path, TQrlError& error) = 0;
  virtual void Close() = 0;
};

class IQrlApp {
 public:
  virtual ~IQrlApp() = default;
  // The planner's file version, "major.minor.release.build".
  virtual bool FileVersion(std::string& version, TQrlError& error) = 0;
  // A new, empty plan for a state (its full name); null with `error` on failure.
  virtual std::unique_ptr<IQrlPlan> CreatePlanFile(const std::string& stateName, int mode, TQrlError& error) = 0;
  virtual std::unique_ptr<IQrlPlan> OpenPlanFile(const std::string& path, TQrlError& error) = 0;

  // The command moved on (a record done): the planner has its full time again before a call that
  // gets no answer counts as stalled.
  virtual void Progressed() {}
  // While a call of this planner or its plans waits for the answer, `waiting` is called about ten
  // times a second (a window keeps its progress and Cancel live); false abandons the call, which
  // then fails as canceled. Null: calls just wait.
  virtual void WhileWaiting(std::function<bool()> waiting) { (void)waiting; }
};

// Starts (or attaches to) the planner; null when its automation server cannot be reached.
using TQrlStarter = std::function<std::unique_ptr<IQrlApp>()>;
