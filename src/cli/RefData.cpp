#include "RefData.h"

#include <filesystem>
#include <ostream>

#include "common/Cp1252.h"
#include "common/Format.h"
#include "common/Parse.h"
#include "filebase/FileUtl.h"
#include "reference/DataDir.h"

std::string RefDataDir(const TCliContext& ctx) {
  if (!ctx.dataDir.empty()) return ctx.dataDir;
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : ProgramDataFolder(exe.parent_path().string());
}

void ReportFileError(TCliContext& ctx, const TRecFile& file) {
  ctx.err << MessageToUtf8(file.FullErrorText()) << '\n';
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

int StateArgument(TCliContext& ctx, const TRefData& ref, const std::string& arg) {
  uint16_t number = 0;
  int state = 0;
  if (ParseWord(arg, number)) state = number <= ref.Mcn.StateCount() ? number : 0;
  else state = ref.Mcn.FindStateByAbbrev(Utf8ToCp1252(arg));
  if (state != 0) return state;
  ctx.err << "No " << ref.Mcn.RegionWord() << " \"" << arg << "\" in " << ref.Mcn.FileName << ".\n";
  ctx.status = 1;
  return 0;
}

void PrintLine(TCliContext& ctx, const std::string& cp1252Line) {
  ctx.out << Cp1252ToUtf8(TrimRight(cp1252Line)) << '\n';
}

std::string CostText(float cost) {
  const std::string text = FormatReal(cost, 2);
  float back = 0;
  return ParseSingle(text, back) && back == cost ? text : ShortestSingle(cost);
}
