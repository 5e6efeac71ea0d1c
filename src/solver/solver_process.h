#pragma once

#include <functional>
#include <string>

#include "solver/solver_launcher.h"

namespace marrowick {

// Starts the solver on a script in the current directory, as the command line
// "opensees.exe " + script_file, and returns at once with the running solver
// (solver/solver_launcher.h), which the caller may watch or let go. The
// program run is an executable named "opensees.exe" on PATH (so that an
// engineer can link a real OpenSees in under that name), else the bundled
// "marrowick-solver" beside the running executable. Fails with the
// solver-start failure when no solver is found or it cannot be executed.
// Once a solver is found, the recorder file its script will write (if named)
// is removed first: a solver that stops before its recorder command writes
// nothing, and an earlier run's file in its place would be charted as the
// new result. One that cannot be removed fails with the file-delete failure
// naming it, and no solver is started. Without a solver it stays untouched.
SolverProcess StartSolver(const std::string& script_file, const std::string& recorder_file = {});

// Where an analysis hands each solver it has started: the window watches
// them; LetSolverRun lets them run unwatched.
using SolverStarted = std::function<void(SolverProcess)>;
inline void LetSolverRun(SolverProcess) {}

// The program StartSolver runs, as an absolute path (so that a solver started
// in another directory needs no lookup); empty when there is none.
std::string LocateSolver();

// Whether a program LocateSolver found is the bundled solver, or no
// program was found (the bundled solver is then the one that can run).
bool IsBundledSolver(const std::string& program);

// The solver-start failure for a command line such as "opensees.exe os.tcl".
[[noreturn]] void FailSolverStart(const std::string& command_line, int errno_value);

// Where the bundled solver is looked for: the directory of the running
// executable unless set here. An empty directory restores that default.
// Lets tests stand in for an installation.
void SetBundledSolverDirectory(const std::string& directory);

}  // namespace marrowick
