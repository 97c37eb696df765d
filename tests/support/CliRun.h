// Runs the command-line tool in-process and keeps what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "CliApp.h"

struct TCliRun {
  int status;
  std::string out, err;
};

inline TCliRun RunTool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

// Runs the tool with the reference files of `dataDir`.
inline TCliRun RunToolWithData(const std::string& dataDir, std::vector<std::string> args) {
  args.insert(args.end(), {"--data-dir", dataDir});
  return RunTool(args);
}
