#include "reference/RefWriters.h"

#include <gtest/gtest.h>

#include <cstring>

#include "../support/TempDir.h"
#include "reference/RefLayout.h"

namespace {

uint16_t U16At(const std::string& image, size_t offset) {
  uint16_t v;
  std::memcpy(&v, image.data() + offset, 2);
  return v;
}

TMdfContents OneInput() {
  TMdfContents c;
  c.Release = 40000;
  c.Country = 1;
  c.Inputs.push_back({4004, "Atrazine 4L", 3.25f, 7, 5, 0x5u, 0, 0});
  return c;
}

TMcnContents TwoStates() {
  TMcnContents c;
  c.Country = 1;
  c.CountryName = "USA";
  c.States.push_back({"AL", "Alabama", 1, {{"Autauga", 1}, {"Baldwin", 3}}});
  c.States.push_back({"AK", "Alaska", 2, {{"Aleutians East", 13}}});
  return c;
}

}  // namespace

TEST(RefWriters, DefinitionFileBytesAtTheirOffsets) {
  std::string image, message;
  ASSERT_TRUE(EncodeMdf(OneInput(), image, message)) << message;
  ASSERT_EQ(image.size(), 2u * kMdfRecordSize);
  EXPECT_EQ(image[0], 4);
  EXPECT_EQ(U16At(image, 1), 40000);
  EXPECT_EQ(U16At(image, 3), 1);
  EXPECT_EQ(U16At(image, 5), 1);
  const std::string rec = image.substr(kMdfRecordSize);
  EXPECT_EQ(U16At(rec, 0), 4004);
  EXPECT_EQ(rec[2], 11);
  EXPECT_EQ(rec.substr(3, 11), "Atrazine 4L");
  float cost;
  std::memcpy(&cost, rec.data() + 33, 4);
  EXPECT_EQ(cost, 3.25f);
  EXPECT_EQ(U16At(rec, 37), 7);
  EXPECT_EQ(U16At(rec, 39), 5);
  EXPECT_EQ(U16At(rec, 41), 5);
}

TEST(RefWriters, DefinitionFileRefusesWhatTheFormatCannotHold) {
  std::string image, message;
  TMdfContents c = OneInput();
  c.Inputs[0].Name = std::string(31, 'x');
  EXPECT_FALSE(EncodeMdf(c, image, message));
  EXPECT_NE(message.find("longer than 30"), std::string::npos);
  c.Inputs[0].Name = std::string(30, 'x');
  EXPECT_TRUE(EncodeMdf(c, image, message));
  c.Inputs.assign(1001, c.Inputs[0]);
  EXPECT_FALSE(EncodeMdf(c, image, message));
  c.Inputs.resize(1000);
  EXPECT_TRUE(EncodeMdf(c, image, message));
}

TEST(RefWriters, CountyFileLinksStatesToTheirCountyBlocks) {
  std::string image, message;
  ASSERT_TRUE(EncodeMcn(TwoStates(), image, message)) << message;
  ASSERT_EQ(image.size(), 6u * kMcnRecordSize);
  EXPECT_EQ(image[0], 3);
  EXPECT_EQ(image[3], 2);
  EXPECT_EQ(U16At(image, 4), 3);
  EXPECT_EQ(image.substr(9, 3), "USA");
  const std::string alaska = image.substr(2 * kMcnRecordSize, kMcnRecordSize);
  EXPECT_EQ(U16At(alaska, 0), 5);  // after header, 2 states and Alabama's 2 counties
  EXPECT_EQ(alaska[2], 1);
  EXPECT_EQ(alaska[4], 2);
  EXPECT_EQ(alaska.substr(6, 2), "AK");
  const std::string county = image.substr(5 * kMcnRecordSize, kMcnRecordSize);
  EXPECT_EQ(county.substr(1, 14), "Aleutians East");
  EXPECT_EQ(U16At(county, 21), 13);
}

TEST(RefWriters, CountyFileRefusesWhatTheFormatCannotHold) {
  std::string image, message;
  TMcnContents c = TwoStates();
  c.States[0].Counties[0].Name = std::string(21, 'x');
  EXPECT_FALSE(EncodeMcn(c, image, message));
  c = TwoStates();
  c.States[0].Name = "North Carolinas";
  EXPECT_FALSE(EncodeMcn(c, image, message));
  c = TwoStates();
  c.States[0].Counties.assign(255, {"Texas", 1});
  EXPECT_FALSE(EncodeMcn(c, image, message));
  c.States[0].Counties.resize(254);
  EXPECT_TRUE(EncodeMcn(c, image, message)) << message;
  c.States.assign(51, c.States[1]);
  EXPECT_FALSE(EncodeMcn(c, image, message));
  EXPECT_NE(message.find("at most 50"), std::string::npos);
}

TEST(RefWriters, WritesTheImageToDiskAndReportsTheFileOnFailure) {
  TTempDir dir;
  std::string message;
  ASSERT_TRUE(WriteMcnFile(dir.File("usa.mcn"), TwoStates(), message)) << message;
  std::string image;
  ASSERT_TRUE(EncodeMcn(TwoStates(), image, message));
  EXPECT_EQ(ReadWholeFile(dir.File("usa.mcn")), image);
  EXPECT_FALSE(WriteMdfFile(dir.File("no/such/folder/stnd-usa.mdf"), OneInput(), message));
  EXPECT_NE(message.find("stnd-usa.mdf"), std::string::npos);
  EXPECT_NE(message.find("Can't create file."), std::string::npos);
}
