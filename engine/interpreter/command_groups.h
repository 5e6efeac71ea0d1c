#pragma once

// The solver's commands, in groups by what they build; commands.cpp registers
// every group with the interpreter. A new command is a handler and a row in
// its group's table.

#include <span>
#include <string_view>

#include "interpreter/command_args.h"

namespace marrowick::engine {

// Runs one command: objv[0] is its name.
using Handler = int (*)(Session&, int objc, Objv objv);

struct CommandEntry {
  const char* name;
  Handler handler;
};
using CommandGroup = std::span<const CommandEntry>;

CommandGroup modelCommands();        // wipe, model, node, fix, element, pattern, load, loadConst
CommandGroup materialCommands();     // uniaxialMaterial
CommandGroup sectionCommands();      // section, fiber, patch, layer
CommandGroup analysisCommands();     // integrator ... analyze, nodeDisp, getTime
CommandGroup unavailableCommands();  // OpenSees commands outside this solver's reach
CommandGroup recorderCommands();     // recorder, remove, eleResponse, nodeReaction, reactions

// What a DOF argument may be in the session's model, as a message.
inline const char* dofRange(const Domain& domain) {
  return domain.dofsPerNode() == kDofsPerNode ? "DOF must be 1, 2 or 3" : "DOF must be from 1 to 6";
}

// The solver's own command of that name, or null.
Handler ownHandler(std::string_view name);
// Runs a handler, turning the model's exceptions into script errors.
int invokeCommand(Session& s, Handler handler, int objc, Objv objv);

// True while "fiber" is still the solver's own command, neither replaced by
// the script nor traced: only then may a section body be read without Tcl.
bool fiberCommandIsOurs(Tcl_Interp* interp);

}  // namespace marrowick::engine
