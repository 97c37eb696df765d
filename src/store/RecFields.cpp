#include "store/RecFields.h"

#include <cstring>
#include <type_traits>

#include "common/DayNum.h"
#include "common/Format.h"
#include "common/Parse.h"
#include "common/TextUtil.h"

namespace {

template <class T>
struct TKindOf;
template <> struct TKindOf<uint8_t> { static constexpr TFieldKind kind = TFieldKind::U8; };
template <> struct TKindOf<U16> { static constexpr TFieldKind kind = TFieldKind::U16; };
template <> struct TKindOf<I16> { static constexpr TFieldKind kind = TFieldKind::I16; };
template <> struct TKindOf<I32> { static constexpr TFieldKind kind = TFieldKind::I32; };
template <> struct TKindOf<U32> { static constexpr TFieldKind kind = TFieldKind::U32; };
template <> struct TKindOf<F32> { static constexpr TFieldKind kind = TFieldKind::F32; };
template <> struct TKindOf<TLeDate> { static constexpr TFieldKind kind = TFieldKind::Date; };
template <size_t N> struct TKindOf<TShortStr<N>> {
  static constexpr TFieldKind kind = TFieldKind::Str;
  static constexpr size_t length = N;
};

template <class M>
TFieldDesc Describe(const char* name, size_t offset) {
  using Elem = std::remove_all_extents_t<M>;
  const size_t count = std::is_array_v<M> ? std::extent_v<M> : 1;
  uint16_t maxLength = 0;
  if constexpr (TKindOf<Elem>::kind == TFieldKind::Str) maxLength = TKindOf<Elem>::length;
  return {name, static_cast<uint32_t>(offset), TKindOf<Elem>::kind, static_cast<uint16_t>(count),
          static_cast<uint16_t>(sizeof(Elem)), maxLength};
}

#define H(field) Describe<decltype(TMdaHeader::field)>(#field, offsetof(TMdaHeader, field))
#define R(field) Describe<decltype(TFieldRec::field)>(#field, offsetof(TFieldRec, field))

template <class T>
T Load(const uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <class T>
void Store(uint8_t* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

bool SetWhole(uint8_t* p, TFieldKind kind, const std::string& text, std::string& error) {
  int64_t v = 0;
  bool ok = false;
  switch (kind) {
    case TFieldKind::U8: ok = ParseInt(text, TIntRange::Word, v) && v <= 255; break;
    case TFieldKind::U16: ok = ParseInt(text, TIntRange::Word, v); break;
    case TFieldKind::I16: ok = ParseInt(text, TIntRange::SmallInt, v); break;
    case TFieldKind::I32: ok = ParseInt(text, TIntRange::LongInt, v); break;
    case TFieldKind::U32: ok = ParseInt(text, TIntRange::LongInt, v) && v >= 0; break;
    default: break;
  }
  if (!ok) {
    static const char* kRanges[] = {"0 to 255", "0 to 65535", "-32768 to 32767", "-2147483648 to 2147483647",
                                    "0 to 2147483647"};
    error = "is not a whole number from " + std::string(kRanges[static_cast<int>(kind)]);
    return false;
  }
  switch (kind) {
    case TFieldKind::U8: *p = static_cast<uint8_t>(v); break;
    case TFieldKind::U16: Store(p, static_cast<uint16_t>(v)); break;
    case TFieldKind::I16: Store(p, static_cast<int16_t>(v)); break;
    case TFieldKind::I32: Store(p, static_cast<int32_t>(v)); break;
    case TFieldKind::U32: Store(p, static_cast<uint32_t>(v)); break;
    default: break;
  }
  return true;
}

}  // namespace

const std::vector<TFieldDesc>& HeaderFields() {
  static const std::vector<TFieldDesc> fields = {
      H(Version), H(Req_Release), H(Rec_Count), H(Country), H(State),   H(Year),
      H(Title),   H(Flags),       H(Author),    H(Company), H(Comments), H(Last_Update),
  };
  return fields;
}

const std::vector<TFieldDesc>& RecordFields() {
  static const std::vector<TFieldDesc> fields = {
      R(Field_ID),    R(Year),         R(State),        R(County),      R(Field_Name),  R(SubFld_Nam),
      R(Contact),     R(Operation),    R(Addr_Road),    R(Addr_Town),   R(Addr_State),  R(Addr_Zip),
      R(Home_Phone),  R(Off_Phone),    R(Email_Addr),   R(Field_Size),  R(Rent_Value),  R(Wshed_Name),
      R(FSA_Tract),   R(FSA_Field),    R(Notes),        R(SoilTst_Yr),  R(P),           R(P_Units),
      R(P_Test),      R(K),            R(K_Units),      R(Mg),          R(Mg_Units),    R(Ca),
      R(Ca_Units),    R(Na),           R(Na_Units),     R(Al),          R(Al_Units),    R(Soil_pH),
      R(Buffer_pH),   R(CEC),          R(OM),           R(Nitrate_N),   R(Basal_N),     R(EC),
      R(Sulfate_S),   R(Prev_Crop),    R(Prev_Till),    R(Prev_Yield),  R(Prev_PctLg),  R(Prev_Code),
      R(Cov_Crop),    R(Cov_Till),     R(Cov_Goal),     R(Cov_PctLeg),  R(Cov_Code),    R(Cur_Crop),
      R(Cur_Till),    R(Cur_Goal),     R(Cur_PctLeg),   R(Cur_Code),    R(Next_Crop),   R(Next_Till),
      R(Next_Goal),   R(Next_PctLg),   R(Next_Code),    R(Till_Years),  R(Flags),       R(Irrig_N),
      R(Cust_NRec),   R(Cust_PRec),    R(Cust_KRec),    R(Cust_Source), R(Plant_Date),  R(Planter),
      R(Row_Width),   R(Attchments),   R(Hybrid_Var),   R(Maturity),    R(Biotech),     R(Cur_PlRate),
      R(Seed_Count),  R(Cov_PlRate),   R(Fert_N),       R(Fert_P2O5),   R(Fert_K2O),    R(Fert_Rate),
      R(Fert_Units),  R(Fert_Form),    R(Fert_Date),    R(OFert_Input), R(OFert_Rate),  R(OFert_Units),
      R(OFert_Date),  R(Man_Input),    R(Man_Rate),     R(Man_Units),   R(Man_TotN),    R(Man_NH4N),
      R(Man_P2O5),    R(Man_K2O),      R(Man_PctDM),    R(Man_Date),    R(Man_Method),  R(Man_Legacy),
      R(Herb_Input),  R(Herb_Rate),    R(Herb_Units),   R(Herb_Timing), R(Herb_Date),   R(Ins_Input),
      R(Ins_Rate),    R(Ins_Units),    R(Ins_Method),   R(Ins_Date),    R(Oper_Input),  R(Oper_Trips),
      R(Oper_Date),   R(Othr_Input),   R(Othr_Desc),    R(Othr_Rate),   R(Othr_Units),  R(Othr_Cost),
      R(Othr_Date),   R(Soil_Sym),     R(Soil_Slope),   R(Soil_Name),   R(Soil_FldPct), R(Soil_Texture),
      R(Soil_Drain),  R(Soil_TValue),  R(Soil_Rating),  R(Soil_Attr1),  R(Soil_Attr2),  R(Residue),
      R(Water_Loss),  R(Wind_Loss),    R(Wshed_Num),    R(Drain_Type),  R(Eros_Legacy), R(Cur_Area),
      R(Cur_Wt),      R(Cur_WtUnit),   R(Cur_Mois),     R(Cur_StMois),  R(Cur_Yield),   R(Cur_HDate),
      R(Cur_Prem),    R(Cur_Yield2),   R(Cov_Area),     R(Cov_Wt),      R(Cov_WtUnit),  R(Cov_Mois),
      R(Cov_StMois),  R(Cov_Yield),    R(Cov_HDate),    R(Cov_Prem),    R(Cov_Yield2),
  };
  return fields;
}

#undef H
#undef R

bool FindField(const std::vector<TFieldDesc>& fields, const std::string& ref, const TFieldDesc*& desc, int& index) {
  desc = nullptr;
  index = 0;
  std::string name = ref;
  int wanted = 0;
  const size_t open = ref.find('[');
  if (open != std::string::npos) {
    if (ref.back() != ']') return false;
    int32_t i;
    if (!ParseLongInt(ref.substr(open + 1, ref.size() - open - 2), i) || i < 1) return false;
    wanted = i;
    name = ref.substr(0, open);
  }
  for (const auto& f : fields) {
    if (!SameText(f.name, name)) continue;
    if ((f.count > 1) != (wanted > 0) || wanted > f.count) return false;
    desc = &f;
    index = wanted > 0 ? wanted - 1 : 0;
    return true;
  }
  return false;
}

std::string GetFieldText(const void* block, const TFieldDesc& d, int index) {
  const uint8_t* p = static_cast<const uint8_t*>(block) + d.offset + static_cast<size_t>(index) * d.stride;
  switch (d.kind) {
    case TFieldKind::U8: return std::to_string(*p);
    case TFieldKind::U16: return std::to_string(Load<uint16_t>(p));
    case TFieldKind::I16: return std::to_string(Load<int16_t>(p));
    case TFieldKind::I32: return std::to_string(Load<int32_t>(p));
    case TFieldKind::U32: return std::to_string(Load<uint32_t>(p));
    case TFieldKind::F32: return ShortestSingle(Load<float>(p));
    case TFieldKind::Date: return FormatIsoDate(Load<uint16_t>(p));
    case TFieldKind::Str: {
      const size_t len = *p <= d.maxLength ? *p : d.maxLength;
      return std::string(reinterpret_cast<const char*>(p + 1), len);
    }
  }
  return {};
}

bool SetFieldText(void* block, const TFieldDesc& d, int index, const std::string& text, std::string& error) {
  uint8_t* p = static_cast<uint8_t*>(block) + d.offset + static_cast<size_t>(index) * d.stride;
  error.clear();
  switch (d.kind) {
    case TFieldKind::F32: {
      float v;
      if (!ParseSingle(text, v)) {
        error = "is not a number";
        return false;
      }
      Store(p, v);
      return true;
    }
    case TFieldKind::Date: {
      TDayNum day = 0;
      if (!text.empty() && text != "0" && !ParseIsoDate(text, day)) {
        error = "is not a date from 1900-01-02 to 2078-12-31 written as yyyy-mm-dd";
        return false;
      }
      Store(p, static_cast<uint16_t>(day));
      return true;
    }
    case TFieldKind::Str:
      if (text.size() > d.maxLength) {
        error = "is longer than " + std::to_string(d.maxLength) + " characters";
        return false;
      }
      *p = static_cast<uint8_t>(text.size());
      std::memset(p + 1, 0, d.maxLength);
      std::memcpy(p + 1, text.data(), text.size());
      return true;
    default:
      return SetWhole(p, d.kind, text, error);
  }
}

double FieldNumber(const TFieldRec& rec, const TFieldDesc& d, int index) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&rec) + d.offset + static_cast<size_t>(index) * d.stride;
  switch (d.kind) {
    case TFieldKind::U8: return *p;
    case TFieldKind::U16:
    case TFieldKind::Date: return Load<uint16_t>(p);
    case TFieldKind::I16: return Load<int16_t>(p);
    case TFieldKind::I32: return Load<int32_t>(p);
    case TFieldKind::U32: return Load<uint32_t>(p);
    case TFieldKind::F32: return Load<float>(p);
    case TFieldKind::Str: return 0;
  }
  return 0;
}

void SetFieldNumber(TFieldRec& rec, const TFieldDesc& d, double value, int index) {
  uint8_t* p = reinterpret_cast<uint8_t*>(&rec) + d.offset + static_cast<size_t>(index) * d.stride;
  switch (d.kind) {
    case TFieldKind::U8: *p = static_cast<uint8_t>(value); break;
    case TFieldKind::U16:
    case TFieldKind::Date: Store(p, static_cast<uint16_t>(value)); break;
    case TFieldKind::I16: Store(p, static_cast<int16_t>(value)); break;
    case TFieldKind::I32: Store(p, static_cast<int32_t>(value)); break;
    case TFieldKind::U32: Store(p, static_cast<uint32_t>(value)); break;
    case TFieldKind::F32: Store(p, static_cast<float>(value)); break;
    case TFieldKind::Str: break;
  }
}
