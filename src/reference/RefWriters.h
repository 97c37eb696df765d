// Writers of the reference files, shared by the build tools that compile the shipped data and by
// the tests. Callers fill plain structures and get the exact binary file:
//
//   TMdfContents: an input definition file (.mdf, version 4): release date (day number), country
//     code and the inputs in file order (categories contiguous and ascending; the writer does not
//     reorder). Each TMdfInput carries code, name (at most 30 characters), standard cost, cost
//     unit, application unit, crop mask (bit c - 1 for crop code c), kind and sub-kind.
//   TMcnContents: a county names file (.mcn, version 3): country code, country name (at most 6
//     characters), region word (false "state", true "province"), address selector, and the states
//     in state-number order, each with abbreviation (at most 3), name (at most 14), state code and
//     its counties in order (name at most 20 characters, county code; at most 254 counties).
//
// Text is code page 1252, as every file of the program. Data the format cannot hold (more than
// 1000 inputs, more than 50 states, a name that is too long, ...) is refused with a message; the
// writers never truncate.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/DayNum.h"

struct TMdfInput {
  uint16_t Code = 0;
  std::string Name;
  float Cost = 0;
  uint16_t CostUnit = 0;
  uint16_t AppUnit = 0;
  uint32_t CropMask = 0;
  uint16_t Kind = 0;
  uint16_t SubKind = 0;
};

struct TMdfContents {
  TDayNum Release = 0;
  uint16_t Country = 0;
  std::vector<TMdfInput> Inputs;
};

struct TMcnCounty {
  std::string Name;
  uint16_t Code = 0;
};

struct TMcnState {
  std::string Abbrev;
  std::string Name;
  uint8_t Code = 0;
  std::vector<TMcnCounty> Counties;
};

struct TMcnContents {
  uint16_t Country = 0;
  std::string CountryName;
  bool Province = false;
  uint8_t AddressSelector = 0;
  std::vector<TMcnState> States;
};

// The whole file as bytes, header record first. False, and why, when the data does not fit.
bool EncodeMdf(const TMdfContents& contents, std::string& image, std::string& message);
bool EncodeMcn(const TMcnContents& contents, std::string& image, std::string& message);

// Writes an image of `recordSize`-byte records to `path`, replacing any file of that name. On
// failure nothing is left behind and `message` holds the file name and the reason.
bool WriteRecordImage(const std::string& path, int32_t recordSize, const std::string& image,
                      std::string& message);

// Encode and write in one step.
bool WriteMdfFile(const std::string& path, const TMdfContents& contents, std::string& message);
bool WriteMcnFile(const std::string& path, const TMcnContents& contents, std::string& message);
