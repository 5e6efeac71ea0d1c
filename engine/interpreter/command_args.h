#pragma once

// What every command of the solver shares: reading its arguments, naming the
// first bad one, and placing an error on its line of the script.

#include <tcl.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/session.h"

namespace marrowick::engine {

// A word of a command: the Tcl object it came in or, in a plain script run
// without an interpreter, its text alone. A plain word's numbers are read
// without Tcl; plain_script.h admits only words that both readings agree on.
class Word {
 public:
  explicit Word(Tcl_Obj* obj) : obj_(obj) {}
  explicit Word(std::string_view text) : text_(text) {}

  std::string_view text() const;
  std::string str() const { return std::string(text()); }
  // Null for a plain word.
  Tcl_Obj* obj() const { return obj_; }

 private:
  Tcl_Obj* obj_ = nullptr;
  std::string_view text_;
};

using Objv = const Word*;

// The file and line of the command being run, when the interpreter knows them
// (it does for commands read from a file, also inside loop bodies).
ScriptPosition currentPosition(Tcl_Interp* interp);

// The line of the command being run (0: unknown).
int scriptLine(Session& s);
// The command's result, for a script that uses it (a plain script cannot).
void setResult(Session& s, int value);
void setResult(Session& s, double value);
void setResult(Session& s, std::span<const double> values);

// Sets the error message, remembers where it happened and returns TCL_ERROR.
int fail(Session& s, const std::string& message);
// "COMMAND: PROBLEM; expected: FORM", as fail().
int usage(Session& s, const char* command, const std::string& problem, const char* form);
// A word as the message shows it: in double quotes.
std::string quoted(const Word& word);

// Whole numbers that fit a 32-bit count or tag; "1e12" or "2.5" are refused.
bool getInt(const Word& word, int& value);
// Finite reals only: an infinite or undefined input would only come back as a
// step that never converges.
bool getReal(const Word& word, double& value);
// The elements of a word that is a Tcl list (a plain word is one element).
bool getList(const Word& word, std::vector<Word>& elements);

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
int evalBody(Session& s, const Word& body, const std::string& context);

}  // namespace marrowick::engine
