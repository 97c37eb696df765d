#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "../support/SdmServer.h"
#include "../support/TempDir.h"
#include "interchange/SdmToSls.h"
#include "store/LoadedRefs.h"

namespace {

const std::string kRuntime = TESSEREL_RUNTIME_DIR;
const char* const kAction = "\"http://SDMDataAccess.nrcs.usda.gov/Tabular/SDMTabularService.asmx/RunQuery\"";

// The Iowa sample project (six fields in Story county, six in Boone) copied, opened for writing,
// and a stand-in service with the two counties' map units.
class SdmUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("no_proxy", "127.0.0.1", 1);  // the stand-in is local whatever proxy the machine uses
    ASSERT_TRUE(mcn.Load(kRuntime + "/usa.mcn"));
    ASSERT_TRUE(mdf.LoadForCountry(kRuntime + "/stnd-usa.mdf", mcn.CountryCode()));
    std::filesystem::copy_file(kRuntime + "/samples/iowa-2024.tsj", path);
    ASSERT_TRUE(file.OpenProject(path, true, refs));
    settings.endpoint = server.Url();
  }
  TFieldRec Read(int n) {
    TFieldRec rec{};
    EXPECT_TRUE(file.ReadRecord(n, rec));
    return rec;
  }
  void Write(int n, const TFieldRec& rec) { ASSERT_TRUE(file.WriteRecord(n, rec, true)); }
  bool Unchanged(int n, const TFieldRec& before) {
    const TFieldRec now = Read(n);
    return std::memcmp(&now, &before, sizeof now) == 0;
  }
  bool Update(int record) { return UpdateSoilsFromSdm(file, record, settings, updated, notUpdated, message); }

  TTempDir dir;
  std::string path = dir.File("iowa.tsj");
  TMcnFile mcn;
  TMdfFile mdf;
  TLoadedRefs refs{mcn, mdf};
  TMdaFile file;
  TSdmServer server;
  TSdmSettings settings;
  int updated = -1, notUpdated = -1;
  std::string message;
};

TEST_F(SdmUpdateTest, UpdatesEverySoilOfTheProject) {
  TFieldRec r1 = Read(1), r3 = Read(3);
  r1.Soil_Name[0] = "";          // any major component: the first by share
  r1.Soil_Name[1] = "nicollet";  // LIKE ignores letter case
  r3.Soil_Name[0] = "Harps";
  r3.Soil_Slope[0] = -1.0f;
  r1.Soil_Drain[0] = r1.Soil_Drain[1] = r3.Soil_Drain[0] = r1.Soil_Texture[0] = r3.Soil_Texture[0] = 0;
  Write(1, r1);
  Write(3, r3);
  TFieldRec r4 = Read(4);
  r4.Soil_Name[0] = "O'Neill";
  Write(4, r4);
  const TFieldRec r2 = Read(2), r12 = Read(12);

  ASSERT_TRUE(Update(0)) << message;
  EXPECT_EQ(message, "");
  EXPECT_EQ(updated, 13);    // 14 soils with a symbol
  EXPECT_EQ(notUpdated, 1);  // 27B is not mapped in Boone county

  r1 = Read(1);
  EXPECT_EQ(r1.Soil_Name[0].Str(), "Clarion");
  EXPECT_FLOAT_EQ(r1.Soil_Slope[0], 3);  // stored slopes are kept
  EXPECT_EQ(r1.Soil_Texture[0], 13);     // L
  EXPECT_EQ(r1.Soil_Drain[0], 4);        // Moderately well
  EXPECT_EQ(r1.Soil_Name[1].Str(), "Nicollet");
  EXPECT_EQ(r1.Soil_Drain[1], 5);  // Somewhat poorly
  r3 = Read(3);
  EXPECT_EQ(r3.Soil_Name[0].Str(), "Harps");
  EXPECT_FLOAT_EQ(r3.Soil_Slope[0], 1);  // 0 to 2 percent
  EXPECT_EQ(r3.Soil_Texture[0], 17);     // CL
  EXPECT_EQ(r3.Soil_Drain[0], 6);        // Poorly
  // "Clarion loam" is no component's name: the map unit comes back without one, and the record
  // keeps its soil name and drainage class.
  EXPECT_TRUE(Unchanged(2, r2));
  EXPECT_EQ(Read(4).Soil_Name[0].Str(), "O'Neill");
  EXPECT_TRUE(Unchanged(12, r12));

  const std::vector<TSdmRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 12u + 14u);  // one survey area query per record, one map unit query per soil
  for (const TSdmRequest& r : requests) {
    EXPECT_EQ(r.soapAction, kAction);
    EXPECT_EQ(r.contentType, "text/xml; charset=utf-8");
  }
  EXPECT_EQ(requests[0].query, SurveyAreaQuery("IA169"));  // Story county, FIPS 169
  EXPECT_EQ(requests[1].query, MapUnitQuery("'IA169'", "138B", ""));
  EXPECT_EQ(requests[2].query, MapUnitQuery("'IA169'", "55", "nicollet"));
  EXPECT_NE(requests[9].query.find("AND c.compname LIKE 'O''Neill' "), std::string::npos) << requests[9].query;
  EXPECT_EQ(requests[14].query, SurveyAreaQuery("IA015"));  // Boone county, record 7
  EXPECT_NE(requests[15].query.find("IN ('IA015') INNER JOIN mapunit mu ON mu.lkey = l.lkey AND LOWER(mu.musym) = '62c2'"),
            std::string::npos);
}

