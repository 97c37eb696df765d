// Runs the benchmarks and then prints the speed goals, each measured figure beside its goal: wall
// and CPU time per run, and the ratios of the evaluator to muparser and of a rebuild to a copy.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct TTimes {
  double RealNs = 0, CpuNs = 0;
};

// The console output as usual, keeping each run's times per iteration by benchmark name.
class TGoalReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, TTimes> Times;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.error_occurred || r.run_type != Run::RT_Iteration || r.iterations == 0) continue;
      const double n = static_cast<double>(r.iterations);
      Times[r.run_name.str()] = {r.real_accumulated_time * 1e9 / n, r.cpu_accumulated_time * 1e9 / n};
    }
  }
  // The first benchmark whose name starts with `prefix`; null when none ran.
  const TTimes* Find(const std::string& prefix) const {
    const auto it = Times.lower_bound(prefix);
    return it != Times.end() && it->first.compare(0, prefix.size(), prefix) == 0 ? &it->second : nullptr;
  }
};

void Line(const std::string& what, const std::string& measured, const std::string& goal, bool met) {
  std::printf("%-70s %-34s %-14s %s\n", what.c_str(), measured.c_str(), goal.c_str(), met ? "met" : "NOT MET");
}

// muparser's CPU time over ours: how many times faster ours is.
void Ratio(const TGoalReporter& r, const std::string& what, const std::string& ours, const std::string& theirs,
           double goal) {
  const TTimes* a = r.Find(ours);
  const TTimes* b = r.Find(theirs);
  if (!a || !b) return;
  const double ratio = b->CpuNs / a->CpuNs;
  char text[80];
  std::snprintf(text, sizeof text, "%.2fx (%.1f vs %.1f ns CPU)", ratio, a->CpuNs, b->CpuNs);
  char target[32];
  std::snprintf(target, sizeof target, "at least %.0fx", goal);
  Line(what, text, target, ratio >= goal);
}

void Millis(const TGoalReporter& r, const std::string& what, const std::string& name, double goalMs) {
  const TTimes* t = r.Find(name);
  if (!t) return;
  char text[80];
  std::snprintf(text, sizeof text, "%.0f ms (%.0f ms CPU)", t->RealNs / 1e6, t->CpuNs / 1e6);
  char target[32];
  std::snprintf(target, sizeof target, "under %.0f ms", goalMs);
  Line(what, text, target, t->RealNs / 1e6 < goalMs);
}

void PrintGoals(const TGoalReporter& r) {
  std::printf("\nSpeed goals (wall time unless said; on a busy machine read the CPU times and ratios)\n");
  static const char* const kFormulas[] = {"A*2+B*3-C/4", "(A+B)*(C-1.5)/(A+10)", "150-0.5*B+0.02*B*B-MAX(A,C)",
                                          "(YldGoal*1.2-NCredit)*(1-PctLegume/100)+SQR(A)"};
  for (int i = 0; i < 4; ++i) {
    const std::string arg = "/" + std::to_string(i);
    Ratio(r, std::string("compiled vs muparser: ") + kFormulas[i], "BM_CompiledBound" + arg, "BM_MuParser" + arg, 2);
  }
  for (int i = 0; i < 4; ++i) {
    const std::string arg = "/" + std::to_string(i);
    Ratio(r, std::string("from text vs muparser: ") + kFormulas[i], "BM_Evaluate" + arg, "BM_MuParser" + arg, 1);
  }
  Millis(r, "every default recommendation of 10,000 records", "BM_AllRecommendations", 150);
  Millis(r, "JSON export of 10,000 records", "BM_JsonExport", 250);
  Millis(r, "SQLite export of 10,000 records", "BM_DbExport", 400);
  const TTimes* insert = r.Find("BM_InsertRecord");
  const TTimes* copy = r.Find("BM_SystemCopyAndSync");
  if (insert && copy) {
    const double ratio = insert->RealNs / copy->RealNs;
    char text[80];
    std::snprintf(text, sizeof text, "%.2fx (%.1f vs %.1f ms)", ratio, insert->RealNs / 1e6, copy->RealNs / 1e6);
    Line("insert into 10,000 records vs copying the file with fsync", text, "at most 1.2x", ratio <= 1.2);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TGoalReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintGoals(reporter);
  benchmark::Shutdown();
  return 0;
}
