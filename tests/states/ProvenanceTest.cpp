// Every crop definition of a shipped state file says where its rates come from: a comment line
// "; checked: ..." or "; provisional: ..." inside its section.
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace {

struct TProvenance {
  int Definitions = 0;
  int Checked = 0;
  int Provisional = 0;
  std::string Unmarked;  // names of the sections without either line
};

TProvenance ReadProvenance(const std::filesystem::path& file) {
  TProvenance result;
  std::ifstream in(file);
  std::string line, section;
  bool inCrop = false, marked = false;
  auto close = [&] {
    if (inCrop && !marked) result.Unmarked += section + " ";
  };
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind('[', 0) == 0) {
      close();
      section = line;
      inCrop = line.rfind("[CropDef=", 0) == 0;
      marked = false;
      result.Definitions += inCrop;
    } else if (inCrop && (line.rfind("; checked:", 0) == 0 || line.rfind("; provisional:", 0) == 0)) {
      marked = true;
      (line[2] == 'c' ? result.Checked : result.Provisional)++;
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
    EXPECT_EQ(p.Checked + p.Provisional, p.Definitions) << entry.path() << ": one line per definition";
  }
  EXPECT_GE(files, 14);
}

}  // namespace
