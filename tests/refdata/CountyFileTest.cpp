// Checks the shipped county names file (usa.mcn, compiled at build time) against the public FIPS
// table it is derived from: the 50 states in alphabetical order, every county of each state, and
// names as a farmer writes them.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <string>

#include "reference/McnFile.h"
#include "SourceText.h"

namespace {

const std::string kMcnPath = std::string(TESSEREL_RUNTIME_DIR) + "/usa.mcn";
const std::string kCsvPath = std::string(TESSEREL_DATA_SOURCE_DIR) + "/counties/fips-counties.csv";

struct TCsvState {
  int code = 0;
  std::map<int, std::string> counties;  // county code -> name as written in the table
};

// The FIPS table without the District of Columbia and the territories, by abbreviation.
std::map<std::string, TCsvState> ReadFipsTable() {
  const std::set<std::string> dropped = {"DC", "PR", "VI", "GU", "AS", "MP", "UM"};
  std::map<std::string, TCsvState> states;
  std::ifstream in(kCsvPath);
  std::string line;
  std::getline(in, line);  // column titles
  while (std::getline(in, line)) {
    std::vector<std::string> f = SplitFields(line, ',');
    if (f.size() < 4 || dropped.count(f[0])) continue;
    TCsvState& state = states[f[0]];
    state.code = std::stoi(f[1]);
    state.counties[std::stoi(f[2])] = f[3];
  }
  return states;
}

class CountyFileTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    mcn_ = new TMcnFile;
    loaded_ = mcn_->Load(kMcnPath);
    fips_ = new std::map<std::string, TCsvState>(ReadFipsTable());
  }
  static void TearDownTestSuite() {
    delete mcn_;
    delete fips_;
  }
  void SetUp() override { ASSERT_TRUE(loaded_) << mcn_->FullErrorText(); }

  static TMcnFile* mcn_;
  static bool loaded_;
  static std::map<std::string, TCsvState>* fips_;
};

TMcnFile* CountyFileTest::mcn_ = nullptr;
bool CountyFileTest::loaded_ = false;
std::map<std::string, TCsvState>* CountyFileTest::fips_ = nullptr;

TEST_F(CountyFileTest, HeaderDescribesTheUnitedStates) {
  EXPECT_EQ(mcn_->CountryCode(), 1);
  EXPECT_EQ(mcn_->CountryName(), "USA");
  EXPECT_EQ(mcn_->RegionWord(), "state");
  EXPECT_EQ(mcn_->AddressSelector(), 0);
  EXPECT_EQ(mcn_->StateCount(), 50);
}

TEST_F(CountyFileTest, StatesAreNumberedInAlphabeticalOrderOfTheirNames) {
  EXPECT_EQ(mcn_->StateName(1), "Alabama");
  EXPECT_EQ(mcn_->StateName(10), "Georgia");
  EXPECT_EQ(mcn_->StateName(13), "Illinois");
  EXPECT_EQ(mcn_->StateName(15), "Iowa");
  EXPECT_EQ(mcn_->StateName(49), "Wisconsin");
  EXPECT_EQ(mcn_->StateName(50), "Wyoming");
  for (int state = 1; state < 50; ++state)
    EXPECT_LT(mcn_->StateName(state), mcn_->StateName(state + 1)) << state;
  EXPECT_EQ(mcn_->FindStateByAbbrev("ia"), 15);
  EXPECT_EQ(mcn_->FindStateByCode(19), 15);
  EXPECT_EQ(mcn_->FindStateByAbbrev("DC"), 0);
}

TEST_F(CountyFileTest, EveryStateHoldsEveryCountyOfThePublicTable) {
  ASSERT_EQ(fips_->size(), 50u) << "cannot read " << kCsvPath;
  int total = 0;
  for (int state = 1; state <= mcn_->StateCount(); ++state) {
    const std::string abbrev = mcn_->StateAbbrev(state);
    SCOPED_TRACE(abbrev);
    ASSERT_TRUE(fips_->count(abbrev));
    const TCsvState& expected = fips_->at(abbrev);
    EXPECT_EQ(mcn_->StateCode(state), expected.code);
    ASSERT_EQ(mcn_->CountyCount(state), static_cast<int>(expected.counties.size()));
    auto it = expected.counties.begin();  // ascending county codes: FIPS order
    for (int county = 1; county <= mcn_->CountyCount(state); ++county, ++it) {
      EXPECT_EQ(mcn_->CountyCode(county, state), it->first);
      const std::string name = mcn_->CountyName(county, state);
      EXPECT_FALSE(name.empty());
      EXPECT_LE(name.size(), 20u);
      EXPECT_EQ(it->second.rfind(name, 0), 0u) << "\"" << name << "\" is not taken from \"" << it->second << "\"";
    }
    total += mcn_->CountyCount(state);
  }
  EXPECT_EQ(total, 3142);
  EXPECT_EQ(mcn_->CountyCount(mcn_->FindStateByAbbrev("TX")), 254);
}

TEST_F(CountyFileTest, NamesReadAsOnAForm) {
  const int va = mcn_->FindStateByAbbrev("VA"), la = mcn_->FindStateByAbbrev("LA"),
            ak = mcn_->FindStateByAbbrev("AK"), ia = mcn_->FindStateByAbbrev("IA");
  EXPECT_EQ(mcn_->CountyName(1, ia), "Adair");
  EXPECT_EQ(mcn_->CountyName(mcn_->FindCountyByCode(760, va), va), "Richmond city");
  EXPECT_EQ(mcn_->CountyName(mcn_->FindCountyByCode(159, va), va), "Richmond");
  EXPECT_EQ(mcn_->CountyName(mcn_->FindCountyByCode(33, la), la), "East Baton Rouge");
  EXPECT_EQ(mcn_->CountyName(mcn_->FindCountyByCode(20, ak), ak), "Anchorage");
  EXPECT_EQ(mcn_->CountyName(mcn_->FindCountyByCode(110, ak), ak), "Juneau");
  EXPECT_EQ(mcn_->CountyName(mcn_->FindCountyByCode(16, ak), ak), "Aleutians West");
  EXPECT_EQ(mcn_->CountyName(mcn_->FindCountyByCode(198, ak), ak), "Prince of Wales-Hyde");  // cut at 20
  for (const char* suffix : {" County", " Parish", " Borough", " Census Area", " Municipality"})
    for (int state = 1; state <= mcn_->StateCount(); ++state)
      for (int county = 1; county <= mcn_->CountyCount(state); ++county)
        EXPECT_FALSE(mcn_->CountyName(county, state).ends_with(suffix))
            << mcn_->CountyName(county, state) << " in " << mcn_->StateAbbrev(state);
}

}  // namespace
