#include "command_args.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "plain_script.h"

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

void setResult(Session& s, Tcl_Obj* result) {
  if (s.interp != nullptr) {
    Tcl_SetObjResult(s.interp, result);
  } else {
    Tcl_IncrRefCount(result);
    Tcl_DecrRefCount(result);
  }
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

std::string quoted(Tcl_Obj* obj) {
  return std::string("\"") + Tcl_GetString(obj) + "\"";
}

bool getInt(Tcl_Obj* obj, int& value) {
  Tcl_WideInt wide = 0;
  if (Tcl_GetWideIntFromObj(nullptr, obj, &wide) != TCL_OK) return false;
  if (wide < INT_MIN || wide > INT_MAX) return false;
  value = static_cast<int>(wide);
  return true;
}

bool getReal(Tcl_Obj* obj, double& value) {
  return Tcl_GetDoubleFromObj(nullptr, obj, &value) == TCL_OK && std::isfinite(value);
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

int evalBody(Session& s, Tcl_Obj* body, const std::string& context) {
  if (s.interp == nullptr) return runPlainBody(s);
  const int code = Tcl_EvalObjEx(s.interp, body, TCL_EVAL_DIRECT);
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
