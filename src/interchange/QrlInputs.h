// The plan import's application rows: a field's fertilizer, irrigation and manure applications of
// crop year 1 become the record's fertilizer, other input and manure rows.
#pragma once

#include <cstddef>

#include "common/DayNum.h"
#include "interchange/QrlPlanDb.h"
#include "store/MdaLayout.h"

class TMdfFile;

// The plan's calendar: application dates and the earliest date an application of a crop year
// may have.
struct TPlanDates {
  int StartPlnYr = 0;  // first year of the plan (Operation row)
  int StartCrpYr = 0;  // first crop year

  // Day 15 of the month in plan year `yearNum` (1 = StartPlnYr); 0 when that is no date.
  TDayNum AppDate(const TDbValue& month, const TDbValue& yearNum) const;
  // The date, or 0 when it lies before 1 July of the year before crop year `cropYearNum`.
  TDayNum InWindow(TDayNum date, int cropYearNum) const;
};

// The planner's animal group of an animal definition (1..9).
int AnimalGroup(int animalDef);
// Application method of a manure application: by its equipment, else by its days to incorporation.
int ManureMethod(const TPlanDb& db, size_t application);

// Fills the record's application rows from the applications of crop year 1 of Field row `field`;
// `irrigated` is the field's Irrigated cell. The record's crops must be set already.
void ImportApplications(const TPlanDb& db, size_t field, bool irrigated, const TPlanDates& dates,
                        const TMdfFile& definitions, TFieldRec& rec);
