#include "store/MdaLayout.h"

#include <cstring>

// Every field at the offset the file format gives it.
#define AT(type, field, offset) static_assert(offsetof(type, field) == (offset), #field " misplaced")

AT(TMdaHeader, Version, 0);
AT(TMdaHeader, Req_Release, 1);
AT(TMdaHeader, Rec_Count, 3);
AT(TMdaHeader, Country, 5);
AT(TMdaHeader, State, 7);
AT(TMdaHeader, Year, 9);
AT(TMdaHeader, Title, 11);
AT(TMdaHeader, Flags, 72);
AT(TMdaHeader, Author, 74);
AT(TMdaHeader, Company, 135);
AT(TMdaHeader, Comments, 196);
AT(TMdaHeader, Last_Update, 451);
AT(TMdaHeader, Reserved, 453);

AT(TFieldRec, Field_ID, 0);
AT(TFieldRec, Year, 4);
AT(TFieldRec, State, 6);
AT(TFieldRec, County, 8);
AT(TFieldRec, Contact, 10);
AT(TFieldRec, Operation, 41);
AT(TFieldRec, Addr_Road, 72);
AT(TFieldRec, Addr_Town, 103);
AT(TFieldRec, Addr_State, 124);
AT(TFieldRec, Addr_Zip, 130);
AT(TFieldRec, Home_Phone, 141);
AT(TFieldRec, Off_Phone, 156);
AT(TFieldRec, Field_Size, 171);
AT(TFieldRec, Rent_Value, 175);
AT(TFieldRec, Wshed_Name, 179);
AT(TFieldRec, FSA_Tract, 210);
AT(TFieldRec, FSA_Field, 221);
AT(TFieldRec, Notes, 226);
AT(TFieldRec, SoilTst_Yr, 287);
AT(TFieldRec, P, 289);
AT(TFieldRec, P_Units, 293);
AT(TFieldRec, K, 294);
AT(TFieldRec, K_Units, 298);
AT(TFieldRec, Soil_pH, 299);
AT(TFieldRec, CEC, 303);
AT(TFieldRec, OM, 307);
AT(TFieldRec, Nitrate_N, 311);
AT(TFieldRec, Basal_N, 313);
AT(TFieldRec, Prev_Crop, 315);
AT(TFieldRec, Prev_Till, 317);
AT(TFieldRec, Prev_Yield, 319);
AT(TFieldRec, Cov_Crop, 323);
AT(TFieldRec, Cov_Till, 325);
AT(TFieldRec, Cov_Goal, 327);
AT(TFieldRec, Cur_Crop, 331);
AT(TFieldRec, Cur_Till, 333);
AT(TFieldRec, Cur_Goal, 335);
AT(TFieldRec, Next_Crop, 339);
AT(TFieldRec, Next_Till, 341);
AT(TFieldRec, Next_Goal, 343);
AT(TFieldRec, Till_Years, 347);
AT(TFieldRec, Plant_Date, 349);
AT(TFieldRec, Planter, 351);
AT(TFieldRec, Row_Width, 382);
AT(TFieldRec, Attchments, 386);
AT(TFieldRec, Hybrid_Var, 390);
AT(TFieldRec, Maturity, 421);
AT(TFieldRec, Biotech, 423);
AT(TFieldRec, Cur_PlRate, 433);
AT(TFieldRec, Seed_Count, 437);
AT(TFieldRec, Cov_PlRate, 439);
AT(TFieldRec, Fert_N, 443);
AT(TFieldRec, Fert_P2O5, 483);
AT(TFieldRec, Fert_K2O, 523);
AT(TFieldRec, Fert_Rate, 563);
AT(TFieldRec, Fert_Units, 603);
AT(TFieldRec, Fert_Form, 613);
AT(TFieldRec, Fert_Date, 623);
AT(TFieldRec, OFert_Input, 643);
AT(TFieldRec, OFert_Rate, 653);
AT(TFieldRec, OFert_Units, 673);
AT(TFieldRec, OFert_Date, 678);
AT(TFieldRec, Man_Input, 688);
AT(TFieldRec, Man_Rate, 698);
AT(TFieldRec, Man_Units, 718);
AT(TFieldRec, Man_TotN, 723);
AT(TFieldRec, Man_P2O5, 743);
AT(TFieldRec, Man_K2O, 763);
AT(TFieldRec, Man_Date, 783);
AT(TFieldRec, Man_Legacy, 793);
AT(TFieldRec, Herb_Input, 798);
AT(TFieldRec, Herb_Rate, 822);
AT(TFieldRec, Herb_Units, 870);
AT(TFieldRec, Herb_Timing, 882);
AT(TFieldRec, Herb_Date, 894);
AT(TFieldRec, Ins_Input, 918);
AT(TFieldRec, Ins_Rate, 934);
AT(TFieldRec, Ins_Units, 966);
AT(TFieldRec, Ins_Method, 974);
AT(TFieldRec, Ins_Date, 982);
AT(TFieldRec, Oper_Input, 998);
AT(TFieldRec, Oper_Trips, 1038);
AT(TFieldRec, Oper_Date, 1118);
AT(TFieldRec, Othr_Input, 1158);
AT(TFieldRec, Othr_Desc, 1178);
AT(TFieldRec, Othr_Rate, 1488);
AT(TFieldRec, Othr_Units, 1528);
AT(TFieldRec, Othr_Cost, 1538);
AT(TFieldRec, Othr_Date, 1578);
AT(TFieldRec, Soil_Sym, 1598);
AT(TFieldRec, Soil_Slope, 1619);
AT(TFieldRec, Soil_Name, 1631);
AT(TFieldRec, Soil_FldPct, 1694);
AT(TFieldRec, Soil_TValue, 1700);
AT(TFieldRec, Soil_Rating, 1712);
AT(TFieldRec, Eros_Legacy, 1724);
AT(TFieldRec, Residue, 1725);
AT(TFieldRec, Water_Loss, 1727);
AT(TFieldRec, Wind_Loss, 1731);
AT(TFieldRec, Wshed_Num, 1735);
AT(TFieldRec, Cur_Area, 1752);
AT(TFieldRec, Cur_Wt, 1756);
AT(TFieldRec, Cur_WtUnit, 1760);
AT(TFieldRec, Cur_Mois, 1761);
AT(TFieldRec, Cur_StMois, 1765);
AT(TFieldRec, Cur_Yield, 1769);
AT(TFieldRec, Cur_HDate, 1773);
AT(TFieldRec, Cur_Prem, 1775);
AT(TFieldRec, Cur_Yield2, 1777);
AT(TFieldRec, Cov_Area, 1781);
AT(TFieldRec, Cov_Wt, 1785);
AT(TFieldRec, Cov_WtUnit, 1789);
AT(TFieldRec, Cov_Mois, 1790);
AT(TFieldRec, Cov_StMois, 1794);
AT(TFieldRec, Cov_Yield, 1798);
AT(TFieldRec, Cov_HDate, 1802);
AT(TFieldRec, Cov_Prem, 1804);
AT(TFieldRec, Cov_Yield2, 1806);
AT(TFieldRec, Man_Method, 1810);
AT(TFieldRec, Soil_Texture, 1815);
AT(TFieldRec, Mg, 1818);
AT(TFieldRec, Mg_Units, 1822);
AT(TFieldRec, Ca, 1823);
AT(TFieldRec, Ca_Units, 1827);
AT(TFieldRec, Na, 1828);
AT(TFieldRec, Na_Units, 1832);
AT(TFieldRec, Buffer_pH, 1833);
AT(TFieldRec, Field_Name, 1837);
AT(TFieldRec, SubFld_Nam, 1853);
AT(TFieldRec, Email_Addr, 1859);
AT(TFieldRec, Man_NH4N, 1900);
AT(TFieldRec, EC, 1920);
AT(TFieldRec, Soil_Attr1, 1924);
AT(TFieldRec, Soil_Attr2, 1930);
AT(TFieldRec, Flags, 1936);
AT(TFieldRec, Prev_PctLg, 1938);
AT(TFieldRec, Cov_PctLeg, 1940);
AT(TFieldRec, Cur_PctLeg, 1942);
AT(TFieldRec, Next_PctLg, 1944);
AT(TFieldRec, Irrig_N, 1946);
AT(TFieldRec, P_Test, 1948);
AT(TFieldRec, Cust_NRec, 1949);
AT(TFieldRec, Cust_PRec, 1951);
AT(TFieldRec, Cust_KRec, 1953);
AT(TFieldRec, Cust_Source, 1955);
AT(TFieldRec, Al, 2006);
AT(TFieldRec, Al_Units, 2010);
AT(TFieldRec, Man_PctDM, 2011);
AT(TFieldRec, Soil_Drain, 2031);
AT(TFieldRec, Sulfate_S, 2034);
AT(TFieldRec, Prev_Code, 2038);
AT(TFieldRec, Cov_Code, 2040);
AT(TFieldRec, Cur_Code, 2042);
AT(TFieldRec, Next_Code, 2044);
AT(TFieldRec, Drain_Type, 2046);
AT(TFieldRec, Unused, 2047);

