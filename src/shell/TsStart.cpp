#include "TsStart.h"

#include <filesystem>
#include <system_error>

#include "Version.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "reference/DataDir.h"

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
  DataFolder = ProgramDataFolder(ProgramFolder);
  Rusle2Folder = IsFolder(ProgramFile("Rusle2")) ? ProgramFile("Rusle2") : DataFolder;
  // The automation server starts the program anywhere; its files are found beside it.
  // A folder that vanished shows when the required files are opened.
  std::error_code ec;
  if (!NormalStart) std::filesystem::current_path(ProgramFolder, ec);
}

TStartSwitch TAppStartup::StartSwitch(const std::vector<std::string>& args) {
  if (args.empty() || args[0].size() < 2 || (args[0][0] != '-' && args[0][0] != '/')) return TStartSwitch::None;
  const std::string word = args[0].substr(1);
  if (SameText(word, "embedding") || SameText(word, "automation")) return TStartSwitch::Automation;
  if (SameText(word, "regserver")) return TStartSwitch::RegServer;
  if (SameText(word, "unregserver")) return TStartSwitch::UnregServer;
  return TStartSwitch::None;
}

bool TAppStartup::IsAutomationStart(const std::vector<std::string>& args) {
  return StartSwitch(args) == TStartSwitch::Automation;
}

std::string TAppStartup::ProjectArgument() const {
  if (!NormalStart || Args.empty() || StartSwitch(Args) != TStartSwitch::None) return {};
  const std::string& name = Args[0];
  return ExtractFileExt(name).empty() ? name + ".tsj" : name;
}

std::string TAppStartup::ProgramFile(const std::string& name) const { return AddSlash(DataFolder) + name; }
