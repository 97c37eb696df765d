#include "store/MdaFind.h"

#include <algorithm>

#include "common/Parse.h"
#include "common/TextUtil.h"
#include "vocab/CodeLists.h"
#include "vocab/CropVocab.h"

namespace {

// The crop whose letter is the text (one letter, without regard to case) in a crop list, or 0.
int CropOfLetterInList(TCropList list, const std::string& text) {
  if (text.size() != 1) return 0;
  for (int p = 1; p <= CropListCount(list); ++p) {
    const int crop = CropAtListPosition(list, p);
    if (UpCaseChar(CropLetter(crop)) == UpCaseChar(text[0])) return crop;
  }
  return 0;
}

int TillageOfShortName(const std::string& text) {
  for (int code = 1; code <= CodeListCount(TCodeList::Tillage); ++code)
    if (SameText(CodeShortName(TCodeList::Tillage, code), text)) return code;
  return 0;
}

bool LetterIs(uint16_t crop, const std::string& text) {
  const char letter = CropLetter(crop);
  return letter != 0 && text.size() == 1 && UpCaseChar(letter) == UpCaseChar(text[0]);
}

std::string NameAndSubfield(const TFieldRec& r) {
  std::string name = UpperCase(r.Field_Name.Str());
  if (!r.SubFld_Nam.Empty()) name += " " + UpperCase(r.SubFld_Nam.Str());
  return name;
}

}  // namespace

std::string FindKindChoice(int kind) {
  static const char* kChoices[kFindKindCount] = {
      "Field &ID",       "Field/Subfield &Name", "Field &State",          "Field Count&y",        "Ope&ration Name",
      "Cont&act",        "N&otes",               "Current Primary &Crop", "Co&ver or First Crop", "Current Primary &Tillage"};
  return kind >= 0 && kind < kFindKindCount ? kChoices[kind] : "";
}

std::string FindKindCaption(int kind) {
  std::string caption = FindKindChoice(kind);
  caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
  return caption;
}

std::string FindNotFoundText(int kind) { return "Can't find a record with that " + FindKindCaption(kind) + "."; }

std::string FindTextError(int kind, const std::string& text, const TProjectRefs& refs) {
  if (text.empty()) return "No search data specified.";
  const std::string trimmed = Trim(text);
  switch (kind) {
    case fkFieldId: {
      int32_t id = 0;
      return ParseLongInt(trimmed, id) && id >= 1 && id <= 999999999 ? "" : "Enter a valid field ID.";
    }
    case fkState:
      return refs.FindStateByAbbrev(trimmed) != 0 ? "" : "Enter a valid " + refs.RegionWord() + " abbreviation.";
    case fkPrimaryCrop:
      return CropOfLetterInList(clPrimary, trimmed) != 0 ? "" : "Enter a valid primary crop abbreviation.";
    case fkCoverCrop:
      return CropOfLetterInList(clCoverFirst, trimmed) != 0 ? "" : "Enter a valid cover or first crop abbreviation.";
    case fkTillage: return TillageOfShortName(trimmed) != 0 ? "" : "Enter a valid tillage abbreviation.";
    default: return {};
  }
}

TRecordTest MakeFindTest(int kind, const std::string& text, const TProjectRefs& refs) {
  const std::string trimmed = Trim(text);
  const std::string upper = UpperCase(text);
  const TProjectRefs* names = &refs;
  switch (kind) {
    case fkFieldId: return [trimmed](const TFieldRec& r) { return std::to_string(r.Field_ID) == trimmed; };
    case fkName: return [upper](const TFieldRec& r) { return NameAndSubfield(r).find(upper) != std::string::npos; };
    case fkState:
      return [trimmed, names](const TFieldRec& r) { return SameText(names->StateAbbrev(r.State), trimmed); };
    case fkCounty:
      return [trimmed, names](const TFieldRec& r) {
        return r.County != 0 && SameText(names->CountyName(r.County, r.State), trimmed);
      };
    case fkOperation:
      return [upper](const TFieldRec& r) { return UpperCase(r.Operation.Str()).find(upper) != std::string::npos; };
    case fkContact:
      return [upper](const TFieldRec& r) { return UpperCase(r.Contact.Str()).find(upper) != std::string::npos; };
    case fkNotes:
      return [upper](const TFieldRec& r) { return UpperCase(r.Notes.Str()).find(upper) != std::string::npos; };
    case fkPrimaryCrop: return [trimmed](const TFieldRec& r) { return LetterIs(r.Cur_Crop, trimmed); };
    case fkCoverCrop: return [trimmed](const TFieldRec& r) { return LetterIs(r.Cov_Crop, trimmed); };
    case fkTillage:
      return [trimmed](const TFieldRec& r) {
        return r.Cur_Till != 0 && SameText(CodeShortName(TCodeList::Tillage, r.Cur_Till), trimmed);
      };
    default: return [](const TFieldRec&) { return false; };
  }
}
