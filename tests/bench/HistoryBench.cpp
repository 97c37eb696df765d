// The field history of 1,000 fields over 10 years (goal: under 2 s as plain text): ten project
// files of the Iowa sample's twelve fields over and over, the crops rotating and the yields varying.
#include <benchmark/benchmark.h>

#include <vector>

#include "BenchSample.h"
#include "reports/FieldHist.h"

namespace {

constexpr int kFields = 1000;
constexpr int kYears = 10;

struct THistoryBenchData : TBenchSample {
  std::vector<std::string> files;

  THistoryBenchData() : TBenchSample("tesserel-histbench") {
    for (int y = 0; y < kYears && error.empty(); ++y) {
      const uint16_t year = static_cast<uint16_t>(2015 + y);
      std::vector<TFieldRec> recs;
      for (int i = 0; i < kFields; ++i) {
        TFieldRec r = fields[static_cast<size_t>(i + y) % fields.size()];  // the crops rotate
        r.Field_ID = i + 1;
        r.Year = year;
        r.Cur_Yield = r.Cur_Yield * (0.8f + 0.04f * static_cast<float>((i + 3 * y) % 10));
        recs.push_back(r);
      }
      TMdaFile file;
      files.push_back(folder + "/" + std::to_string(year) + ".tsj");
      MakeProject(file, files.back(), year, recs);
    }
  }
};

THistoryBenchData& Data() {
  static THistoryBenchData data;
  return data;
}

void BM_FieldHistory(benchmark::State& state) {
  THistoryBenchData& d = Data();
  if (!d.error.empty()) return state.SkipWithError(d.error.c_str());
  THistorySettingsRec s;
  s.Files = d.files;
  s.OutputKind = okText;
  s.OutputFileName = d.folder + "/history.txt";
  s.SaveToFile = true;
  for (auto _ : state) {
    THistoryRun run{*d.refs, d.definitions};
    const std::string error = RunFieldHistory(s, "Bench", run, nullptr);
    if (!error.empty()) state.SkipWithError(error.c_str());
  }
  state.SetItemsProcessed(state.iterations() * kFields * kYears);
}
BENCHMARK(BM_FieldHistory)->Unit(benchmark::kMillisecond);

}  // namespace
