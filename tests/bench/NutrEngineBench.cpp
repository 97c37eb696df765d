// Records per second of the nutrient engine: every recommendation of a 10,000-record project
// spread over the shipped states (N, P2O5 and K2O of the four crop slots, the three defaults,
// the estimated CEC and the nutrients of two manure rows per record).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "reports/NutrEngine.h"
#include "store/LoadedRefs.h"
#include "vocab/CropVocab.h"
#include "store/MdaLayout.h"

namespace {

constexpr int kRecords = 10000;

struct TBenchRefs {
  TMcnFile Mcn;
  TMdfFile Mdf;
  bool Ok = false;
  TBenchRefs() {
    const std::string dir = TESSEREL_RUNTIME_DIR;
    Ok = Mcn.Load(dir + "/usa.mcn") && Mdf.Load(dir + "/stnd-usa.mdf");
  }
};

// A project's records: corn and soybean rotations with soil tests, manure and sometimes a cover crop,
// in runs of one state (records are kept in field order, so a state's fields tend to lie together).
std::vector<TFieldRec> MakeProject(TMcnFile& mcn) {
  std::vector<int> states;
  for (const char* abbr : {"IA", "IL", "MN", "WI", "AL", "GA"})
    if (int s = mcn.FindStateByAbbrev(abbr)) states.push_back(s);
  std::vector<TFieldRec> recs;
  for (int i = 0; i < kRecords && !states.empty(); ++i) {
    const int state = states[(i / 500) % states.size()];
    TFieldRec rec = NewRecordTemplate(i + 1, 2024, static_cast<uint16_t>(state));
    rec.County = static_cast<uint16_t>(1 + i % std::max(1, mcn.CountyCount(state)));
    const bool corn = i % 2 == 0;
    rec.Prev_Crop = corn ? crSoybeans : crCorn;
    rec.Prev_Yield = corn ? 55 : 190;
    rec.Cur_Crop = corn ? crCorn : crSoybeans;
    rec.Cur_Goal = corn ? 180.0f + static_cast<float>(i % 40) : 55;
    rec.Next_Crop = rec.Prev_Crop;
    if (i % 5 == 0) rec.Cov_Crop = 13;
    rec.P = static_cast<float>(5 + i % 40);
    rec.P_Units = 2;
    rec.K = static_cast<float>(90 + i % 150);
    rec.K_Units = 2;
    rec.Mg = 150;
    rec.Mg_Units = 2;
    rec.Ca = 1800;
    rec.Ca_Units = 2;
    rec.Soil_pH = 6.4f;
    rec.OM = 3.5f;
    rec.Soil_Sym[0].Set("138B");
    rec.Soil_FldPct[0] = 100;
    rec.Soil_Attr1[0] = static_cast<uint16_t>(1 + i % 3);
    rec.Soil_Attr2[0] = 1;
    rec.Man_Input[0] = i % 3 == 0 ? 3101 : 3102;
    rec.Man_Rate[0] = i % 3 == 0 ? 4000 : 15;
    rec.Man_Method[0] = static_cast<uint8_t>(2 + i % 4);
    rec.Man_Input[1] = 3112;
    rec.Man_Rate[1] = 3;
    recs.push_back(rec);
  }
  return recs;
}

void BM_AllRecommendations(benchmark::State& state) {
  TBenchRefs refs;
  if (!refs.Ok) {
    state.SkipWithError("reference files not found beside the program");
    return;
  }
  const std::vector<TFieldRec> recs = MakeProject(refs.Mcn);
  TLoadedRefs loaded(refs.Mcn, refs.Mdf);
  TStateTables tables(loaded);
  TNutrEngine engine(tables);
  double sum = 0;
  int computed = 0;
  for (auto _ : state) {
    for (const TFieldRec& rec : recs) {
      for (int slot = csPrev; slot <= csNext; ++slot)
        for (int column : {rcN, rcP2O5, rcK2O}) {
          const TRecResult r = engine.NutrientRec(column, slot, rec);
          computed += r.Error == 0;
          sum += r.Value;
        }
      double value = 0;
      for (int column : {rcN, rcP2O5, rcK2O}) computed += engine.DefaultRec(column, rec, value);
      sum += engine.EstimatedCEC(rec);
      for (int row = 1; row <= 2; ++row) sum += engine.ManureNutrients(row, rec).N;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["records/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kRecords, benchmark::Counter::kIsRate);
  state.counters["computed/record"] = static_cast<double>(computed) / (static_cast<double>(state.iterations()) * kRecords);
}
BENCHMARK(BM_AllRecommendations)->Unit(benchmark::kMillisecond);

}  // namespace
