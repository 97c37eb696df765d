#include "reference/CostTable.h"

#include <gtest/gtest.h>

#include "../support/RefSamples.h"
#include "../support/TempDir.h"
#include "vocab/CropVocab.h"

namespace {

class CostTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string message;
    ASSERT_TRUE(WriteMdfFile(dir.File("stnd-usa.mdf"), SampleCatalogue(), message)) << message;
    ASSERT_TRUE(mdf.Load(dir.File("stnd-usa.mdf")));
  }

  TTempDir dir;
  TMdfFile mdf;
};

// The rows list the passing inputs of categories 1 to 6 in file order; category 7 only counts.
TEST_F(CostTableTest, RowsFollowTheCropFilter) {
  TCostTable table(mdf);
  table.Fill(DisplayCropsMask());
  EXPECT_EQ(table.Rows(), 20);  // 10 + 3 + 3 + 2 + 0 + 2; the stray code and category 7 are not rows
  EXPECT_EQ(table.CategoryCount(7), 1);
  table.Fill(kSoyBit);
  ASSERT_EQ(table.Rows(), 10);  // 4 + 3 + 2 + 1
  std::vector<int> codes;
  for (int r = 1; r <= table.Rows(); ++r) codes.push_back(table.RowToInput(r).code);
  EXPECT_EQ(codes, (std::vector<int>{1001, 1052, 1901, 1954, 2001, 2005, 2006, 3001, 3101, 4036}));
  const TCostTable::TRowInput last = table.RowToInput(10);
  EXPECT_EQ(last.category, 4);
  EXPECT_EQ(last.position, 1);
  EXPECT_EQ(table.RowToInput(11).code, 0);
  EXPECT_EQ(table.RowToInput(0).code, 0);
  std::vector<std::string> cells;
  for (int c = ccInputName; c <= ccCostUnit; ++c) cells.push_back(table.CellText(10, c));
  EXPECT_EQ(cells, (std::vector<std::string>{"Roundup PowerMAX", "Herbicide", "CGBWOYRMFVKUTALHSEX", "30.00", "Gallon"}));
  EXPECT_EQ(table.CellText(8, ccType), "Other fert.");
  table.Fill(0);
  EXPECT_EQ(table.Rows(), 0);
}

// A typed cost: 0 to 999 with 3 decimals; an equal value (after rounding) changes nothing.
TEST_F(CostTableTest, TypedCostsAreCheckedRoundedAndStored) {
  TCostTable table(mdf);
  table.Fill(kSoyBit);
  bool changed = false;
  EXPECT_EQ(table.AcceptCost(10, "30.0004 ", changed), ceNone);
  EXPECT_FALSE(changed);
  EXPECT_EQ(table.AcceptCost(10, "12.5", changed), ceNone);
  EXPECT_TRUE(changed);
  EXPECT_EQ(mdf.InputCost(4036), 12.5f);
  EXPECT_EQ(table.CellText(10, ccUnitCost), "12.50");
  changed = false;
  EXPECT_EQ(table.AcceptCost(1, "0.1254", changed), ceNone);
  EXPECT_TRUE(changed);
  EXPECT_EQ(table.CellText(1, ccUnitCost), "0.125");
  EXPECT_EQ(table.AcceptCost(10, "999", changed), ceNone);
  EXPECT_EQ(table.CellText(10, ccUnitCost), "999.00");
  for (const char* bad : {"999.5", "-1", "1e4"}) EXPECT_EQ(table.AcceptCost(10, bad, changed), ceRange) << bad;
  for (const char* bad : {"", "  ", "12,5", "1e999", "x"}) EXPECT_EQ(table.AcceptCost(10, bad, changed), ceInvalid) << bad;
  EXPECT_EQ(mdf.InputCost(4036), 999.0f);
  EXPECT_EQ(UnitCostErrorText(ceRange),
            "Cost is not in the range 0-999.\n\nCorrect the cost or press Ctrl+Z to undo your changes.");
  EXPECT_EQ(UnitCostErrorText(ceInvalid), "Cost is invalid.\n\nCorrect the cost or press Ctrl+Z to undo your changes.");
}

}  // namespace
