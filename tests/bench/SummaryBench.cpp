// The ranked and tabular summaries of a 10,000-record project: the Iowa sample's twelve fields
// over and over, priced with the shipped catalogue, written as plain text and as RTF.
#include <benchmark/benchmark.h>

#include <vector>

#include "BenchSample.h"
#include "reports/RankSum.h"
#include "reports/RecSubset.h"
#include "reports/TabSum.h"

namespace {

constexpr int kRecords = 10000;

struct TSummaryBenchData : TBenchSample {
  TMdaFile file;
  TRecordSubset subset;

  TSummaryBenchData() : TBenchSample("tesserel-sumbench") {
    if (!error.empty()) return;
    std::vector<TFieldRec> recs;
    for (int i = 0; i < kRecords; ++i) {
      TFieldRec r = fields[static_cast<size_t>(i) % fields.size()];
      r.Field_ID = i + 1;
      recs.push_back(r);
    }
    if (MakeProject(file, folder + "/big.tsj", 2024, recs)) subset.Attach(file);
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
