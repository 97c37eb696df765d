// Rebuilding a project of 10,000 records (insert, delete, merge) next to copying the same file with
// the system's copy. A rebuild writes and flushes a whole new file, so a plain copy is its floor.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "../support/RefSamples.h"
#include "filebase/FileUtl.h"
#include "store/LoadedRefs.h"
#include "store/MdaFile.h"

namespace {

void SystemCopy(const std::string& from, const std::string& to) {
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

constexpr int kRecords = 10000;

// A folder with the reference files, a master project of 10,000 records and a project to merge.
struct TBenchData {
  std::string folder, master, other, work;
  TMcnFile counties;
  TMdfFile definitions;
  std::unique_ptr<TLoadedRefs> refs;

  TBenchData() {
    std::string templ = (std::filesystem::temp_directory_path() / "tesserel-bench.XXXXXX").string();
    folder = ::mkdtemp(templ.data());
    WriteSampleReferenceFiles(folder);
    counties.Load(folder + "/usa.mcn");
    definitions.LoadForCountry(folder + "/stnd-usa.mdf", counties.CountryCode());
    refs = std::make_unique<TLoadedRefs>(counties, definitions);
    master = folder + "/master.tsj";
    other = folder + "/other.tsj";
    work = folder + "/work.tsj";
    Build(master, kRecords, 10, 0);
    Build(other, 1000, 100, 5);  // IDs between those of the master file
  }
  ~TBenchData() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  void Build(const std::string& path, int count, int step, int offset) {
    TMdaFile f;
    f.CreateProject(path, 0, *refs, "Benchmark", 2012);
    std::vector<TFieldRec> recs;
    for (int i = 0; i < count; ++i) {
      TFieldRec r = f.NewRecord((i + 1) * step + offset, 2);
      r.Field_Name = "Field " + std::to_string(i + 1) + (offset ? "b" : "");
      r.Notes = "Some notes about this field";
      recs.push_back(r);
    }
    f.WriteRecordBlock(1, count, recs.data(), true);
  }
  // A fresh writable copy of the master project (not timed).
  void OpenWork(TMdaFile& f) {
    SystemCopy(master, work);
    f.OpenProject(work, true, *refs);
  }
};

TBenchData& Data() {
  static TBenchData data;
  return data;
}

void SyncFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY);
  ::fsync(fd);
  ::close(fd);
}

void BM_SystemCopy(benchmark::State& state) {
  TBenchData& d = Data();
  for (auto _ : state) SystemCopy(d.master, d.work);
  state.SetBytesProcessed(state.iterations() * (kRecords + 1) * 2048LL);
}

void BM_SystemCopyAndSync(benchmark::State& state) {
  TBenchData& d = Data();
  for (auto _ : state) {
    SystemCopy(d.master, d.work);
    SyncFile(d.work);
  }
  state.SetBytesProcessed(state.iterations() * (kRecords + 1) * 2048LL);
}

void BM_CpCommand(benchmark::State& state) {
  TBenchData& d = Data();
  const std::string command = "cp '" + d.master + "' '" + d.work + "'";
  for (auto _ : state) benchmark::DoNotOptimize(std::system(command.c_str()));
}

void BM_InsertRecord(benchmark::State& state) {
  TBenchData& d = Data();
  for (auto _ : state) {
    state.PauseTiming();
    TMdaFile f;
    d.OpenWork(f);
    const TFieldRec r = f.NewRecord(50005, 2);
    state.ResumeTiming();
    int number = 0;
    if (!f.InsertRecord(r, 0, number)) state.SkipWithError("insert failed");
  }
}

void BM_DeleteRecord(benchmark::State& state) {
  TBenchData& d = Data();
  for (auto _ : state) {
    state.PauseTiming();
    TMdaFile f;
    d.OpenWork(f);
    state.ResumeTiming();
    TFieldRec next;
    int number = 0;
    if (!f.DeleteRecord(kRecords / 2, next, number)) state.SkipWithError("delete failed");
  }
}

void BM_MergeThousand(benchmark::State& state) {
  TBenchData& d = Data();
  for (auto _ : state) {
    state.PauseTiming();
    TMdaFile f;
    d.OpenWork(f);
    state.ResumeTiming();
    std::string message;
    int current = 0;
    TFieldRec rec;
    if (!f.MergeProject(d.other, nullptr, 1, message, current, rec)) state.SkipWithError(message.c_str());
  }
}

}  // namespace

BENCHMARK(BM_SystemCopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SystemCopyAndSync)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CpCommand)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InsertRecord)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DeleteRecord)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MergeThousand)->Unit(benchmark::kMillisecond)->UseRealTime();
