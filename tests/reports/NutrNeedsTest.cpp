// The sentence that tells what a null recommendation needs, with the state's own soil attribute labels.
#include <gtest/gtest.h>

#include "reports/NutrNeeds.h"
#include "textdb/QriFilDb.h"

namespace {

enum : int { kP = 0, kK = 2, kCEC = 5, kCropSeq = 18, kYldGoal = 12, kMiscA = 22 };
uint64_t Bits(std::initializer_list<int> vars) {
  uint64_t mask = 0;
  for (int v : vars) mask |= uint64_t{1} << v;
  return mask;
}

TEST(NutrNeeds, NamesTheRecordValuesAndWhereToEnterThem) {
  TQriFileDb il, in;
  ASSERT_TRUE(il.Load(std::string(TESSEREL_RUNTIME_DIR) + "/il.qri")) << il.ErrorMessage();
  ASSERT_TRUE(in.Load(std::string(TESSEREL_RUNTIME_DIR) + "/in.qri")) << in.ErrorMessage();
  EXPECT_EQ(RecNeedsText(Bits({kP, kYldGoal}), il),
            "Needs a soil phosphorus test (Soil Tests page) and a yield goal or yield for the crop (Crops page).");
  EXPECT_EQ(RecNeedsText(Bits({kMiscA}), il),
            "Needs the P-supplying power of the predominant soil (Erosion page, soils grid).");
  EXPECT_EQ(RecNeedsText(Bits({kK, kCEC, kMiscA}), in),
            "Needs a soil potassium test (Soil Tests page), the CEC, or the K, Mg and Ca tests that estimate it "
            "(Soil Tests page) and a state soil attribute of the predominant soil (Erosion page, soils grid).");
  EXPECT_EQ(RecNeedsText(Bits({kCropSeq}), il), "");  // the engine always sets it
  EXPECT_EQ(RecNeedsText(0, il), "");
}

}  // namespace
