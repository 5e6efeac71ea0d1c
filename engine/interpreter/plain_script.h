#pragma once

// Scripts in the solver's own words only, run without a Tcl interpreter.
//
// Most scripts are a list of the solver's commands with plain words: numbers,
// names and flags, bodies of "section Fiber" and "pattern Plain" in braces,
// comments and ";". Such a script means the same without Tcl, and making an
// interpreter costs more than analysing the section, so it is run here.
// Whether a script is plain is decided once, from the whole text, before
// anything runs: a script with a single word that Tcl would read otherwise
// (a "$", a "[", a backslash, a quote, a brace anywhere but around a body, a
// command that is not the solver's own) runs under Tcl from its first line to
// its last, so that a script never has two meanings. Numbers are read alike
// only in plain decimals: a word that Tcl might read as a number in another
// form ("010" is octal to Tcl, "0x1f", 16-digit whole numbers, values beyond
// a normal double) also sends the script to Tcl.
//
// A plain script needs nothing of Tcl at all: no interpreter, no word
// objects, not even the library's set-up, which is most of a short run's
// start.

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "interpreter/fiber_lines.h"

namespace marrowick::engine {

class Session;
struct BodyRule;

struct PlainCommand {
  int line = 0;                         // of its first word
  std::vector<std::string_view> words;  // a body without its braces
  int bodyWord = -1;                    // the word that is a body, if any
  const BodyRule* bodyRule = nullptr;   // what the body may hold
};

// The text of a script file as Tcl reads it: "\r\n" and a lone "\r" end a
// line like "\n".
std::string withTclLineEnds(std::string_view bytes);
// The same, in place.
void useTclLineEnds(std::string& text);

// The last section body a thread read and its fiber lines. The runs of one
// section (its moment-curvature run, each axial level, each contour angle)
// share the body's text, hundreds of lines, and comparing the text costs far
// less than reading it again. Only ever a shortcut to the same fibers: what
// a run does never depends on what ran before it.
class FiberBodyMemo {
 public:
  const std::vector<FiberLine>* find(std::string_view body) const {
    return body == text_ ? &fibers_ : nullptr;
  }
  void keep(std::string_view body, const std::vector<FiberLine>& fibers) {
    text_.assign(body);
    fibers_ = fibers;
  }

 private:
  std::string text_;
  std::vector<FiberLine> fibers_;
};

// The fiber lines of a plain script's sections, read while the script was
// checked, by where each body starts in the script's text: the section
// command then takes them as they are instead of reading them again.
class PlainBodies {
 public:
  PlainBodies() = default;
  // Bodies read before are taken from (and new ones left in) the memo.
  explicit PlainBodies(FiberBodyMemo* memo) : memo_(memo) {}
  FiberBodyMemo* memo() const { return memo_; }

  void add(const char* body, std::vector<FiberLine> fibers) {
    fibers_.emplace_back(body, std::move(fibers));
  }
  const std::vector<FiberLine>* find(const char* body) const {
    for (const auto& [start, fibers] : fibers_) {
      if (start == body) return &fibers;
    }
    return nullptr;
  }

 private:
  std::vector<std::pair<const char*, std::vector<FiberLine>>> fibers_;
  FiberBodyMemo* memo_ = nullptr;
};

// Whether a script (its text given with Tcl's line ends) is plain; the
// sections' fiber lines go to bodies, if given, on the way.
bool isPlainScript(std::string_view text, PlainBodies* bodies = nullptr);
// A word that means the same with or without Tcl wherever it stands: any
// word but one that Tcl may read as a number other than a plain decimal.
bool isPlainWord(std::string_view word);

// Runs a plain script's commands until the first error: TCL_OK or TCL_ERROR,
// the message and its line in the session.
int runPlainScript(Session& s, std::string_view text);
// Runs the body (the text in its braces) of the command being run
// (session.plainCommand).
int runPlainBody(Session& s, std::string_view body);

}  // namespace marrowick::engine
