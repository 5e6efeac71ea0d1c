#include "interpreter/plain_script.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <span>

#include "interpreter/command_groups.h"
#include "interpreter/fiber_lines.h"

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
    "wipe",     "model",    "node",        "fix",       "uniaxialMaterial",
    "section",  "element",  "pattern",     "loadConst", "integrator",
    "system",   "numberer", "constraints", "test",      "algorithm",
    "analysis", "analyze",  "recorder",    "nodeDisp",  "getTime",
    "fiber",    "patch",    "layer",       "load"};

constexpr const char* kSectionBody[] = {"fiber", "patch", "layer"};
constexpr const char* kPatternBody[] = {"load"};

// The handlers of the plain commands, looked up once.
struct PlainHandlers {
  Handler handlers[std::size(kPlainCommands)] = {};
  PlainHandlers() {
    for (std::size_t i = 0; i < std::size(kPlainCommands); ++i) {
      handlers[i] = ownHandler(kPlainCommands[i]);
    }
  }
};

Handler plainHandler(std::string_view name) {
  static const PlainHandlers table;
  for (std::size_t i = 0; i < std::size(kPlainCommands); ++i) {
    if (name == kPlainCommands[i]) return table.handlers[i];
  }
  return nullptr;
}

bool isPlainCommand(std::string_view name) {
  return plainHandler(name) != nullptr;
}

constexpr BodyRule kBodies[] = {{"section", "Fiber", 3, kSectionBody},
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

template <class Each>
bool readCommands(std::string_view text, int line, const BodyRule* inside, Each&& each,
                  bool checked = false, PlainBodies* bodies = nullptr);

// Checks a command of the script or of a body; reads nothing further.
constexpr auto kCheckOnly = [](const PlainCommand&) { return true; };

// Whether a command of the script (not of a body) keeps its meaning without
// Tcl; checks its body if it has one and checkBody is set, reading a body of
// fiber lines into bodies, if given.
bool acceptCommand(PlainCommand& command, std::string_view bodyText, bool checkBody,
                   PlainBodies* bodies) {
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
  // Only the complete form: any other is an error that Tcl words best. A
  // section in space names its torsional stiffness before its body.
  const bool withTorsion =
      rule->command == "section" && w.size() == rule->word + 3 && w[rule->word] == "-GJ";
  const std::size_t bodyAt = withTorsion ? rule->word + 2 : rule->word;
  if (w.size() != bodyAt + 1 || w[1] != rule->kind ||
      command.bodyWord != static_cast<int>(bodyAt)) {
    return false;
  }
  command.bodyRule = rule;
  if (!checkBody) return true;
  // Fiber lines are plain words in plain lines.
  if (bodies != nullptr && rule->command == "section") {
    FiberBodyMemo* memo = bodies->memo();
    if (const std::vector<FiberLine>* known = memo != nullptr ? memo->find(bodyText) : nullptr) {
      bodies->add(bodyText.data(), *known);
      return true;
    }
    std::vector<FiberLine> fibers;
    if (readFiberLines(bodyText, fibers)) {
      if (memo != nullptr) memo->keep(bodyText, fibers);
      bodies->add(bodyText.data(), std::move(fibers));
      return true;
    }
  }
  return readCommands(bodyText, command.line, rule, kCheckOnly);
}

// Reads commands up to the end of the text, which starts on the given line,
// and hands each to each(), which returns false to stop. inside: the body
// being read, or null for the script itself; checked: the text is known to
// be plain, so bodies need no second look. False when a command is not plain
// or each() stopped.
template <class Each>
bool readCommands(std::string_view text, int line, const BodyRule* inside, Each&& each,
                  bool checked, PlainBodies* bodies) {
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
        // A body is hundreds of fiber lines: its end and its lines are found
        // by the library's searches rather than a character at a time.
        const std::size_t close = text.find('}', at + 1);
        if (close == std::string_view::npos) return false;
        const std::string_view inner = text.substr(at + 1, close - at - 1);
        if (inner.find('{') != std::string_view::npos) return false;
        bodyLines += static_cast<int>(std::count(inner.begin(), inner.end(), '\n'));
        if (close + 1 < text.size() && !isSeparator(text[close + 1])) return false;
        bodyText = text.substr(at + 1, close - at - 1);
        command.bodyWord = static_cast<int>(command.words.size());
        command.words.push_back(bodyText);
        at = close + 1;
        continue;
      }
      const std::size_t start = at;
      while (at < text.size() && isPlainChar(text[at])) ++at;
      if (at < text.size() && !isSeparator(text[at])) return false;
      const std::string_view word = text.substr(start, at - start);
      if (!checked && !isPlainWord(word)) return false;
      command.words.push_back(word);
    }
    if (inside != nullptr) {
      if (!allowedIn(*inside, command.words[0])) return false;
    } else if (!acceptCommand(command, bodyText, !checked, bodies)) {
      return false;
    }
    line += bodyLines;
    if (!each(command)) return false;
  }
  return true;
}

