#pragma once

// What every command of the solver shares: reading its arguments, naming the
// first bad one, and placing an error on its line of the script.

#include <tcl.h>

#include <string>

#include "session.h"

namespace marrowick::engine {

using Objv = Tcl_Obj* const*;

// The file and line of the command being run, when the interpreter knows them
// (it does for commands read from a file, also inside loop bodies).
ScriptPosition currentPosition(Tcl_Interp* interp);

// The line of the command being run (0: unknown).
int scriptLine(Session& s);
// The command's result, for a script that uses it.
void setResult(Session& s, Tcl_Obj* result);

// Sets the error message, remembers where it happened and returns TCL_ERROR.
int fail(Session& s, const std::string& message);
// "COMMAND: PROBLEM; expected: FORM", as fail().
int usage(Session& s, const char* command, const std::string& problem, const char* form);
// A word as the message shows it: in double quotes.
std::string quoted(Tcl_Obj* obj);

// Whole numbers that fit a 32-bit count or tag; "1e12" or "2.5" are refused.
bool getInt(Tcl_Obj* obj, int& value);
// Finite reals only: an infinite or undefined input would only come back as a
// step that never converges.
bool getReal(Tcl_Obj* obj, double& value);

// Reads the arguments of a command one by one, naming the first bad one.
class Args {
 public:
  Args(Session& s, const char* command, const char* form, int objc, Objv objv, int first)
      : s_(s), command_(command), form_(form), objc_(objc), objv_(objv), next_(first) {}

  bool integer(const char* name, int& value);
  bool real(const char* name, double& value);
  bool bad(const std::string& problem);
  // The same, as a command's result.
  int fail(const std::string& problem);

 private:
  bool has(const char* name);

  Session& s_;
  const char* command_;
  const char* form_;
  int objc_;
  Objv objv_;
  int next_;
};

// False (with the error set) when there is no model to add to.
bool needModel(Session& s, const char* command);
// The model may not vanish under a section or pattern that is being read.
bool notInsideBody(Session& s, const char* command);

// Runs a command body (a section's fibers, a pattern's loads). An error in it
// is placed on its own line of the script: the body starts on the line of the
// command.
int evalBody(Session& s, Tcl_Obj* body, const std::string& context);

}  // namespace marrowick::engine
