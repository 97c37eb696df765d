// mcn-compile SOURCE OUTPUT: compiles the readable county table into a county names file (.mcn).
// Faults in the source are listed with their line numbers and fail the build.
#include <iostream>

#include "RefSource.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: mcn-compile SOURCE OUTPUT.mcn\n";
    return 2;
  }
  TMcnContents contents;
  TSourceFaults faults;
  if (!ReadCountyTable(argv[1], contents, faults)) {
    for (const std::string& fault : faults) std::cerr << fault << '\n';
    return 1;
  }
  std::string message;
  if (!WriteMcnFile(argv[2], contents, message)) {
    std::cerr << argv[1] << ": " << message << '\n';
    return 1;
  }
  return 0;
}
