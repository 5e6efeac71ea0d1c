#pragma once

#include <string>

namespace marrowick {

// Starts the solver on a script in the current directory, as the command line
// "opensees.exe " + script_file, and returns at once. The program run is an
// executable named "opensees.exe" on PATH (so that an engineer can link a real
// OpenSees in under that name), else the bundled "marrowick-solver" beside the
// running executable. The solver is detached: it works in the current
// directory, is never waited for, leaves no zombie and outlives Marrowick.
// Fails with the solver-start failure when no solver is found or it cannot be
// executed; what a started solver does later is not watched.
// Once a solver is found, the recorder file its script will write (if named)
// is removed first: a solver that stops before its recorder command writes
// nothing, and an earlier run's file in its place would be charted as the
// new result. One that cannot be removed fails with the file-delete failure
// naming it, and no solver is started. Without a solver it stays untouched.
void StartSolver(const std::string& script_file, const std::string& recorder_file = {});

// The program StartSolver runs, as an absolute path (so that a solver started
// in another directory needs no lookup); empty when there is none.
std::string LocateSolver();

// The solver-start failure for a command line such as "opensees.exe os.tcl".
[[noreturn]] void FailSolverStart(const std::string& command_line, int errno_value);

// Where the bundled solver is looked for: the directory of the running
// executable unless set here. An empty directory restores that default.
// Lets tests stand in for an installation.
void SetBundledSolverDirectory(const std::string& directory);

}  // namespace marrowick