// Tcl's "file delete NAME" for the usual case, a file that is there or not:
// anything else (a directory, a refusal) goes to Tcl's own command, in an
// interpreter made for that command alone, so that the outcome and its
// message are Tcl's.
int deleteFile(Session& s, std::string_view word) {
  const std::string name(word);
  if (::unlinkat(s.directory, name.c_str(), 0) == 0 || errno == ENOENT) {
    s.files.push_back({name, FileEffect::Kind::Deleted});
    return TCL_OK;
  }
  s.files.push_back({name, FileEffect::Kind::ByTcl});
  // Tcl knows only the working directory: a run in a folder of its own
  // hands it the full name and puts the script's name back in its message.
  std::string full = name;
  if (s.directory != AT_FDCWD && !name.starts_with('/')) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", s.directory);
    std::error_code error;
    full = (std::filesystem::read_symlink(link, error) / name).string();
  }
  prepareTcl();
  Tcl_Interp* interp = Tcl_CreateInterp();
  Tcl_Obj* objv[3];
  const std::string_view words[3] = {"file", "delete", full};
  for (int i = 0; i < 3; ++i) {
    objv[i] = Tcl_NewStringObj(words[i].data(), static_cast<int>(words[i].size()));
    Tcl_IncrRefCount(objv[i]);
  }
  const int code = Tcl_EvalObjv(interp, 3, objv, TCL_EVAL_GLOBAL);
  if (code != TCL_OK) {
    s.errorMessage = Tcl_GetStringResult(interp);
    for (std::size_t at = s.errorMessage.find(full); full != name && at != std::string::npos;
         at = s.errorMessage.find(full, at + name.size()))
      s.errorMessage.replace(at, full.size(), name);
    if (s.errorPosition.line == 0) s.errorPosition.line = s.plainLine;
  }
  for (Tcl_Obj* obj : objv) Tcl_DecrRefCount(obj);
  Tcl_DeleteInterp(interp);
  return code == TCL_OK ? TCL_OK : TCL_ERROR;
}

int runCommand(Session& s, const PlainCommand& command) {
  std::vector<Word> objv;
  objv.reserve(command.words.size());
  for (std::string_view word : command.words) objv.emplace_back(word);
  const PlainCommand* outer = s.plainCommand;
  const int outerLine = s.plainLine;
  s.plainCommand = &command;
  s.plainLine = command.line;
  int code = TCL_OK;
  const std::string_view name = command.words[0];
  if (name == "puts") {
    std::fwrite(command.words[1].data(), 1, command.words[1].size(), s.output);
    std::fputc('\n', s.output);
  } else if (name == "file") {
    code = deleteFile(s, command.words[2]);
  } else {
    code = invokeCommand(s, plainHandler(name), static_cast<int>(objv.size()), objv.data());
  }
  s.plainCommand = outer;
  s.plainLine = outerLine;
  return code;
}

// Runs the commands of a script or body known to be plain.
int runCommands(Session& s, std::string_view text, int line, const BodyRule* inside) {
  int code = TCL_OK;
  const auto run = [&](const PlainCommand& command) {
    code = runCommand(s, command);
    return code == TCL_OK;
  };
  readCommands(text, line, inside, run, true);
  return code;
}

}  // namespace

std::string withTclLineEnds(std::string_view bytes) {
  std::string text(bytes);
  useTclLineEnds(text);
  return text;
}

void useTclLineEnds(std::string& text) {
  std::size_t cr = text.find('\r');
  if (cr == std::string::npos) return;
  std::size_t to = cr;
  while (cr != std::string::npos) {
    text[to++] = '\n';
    std::size_t from = cr + 1;
    if (from < text.size() && text[from] == '\n') ++from;
    cr = text.find('\r', from);
    const std::size_t end = cr == std::string::npos ? text.size() : cr;
    std::memmove(text.data() + to, text.data() + from, end - from);
    to += end - from;
  }
  text.resize(to);
}

bool isPlainWord(std::string_view word) {
  // Tcl's numbers start with a digit or a point after an optional sign, or
  // are Inf or NaN, which neither reading takes as a finite number.
  std::size_t at = word[0] == '+' || word[0] == '-' ? 1 : 0;
  if (at == word.size() || (word[at] != '.' && (word[at] < '0' || word[at] > '9'))) return true;
  return isPlainReal(word);
}

bool isPlainScript(std::string_view text, PlainBodies* bodies) {
  return readCommands(text, 1, nullptr, kCheckOnly, false, bodies);
}

int runPlainScript(Session& s, std::string_view text) {
  return runCommands(s, text, 1, nullptr);
}

int runPlainBody(Session& s, std::string_view body) {
  const PlainCommand& command = *s.plainCommand;
  return runCommands(s, body, command.line, command.bodyRule);
}

}  // namespace marrowick::engine
