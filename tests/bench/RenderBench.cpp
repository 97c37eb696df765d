// The PDF of a 1,000-record worksheet report from our renderer beside LibreOffice's conversion of
// the same RTF (goal: at most half its time; LibreOffice is left out when it is not installed),
// and of a 10,000-record one (goal: within 2 minutes and 1 GB); and the preview of a 3,000-record
// worksheet: read into the preview's text view and its first page painted (goal: within 2 s).
// Each runs in a child process, so that its peak memory is its own.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include <QApplication>
#include <QTextBrowser>

#include "BenchSample.h"
#include "TsPreview.h"
#include "render/PageRender.h"
#include "reports/WrkDoc.h"

namespace {

struct TChildRun {
  bool ok = false;
  double seconds = 0;
  double cpuSeconds = 0;  // user and system time: what the wall time is on a machine of its own
  double peakMb = 0;
};

TChildRun InChild(const std::function<bool()>& work) {
  std::fflush(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(work() ? 0 : 1);
  TChildRun run;
  int status = 0;
  rusage usage{};
  if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid) return run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  return run;
}

// The worksheet report of `records` records (the sample's fields under new IDs) as RTF, or as
// the plain text that the preview shows.
std::string WorksheetRtf(TBenchSample& sample, int records, int kind = okRtf) {
  std::vector<TFieldRec> recs;
  for (int i = 0; i < records; ++i) {
    recs.push_back(sample.fields[static_cast<size_t>(i) % sample.fields.size()]);
    recs.back().Field_ID = 1000 + i;
  }
  const std::string name = sample.folder + "/wrk" + std::to_string(records);
  TMdaFile file;
  if (!sample.MakeProject(file, name + ".tsj", 2024, recs)) return {};
  TWorksheetSettingsRec s;
  s.RecordsMode = rmAll;
  s.OutputKind = kind;
  s.OutputFileName = name + (kind == okRtf ? ".rtf" : ".txt");
  s.SaveToFile = true;
  TWorksheetRun run{file, sample.definitions, nullptr, nullptr, nullptr};
  sample.error = RunWorksheetReport(s, "Benchmark", run, nullptr);
  return sample.error.empty() ? s.OutputFileName : std::string();
}

TChildRun Ours(const std::string& rtf) {
  return InChild([&rtf] {
    std::string error;
    return RenderRtfFileToPdf(rtf, rtf + ".pdf", {}, {}, error);
  });
}

TChildRun LibreOffice(const std::string& rtf, const std::string& folder) {
  const std::string command = "soffice -env:UserInstallation=file://" + folder + "/lo-profile --headless --convert-to pdf --outdir '" +
                              folder + "/lo' '" + rtf + "' >/dev/null 2>&1";
  return InChild([&command] { return std::system(command.c_str()) == 0; });
}

void BM_WorksheetPdf1000VersusLibreOffice(benchmark::State& state) {
  TBenchSample sample("tesserel-render-bench");
  const std::string rtf = sample.error.empty() ? WorksheetRtf(sample, 1000) : std::string();
  if (rtf.empty()) return state.SkipWithError(("no worksheet report: " + sample.error).c_str());
  const bool office = std::system("command -v soffice >/dev/null 2>&1") == 0;
  if (office) LibreOffice(WorksheetRtf(sample, 1), sample.folder);  // its profile is made once, untimed
  for (auto _ : state) {
    const TChildRun ours = Ours(rtf);
    if (!ours.ok) return state.SkipWithError("our renderer failed");
    state.SetIterationTime(ours.seconds);
    state.counters["peak_MB"] = ours.peakMb;
    state.counters["cpu_s"] = ours.cpuSeconds;
    if (!office) {
      std::printf("1,000-record worksheet PDF: ours %.1f s; LibreOffice (soffice) not installed, not compared\n",
                  ours.seconds);
      continue;
    }
    const TChildRun lo = LibreOffice(rtf, sample.folder);
    if (!lo.ok) return state.SkipWithError("LibreOffice's conversion failed");
    state.counters["libreoffice_s"] = lo.seconds;
    state.counters["libreoffice_cpu_s"] = lo.cpuSeconds;
    state.counters["ratio"] = ours.seconds / lo.seconds;
    std::printf("1,000-record worksheet PDF: ours %.1f s (CPU %.1f s), LibreOffice %.1f s (CPU %.1f s), ratio %.2f "
                "(goal: at most 0.50)\n",
                ours.seconds, ours.cpuSeconds, lo.seconds, lo.cpuSeconds, ours.seconds / lo.seconds);
  }
}
BENCHMARK(BM_WorksheetPdf1000VersusLibreOffice)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_WorksheetPdf10000(benchmark::State& state) {
  TBenchSample sample("tesserel-render-bench");
  const std::string rtf = sample.error.empty() ? WorksheetRtf(sample, 10000) : std::string();
  if (rtf.empty()) return state.SkipWithError(("no worksheet report: " + sample.error).c_str());
  for (auto _ : state) {
    const TChildRun ours = Ours(rtf);
    if (!ours.ok) return state.SkipWithError("our renderer failed");
    state.SetIterationTime(ours.seconds);
    state.counters["peak_MB"] = ours.peakMb;
    state.counters["cpu_s"] = ours.cpuSeconds;
    std::printf("10,000-record worksheet PDF: %.1f s (CPU %.1f s), peak %.0f MB (goal: within 120 s and 1024 MB)\n",
                ours.seconds, ours.cpuSeconds, ours.peakMb);
  }
}
BENCHMARK(BM_WorksheetPdf10000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The preview window of the desktop, as the report command shows it: loaded, shown and painted.
void BM_WorksheetPreview3000(benchmark::State& state) {
  TBenchSample sample("tesserel-render-bench");
  const std::string txt = sample.error.empty() ? WorksheetRtf(sample, 3000, okText) : std::string();
  if (txt.empty()) return state.SkipWithError(("no worksheet report: " + sample.error).c_str());
  for (auto _ : state) {
    const TChildRun shown = InChild([&txt] {
      const auto start = std::chrono::steady_clock::now();
      qputenv("QT_QPA_PLATFORM", "offscreen");
      int argc = 1;
      char name[] = "bench";
      char* argv[] = {name, nullptr};
      QApplication app(argc, argv);
      TRtfPreviewDlg dlg;
      dlg.SetPlainText(true);
      dlg.SetWordWrap(false);
      if (!dlg.LoadFile(QString::fromStdString(txt))) return false;
      dlg.show();
      QApplication::processEvents();
      dlg.View->viewport()->repaint();
      const double first = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      dlg.FinishLoading();
      std::printf("3,000-record worksheet preview: first page shown after %.2f s (goal: within 2 s), all read after %.2f s\n",
                  first, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
      std::fflush(stdout);
      return true;
    });
    if (!shown.ok) return state.SkipWithError("the preview failed");
    state.SetIterationTime(shown.seconds);
    state.counters["peak_MB"] = shown.peakMb;
  }
}
BENCHMARK(BM_WorksheetPreview3000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
