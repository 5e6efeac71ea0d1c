#include "commands.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <vector>

#include "analysis.h"
#include "concrete01.h"
#include "domain.h"
#include "model_error.h"
#include "steel02.h"

namespace marrowick::engine {

// Everything a script builds: the model, the analysis set up for it and the
// state of the section or pattern body being read.
class Session {
 public:
  Session(Tcl_Interp* interp, std::FILE* warnings) : interp(interp), warnings(warnings) {}

  void wipe() {
    analysis.reset();
    pendingIntegrator.reset();
    pendingTest.reset();
    if (domain) domain->closeRecorders();
    domain.reset();
    buildingSection = nullptr;
    buildingPattern = nullptr;
  }

  Tcl_Interp* interp;
  std::FILE* warnings;
  std::unique_ptr<Domain> domain;  // null until "model"
  std::unique_ptr<StaticAnalysis> analysis;
  std::unique_ptr<Integrator> pendingIntegrator;  // given before "analysis"
  std::unique_ptr<ConvergenceTest> pendingTest;
  FiberSection* buildingSection = nullptr;
  LoadPattern* buildingPattern = nullptr;
  ScriptPosition errorPosition;
};

namespace {

using Objv = Tcl_Obj* const*;

// Every step writes a recorder line and every iteration refactors the
// tangent: a mistyped count (analyze 1000000000, a MAXITER of 2147483647
// with a tolerance never reached) would run for hours and fill the disk, so
// it is refused. A longer analysis calls analyze again.
constexpr int kMaxStepsPerAnalyze = 1000000;
constexpr int kMaxIterations = 10000;

// ---- Where in the script ----------------------------------------------------

// The file and line of the command being run, when the interpreter knows them
// (it does for commands read from a file, also inside loop bodies).
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

// Sets the error message and remembers where it happened.
int fail(Session& s, const std::string& message) {
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

// ---- Arguments ----------------------------------------------------------------

// Whole numbers that fit a 32-bit count or tag; "1e12" or "2.5" are refused.
bool getInt(Tcl_Obj* obj, int& value) {
  Tcl_WideInt wide = 0;
  if (Tcl_GetWideIntFromObj(nullptr, obj, &wide) != TCL_OK) return false;
  if (wide < INT_MIN || wide > INT_MAX) return false;
  value = static_cast<int>(wide);
  return true;
}

// Finite reals only: an infinite or undefined input would only come back as a
// step that never converges.
bool getReal(Tcl_Obj* obj, double& value) {
  return Tcl_GetDoubleFromObj(nullptr, obj, &value) == TCL_OK && std::isfinite(value);
}

// Reads the arguments of a command one by one, naming the first bad one.
class Args {
 public:
  Args(Session& s, const char* command, const char* form, int objc, Objv objv, int first)
      : s_(s), command_(command), form_(form), objc_(objc), objv_(objv), next_(first) {}

  bool integer(const char* name, int& value) {
    if (!has(name)) return false;
    if (!getInt(objv_[next_], value)) {
      return bad(std::string(name) + " must be a whole number, got " + quoted(objv_[next_]));
    }
    ++next_;
    return true;
  }
  bool real(const char* name, double& value) {
    if (!has(name)) return false;
    if (!getReal(objv_[next_], value)) {
      return bad(std::string(name) + " must be a finite number, got " + quoted(objv_[next_]));
    }
    ++next_;
    return true;
  }
  bool bad(const std::string& problem) {
    usage(s_, command_, problem, form_);
    return false;
  }
  // The same, as a command's result.
  int fail(const std::string& problem) {
    bad(problem);
    return TCL_ERROR;
  }

 private:
  bool has(const char* name) {
    if (next_ < objc_) return true;
    return bad(std::string("missing ") + name);
  }

  Session& s_;
  const char* command_;
  const char* form_;
  int objc_;
  Objv objv_;
  int next_;
};

bool needModel(Session& s, const char* command) {
  if (s.domain) return true;
  fail(s, std::string(command) +
              ": there is no model yet (wipe removes it); start with: model basic -ndm 2 -ndf 3");
  return false;
}

// Runs a command body (a section's fibers, a pattern's loads). An error in it
// is placed on its own line of the script: the body starts on the line of the
// command.
int evalBody(Session& s, Tcl_Obj* body, const std::string& context) {
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

// ---- Model ----------------------------------------------------------------------

// The model may not vanish under a section or pattern that is being read.
bool notInsideBody(Session& s, const char* command) {
  if (s.buildingSection == nullptr && s.buildingPattern == nullptr) return true;
  fail(s, std::string(command) + ": not allowed inside the braces of a section or pattern");
  return false;
}

int cmdWipe(Session& s, int objc, Objv) {
  if (objc != 1) return usage(s, "wipe", "it takes no arguments", "wipe");
  if (!notInsideBody(s, "wipe")) return TCL_ERROR;
  s.wipe();
  return TCL_OK;
}

int cmdModel(Session& s, int objc, Objv objv) {
  const char* form = "model basic -ndm 2 -ndf 3";
  if (objc < 2 || std::strcmp(Tcl_GetString(objv[1]), "basic") != 0) {
    return usage(s, "model", "only the basic model builder is known", form);
  }
  int ndm = 0;
  int ndf = 3;
  for (int i = 2; i < objc; i += 2) {
    const std::string option = Tcl_GetString(objv[i]);
    if ((option != "-ndm" && option != "-ndf") || i + 1 >= objc) {
      return usage(s, "model", "unexpected " + quoted(objv[i]), form);
    }
    int value = 0;
    if (!getInt(objv[i + 1], value)) {
      return usage(s, "model", option + " must be a whole number", form);
    }
    (option == "-ndm" ? ndm : ndf) = value;
  }
  if (ndm != 2 || ndf != 3) {
    return usage(s, "model", "this solver builds plane frames only (2 dimensions, 3 dofs)", form);
  }
  s.wipe();
  s.domain = std::make_unique<Domain>();
  return TCL_OK;
}

int cmdNode(Session& s, int objc, Objv objv) {
  const char* form = "node TAG X Y";
  if (!needModel(s, "node")) return TCL_ERROR;
  if (objc != 4) return usage(s, "node", "wrong number of arguments", form);
  Args args(s, "node", form, objc, objv, 1);
  int tag = 0;
  double x = 0.0;
  double y = 0.0;
  if (!args.integer("TAG", tag) || !args.real("X", x) || !args.real("Y", y)) return TCL_ERROR;
  s.domain->addNode(tag, x, y);
  return TCL_OK;
}

int cmdFix(Session& s, int objc, Objv objv) {
  const char* form = "fix TAG C1 C2 C3 (1 fixed, 0 free)";
  if (!needModel(s, "fix")) return TCL_ERROR;
  if (objc != 2 + kDofsPerNode) return usage(s, "fix", "wrong number of arguments", form);
  Args args(s, "fix", form, objc, objv, 1);
  int tag = 0;
  if (!args.integer("TAG", tag)) return TCL_ERROR;
  std::array<bool, kDofsPerNode> fixity{};
  for (int dof = 0; dof < kDofsPerNode; ++dof) {
    int flag = 0;
    if (!getInt(objv[2 + dof], flag) || (flag != 0 && flag != 1)) {
      return usage(s, "fix", "each flag must be 0 or 1, got " + quoted(objv[2 + dof]), form);
    }
    fixity[dof] = flag == 1;
  }
  s.domain->fix(tag, fixity);
  return TCL_OK;
}

int cmdUniaxialMaterial(Session& s, int objc, Objv objv) {
  const char* forms =
      "uniaxialMaterial Elastic TAG E, uniaxialMaterial Concrete01 TAG FPC EPSC0 FPCU EPSCU, or "
      "uniaxialMaterial Steel02 TAG FY E B ?R0 CR1 CR2 ?A1 A2 A3 A4 ?SIGINIT???";
  if (!needModel(s, "uniaxialMaterial")) return TCL_ERROR;
  if (objc < 3) return usage(s, "uniaxialMaterial", "missing the type and tag", forms);
  const std::string type = Tcl_GetString(objv[1]);
  if (type == "Elastic") {
    const char* form = "uniaxialMaterial Elastic TAG E";
    if (objc != 4) return usage(s, "uniaxialMaterial", "wrong number of arguments", form);
    Args args(s, "uniaxialMaterial", form, objc, objv, 2);
    int tag = 0;
    double e = 0.0;
    if (!args.integer("TAG", tag) || !args.real("E", e)) return TCL_ERROR;
    s.domain->addMaterial(std::make_unique<ElasticMaterial>(tag, e));
    return TCL_OK;
  }
  if (type == "Concrete01") {
    const char* form = "uniaxialMaterial Concrete01 TAG FPC EPSC0 FPCU EPSCU";
    if (objc != 7) return usage(s, "uniaxialMaterial", "wrong number of arguments", form);
    Args args(s, "uniaxialMaterial", form, objc, objv, 2);
    int tag = 0;
    double fpc = 0.0, epsc0 = 0.0, fpcu = 0.0, epscu = 0.0;
    if (!args.integer("TAG", tag) || !args.real("FPC", fpc) || !args.real("EPSC0", epsc0) ||
        !args.real("FPCU", fpcu) || !args.real("EPSCU", epscu)) {
      return TCL_ERROR;
    }
    if (epsc0 == 0.0 || fpc == 0.0) {
      return args.fail("FPC and EPSC0 must not be zero (the initial modulus is 2*FPC/EPSC0)");
    }
    s.domain->addMaterial(std::make_unique<Concrete01>(tag, fpc, epsc0, fpcu, epscu));
    return TCL_OK;
  }
  if (type == "Steel02") {
    const char* form = "uniaxialMaterial Steel02 TAG FY E B ?R0 CR1 CR2 ?A1 A2 A3 A4 ?SIGINIT???";
    const int numbers = objc - 3;
    if (numbers != 3 && numbers != 6 && numbers != 10 && numbers != 11) {
      return usage(
          s, "uniaxialMaterial",
          "Steel02 takes 3, 6, 10 or 11 numbers after the tag, got " + std::to_string(numbers),
          form);
    }
    Args args(s, "uniaxialMaterial", form, objc, objv, 2);
    int tag = 0;
    Steel02::Parameters p;
    if (!args.integer("TAG", tag) || !args.real("FY", p.fy) || !args.real("E", p.e0) ||
        !args.real("B", p.b)) {
      return TCL_ERROR;
    }
    if (numbers >= 6 &&
        (!args.real("R0", p.r0) || !args.real("CR1", p.cr1) || !args.real("CR2", p.cr2))) {
      return TCL_ERROR;
    }
    if (numbers >= 10 && (!args.real("A1", p.a1) || !args.real("A2", p.a2) ||
                          !args.real("A3", p.a3) || !args.real("A4", p.a4))) {
      return TCL_ERROR;
    }
    if (numbers == 11 && !args.real("SIGINIT", p.sigInit)) return TCL_ERROR;
    if (p.fy == 0.0 || p.e0 == 0.0) {
      return args.fail("FY and E must not be zero (the yield strain is FY/E)");
    }
    if (p.b == 1.0) {
      return args.fail("B must not be 1 (the hardening line would be the elastic one)");
    }
    s.domain->addMaterial(std::make_unique<Steel02>(tag, p));
    return TCL_OK;
  }
  return usage(s, "uniaxialMaterial", "unknown material type " + quoted(objv[1]), forms);
}

bool fiberCommandIsOurs(Tcl_Interp* interp);

// A section body is usually hundreds of plain "fiber Y Z AREA MATTAG" lines.
// Tcl would make a word object per argument and parse each number through its
// own reader, which costs most of a short run; such a body is read here
// instead. Anything else (variables, brackets, braces, quotes, backslashes,
// comments, other commands, numbers beyond plain decimals, an unknown
// material, a fiber command that was renamed or traced) leaves the body to
// Tcl untouched, so its errors and their lines stay as Tcl reports them.
namespace plain {

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Decimal digits with no leading zero before another digit: Tcl would read
// "010" as octal.
bool wholePart(std::string_view text, std::size_t& at) {
  const std::size_t start = at;
  while (at < text.size() && isDigit(text[at])) ++at;
  return !(at - start > 1 && text[start] == '0');
}

// What Tcl and std::from_chars read alike: [+-]digits[.digits][e[+-]digits].
// Both round correctly, and from_chars ignores the locale.
bool real(std::string_view text, double& value) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  const std::size_t mantissa = at;
  if (!wholePart(text, at)) return false;
  std::size_t digits = at - mantissa;
  if (at < text.size() && text[at] == '.') {
    ++at;
    const std::size_t fraction = at;
    while (at < text.size() && isDigit(text[at])) ++at;
    digits += at - fraction;
  }
  if (digits == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const std::size_t exponent = at;
    while (at < text.size() && isDigit(text[at])) ++at;
    if (at == exponent) return false;
  }
  if (at != text.size()) return false;
  const char* first = text.data() + (text[0] == '+' ? 1 : 0);
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
  if (error != std::errc() || end != last) return false;
  // Infinite values are refused by the command, and values too small for a
  // normal double are left to Tcl's own reader.
  return std::isfinite(value) && (value == 0.0 || std::isnormal(value));
}

bool integer(std::string_view text, int& value) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  const std::size_t start = at;
  if (!wholePart(text, at) || at == start || at != text.size() || at - start > 9) return false;
  const char* first = text.data() + (text[0] == '+' ? 1 : 0);
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, value);
  return error == std::errc() && end == last;
}

struct FiberLine {
  double y, z, area;
  const UniaxialMaterial* material;
};

// Reads the whole body, or nothing: false leaves it to Tcl.
bool readFibers(const Domain& domain, std::string_view body, std::vector<FiberLine>& fibers) {
  for (char c : body) {
    const bool allowed = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
                         (c >= 'A' && c <= 'Z') || c == '.' || c == '+' || c == '-' || c == '\n' ||
                         isSpace(c);
    if (!allowed) return false;
  }
  std::size_t at = 0;
  while (at < body.size()) {
    std::string_view words[6];
    int count = 0;
    while (at < body.size() && body[at] != '\n') {
      if (isSpace(body[at])) {
        ++at;
        continue;
      }
      const std::size_t start = at;
      while (at < body.size() && body[at] != '\n' && !isSpace(body[at])) ++at;
      if (count == 6) return false;
      words[count++] = body.substr(start, at - start);
    }
    ++at;  // the newline
    if (count == 0) continue;
    FiberLine fiber = {};
    int materialTag = 0;
    if (count != 5 || words[0] != "fiber" || !real(words[1], fiber.y) || !real(words[2], fiber.z) ||
        !real(words[3], fiber.area) || !integer(words[4], materialTag)) {
      return false;
    }
    fiber.material = domain.findMaterial(materialTag);
    if (fiber.material == nullptr) return false;
    fibers.push_back(fiber);
  }
  return true;
}

}  // namespace plain

// True when the body was read here; false when it must go to Tcl (nothing
// has been added then).
bool addPlainFibers(Session& s, Tcl_Obj* body, FiberSection& section) {
  int length = 0;
  const char* text = Tcl_GetStringFromObj(body, &length);
  std::vector<plain::FiberLine> fibers;
  if (!plain::readFibers(*s.domain, std::string_view(text, static_cast<std::size_t>(length)),
                         fibers) ||
      !fiberCommandIsOurs(s.interp)) {
    return false;
  }
  for (const plain::FiberLine& fiber : fibers)
    section.addFiber(fiber.y, fiber.area, *fiber.material);
  return true;
}

int cmdSection(Session& s, int objc, Objv objv) {
  const char* form = "section Fiber TAG { fiber Y Z AREA MATTAG ... }";
  if (!needModel(s, "section")) return TCL_ERROR;
  if (objc < 2 || std::strcmp(Tcl_GetString(objv[1]), "Fiber") != 0) {
    return usage(s, "section", "only Fiber sections are known", form);
  }
  if (objc != 4) return usage(s, "section", "wrong number of arguments", form);
  if (!notInsideBody(s, "section")) return TCL_ERROR;
  Args args(s, "section", form, objc, objv, 2);
  int tag = 0;
  if (!args.integer("TAG", tag)) return TCL_ERROR;
  if (s.domain->findSection(tag) != nullptr) {
    return fail(s, "section: section " + std::to_string(tag) + " already exists");
  }
  auto section = std::make_unique<FiberSection>(tag);
  if (!addPlainFibers(s, objv[3], *section)) {
    s.buildingSection = section.get();
    const int code = evalBody(s, objv[3], "section Fiber " + std::to_string(tag));
    s.buildingSection = nullptr;
    if (code != TCL_OK) return code;
  }
  section->finish();
  s.domain->addSection(std::move(section));
  return TCL_OK;
}

int cmdFiber(Session& s, int objc, Objv objv) {
  const char* form = "fiber Y Z AREA MATTAG (inside section Fiber)";
  if (s.buildingSection == nullptr) {
    return fail(s, "fiber: only allowed inside the braces of section Fiber");
  }
  if (objc != 5) return usage(s, "fiber", "wrong number of arguments", form);
  Args args(s, "fiber", form, objc, objv, 1);
  double y = 0.0, z = 0.0, area = 0.0;
  int materialTag = 0;
  if (!args.real("Y", y) || !args.real("Z", z) || !args.real("AREA", area) ||
      !args.integer("MATTAG", materialTag)) {
    return TCL_ERROR;
  }
  const UniaxialMaterial* material = s.domain->findMaterial(materialTag);
  if (material == nullptr) {
    return fail(s, "fiber: there is no uniaxialMaterial " + std::to_string(materialTag));
  }
  s.buildingSection->addFiber(y, area, *material);
  return TCL_OK;
}

int cmdElement(Session& s, int objc, Objv objv) {
  const char* form = "element zeroLengthSection TAG NODEI NODEJ SECTAG";
  if (!needModel(s, "element")) return TCL_ERROR;
  if (objc < 2 || std::strcmp(Tcl_GetString(objv[1]), "zeroLengthSection") != 0) {
    return usage(s, "element",
                 objc < 2 ? std::string("missing the element type")
                          : "unknown element type " + quoted(objv[1]),
                 form);
  }
  if (objc != 6) return usage(s, "element", "wrong number of arguments", form);
  Args args(s, "element", form, objc, objv, 2);
  int tag = 0, nodeI = 0, nodeJ = 0, sectionTag = 0;
  if (!args.integer("TAG", tag) || !args.integer("NODEI", nodeI) || !args.integer("NODEJ", nodeJ) ||
      !args.integer("SECTAG", sectionTag)) {
    return TCL_ERROR;
  }
  s.domain->addElement(tag, nodeI, nodeJ, sectionTag);
  return TCL_OK;
}

int cmdPattern(Session& s, int objc, Objv objv) {
  const char* form = "pattern Plain TAG Constant|Linear ?-factor F? { load NODE PX PY MZ ... }";
  if (!needModel(s, "pattern")) return TCL_ERROR;
  if (objc < 2 || std::strcmp(Tcl_GetString(objv[1]), "Plain") != 0) {
    return usage(s, "pattern", "only Plain patterns are known", form);
  }
  if (objc != 5) return usage(s, "pattern", "wrong number of arguments", form);
  if (!notInsideBody(s, "pattern")) return TCL_ERROR;
  Args args(s, "pattern", form, objc, objv, 2);
  int tag = 0;
  if (!args.integer("TAG", tag)) return TCL_ERROR;

  // The time series: a name, optionally with its constant factor.
  int seriesWords = 0;
  Tcl_Obj** series = nullptr;
  if (Tcl_ListObjGetElements(nullptr, objv[3], &seriesWords, &series) != TCL_OK ||
      seriesWords < 1) {
    return usage(s, "pattern", "the time series must be Constant or Linear", form);
  }
  const std::string seriesName = Tcl_GetString(series[0]);
  TimeSeries kind;
  if (seriesName == "Constant") {
    kind = TimeSeries::Constant;
  } else if (seriesName == "Linear") {
    kind = TimeSeries::Linear;
  } else {
    return usage(s, "pattern", "unknown time series " + quoted(series[0]), form);
  }
  double seriesFactor = 1.0;
  if (seriesWords == 3 && std::strcmp(Tcl_GetString(series[1]), "-factor") == 0) {
    if (!getReal(series[2], seriesFactor)) {
      return usage(s, "pattern", "-factor must be a finite number", form);
    }
  } else if (seriesWords != 1) {
    return usage(s, "pattern", "unexpected time series options " + quoted(objv[3]), form);
  }

  LoadPattern& pattern = s.domain->addPattern(tag, kind, seriesFactor);
  s.buildingPattern = &pattern;
  const int code = evalBody(s, objv[4], "pattern Plain " + std::to_string(tag));
  s.buildingPattern = nullptr;
  return code;
}

int cmdLoad(Session& s, int objc, Objv objv) {
  const char* form = "load NODE PX PY MZ (inside pattern Plain)";
  if (s.buildingPattern == nullptr) {
    return fail(s, "load: only allowed inside the braces of pattern Plain");
  }
  if (objc != 2 + kDofsPerNode) return usage(s, "load", "wrong number of arguments", form);
  Args args(s, "load", form, objc, objv, 1);
  int node = 0;
  NodeVector value{};
  if (!args.integer("NODE", node) || !args.real("PX", value[0]) || !args.real("PY", value[1]) ||
      !args.real("MZ", value[2])) {
    return TCL_ERROR;
  }
  s.domain->addLoad(*s.buildingPattern, node, value);
  return TCL_OK;
}

int cmdLoadConst(Session& s, int objc, Objv objv) {
  const char* form = "loadConst ?-time T?";
  if (!needModel(s, "loadConst")) return TCL_ERROR;
  if (objc != 1 && objc != 3) return usage(s, "loadConst", "wrong number of arguments", form);
  double time = 0.0;
  if (objc == 3) {
    if (std::strcmp(Tcl_GetString(objv[1]), "-time") != 0) {
      return usage(s, "loadConst", "unexpected " + quoted(objv[1]), form);
    }
    if (!getReal(objv[2], time)) {
      return usage(s, "loadConst", "T must be a finite number, got " + quoted(objv[2]), form);
    }
  }
  s.domain->freezePatterns();
  if (objc == 3) s.domain->resetTime(time);
  return TCL_OK;
}

// ---- Analysis -------------------------------------------------------------------

void installIntegrator(Session& s, std::unique_ptr<Integrator> integrator) {
  if (s.analysis) {
    s.analysis->setIntegrator(std::move(integrator));
  } else {
    s.pendingIntegrator = std::move(integrator);
  }
}

int cmdIntegrator(Session& s, int objc, Objv objv) {
  const char* forms =
      "integrator LoadControl DLAMBDA ?NUMITER MINDLAMBDA MAXDLAMBDA? or "
      "integrator DisplacementControl NODE DOF DU ?NUMITER MINDU MAXDU?";
  if (!needModel(s, "integrator")) return TCL_ERROR;
  if (objc < 2) return usage(s, "integrator", "missing the integrator type", forms);
  const std::string type = Tcl_GetString(objv[1]);
  if (type == "LoadControl") {
    const char* form = "integrator LoadControl DLAMBDA ?NUMITER MINDLAMBDA MAXDLAMBDA?";
    if (objc != 3 && objc != 6) return usage(s, "integrator", "wrong number of arguments", form);
    Args args(s, "integrator", form, objc, objv, 2);
    double increment = 0.0;
    if (!args.real("DLAMBDA", increment)) return TCL_ERROR;
    int wanted = 1;
    double least = increment, most = increment;
    if (objc == 6 && (!args.integer("NUMITER", wanted) || !args.real("MINDLAMBDA", least) ||
                      !args.real("MAXDLAMBDA", most))) {
      return TCL_ERROR;
    }
    if (wanted < 1) return args.fail("NUMITER must be at least 1");
    installIntegrator(s, std::make_unique<LoadControl>(increment, wanted, least, most));
    return TCL_OK;
  }
  if (type == "DisplacementControl") {
    const char* form = "integrator DisplacementControl NODE DOF DU ?NUMITER MINDU MAXDU?";
    if (objc != 5 && objc != 8) return usage(s, "integrator", "wrong number of arguments", form);
    Args args(s, "integrator", form, objc, objv, 2);
    int node = 0, dof = 0;
    double increment = 0.0;
    if (!args.integer("NODE", node) || !args.integer("DOF", dof) || !args.real("DU", increment)) {
      return TCL_ERROR;
    }
    int wanted = 1;
    double least = increment, most = increment;
    if (objc == 8 && (!args.integer("NUMITER", wanted) || !args.real("MINDU", least) ||
                      !args.real("MAXDU", most))) {
      return TCL_ERROR;
    }
    if (s.domain->findNode(node) == nullptr) {
      return args.fail("there is no node " + std::to_string(node));
    }
    if (dof < 1 || dof > kDofsPerNode) return args.fail("DOF must be 1, 2 or 3");
    if (wanted < 1) return args.fail("NUMITER must be at least 1");
    installIntegrator(
        s, std::make_unique<DisplacementControl>(node, dof - 1, increment, wanted, least, most));
    return TCL_OK;
  }
  return usage(s, "integrator", "unknown integrator " + quoted(objv[1]), forms);
}

int cmdTest(Session& s, int objc, Objv objv) {
  const char* form =
      "test EnergyIncr|NormDispIncr|NormUnbalance TOL MAXITER ?PRINTFLAG ?NORMTYPE??";
  if (!needModel(s, "test")) return TCL_ERROR;
  if (objc < 4 || objc > 6) return usage(s, "test", "wrong number of arguments", form);
  const std::string type = Tcl_GetString(objv[1]);
  TestKind kind;
  if (type == "EnergyIncr") {
    kind = TestKind::EnergyIncr;
  } else if (type == "NormDispIncr") {
    kind = TestKind::NormDispIncr;
  } else if (type == "NormUnbalance") {
    kind = TestKind::NormUnbalance;
  } else {
    return usage(s, "test", "unknown test " + quoted(objv[1]), form);
  }
  Args args(s, "test", form, objc, objv, 2);
  double tolerance = 0.0;
  int maxIterations = 0, printFlag = 0, normType = 2;
  if (!args.real("TOL", tolerance) || !args.integer("MAXITER", maxIterations)) return TCL_ERROR;
  if (objc >= 5 && !args.integer("PRINTFLAG", printFlag)) return TCL_ERROR;
  if (objc >= 6 && !args.integer("NORMTYPE", normType)) return TCL_ERROR;
  if (maxIterations < 1 || maxIterations > kMaxIterations) {
    return args.fail("MAXITER must be from 1 to " + std::to_string(kMaxIterations));
  }
  if (normType != 2) return args.fail("only the 2-norm (NORMTYPE 2) is available");
  auto test = std::make_unique<ConvergenceTest>(kind, tolerance, maxIterations);
  if (s.analysis) {
    s.analysis->setTest(std::move(test));
  } else {
    s.pendingTest = std::move(test);
  }
  return TCL_OK;
}

// Choices that change nothing for the small dense systems solved here, checked
// only so that a misspelt name does not pass unnoticed.
int cmdChoice(Session& s, const char* command, int objc, Objv objv,
              std::initializer_list<const char*> known, bool optionsAllowed, const char* form) {
  if (!needModel(s, command)) return TCL_ERROR;
  if (objc < 2 || (!optionsAllowed && objc != 2)) {
    return usage(s, command, "wrong number of arguments", form);
  }
  const char* name = Tcl_GetString(objv[1]);
  for (const char* candidate : known) {
    if (std::strcmp(name, candidate) == 0) return TCL_OK;
  }
  return usage(s, command, "unknown choice " + quoted(objv[1]), form);
}

int cmdSystem(Session& s, int objc, Objv objv) {
  return cmdChoice(s, "system", objc, objv,
                   {"BandGeneral", "BandSPD", "ProfileSPD", "SparseGeneral", "SparseSYM",
                    "SparseSPD", "UmfPack", "FullGeneral", "Mumps"},
                   true, "system BandGeneral|ProfileSPD|SparseGeneral|UmfPack|FullGeneral ...");
}

int cmdNumberer(Session& s, int objc, Objv objv) {
  return cmdChoice(s, "numberer", objc, objv, {"Plain"}, false, "numberer Plain");
}

int cmdConstraints(Session& s, int objc, Objv objv) {
  return cmdChoice(s, "constraints", objc, objv, {"Plain", "Transformation"}, false,
                   "constraints Plain|Transformation");
}

int cmdAlgorithm(Session& s, int objc, Objv objv) {
  return cmdChoice(s, "algorithm", objc, objv, {"Newton"}, false, "algorithm Newton");
}

int cmdAnalysis(Session& s, int objc, Objv objv) {
  const char* form = "analysis Static";
  if (!needModel(s, "analysis")) return TCL_ERROR;
  if (objc != 2 || std::strcmp(Tcl_GetString(objv[1]), "Static") != 0) {
    return usage(s, "analysis", "only a Static analysis is available", form);
  }
  auto analysis = std::make_unique<StaticAnalysis>(*s.domain);
  analysis->setIntegrator(s.pendingIntegrator ? std::move(s.pendingIntegrator)
                                              : std::make_unique<LoadControl>(1.0, 1, 1.0, 1.0));
  analysis->setTest(s.pendingTest
                        ? std::move(s.pendingTest)
                        : std::make_unique<ConvergenceTest>(TestKind::NormUnbalance, 1e-6, 25));
  s.analysis = std::move(analysis);
  return TCL_OK;
}

int cmdAnalyze(Session& s, int objc, Objv objv) {
  const char* form = "analyze NUMSTEPS";
  if (objc != 2) return usage(s, "analyze", "wrong number of arguments", form);
  int steps = 0;
  if (!getInt(objv[1], steps) || steps < 0 || steps > kMaxStepsPerAnalyze) {
    return usage(s, "analyze",
                 "NUMSTEPS must be a whole number from 0 to " +
                     std::to_string(kMaxStepsPerAnalyze) + ", got " + quoted(objv[1]),
                 form);
  }
  if (!s.analysis) return fail(s, "analyze: no analysis yet; define one with: analysis Static");
  const int code = s.analysis->analyze(steps);
  if (code != 0) {
    const StepFailure& failure = s.analysis->failure();
    const ScriptPosition here = currentPosition(s.interp);
    std::string where = here.line > 0 ? " (line " + std::to_string(here.line) + ")" : "";
    std::fprintf(s.warnings,
                 "marrowick-solver: warning: analyze%s: step %d of %d failed at load factor %g: "
                 "%s; analyze returns %d\n",
                 where.c_str(), failure.step + 1, steps, failure.time, failure.reason.c_str(),
                 code);
  }
  Tcl_SetObjResult(s.interp, Tcl_NewIntObj(code));
  return TCL_OK;
}

int cmdRecorder(Session& s, int objc, Objv objv) {
  const char* form = "recorder Node -file NAME ?-time? -node TAG... -dof DOF... disp";
  if (!needModel(s, "recorder")) return TCL_ERROR;
  if (objc < 2 || std::strcmp(Tcl_GetString(objv[1]), "Node") != 0) {
    return usage(s, "recorder", "only Node recorders are known", form);
  }
  std::string file;
  bool withTime = false;
  int precision = 6;
  std::vector<int> nodes;
  std::vector<int> dofs;
  bool sawDisp = false;
  int i = 2;
  while (i < objc) {
    const std::string option = Tcl_GetString(objv[i]);
    if (option == "-file") {
      if (i + 1 >= objc) return usage(s, "recorder", "-file needs a file name", form);
      file = Tcl_GetString(objv[i + 1]);
      i += 2;
    } else if (option == "-time") {
      withTime = true;
      ++i;
    } else if (option == "-precision") {
      if (i + 1 >= objc || !getInt(objv[i + 1], precision) || precision < 1 || precision > 17) {
        return usage(s, "recorder", "-precision needs a whole number from 1 to 17", form);
      }
      i += 2;
    } else if (option == "-node" || option == "-dof") {
      std::vector<int>& list = option == "-node" ? nodes : dofs;
      ++i;
      int value = 0;
      while (i < objc && getInt(objv[i], value)) {
        list.push_back(value);
        ++i;
      }
    } else if (option == "disp") {
      sawDisp = true;
      ++i;
    } else {
      return usage(s, "recorder", "unknown option or response " + quoted(objv[i]), form);
    }
  }
  if (file.empty()) return usage(s, "recorder", "missing -file NAME", form);
  if (nodes.empty()) return usage(s, "recorder", "missing -node TAG...", form);
  if (dofs.empty()) return usage(s, "recorder", "missing -dof DOF...", form);
  if (!sawDisp) return usage(s, "recorder", "missing the response (disp)", form);
  for (int node : nodes) {
    if (s.domain->findNode(node) == nullptr) {
      return usage(s, "recorder", "there is no node " + std::to_string(node), form);
    }
  }
  for (int& dof : dofs) {
    if (dof < 1 || dof > kDofsPerNode) return usage(s, "recorder", "DOF must be 1, 2 or 3", form);
    dof -= 1;
  }
  s.domain->addRecorder(std::make_unique<NodeRecorder>(file, withTime, nodes, dofs, precision));
  return TCL_OK;
}

int cmdNodeDisp(Session& s, int objc, Objv objv) {
  const char* form = "nodeDisp TAG ?DOF?";
  if (!needModel(s, "nodeDisp")) return TCL_ERROR;
  if (objc != 2 && objc != 3) return usage(s, "nodeDisp", "wrong number of arguments", form);
  Args args(s, "nodeDisp", form, objc, objv, 1);
  int tag = 0, dof = 0;
  if (!args.integer("TAG", tag)) return TCL_ERROR;
  if (objc == 3 && !args.integer("DOF", dof)) return TCL_ERROR;
  const Node* node = s.domain->findNode(tag);
  if (node == nullptr) return args.fail("there is no node " + std::to_string(tag));
  if (objc == 3) {
    if (dof < 1 || dof > kDofsPerNode) return args.fail("DOF must be 1, 2 or 3");
    Tcl_SetObjResult(s.interp, Tcl_NewDoubleObj(node->committedDisp[dof - 1]));
    return TCL_OK;
  }
  Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
  for (double value : node->committedDisp) {
    Tcl_ListObjAppendElement(nullptr, list, Tcl_NewDoubleObj(value));
  }
  Tcl_SetObjResult(s.interp, list);
  return TCL_OK;
}

int cmdGetTime(Session& s, int objc, Objv) {
  if (objc != 1) return usage(s, "getTime", "it takes no arguments", "getTime");
  Tcl_SetObjResult(s.interp, Tcl_NewDoubleObj(s.domain ? s.domain->currentTime() : 0.0));
  return TCL_OK;
}

// ---- Registration -------------------------------------------------------------------

using Handler = int (*)(Session&, int, Objv);

struct Binding {
  Session* session;
  Handler handler;
};

int dispatch(ClientData data, Tcl_Interp*, int objc, Objv objv) {
  auto* binding = static_cast<Binding*>(data);
  Session& s = *binding->session;
  try {
    return binding->handler(s, objc, objv);
  } catch (const ModelError& error) {
    return fail(s, std::string(Tcl_GetString(objv[0])) + ": " + error.what());
  } catch (const std::bad_alloc&) {
    return fail(s, std::string(Tcl_GetString(objv[0])) + ": out of memory");
  }
}

// The body reader stands in for our own fiber command only: not for one a
// script put in its place or traced.
bool fiberCommandIsOurs(Tcl_Interp* interp) {
  Tcl_CmdInfo info = {};
  if (Tcl_GetCommandInfo(interp, "fiber", &info) == 0 || info.objProc != dispatch ||
      static_cast<Binding*>(info.objClientData)->handler != cmdFiber) {
    return false;
  }
  Tcl_InterpState saved = Tcl_SaveInterpState(interp, TCL_OK);
  const bool untraced = Tcl_EvalEx(interp, "trace info execution fiber", -1, 0) == TCL_OK &&
                        Tcl_GetCharLength(Tcl_GetObjResult(interp)) == 0;
  Tcl_RestoreInterpState(interp, saved);
  return untraced;
}

void release(ClientData data) {
  delete static_cast<Binding*>(data);
}

constexpr std::pair<const char*, Handler> kCommands[] = {
    {"wipe", cmdWipe},
    {"model", cmdModel},
    {"node", cmdNode},
    {"fix", cmdFix},
    {"uniaxialMaterial", cmdUniaxialMaterial},
    {"section", cmdSection},
    {"fiber", cmdFiber},
    {"element", cmdElement},
    {"pattern", cmdPattern},
    {"load", cmdLoad},
    {"loadConst", cmdLoadConst},
    {"integrator", cmdIntegrator},
    {"system", cmdSystem},
    {"numberer", cmdNumberer},
    {"constraints", cmdConstraints},
    {"test", cmdTest},
    {"algorithm", cmdAlgorithm},
    {"analysis", cmdAnalysis},
    {"analyze", cmdAnalyze},
    {"recorder", cmdRecorder},
    {"nodeDisp", cmdNodeDisp},
    {"getTime", cmdGetTime},
};

}  // namespace

