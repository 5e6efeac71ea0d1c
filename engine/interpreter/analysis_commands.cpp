// The analysis commands: how a step advances and converges, running the
// steps, and what a script may ask of the result.

#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "interpreter/command_groups.h"

namespace marrowick::engine {

namespace {

// Every step writes a recorder line and every iteration refactors the
// tangent: a mistyped count (analyze 1000000000, a MAXITER of 2147483647
// with a tolerance never reached) would run for hours and fill the disk, so
// it is refused. A longer analysis calls analyze again.
constexpr int kMaxStepsPerAnalyze = 1000000;
constexpr int kMaxIterations = 10000;

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
  const std::string type = objv[1].str();
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
    if (dof < 1 || dof > s.domain->dofsPerNode()) return args.fail(dofRange(*s.domain));
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
  const std::string type = objv[1].str();
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
  const std::string_view name = objv[1].text();
  for (const char* candidate : known) {
    if (name == candidate) return TCL_OK;
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
  return cmdChoice(s, "numberer", objc, objv, {"Plain", "RCM"}, false, "numberer Plain|RCM");
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
  if (objc != 2 || objv[1].text() != "Static") {
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
  const int code = s.analysis->analyze(steps, s.limit);
  if (code != 0) {
    const StepFailure& failure = s.analysis->failure();
    const int line = scriptLine(s);
    std::string where = line > 0 ? " (line " + std::to_string(line) + ")" : "";
    std::fprintf(s.warnings,
                 "marrowick-solver: warning: analyze%s: step %d of %d failed at load factor %g: "
                 "%s; analyze returns %d\n",
                 where.c_str(), failure.step + 1, steps, failure.time, failure.reason.c_str(),
                 code);
  }
  // What the steps recorded is in the files once analyze returns.
  if (s.domain) s.domain->flushRecorders();
  setResult(s, code);
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
    if (dof < 1 || dof > s.domain->dofsPerNode()) return args.fail(dofRange(*s.domain));
    setResult(s, node->committedDisp[dof - 1]);
    return TCL_OK;
  }
  setResult(s, std::span<const double>(node->committedDisp).first(s.domain->dofsPerNode()));
  return TCL_OK;
}

int cmdGetTime(Session& s, int objc, Objv) {
  if (objc != 1) return usage(s, "getTime", "it takes no arguments", "getTime");
  setResult(s, s.domain ? s.domain->currentTime() : 0.0);
  return TCL_OK;
}

constexpr CommandEntry kCommands[] = {
    {"integrator", cmdIntegrator},   {"system", cmdSystem},   {"numberer", cmdNumberer},
    {"constraints", cmdConstraints}, {"test", cmdTest},       {"algorithm", cmdAlgorithm},
    {"analysis", cmdAnalysis},       {"analyze", cmdAnalyze}, {"nodeDisp", cmdNodeDisp},
    {"getTime", cmdGetTime},
};

}  // namespace

CommandGroup analysisCommands() {
  return kCommands;
}

}  // namespace marrowick::engine
