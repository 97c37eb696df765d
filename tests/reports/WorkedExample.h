// The shipped reference files and the Iowa sample project with its first record, field 101.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "../support/TempDir.h"
#include "common/Locale.h"
#include "reference/MccFile.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "store/LoadedRefs.h"
#include "reports/WrkDoc.h"
#include "store/MdaFile.h"

struct TWorkedExample {
  struct TRefs {
    TMcnFile Mcn;
    TMdfFile Mdf;
  } ref;
  std::unique_ptr<TLoadedRefs> refs;
  TMdaFile file;
  TFieldRec rec{};
  std::string error;

  static std::string Runtime(const std::string& name) { return std::string(TESSEREL_RUNTIME_DIR) + "/" + name; }

  bool Fail(const TRecFile& f) {
    error = f.FullErrorText();
    return false;
  }
  bool Open() {
    if (!ref.Mcn.Load(Runtime("usa.mcn"))) return Fail(ref.Mcn);
    if (!ref.Mdf.LoadForCountry(Runtime("stnd-usa.mdf"), ref.Mcn.CountryCode())) return Fail(ref.Mdf);
    refs = std::make_unique<TLoadedRefs>(ref.Mcn, ref.Mdf);
    if (!file.OpenProject(Runtime("samples/iowa-2024.tsj"), false, *refs)) return Fail(file);
    return file.ReadRecord(1, rec) ? true : Fail(file);
  }
  // The worksheet of `record` written as plain text to `path` with the clock and the date formats
  // pinned; its lines without line ends, empty with `error` set when the report failed.
  std::vector<std::string> Worksheet(TWorksheetSettingsRec settings, const TFieldRec& record, const std::string& path) {
    PinUsLocale();
    SetReportClock([] { return TReportTime{2026, 12, 9, 14, 30, 5, 3}; });
    settings.RecordsMode = rmCurrent;
    settings.OutputKind = ReportKindForPath(path);
    settings.OutputFileName = path;
    settings.SaveToFile = true;
    TWorksheetRun run{file, ref.Mdf, &record, nullptr, nullptr};
    error = RunWorksheetReport(settings, "Tesserel 1.0.0", run, nullptr);
    SetReportClock({});
    std::vector<std::string> lines;
    std::string line;
    for (char c : ReadWholeFile(path)) {
      if (c == '\n') {
        lines.push_back(line);
        line.clear();
      } else if (c != '\r') {
        line += c;
      }
    }
    return lines;
  }
  // The first line that starts with `start`, or empty.
  static std::string LineStarting(const std::vector<std::string>& lines, const std::string& start) {
    for (const std::string& line : lines)
      if (line.rfind(start, 0) == 0) return line;
    return {};
  }

  // Seed $300 a bag, N gas $0.60/lb, rent $3.00 per CSR point, interest 8%, corn five-year price
  // $4.50; the working costs are standard again afterwards.
  bool SaveCustomCosts(const std::string& path) {
    ref.Mdf.SetInputCost(1101, 300);
    ref.Mdf.SetInputCost(2001, 0.60f);
    ref.Mdf.SetInputCost(1007, 3.00f);
    ref.Mdf.SetInputCost(1002, 8.0f);
    ref.Mdf.SetInputCost(1601, 4.50f);
    TMccFile costs;
    const bool ok = costs.SaveCosts(path, ref.Mdf);
    ref.Mdf.ResetCosts();
    return ok ? true : Fail(costs);
  }
};
