// The shipped reference files and the Iowa sample project with its first record, field 101.
#pragma once

#include <memory>
#include <string>

#include "reference/MccFile.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "store/LoadedRefs.h"
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
