#pragma once

#include <tcl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "model/analysis.h"

namespace marrowick::engine {

class Session;

// Where a script error happened, as precisely as the interpreter can tell.
struct ScriptPosition {
  std::string file;  // empty: the main script
  int line = 0;      // 0: unknown
};

// The analysis commands of a Tcl interpreter. Construction registers them;
// the interpreter must outlive the object.
class SolverCommands {
 public:
  // Warnings (steps that do not converge) go to the given stream.
  SolverCommands(Tcl_Interp* interp, std::FILE* warnings);
  ~SolverCommands();
  SolverCommands(const SolverCommands&) = delete;
  SolverCommands& operator=(const SolverCommands&) = delete;

  // The position our own commands found for the last error, if any.
  const ScriptPosition& errorPosition() const;
  // Closes the recorder files (and so releases their locks); throws
  // ModelError when a file could not take its last lines.
  void closeRecorders();

 private:
  std::unique_ptr<Session> session_;
};

// Remembers the program's name for Tcl; call once, before running scripts.
// The library itself is set up only when a script first needs an
// interpreter, which a plain script never does (see plain_script.h).
void initializeTcl(const char* argv0);
// Sets the Tcl library up now, once per process, as making an interpreter
// needs; later calls do nothing.
void prepareTcl();

// Whether a script runs in a Tcl interpreter: only when it needs one (a
// plain script, see plain_script.h, runs without), or always.
enum class Interpreter { WhenNeeded, Always };

// Runs a script file the way the solver program does: returns the exit status
// (0 ran to its end, 1 script error, 2 script missing or unreadable) and
// writes errors and warnings to the given stream. The recorder files are
// closed on return; without tearDown the interpreter and the model are left
// for the process's exit to reclaim.
int runScriptFile(const std::string& path, std::FILE* errors, bool tearDown = true,
                  Interpreter use = Interpreter::WhenNeeded);

// A file a run created or deleted, by the name the script gave it.
struct FileEffect {
  enum class Kind {
    Written,  // a recorder file, written whole by the run
    Deleted,  // "file delete": gone, or never there
    ByTcl,    // "file delete" of something else, left to Tcl's own command
  };
  std::string name;
  Kind kind = Kind::Written;
};

// A script run inside a program that runs many at once, each on one of its
// threads: relative names (the script, recorder files, "file delete")
// resolve in `directory`, nothing is written to the program's own output,
// and the run gives up at its limit. Such a run keeps no state beyond its
// return and shares none with the others.
struct ScriptRun {
  int status = 0;  // as runScriptFile's
  // Not run: the script needs Tcl, whose file commands know only the
  // working directory; the solver program runs it instead.
  bool needsInterpreter = false;
  bool stopped = false;  // the limit was reached; status is then 1
  // What the solver program would have printed (standard error, then
  // standard output).
  std::string output;
  // Every recorder file opened and every file deleted, in the script's order.
  std::vector<FileEffect> files;
};
// A thread running script after script may hand each run the same memo
// (plain_script.h), so that a section body read once is not read again.
class FiberBodyMemo;
ScriptRun runScriptIn(const std::string& directory, const std::string& script,
                      const RunLimit& limit, FiberBodyMemo* memo = nullptr);
// The same run of a script whose bytes the program holds: as if they were
// the file `script` in `directory`, which need not exist.
ScriptRun runScriptText(const std::string& directory, const std::string& script, std::string text,
                        const RunLimit& limit, FiberBodyMemo* memo = nullptr);

}  // namespace marrowick::engine
