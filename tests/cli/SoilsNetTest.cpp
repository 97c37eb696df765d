#include <gtest/gtest.h>

#include <filesystem>

#include "../support/CliRun.h"
#include "../support/SdmServer.h"
#include "../support/TempDir.h"

namespace {

TEST(SoilsNetTest, UpdatePrintsCountsOrTheFailure) {
  setenv("no_proxy", "127.0.0.1", 1);
  TTempDir dir;
  const std::string path = dir.File("iowa.tsj");
  std::filesystem::copy_file(std::string(TESSEREL_RUNTIME_DIR) + "/samples/iowa-2024.tsj", path);
  TSdmServer server;
  const std::vector<std::string> common = {"--service", server.Url(), "--data-dir", TESSEREL_RUNTIME_DIR};
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.end(), common.begin(), common.end());
    return RunTool(args);
  };

  TCliRun r = run({"soils", "update", path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Updated=13\nNotUpdated=1\n");
  r = run({"soils", "update", path, "12"});
  EXPECT_EQ(r.out, "Updated=0\nNotUpdated=1\n");
  EXPECT_EQ(server.Requests().size(), 26u + 2u);
  r = run({"soils", "update", path, "13"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Enter a record number in the range 1-12.\n");

  server.SetReply([](const std::string&, httplib::Response& res) {
    res.status = 502;
    return true;
  });
  r = run({"soils", "update", path, "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Unable to retrieve soil survey information from Soil Data Mart Web service. The service "
                   "answered with HTTP status 502.\n");
}

}  // namespace
