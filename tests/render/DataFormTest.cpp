// The data collection forms the build writes beside the program, read back by poppler: the blank
// form has every entry of a record with nothing filled in, the sample form the same entries with
// the values of the Iowa sample project's first record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/PdfText.h"

namespace {

const std::string kBlankForm = std::string(TESSEREL_RUNTIME_DIR) + "/BlankForm.pdf";
const std::string kSampleForm = std::string(TESSEREL_RUNTIME_DIR) + "/SampleForm.pdf";

// The section titles in the order they are printed.
const std::vector<std::string> kSections = {
    "Identification", "Operator Address", "Crop History", "Soil Tests",     "Planting",
    "Fertilizer",     "Other fertilizers", "Manure",      "Herbicides",     "Insecticides",
    "Erosion and Drainage", "Harvest", "Field Operations", "Other Inputs", "Soils"};

// Entries of every part of the record, as the form labels them (units and code hints included).
const std::vector<std::string> kLabels = {
    "Field ID:", "Field name:", "Subfield:", "Harvest year:", "County:", "Field size (acres):",
    "Cash rent value ($/acre):", "FSA tract:", "Watershed number (HUC):", "Notes:", "Street address:", "Zip code:",
    "Business phone:", "E-mail address:", "Previous crop", "Cover or first crop", "Primary crop", "Next crop",
    "% legume", "Irrigation water nitrate N (ppm):", "Source of fertilizer recommendations:", "P test method:",
    "Buffer pH:", "CEC (meq/100 g):", "Basal stalk nitrate (ppm):", "EC (mmhos/cm):", "Planting date (mm/dd/yyyy):",
    "Row width (in):", "Seeds per pound:", "Zone-till coulters", "Trait 5:", "Tillage: No-till, Mulch-till",
    "Forms: Gas, Dry, Liquid, Suspension, Foliar.", "Tot. N NH4-N P2O5 K2O % DM Method Date",
    "Manure is applied to this field every year", "PPI Preplant incorporated", "Insecticide (product) Rate/A Unit Method",
    "Operation (implement and size) Trips Date", "Input Description Rate/A Unit Cost/A ($) Date",
    "Residue cover after planting (%):", "Artificial drainage type:", "Moisture or sugar (%):",
    "Seed yield per acre (cotton):", "Symbol Soil name Slope % % of field T value Rating Texture Drainage class"};

void ExpectEveryEntry(const std::string& words) {
  size_t at = 0;
  for (const std::string& section : kSections) {
    const size_t found = words.find(" " + section + " ", at);
    EXPECT_NE(found, std::string::npos) << section << " missing or out of order";
    if (found != std::string::npos) at = found;
  }
  for (const std::string& label : kLabels) EXPECT_NE(words.find(label), std::string::npos) << label;
  // The tables keep every row of the record: 12 herbicides, 20 operations.
  EXPECT_NE(words.find(" 12. Insecticides "), std::string::npos);
  EXPECT_NE(words.find(" 20. Other Inputs "), std::string::npos);
}

TEST(DataFormTest, BlankFormHasEveryEntryAndNothingFilledIn) {
  const std::string words = PdfWords(kBlankForm);
  // The title above the body of every page, then the form's own heading.
  EXPECT_EQ(words.rfind("Field Data Collection Form Field Data Collection Form One form per field", 0), 0u)
      << words.substr(0, 200);
  EXPECT_EQ(words.substr(words.size() - 11), "Page 4 of 4");
  ExpectEveryEntry(words);
  EXPECT_NE(words.find("Field ID: Field name: Subfield: Harvest year: State: County:"), std::string::npos);
  EXPECT_NE(words.find("Previous crop Cover or first crop Primary crop Next crop Years"), std::string::npos);
  EXPECT_NE(words.find("[ ] No-till coulters [ ] Row cleaners"), std::string::npos);
  EXPECT_NE(words.find(" 1. 2. 3. 4. 5. 6. 7. 8. 9. 10. Other fertilizers"), std::string::npos);
  EXPECT_EQ(words.find("/20"), std::string::npos);  // no date
  EXPECT_EQ(words.find("[X]"), std::string::npos);
  EXPECT_EQ(PdfPages(kBlankForm), "4 612 x 792");
}

TEST(DataFormTest, SampleFormHasTheEntriesOfTheSampleRecord) {
  const std::string words = PdfWords(kSampleForm);
  EXPECT_EQ(words.rfind("Sample Data Collection Form Sample Data Collection Form Filled in from field 101 (Home) of "
                        "the sample project "
                        "iowa-2024.tsj, \"Hansen Family Farms 2024\"", 0),
            0u)
      << words.substr(0, 200);
  ExpectEveryEntry(words);
  for (const char* filled :
       {"Field ID: 101 Field name: Home Subfield: North Harvest year: 2024 State: Iowa County: Story",
        "Field size (acres): 78.5 Cash rent value ($/acre): 285 FSA tract: 1842 FSA field: 3",
        "Watershed number (HUC): 070801050302 Notes: Tiled 2015; waterway on east side",
        "Operation: Hansen Family Farms Contact: Karen Hansen Street address: 24871 580th Avenue Town: Nevada",
        "Previous crop Soybeans Mulch-till 58 Soybeans Cover or first crop Primary crop Corn Mulch-till 210 Corn, grain",
        "Year sampled: 2023 P test method: Bray-P1 P: 24 Unit: ppm K: 182 Unit: ppm Mg:",
        "Water pH: 6.4 Buffer pH: 6.9 CEC (meq/100 g): 22.4 Organic matter (%): 3.8 Nitrate N (ppm): 14",
        "Planting date (mm/dd/yyyy): 05/02/2024 Planter (name and size): John Deere 1775NT 16-row",
        "Hybrid or variety: Pioneer P1185AM Maturity (days or group): 111",
        "[ ] Zone-till coulters [X] No-till coulters [X] Row cleaners [ ] Coulter combo units",
        "Trait 1: SmartStax PRO Trait 2:", "1. 82 150 Pound Gas 04/15/2024 2. 11 52 150 Pound Dry 11/02/2023 3.",
        "1. Acuron Flexi 2.5 Quart PPI 05/04/2024 2. Roundup PowerMAX 3 32 Ounce Pre 06/12/2024 3.",
        "Residue cover after planting (%): 35 Water soil loss (t/A/yr): 2.8 Wind soil loss (t/A/yr): 0.6",
        "Harvested area (acres): 78.5 Net weight: 913200 Weight unit: Pound",
        "Yield per acre: 205.6 Harvest date: 10/12/2024",
        "1. Field cultivator 1 04/24/2024 2. Plant corn, row planter 1 05/02/2024",
        "1. 138B Clarion loam 3 55 5 88 L Moderately well 2. 55 Nicollet clay loam 1 45 5 91 CL Somewhat poorly 3."})
    EXPECT_NE(words.find(filled), std::string::npos) << filled;
}

}  // namespace