TEST_F(SdmUpdateTest, OneRecordTouchesNoOther) {
  std::vector<TFieldRec> before;
  for (int n = 1; n <= file.RecordCount(); ++n) before.push_back(Read(n));
  TFieldRec r5 = before[4];
  r5.Soil_Name[0] = "Nicollet";
  r5.Soil_Sym[1] = "138B";
  r5.County = 1;  // Adair county: no survey area in the stand-in, so no map unit query
  Write(5, r5);
  settings.endpoint.clear();
  setenv(kSdmEndpointVariable, server.Url().c_str(), 1);
  const bool ok = Update(5);
  unsetenv(kSdmEndpointVariable);
  settings.endpoint = server.Url();
  ASSERT_TRUE(ok) << message;
  EXPECT_EQ(updated, 0);
  EXPECT_EQ(notUpdated, 2);
  EXPECT_EQ(server.Queries(), std::vector<std::string>{SurveyAreaQuery("IA001")});

  r5.County = 85;
  Write(5, r5);
  ASSERT_TRUE(Update(5)) << message;
  EXPECT_EQ(updated, 2);
  EXPECT_EQ(notUpdated, 0);
  EXPECT_EQ(Read(5).Soil_Drain[0], 5);
  EXPECT_EQ(Read(5).Soil_Name[1].Str(), "Clarion");
  for (int n = 1; n <= file.RecordCount(); ++n)
    EXPECT_TRUE(n == 5 || Unchanged(n, before[n - 1])) << "record " << n;
}

// Each failure ends the update with the step's message and the reason; records written before it
// stay written, the record in hand is not written.
TEST_F(SdmUpdateTest, ServiceFailuresEndTheUpdate) {
  const std::string secret = dir.File("secret.txt");
  WriteWholeFile(secret, "CONFIDENTIAL");
  const std::string soilData = "Unable to retrieve soil data from Soil Data Mart Web service. ";
  const struct {
    std::function<void(httplib::Response&)> reply;
    std::string message;
  } cases[] = {
      {[](auto& res) {
         res.status = 500;
         res.set_content(SdmFaultXml("Invalid query: Invalid column name 'musym'."), "text/xml");
       },
       soilData + "The service reported: Invalid query: Invalid column name 'musym'."},
      {[](auto& res) {
         res.status = 500;
         res.set_content("<html>Runtime Error</html>", "text/html");
       },
       soilData + "The service answered with HTTP status 500."},
      {[](auto& res) { res.set_content("<soap:Envelope><soap:Body>", "text/xml"); },
       soilData + "The answer is not well-formed XML (Start-end tags mismatch)."},
      {[&](auto& res) {
         std::string xml = SdmAnswerXml({"musym", "compname"}, {{"95", "X"}});
         xml.replace(xml.find(">X<") + 1, 1, "&s;");
         res.set_content("<!DOCTYPE d [<!ENTITY s SYSTEM \"file://" + secret + "\">]>" + xml.substr(38), "text/xml");
       },
       soilData + "The answer carries a document type declaration."},
      {[](auto& res) { res.set_content(std::string(1536 * 1024, ' '), "text/xml"); },
       soilData + "The answer is larger than 1 MB."},
      {[](auto& res) {
         res.set_chunked_content_provider("text/xml", [](size_t, httplib::DataSink& sink) {
           return sink.write(std::string(64 * 1024, ' ').data(), 64 * 1024);  // without end
         });
       },
       soilData + "The answer is larger than 1 MB."},
  };
  settings.maxAnswerBytes = 1 << 20;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    file.Close();
    std::filesystem::copy_file(kRuntime + "/samples/iowa-2024.tsj", path, std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(file.OpenProject(path, true, refs));
    TFieldRec r1 = Read(1);
    r1.Soil_Name[0] = "Clarion";
    r1.Soil_Drain[0] = 0;
    Write(1, r1);
    const TFieldRec r3 = Read(3);
    // Record 3's map unit query fails.
    server.SetReply([&c](const std::string& query, httplib::Response& res) {
      if (query.find("'95'") == std::string::npos) return false;
      c.reply(res);
      return true;
    });
    EXPECT_FALSE(Update(0));
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(Read(1).Soil_Drain[0], 4);  // written before the failure
    EXPECT_TRUE(Unchanged(3, r3));
  }
  server.SetReply([](const std::string&, httplib::Response& res) {
    res.status = 503;
    return true;
  });
  EXPECT_FALSE(Update(2));
  EXPECT_EQ(message, "Unable to retrieve soil survey information from Soil Data Mart Web service. The service "
                     "answered with HTTP status 503.");
}

