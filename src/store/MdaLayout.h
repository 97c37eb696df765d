// The project file's 2048-byte header and field record, byte for byte as stored.
#pragma once

#include <cstddef>
#include <cstdint>

#include "filebase/LeValue.h"

constexpr int32_t kMdaBlockSize = 2048;
constexpr uint8_t kMdaVersion = 7;
constexpr int32_t kMaxRecords = 32767;

// Table sizes of the field record.
constexpr int kFertRows = 10;
constexpr int kOFertRows = 5;
constexpr int kManureRows = 5;
constexpr int kHerbRows = 12;
constexpr int kInsRows = 8;
constexpr int kOperRows = 20;
constexpr int kOtherRows = 10;
constexpr int kSoilRows = 3;
constexpr int kBiotechSlots = 5;

// Header flag: the file is opened read-only even when it could be written.
constexpr uint16_t kHeaderLocked = 1;

struct TMdaHeader {
  uint8_t Version;         // 0
  TLeDate Req_Release;     // 1: release of the newest definition file a record was written with
  U16 Rec_Count;           // 3
  U16 Country;             // 5
  U16 State;               // 7: 0 for a multi-state file
  U16 Year;                // 9: harvest year
  TShortStr<60> Title;     // 11
  U16 Flags;               // 72
  TShortStr<60> Author;    // 74
  TShortStr<60> Company;   // 135
  TShortStr<254> Comments; // 196
  TLeDate Last_Update;     // 451
  uint8_t Reserved[1595];  // 453
};

// Record flag bits (flags word at 1936).
enum : int {
  rfPrevPctLeg = 1,
  rfCovPctLeg = 2,
  rfCurPctLeg = 3,
  rfNextPctLeg = 4,
  rfIrrigN = 5,
  rfCustN = 6,
  rfCustP = 7,
  rfCustK = 8,
  rfAnnManure = 16,
};

