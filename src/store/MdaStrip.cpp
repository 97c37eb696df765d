// The record transformation of extract and the exports: private data removed, and the record
// advanced to next year's record of the same field.
#include <cstring>

#include "vocab/CropVocab.h"
#include "store/MdaFile.h"

namespace {

template <class T>
void Zero(T& field) {
  std::memset(static_cast<void*>(&field), 0, sizeof field);
}

void EmptySlot(TFieldRec& r, int slot, int flagBit) {
  SlotCrop(r, slot) = 0;
  SlotCode(r, slot) = 0;
  SlotTill(r, slot) = 0;
  SlotYield(r, slot) = 0.0f;
  SlotPctLeg(r, slot) = 0;
  r.SetFlag(flagBit, false);
}

void ShiftCrops(TFieldRec& r) {
  r.Prev_Crop = r.Cur_Crop == crOther ? uint16_t{crOtherHistory} : uint16_t{r.Cur_Crop};
  r.Prev_Code = r.Cur_Code;
  r.Prev_Till = r.Cur_Till;
  r.Prev_Yield = r.Cur_Yield > 0 ? float{r.Cur_Yield} : float{r.Cur_Goal};
  r.Prev_PctLg = r.Cur_PctLeg;
  r.SetFlag(rfPrevPctLeg, r.HasFlag(rfCurPctLeg));
  EmptySlot(r, csCov, rfCovPctLeg);

  const uint16_t next = r.Next_Crop;
  const bool primary = next != 0 && CropInfo(next).Primary;
  r.Cur_Crop = primary ? next : next == crOtherHistory ? uint16_t{crOther} : uint16_t{0};
  r.Cur_Code = primary || next == crOtherHistory ? uint16_t{r.Next_Code} : uint16_t{0};
  r.Cur_Till = r.Next_Till;
  r.Cur_Goal = r.Next_Goal;
  r.Cur_PctLeg = r.Next_PctLg;
  r.SetFlag(rfCurPctLeg, r.HasFlag(rfNextPctLeg));
  EmptySlot(r, csNext, rfNextPctLeg);
}

void ClearYearData(TFieldRec& r) {
  r.Till_Years = 0;
  r.Cust_NRec = r.Cust_PRec = r.Cust_KRec = 0;
  r.SetFlag(rfCustN, false);
  r.SetFlag(rfCustP, false);
  r.SetFlag(rfCustK, false);
  r.Cust_Source = "";
  // Planting.
  Zero(r.Plant_Date), Zero(r.Planter), Zero(r.Row_Width), Zero(r.Attchments), Zero(r.Hybrid_Var);
  Zero(r.Maturity), Zero(r.Biotech), Zero(r.Cur_PlRate), Zero(r.Seed_Count), Zero(r.Cov_PlRate);
  // Every input table row.
  Zero(r.Fert_N), Zero(r.Fert_P2O5), Zero(r.Fert_K2O), Zero(r.Fert_Rate), Zero(r.Fert_Units);
  Zero(r.Fert_Form), Zero(r.Fert_Date);
  Zero(r.OFert_Input), Zero(r.OFert_Rate), Zero(r.OFert_Units), Zero(r.OFert_Date);
  Zero(r.Man_Input), Zero(r.Man_Rate), Zero(r.Man_Units), Zero(r.Man_TotN), Zero(r.Man_P2O5), Zero(r.Man_K2O);
  Zero(r.Man_Date), Zero(r.Man_Legacy), Zero(r.Man_Method), Zero(r.Man_NH4N), Zero(r.Man_PctDM);
  Zero(r.Herb_Input), Zero(r.Herb_Rate), Zero(r.Herb_Units), Zero(r.Herb_Timing), Zero(r.Herb_Date);
  Zero(r.Ins_Input), Zero(r.Ins_Rate), Zero(r.Ins_Units), Zero(r.Ins_Method), Zero(r.Ins_Date);
  Zero(r.Oper_Input), Zero(r.Oper_Trips), Zero(r.Oper_Date);
  Zero(r.Othr_Input), Zero(r.Othr_Desc), Zero(r.Othr_Rate), Zero(r.Othr_Units), Zero(r.Othr_Cost);
  Zero(r.Othr_Date);
  // Harvest of both crops: Cur_Area (1752) to Cov_Yield2 (1806..1809).
  r.Residue = -1;
  uint8_t* first = reinterpret_cast<uint8_t*>(&r.Cur_Area);
  uint8_t* end = reinterpret_cast<uint8_t*>(&r.Cov_Yield2) + sizeof r.Cov_Yield2;
  std::memset(first, 0, static_cast<size_t>(end - first));
}

}  // namespace

void StripRecord(TFieldRec& r, bool nameAndContact, bool addressAndPhone, bool notesAndFsa, bool advanceYear) {
  if (nameAndContact) {
    r.Operation = "";
    r.Contact = "";
  }
  if (addressAndPhone) {
    r.Addr_Road = "", r.Addr_Town = "", r.Addr_State = "", r.Addr_Zip = "";
    r.Off_Phone = "", r.Home_Phone = "", r.Email_Addr = "";
  }
  if (notesAndFsa) {
    r.Notes = "", r.FSA_Tract = "", r.FSA_Field = "";
  }
  if (!advanceYear) return;
  r.Year = static_cast<uint16_t>(r.Year + 1);
  ShiftCrops(r);
  ClearYearData(r);
}
