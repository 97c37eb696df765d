// Project files of the older format (version 5, 1024-byte blocks, scaled integers), opened by
// converting them into the current format; the old file is kept with the extension ".dos".
#pragma once

#include <functional>
#include <string>

#include "store/MdaFile.h"

constexpr int32_t kMda5BlockSize = 1024;
constexpr uint8_t kMda5Version = 5;

struct TMda5Header {
  uint8_t Version;         // 0
  TLeDate Req_Release;     // 1
  U16 Rec_Count;           // 3
  U16 State;               // 5
  U16 Year;                // 7
  TShortStr<60> Title;     // 9
  U16 Flags;               // 70: bit 1 locked
  U16 Country;             // 72
  uint8_t Reserved[950];   // 74
};

// Tables are stored column by column; x10 and x100 mark integers holding ten or a hundred times
// the value.
struct TMda5Rec {
  U32 Field_ID;              // 0
  U16 State;                 // 4
  uint8_t Gap6[2];           // 6
  U16 County;                // 8
  TShortStr<30> Contact;     // 10
  TShortStr<30> Addr1;       // 41
  TShortStr<30> Addr2;       // 72
  TShortStr<20> Addr_Town;   // 103
  TShortStr<5> Addr_State;   // 124
  TShortStr<10> Addr_Zip;    // 130
  TShortStr<14> Home_Phone;  // 141
  TShortStr<14> Off_Phone;   // 156
  U16 Field_Size;            // 171 x10
  U16 Rent_Value;            // 173 x100
  TShortStr<30> Wshed_Name;  // 175
  TShortStr<60> Notes;       // 206
  uint8_t Gap267[12];        // 267
  U16 P;                     // 279 x10
  U16 P_Units;               // 281
  U16 K;                     // 283 x10
  U16 K_Units;               // 285
  U16 CEC;                   // 287 x10
  U16 OM;                    // 289 x10
  U16 Soil_pH;               // 291 x10
  U16 Nitrate_N;             // 293
  U16 Basal_N;               // 295
  TShortStr<6> Soil_Sym[3];  // 297
  U16 Soil_Slope[3];         // 318 x10; 0 = not entered
  TShortStr<20> Soil_Name[3];// 324
  U16 Soil_FldPct[3];        // 387
  U16 Soil_TValue[3];        // 393 x10
  U16 Soil_Rating[3];        // 399 x10
  U16 Legacy;                // 405
  TShortStr<16> Wshed_Num;   // 407
  I16 Residue;               // 424: 0 = not entered
  uint8_t Gap426[2];         // 426
  U16 Water_Loss;            // 428 x10
  U16 Wind_Loss;             // 430 x10
  uint8_t Gap432[2];         // 432
  U16 Prev_Crop;             // 434
  U16 Prev_Till;             // 436
  U16 Prev_Yield;            // 438 x10
  U16 Cur_Crop;              // 440
  U16 Cur_Till;              // 442
  U16 Cur_Goal;              // 444 x10
  U16 Next_Crop;             // 446
  U16 Next_Till;             // 448
  U16 Next_Goal;             // 450 x10
  U16 Till_Years;            // 452
  TLeDate Plant_Date;        // 454
  TShortStr<20> Planter;     // 456
  U16 Attchments;            // 477: bits 1..15
  U16 Row_Width;             // 479 x10
  TShortStr<20> Hybrid_Var;  // 481
  U16 Maturity;              // 502
  I32 PlantRate;             // 504: as stored for corn and soybeans, else x100
  U16 Seed_Count;            // 508
  uint8_t Gap510[4];         // 510
  U16 Fert_Rate[5];          // 514
  U16 Fert_Units[5];         // 524
  U16 Fert_N[5];             // 534 x10
  U16 Fert_P2O5[5];          // 544 x10
  U16 Fert_K2O[5];           // 554 x10
  U16 Fert_Form[5];          // 564
  TLeDate Fert_Date[5];      // 574
  U16 Like_Input[4];         // 584: fertilizer-like inputs (other fertilizers and manures)
  U16 Like_Rate[4];          // 592 x10
  U16 Like_Units[4];         // 600
  TLeDate Like_Date[4];      // 608
  U16 Like_TotN[4];          // 616 x10
  U16 Like_P2O5[4];          // 624 x10
  U16 Like_K2O[4];           // 632 x10
  U16 Like_Extra[4];         // 640
  U16 Herb_Input[10];        // 648
  U16 Herb_Rate[10];         // 668 x100
  U16 Herb_Units[10];        // 688
  U16 Herb_Timing[10];       // 708
  TLeDate Herb_Date[10];     // 728
  U16 Ins_Input[10];         // 748: 8 rows used
  U16 Ins_Rate[10];          // 768 x100
  U16 Ins_Units[10];         // 788
  U16 Ins_Method[10];        // 808
  TLeDate Ins_Date[10];      // 828
  U16 Oper_Input[10];        // 848
  U16 Oper_Trips[10];        // 868 x10
  TLeDate Oper_Date[10];     // 888
  U16 Othr_Input[10];        // 908
  U16 Othr_Rate[10];         // 928 x100
  U16 Othr_Cost[10];         // 948 x100
  U16 Cur_Area;              // 968 x10
  I32 Cur_Wt;                // 970: thousandths
  U16 Cur_WtUnit;            // 974
  U16 Cur_Mois;              // 976 x10
  U16 Cur_StMois;            // 978 x10
  U16 Cur_Yield;             // 980 x10
  TLeDate Cur_HDate;         // 982
  U16 Cur_Yield2;            // 984 x10
  uint8_t Gap986[38];        // 986
};

static_assert(sizeof(TMda5Header) == kMda5BlockSize);
static_assert(sizeof(TMda5Rec) == kMda5BlockSize);

// Converts one old record into `rec` (a new record of `target`). False when an old value does not
// fit the current record (a byte code above 255, too many rows for a table, a negative residue).
bool ConvertMda5Record(const TMda5Rec& old, const TMdaFile& target, const TProjectRefs& refs, TFieldRec& rec);
// Records whose old current crop is 6, 7 or 14 have no current counterpart and are dropped.
bool IsDroppedMda5Record(const TMda5Rec& old);

// (path) -> convert; (path, backup path) after a conversion.
using TConvertConfirm = std::function<bool(const std::string&)>;
using TConvertDone = std::function<void(const std::string&, const std::string&)>;

class TMdaFile5 : public TMdaFile {
 public:
  // Opens a current project, or converts an older one in place when `confirm` agrees.
  bool OpenOrConvert(const std::string& path, bool writeWanted, const TProjectRefs& refs,
                     const TConvertDone& converted, const TConvertConfirm& confirm);
  std::string ErrorText() const override;

 private:
  // Opens the old file and reads its header; `current` when it turned out to be a current file.
  bool OpenOld(const std::string& path, TMda5Header& old, bool& current);
  bool ConvertRecords(const TMda5Header& old, TMdaFile& target);
  // Gives the old file the ".dos" name beside its own, then puts the converted one in its place; on
  // failure the old file is still in place.
  bool ReplaceWithConverted(TMdaFile& converted);
  // Makes `backup` a copy of `path` (a second name where the file system allows it).
  static bool KeepBackup(const std::string& path, const std::string& backup);
};
