// The shipped county names, definition and state files, loaded as the program loads them, with the
// nutrient engine on top; and a record builder that puts a case's soil tests, yield goal, soil,
// county and previous crop into a field record, so every result comes from the real engine.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/TextUtil.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "reports/NutrEngine.h"
#include "store/LoadedRefs.h"
#include "store/StateTables.h"
#include "vocab/CropVocab.h"

// Abbreviations (lower case) of every state file in the source tree, so that files added later are
// covered without naming them here.
inline std::vector<std::string> ShippedStateFiles() {
  std::vector<std::string> abbrs;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(TESSEREL_DATA_SOURCE_DIR) + "/states"))
    if (SameText(entry.path().extension().string(), ".qri")) abbrs.push_back(LowerCase(entry.path().stem().string()));
  std::sort(abbrs.begin(), abbrs.end());
  return abbrs;
}

class TShippedStates {
 public:
  TShippedStates() {
    const std::string dir = std::string(TESSEREL_RUNTIME_DIR) + "/";
    Ok = Mcn.Load(dir + "usa.mcn") && Mdf.Load(dir + "stnd-usa.mdf");
    if (!Ok) Message = Mcn.FullErrorText() + Mdf.FullErrorText();
  }

  // Loads the state's tables; the state number, or 0 with the reason in Message.
  int Load(const std::string& abbr) {
    const int state = Mcn.FindStateByAbbrev(abbr);
    if (state == 0) {
      Message = "no state " + abbr + " in the county names file";
      return 0;
    }
    return Tables.LoadStateTables(state, Message) ? state : 0;
  }
  const TQriFileDb& Db() const { return Tables.Db(); }
  // Soil tests go into records in the units the tables assume, so they reach the formulas unchanged.
  uint8_t SoilTestUnit() const { return Db().SoilTestsInLbPerAcre() ? 1 : 2; }
  // The first county of the state whose fertilizer recommendation region is `region`, or 0.
  int CountyInRegion(int state, int region) {
    for (int row = 0; row < Db().FieldRowCount(qfCntyCode); ++row)
      if (!Db().GetFieldValue(qfRecRegion, row).empty() && Db().GetFieldInteger(qfRecRegion, row) == region)
        return Mcn.FindCountyByCode(Db().GetFieldInteger(qfCntyCode, row), state);
    return 0;
  }

  bool Ok = false;
  std::string Message;
  TMcnFile Mcn;
  TMdfFile Mdf;
  TLoadedRefs Refs{Mcn, Mdf};
  TStateTables Tables{Refs};
  TNutrEngine Engine{Tables};
};

// One worked case of a state: a record built step by step and asked for its recommendations.
class TStateCase {
 public:
  TStateCase(TShippedStates& states, const std::string& abbr) : s_(states), state_(states.Load(abbr)) {
    EXPECT_NE(state_, 0) << abbr << ": " << states.Message;
    rec_ = NewRecordTemplate(1, 2024, static_cast<uint16_t>(state_));
  }

  // The current crop by its definition's name.
  TStateCase& Crop(const std::string& definition) {
    SetSlot(csCur, definition);
    return *this;
  }
  // The previous crop by its definition's name, with its % legume when given.
  TStateCase& After(const std::string& definition, std::optional<int> pctLegume = std::nullopt) {
    SetSlot(csPrev, definition);
    rec_.Prev_PctLg = static_cast<uint16_t>(pctLegume.value_or(0));
    rec_.SetFlag(rfPrevPctLeg, pctLegume.has_value());
    return *this;
  }
  // The current crop's yield goal in its definition's unit.
  TStateCase& Goal(double goal) {
    const double perUnit = s_.Engine.ToYieldUnit(rec_.Cur_Crop, 1, Db().GetFieldValue(qfYldUnit, Row(csCur)));
    rec_.Cur_Goal = static_cast<float>(perUnit > 0 ? goal / perUnit : goal);
    return *this;
  }
  TStateCase& P(double value, int test = 0) {
    rec_.P = static_cast<float>(value);
    rec_.P_Units = s_.SoilTestUnit();
    rec_.P_Test = static_cast<uint8_t>(test);
    return *this;
  }
  TStateCase& K(double value) {
    rec_.K = static_cast<float>(value);
    rec_.K_Units = s_.SoilTestUnit();
    return *this;
  }
  TStateCase& Cec(double value) {
    rec_.CEC = static_cast<float>(value);
    return *this;
  }
  // The predominant soil's surface texture code (1 COS ... 12 VFSL sandy loams ... 21 C).
  TStateCase& Texture(int code) {
    rec_.Soil_Sym[0].Set("A");
    rec_.Soil_FldPct[0] = 100;
    rec_.Soil_Texture[0] = static_cast<uint8_t>(code);
    return *this;
  }
  TStateCase& Nitrate(int value) {
    rec_.Nitrate_N = static_cast<uint16_t>(value);
    return *this;
  }
  // The predominant soil's state attributes (MiscA, MiscB).
  TStateCase& Soil(int attr1, int attr2 = 0) {
    rec_.Soil_Sym[0].Set("A");
    rec_.Soil_FldPct[0] = 100;
    rec_.Soil_Attr1[0] = static_cast<uint16_t>(attr1);
    rec_.Soil_Attr2[0] = static_cast<uint16_t>(attr2);
    return *this;
  }
  // A county of the state whose recommendation region is `region`.
  TStateCase& Region(int region) {
    rec_.County = static_cast<uint16_t>(s_.CountyInRegion(state_, region));
    EXPECT_NE(rec_.County, 0) << "no county in region " << region;
    return *this;
  }
  TStateCase& Irrigated(float inches) {
    rec_.Othr_Input[0] = 7002;
    rec_.Othr_Rate[0] = inches;
    return *this;
  }

  // The engine's N, P2O5 or K2O recommendation of the current crop; none when it is not computable.
  std::optional<double> N() { return Rec(rcN); }
  std::optional<double> P2O5() { return Rec(rcP2O5); }
  std::optional<double> K2O() { return Rec(rcK2O); }
  std::optional<double> Rec(int column) {
    const TRecResult r = s_.Engine.NutrientRec(column, csCur, rec_);
    EXPECT_TRUE(r.Error == 0 || r.Error == 13) << "evaluator error " << r.Error;
    return r.Error == 0 ? std::optional<double>(r.Value) : std::nullopt;
  }
  // Whether the engine flags the current crop's recommendation as resting on an unchecked rate.
  bool Provisional(int column) { return s_.Engine.NutrientRec(column, csCur, rec_).Provisional; }
  TFieldRec& Record() { return rec_; }

 private:
  TShippedStates& s_;
  int state_;
  TFieldRec rec_{};

  const TQriFileDb& Db() const { return s_.Db(); }
  int Row(int slot) { return s_.Tables.CropDefinitionRow(slot, rec_); }
  // The slot takes the definition's program crop (Other when it maps to none) and its number.
  void SetSlot(int slot, const std::string& definition) {
    const int row = Db().FindFieldRow(qfCropName, definition);
    ASSERT_GE(row, 0) << "no crop definition " << definition;
    const int crop = Db().GetFieldInteger(qfToTessCrop, row);
    SlotCrop(rec_, slot) = static_cast<uint16_t>(crop > 0 && crop != crOtherHistory ? crop : crOther);
    SlotCode(rec_, slot) = static_cast<uint16_t>(Db().GetFieldInteger(qfCropDef, row));
  }
};
