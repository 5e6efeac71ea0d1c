#pragma once

#include <fcntl.h>
#include <tcl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "interpreter/commands.h"
#include "model/analysis.h"
#include "model/domain.h"
#include "model/section_geometry.h"

namespace marrowick::engine {

struct PlainCommand;
class PlainBodies;

// Everything a script builds: the model, the analysis set up for it and the
// state of the section or pattern body being read. Without an interpreter
// (interp null: a plain script, see plain_script.h) the session also keeps the
// command being run and the message of an error.
class Session {
 public:
  Session(Tcl_Interp* interp, std::FILE* warnings) : interp(interp), warnings(warnings) {}

  // Throws ModelError when a recorder's file could not take its last lines;
  // the model is gone all the same.
  void wipe() {
    analysis.reset();
    pendingIntegrator.reset();
    pendingTest.reset();
    const std::unique_ptr<Domain> old = std::move(domain);
    buildingSection = nullptr;
    buildingPattern = nullptr;
    patchFibers.clear();
    layerFibers.clear();
    if (old) old->closeRecorders();
  }

  // Null for a plain script: commands set results, report errors and ask
  // for their line through command_args.h (setResult, fail, scriptLine),
  // never through the interpreter directly.
  Tcl_Interp* interp;
  std::FILE* warnings;
  // Where "puts" writes and relative file names resolve: the process's own
  // unless a program running many scripts at once gives each run its own
  // (runScriptIn).
  std::FILE* output = stdout;
  int directory = AT_FDCWD;
  // What the run did to files (ScriptRun::files).
  std::vector<FileEffect> files;
  RunLimit limit;
  std::unique_ptr<Domain> domain;  // null until "model"
  std::unique_ptr<StaticAnalysis> analysis;
  std::unique_ptr<Integrator> pendingIntegrator;  // given before "analysis"
  std::unique_ptr<ConvergenceTest> pendingTest;
  FiberSection* buildingSection = nullptr;
  // The patches' and layers' fibers of the section being read: OpenSees adds
  // them after the section's single fibers, the patches' first.
  struct PlacedFiber {
    FiberPlace place;
    const UniaxialMaterial* material;
  };
  std::vector<PlacedFiber> patchFibers;
  std::vector<PlacedFiber> layerFibers;
  LoadPattern* buildingPattern = nullptr;
  ScriptPosition errorPosition;
  // Without an interpreter only:
  const PlainCommand* plainCommand = nullptr;
  const PlainBodies* plainBodies = nullptr;  // read while the script was checked
  int plainLine = 0;
  std::string errorMessage;
};

}  // namespace marrowick::engine
