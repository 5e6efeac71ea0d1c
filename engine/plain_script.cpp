#include "plain_script.h"

#include <unistd.h>

#include <cerrno>
#include <span>

#include "command_groups.h"

namespace marrowick::engine {

// A command whose last word is a body in braces, and what the body may hold.
struct BodyRule {
  std::string_view command;
  std::string_view kind;
  std::size_t word;  // the body's place, the last word
  std::span<const char* const> inner;
};

namespace {

// The solver's commands that reach the script only through command_args.h
// (see session.h), and so run alike without an interpreter. A command not
// listed here makes its script run under Tcl.
constexpr std::string_view kPlainCommands[] = {
    "wipe",        "model",   "node",      "fix",        "uniaxialMaterial", "section",
    "element",     "pattern", "loadConst", "integrator", "system",           "numberer",
    "constraints", "test",    "algorithm", "analysis",   "analyze",          "recorder",
    "nodeDisp",    "getTime", "fiber",     "load"};

constexpr const char* kSectionBody[] = {"fiber"};
constexpr const char* kPatternBody[] = {"load"};

bool isPlainCommand(std::string_view name) {
  for (std::string_view plain : kPlainCommands) {
    if (name == plain) return ownHandler(name) != nullptr;
  }
  return false;
}

const BodyRule kBodies[] = {{"section", "Fiber", 3, kSectionBody},
                            {"pattern", "Plain", 4, kPatternBody}};

bool isSeparator(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == ';';
}

// A character that means itself to Tcl wherever it stands in a word.
bool isPlainChar(char c) {
  if (c < 0x21 || c > 0x7e) return false;
  switch (c) {
    case '$':
    case '[':
    case ']':
    case '\\':
    case '"':
    case '{':
    case '}':
    case ';':
      return false;
    default:
      return true;
  }
}

const BodyRule* bodyRuleOf(std::string_view name) {
  for (const BodyRule& rule : kBodies) {
    if (rule.command == name) return &rule;
  }
  return nullptr;
}

bool allowedIn(const BodyRule& rule, std::string_view name) {
  for (const char* inner : rule.inner) {
    if (name == inner) return isPlainCommand(name);
  }
  return false;
}

bool readCommands(std::string_view text, int line, const BodyRule* inside,
                  std::vector<PlainCommand>* out);

// Whether a command of the script (not of a body) keeps its meaning without
// Tcl; reads its body if it has one.
bool acceptCommand(PlainCommand& command, std::string_view bodyText) {
  const std::vector<std::string_view>& w = command.words;
  const std::string_view name = w[0];
  if (name == "puts") return w.size() == 2 && command.bodyWord < 0;
  if (name == "file") {
    // "file delete NAME" with a name that is no option and no "~user".
    return w.size() == 3 && w[1] == "delete" && w[2][0] != '-' && w[2][0] != '~' &&
           command.bodyWord < 0;
  }
  if (!isPlainCommand(name)) return false;
  const BodyRule* rule = bodyRuleOf(name);
  if (rule == nullptr) return command.bodyWord < 0;
  // Only the complete form: any other is an error that Tcl words best.
  if (w.size() != rule->word + 1 || w[1] != rule->kind ||
      command.bodyWord != static_cast<int>(rule->word)) {
    return false;
  }
  // Only checked here: most bodies are read by the fiber-line reader, and the
  // others are read again when they run.
  command.bodyRule = rule;
  return readCommands(bodyText, command.line, rule, nullptr);
}

// Reads commands up to the end of the text, which starts on the given line.
// inside: the body being read, or null for the script itself; out: where the
// commands go, or null to check them only.
bool readCommands(std::string_view text, int line, const BodyRule* inside,
                  std::vector<PlainCommand>* out) {
  std::size_t at = 0;
  PlainCommand command;  // kept between commands: its words keep their room
  while (at < text.size()) {
    const char c = text[at];
    if (c == ' ' || c == '\t' || c == ';') {
      ++at;
      continue;
    }
    if (c == '\n') {
      ++line;
      ++at;
      continue;
    }
    if (c == '#') {
      // A comment, to the end of its line. Tcl counts the braces of a body's
      // comments, so a body's comments may hold none.
      for (; at < text.size() && text[at] != '\n'; ++at) {
        const char d = text[at];
        if ((d < 0x20 && d != '\t') || d > 0x7e || d == '\\') return false;
        if (inside != nullptr && (d == '{' || d == '}')) return false;
      }
      continue;
    }
    command.words.clear();
    command.bodyWord = -1;
    command.bodyRule = nullptr;
    command.line = line;
    std::string_view bodyText;
    int bodyLines = 0;
    while (at < text.size() && text[at] != '\n' && text[at] != ';') {
      if (text[at] == ' ' || text[at] == '\t') {
        ++at;
        continue;
      }
      if (text[at] == '{') {
        if (inside != nullptr || command.bodyWord >= 0 || command.words.empty()) return false;
        const std::size_t close = text.find_first_of("{}", at + 1);
        if (close == std::string_view::npos || text[close] == '{') return false;
        if (close + 1 < text.size() && !isSeparator(text[close + 1])) return false;
        bodyText = text.substr(at + 1, close - at - 1);
        for (char b : bodyText) bodyLines += b == '\n';
        command.bodyWord = static_cast<int>(command.words.size());
        command.words.push_back(bodyText);
        at = close + 1;
        continue;
      }
      const std::size_t start = at;
      while (at < text.size() && isPlainChar(text[at])) ++at;
      if (at < text.size() && !isSeparator(text[at])) return false;
      command.words.push_back(text.substr(start, at - start));
    }
    if (inside != nullptr) {
      if (!allowedIn(*inside, command.words[0])) return false;
    } else if (!acceptCommand(command, bodyText)) {
      return false;
    }
    line += bodyLines;
    if (out != nullptr) out->push_back(command);
  }
  return true;
}

// Tcl's "file delete NAME" for the usual case, a file that is there or not:
// anything else (a directory, a refusal) goes to Tcl's own command, in an
// interpreter made for that command alone, so that the outcome and its
// message are Tcl's.
int deleteFile(Session& s, Tcl_Obj* const* objv) {
  const char* name = Tcl_GetString(objv[2]);
  if (::unlink(name) == 0 || errno == ENOENT) return TCL_OK;
  Tcl_Interp* interp = Tcl_CreateInterp();
  const int code = Tcl_EvalObjv(interp, 3, objv, TCL_EVAL_GLOBAL);
  if (code != TCL_OK) {
    s.errorMessage = Tcl_GetStringResult(interp);
    if (s.errorPosition.line == 0) s.errorPosition.line = s.plainLine;
  }
  Tcl_DeleteInterp(interp);
  return code == TCL_OK ? TCL_OK : TCL_ERROR;
}

int runCommand(Session& s, const PlainCommand& command) {
  std::vector<Tcl_Obj*> objv;
  objv.reserve(command.words.size());
  for (std::string_view word : command.words) {
    Tcl_Obj* obj = Tcl_NewStringObj(word.data(), static_cast<int>(word.size()));
    Tcl_IncrRefCount(obj);
    objv.push_back(obj);
  }
  const PlainCommand* outer = s.plainCommand;
  const int outerLine = s.plainLine;
  s.plainCommand = &command;
  s.plainLine = command.line;
  const int objc = static_cast<int>(objv.size());
  int code = TCL_OK;
  const std::string_view name = command.words[0];
  if (name == "puts") {
    std::fwrite(command.words[1].data(), 1, command.words[1].size(), stdout);
    std::fputc('\n', stdout);
  } else if (name == "file") {
    code = deleteFile(s, objv.data());
  } else {
    code = invokeCommand(s, ownHandler(name), objc, objv.data());
  }
  s.plainCommand = outer;
  s.plainLine = outerLine;
  for (Tcl_Obj* obj : objv) Tcl_DecrRefCount(obj);
  return code;
}

}  // namespace

std::string withTclLineEnds(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  std::size_t from = 0;
  for (std::size_t cr = bytes.find('\r'); cr != std::string_view::npos;
       cr = bytes.find('\r', from)) {
    text.append(bytes.data() + from, cr - from);
    text += '\n';
    from = cr + 1;
    if (from < bytes.size() && bytes[from] == '\n') ++from;
  }
  text.append(bytes.data() + from, bytes.size() - from);
  return text;
}

std::optional<std::vector<PlainCommand>> readPlainScript(std::string_view text) {
  std::vector<PlainCommand> commands;
  if (!readCommands(text, 1, nullptr, &commands)) return std::nullopt;
  return commands;
}

int runPlainBody(Session& s) {
  const PlainCommand& command = *s.plainCommand;
  std::vector<PlainCommand> body;
  readCommands(command.words[command.bodyWord], command.line, command.bodyRule, &body);
  return runPlainCommands(s, body);
}

int runPlainCommands(Session& s, const std::vector<PlainCommand>& commands) {
  for (const PlainCommand& command : commands) {
    if (runCommand(s, command) != TCL_OK) return TCL_ERROR;
  }
  return TCL_OK;
}

}  // namespace marrowick::engine
