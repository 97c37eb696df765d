// JSON export and import of the sample projects: the round trip, and documents the import refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "../support/SampleProjects.h"
#include "interchange/JsonIo.h"
#include "interchange/RecJson.h"

namespace {

class JsonIoTest : public TSampleFixture {
 protected:
  bool Import(const nlohmann::json& doc, std::string& message) {
    WriteWholeFile(json, doc.dump());
    int records = 0;
    return ImportFromJson(json, target, Mcn, Mdf, text, records, message);
  }
  bool OnlyTheDocument() {
    for (const auto& e : std::filesystem::directory_iterator(Dir.Path()))
      if (e.path() != json) return false;
    return true;
  }

  std::string json = Dir.File("farm.json"), target = Dir.File("copy.tsj");
  TTextImport text;
};

TEST_F(JsonIoTest, RoundTripGivesByteIdenticalRecords) {
  for (const char* sample : {"iowa-2024", "multi-state-2024"}) {
    SCOPED_TRACE(sample);
    TMdaFile original, copy;
    OpenSample(original, sample);
    std::string message;
    int exported = 0, imported = 0;
    ASSERT_TRUE(ExportToJson(original, json, {}, exported, message)) << message;
    ASSERT_TRUE(ImportFromJson(json, target, Mcn, Mdf, text, imported, message)) << message;
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

// The export writes its text without building documents: it must be the library's dump byte for
// byte, for every kind of value, escapes and odd numbers included.
TEST_F(JsonIoTest, WrittenTextIsTheLibrarysDump) {
  TMdaFile original;
  OpenSample(original, "iowa-2024");
  for (int n = 1; n <= original.RecordCount(); ++n) {
    TFieldRec r;
    ASSERT_TRUE(original.ReadRecord(n, r));
    if (n == 1) {
      r.Notes.Set("Q\"uote\\back\x01\x1f\t\r\n\x7f\xe9\x80");
      r.Cur_Goal = -0.0f;
      r.Cur_Yield = 1e-40f;  // subnormal
      r.Prev_Yield = 3.4e38f;
      r.Fert_Rate[0] = 1e10f;
      r.Fert_Rate[1] = 0.1f;
      r.Field_ID = -2147483647 - 1;
    }
    std::string text;
    AppendFieldsJson(RecordFields(), &r, text);
    EXPECT_EQ(text, FieldsToJson(RecordFields(), &r).dump()) << "record " << n;
  }
  std::string header;
  AppendFieldsJson(HeaderFields(), &original.Header, header);
  EXPECT_EQ(header, FieldsToJson(HeaderFields(), &original.Header).dump());
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
  EXPECT_FALSE(ImportFromJson(json, target, Mcn, Mdf, text, records, message));
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

// Documents built to hurt: nesting that would exhaust the stack, a value too large to quote, texts
// the code page cannot hold or that hold control characters. Each is refused with a short message
// naming the place, and nothing is written; with transliteration asked for, the characters the
// code page lacks are replaced and counted.
TEST_F(JsonIoTest, HostileDocumentsAreRefusedWithShortMessages) {
  const auto withNotes = [](const std::string& notes) {
    return "{\"project\": {\"State\": 15, \"Year\": 2024}, \"records\": [{\"Field_ID\": 1, \"Notes\": " + notes + "}]}";
  };
  std::string message;
  int records = 0;
  const auto import = [&](const std::string& document) {
    WriteWholeFile(json, document);
    return ImportFromJson(json, target, Mcn, Mdf, text, records, message);
  };
  constexpr size_t kDepth = 1000000;
  EXPECT_FALSE(import(withNotes(std::string(kDepth, '[') + std::string(kDepth, ']'))));
  EXPECT_EQ(message, json + "\r\nNot a valid JSON document: arrays and objects nest deeper than 64 levels at byte " +
                         std::to_string(withNotes("").size() - 3 + 62) + ".");  // the 62nd of the Notes value
  EXPECT_TRUE(OnlyTheDocument());

  // A long value of the wrong kind, a long unknown field name, a long string the parser stops in.
  const std::string big(256 << 10, 'x');
  EXPECT_FALSE(import(withNotes("[\"" + big + "\", 1]")));
  EXPECT_EQ(message, "Record 1: Notes value [\"" + big.substr(0, 38) + "... is not a text.");
  EXPECT_FALSE(import(withNotes("\"a\", \"" + big + "\": 1")));
  EXPECT_EQ(message, "Record 1: unknown field \"" + big.substr(0, 40) + "...\".");
  EXPECT_FALSE(import(withNotes("\"" + big + "\x01\"")));
  EXPECT_LT(message.size(), json.size() + 250) << message.substr(0, 400);
  EXPECT_TRUE(OnlyTheDocument());

  const std::string lodz = "\"\xC5\x81\xC3\xB3" "d\xC5\xBA \xE4\xB8\xAD\xE6\x96\x87\"";  // "Łódź 中文"
  EXPECT_FALSE(import(withNotes(lodz)));
  EXPECT_EQ(message, "Record 1: Notes holds the character U+0141, which code page 1252 cannot hold.");
  EXPECT_TRUE(text.Refused);
  EXPECT_FALSE(import(withNotes("\"Tiled\\tin 2015\"")));
  EXPECT_EQ(message, "Record 1: Notes value \"Tiled in 2015\" is not accepted: must not hold control characters (it "
                     "holds U+0009).");
  EXPECT_FALSE(import("{\"project\": {\"State\": 15, \"Year\": 2024, \"Title\": \"A\\u0000B\"}, \"records\": []}"));
  EXPECT_EQ(message, "project: Title is not accepted: must not hold control characters (it holds U+0000).");
  EXPECT_TRUE(OnlyTheDocument());

  text.Transliterate = true;
  ASSERT_TRUE(import(withNotes(lodz).replace(withNotes(lodz).find("\"State"), 0, "\"Comments\": \"Two\\r\\nlines\", ")))
      << message;
  EXPECT_EQ(text.Replaced, 4);
  TMdaFile made;
  TFieldRec rec;
  ASSERT_TRUE(made.OpenProject(target, false, Refs) && made.ReadRecord(1, rec)) << made.FullErrorText();
  EXPECT_EQ(rec.Notes.Str(), "L\xF3" "dz ??");
  EXPECT_EQ(made.Comments(), "Two\r\nlines");
}

}  // namespace
