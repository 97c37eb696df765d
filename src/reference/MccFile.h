// Custom cost file (.mcc): a user's own cost for every input of the definition file. Version 2
// (single reals) is written; version 1 (thousandths, older input numbering) is still read.
#pragma once

#include <cstdint>
#include <string>

#include "filebase/RecFile.h"

class TMdfFile;
struct TMccHeaderRec;

// The definition file's country code does not fit the cost file's country byte.
enum : int32_t { esMccCountryTooLarge = 10 };

class TMccFile : public TRecFile {
 public:
  // Restores the standard costs, then applies the file's costs to the working cost table. On
  // failure the standard costs are in force.
  bool LoadCosts(const std::string& fileName, TMdfFile& mdf);
  // Writes the working costs as a version 2 file. The new file is built beside the target and
  // renamed over it only when complete, so a failure leaves any previous file untouched.
  bool SaveCosts(const std::string& fileName, const TMdfFile& mdf);
  std::string ErrorText() const override;

 private:
  bool CheckHeader(const TMccHeaderRec& header, const TMdfFile& mdf);
};

// The working costs of a report: the costs of `fileName` when `useCustom`, else the standard costs.
// Returns the cost file's error text (file name, line break, reason), empty on success.
std::string LoadReportCosts(bool useCustom, const std::string& fileName, TMdfFile& mdf);

// Translates a version-1 record to the current numbering; false when the record is dropped.
bool TranslateOldCost(uint16_t& code, float& cost);
