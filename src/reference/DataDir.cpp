#include "reference/DataDir.h"

#include "BuildConfig.h"
#include "filebase/FileUtl.h"
#include "reference/McnFile.h"

std::string InstalledDataFolder(const std::string& programFolder) {
  return ExpandFileName(AddSlash(programFolder) + TESSEREL_DATA_FROM_PROGRAM);
}

std::string ProgramDataFolder(const std::string& programFolder) {
  auto holdsData = [](const std::string& folder) { return FileStatus(AddSlash(folder) + kCountyFileName) == fsExists; };
  if (holdsData(programFolder)) return programFolder;
  const std::string installed = InstalledDataFolder(programFolder);
  return holdsData(installed) ? installed : programFolder;
}