struct TFieldRec {
  I32 Field_ID;               // 0
  U16 Year;                   // 4
  U16 State;                  // 6
  U16 County;                 // 8
  TShortStr<30> Contact;      // 10
  TShortStr<30> Operation;    // 41
  TShortStr<30> Addr_Road;    // 72
  TShortStr<20> Addr_Town;    // 103
  TShortStr<5> Addr_State;    // 124
  TShortStr<10> Addr_Zip;     // 130
  TShortStr<14> Home_Phone;   // 141
  TShortStr<14> Off_Phone;    // 156
  F32 Field_Size;             // 171
  F32 Rent_Value;             // 175
  TShortStr<30> Wshed_Name;   // 179
  TShortStr<10> FSA_Tract;    // 210
  TShortStr<4> FSA_Field;     // 221
  TShortStr<60> Notes;        // 226
  U16 SoilTst_Yr;             // 287
  F32 P;                      // 289
  uint8_t P_Units;            // 293
  F32 K;                      // 294
  uint8_t K_Units;            // 298
  F32 Soil_pH;                // 299
  F32 CEC;                    // 303
  F32 OM;                     // 307
  U16 Nitrate_N;              // 311
  U16 Basal_N;                // 313
  U16 Prev_Crop;              // 315
  U16 Prev_Till;              // 317
  F32 Prev_Yield;             // 319
  U16 Cov_Crop;               // 323
  U16 Cov_Till;               // 325
  F32 Cov_Goal;               // 327
  U16 Cur_Crop;               // 331
  U16 Cur_Till;               // 333
  F32 Cur_Goal;               // 335
  U16 Next_Crop;              // 339
  U16 Next_Till;              // 341
  F32 Next_Goal;              // 343
  U16 Till_Years;             // 347
  TLeDate Plant_Date;         // 349
  TShortStr<30> Planter;      // 351
  F32 Row_Width;              // 382
  U32 Attchments;             // 386
  TShortStr<30> Hybrid_Var;   // 390
  U16 Maturity;               // 421
  U16 Biotech[kBiotechSlots]; // 423
  F32 Cur_PlRate;             // 433: primary planting rate as entered
  U16 Seed_Count;             // 437
  F32 Cov_PlRate;             // 439
  // Fertilizer table.
  F32 Fert_N[kFertRows];         // 443
  F32 Fert_P2O5[kFertRows];      // 483
  F32 Fert_K2O[kFertRows];       // 523
  F32 Fert_Rate[kFertRows];      // 563
  uint8_t Fert_Units[kFertRows]; // 603
  uint8_t Fert_Form[kFertRows];  // 613
  TLeDate Fert_Date[kFertRows];  // 623
  // Other fertilizer table.
  U16 OFert_Input[kOFertRows];      // 643
  F32 OFert_Rate[kOFertRows];       // 653
  uint8_t OFert_Units[kOFertRows];  // 673
  TLeDate OFert_Date[kOFertRows];   // 678
  // Manure table (continued at 1810, 1900 and 2011).
  U16 Man_Input[kManureRows];       // 688
  F32 Man_Rate[kManureRows];        // 698
  uint8_t Man_Units[kManureRows];   // 718
  F32 Man_TotN[kManureRows];        // 723
  F32 Man_P2O5[kManureRows];        // 743
  F32 Man_K2O[kManureRows];         // 763
  TLeDate Man_Date[kManureRows];    // 783
  uint8_t Man_Legacy[kManureRows];  // 793: carried over by the older-file conversion
  // Herbicide table.
  U16 Herb_Input[kHerbRows];        // 798
  F32 Herb_Rate[kHerbRows];         // 822
  uint8_t Herb_Units[kHerbRows];    // 870
  uint8_t Herb_Timing[kHerbRows];   // 882
  TLeDate Herb_Date[kHerbRows];     // 894
  // Insecticide table.
  U16 Ins_Input[kInsRows];          // 918
  F32 Ins_Rate[kInsRows];           // 934
  uint8_t Ins_Units[kInsRows];      // 966
  uint8_t Ins_Method[kInsRows];     // 974
  TLeDate Ins_Date[kInsRows];       // 982
  // Field operation table.
  U16 Oper_Input[kOperRows];        // 998
  F32 Oper_Trips[kOperRows];        // 1038
  TLeDate Oper_Date[kOperRows];     // 1118
  // Other input table.
  U16 Othr_Input[kOtherRows];             // 1158
  TShortStr<30> Othr_Desc[kOtherRows];    // 1178
  F32 Othr_Rate[kOtherRows];              // 1488
  uint8_t Othr_Units[kOtherRows];         // 1528
  F32 Othr_Cost[kOtherRows];              // 1538
  TLeDate Othr_Date[kOtherRows];          // 1578
  // Soil table (continued at 1815, 1924, 1930 and 2031).
  TShortStr<6> Soil_Sym[kSoilRows];       // 1598
  F32 Soil_Slope[kSoilRows];              // 1619: -1.0 = not entered
  TShortStr<20> Soil_Name[kSoilRows];     // 1631
  U16 Soil_FldPct[kSoilRows];             // 1694
  F32 Soil_TValue[kSoilRows];             // 1700
  F32 Soil_Rating[kSoilRows];             // 1712
  uint8_t Eros_Legacy;                    // 1724: filled only by the older-file conversion
  I16 Residue;                            // 1725: -1 = not entered
  F32 Water_Loss;                         // 1727
  F32 Wind_Loss;                          // 1731
  TShortStr<16> Wshed_Num;                // 1735
  // Harvest of the primary crop.
  F32 Cur_Area;      // 1752
  F32 Cur_Wt;        // 1756
  uint8_t Cur_WtUnit;// 1760
  F32 Cur_Mois;      // 1761
  F32 Cur_StMois;    // 1765
  F32 Cur_Yield;     // 1769
  TLeDate Cur_HDate; // 1773
  U16 Cur_Prem;      // 1775
  F32 Cur_Yield2;    // 1777
  // Harvest of the cover or first crop.
  F32 Cov_Area;      // 1781
  F32 Cov_Wt;        // 1785
  uint8_t Cov_WtUnit;// 1789
  F32 Cov_Mois;      // 1790
  F32 Cov_StMois;    // 1794
  F32 Cov_Yield;     // 1798
  TLeDate Cov_HDate; // 1802
  U16 Cov_Prem;      // 1804
  F32 Cov_Yield2;    // 1806
  uint8_t Man_Method[kManureRows];     // 1810
  uint8_t Soil_Texture[kSoilRows];     // 1815
  F32 Mg;                              // 1818
  uint8_t Mg_Units;                    // 1822
  F32 Ca;                              // 1823
  uint8_t Ca_Units;                    // 1827
  F32 Na;                              // 1828
  uint8_t Na_Units;                    // 1832
  F32 Buffer_pH;                       // 1833
  TShortStr<15> Field_Name;            // 1837
  TShortStr<5> SubFld_Nam;             // 1853
  TShortStr<40> Email_Addr;            // 1859
  F32 Man_NH4N[kManureRows];           // 1900
  F32 EC;                              // 1920
  U16 Soil_Attr1[kSoilRows];           // 1924
  U16 Soil_Attr2[kSoilRows];           // 1930
  U16 Flags;                           // 1936
  U16 Prev_PctLg;                      // 1938
  U16 Cov_PctLeg;                      // 1940
  U16 Cur_PctLeg;                      // 1942
  U16 Next_PctLg;                      // 1944
  U16 Irrig_N;                         // 1946
  uint8_t P_Test;                      // 1948
  U16 Cust_NRec;                       // 1949
  U16 Cust_PRec;                       // 1951
  U16 Cust_KRec;                       // 1953
  TShortStr<50> Cust_Source;           // 1955
  F32 Al;                              // 2006
  uint8_t Al_Units;                    // 2010
  F32 Man_PctDM[kManureRows];          // 2011
  uint8_t Soil_Drain[kSoilRows];       // 2031
  F32 Sulfate_S;                       // 2034
  U16 Prev_Code;                       // 2038
  U16 Cov_Code;                        // 2040
  U16 Cur_Code;                        // 2042
  U16 Next_Code;                       // 2044
  uint8_t Drain_Type;                  // 2046
  uint8_t Unused;                      // 2047

