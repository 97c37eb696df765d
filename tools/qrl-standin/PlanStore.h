// A stand-in for the nutrient planner: an application object that makes and opens plans, and
// plans held in memory as tables of cells, saved as SQLite plan files. It knows just enough of the
// planner to serve the interchange: the plan tables and columns the interchange uses, a crop
// definition catalogue, storage and equipment definitions, and the soils of a few counties.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "interchange/QrlLink.h"

struct TPlanStoreSettings {
  // The version the stand-in reports. From "0.2.0.0" on, field rows have DrainDef and AnnManured
  // instead of Drained (versions compare as text, character by character).
  std::string FileVersion = "0.2.1.0";
  // Field rows a plan takes after ExpandTables.
  int FieldRows = 60;
  // The county soils table; empty: the one that comes with the stand-in.
  std::string SoilsPath;
  // Left out of the database written by ExportToAccess: table names ("FertApp") and columns
  // ("Storage.MeasPctDM"), as older planners do.
  std::vector<std::string> OmitFromExport;
};

// The county soils table that comes with the stand-in.
std::string DefaultSoilsPath();

// Error numbers the stand-in raises, relative to the object-defined error base; the code a caller
// sees is kQrlErrorBase + number, the source "QRL".
inline constexpr int32_t kQrlErrorBase = -2147221504;
enum TPlanErrorNumber : int32_t {
  pePlanState = 1001,   // unknown state name
  pePlanTable = 1002,   // unknown table
  pePlanColumn = 1003,  // unknown column
  pePlanRow = 1004,     // row out of range
  pePlanOpen = 1005,    // plan file cannot be opened
  pePlanSave = 1006,    // plan file or database cannot be written
  pePlanSoils = 1007,   // county soils table cannot be read
};

// One plan table: its columns and its rows of cells (one cell per column).
struct TPlanTable {
  std::string Name;
  std::vector<std::string> Columns;
  std::vector<std::vector<TQrlValue>> Rows;

  int ColumnIndex(const std::string& name) const;  // without regard to case; -1 when missing
};

class TPlanStore : public IQrlPlan {
 public:
  explicit TPlanStore(const TPlanStoreSettings& settings);

  // A new plan for the state with this FIPS code (InitInfo.StateCode), with its catalogues.
  bool CreateForState(int stateCode, TQrlError& error);
  // Reads a plan file written by SaveAs.
  bool Load(const std::string& path, TQrlError& error);

  bool RowCount(const std::string& table, int& count, TQrlError& error) override;
  bool GetValue(const std::string& table, int row, const std::string& column, TQrlValue& value,
                TQrlError& error) override;
  // Putting Operation row 0 CntyCode fills the SoilKey table with that county's soils.
  bool SetValue(const std::string& table, int row, const std::string& column, const TQrlValue& value,
                TQrlError& error) override;
  // Field.SoilKey is valid only for a key of the SoilKey table (or Null); other cells of existing
  // tables and columns always are.
  bool ValueIsValid(const std::string& table, int row, const std::string& column, const TQrlValue& value,
                    bool& valid, TQrlError& error) override;
  // Brings the Field table up to the configured number of rows and the Crop table to
  // field rows x PlanYears x 2 rows (Field, CropYrNum and IsPrimary filled in).
  bool ExpandTables(TQrlError& error) override;
  // Both write the plan without its unused field rows (no cell besides PlanOrder set) and the crop
  // and application rows of those, the other rows' Field numbers following.
  bool SaveAs(const std::string& path, TQrlError& error) override;
  bool ExportToAccess(const std::string& path, TQrlError& error) override;
  void Close() override {}

  // A new row of Null cells at the end of a table (for plans built by hand); -1 with `error` for an
  // unknown table.
  int AppendRow(const std::string& table, TQrlError& error);
  const std::map<std::string, TPlanTable>& Tables() const { return tables_; }

 private:
  TPlanTable* Table(const std::string& name, TQrlError& error);
  bool Cell(const std::string& table, int row, const std::string& column, TQrlValue*& cell, TQrlError& error);
  bool FillCountySoils(const TQrlValue& countyCode, TQrlError& error);
  std::map<std::string, TPlanTable> Compacted() const;
  bool Write(const std::string& path, const std::map<std::string, TPlanTable>& tables, TQrlError& error) const;

  TPlanStoreSettings settings_;
  std::map<std::string, TPlanTable> tables_;  // by upper-case name
};

class TPlanStoreApp : public IQrlApp {
 public:
  explicit TPlanStoreApp(TPlanStoreSettings settings = {}) : settings_(std::move(settings)) {}

  bool FileVersion(std::string& version, TQrlError& error) override;
  // A new plan for a state named in full ("Iowa", without regard to case); `mode` is not used.
  std::unique_ptr<IQrlPlan> CreatePlanFile(const std::string& stateName, int mode, TQrlError& error) override;
  std::unique_ptr<IQrlPlan> OpenPlanFile(const std::string& path, TQrlError& error) override;

  const TPlanStoreSettings& Settings() const { return settings_; }

 private:
  TPlanStoreSettings settings_;
};

// The columns of a plan table as a planner of this version has them; empty for an unknown table.
std::vector<std::string> PlanColumns(const std::string& table, const std::string& fileVersion);
// The names of every plan table, in the order they are written.
const std::vector<std::string>& PlanTableNames();
// A planner error of the stand-in: code kQrlErrorBase + number, source "QRL".
TQrlError PlanError(int32_t number, const std::string& message);
// The FIPS code of a state named in full, 0 when unknown.
int StateFipsCode(const std::string& stateName);
