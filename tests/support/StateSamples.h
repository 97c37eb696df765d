// A small state file for the state table and nutrient engine tests: the test file of the text
// database tests with its crop, drainage, manure, availability and county entries replaced by
// entries whose results can be worked out by hand. Written signed beside small reference files.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "RefSamples.h"
#include "TempDir.h"
#include "textdb/QriSign.h"

struct TStateSampleOptions {
  std::string Abbr = "IA";
  std::string SoilTests = "ppm";
  bool UseNModel = false;
  bool DefaultDrainage = true;
  bool Signed = true;
  std::string ExtraCropDefs;  // more [CropDef] sections, after the sample's own
};

// Crop definitions (file order is not name order: "Zea test" comes first but sorts last).
inline const char* const kSampleCropDefs = R"([CropDef=5]
Name=Zea test
CanBeCover=No
CanBeFirst=No
IsTessRec=TessCrop = 1
NRec=1

[CropDef=20]
Name=Soybeans
YldUnit=Bu
CanBeCover=No
CanBeFirst=No
IsTessRec=TessCrop = 2
ToTessCrop=2
NCredit=IIF(ISNULL(YldGoal), 30, 40)
NRec=0
PRemoved=0.8
PRec=PRemoved*YldGoal
KRemoved=1.4
KRec=KRemoved*YldGoal

[CropDef=10]
Name=Corn
YldUnit=Bu
CanBeCover=No
CanBeFirst=No
IsTessRec=TessCrop = 1
ToTessCrop=1
NCredit=0
NVar1=YldGoal*1.2
NRec=MAX(NVar1 - IIF(ISNULL(NCredit), 0, NCredit), 0)
PRemoved=0.37
PVar1=IIF(P < 20, (20 - P)*4, 0)
PRec=PVar1 + PRemoved*YldGoal
KRemoved=0.27
KRec=IIF(K < 160, (160 - K)*1.5, 0) + KRemoved*YldGoal

[CropDef=30]
Name=Corn by weight
CanBeCover=No
CanBeFirst=No
YldUnit=Lb
IsTessRec=TessCrop = 999
NRec=YldGoal/100

[CropDef=40]
Name=Cotton
CanBeCover=No
CanBeFirst=No
YldUnit=Bale
IsTessRec=TessCrop = 12
ToTessCrop=12
NRec=YldGoal*30
PRec=IIF(ISNULL(PrvCropDef), -1, PrvCropDef)

[CropDef=50]
Name=Rye cover
CanBeCover=Yes
CanBeFirst=No
IsTessRec=TessCrop = 13
NCredit=25
NRec=0

[CropDef=51]
Name=Rye grain
YldUnit=Bu
CanBeCover=No
CanBeFirst=Yes
IsTessRec=TessCrop = 13
NCredit=10
NRec=YldGoal

[CropDef=60]
Name=Hemp fiber experimental
CanBeCover=No
CanBeFirst=No
YldUnit=Ton
IsTessRec=TessCrop = 31
ToTessCrop=102
NRec=50

[CropDef=70]
Name=Barley test
CanBeCover=No
CanBeFirst=No
IsTessRec=TessCrop = 5
NVar1=YldGoal/(P - P)
NRec=NVar1

[CropDef=80]
Name=Wheat state vars
CanBeCover=No
CanBeFirst=No
IsTessRec=TessCrop = 3
NRec=IIF(ISNULL(MiscA), 0, MiscA)*1000000 + IIF(ISNULL(MiscB), 0, MiscB)*10000 + IIF(ISNULL(MiscD), 0, MiscD)
PRec=IIF(ISNULL(RecRegion), 0, RecRegion)*100 + IIF(ISNULL(SurfTex), 0, SurfTex)*10 + IIF(ISNULL(Drainage), 0, Drainage)
KRec=IIF(ISNULL(IrrWater), 0, IrrWater)*1000 + IIF(ISNULL(CropSeq), 0, CropSeq)*100 + NumCrops*10 + IIF(ISNULL(PctLegume), 0, 1)
)";

inline const char* const kSampleManureDefs = R"([ManureDef=1]
Name=Beef solid with bedding
Source=
IsLiquid=No
IsPoultry=No
TotalN=14
NH4N=4
P2O5=9
K2O=12
PctMineral=30
AnimalDef=1
StorageDef=1
IsTessAve=TessManure = 3102

