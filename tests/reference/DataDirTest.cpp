// Where the programs look for their data files: beside the program, else in the data folder of
// the installation the program lies in.
#include "reference/DataDir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../support/TempDir.h"

namespace {

class DataDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir.File("usr/bin"));
    std::filesystem::create_directories(dir.File("usr/share/tesserel"));
  }
  TTempDir dir;
};

TEST_F(DataDirTest, ProgramFolderFirstThenTheInstallationsDataFolder) {
  const std::string bin = dir.File("usr/bin"), data = dir.File("usr/share/tesserel");
  EXPECT_EQ(InstalledDataFolder(bin), data);
  EXPECT_EQ(InstalledDataFolder(bin + "/"), data);
  // Nowhere: the program's folder, where the missing file is then reported.
  EXPECT_EQ(ProgramDataFolder(bin), bin);
  // Installed under a prefix.
  WriteWholeFile(data + "/usa.mcn", "x");
  EXPECT_EQ(ProgramDataFolder(bin), data);
  // A build tree or a folder installation keeps the files beside the program; those win.
  WriteWholeFile(bin + "/usa.mcn", "x");
  EXPECT_EQ(ProgramDataFolder(bin), bin);
  // A folder of that name is not the file.
  std::filesystem::remove(bin + "/usa.mcn");
  std::filesystem::create_directory(bin + "/usa.mcn");
  EXPECT_EQ(ProgramDataFolder(bin), data);
}

}  // namespace
