// Small reference files for tests: a definition file and a county names file of country 1,
// written with the core's writers.
#pragma once

#include <string>

#include "common/DayNum.h"
#include "reference/RefWriters.h"

inline constexpr uint32_t kAllCrops = 0xFFFFFFFFu;
inline constexpr uint32_t kCornBit = 1u << 0;
inline constexpr uint32_t kSoyBit = 1u << 1;
inline constexpr uint32_t kSorghumBit = 1u << 5;

inline TMdfContents SampleCatalogue() {
  TMdfContents c;
  c.Release = EncodeDay(2025, 1, 15);
  c.Country = 1;
  c.Inputs = {
      // code, name, cost, cost unit, app unit, crop mask, kind, sub-kind
      {1001, "Soil loss charge", 2.5f, 3, 3, kAllCrops, 0, 0},
      {1051, "Crop insurance", 18, 26, 26, kCornBit, 0, 0},
      {1052, "Soybean check-off", 0.5f, 26, 26, kSoyBit, 0, 0},
      {1101, "Corn seed", 280, 10, 10, kCornBit, 0, 0},
      {1106, "Sorghum seed", 1.6f, 2, 2, kSorghumBit, 0, 0},
      {1606, "Sorghum price 5-yr", 4.2f, 8, 8, kSorghumBit, 0, 0},
      {1701, "Corn price", 4.35f, 8, 8, kCornBit, 0, 0},
      {1901, "Food-grade premium", 0.3f, 8, 8, kCornBit | kSoyBit, 0, 0},
      {1954, "Herbicide tolerance FEE", 12, 26, 26, kCornBit | kSoyBit, 0, 0},
      {1955, "Rootworm trait", 15, 26, 26, kCornBit, 0, 0},
      {2001, "N, gas", 0.48f, 2, 2, kAllCrops, 0, 0},
      {2005, "P2O5, dry", 0.62f, 2, 2, kAllCrops, 0, 0},
      {2006, "K2O, dry", 0.44f, 3, 2, kAllCrops, 0, 0},
      {3001, "Ag lime", 32, 3, 3, kAllCrops, 0, 0},
      {9001, "Stray record", 1, 2, 2, kAllCrops, 0, 0},
      {3101, "Dairy lagoon", 0.01f, 7, 7, kAllCrops, 1, 0},
      {3002, "Gypsum", 40, 3, 3, kCornBit, 0, 0},
      {4004, "Atrazine 4L", 24, 7, 6, kCornBit | kSorghumBit, 0, 0},
      {4036, "Roundup PowerMAX", 30, 7, 4, kAllCrops, 0, 0},
      {6001, "Plant corn", 24, 12, 12, kCornBit, 1, 0},
      {6002, "Combine corn", 38, 12, 12, kCornBit, 2, 0},
      {7002, "Irrigation water", 9.5f, 11, 11, kAllCrops, 0, 0},
  };
  return c;
}

inline TMcnContents SampleCounties() {
  TMcnContents c;
  c.Country = 1;
  c.CountryName = "USA";
  c.States = {
      {"AL", "Alabama", 1, {{"Autauga", 1}, {"Baldwin", 3}, {"Barbour", 5}}},
      {"IA", "Iowa", 19, {{"Adair", 1}, {"Adams", 3}}},
      {"NM", "New Mexico", 35, {{"Do\xF1" "a Ana", 13}}},
  };
  return c;
}

// Writes both sample files into `folder` as usa.mcn and stnd-usa.mdf.
inline void WriteSampleReferenceFiles(const std::string& folder) {
  std::string message;
  WriteMcnFile(folder + "/usa.mcn", SampleCounties(), message);
  WriteMdfFile(folder + "/stnd-usa.mdf", SampleCatalogue(), message);
}
