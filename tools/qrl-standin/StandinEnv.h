// The stand-in planner's settings, from its environment (the bus that starts it passes its own
// activation environment on).
#pragma once

#include <QString>

#include <memory>

#include "PlanStore.h"

struct TStandinEnv {
  TPlanStoreSettings Plans;
  qint64 IdleMs = 60000;  // exits after this long without a call
};

// QRL_STANDIN_VERSION (file version), QRL_STANDIN_FIELDS (field rows after ExpandTables),
// QRL_STANDIN_SOILS (county soils table), QRL_STANDIN_OMIT (tables and Table.Column names left out
// of exported databases, comma-separated), QRL_STANDIN_IDLE (seconds); an empty or missing variable
// keeps the default. False with the reason for a value that is not usable.
bool ReadStandinEnv(TStandinEnv& env, QString& reason);

std::unique_ptr<IQrlApp> MakeStandinPlanner(const TStandinEnv& env);
