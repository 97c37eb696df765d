// The soils update from the stand-in planner's county soils.
#include <filesystem>

#include <gtest/gtest.h>

#include "../support/PlannerStandin.h"
#include "../support/SampleProjects.h"
#include "interchange/QrlCalls.h"
#include "interchange/QrlSoils.h"

namespace {

class QrlSoilsTest : public TSampleFixture {
 protected:
  // A writable copy of the Iowa sample with some soils changed: soil symbols of one map unit
  // with two components, an unknown symbol, a soil with a Null low slope, a record without county.
  void SetUp() override {
    TSampleFixture::SetUp();
    const std::string path = Dir.File("iowa.tsj");
    std::filesystem::copy_file(kRuntimeDir + "/samples/iowa-2024.tsj", path);
    ASSERT_TRUE(File.OpenProject(path, true, Refs)) << File.FullErrorText();
    Change(1, [](TFieldRec& r) {
      SetSoil(r, 1, "638C2", "Storden loam");
      SetSoil(r, 2, "638c2", "Other name");
    });
    Change(4, [](TFieldRec& r) {
      SetSoil(r, 1, "95", "");
      SetSoil(r, 2, "999", "Unknown");
    });
    Change(6, [](TFieldRec& r) { r.County = 0; });
  }
  static void SetSoil(TFieldRec& r, int k, const char* symbol, const char* name) {
    r.Soil_Sym[k] = symbol;
    r.Soil_Name[k] = name;
    r.Soil_Slope[k] = -1;
  }
  void Change(int n, void (*change)(TFieldRec&)) {
    TFieldRec r{};
    ASSERT_TRUE(File.ReadRecord(n, r));
    change(r);
    ASSERT_TRUE(File.WriteRecord(n, r, true));
  }
  TFieldRec Record(int n) {
    TFieldRec r{};
    EXPECT_TRUE(File.ReadRecord(n, r));
    return r;
  }
  bool Update(int record, const TQrlSoilsProgress& progress = nullptr) {
    return UpdateSoilsFromPlanner(File, Mcn, record, Planner.Starter(), Updated, NotUpdated, Message, progress);
  }

