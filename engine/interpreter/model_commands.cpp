// The model commands: nodes, their supports, the element, the load patterns.
// Materials and sections have files of their own.

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/command_groups.h"

namespace marrowick::engine {

namespace {

int cmdWipe(Session& s, int objc, Objv) {
  if (objc != 1) return usage(s, "wipe", "it takes no arguments", "wipe");
  if (!notInsideBody(s, "wipe")) return TCL_ERROR;
  s.wipe();
  return TCL_OK;
}

int cmdModel(Session& s, int objc, Objv objv) {
  const char* form = "model basic -ndm 2 -ndf 3 or model basic -ndm 3 -ndf 6";
  if (objc < 2 || objv[1].text() != "basic") {
    return usage(s, "model", "only the basic model builder is known", form);
  }
  int ndm = 0;
  int ndf = 0;
  for (int i = 2; i < objc; i += 2) {
    const std::string option = objv[i].str();
    if ((option != "-ndm" && option != "-ndf") || i + 1 >= objc) {
      return usage(s, "model", "unexpected " + quoted(objv[i]), form);
    }
    int value = 0;
    if (!getInt(objv[i + 1], value)) {
      return usage(s, "model", option + " must be a whole number", form);
    }
    (option == "-ndm" ? ndm : ndf) = value;
  }
  // OpenSees gives a node as many dofs as a frame has in that many dimensions
  // when -ndf is left out.
  if (ndf == 0) ndf = ndm == 3 ? 6 : 3;
  if (ndm == 3 && ndf == 6) {
    s.wipe();
    s.domain = std::make_unique<Domain>(3);
    return TCL_OK;
  }
  if (ndm != 2 || ndf != 3) {
    return usage(s, "model",
                 "this solver builds plane frames (2 dimensions, 3 dofs) and sections in space "
                 "(3 dimensions, 6 dofs) only",
                 form);
  }
  s.wipe();
  s.domain = std::make_unique<Domain>();
  return TCL_OK;
}

int cmdNode(Session& s, int objc, Objv objv) {
  if (!needModel(s, "node")) return TCL_ERROR;
  const bool space = s.domain->dimensions() == 3;
  const char* form = space ? "node TAG X Y Z" : "node TAG X Y";
  if (objc != (space ? 5 : 4)) return usage(s, "node", "wrong number of arguments", form);
  Args args(s, "node", form, objc, objv, 1);
  int tag = 0;
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  if (!args.integer("TAG", tag) || !args.real("X", x) || !args.real("Y", y) ||
      (space && !args.real("Z", z))) {
    return TCL_ERROR;
  }
  s.domain->addNode(tag, x, y, z);
  return TCL_OK;
}

int cmdFix(Session& s, int objc, Objv objv) {
  if (!needModel(s, "fix")) return TCL_ERROR;
  const int dofs = s.domain->dofsPerNode();
  const char* form = dofs == kDofsPerNode ? "fix TAG C1 C2 C3 (1 fixed, 0 free)"
                                          : "fix TAG C1 C2 C3 C4 C5 C6 (1 fixed, 0 free)";
  if (objc != 2 + dofs) return usage(s, "fix", "wrong number of arguments", form);
  Args args(s, "fix", form, objc, objv, 1);
  int tag = 0;
  if (!args.integer("TAG", tag)) return TCL_ERROR;
  std::array<bool, kMaxDofsPerNode> fixity{};
  for (int dof = 0; dof < dofs; ++dof) {
    int flag = 0;
    if (!getInt(objv[2 + dof], flag) || (flag != 0 && flag != 1)) {
      return usage(s, "fix", "each flag must be 0 or 1, got " + quoted(objv[2 + dof]), form);
    }
    fixity[dof] = flag == 1;
  }
  s.domain->fix(tag, fixity);
  return TCL_OK;
}

int cmdElement(Session& s, int objc, Objv objv) {
  const char* form = "element zeroLengthSection TAG NODEI NODEJ SECTAG";
  if (!needModel(s, "element")) return TCL_ERROR;
  if (objc < 2 || objv[1].text() != "zeroLengthSection") {
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
  if (objc < 2 || objv[1].text() != "Plain") {
    return usage(s, "pattern", "only Plain patterns are known", form);
  }
  if (objc != 5) return usage(s, "pattern", "wrong number of arguments", form);
  if (!notInsideBody(s, "pattern")) return TCL_ERROR;
  Args args(s, "pattern", form, objc, objv, 2);
  int tag = 0;
  if (!args.integer("TAG", tag)) return TCL_ERROR;

  // The time series: a name, optionally with its constant factor.
  std::vector<Word> series;
  if (!getList(objv[3], series) || series.empty()) {
    return usage(s, "pattern", "the time series must be Constant or Linear", form);
  }
  const std::string_view seriesName = series[0].text();
  TimeSeries kind;
  if (seriesName == "Constant") {
    kind = TimeSeries::Constant;
  } else if (seriesName == "Linear") {
    kind = TimeSeries::Linear;
  } else {
    return usage(s, "pattern", "unknown time series " + quoted(series[0]), form);
  }
  double seriesFactor = 1.0;
  if (series.size() == 3 && series[1].text() == "-factor") {
    if (!getReal(series[2], seriesFactor)) {
      return usage(s, "pattern", "-factor must be a finite number", form);
    }
  } else if (series.size() != 1) {
    return usage(s, "pattern", "unexpected time series options " + quoted(objv[3]), form);
  }

  LoadPattern& pattern = s.domain->addPattern(tag, kind, seriesFactor);
  s.buildingPattern = &pattern;
  const int code = evalBody(s, objv[4], "pattern Plain " + std::to_string(tag));
  s.buildingPattern = nullptr;
  return code;
}

int cmdLoad(Session& s, int objc, Objv objv) {
  if (s.buildingPattern == nullptr) {
    return fail(s, "load: only allowed inside the braces of pattern Plain");
  }
  const int dofs = s.domain->dofsPerNode();
  const char* form = dofs == kDofsPerNode ? "load NODE PX PY MZ (inside pattern Plain)"
                                          : "load NODE PX PY PZ MX MY MZ (inside pattern Plain)";
  if (objc != 2 + dofs) return usage(s, "load", "wrong number of arguments", form);
  Args args(s, "load", form, objc, objv, 1);
  int node = 0;
  NodeVector value{};
  constexpr const char* kPlaneNames[] = {"PX", "PY", "MZ"};
  constexpr const char* kSpaceNames[] = {"PX", "PY", "PZ", "MX", "MY", "MZ"};
  if (!args.integer("NODE", node)) return TCL_ERROR;
  for (int dof = 0; dof < dofs; ++dof) {
    if (!args.real(dofs == kDofsPerNode ? kPlaneNames[dof] : kSpaceNames[dof], value[dof])) {
      return TCL_ERROR;
    }
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
    if (objv[1].text() != "-time") {
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
constexpr CommandEntry kCommands[] = {
    {"wipe", cmdWipe}, {"model", cmdModel},         {"node", cmdNode},
    {"fix", cmdFix},   {"element", cmdElement},     {"pattern", cmdPattern},
    {"load", cmdLoad}, {"loadConst", cmdLoadConst},
};

}  // namespace

CommandGroup modelCommands() {
  return kCommands;
}

}  // namespace marrowick::engine
