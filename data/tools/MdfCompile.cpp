// mdf-compile SOURCE OUTPUT: compiles the readable input catalogue into a definition file (.mdf).
#include "CompileMain.h"
#include "RefSource.h"

int main(int argc, char** argv) {
  return CompileMain<TMdfContents>(argc, argv, "mdf-compile SOURCE OUTPUT.mdf", ReadInputCatalogue, WriteMdfFile);
}
