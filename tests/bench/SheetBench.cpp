// The workbook and CSV exports of a project of 10,000 records made from the Iowa sample's (goal:
// 1 s each, as for the database export).
#include <benchmark/benchmark.h>

#include "BenchSample.h"
#include "interchange/CsvExport.h"
#include "interchange/XlsxExport.h"

namespace {

struct TSheetBenchData : TBenchSample {
  TMdaFile project;
  TSheetBenchData() : TBenchSample("tesserel-sheet-bench") {
    std::vector<TFieldRec> recs;
    for (int i = 0; i < 10000 && !fields.empty(); ++i) {
      recs.push_back(fields[static_cast<size_t>(i) % fields.size()]);
      recs.back().Field_ID = i + 1;
      recs.back().Field_Name = "Field " + std::to_string(i + 1);
    }
    if (error.empty()) MakeProject(project, folder + "/big.tsj", 2024, recs);
  }
};

TSheetBenchData& Data() {
  static TSheetBenchData data;
  return data;
}

void BM_XlsxExport(benchmark::State& state) {
  TSheetBenchData& d = Data();
  for (auto _ : state) {
    std::string message;
    if (!d.error.empty() || !ExportToXlsx(d.project, d.counties, d.definitions, d.folder + "/big.xlsx", "bench",
                                          nullptr, {}, message))
      state.SkipWithError((d.error + message).c_str());
  }
}

void BM_CsvExport(benchmark::State& state) {
  TSheetBenchData& d = Data();
  for (auto _ : state) {
    std::string message;
    if (!d.error.empty() || !ExportToCsv(d.project, d.counties, d.definitions, CsvFileNames(d.folder + "/big", ""),
                                         "bench", nullptr, {}, message))
      state.SkipWithError((d.error + message).c_str());
  }
}

}  // namespace

BENCHMARK(BM_XlsxExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
