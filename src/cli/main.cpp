#include <iostream>
#include <string>
#include <vector>

#include "CliApp.h"
#ifdef TESSEREL_HAVE_RENDER
#include "render/PageRender.h"
#endif

int main(int argc, char** argv) {
#ifdef TESSEREL_HAVE_RENDER
  RegisterPdfRenderer();  // .pdf reports; a tool built without the GUI toolkit says PDF is not available
#endif
  std::vector<std::string> args(argv + 1, argv + argc);
  return RunCli(args, std::cout, std::cerr);
}
