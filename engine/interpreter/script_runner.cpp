// Runs a script file the way the solver program does: checks that it can be
// read, runs it in a fresh interpreter with the solver's commands, and reports
// the first error with its file and line.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "interpreter/commands.h"
#include "interpreter/plain_script.h"
#include "interpreter/session.h"
#include "interpreter/traceback.h"
#include "model/model_error.h"

namespace marrowick::engine {

namespace {

const char* programName = nullptr;

}  // namespace

void initializeTcl(const char* argv0) {
  programName = argv0;
}

void prepareTcl() {
  static std::once_flag once;
  std::call_once(once, [] { Tcl_FindExecutable(programName); });
}

namespace {

bool isNested(const char* errorInfo) {
  const char* first = std::strstr(errorInfo, "invoked from within");
  return first != nullptr && std::strstr(first + 1, "invoked from within") != nullptr;
}

// A script that is not there or cannot be read is told apart from a script
// that fails: the caller may have given a wrong name. The text is read whole
// (left empty when reading fails midway: Tcl then reads it and reports).
int readScript(const std::string& path, std::FILE* errors, std::string& text,
               int directory = AT_FDCWD) {
  const int fd = ::openat(directory, path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    std::fprintf(errors, "marrowick-solver: cannot read script \"%s\": %s\n", path.c_str(),
                 std::strerror(errno));
    return 2;
  }
  struct stat info = {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (!regular) {
    ::close(fd);
    std::fprintf(errors, "marrowick-solver: cannot read script \"%s\": not a regular file\n",
                 path.c_str());
    return 2;
  }
  // One byte more than the file's size, so that the end is seen without
  // growing the text.
  text.resize(static_cast<std::size_t>(info.st_size) + 1);
  std::size_t got = 0;
  for (;;) {
    if (got == text.size()) text.resize(text.size() + 4096);
    const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) got = 0;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  text.resize(got);
  ::close(fd);
  return 0;
}

}  // namespace

// Still reachable (outside the unnamed namespace, so that the store is kept),
// so that leak checkers do not count what is left on purpose.
Session* sessionLeftForExit = nullptr;

namespace {

// Closes the recorders the script left open: 0, or 1 after naming the files
// that could not take their last lines.
template <class Close>
int closeRecorders(Close&& close, const std::string& path, std::FILE* errors) {
  try {
    close();
  } catch (const ModelError& error) {
    std::fprintf(errors, "marrowick-solver: %s: %s\n", path.c_str(), error.what());
    return 1;
  }
  return 0;
}

// A plain script, without an interpreter; its errors read as Tcl's would.
int runPlain(Session& session, const std::string& path, std::string_view text,
             const PlainBodies& bodies, std::FILE* errors) {
  session.plainBodies = &bodies;
  int status = 0;
  if (runPlainScript(session, text) != TCL_OK) {
    std::fprintf(errors, "marrowick-solver: %s line %d: %s\n", path.c_str(),
                 session.errorPosition.line, session.errorMessage.c_str());
    status = 1;
  }
  const auto close = [&] {
    if (session.domain) session.domain->closeRecorders();
  };
  if (closeRecorders(close, path, errors) != 0) status = 1;
  session.plainBodies = nullptr;
  return status;
}

int runPlain(const std::string& path, std::string_view text, const PlainBodies& bodies,
             std::FILE* errors, bool tearDown) {
  auto session = std::make_unique<Session>(nullptr, errors);
  const int status = runPlain(*session, path, text, bodies, errors);
  if (!tearDown) sessionLeftForExit = session.release();
  return status;
}

// A stream kept in memory, its text taken once it is closed.
class MemoryStream {
 public:
  MemoryStream() : stream_(::open_memstream(&buffer_, &size_)) {
    if (stream_ == nullptr) throw std::bad_alloc();
  }
  ~MemoryStream() {
    if (stream_ != nullptr) std::fclose(stream_);
    std::free(buffer_);
  }
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;
  std::FILE* get() const { return stream_; }
  std::string take() {
    std::fclose(stream_);
    stream_ = nullptr;
    return std::string(buffer_, size_);
  }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* stream_;
};

// Whether two names reach the same file; false when either reaches none.
bool sameFile(const std::string& first, const std::string& second) {
  struct stat a = {};
  struct stat b = {};
  return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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
  const std::string& where =
      position.file.empty() || sameFile(position.file, path) ? path : position.file;
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

int runScriptFile(const std::string& path, std::FILE* errors, bool tearDown, Interpreter use) {
  std::string bytes;
  if (const int status = readScript(path, errors, bytes)) return status;
  if (use == Interpreter::WhenNeeded) {
    // Tcl reads the file itself, so its bytes may change here.
    useTclLineEnds(bytes);
    PlainBodies bodies;
    if (isPlainScript(bytes, &bodies)) return runPlain(path, bytes, bodies, errors, tearDown);
  }

  prepareTcl();
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
  if (closeRecorders([&] { commands->closeRecorders(); }, path, errors) != 0) status = 1;
  // What puts wrote may wait in Tcl's channel buffers, and the program does
  // not end through Tcl's exit.
  for (const int type : {TCL_STDOUT, TCL_STDERR}) {
    if (Tcl_Channel channel = Tcl_GetStdChannel(type)) Tcl_Flush(channel);
  }
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

namespace {

// A script's run in a folder of its own, from its bytes or, without them,
// from its file there.
ScriptRun runInFolder(const std::string& directory, const std::string& script, std::string* text,
                      const RunLimit& limit, FiberBodyMemo* memo) {
  ScriptRun run;
  MemoryStream errors;
  MemoryStream printed;
  const int folder = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  std::string bytes;
  if (text != nullptr) {
    bytes = std::move(*text);
  } else {
    run.status = folder < 0 ? readScript(script, errors.get(), bytes, -1)
                            : readScript(script, errors.get(), bytes, folder);
  }
  PlainBodies bodies(memo);
  if (run.status == 0) {
    useTclLineEnds(bytes);
    run.needsInterpreter = !isPlainScript(bytes, &bodies);
  }
  if (run.status == 0 && !run.needsInterpreter) {
    Session session(nullptr, errors.get());
    session.output = printed.get();
    session.directory = folder;
    session.limit = limit;
    try {
      run.status = runPlain(session, script, bytes, bodies, errors.get());
    } catch (const RunStopped&) {
      // As a killed solver: whatever the recorders hold stays as it is.
      run.stopped = true;
      run.status = 1;
      try {
        if (session.domain) session.domain->closeRecorders();
      } catch (const ModelError&) {
      }
    }
    run.files = std::move(session.files);
  }
  if (folder >= 0) ::close(folder);
  // A solver's standard error reaches the shared output as it is written,
  // its standard output (buffered) at its exit.
  run.output = errors.take() + printed.take();
  return run;
}

}  // namespace

ScriptRun runScriptIn(const std::string& directory, const std::string& script,
                      const RunLimit& limit, FiberBodyMemo* memo) {
  return runInFolder(directory, script, nullptr, limit, memo);
}

ScriptRun runScriptText(const std::string& directory, const std::string& script, std::string text,
                        const RunLimit& limit, FiberBodyMemo* memo) {
  return runInFolder(directory, script, &text, limit, memo);
}

}  // namespace marrowick::engine
