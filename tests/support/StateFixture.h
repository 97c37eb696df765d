// A folder with the small reference files and the sample state file, loaded into state tables.
#pragma once

#include <gtest/gtest.h>

#include "StateSamples.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "store/LoadedRefs.h"
#include "store/StateTables.h"

// State numbers of the sample county names file.
enum : uint16_t { kStateAL = 1, kStateIA = 2, kStateNM = 3 };

class TStateFixture : public ::testing::Test {
 public:
  // An Iowa record in Adair county with the given current crop.
  static TFieldRec Record(uint16_t crop = 0) {
    TFieldRec rec = NewRecordTemplate(1, 2024, kStateIA);
    rec.County = 1;
    rec.Cur_Crop = crop;
    return rec;
  }

 protected:
  void SetUp() override {
    WriteEngineReferenceFiles(Dir.Path());
    ASSERT_EQ(WriteSampleStateFile(Dir.Path()), "");
    ASSERT_TRUE(Mcn.Load(Dir.File("usa.mcn"))) << Mcn.FullErrorText();
    ASSERT_TRUE(Mdf.Load(Dir.File("stnd-usa.mdf"))) << Mdf.FullErrorText();
  }

  TTempDir Dir;
  TMcnFile Mcn;
  TMdfFile Mdf;
  TLoadedRefs Refs{Mcn, Mdf};
  TStateTables Tables{Refs};
};
