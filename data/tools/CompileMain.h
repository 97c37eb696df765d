// The main program shared by the compile tools: TOOL SOURCE OUTPUT reads the readable source,
// lists its faults with their line numbers and fails, or writes the binary reference file.
#pragma once

#include <iostream>
#include <string>

#include "SourceText.h"

template <class TContents>
int CompileMain(int argc, char** argv, const char* usage,
                bool (*read)(const std::string&, TContents&, TSourceFaults&),
                bool (*write)(const std::string&, const TContents&, std::string&)) {
  if (argc != 3) {
    std::cerr << "usage: " << usage << '\n';
    return 2;
  }
  TContents contents;
  TSourceFaults faults;
  if (!read(argv[1], contents, faults)) {
    for (const std::string& fault : faults) std::cerr << fault << '\n';
    return 1;
  }
  std::string message;
  if (!write(argv[2], contents, message)) {
    std::cerr << argv[1] << ": " << message << '\n';
    return 1;
  }
  return 0;
}
