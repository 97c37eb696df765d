// Loads a shipped state file and runs its recommendation chains the way the nutrient engine does:
// the N chain starts with the N credit of the preceding crop's definition, each step's result
// becomes a variable of the later steps, and an empty or null step leaves a null variable.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "textdb/EvalUtil.h"
#include "textdb/QriFilDb.h"

// Field numbers of the state file schema used by the tests.
enum : int {
  kfStateAbbr = 2, kfStateCode = 5, kfCrc = 8,
  kfPTestName = 78, kfCropKey = 79, kfCropName = 80, kfYldUnit = 81, kfIsTessRec = 86, kfToTessCrop = 87,
  kfNCredit = 88, kfPRemoved = 90, kfKRemoved = 91, kfNRec = 102, kfPRec = 113, kfKRec = 124,
  kfManureName = 152, kfIsTessAve = 163,
  kfCntyCode = 220, kfCntyName = 221, kfCntyRegion = 223,
  kfCritKey = 244, kfCritApplies = 247, kfDistFeature = 251, kfDistCrit = 252, kfDistance = 253,
};

inline std::string StateFilePath(const std::string& abbr) {
  return std::string(TESSEREL_RUNTIME_DIR) + "/" + abbr + ".qri";
}

// The 27 recommendation variables of a record, all null until set.
class TRecVars {
 public:
  TRecVars() {
    for (const char* name : {"P", "PTestDef", "K", "SoilpH", "BufferpH", "CEC", "OM", "Mg", "Ca", "Al", "Lime",
                             "NO3N", "YldGoal", "PctLegume", "RecRegion", "IrrWater", "SurfTex", "Drainage",
                             "CropSeq", "NumCrops", "PrvCropDef", "PrvPctLeg", "MiscA", "MiscB", "MiscC", "MiscD",
                             "MiscE"})
      Vars.push_back({name, 0, true});
  }
  TRecVars& Set(const std::string& name, double value) {
    for (auto& v : Vars)
      if (v.Name == name) {
        v.Value = value;
        v.IsNull = false;
        return *this;
      }
    ADD_FAILURE() << "no variable " << name;
    return *this;
  }
  std::vector<TExprVar> Vars;
};

// Result of a chain: the value, or nullopt when the last step was null or empty.
struct TChainResult {
  int Error = 0;
  std::optional<double> Value;
};

class TStateFile {
 public:
  explicit TStateFile(const std::string& abbr) {
    Loaded = Db.Load(StateFilePath(abbr));
    Message = Db.ErrorMessage();
  }

  int CropRow(const std::string& name) const { return Db.FindFieldRow(kfCropName, name); }

  // Runs the given columns of a crop definition's row in order; in an N chain (NCredit followed by
  // more columns) the NCredit step takes the preceding crop's credit instead of its own expression.
  TChainResult Run(const std::string& crop, const std::vector<int>& cols, const TRecVars& rec,
                   std::optional<double> precedingCredit = std::nullopt) const {
    TChainResult result;
    const int row = CropRow(crop);
    if (row < 0) {
      ADD_FAILURE() << "no crop definition " << crop;
      result.Error = -1;
      return result;
    }
    std::vector<TExprVar> vars = rec.Vars;
    for (int col : cols) {
      double value = 0;
      int error = 0;
      if (col == kfNCredit && cols.size() > 1) {
        error = precedingCredit ? exNone : exNullResult;
        value = precedingCredit.value_or(0);
      } else {
        error = EvaluateExpression(Db.GetFieldValue(col, row), vars, value);
      }
      if (error != exNone && error != exEmpty && error != exNullResult) {
        result.Error = error;
        result.Value.reset();
        return result;
      }
      const bool isNull = error != exNone;
      vars.push_back({Db.FieldName(col), value, isNull});
      result.Error = error;
      result.Value = isNull ? std::nullopt : std::optional<double>(value);
    }
    return result;
  }

  TChainResult N(const std::string& crop, const TRecVars& rec, std::optional<double> credit = std::nullopt) const {
    return Run(crop, Chain(kfNCredit, 92, kfNRec), rec, credit);
  }
  TChainResult P(const std::string& crop, const TRecVars& rec) const {
    return Run(crop, Chain(kfPRemoved, 103, kfPRec), rec);
  }
  TChainResult K(const std::string& crop, const TRecVars& rec) const {
    return Run(crop, Chain(kfKRemoved, 114, kfKRec), rec);
  }
  // The credit a crop leaves to the next crop, evaluated with that crop's own record values.
  std::optional<double> Credit(const std::string& crop, const TRecVars& rec) const {
    return Run(crop, {kfNCredit}, rec).Value;
  }

  TQriFileDb Db;
  bool Loaded = false;
  std::string Message;

 private:
  static std::vector<int> Chain(int head, int firstVar, int last) {
    std::vector<int> cols{head};
    for (int col = firstVar; col <= last; ++col) cols.push_back(col);
    return cols;
  }
};
