// Registers the solver's commands with an interpreter: every group of
// command_groups.h, each command behind one dispatcher that turns the model's
// exceptions into script errors.

#include "interpreter/commands.h"

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "interpreter/command_groups.h"
#include "model/model_error.h"

namespace marrowick::engine {

namespace {

constexpr CommandGroup (*kGroups[])() = {modelCommands,    materialCommands, sectionCommands,
                                         analysisCommands, recorderCommands, unavailableCommands};

struct Binding {
  Session* session;
  Handler handler;
};

int dispatch(ClientData data, Tcl_Interp*, int objc, Tcl_Obj* const objv[]) {
  auto* binding = static_cast<Binding*>(data);
  std::vector<Word> words;
  words.reserve(static_cast<std::size_t>(objc));
  for (int i = 0; i < objc; ++i) words.emplace_back(objv[i]);
  return invokeCommand(*binding->session, binding->handler, objc, words.data());
}

void release(ClientData data) {
  delete static_cast<Binding*>(data);
}

}  // namespace

Handler ownHandler(std::string_view name) {
  for (auto group : kGroups) {
    for (const CommandEntry& command : group()) {
      if (name == command.name) return command.handler;
    }
  }
  return nullptr;
}

int invokeCommand(Session& s, Handler handler, int objc, Objv objv) {
  try {
    return handler(s, objc, objv);
  } catch (const ModelError& error) {
    return fail(s, objv[0].str() + ": " + error.what());
  } catch (const std::bad_alloc&) {
    return fail(s, objv[0].str() + ": out of memory");
  }
}

bool fiberCommandIsOurs(Tcl_Interp* interp) {
  Tcl_CmdInfo info = {};
  if (Tcl_GetCommandInfo(interp, "fiber", &info) == 0 || info.objProc != dispatch ||
      static_cast<Binding*>(info.objClientData)->handler != ownHandler("fiber")) {
    return false;
  }
  Tcl_InterpState saved = Tcl_SaveInterpState(interp, TCL_OK);
  const bool untraced = Tcl_EvalEx(interp, "trace info execution fiber", -1, 0) == TCL_OK &&
                        Tcl_GetCharLength(Tcl_GetObjResult(interp)) == 0;
  Tcl_RestoreInterpState(interp, saved);
  return untraced;
}

SolverCommands::SolverCommands(Tcl_Interp* interp, std::FILE* warnings)
    : session_(std::make_unique<Session>(interp, warnings)) {
  for (auto group : kGroups) {
    for (const CommandEntry& command : group()) {
      Tcl_CreateObjCommand(interp, command.name, dispatch,
                           new Binding{session_.get(), command.handler}, release);
    }
  }
}

SolverCommands::~SolverCommands() {
  Tcl_Interp* interp = session_->interp;
  try {
    session_->wipe();
  } catch (const ModelError& error) {
    // Only when the recorders were not closed first (closeRecorders).
    std::fprintf(session_->warnings, "marrowick-solver: %s\n", error.what());
  }
  if (!Tcl_InterpDeleted(interp)) {
    for (auto group : kGroups) {
      for (const CommandEntry& command : group()) Tcl_DeleteCommand(interp, command.name);
    }
  }
}

const ScriptPosition& SolverCommands::errorPosition() const {
  return session_->errorPosition;
}

void SolverCommands::closeRecorders() {
  if (session_->domain) session_->domain->closeRecorders();
}

}  // namespace marrowick::engine