  TMdaFile File;
  TTestPlanner Planner;
  int Updated = -1, NotUpdated = -1;
  std::string Message;
};

TEST_F(QrlSoilsTest, AllRecordsBySymbolAndName) {
  ASSERT_TRUE(Update(0)) << Message;
  EXPECT_EQ(Updated, 15);
  EXPECT_EQ(NotUpdated, 1);

  const TFieldRec r1 = Record(1);
  EXPECT_EQ(r1.Soil_Name[0].Str(), "Clarion loam");
  EXPECT_FLOAT_EQ(r1.Soil_Slope[0], 3);  // entered: kept
  // Symbol and name found: the second component of the map unit.
  EXPECT_EQ(r1.Soil_Name[1].Str(), "Storden loam");
  EXPECT_FLOAT_EQ(r1.Soil_Slope[1], 7);
  EXPECT_EQ(r1.Soil_Drain[1], 3);
  EXPECT_EQ(r1.Soil_Texture[1], 13);
  EXPECT_EQ(r1.Soil_Attr1[1], 140);
  EXPECT_EQ(r1.Soil_Attr2[1], 62);
  EXPECT_FLOAT_EQ(r1.Soil_Rating[1], 60);
  // Only the symbol found: the first component, with the planner's symbol and name.
  EXPECT_EQ(r1.Soil_Sym[2].Str(), "638C2");
  EXPECT_EQ(r1.Soil_Name[2].Str(), "Clarion loam");
  EXPECT_EQ(r1.Soil_Drain[2], 4);
  EXPECT_EQ(r1.Soil_Attr1[2], 150);

  const TFieldRec r4 = Record(4);
  EXPECT_EQ(r4.Soil_Name[1].Str(), "Harps clay loam");
  EXPECT_FLOAT_EQ(r4.Soil_Slope[1], 2);  // no low slope: the high one
  EXPECT_EQ(r4.Soil_Name[2].Str(), "Unknown");
  EXPECT_FLOAT_EQ(r4.Soil_Slope[2], -1);

  const TFieldRec r6 = Record(6);  // no county: untouched
  EXPECT_EQ(r6.Soil_Drain[0], 4);
  EXPECT_EQ(r6.Soil_Attr1[0], 0);
  const TFieldRec r7 = Record(7);  // a Boone County soil
  EXPECT_EQ(r7.Soil_Attr1[0], 120);
  EXPECT_FLOAT_EQ(r7.Soil_Rating[0], 58);
  EXPECT_EQ(Record(12).Soil_Texture[0], 13);  // "GR-L": loam
}

TEST_F(QrlSoilsTest, OneRecordAndStoppedRun) {
  ASSERT_TRUE(Update(4)) << Message;
  EXPECT_EQ(Updated, 2);
  EXPECT_EQ(NotUpdated, 1);
  EXPECT_EQ(Record(1).Soil_Name[2].Str(), "Other name");

  int calls = 0;
  ASSERT_TRUE(Update(0, [&](int done, int total) {
    EXPECT_EQ(total, 12);
    ++calls;
    return done < 2;
  })) << Message;
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(Updated, 5);  // records 1 and 2
  EXPECT_EQ(Record(3).Soil_Attr1[0], 0);
}

// The planner's values go through the record's checks: a soil with one that fails keeps what it
// had and counts as not updated, with the reason.
TEST_F(QrlSoilsTest, ValuesTheRecordRefusesLeaveTheSoilAsItWas) {
  const std::string soils = Dir.File("soils.txt");
  WriteWholeFile(soils, "19|169|1|138B|Clarion loam|3|2|5|Loam - L|4|-7|172|85|88\n"
                        "19|169|2|55|Nicollet\tclay loam|1|0|2|CL|5|5|0|0|0\n");
  Planner.Settings.SoilsPath = soils;
  const TFieldRec r1 = Record(1), r5 = Record(5);
  std::vector<std::string> reasons;
  ASSERT_TRUE(UpdateSoilsFromPlanner(File, Mcn, 0, Planner.Starter(), Updated, NotUpdated, Message, nullptr, &reasons))
      << Message;
  EXPECT_EQ(Updated, 0);
  EXPECT_EQ(reasons, (std::vector<std::string>{
                         "Record 1, soil 1 (138B) not updated: Soil_TValue value \"-7\" is not accepted: must be from "
                         "0.1 to 99.",
                         "Record 5, soil 1 (55) not updated: Soil_Name value \"Nicollet clay loam\" is not accepted: "
                         "must not hold control characters (it holds U+0009)."}));
  EXPECT_TRUE(SameRecord(Record(1), r1));
  EXPECT_TRUE(SameRecord(Record(5), r5));
}

TEST_F(QrlSoilsTest, RefusedBeforeOrByThePlanner) {
  TMdaFile multi;
  const std::string path = Dir.File("multi.tsj");
  std::filesystem::copy_file(kRuntimeDir + "/samples/multi-state-2024.tsj", path);
  ASSERT_TRUE(multi.OpenProject(path, true, Refs));
  EXPECT_FALSE(UpdateSoilsFromPlanner(multi, Mcn, 0, Planner.Starter(), Updated, NotUpdated, Message));
  EXPECT_EQ(Message, "Updating a multi-state project file is not supported.");
  EXPECT_EQ(Planner.Starts, 0);

  TMdaFile readOnly;
  OpenSample(readOnly, "iowa-2024");
  EXPECT_FALSE(UpdateSoilsFromPlanner(readOnly, Mcn, 0, Planner.Starter(), Updated, NotUpdated, Message));
  EXPECT_EQ(Message, "Project file is read-only or locked.");

  Planner.Missing = true;
  EXPECT_FALSE(Update(0));
  EXPECT_EQ(Message, kQrlNotStarted);
  Planner.Missing = false;
  Planner.Settings.FileVersion = "0.1.9.6";
  EXPECT_FALSE(Update(0));
  EXPECT_EQ(Message, kQrlTooOld);
  EXPECT_EQ(Record(1).Soil_Name[1].Str(), "Storden loam");  // nothing written
  EXPECT_EQ(Record(1).Soil_Drain[1], 5);
}

}  // namespace
