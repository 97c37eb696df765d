// Reader of the input catalogue source (see RefSource.h).
#include <map>

#include "RefSource.h"
#include "common/Cp1252.h"
#include "common/DayNum.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "reference/RefLayout.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

namespace {

constexpr int kInputFields = 8;

// The unit code of a long unit name, or 0.
uint16_t UnitByName(const std::string& name) {
  for (int code = 1; IsUnitCode(code); ++code)
    if (SameText(UnitLongName(code), name)) return static_cast<uint16_t>(code);
  return 0;
}

// Every crop that can be grown in the current year, as a mask.
uint32_t CurrentCropsMask() {
  uint32_t mask = 0;
  for (int code = 1; code <= 31; ++code)
    if (IsCurrentCrop(code)) mask |= CropBit(code);
  return mask;
}

class TCatalogueReader {
 public:
  TCatalogueReader(const std::string& sourceName, TMdfContents& contents, TSourceFaults& faults)
      : sink_(sourceName, faults), contents_(contents) {}

  bool Read(const std::string& text) {
    contents_ = TMdfContents{};
    for (const TSourceLine& line : SourceLines(text)) {
      line_ = line.Number;
      std::vector<std::string> fields = SplitFields(line.Text, '|');
      if (fields.size() == 1)
        ReadDirective(line.Text);
      else
        ReadInput(fields);
    }
    CheckTotals();
    return !sink_.Any();
  }

 private:
  void Fault(const std::string& message) { sink_.Add(line_, message); }

  void ReadDirective(const std::string& text) {
    std::vector<std::string> words = SplitWords(text);
    if (words.size() != 2 || !Directive(words[0], words[1])) {
      Fault("expected an input line with " + std::to_string(kInputFields) +
            " fields or a directive (version, country, release): \"" + text + "\"");
      return;
    }
    if (!seen_.insert({LowerCase(words[0]), line_}).second) Fault("\"" + words[0] + "\" is given twice");
  }

  // Applies a directive; false when the key is not one.
  bool Directive(const std::string& key, const std::string& value) {
    if (SameText(key, "release")) {
      if (ParseIsoDate(value, contents_.Release)) return true;
      Fault("release date \"" + value + "\" is not a date written as YYYY-MM-DD");
      return true;
    }
    if (SameText(key, "version")) {
      uint16_t version = 0;
      if (!ParseWord(value, version) || version != kMdfVersion)
        Fault("version must be " + std::to_string(kMdfVersion));
      return true;
    }
    if (SameText(key, "country")) {
      if (!ParseWord(value, contents_.Country) || contents_.Country == 0)
        Fault("country code \"" + value + "\" is not a number from 1 to 65535");
      return true;
    }
    return false;
  }

  void ReadInput(const std::vector<std::string>& fields) {
    if (fields.size() != kInputFields) {
      Fault("an input line has " + std::to_string(kInputFields) + " fields, this one " +
            std::to_string(fields.size()));
      return;
    }
    TMdfInput input;
    bool ok = ReadCode(fields[0], input.Code);
    ok = ReadName(fields[1], input.Name) && ok;
    if (!ParseSingle(fields[2], input.Cost)) {
      Fault("cost \"" + fields[2] + "\" is not a number");
      ok = false;
    }
    ok = ReadUnit(fields[3], "cost", input.CostUnit) && ok;
    ok = ReadUnit(fields[4], "application", input.AppUnit) && ok;
    ok = ReadCrops(fields[5], input.CropMask) && ok;
    ok = ReadKinds(fields[6], fields[7], input) && ok;
    if (ok) contents_.Inputs.push_back(input);
  }

  bool ReadCode(const std::string& text, uint16_t& code) {
    if (!ParseWord(text, code) || code / 1000 < 1 || code / 1000 > 7) {
      Fault("code \"" + text + "\" is not an input code from 1000 to 7999");
      return false;
    }
    auto [it, fresh] = codeLines_.insert({code, line_});
    if (!fresh) {
      Fault("code " + text + " is given already on line " + std::to_string(it->second));
      return false;
    }
    const int category = code / 1000;
    if (category < category_) {
      Fault("code " + text + " of category " + std::to_string(category) + " follows category " +
            std::to_string(category_) + ": the categories must be contiguous and ascending");
      return false;
    }
    category_ = category;
    return true;
  }

  bool ReadName(const std::string& text, std::string& name) {
    name = Utf8ToCp1252(text);
    if (!name.empty() && name.size() <= kMaxInputNameLength) return true;
    Fault("name \"" + text + "\" must have 1 to " + std::to_string(kMaxInputNameLength) + " characters");
    return false;
  }

  bool ReadUnit(const std::string& text, const std::string& role, uint16_t& unit) {
    unit = UnitByName(text);
    if (unit != 0) return true;
    Fault(role + " unit \"" + text + "\" is not a unit name");
    return false;
  }

  bool ReadCrops(const std::string& text, uint32_t& mask) {
    mask = 0;
    if (text == "*") {
      mask = CurrentCropsMask();
      return true;
    }
    bool ok = !text.empty();
    for (char letter : text) {
      int crop = CropByLetter(letter);
      if (crop == 0 || crop > 31 || !IsCurrentCrop(crop)) {
        Fault(std::string("crop letter \"") + letter + "\" is not the letter of a current crop");
        ok = false;
      } else if (mask & CropBit(crop)) {
        Fault(std::string("crop letter \"") + letter + "\" is given twice");
        ok = false;
      } else {
        mask |= CropBit(crop);
      }
    }
    if (text.empty()) Fault("the input is allowed for no crop");
    return ok;
  }

  // Kind and sub-kind mean something only in categories 3, 6 and 7; elsewhere they are 0.
  bool ReadKinds(const std::string& kindText, const std::string& subText, TMdfInput& input) {
    if (!ParseWord(kindText, input.Kind) || !ParseWord(subText, input.SubKind)) {
      Fault("kind and sub-kind must be whole numbers");
      return false;
    }
    const int category = input.Code / 1000;
    const int kind = input.Kind, sub = input.SubKind;
    bool kindOk = kind == 0 || (category == 3 && kind <= 9) || (category == 6 && kind <= 2) ||
                  (category == 7 && (kind == 3 || kind == 4 || kind == 5 || kind == 6));
    bool subOk = sub == 0 || (category == 7 && kind == 6 && sub <= 2);
    if (!kindOk) Fault("kind " + kindText + " has no meaning in category " + std::to_string(category));
    if (!subOk) Fault("sub-kind " + subText + " has no meaning for this kind");
    return kindOk && subOk;
  }

  void CheckTotals() {
    for (const char* key : {"version", "country", "release"})
      if (!seen_.count(key)) sink_.Add(line_, std::string("the directive \"") + key + "\" is missing");
    if (contents_.Inputs.size() > kMaxInputs)
      sink_.Add(line_, std::to_string(contents_.Inputs.size()) + " inputs; at most " +
                           std::to_string(kMaxInputs) + " fit in a definition file");
  }

  TFaultSink sink_;
  TMdfContents& contents_;
  int line_ = 0;
  int category_ = 0;
  std::map<std::string, int> seen_;
  std::map<uint16_t, int> codeLines_;
};

}  // namespace

bool ParseInputCatalogue(const std::string& text, const std::string& sourceName, TMdfContents& contents,
                         TSourceFaults& faults) {
  return TCatalogueReader(sourceName, contents, faults).Read(text);
}

bool ReadInputCatalogue(const std::string& path, TMdfContents& contents, TSourceFaults& faults) {
  std::string text;
  return ReadSourceFile(path, text, faults) && ParseInputCatalogue(text, path, contents, faults);
}
