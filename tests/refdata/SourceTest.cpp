// The readers of the readable reference sources and the compile tools built on them: faults are
// reported with their line numbers and fail the compilation, and the shipped binaries are the
// compiled current sources.
#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>

#include "../support/TempDir.h"
#include "RefSource.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

namespace {

const std::string kHeader = "version 4\ncountry 1\nrelease 2026-01-15\n";

bool HasFault(const TSourceFaults& faults, const std::string& text) {
  for (const std::string& fault : faults)
    if (fault.find(text) != std::string::npos) return true;
  return false;
}

std::string Faults(const TSourceFaults& faults) {
  std::string all;
  for (const std::string& fault : faults) all += fault + "\n";
  return all;
}

TEST(InputCatalogueSource, ReadsInputsWithUnitsCropsAndKinds) {
  const std::string text = kHeader +
                           "# comment\n"
                           "1101 | Corn seed | 280.50 | 80K Bag | 80K Bag | C | 0 | 0\n"
                           "\n"
                           "3104 | Swine, solid w/bed | 12 | Ton | ton | * | 1 | 0\n"
                           "7051 | Custom planting | 35 | Trip | Trip | CB | 6 | 1\n";
  TMdfContents contents;
  TSourceFaults faults;
  ASSERT_TRUE(ParseInputCatalogue(text, "t.txt", contents, faults)) << Faults(faults);
  EXPECT_EQ(contents.Country, 1);
  EXPECT_EQ(contents.Release, EncodeDay(2026, 1, 15));
  ASSERT_EQ(contents.Inputs.size(), 3u);
  const TMdfInput& seed = contents.Inputs[0];
  EXPECT_EQ(seed.Code, 1101);
  EXPECT_EQ(seed.Name, "Corn seed");
  EXPECT_FLOAT_EQ(seed.Cost, 280.5f);
  EXPECT_EQ(seed.CostUnit, unBag80K);
  EXPECT_EQ(seed.CropMask, CropBit(crCorn));
  EXPECT_EQ(contents.Inputs[1].AppUnit, unTon);
  EXPECT_EQ(contents.Inputs[1].Kind, 1);
  // "*" is every crop that can be grown in the current year: 19 of them, "Other" included.
  EXPECT_EQ(std::popcount(contents.Inputs[1].CropMask), 19);
  EXPECT_TRUE(contents.Inputs[1].CropMask & CropBit(crOther));
  EXPECT_EQ(contents.Inputs[2].CropMask, CropBit(crCorn) | CropBit(crSoybeans));
  EXPECT_EQ(contents.Inputs[2].SubKind, 1);
}

TEST(InputCatalogueSource, ReportsEveryFaultWithItsLine) {
  const std::string text = kHeader +                                                            // lines 1-3
                           "4001 | Atrazine 4L | 16 | Gallon | Quart | CGM | 0 | 0\n"          // 4: fine
                           "1001 | Soil loss | 3 | Ton | Ton | * | 0 | 0\n"                    // 5: order
                           "4002 | A name that is much too long for it | 1 | Gallon | Pint | C | 0 | 0\n"
                           "4003 | Unit | 1 | Litre | Pint | C | 0 | 0\n"                      // 7
                           "4004 | Crop | 1 | Gallon | Pint | CZ | 0 | 0\n"                    // 8: CRP
                           "4001 | Again | 1 | Gallon | Pint | C | 0 | 0\n"                    // 9
                           "8001 | Outside | 1 | Gallon | Pint | C | 0 | 0\n"                  // 10
                           "4005 | Kind | 1 | Gallon | Pint | C | 2 | 0\n"                     // 11
                           "4006 | Short | 1 | Gallon | Pint | C | 0\n"                        // 12
                           "4007 | Cost | 1,5 | Gallon | Pint | C | 0 | 0\n";                  // 13
  TMdfContents contents;
  TSourceFaults faults;
  EXPECT_FALSE(ParseInputCatalogue(text, "t.txt", contents, faults));
  for (int line = 5; line <= 13; ++line)
    EXPECT_TRUE(HasFault(faults, "t.txt:" + std::to_string(line) + ":")) << line << "\n" << Faults(faults);
  EXPECT_TRUE(HasFault(faults, "contiguous"));
  EXPECT_TRUE(HasFault(faults, "given already on line 4"));
  EXPECT_FALSE(HasFault(faults, "t.txt:4:"));
}

TEST(InputCatalogueSource, DirectivesAreRequiredAndChecked) {
  TMdfContents contents;
  TSourceFaults faults;
  EXPECT_FALSE(ParseInputCatalogue("version 3\nrelease 2026-02-30\n", "t.txt", contents, faults));
  EXPECT_TRUE(HasFault(faults, "t.txt:1: version must be 4")) << Faults(faults);
  EXPECT_TRUE(HasFault(faults, "t.txt:2: release date")) << Faults(faults);
  EXPECT_TRUE(HasFault(faults, "\"country\" is missing")) << Faults(faults);
}

TEST(InputCatalogueSource, RefusesMoreInputsThanTheFileHolds) {
  std::string text = kHeader;
  for (int i = 0; i < 1001; ++i) text += std::to_string(6000 + i) + " | Op | 1 | Trip | Trip | C | 0 | 0\n";
  TMdfContents contents;
  TSourceFaults faults;
  EXPECT_FALSE(ParseInputCatalogue(text, "t.txt", contents, faults));
  EXPECT_TRUE(HasFault(faults, "1001 inputs")) << Faults(faults);
}

TEST(CountyTableSource, ReadsCountryStatesAndCounties) {
  const std::string text =
      "country\t1\tUSA\tstate\t0\n"
      "state\t19\tIA\tIowa\n"
      "county\t001\tAdair\n"
      "county\t003\tAdams\n";
  TMcnContents contents;
  TSourceFaults faults;
  ASSERT_TRUE(ParseCountyTable(text, "c.txt", contents, faults)) << Faults(faults);
  EXPECT_EQ(contents.Country, 1);
  EXPECT_EQ(contents.CountryName, "USA");
  EXPECT_FALSE(contents.Province);
  ASSERT_EQ(contents.States.size(), 1u);
  EXPECT_EQ(contents.States[0].Code, 19);
  ASSERT_EQ(contents.States[0].Counties.size(), 2u);
  EXPECT_EQ(contents.States[0].Counties[1].Code, 3);
  EXPECT_EQ(contents.States[0].Counties[1].Name, "Adams");
}

TEST(CountyTableSource, ReportsEveryFaultWithItsLine) {
  const std::string text =
      "county\t001\tOrphan\n"                          // 1: before any state
      "country\t1\tUnited States\tstate\t0\n"          // 2: name too long
      "state\t19\tIA\tIowa\n"                          // 3
      "county\t003\tAdams\n"                           // 4
      "county\t001\tAdair\n"                           // 5: not ascending
      "county\t005\tA county name far too long\n"      // 6
      "state\t20\tKS\tKansas\n"                        // 7: no counties
      "state\t19\tIA\tIowa again\n"                    // 8: twice
      "county\t001\tAdams\n";
  TMcnContents contents;
  TSourceFaults faults;
  EXPECT_FALSE(ParseCountyTable(text, "c.txt", contents, faults));
  for (int line : {1, 2, 5, 6, 7, 8}) EXPECT_TRUE(HasFault(faults, "c.txt:" + std::to_string(line) + ":")) << line << "\n" << Faults(faults);
  EXPECT_FALSE(HasFault(faults, "c.txt:4:"));
}

// The compile tools fail (and so fail the build) on a faulty source and name the line.
TEST(CompileTools, FailOnFaultySourceAndNameTheLine) {
  TTempDir dir;
  WriteWholeFile(dir.File("bad.txt"), kHeader + "4001 | Atrazine | 16 | Gallon | Quartz | C | 0 | 0\n");
  const std::string tool = std::string(TESSEREL_RUNTIME_DIR) + "/mdf-compile";
  const std::string command = tool + " " + dir.File("bad.txt") + " " + dir.File("out.mdf") + " 2> " + dir.File("err.txt");
  EXPECT_NE(std::system(command.c_str()), 0);
  EXPECT_NE(ReadWholeFile(dir.File("err.txt")).find("bad.txt:4:"), std::string::npos);
  EXPECT_TRUE(ReadWholeFile(dir.File("out.mdf")).empty());
}

// The files in the runtime folder are the compiled current sources, byte for byte.
TEST(CompileTools, ShippedFilesAreTheCompiledSources) {
  TMdfContents mdf;
  TMcnContents mcn;
  TSourceFaults faults;
  ASSERT_TRUE(ReadInputCatalogue(std::string(TESSEREL_DATA_SOURCE_DIR) + "/inputs/stnd-usa.txt", mdf, faults))
      << Faults(faults);
  ASSERT_TRUE(ReadCountyTable(std::string(TESSEREL_DATA_SOURCE_DIR) + "/counties/usa-counties.txt", mcn, faults))
      << Faults(faults);
  std::string mdfImage, mcnImage, message;
  ASSERT_TRUE(EncodeMdf(mdf, mdfImage, message)) << message;
  ASSERT_TRUE(EncodeMcn(mcn, mcnImage, message)) << message;
  EXPECT_EQ(ReadWholeFile(std::string(TESSEREL_RUNTIME_DIR) + "/stnd-usa.mdf"), mdfImage);
  EXPECT_EQ(ReadWholeFile(std::string(TESSEREL_RUNTIME_DIR) + "/usa.mcn"), mcnImage);
}

// The county table is derived, never edited: running the derivation again gives the same text.
TEST(CompileTools, CountyTableIsTheDerivationOfTheFipsTable) {
  TTempDir dir;
  const std::string counties = std::string(TESSEREL_DATA_SOURCE_DIR) + "/counties/";
  const std::string command = "awk -f " + counties + "derive-counties.awk " + counties + "fips-counties.csv > " +
                              dir.File("derived.txt");
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadWholeFile(dir.File("derived.txt")), ReadWholeFile(counties + "usa-counties.txt"));
}

}  // namespace