SolverCommands::SolverCommands(Tcl_Interp* interp, std::FILE* warnings)
    : session_(std::make_unique<Session>(interp, warnings)) {
  for (const auto& [name, handler] : kCommands) {
    Tcl_CreateObjCommand(interp, name, dispatch, new Binding{session_.get(), handler}, release);
  }
}

SolverCommands::~SolverCommands() {
  Tcl_Interp* interp = session_->interp;
  session_->wipe();
  if (!Tcl_InterpDeleted(interp)) {
    for (const auto& [name, handler] : kCommands) Tcl_DeleteCommand(interp, name);
  }
}

const ScriptPosition& SolverCommands::errorPosition() const {
  return session_->errorPosition;
}

void SolverCommands::closeRecorders() {
  if (session_->domain) session_->domain->closeRecorders();
}

void initializeTcl(const char* argv0) {
  static std::once_flag once;
  std::call_once(once, [argv0] { Tcl_FindExecutable(argv0); });
}

namespace {

bool isNested(const char* errorInfo) {
  const char* first = std::strstr(errorInfo, "invoked from within");
  return first != nullptr && std::strstr(first + 1, "invoked from within") != nullptr;
}

}  // namespace

namespace {

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
    std::fprintf(errors, "Tcl traceback:\n%s\n", Tcl_GetString(info));
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