  bool HasFlag(int bit) const { return (Flags & (1u << (bit - 1))) != 0; }
  void SetFlag(int bit, bool on) {
    Flags = static_cast<uint16_t>(on ? (Flags | (1u << (bit - 1))) : (Flags & ~(1u << (bit - 1))));
  }
};

static_assert(sizeof(TMdaHeader) == kMdaBlockSize);
static_assert(sizeof(TFieldRec) == kMdaBlockSize);
static_assert(alignof(TFieldRec) == 1 && alignof(TMdaHeader) == 1);
static_assert(std::is_trivially_copyable_v<TFieldRec> && std::is_trivially_copyable_v<TMdaHeader>);

// The four crop slots, in record order.
enum TCropSlot { csPrev = 0, csCov = 1, csCur = 2, csNext = 3 };

// The crop slot fields, addressed by slot.
U16& SlotCrop(TFieldRec& r, int slot);
U16& SlotTill(TFieldRec& r, int slot);
F32& SlotYield(TFieldRec& r, int slot);
U16& SlotPctLeg(TFieldRec& r, int slot);
U16& SlotCode(TFieldRec& r, int slot);
uint16_t SlotCrop(const TFieldRec& r, int slot);
uint16_t SlotTill(const TFieldRec& r, int slot);
float SlotYield(const TFieldRec& r, int slot);
uint16_t SlotPctLeg(const TFieldRec& r, int slot);
uint16_t SlotCode(const TFieldRec& r, int slot);

// A zero header of this version for the given country, state and year.
TMdaHeader NewHeader(uint16_t country, uint16_t state, uint16_t year);
// A new record: all zero, then Field_ID, Year, State, soil slopes -1.0 and Residue -1.
TFieldRec NewRecordTemplate(int32_t fieldId, uint16_t year, uint16_t state);
bool SameRecord(const TFieldRec& a, const TFieldRec& b);
