#include "interpreter/command_args.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "interpreter/fiber_lines.h"
#include "interpreter/plain_script.h"

namespace marrowick::engine {

ScriptPosition currentPosition(Tcl_Interp* interp) {
  ScriptPosition position;
  Tcl_InterpState saved = Tcl_SaveInterpState(interp, TCL_OK);
  if (Tcl_EvalEx(interp, "info frame -1", -1, 0) == TCL_OK) {
    Tcl_Obj* frame = Tcl_GetObjResult(interp);
    Tcl_Obj* type = nullptr;
    Tcl_Obj* line = nullptr;
    Tcl_Obj* file = nullptr;
    Tcl_Obj* key = Tcl_NewStringObj("type", -1);
    Tcl_IncrRefCount(key);
    Tcl_DictObjGet(nullptr, frame, key, &type);
    Tcl_SetStringObj(key, "line", -1);
    Tcl_DictObjGet(nullptr, frame, key, &line);
    Tcl_SetStringObj(key, "file", -1);
    Tcl_DictObjGet(nullptr, frame, key, &file);
    Tcl_DecrRefCount(key);
    int lineNumber = 0;
    if (type != nullptr && std::strcmp(Tcl_GetString(type), "source") == 0 && line != nullptr &&
        Tcl_GetIntFromObj(nullptr, line, &lineNumber) == TCL_OK) {
      position.line = lineNumber;
      if (file != nullptr) position.file = Tcl_GetString(file);
    }
  }
  Tcl_RestoreInterpState(interp, saved);
  return position;
}

int scriptLine(Session& s) {
  return s.interp != nullptr ? currentPosition(s.interp).line : s.plainLine;
}

std::string_view Word::text() const {
  if (obj_ == nullptr) return text_;
  int length = 0;
  const char* bytes = Tcl_GetStringFromObj(obj_, &length);
  return {bytes, static_cast<std::size_t>(length)};
}

void setResult(Session& s, int value) {
  if (s.interp != nullptr) Tcl_SetObjResult(s.interp, Tcl_NewIntObj(value));
}

void setResult(Session& s, double value) {
  if (s.interp != nullptr) Tcl_SetObjResult(s.interp, Tcl_NewDoubleObj(value));
}

void setResult(Session& s, std::span<const double> values) {
  if (s.interp == nullptr) return;
  Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
  for (double value : values) Tcl_ListObjAppendElement(nullptr, list, Tcl_NewDoubleObj(value));
  Tcl_SetObjResult(s.interp, list);
}

int fail(Session& s, const std::string& message) {
  if (s.interp == nullptr) {
    if (s.errorPosition.line == 0) s.errorPosition.line = s.plainLine;
    s.errorMessage = message;
    return TCL_ERROR;
  }
  if (s.errorPosition.line == 0) s.errorPosition = currentPosition(s.interp);
  Tcl_SetObjResult(s.interp, Tcl_NewStringObj(message.c_str(), -1));
  return TCL_ERROR;
}

int usage(Session& s, const char* command, const std::string& problem, const char* form) {
  return fail(s, std::string(command) + ": " + problem + "; expected: " + form);
}

std::string quoted(const Word& word) {
  std::string text = "\"";
  text += word.text();
  text += '"';
  return text;
}

// A plain word is a number only in the form both readers agree on (see
// isPlainWord): a whole number of at most 15 digits is exact as a double.
bool getInt(const Word& word, int& value) {
  if (word.obj() == nullptr) {
    const std::string_view text = word.text();
    double real = 0.0;
    if (text.find_first_of(".eE") != std::string_view::npos || !readPlainReal(text, real) ||
        real < INT_MIN || real > INT_MAX) {
      return false;
    }
    value = static_cast<int>(real);
    return true;
  }
  Tcl_WideInt wide = 0;
  if (Tcl_GetWideIntFromObj(nullptr, word.obj(), &wide) != TCL_OK) return false;
  if (wide < INT_MIN || wide > INT_MAX) return false;
  value = static_cast<int>(wide);
  return true;
}

bool getReal(const Word& word, double& value) {
  if (word.obj() == nullptr) return readPlainReal(word.text(), value);
  return Tcl_GetDoubleFromObj(nullptr, word.obj(), &value) == TCL_OK && std::isfinite(value);
}

bool getList(const Word& word, std::vector<Word>& elements) {
  elements.clear();
  if (word.obj() == nullptr) {
    elements.push_back(word);
    return true;
  }
  int count = 0;
  Tcl_Obj** items = nullptr;
  if (Tcl_ListObjGetElements(nullptr, word.obj(), &count, &items) != TCL_OK) return false;
  for (int i = 0; i < count; ++i) elements.emplace_back(items[i]);
  return true;
}

bool Args::integer(const char* name, int& value) {
  if (!has(name)) return false;
  if (!getInt(objv_[next_], value)) {
    return bad(std::string(name) + " must be a whole number, got " + quoted(objv_[next_]));
  }
  ++next_;
  return true;
}

bool Args::real(const char* name, double& value) {
  if (!has(name)) return false;
  if (!getReal(objv_[next_], value)) {
    return bad(std::string(name) + " must be a finite number, got " + quoted(objv_[next_]));
  }
  ++next_;
  return true;
}

bool Args::bad(const std::string& problem) {
  usage(s_, command_, problem, form_);
  return false;
}

int Args::fail(const std::string& problem) {
  bad(problem);
  return TCL_ERROR;
}

bool Args::has(const char* name) {
  if (next_ < objc_) return true;
  return bad(std::string("missing ") + name);
}

bool needModel(Session& s, const char* command) {
  if (s.domain) return true;
  fail(s, std::string(command) +
              ": there is no model yet (wipe removes it); start with: model basic -ndm 2 -ndf 3");
  return false;
}

bool notInsideBody(Session& s, const char* command) {
  if (s.buildingSection == nullptr && s.buildingPattern == nullptr) return true;
  fail(s, std::string(command) + ": not allowed inside the braces of a section or pattern");
  return false;
}

int evalBody(Session& s, const Word& body, const std::string& context) {
  if (s.interp == nullptr) return runPlainBody(s, body.text());
  const int code = Tcl_EvalObjEx(s.interp, body.obj(), TCL_EVAL_DIRECT);
  if (code == TCL_ERROR) {
    const int bodyLine = Tcl_GetErrorLine(s.interp);
    if (s.errorPosition.line == 0) {
      Tcl_InterpState saved = Tcl_SaveInterpState(s.interp, code);
      ScriptPosition own = currentPosition(s.interp);
      Tcl_RestoreInterpState(s.interp, saved);
      if (own.line > 0) {
        own.line += bodyLine - 1;
        s.errorPosition = own;
      }
    }
    Tcl_AppendObjToErrorInfo(s.interp,
                             Tcl_ObjPrintf("\n    (%s body line %d)", context.c_str(), bodyLine));
  }
  return code;
}

}  // namespace marrowick::engine
