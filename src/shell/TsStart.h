// Start-up information of the desktop program: its version information, identification text,
// kind of start and program folder. One instance lives from initialisation to exit.
#pragma once

#include <string>
#include <vector>

// The version strings of the program, generated at build time from the project version.
struct TProgramVersionInfo {
  std::string Comments;
  std::string CompanyName;
  std::string FileDescription;
  std::string FileVersion;
  std::string InternalName;
  std::string LegalCopyright;
  std::string LegalTrademarks;
  std::string OriginalFilename;
  std::string ProductName;
  std::string ProductVersion;
  std::string Programmer;

  static TProgramVersionInfo OfThisProgram();
};

class TAppStartup {
 public:
  // `args` are the command-line arguments without the program name; `programFile` is the full
  // path of the executable.
  TAppStartup(const std::vector<std::string>& args, const std::string& programFile);

  TProgramVersionInfo VersionInfo;
  std::string ProgramId;      // InternalName, a blank, FileVersion
  bool NormalStart = true;    // false for a start by the automation server ("-embedding")
  std::string ProgramFolder;  // without a trailing slash ("/" stays)
  std::string Rusle2Folder;   // ProgramFolder + "/Rusle2" when that folder exists
  std::vector<std::string> Args;

  // A start by the automation server: the first argument is "-embedding" (in any letter case).
  static bool IsAutomationStart(const std::vector<std::string>& args);

  // The project named on the command line of a normal start, ".tsj" appended when it has no
  // extension; empty when none was named.
  std::string ProjectArgument() const;
  // The path of a file beside the program.
  std::string ProgramFile(const std::string& name) const;
};
