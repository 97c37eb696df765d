// mcn-compile SOURCE OUTPUT: compiles the readable county table into a county names file (.mcn).
#include "CompileMain.h"
#include "RefSource.h"

int main(int argc, char** argv) {
  return CompileMain<TMcnContents>(argc, argv, "mcn-compile SOURCE OUTPUT.mcn", ReadCountyTable, WriteMcnFile);
}
