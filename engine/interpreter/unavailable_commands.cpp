// OpenSees commands that this solver does not have: a script that uses one
// is told so, with the commands it does have, instead of Tcl's bare
// "invalid command name".

#include <string>

#include "interpreter/command_groups.h"

namespace marrowick::engine {

namespace {

int cmdUnavailable(Session& s, int, Objv objv) {
  return fail(s, objv[0].str() +
                     ": not available in this solver, which analyses fiber sections on "
                     "zeroLengthSection elements in a plane; its commands are wipe, model, node, "
                     "fix, uniaxialMaterial, section, fiber, patch, layer, element, pattern, "
                     "load, loadConst, integrator, system, numberer, constraints, test, "
                     "algorithm, analysis, analyze, recorder, remove, nodeDisp, nodeReaction, "
                     "reactions, eleResponse and getTime");
}

constexpr CommandEntry kCommands[] = {{"geomTransf", cmdUnavailable},
                                      {"mass", cmdUnavailable},
                                      {"equalDOF", cmdUnavailable},
                                      {"rigidLink", cmdUnavailable},
                                      {"rigidDiaphragm", cmdUnavailable},
                                      {"timeSeries", cmdUnavailable},
                                      {"nDMaterial", cmdUnavailable},
                                      {"beamIntegration", cmdUnavailable},
                                      {"eigen", cmdUnavailable},
                                      {"rayleigh", cmdUnavailable},
                                      {"region", cmdUnavailable},
                                      {"block2D", cmdUnavailable},
                                      {"sp", cmdUnavailable},
                                      {"printA", cmdUnavailable},
                                      {"database", cmdUnavailable},
                                      {"setTime", cmdUnavailable},
                                      {"getLoadFactor", cmdUnavailable}};

}  // namespace

CommandGroup unavailableCommands() {
  return kCommands;
}

}  // namespace marrowick::engine
