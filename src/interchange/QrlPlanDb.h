// A plan as the planner exports it into a database: its tables read whole, and the rows of one
// field's crops and applications picked from them.
#pragma once

#include <string>
#include <vector>

#include "interchange/SqlDb.h"

struct TPlanDb {
  TDbRows PlanInfo, Operation, InitInfo, Field, SoilKey, Crop, CropDef, FertApp, ManureApp, Storage, StorageDef,
      Animal, ManureXfer, Equipment, EquipDef;
  // Older planners export neither of these tables.
  bool HasFertApp = false;
  bool HasManureXfer = false;

  // Reads every table; false when a table other than FertApp and ManureXfer is missing or a read
  // fails. Animal rows come in PlanOrder, the others as stored.
  bool Read(TDbReader& reader);
  // The positions of the Field rows in PlanOrder (rows without one last, each in stored order).
  std::vector<size_t> FieldOrder() const;
  // The positions of a table's rows whose Field is `field` and whose CropYrNum is `year`, in order.
  static std::vector<size_t> RowsOf(const TDbRows& table, size_t field, int year);
  // The position of the first row whose `column` holds `key`; -1 when none does.
  static int FindRow(const TDbRows& table, const std::string& column, const TDbValue& key);
};

// A cell as a number, 0 when Null (or not a number).
double NumberOr0(const TDbValue& value);
