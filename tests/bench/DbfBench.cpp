// The dBASE export of a 10,000-record project and the import of a 10,000-row field table, next to
// ogr2ogr (when installed) copying the exported field table to a new table: the copy of the same
// bytes by a mature dBASE writer is the yardstick for both. The database and JSON exports of the
// same project (goals: 1 s and 0.5 s).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "interchange/DbExport.h"
#include "interchange/DbfExport.h"
#include "interchange/DbfFile.h"
#include "interchange/DbfImport.h"
#include "interchange/JsonIo.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "store/LoadedRefs.h"

namespace {

constexpr int kRecords = 10000;

// The shipped reference files, a project of 10,000 records made from the Iowa sample's twelve,
// and a field table of 10,000 rows.
struct TDbfBenchData {
  std::string folder, project, fields, apps, table;
  TMcnFile counties;
  TMdfFile definitions;
  std::unique_ptr<TLoadedRefs> refs;

  TDbfBenchData() {
    std::string templ = (std::filesystem::temp_directory_path() / "tesserel-dbf-bench.XXXXXX").string();
    folder = ::mkdtemp(templ.data());
    const std::string runtime = TESSEREL_RUNTIME_DIR;
    counties.Load(runtime + "/usa.mcn");
    definitions.LoadForCountry(runtime + "/stnd-usa.mdf", counties.CountryCode());
    refs = std::make_unique<TLoadedRefs>(counties, definitions);
    project = folder + "/big.tsj";
    fields = folder + "/big.fld.dbf";
    apps = folder + "/big.app.dbf";
    table = folder + "/rows.dbf";
    BuildProject(runtime + "/samples/iowa-2024.tsj");
    WriteFieldTable();
    TMdaFile f;  // the exported table ogr2ogr copies exists from the start
    f.OpenProject(project, false, *refs);
    std::string message;
    ExportToDbase(f, counties, definitions, fields, apps, nullptr, {}, message);
  }
  ~TDbfBenchData() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  void BuildProject(const std::string& sample) {
    TMdaFile in, out;
    in.OpenProject(sample, false, *refs);
    std::vector<TFieldRec> samples;
    for (TRecordReader r(in); const TFieldRec* rec = r.Next();) samples.push_back(*rec);
    out.CreateProject(project, in.ProjectState(), *refs, "Benchmark", in.ProjectYear());
    std::vector<TFieldRec> recs;
    for (int i = 0; i < kRecords && !samples.empty(); ++i) {
      TFieldRec r = samples[static_cast<size_t>(i) % samples.size()];
      r.Field_ID = i + 1;
      r.Field_Name = "Field " + std::to_string(i + 1);
      recs.push_back(r);
    }
    out.WriteRecordBlock(1, static_cast<int>(recs.size()), recs.data(), true);
  }
  // A field data table of the import's columns, one row per record of the project.
  void WriteFieldTable() {
    const std::vector<std::pair<const char*, int>> columns = {
        {"FIELD_NAME", 15}, {"CROP_YEAR", 4}, {"COUNTY", 5}, {"ACRES", 8}, {"NOTES", 60}, {"SOILTESTYR", 4},
        {"OM", 5},          {"P_BRAY1", 6},   {"K", 6},      {"SOIL_PH", 4}, {"CROP_CODE", 4}, {"YLD_GOAL", 6},
        {"SOIL1", 10},      {"SLOPE", 4},     {"PCT1", 3},   {"WTRSHD_HUC", 14}};
    TDbfFile t;
    t.CreateTable(table);
    for (const auto& [name, width] : columns) t.AddField(name, 'C', width, 0);
    for (int i = 1; i <= kRecords; ++i) {
      const std::vector<std::string> values = {"Field " + std::to_string(i), "2024", "19169", "78.5",
                                               "Tiled 2015; waterway on east side", "2023", "3.4", "24", "165",
                                               "6.4", "1", "200", "IA169" + std::to_string(100 + i % 50) + "B",
                                               "2.5", "100", "070801050302"};
      std::string row = " ";
      for (size_t c = 0; c < columns.size(); ++c) row += values[c] + std::string(columns[c].second - values[c].size(), ' ');
      t.WriteRecord(static_cast<uint32_t>(i), row.data(), false);
    }
    t.CloseTable();
  }
};

TDbfBenchData& Data() {
  static TDbfBenchData data;
  return data;
}

// ogr2ogr copying the exported field table (exported = true) or the import's table to a new table.
void Ogr2ogrCopy(benchmark::State& state, bool exported) {
  const std::string source = exported ? Data().fields : Data().table;
  if (std::system("command -v ogr2ogr > /dev/null") != 0) {
    state.SkipWithError("ogr2ogr is not installed (gdal-bin)");
    return;
  }
  const std::string copy = std::filesystem::path(source).parent_path().string() + "/copy.dbf";
  const std::string command = "ogr2ogr -overwrite -f 'ESRI Shapefile' '" + copy + "' '" + source + "'";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("ogr2ogr failed");
}

void BM_DbfExport(benchmark::State& state) {
  TDbfBenchData& d = Data();
  TMdaFile f;
  f.OpenProject(d.project, false, *d.refs);
  for (auto _ : state) {
    std::string message;
    if (!ExportToDbase(f, d.counties, d.definitions, d.fields, d.apps, nullptr, {}, message))
      state.SkipWithError(message.c_str());
  }
}

void BM_DbfImport(benchmark::State& state) {
  TDbfBenchData& d = Data();
  const std::string target = d.folder + "/imported.tsj";
  for (auto _ : state) {
    TValidationInfo info;
    std::string message;
    if (ImportFieldData(d.table, target, false, info, d.counties, d.definitions, true, message) != ifNone)
      state.SkipWithError(message.c_str());
    else if (info.Added != kRecords)
      state.SkipWithError("not every row was imported");
  }
}

void BM_DbExport(benchmark::State& state) {
  TDbfBenchData& d = Data();
  TMdaFile f;
  f.OpenProject(d.project, false, *d.refs);
  for (auto _ : state) {
    std::string message;
    if (!ExportToDatabase(f, d.counties, d.definitions, d.folder + "/big.sqlite", "bench", nullptr, {}, message))
      state.SkipWithError(message.c_str());
  }
}

void BM_JsonExport(benchmark::State& state) {
  TDbfBenchData& d = Data();
  TMdaFile f;
  f.OpenProject(d.project, false, *d.refs);
  for (auto _ : state) {
    std::string message;
    int records = 0;
    if (!ExportToJson(f, d.folder + "/big.json", {}, records, message)) state.SkipWithError(message.c_str());
  }
}

}  // namespace

BENCHMARK(BM_DbExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_JsonExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_DbfExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_DbfImport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(Ogr2ogrCopy, ExportedFieldTable, true)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(Ogr2ogrCopy, ImportFieldTable, false)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
