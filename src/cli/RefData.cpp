#include "RefData.h"

#include <filesystem>
#include <ostream>

#include "filebase/FileUtl.h"

std::string RefDataDir(const TCliContext& ctx) {
  if (!ctx.dataDir.empty()) return ctx.dataDir;
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : exe.parent_path().string();
}

void ReportFileError(TCliContext& ctx, const TRecFile& file) {
  ctx.err << file.FullErrorText() << '\n';
  ctx.status = 1;
}

bool LoadRefData(TCliContext& ctx, TRefData& ref) {
  const std::string countyFile = AddSlash(RefDataDir(ctx)) + kCountyFileName;
  if (!ref.Mcn.Load(countyFile)) {
    ReportFileError(ctx, ref.Mcn);
    return false;
  }
  if (!ref.Mdf.LoadForCountry(DefinitionFileName(countyFile), ref.Mcn.CountryCode())) {
    ReportFileError(ctx, ref.Mdf);
    return false;
  }
  return true;
}
