// The soils update from the planner: every soil of a record that has a map unit symbol is looked
// up among the soils the planner knows for the record's county, and a soil found gives the soil
// row its symbol, name, slope (when none was entered), texture, drainage class, T value and the
// state's soil attributes. Also the SoilKey row services the plan import uses.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "interchange/QrlLink.h"
#include "store/MdaFile.h"

class TMcnFile;

// The columns of the planner's SoilKey table.
const std::vector<std::string>& PlanSoilColumns();
// The SoilKey row of a soil: the first whose MuSym and CompName equal the symbol and the name
// (without regard to case), else the first whose MuSym does; -1 when none.
int FindPlanSoil(const TDbRows& soils, const std::string& symbol, const std::string& name);
// A SoilKey row's slope: the mean of SlopeL and SlopeH rounded to one decimal, or the one of them
// that is present; false when neither is.
bool PlanSoilSlope(const TDbRows& soils, size_t row, double& slope);
// Stores SoilKey row `row` in soil `soil` (0..2) of a record of state `state`. Null cells leave the
// record's values as they are; the slope is set only when none was entered.
void ApplyPlanSoil(const TDbRows& soils, size_t row, TFieldRec& rec, int soil, int state);

// One record's share of an update.
struct TQrlRecordJob {
  int number = 0;
  TFieldRec rec{};
  int countyCode = 0;  // FIPS code of the record's county; 0: the record is skipped
  int updated = 0;
  int notUpdated = 0;
  std::vector<std::string> reasons;  // why soils found were not updated, one line each
};

// The update in steps, so that a caller can show progress and stop between records: Begin, then
// Read, Query and Write for each record from First() to Last().
class TQrlSoilsUpdate {
 public:
  // The files must outlive the update.
  TQrlSoilsUpdate(TMdaFile& file, TMcnFile& counties, TQrlStarter starter);
  ~TQrlSoilsUpdate();

  // Refuses a file that cannot be written, an empty one, a multi-state one and a record number
  // outside the file (`record` 0: all records); then starts the planner and makes a scratch plan
  // for the project's state.
  bool Begin(int record, std::string& message);
  // Before Begin: while a planner call waits, `waiting` is called about ten times a second; false
  // gives the call up, which fails the update.
  void WhileWaiting(std::function<bool()> waiting) { waiting_ = std::move(waiting); }
  int First() const { return first_; }
  int Last() const { return last_; }

  bool Read(int number, TQrlRecordJob& job, std::string& message);
  // Asks the planner for the soils of the record's county and applies them to job.rec. Every
  // failed call ends the update: a county whose soils the planner refuses, a planner gone, one
  // silent for its stall time (renewed by each record).
  bool Query(TQrlRecordJob& job, std::string& message);
  // Writes the record back, flushed, when one of its soils was found.
  bool Write(const TQrlRecordJob& job, std::string& message);

 private:
  // Makes soils_ hold the soils of the record's county; false with the message when they cannot
  // be had.
  bool LoadCounty(const TQrlRecordJob& job, std::string& message);

  TMdaFile& file_;
  TMcnFile& counties_;
  TQrlStarter starter_;
  std::function<bool()> waiting_;  // before app_, which holds a copy
  std::unique_ptr<IQrlApp> app_;
  std::unique_ptr<IQrlPlan> plan_;
  int first_ = 1;
  int last_ = 0;
  int county_ = -1;  // the county whose soils soils_ holds
  TDbRows soils_;
};

// Called before each record with the records done so far and their number, and again while a
// planner call waits; false stops the update, which then succeeds with the counts so far.
using TQrlSoilsProgress = std::function<bool(int done, int total)>;

// The whole update at once (`record` 0: all records). On success the counts of soils updated and
// not updated, and in `reasons` why soils found were not (a value the record's checks refuse);
// otherwise the message. Records written before a failure stay written.
bool UpdateSoilsFromPlanner(TMdaFile& file, TMcnFile& counties, int record, const TQrlStarter& starter, int& updated,
                            int& notUpdated, std::string& message, const TQrlSoilsProgress& progress = nullptr,
                            std::vector<std::string>* reasons = nullptr);
