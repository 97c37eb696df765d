// The worksheet report of a 10,000-record project, both pages, as RTF (goal: under 3 s), and the
// subset test of its 10,000 records (goal: under 50 ms). The records are the Iowa sample
// project's twelve fields repeated under new field IDs, priced with the shipped catalogue.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "reports/RecSubset.h"
#include "reports/WrkDoc.h"
#include "store/LoadedRefs.h"
#include "store/MdaFile.h"

namespace {

constexpr int kRecords = 10000;

struct TWorksheetBenchData {
  std::string folder, project;
  TMcnFile mcn;
  TMdfFile mdf;
  std::unique_ptr<TLoadedRefs> refs;
  TMdaFile file;
  std::vector<TFieldRec> recs;
  bool ok = false;

  TWorksheetBenchData() {
    const std::string runtime = TESSEREL_RUNTIME_DIR;
    std::string templ = (std::filesystem::temp_directory_path() / "tesserel-wrk-bench.XXXXXX").string();
    folder = ::mkdtemp(templ.data());
    project = folder + "/big.tsj";
    if (!mcn.Load(runtime + "/usa.mcn") || !mdf.LoadForCountry(runtime + "/stnd-usa.mdf", mcn.CountryCode())) return;
    refs = std::make_unique<TLoadedRefs>(mcn, mdf);
    TMdaFile sample;
    if (!sample.OpenProject(runtime + "/samples/iowa-2024.tsj", false, *refs)) return;
    std::vector<TFieldRec> fields(static_cast<size_t>(sample.RecordCount()));
    for (int n = 1; n <= sample.RecordCount(); ++n) sample.ReadRecord(n, fields[static_cast<size_t>(n - 1)]);
    sample.Close();
    if (fields.empty()) return;
    for (int i = 0; i < kRecords; ++i) {
      TFieldRec rec = fields[static_cast<size_t>(i) % fields.size()];
      rec.Field_ID = 1000 + i;
      recs.push_back(rec);
    }
    TMdaFile created;
    ok = created.CreateProject(project, sample.ProjectState(), *refs, "Benchmark", 2024) &&
         created.WriteRecordBlock(1, kRecords, recs.data(), true);
    created.Close();
    ok = ok && file.OpenProject(project, false, *refs);
  }
  ~TWorksheetBenchData() {
    file.Close();
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
};

TWorksheetBenchData& Data() {
  static TWorksheetBenchData data;
  return data;
}

void BM_WorksheetRtf10000(benchmark::State& state) {
  TWorksheetBenchData& d = Data();
  if (!d.ok) return state.SkipWithError("the benchmark project could not be made");
  TWorksheetSettingsRec s;
  s.RecordsMode = rmAll;
  s.OutputKind = okRtf;
  s.OutputFileName = d.folder + "/worksheet.rtf";
  s.SaveToFile = true;
  s.ShowSoilTests = true;
  for (auto _ : state) {
    TWorksheetRun run{d.file, d.mdf, nullptr, nullptr, nullptr};
    const std::string error = RunWorksheetReport(s, "Benchmark", run, nullptr);
    if (!error.empty()) return state.SkipWithError(error.c_str());
  }
  state.counters["records/s"] = benchmark::Counter(kRecords, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(s.OutputFileName)) / 1e6;
}
BENCHMARK(BM_WorksheetRtf10000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every record classified by all sixteen data types: one class of each of several types is
// unticked, so that the walk goes on through all of them for most records.
TRecordSubset SubsetOfAllTypes(const TMdaFile& file) {
  TRecordSubset subset;
  subset.Attach(file);
  subset.Toggle(sdSlope, 4);
  subset.Toggle(sdRowWidth, 1);
  subset.Toggle(sdPTest, 4);
  subset.Toggle(sdTotalN, 4);
  return subset;
}

void BM_SubsetTest10000(benchmark::State& state) {
  TWorksheetBenchData& d = Data();
  if (!d.ok) return state.SkipWithError("the benchmark project could not be made");
  const TRecordSubset subset = SubsetOfAllTypes(d.file);
  for (auto _ : state) {
    int passed = 0;
    for (const TFieldRec& rec : d.recs) passed += subset.Contains(rec, 0, true, 0) ? 1 : 0;
    benchmark::DoNotOptimize(passed);
  }
  state.counters["records/s"] = benchmark::Counter(kRecords, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SubsetTest10000)->Unit(benchmark::kMillisecond);

// The same test with the records read from the project file, as the report command walks them.
void BM_SubsetTest10000FromFile(benchmark::State& state) {
  TWorksheetBenchData& d = Data();
  if (!d.ok) return state.SkipWithError("the benchmark project could not be made");
  const TRecordSubset subset = SubsetOfAllTypes(d.file);
  for (auto _ : state) {
    int passed = 0;
    TRecordReader reader(d.file);
    while (const TFieldRec* rec = reader.Next()) passed += subset.Contains(*rec, 0, true, 0) ? 1 : 0;
    benchmark::DoNotOptimize(passed);
  }
}
BENCHMARK(BM_SubsetTest10000FromFile)->Unit(benchmark::kMillisecond);

}  // namespace
