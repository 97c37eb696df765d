// Records of the reference files, byte for byte as stored: the input definition file (.mdf,
// 49-byte records), the county names file (.mcn, 24-byte records) and the custom cost file
// (.mcc, 6-byte records). Record 0 of each file is its header.
#pragma once

#include <bit>
#include <cstdint>
#include <type_traits>

#include "filebase/LeValue.h"

// Input definition file.
constexpr int32_t kMdfRecordSize = 49;
constexpr uint8_t kMdfVersion = 4;
constexpr int kMaxInputs = 1000;
constexpr int kMaxInputNameLength = 30;

struct TMdfHeaderRec {
  uint8_t Version;       // 0: must be 4
  TLeDate Release;       // 1: release date of the definitions
  U16 Count;             // 3: number of input records
  U16 Country;           // 5
  uint8_t Reserved[42];  // 7
};

struct TMdfInputRec {
  U16 Code;              // 0: thousands digit = category 1..7
  TShortStr<30> Name;    // 2
  F32 Cost;              // 33: standard cost per cost unit
  U16 CostUnit;          // 37
  U16 AppUnit;           // 39: unit in which rates are entered
  U32 CropMask;          // 41: bit (c - 1) for crop code c
  U16 Kind;              // 45
  U16 SubKind;           // 47
};

// County names file.
constexpr int32_t kMcnRecordSize = 24;
constexpr uint8_t kMcnVersion = 3;
constexpr int kMaxStates = 50;
constexpr int kMaxCountiesPerState = 254;

struct TMcnHeaderRec {
  uint8_t Version;          // 0: must be 3
  uint8_t Reserved1[2];     // 1
  uint8_t StateCount;       // 3
  U16 CountyCount;          // 4
  U16 Country;              // 6
  TShortStr<6> CountryName; // 8
  uint8_t RegionWord;       // 15: 0 "state", otherwise "province"
  uint8_t AddressSelector;  // 16
  uint8_t Reserved2[7];     // 17
};

struct TMcnStateRec {
  U16 FirstCounty;      // 0: record number of the state's first county
  uint8_t CountyCount;  // 2
  uint8_t Reserved;     // 3
  uint8_t StateCode;    // 4: FIPS state code in the United States file
  TShortStr<3> Abbrev;  // 5
  TShortStr<14> Name;   // 9
};

struct TMcnCountyRec {
  TShortStr<20> Name;  // 0
  U16 Code;            // 21: FIPS county code in the United States file
  uint8_t Reserved;    // 23
};

// Custom cost file.
constexpr int32_t kMccRecordSize = 6;
constexpr uint8_t kMccVersion = 2;

struct TMccHeaderRec {
  uint8_t Version;  // 0: 1 or 2
  TLeDate Release;  // 1: release of the definition file the costs came from
  U16 Count;        // 3
  uint8_t Country;  // 5: low byte of the country code
};

struct TMccCostRec {
  U16 Code;
  TLe<uint32_t> Value;  // version 2: a single real; version 1: thousandths as a signed integer

  float Cost() const { return std::bit_cast<float>(Value.Get()); }
  void SetCost(float cost) { Value = std::bit_cast<uint32_t>(cost); }
  int32_t Thousandths() const { return static_cast<int32_t>(Value.Get()); }
};

static_assert(sizeof(TMdfHeaderRec) == kMdfRecordSize && sizeof(TMdfInputRec) == kMdfRecordSize);
static_assert(sizeof(TMcnHeaderRec) == kMcnRecordSize && sizeof(TMcnStateRec) == kMcnRecordSize &&
              sizeof(TMcnCountyRec) == kMcnRecordSize);
static_assert(sizeof(TMccHeaderRec) == kMccRecordSize && sizeof(TMccCostRec) == kMccRecordSize);
static_assert(std::is_trivially_copyable_v<TMdfInputRec> && std::is_trivially_copyable_v<TMcnStateRec>);
