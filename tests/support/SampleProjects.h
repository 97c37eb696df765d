// The shipped reference files and the sample projects that the build puts beside the program.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "store/LoadedRefs.h"
#include "store/MdaFile.h"

inline const std::string kRuntimeDir = TESSEREL_RUNTIME_DIR;

class TSampleFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Mcn.Load(kRuntimeDir + "/usa.mcn")) << Mcn.FullErrorText();
    ASSERT_TRUE(Mdf.LoadForCountry(kRuntimeDir + "/stnd-usa.mdf", Mcn.CountryCode())) << Mdf.FullErrorText();
  }
  // Opens samples/NAME.tsj read-only.
  void OpenSample(TMdaFile& project, const std::string& name) {
    ASSERT_TRUE(project.OpenProject(kRuntimeDir + "/samples/" + name + ".tsj", false, Refs)) << project.FullErrorText();
  }

  TTempDir Dir;
  TMcnFile Mcn;
  TMdfFile Mdf;
  TLoadedRefs Refs{Mcn, Mdf};
};

// Runs a shell command; what it prints on both output streams, and whether it exited with 0.
struct TCommandRun {
  std::string out;
  bool ok = false;
};
inline TCommandRun RunCommand(const std::string& command) {
  TCommandRun r;
  if (std::FILE* p = ::popen((command + " 2>&1").c_str(), "r")) {
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
    r.ok = ::pclose(p) == 0;
  }
  return r;
}