[ManureDef=2]
Name=Swine liquid
Source=
IsLiquid=Yes
IsPoultry=No
TotalN=40
NH4N=30
P2O5=25
K2O=30
PctMineral=25
AnimalDef=1
StorageDef=1
IsTessAve=TessManure = 3101

[ManureDef=3]
Name=No ammonium book value
Source=
IsLiquid=No
IsPoultry=No
TotalN=10
NH4N=0
P2O5=5
K2O=5
PctMineral=20
AnimalDef=1
StorageDef=1
IsTessAve=TessManure = 3103
)";

// The sample file's text with the given options.
inline std::string SampleStateText(const TStateSampleOptions& o) {
  std::ifstream in(std::string(TESSEREL_TEST_DATA_DIR) + "/textdb/ia.qri", std::ios::binary);
  std::string text;
  bool skipping = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      skipping = line.rfind("[CropDef", 0) == 0 || line.rfind("[ManureDef", 0) == 0 || line == "[NutAvail]" ||
                 line.rfind("[DrainDef", 0) == 0 || line.rfind("[CntyCode", 0) == 0;
    }
    if (skipping) continue;
    if (line.rfind("StateAbbr=", 0) == 0) line = "StateAbbr=" + o.Abbr;
    if (line.rfind("SoilTests=", 0) == 0) line = "SoilTests=" + o.SoilTests;
    text += line + "\n";
  }
  text += std::string("\n") + kSampleCropDefs + "\n" + o.ExtraCropDefs + "\n" + kSampleManureDefs;
  text += "\n[DrainDef=1]\nName=Tile\nIsSurface=No\nUseIfDrain=No\n";
  text += std::string("\n[DrainDef=2]\nName=Surface ditch\nIsSurface=Yes\nUseIfDrain=") +
          (o.DefaultDrainage ? "Yes" : "No") + "\n";
  text += std::string("\n[NutAvail]\nUseNModel=") + (o.UseNModel ? "Yes" : "No") +
          "\nLastMoNAva=1\nPctAvailP=IIF(AnnManured, 60, 80)\nPctAvailK=90\n"
          "NVar1=IIF(ISNULL(DaysToInc), 0.5, 1 - DaysToInc/10)\nNAvail=TotalN*NVar1\n";
  text += "\n[CntyCode=1]\nName=Adair\nAppRegion=1\nRecRegion=2\n";
  text += "\n[CntyCode=3]\nName=Adams\nAppRegion=1\nRecRegion=\n";
  return text;
}

// Writes the sample state file into `folder` as abbr + ".qri", signed unless asked otherwise;
// "" on success, else why signing failed.
inline std::string WriteSampleStateFile(const std::string& folder, const TStateSampleOptions& o = {}) {
  std::string name = o.Abbr;
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::string path = folder + "/" + name + ".qri";
  WriteWholeFile(path, SampleStateText(o));
  std::string crc, error;
  if (o.Signed && !SignQriFile(path, crc, error)) return error.empty() ? "not signed" : error;
  return {};
}

// The sample catalogue with the price and manure inputs the engine tests need.
inline TMdfContents EngineCatalogue() {
  TMdfContents c = SampleCatalogue();
  // Inputs of a category stay together: the file is indexed by category ranges.
  auto after = [&c](int code, const TMdfInput& input) {
    for (size_t i = 0; i < c.Inputs.size(); ++i)
      if (c.Inputs[i].Code == code) {
        c.Inputs.insert(c.Inputs.begin() + static_cast<std::ptrdiff_t>(i) + 1, input);
        return;
      }
  };
  after(1101, {1601, "Corn price 5-yr", 4.1f, 8, 8, kCornBit, 0, 0});
  after(1601, {1612, "Cotton price 5-yr", 0.7f, 2, 2, 1u << 11, 0, 0});
  after(3001, {3102, "Beef manure, solid", 5, 3, 3, kAllCrops, 0, 0});
  after(3102, {3103, "Test manure", 5, 3, 3, kAllCrops, 0, 0});
  return c;
}

// Writes usa.mcn and stnd-usa.mdf (with the engine's inputs) into `folder`.
inline void WriteEngineReferenceFiles(const std::string& folder) {
  std::string message;
  WriteMcnFile(folder + "/usa.mcn", SampleCounties(), message);
  WriteMdfFile(folder + "/stnd-usa.mdf", EngineCatalogue(), message);
}
