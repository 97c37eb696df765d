// Builds a record's cost sheet step by step (used only by the cost calculation's sources).
#pragma once

#include "store/CostCalc.h"

class TCostSheetBuilder {
 public:
  TCostSheetBuilder(const TFieldRec& rec, const TMdfFile& mdf, const TCostOptions& options)
      : rec_(rec), mdf_(mdf), options_(options) {}
  TCostSheet Build();

 private:
  // An input's name, rate, unit cost and cost unit; no cost yet.
  TCostLine PricedLine(int code, float rate) const;
  // An input applied at a rate in `unit` (0 = its own application unit).
  TCostLine InputLine(int code, float rate, int unit) const;
  float InputRows(const U16* codes, const F32* rates, const uint8_t* units, int rows,
                  std::vector<TCostLine>& lines) const;
  // The other-input rows of a cost group, each with its own cost per acre.
  float OtherInputs(int group, std::vector<TCostLine>& lines) const;
  void Seed();
  void NpkRow(int row);
  void Fertilizers();
  void Pesticides();
  void FieldOperations();
  void IndirectCosts();
  void Land();
  void SoilLoss();
  TCropCharge Hauling(int crop, float yield) const;
  TCropCharge Drying(int crop, float yield, float moisture, float standard) const;
  void Income();
  TPriceSet PriceSet(bool fiveYear) const;
  float Premium(int code, float yield, TCostLine& line) const;

  const TFieldRec& rec_;
  const TMdfFile& mdf_;
  TCostOptions options_;
  TCostSheet s_;
};
