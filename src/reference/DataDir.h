// Where the programs find their data files (county names and definition files, state files, help,
// samples and forms). In the build tree and in a folder installation they lie beside the program;
// an installation under a prefix keeps them in its data folder (share/tesserel beside bin).
#pragma once

#include <string>

// The data folder of a program in `programFolder`: the program's own folder when the county names
// file is there; else the installation's data folder when the file is there; else the program's
// folder again, so that a missing file is reported where it was first looked for.
std::string ProgramDataFolder(const std::string& programFolder);
// The installation's data folder of a program in `programFolder`, whether or not it exists.
std::string InstalledDataFolder(const std::string& programFolder);
