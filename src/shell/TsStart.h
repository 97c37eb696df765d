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

// The switches of the automation service, read from the first command-line argument: "/" or "-"
// and the word in any letter case.
enum class TStartSwitch {
  None,
  Automation,   // "embedding" or "automation": started hidden for an automation client
  RegServer,    // "regserver": install the service file so that clients can start the program
  UnregServer,  // "unregserver": remove it
};

class TAppStartup {
 public:
  // `args` are the command-line arguments without the program name; `programFile` is the full
  // path of the executable.
  TAppStartup(const std::vector<std::string>& args, const std::string& programFile);

  TProgramVersionInfo VersionInfo;
  std::string ProgramId;      // InternalName, a blank, FileVersion
  bool NormalStart = true;    // false for a start by the automation service ("-embedding")
  std::string ProgramFolder;  // without a trailing slash ("/" stays)
  // The folder of the program's data files: the program's folder, or the installation's data
  // folder when the files are there instead (ProgramDataFolder).
  std::string DataFolder;
  std::string Rusle2Folder;   // DataFolder + "/Rusle2" when that folder exists
  std::vector<std::string> Args;

  static TStartSwitch StartSwitch(const std::vector<std::string>& args);
  // A start for an automation client: "-embedding" or "-automation" ("/" instead of "-" as well).
  static bool IsAutomationStart(const std::vector<std::string>& args);

  // The project named on the command line of a normal start, ".tsj" appended when it has no
  // extension; empty when none was named or the argument is a switch.
  std::string ProjectArgument() const;
  // The path of one of the program's data files (in DataFolder).
  std::string ProgramFile(const std::string& name) const;
};
