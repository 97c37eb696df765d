#include "TsStart.h"

#include <filesystem>
#include <system_error>

#include "Version.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"

TProgramVersionInfo TProgramVersionInfo::OfThisProgram() {
  TProgramVersionInfo v;
  v.CompanyName = TESSEREL_COMPANY_NAME;
  v.FileDescription = TESSEREL_FILE_DESCRIPTION;
  v.FileVersion = TESSEREL_FILE_VERSION;
  v.InternalName = TESSEREL_INTERNAL_NAME;
  v.LegalCopyright = TESSEREL_LEGAL_COPYRIGHT;
  v.OriginalFilename = TESSEREL_ORIGINAL_FILENAME;
  v.ProductName = TESSEREL_PRODUCT_NAME;
  v.ProductVersion = TESSEREL_PRODUCT_VERSION;
  return v;
}

TAppStartup::TAppStartup(const std::vector<std::string>& args, const std::string& programFile)
    : VersionInfo(TProgramVersionInfo::OfThisProgram()), Args(args) {
  ProgramId = VersionInfo.InternalName + " " + VersionInfo.FileVersion;
  NormalStart = !IsAutomationStart(args);
  ProgramFolder = ExtractFileDir(ExpandFileName(programFile));
  Rusle2Folder = IsFolder(ProgramFile("Rusle2")) ? ProgramFile("Rusle2") : ProgramFolder;
  // The automation server starts the program anywhere; its files are found beside it.
  // A folder that vanished shows when the required files are opened.
  std::error_code ec;
  if (!NormalStart) std::filesystem::current_path(ProgramFolder, ec);
}

bool TAppStartup::IsAutomationStart(const std::vector<std::string>& args) {
  return !args.empty() && SameText(args[0], "-embedding");
}

std::string TAppStartup::ProjectArgument() const {
  if (!NormalStart || Args.empty()) return {};
  const std::string& name = Args[0];
  return ExtractFileExt(name).empty() ? name + ".tsj" : name;
}

std::string TAppStartup::ProgramFile(const std::string& name) const { return AddSlash(ProgramFolder) + name; }
