// marrowick-solver SCRIPT: runs an OpenSees-style Tcl script of a fiber
// section analysis and writes its recorder files.

#include <cstdio>

#include "commands.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: marrowick-solver SCRIPT\n");
    return 2;
  }
  marrowick::engine::initializeTcl(argv[0]);
  const int status = marrowick::engine::runScriptFile(argv[1], stderr, false);
  std::fflush(stdout);
  return status;
}
