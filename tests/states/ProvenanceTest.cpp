// Every crop definition of a shipped state file says where its rates come from: a comment line
// "; checked: ..." or "; provisional: ..." inside its section, and its Provisional setting (which the
// program reads to flag the rates) names exactly the unchecked rates that the comments speak of.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/TextUtil.h"

#include <gtest/gtest.h>

namespace {

struct TProvenance {
  int Definitions = 0;
  int Checked = 0;
  int Provisional = 0;
  std::string Unmarked;  // names of the sections without either line
  std::string Mismatched;  // sections whose Provisional setting and comments disagree
};

// Whether a Provisional list names only known rates; `any` tells whether it names one.
bool ValidRates(const std::string& list, bool& any) {
  std::stringstream words(list);
  std::string word;
  any = false;
  while (std::getline(words, word, ',')) {
    word.erase(0, word.find_first_not_of(' '));
    word.erase(word.find_last_not_of(' ') + 1);
    if (word != "N" && word != "P2O5" && word != "K2O" && word != "NCredit") return false;
    any = true;
  }
  return true;
}

TProvenance ReadProvenance(const std::filesystem::path& file) {
  TProvenance result;
  std::ifstream in(file);
  std::string line, section;
  bool inCrop = false, marked = false, speaksOfUnchecked = false, listsUnchecked = false, validList = true;
  auto close = [&] {
    if (inCrop && !marked) result.Unmarked += section + " ";
    if (inCrop && (!validList || speaksOfUnchecked != listsUnchecked)) result.Mismatched += section + " ";
  };
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const bool comment = line.rfind(';', 0) == 0;
    if (line.rfind('[', 0) == 0) {
      close();
      section = line;
      inCrop = line.rfind("[CropDef=", 0) == 0;
      marked = speaksOfUnchecked = listsUnchecked = false;
      validList = true;
      result.Definitions += inCrop;
    } else if (!inCrop) {
      continue;
    } else if (line.rfind("Provisional=", 0) == 0) {
      validList = ValidRates(line.substr(12), listsUnchecked);
    } else if (comment) {
      speaksOfUnchecked = speaksOfUnchecked || LowerCase(line).find("provisional") != std::string::npos;
      if (line.rfind("; checked:", 0) == 0 || line.rfind("; provisional:", 0) == 0) {
        marked = true;
        (line[2] == 'c' ? result.Checked : result.Provisional)++;
      }
    }
  }
  close();
  return result;
}

TEST(Provenance, EveryCropDefinitionSaysWhereItsRatesComeFrom) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(TESSEREL_DATA_SOURCE_DIR) + "/states")) {
    if (entry.path().extension() != ".qri") continue;
    ++files;
    const TProvenance p = ReadProvenance(entry.path());
    EXPECT_GT(p.Definitions, 0) << entry.path();
    EXPECT_EQ(p.Unmarked, "") << entry.path() << ": crop definitions without a checked or provisional line";
    EXPECT_GE(p.Checked + p.Provisional, p.Definitions) << entry.path() << ": a line for every definition";
    EXPECT_EQ(p.Mismatched, "") << entry.path() << ": a Provisional setting that the comments do not explain, "
                                 << "or provisional comments without the setting, or an unknown rate in it";
  }
  EXPECT_GE(files, 20);
}

}  // namespace
