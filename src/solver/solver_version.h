#pragma once

#include <string>

namespace marrowick {

// The line a solver prints about its version, for a calculation sheet to
// name the solver that ran: OpenSees starts every run with a banner holding
// "Version 3.8.0 64-Bit". The program is run once on an empty script in a
// scratch folder and given two seconds; empty when it prints no such line.
// The bundled solver prints no banner and is named as the bundled one.
// Fails with the solver-start failure when the program cannot be started.
std::string SolverVersionLine(const std::string& program);

}  // namespace marrowick
