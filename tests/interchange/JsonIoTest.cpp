// JSON export and import of the sample projects: the round trip, and documents the import refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "../support/SampleProjects.h"
#include "interchange/JsonIo.h"

namespace {

class JsonIoTest : public TSampleFixture {
 protected:
  bool Import(const nlohmann::json& doc, std::string& message) {
    WriteWholeFile(json, doc.dump());
    int records = 0;
    return ImportFromJson(json, target, Mcn, Mdf, records, message);
  }
  bool OnlyTheDocument() {
    for (const auto& e : std::filesystem::directory_iterator(Dir.Path()))
      if (e.path() != json) return false;
    return true;
  }

  std::string json = Dir.File("farm.json"), target = Dir.File("copy.tsj");
};

TEST_F(JsonIoTest, RoundTripGivesByteIdenticalRecords) {
  for (const char* sample : {"iowa-2024", "multi-state-2024"}) {
    SCOPED_TRACE(sample);
    TMdaFile original, copy;
    OpenSample(original, sample);
    std::string message;
    int exported = 0, imported = 0;
    ASSERT_TRUE(ExportToJson(original, json, {}, exported, message)) << message;
    ASSERT_TRUE(ImportFromJson(json, target, Mcn, Mdf, imported, message)) << message;
    EXPECT_EQ(exported, original.RecordCount());
    EXPECT_EQ(imported, exported);
    TExportOptions odd;  // a subset: the document's record count is that of the records it holds
    odd.Filter = [](TFieldRec& r) { return r.Field_ID % 2 == 1; };
    int subset = 0;
    ASSERT_TRUE(ExportToJson(original, Dir.File("odd.json"), odd, subset, message)) << message;
    const nlohmann::json doc = nlohmann::json::parse(ReadWholeFile(Dir.File("odd.json")));
    EXPECT_EQ(doc["project"]["Rec_Count"], subset);
    EXPECT_EQ(doc["records"].size(), size_t(subset));
    std::filesystem::remove(Dir.File("odd.json"));
    ASSERT_TRUE(copy.OpenProject(target, false, Refs)) << copy.FullErrorText();
    ASSERT_EQ(copy.RecordCount(), original.RecordCount());
    EXPECT_EQ(copy.ProjectState(), original.ProjectState());
    EXPECT_EQ(copy.Title() + copy.Author() + copy.Company() + copy.Comments(),
              original.Title() + original.Author() + original.Company() + original.Comments());
    for (int n = 1; n <= original.RecordCount(); ++n) {
      TFieldRec a, b;
      ASSERT_TRUE(original.ReadRecord(n, a) && copy.ReadRecord(n, b));
      EXPECT_TRUE(SameRecord(a, b)) << "record " << n;
    }
    copy.Close();
    std::filesystem::remove(target);
  }
}

TEST_F(JsonIoTest, ABadValueIsNamedAndNothingIsWritten) {
  TMdaFile original;
  OpenSample(original, "iowa-2024");
  std::string message;
  int exported = 0;
  ASSERT_TRUE(ExportToJson(original, json, {}, exported, message)) << message;
  const nlohmann::json doc = nlohmann::json::parse(ReadWholeFile(json));
  const auto changed = [&doc](const std::function<void(nlohmann::json&)>& change) {
    nlohmann::json d = doc;
    change(d);
    return d;
  };
  const std::pair<nlohmann::json, std::string> refused[] = {
      {changed([](auto& d) { d["records"][1]["Cur_Crop"] = 99; }), "Record 2: Cur_Crop value \"99\" is not accepted: "},
      {changed([](auto& d) { d["records"][1]["Year"] = 2023; }),
       "Record 2: Year value \"2023\" is not accepted: must be the project's year."},
      {changed([](auto& d) { d["records"][0]["Fert_N"][0] = "lots"; }), "Record 1: Fert_N[1] value lots is not a number."},
      {changed([](auto& d) { d["records"][0]["Fert_N"].erase(0); }), "Record 1: Fert_N must be an array of 10 values."},
      {changed([](auto& d) { d["records"][2]["Cur_Crp"] = 1; }), "Record 3: unknown field \"Cur_Crp\"."},
      {changed([](auto& d) { d["records"][3]["Field_ID"] = d["records"][0]["Field_ID"]; }),
       "Record 4: Field_ID " + doc["records"][0]["Field_ID"].dump() + " is already used by record 1."},
      {changed([](auto& d) { d["records"][3]["Field_ID"] = 0; }),
       "Record 4: Field_ID value 0 is not accepted: must be from 1 to 999999999."},
      {changed([](auto& d) { d["project"]["Year"] = 1990; }),
       "project: Year value 1990 is not accepted: must be from 1993 to 2077."},
      {changed([](auto& d) { d["project"]["Country"] = 7; }), "project: Wrong country for file."},
      {changed([](auto& d) { d.erase("records"); }),
       json + "\r\nNot a project document: it needs a \"project\" object and a \"records\" array."},
  };
  for (const auto& [bad, why] : refused) {
    EXPECT_FALSE(Import(bad, message));
    EXPECT_EQ(message.substr(0, why.size()), why);
    EXPECT_TRUE(OnlyTheDocument()) << why;
  }
  WriteWholeFile(json, "{\"project\": {\"State\": 16,");
  int records = 0;
  EXPECT_FALSE(ImportFromJson(json, target, Mcn, Mdf, records, message));
  EXPECT_EQ(message.rfind(json + "\r\nNot a valid JSON document: parse error at line 1, column 26", 0), 0u) << message;
  EXPECT_TRUE(OnlyTheDocument());

  // A record needs no more than its ID; what it leaves out is as in a new record.
  ASSERT_TRUE(Import({{"project", {{"State", original.ProjectState()}, {"Year", 2024}, {"Title", "Sm\u00e5ll"}}},
                      {"records", {{{"Field_ID", 5}, {"Field_Name", "North"}}}}},
                     message))
      << message;
  TMdaFile small;
  TFieldRec rec;
  ASSERT_TRUE(small.OpenProject(target, false, Refs) && small.ReadRecord(1, rec));
  EXPECT_EQ(small.Title(), "Sm\xE5ll");
  EXPECT_EQ(small.RecordCount(), 1);
  TFieldRec expected = NewRecordTemplate(5, 2024, original.ProjectState());
  expected.Field_Name = "North";
  EXPECT_TRUE(SameRecord(rec, expected));
}

}  // namespace