#undef AT

namespace {

template <class T>
T& Pick(T& prev, T& cov, T& cur, T& next, int slot) {
  switch (slot) {
    case csPrev: return prev;
    case csCov: return cov;
    case csCur: return cur;
    default: return next;
  }
}

}  // namespace

U16& SlotCrop(TFieldRec& r, int s) { return Pick(r.Prev_Crop, r.Cov_Crop, r.Cur_Crop, r.Next_Crop, s); }
U16& SlotTill(TFieldRec& r, int s) { return Pick(r.Prev_Till, r.Cov_Till, r.Cur_Till, r.Next_Till, s); }
F32& SlotYield(TFieldRec& r, int s) { return Pick(r.Prev_Yield, r.Cov_Goal, r.Cur_Goal, r.Next_Goal, s); }
U16& SlotPctLeg(TFieldRec& r, int s) { return Pick(r.Prev_PctLg, r.Cov_PctLeg, r.Cur_PctLeg, r.Next_PctLg, s); }
U16& SlotCode(TFieldRec& r, int s) { return Pick(r.Prev_Code, r.Cov_Code, r.Cur_Code, r.Next_Code, s); }
uint16_t SlotCrop(const TFieldRec& r, int s) { return SlotCrop(const_cast<TFieldRec&>(r), s); }
uint16_t SlotTill(const TFieldRec& r, int s) { return SlotTill(const_cast<TFieldRec&>(r), s); }
float SlotYield(const TFieldRec& r, int s) { return SlotYield(const_cast<TFieldRec&>(r), s); }
uint16_t SlotPctLeg(const TFieldRec& r, int s) { return SlotPctLeg(const_cast<TFieldRec&>(r), s); }
uint16_t SlotCode(const TFieldRec& r, int s) { return SlotCode(const_cast<TFieldRec&>(r), s); }

TMdaHeader NewHeader(uint16_t country, uint16_t state, uint16_t year) {
  TMdaHeader h{};
  h.Version = kMdaVersion;
  h.Country = country;
  h.State = state;
  h.Year = year;
  return h;
}

TFieldRec NewRecordTemplate(int32_t fieldId, uint16_t year, uint16_t state) {
  TFieldRec r{};
  r.Field_ID = fieldId;
  r.Year = year;
  r.State = state;
  for (int i = 0; i < kSoilRows; ++i) r.Soil_Slope[i] = -1.0f;
  r.Residue = -1;
  return r;
}

bool SameRecord(const TFieldRec& a, const TFieldRec& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
