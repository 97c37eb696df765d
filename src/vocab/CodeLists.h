// The small code lists of the field record: code = position from 1, 0 = none.
#pragma once

#include <string>

enum class TCodeList {
  SoilTestUnits,       // P_Units, K_Units, ...
  Tillage,             // *_Till
  PlanterAttachments,  // bits of Attchments
  FertForm,            // Fert_Form
  ManureMethod,        // Man_Method
  HerbTiming,          // Herb_Timing
  InsMethod,           // Ins_Method
  SoilTexture,         // Soil_Texture
  SoilDrainage,        // Soil_Drain
  RatingUnits,         // unit of Soil_Rating
};

int CodeListCount(TCodeList list);
// Short and long forms; lists with one form give it for both. Empty for an unknown code.
std::string CodeShortName(TCodeList list, int code);
std::string CodeLongName(TCodeList list, int code);
// The code whose short or long form equals the name without regard to case, or 0.
int FindCodeByName(TCodeList list, const std::string& name);

// Rating unit of a record's soils: 2 "CSR" in state 15, else 1 "Bu/A".
int RatingUnitOfState(int state);
