// mdf-compile SOURCE OUTPUT: compiles the readable input catalogue into a definition file (.mdf).
// Faults in the source are listed with their line numbers and fail the build.
#include <iostream>

#include "RefSource.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: mdf-compile SOURCE OUTPUT.mdf\n";
    return 2;
  }
  TMdfContents contents;
  TSourceFaults faults;
  if (!ReadInputCatalogue(argv[1], contents, faults)) {
    for (const std::string& fault : faults) std::cerr << fault << '\n';
    return 1;
  }
  std::string message;
  if (!WriteMdfFile(argv[2], contents, message)) {
    std::cerr << argv[1] << ": " << message << '\n';
    return 1;
  }
  return 0;
}
