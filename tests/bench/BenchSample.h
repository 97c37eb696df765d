// What the report benchmarks share: a scratch folder, the shipped reference files and the records
// of the Iowa sample project, from which they build their large projects.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "store/LoadedRefs.h"
#include "store/MdaFile.h"

struct TBenchSample {
  std::string folder;
  TMcnFile counties;
  TMdfFile definitions;
  std::unique_ptr<TLoadedRefs> refs;
  std::vector<TFieldRec> fields;  // the sample's records
  uint16_t state = 0;             // the sample's state
  std::string error;              // why the sample or a project could not be had

  explicit TBenchSample(const std::string& name) {
    const std::string runtime = TESSEREL_RUNTIME_DIR;
    std::string templ = (std::filesystem::temp_directory_path() / (name + ".XXXXXX")).string();
    folder = ::mkdtemp(templ.data());
    counties.Load(runtime + "/usa.mcn");
    definitions.LoadForCountry(runtime + "/stnd-usa.mdf", counties.CountryCode());
    refs = std::make_unique<TLoadedRefs>(counties, definitions);
    TMdaFile sample;
    if (!sample.OpenProject(runtime + "/samples/iowa-2024.tsj", false, *refs) || sample.RecordCount() == 0) {
      error = sample.FullErrorText();
      return;
    }
    state = sample.ProjectState();
    TRecordReader reader(sample);
    while (const TFieldRec* rec = reader.Next()) fields.push_back(*rec);
  }
  ~TBenchSample() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }

  // Writes a project of `recs` of the sample's state; false with `error` set.
  bool MakeProject(TMdaFile& file, const std::string& path, uint16_t year, const std::vector<TFieldRec>& recs) {
    if (file.CreateProject(path, state, *refs, "Benchmark", year) &&
        file.WriteRecordBlock(1, static_cast<int>(recs.size()), recs.data(), true))
      return true;
    error = file.FullErrorText();
    return false;
  }
};
