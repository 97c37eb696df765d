// The ranked and tabular summaries of a 10,000-record project: the Iowa sample's twelve fields
// over and over, priced with the shipped catalogue, written as plain text and as RTF.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "reports/RankSum.h"
#include "reports/RecSubset.h"
#include "reports/TabSum.h"
#include "store/LoadedRefs.h"
#include "store/MdaFile.h"

namespace {

constexpr int kRecords = 10000;

struct TSummaryBenchData {
  std::string folder;
  TMcnFile counties;
  TMdfFile definitions;
  std::unique_ptr<TLoadedRefs> refs;
  TMdaFile file;
  TRecordSubset subset;
  std::string error;  // why the project could not be made

  TSummaryBenchData() {
    const std::string runtime = TESSEREL_RUNTIME_DIR;
    std::string templ = (std::filesystem::temp_directory_path() / "tesserel-sumbench.XXXXXX").string();
    folder = ::mkdtemp(templ.data());
    counties.Load(runtime + "/usa.mcn");
    definitions.LoadForCountry(runtime + "/stnd-usa.mdf", counties.CountryCode());
    refs = std::make_unique<TLoadedRefs>(counties, definitions);
    TMdaFile sample;
    if (!sample.OpenProject(runtime + "/samples/iowa-2024.tsj", false, *refs) || sample.RecordCount() == 0) {
      error = sample.FullErrorText();
      return;
    }
    std::vector<TFieldRec> recs;
    for (int i = 0; i < kRecords; ++i) {
      TFieldRec r{};
      sample.ReadRecord(i % sample.RecordCount() + 1, r);
      r.Field_ID = i + 1;
      recs.push_back(r);
    }
    file.CreateProject(folder + "/big.tsj", sample.ProjectState(), *refs, "Benchmark", sample.ProjectYear());
    file.WriteRecordBlock(1, kRecords, recs.data(), true);
    subset.Attach(file);
  }
  ~TSummaryBenchData() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
};

TSummaryBenchData& Data() {
  static TSummaryBenchData data;
  return data;
}

template <class TDoc, class TSettings>
void RunSummary(benchmark::State& state, int kind, const TSettings& settings) {
  TSummaryBenchData& d = Data();
  if (!d.error.empty()) return state.SkipWithError(d.error.c_str());
  const std::string out = d.folder + (kind == okRtf ? "/out.rtf" : "/out.txt");
  for (auto _ : state) {
    const std::string error = WriteSummaryFile<TDoc>(out, kind, settings, d.subset, "Bench", d.file, d.definitions);
    if (!error.empty()) state.SkipWithError(error.c_str());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_RankedSummary(benchmark::State& state) {
  TRankedSummarySettingsRec s;
  s.Columns.set();  // all 24 columns
  RunSummary<TRankedSummaryDoc>(state, static_cast<int>(state.range(0)), s);
}
BENCHMARK(BM_RankedSummary)->Arg(okText)->Arg(okRtf)->Unit(benchmark::kMillisecond);

void BM_TabularSummary(benchmark::State& state) {
  TTabularSummarySettingsRec s;
  s.Columns.set();  // all 17 columns
  RunSummary<TTabularSummaryDoc>(state, static_cast<int>(state.range(0)), s);
}
BENCHMARK(BM_TabularSummary)->Arg(okText)->Arg(okRtf)->Unit(benchmark::kMillisecond);

}  // namespace
