// What the installed software report lists, found without starting any program: the operating
// system from os-release and the kernel, versions from the package database, else a program's
// presence on the search path or its desktop entry, and the planner's D-Bus service file.
#pragma once

#include <map>
#include <string>
#include <vector>

// Where the probes look; System() gives the running system's places.
struct TProbePlaces {
  std::string osRelease;                // os-release file
  std::string kernelRelease;            // the kernel's release text
  std::string dpkgStatus;               // the package database's status file
  std::vector<std::string> pathDirs;    // program search path
  std::vector<std::string> dataDirs;    // data folders holding applications/ and dbus-1/services/
  static TProbePlaces System();
};

// One line of the report: name, version and an optional detail.
using TSoftwareRow = std::vector<std::string>;

struct TSoftwareSection {
  std::string heading;
  std::vector<TSoftwareRow> rows;
};

struct TSoftwareInfo {
  TSoftwareRow system;  // the operating system and the kernel
  std::vector<TSoftwareSection> sections;
};

// Installed packages by name with their versions (epoch removed), from a dpkg status file.
std::map<std::string, std::string> ReadInstalledPackages(const std::string& statusFile);
// PRETTY_NAME of an os-release file; empty when missing.
std::string ReadOsPrettyName(const std::string& osReleaseFile);
// The release of a package version: its first two numbers ("7.4.7-1" gives "7.4").
std::string ReleaseOfVersion(const std::string& version);

TSoftwareInfo ProbeInstalledSoftware(const TProbePlaces& places);
