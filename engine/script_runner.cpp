// Runs a script file the way the solver program does: checks that it can be
// read, runs it in a fresh interpreter with the solver's commands, and reports
// the first error with its file and line.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>

#include "commands.h"
#include "traceback.h"

namespace marrowick::engine {

void initializeTcl(const char* argv0) {
  static std::once_flag once;
  std::call_once(once, [argv0] { Tcl_FindExecutable(argv0); });
}

namespace {

bool isNested(const char* errorInfo) {
  const char* first = std::strstr(errorInfo, "invoked from within");
  return first != nullptr && std::strstr(first + 1, "invoked from within") != nullptr;
}

// A script that is not there or cannot be read is told apart from a script
// that fails: the caller may have given a wrong name.
int checkScript(const std::string& path, std::FILE* errors) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    std::fprintf(errors, "marrowick-solver: cannot read script \"%s\": %s\n", path.c_str(),
                 std::strerror(errno));
    return 2;
  }
  struct stat info = {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  ::close(fd);
  if (!regular) {
    std::fprintf(errors, "marrowick-solver: cannot read script \"%s\": not a regular file\n",
                 path.c_str());
    return 2;
  }
  return 0;
}

void reportError(Tcl_Interp* interp, const SolverCommands& commands, const std::string& path,
                 std::FILE* errors) {
  Tcl_Obj* options = Tcl_GetReturnOptions(interp, TCL_ERROR);
  Tcl_IncrRefCount(options);
  Tcl_Obj* key = Tcl_NewStringObj("-errorinfo", -1);
  Tcl_IncrRefCount(key);
  Tcl_Obj* info = nullptr;
  Tcl_DictObjGet(nullptr, options, key, &info);
  Tcl_DecrRefCount(key);

  ScriptPosition position = commands.errorPosition();
  if (position.line == 0) position.line = Tcl_GetErrorLine(interp);
  // An error in a file the script sourced names that file; the script itself
  // keeps the name it was given.
  std::error_code ignored;
  const std::string& where =
      position.file.empty() || std::filesystem::equivalent(position.file, path, ignored)
          ? path
          : position.file;
  std::string message = Tcl_GetStringResult(interp);
  if (message.rfind("missing close-brace", 0) == 0 ||
      message.rfind("missing close-bracket", 0) == 0 || message.rfind("missing \"", 0) == 0) {
    message += " (the command that starts on this line is never closed)";
  }
  std::fprintf(errors, "marrowick-solver: %s line %d: %s\n", where.c_str(), position.line,
               message.c_str());
  if (info != nullptr && isNested(Tcl_GetString(info))) {
    std::fprintf(errors, "Tcl traceback:\n%s\n", shortTraceback(Tcl_GetString(info)).c_str());
  }
  Tcl_DecrRefCount(options);
}

}  // namespace

// Still reachable, so that leak checkers do not count what is left on purpose.
SolverCommands* commandsLeftForExit = nullptr;

int runScriptFile(const std::string& path, std::FILE* errors, bool tearDown) {
  if (const int status = checkScript(path, errors)) return status;

  Tcl_Interp* interp = Tcl_CreateInterp();
  auto commands = std::make_unique<SolverCommands>(interp, errors);
  int status = 0;
  const int code = Tcl_EvalFile(interp, path.c_str());
  if (code == TCL_ERROR) {
    reportError(interp, *commands, path, errors);
    status = 1;
  } else if (code != TCL_OK) {
    std::fprintf(errors, "marrowick-solver: %s: %s outside of a loop\n", path.c_str(),
                 code == TCL_BREAK ? "break" : "continue");
    status = 1;
  }
  commands->closeRecorders();
  if (tearDown) {
    commands.reset();
    Tcl_DeleteInterp(interp);
  } else {
    // The process ends next: its memory goes back to the system in one piece,
    // faster than the interpreter could take itself apart.
    commandsLeftForExit = commands.release();
  }
  return status;
}

}  // namespace marrowick::engine