// Values of a hostile answer go through the record's checks: a soil with one that fails keeps
// what it had and counts as not updated, with the reason; the other soils are updated.
TEST_F(SdmUpdateTest, RefusedValuesLeaveTheSoilAsItWas) {
  TFieldRec r3 = Read(3);
  r3.Soil_Slope[0] = -1.0f;  // takes the answer's slopes
  Write(3, r3);
  std::vector<TFieldRec> before;
  for (int n = 1; n <= file.RecordCount(); ++n) before.push_back(Read(n));
  server.SetReply([](const std::string& query, httplib::Response& res) {
    const std::pair<const char*, TSdmCells> hostile[] = {
        {"= '95' ", {"95", "Harps", "500", "1e300", "5"}},
        {"= '507' ", {"507", "Canisteo", "1", "2", "-7"}},
        {"= '62c2' ", {"62C2", "Storden\tloam", "5", "9", "5"}},
        {"= '107' ", {"107", "\xC5\x81\xC3\xB3" "d\xC5\xBA", "1", "2", "5"}},  // "Łódź"
    };
    for (const auto& [symbol, row] : hostile) {
      if (query.find(symbol) == std::string::npos) continue;
      res.set_content(SdmAnswerXml({"musym", "compname", "slope_l", "slope_h", "tfact"}, {row}), "text/xml");
      return true;
    }
    return false;
  });
  std::vector<std::string> reasons;
  ASSERT_TRUE(UpdateSoilsFromSdm(file, 0, settings, updated, notUpdated, message, &reasons)) << message;
  EXPECT_EQ(updated, 8);
  EXPECT_EQ(notUpdated, 6);  // 27B is not mapped in Boone county
  EXPECT_EQ(reasons, (std::vector<std::string>{
                         "Record 2, soil 2 (507) not updated: tfact value \"-7\" is not accepted: must be from 0.1 to 99.",
                         "Record 3, soil 1 (95) not updated: slope_l and slope_h values \"500\" and \"1e300\" give "
                         "5e+299, which is not accepted: must be from 0 to 50.",
                         "Record 4, soil 1 (507) not updated: tfact value \"-7\" is not accepted: must be from 0.1 to 99.",
                         "Record 7, soil 1 (62C2) not updated: compname value must not hold control characters (it "
                         "holds U+0009).",
                         "Record 10, soil 1 (107) not updated: compname value holds the character U+0141, which code "
                         "page 1252 cannot hold."}));
  for (int n : {3, 4, 7, 10}) EXPECT_TRUE(Unchanged(n, before[n - 1])) << "record " << n;
}

TEST_F(SdmUpdateTest, SlowServiceTimesOut) {
  server.SetReply([](const std::string&, httplib::Response&) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    return false;
  });
  settings.totalTimeoutMs = 200;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Update(1));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(message.rfind("Unable to retrieve soil survey information from Soil Data Mart Web service. The service "
                          "did not answer in time: Operation timed out after ", 0), 0u) << message;
}

TEST_F(SdmUpdateTest, RefusesAnUntrustedCertificate) {
  TSdmServer tls(dir.Path());
  settings.endpoint = tls.Url();
  EXPECT_FALSE(Update(1));
  EXPECT_EQ(message.rfind("Unable to retrieve soil survey information from Soil Data Mart Web service. SSL peer "
                          "certificate or SSH remote key was not OK: ", 0), 0u) << message;
  EXPECT_TRUE(tls.Requests().empty());
}

TEST_F(SdmUpdateTest, RefusesFilesItCannotUpdate) {
  EXPECT_FALSE(Update(13));
  EXPECT_EQ(message, "Record 13 is not in the project file.");
  file.Close();
  ASSERT_TRUE(file.OpenProject(path, false, refs));
  EXPECT_FALSE(Update(0));
  EXPECT_EQ(message, "Project file is read-only or locked.");
  file.Close();
  ASSERT_TRUE(file.CreateProject(dir.File("empty.tsj"), 1, refs, "Empty", 2024));
  EXPECT_FALSE(Update(0));
  EXPECT_EQ(message, "Project file contains no records.");
  file.Close();
  std::filesystem::copy_file(kRuntime + "/samples/multi-state-2024.tsj", dir.File("multi.tsj"));
  ASSERT_TRUE(file.OpenProject(dir.File("multi.tsj"), true, refs));
  EXPECT_FALSE(Update(0));
  EXPECT_EQ(message, "Updating a multi-state project file is not supported.");
  EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
