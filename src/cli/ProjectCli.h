// What the project commands share: a project opened with the reference files of the data folder,
// and the way a failure is reported.
#pragma once

#include <memory>
#include <string>

#include "CliApp.h"
#include "RefData.h"
#include "store/LoadedRefs.h"
#include "store/MdaFile.h"

class TProjectSession {
 public:
  // Loads the reference files; on failure reports it.
  bool LoadRefs(TCliContext& ctx);
  // Loads the reference files and opens the project (writable when asked and possible).
  bool Open(TCliContext& ctx, const std::string& path, bool write);
  // Reads record n, reporting a number outside 1..RecordCount.
  bool Read(TCliContext& ctx, int64_t n, TFieldRec& rec);
  // A record number or 0 for all records; reports a number outside the file.
  bool RecordOrAll(TCliContext& ctx, int64_t n);
  // The project must be writable for a change; one another program is using is reported as such.
  bool RequireWritable(TCliContext& ctx);

  TRefData ref;
  std::unique_ptr<TLoadedRefs> refs;
  TMdaFile file;
};

// Prints a message (code page 1252 text) on the error stream and sets exit status 1.
void Fail(TCliContext& ctx, const std::string& message);
// A project file could not be had because another program holds it, also after waiting.
void FailInUse(TCliContext& ctx, const TRecFile& file);
// Reports a failed open as FailInUse does when that was the reason; false otherwise.
bool FailIfInUse(TCliContext& ctx, const TRecFile& file);
// The --wait time in milliseconds, for every project file a command opens.
int32_t LockWaitMs(const TCliContext& ctx);
// Converts typed (UTF-8) text into the program's code page.
std::string Typed(const std::string& utf8);

// The checks of a new project's name: ".tsj" and a usable name (not an existing file when mustBeNew).
bool UsableOutputName(TCliContext& ctx, const std::string& path, bool mustBeNew);

// The data the extract and export commands leave out.
struct TExclusions {
  bool Name = false, Address = false, Notes = false, Costs = false;
};
// "name,address,notes[,costs]" -> the exclusions; false for an unknown word (costs only when allowed).
bool ParseExclusions(const std::string& list, TExclusions& x, bool costsToo);

void AddProjectRecordCommands(CLI::App& app, TCliContext& ctx);
