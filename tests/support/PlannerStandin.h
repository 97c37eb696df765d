// The stand-in planner, reached in-process by the plan interchange tests, with a hook that changes
// every plan it creates.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "PlanStore.h"

class TTestPlannerApp : public IQrlApp {
 public:
  TTestPlannerApp(const TPlanStoreSettings& settings, std::function<void(IQrlPlan&)> onCreate)
      : app_(settings), onCreate_(std::move(onCreate)) {}

  bool FileVersion(std::string& version, TQrlError& error) override { return app_.FileVersion(version, error); }
  std::unique_ptr<IQrlPlan> CreatePlanFile(const std::string& stateName, int mode, TQrlError& error) override {
    auto plan = app_.CreatePlanFile(stateName, mode, error);
    if (plan && onCreate_) onCreate_(*plan);
    return plan;
  }
  std::unique_ptr<IQrlPlan> OpenPlanFile(const std::string& path, TQrlError& error) override {
    return app_.OpenPlanFile(path, error);
  }

 private:
  TPlanStoreApp app_;
  std::function<void(IQrlPlan&)> onCreate_;
};

// What the tests set up the planner with, and how often it was started.
struct TTestPlanner {
  TPlanStoreSettings Settings;
  std::function<void(IQrlPlan&)> OnCreate;
  bool Missing = false;  // the starter finds no planner
  int Starts = 0;

  TQrlStarter Starter() {
    return [this]() -> std::unique_ptr<IQrlApp> {
      ++Starts;
      if (Missing) return nullptr;
      return std::make_unique<TTestPlannerApp>(Settings, OnCreate);
    };
  }
};

// A cell of a plan; Null when it cannot be read.
inline TQrlValue PlanCell(IQrlPlan& plan, const std::string& table, int row, const std::string& column) {
  TQrlValue v;
  TQrlError error;
  plan.GetValue(table, row, column, v, error);
  return v;
}

inline void SetPlanCell(IQrlPlan& plan, const std::string& table, int row, const std::string& column,
                        const TQrlValue& value) {
  TQrlError error;
  ASSERT_TRUE(plan.SetValue(table, row, column, value, error)) << table << "." << column << ": " << error.Message;
}
