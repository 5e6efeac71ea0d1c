// uniaxialMaterial: one reader per material type, all of them here among the
// interpreter's material commands; the laws they build are in model/, which
// knows nothing of scripts. A new material is a law in model/, a reader here
// and a row in kMaterials.

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "interpreter/command_groups.h"
#include "model/concrete01.h"
#include "model/concrete02.h"
#include "model/concrete04.h"
#include "model/elastic_pp.h"
#include "model/steel01.h"
#include "model/steel02.h"

namespace marrowick::engine {

namespace {

constexpr const char* kCommand = "uniaxialMaterial";

// Reads the arguments from the tag on (objv[2]) and adds the material.
using MaterialReader = int (*)(Session& s, int objc, Objv objv, const char* form);

// "TYPE takes 3, 6 or 7 numbers after the tag, got N" unless the count is one
// of those allowed.
bool numbersAllowed(Session& s, const char* type, int numbers, std::initializer_list<int> allowed,
                    const char* form) {
  std::string counts;
  std::size_t k = 0;
  for (int count : allowed) {
    if (count == numbers) return true;
    if (k > 0) counts += k + 1 == allowed.size() ? " or " : ", ";
    counts += std::to_string(count);
    ++k;
  }
  usage(s, kCommand,
        std::string(type) + " takes " + counts + " numbers after the tag, got " +
            std::to_string(numbers),
        form);
  return false;
}

int readElastic(Session& s, int objc, Objv objv, const char* form) {
  if (objc != 4) return usage(s, kCommand, "wrong number of arguments", form);
  Args args(s, kCommand, form, objc, objv, 2);
  int tag = 0;
  double e = 0.0;
  if (!args.integer("TAG", tag) || !args.real("E", e)) return TCL_ERROR;
  s.domain->addMaterial(std::make_unique<ElasticMaterial>(tag, e));
  return TCL_OK;
}

int readConcrete01(Session& s, int objc, Objv objv, const char* form) {
  if (objc != 7) return usage(s, kCommand, "wrong number of arguments", form);
  Args args(s, kCommand, form, objc, objv, 2);
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

// The isotropic hardening parameters A1 to A4 that Steel01 and Steel02 share.
template <typename Parameters>
bool readHardening(Args& args, Parameters& p) {
  return args.real("A1", p.a1) && args.real("A2", p.a2) && args.real("A3", p.a3) &&
         args.real("A4", p.a4);
}

int readSteel02(Session& s, int objc, Objv objv, const char* form) {
  const int numbers = objc - 3;
  if (!numbersAllowed(s, "Steel02", numbers, {3, 6, 10, 11}, form)) return TCL_ERROR;
  Args args(s, kCommand, form, objc, objv, 2);
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
  if (numbers >= 10 && !readHardening(args, p)) return TCL_ERROR;
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

int readSteel01(Session& s, int objc, Objv objv, const char* form) {
  const int numbers = objc - 3;
  if (!numbersAllowed(s, "Steel01", numbers, {3, 7}, form)) return TCL_ERROR;
  Args args(s, kCommand, form, objc, objv, 2);
  int tag = 0;
  Steel01::Parameters p;
  if (!args.integer("TAG", tag) || !args.real("FY", p.fy) || !args.real("E0", p.e0) ||
      !args.real("B", p.b)) {
    return TCL_ERROR;
  }
  if (numbers == 7 && !readHardening(args, p)) return TCL_ERROR;
  if (p.fy == 0.0 || p.e0 == 0.0) {
    return args.fail("FY and E0 must not be zero (the yield strain is FY/E0)");
  }
  s.domain->addMaterial(std::make_unique<Steel01>(tag, p));
  return TCL_OK;
}

int readConcrete02(Session& s, int objc, Objv objv, const char* form) {
  const int numbers = objc - 3;
  if (!numbersAllowed(s, "Concrete02", numbers, {4, 7}, form)) return TCL_ERROR;
  Args args(s, kCommand, form, objc, objv, 2);
  int tag = 0;
  double fpc = 0.0, epsc0 = 0.0, fpcu = 0.0, epscu = 0.0;
  if (!args.integer("TAG", tag) || !args.real("FPC", fpc) || !args.real("EPSC0", epsc0) ||
      !args.real("FPCU", fpcu) || !args.real("EPSCU", epscu)) {
    return TCL_ERROR;
  }
  if (epsc0 == 0.0 || fpc == 0.0) {
    return args.fail("FPC and EPSC0 must not be zero (the initial modulus is 2*FPC/EPSC0)");
  }
  Concrete02::Parameters p = Concrete02::withDefaultTension(fpc, epsc0, fpcu, epscu);
  if (numbers == 7 &&
      (!args.real("LAMBDA", p.lambda) || !args.real("FT", p.ft) || !args.real("ETS", p.ets))) {
    return TCL_ERROR;
  }
  if (p.lambda == 1.0) {
    return args.fail("LAMBDA must not be 1 (the reloading lines would have no target)");
  }
  s.domain->addMaterial(std::make_unique<Concrete02>(tag, p));
  return TCL_OK;
}

int readConcrete04(Session& s, int objc, Objv objv, const char* form) {
  const int numbers = objc - 3;
  if (!numbersAllowed(s, "Concrete04", numbers, {4, 6, 7}, form)) return TCL_ERROR;
  Args args(s, kCommand, form, objc, objv, 2);
  int tag = 0;
  Concrete04::Parameters p;
  if (!args.integer("TAG", tag) || !args.real("FC", p.fc) || !args.real("EC", p.ec) ||
      !args.real("ECU", p.ecu) || !args.real("EC0", p.ec0)) {
    return TCL_ERROR;
  }
  if (numbers >= 6 && (!args.real("FT", p.ft) || !args.real("ET", p.et))) return TCL_ERROR;
  if (numbers == 7 && !args.real("BETA", p.beta)) return TCL_ERROR;
  if (p.fc > 0.0 || p.ec > 0.0 || p.ecu > 0.0) {
    return args.fail("FC, EC and ECU must not be positive (compression is negative)");
  }
  if (p.ec == 0.0) return args.fail("EC must not be zero (the curve is drawn in strain/EC)");
  if (numbers == 7 && !(p.beta > 0.0)) {
    return args.fail("BETA must be positive (the tension decays as a power of BETA)");
  }
  if (p.ft < 0.0) {
    // OpenSees goes on without tension; so does the solver, but says so.
    const int line = scriptLine(s);
    const std::string where = line > 0 ? " (line " + std::to_string(line) + ")" : "";
    std::fprintf(s.warnings,
                 "marrowick-solver: warning: uniaxialMaterial%s: Concrete04 %d: FT %g is below "
                 "zero; the law takes no tension\n",
                 where.c_str(), tag, p.ft);
    p.ft = 0.0;
  }
  s.domain->addMaterial(std::make_unique<Concrete04>(tag, p));
  return TCL_OK;
}

int readElasticPP(Session& s, int objc, Objv objv, const char* form) {
  const int numbers = objc - 3;
  if (!numbersAllowed(s, "ElasticPP", numbers, {2, 3, 4}, form)) return TCL_ERROR;
  Args args(s, kCommand, form, objc, objv, 2);
  int tag = 0;
  double e = 0.0, up = 0.0, down = 0.0, initial = 0.0;
  if (!args.integer("TAG", tag) || !args.real("E", e) || !args.real("EPSYP", up)) {
    return TCL_ERROR;
  }
  down = -up;
  if (numbers >= 3 && !args.real("EPSYN", down)) return TCL_ERROR;
  if (numbers == 4 && !args.real("EPS0", initial)) return TCL_ERROR;
  if (e == 0.0) return args.fail("E must not be zero");
  s.domain->addMaterial(std::make_unique<ElasticPP>(tag, e, up, down, initial));
  return TCL_OK;
}

struct MaterialType {
  const char* name;
  const char* form;
  MaterialReader read;
};

constexpr MaterialType kMaterials[] = {
    {"Elastic", "uniaxialMaterial Elastic TAG E", readElastic},
    {"Concrete01", "uniaxialMaterial Concrete01 TAG FPC EPSC0 FPCU EPSCU", readConcrete01},
    {"Steel02", "uniaxialMaterial Steel02 TAG FY E B ?R0 CR1 CR2 ?A1 A2 A3 A4 ?SIGINIT???",
     readSteel02},
    {"Steel01", "uniaxialMaterial Steel01 TAG FY E0 B ?A1 A2 A3 A4?", readSteel01},
    {"Concrete02", "uniaxialMaterial Concrete02 TAG FPC EPSC0 FPCU EPSCU ?LAMBDA FT ETS?",
     readConcrete02},
    {"ElasticPP", "uniaxialMaterial ElasticPP TAG E EPSYP ?EPSYN ?EPS0??", readElasticPP},
    {"Concrete04", "uniaxialMaterial Concrete04 TAG FC EC ECU EC0 ?FT ET ?BETA??", readConcrete04},
};

// Every form, for a message that does not know which one was meant:
// "A, B, or C".
std::string allForms() {
  std::string forms;
  const std::size_t count = std::size(kMaterials);
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) forms += i + 1 == count ? ", or " : ", ";
    forms += kMaterials[i].form;
  }
  return forms;
}

int cmdUniaxialMaterial(Session& s, int objc, Objv objv) {
  if (!needModel(s, kCommand)) return TCL_ERROR;
  if (objc < 3) return usage(s, kCommand, "missing the type and tag", allForms().c_str());
  const std::string_view type = objv[1].text();
  for (const MaterialType& material : kMaterials) {
    if (type == material.name) return material.read(s, objc, objv, material.form);
  }
  return usage(s, kCommand, "unknown material type " + quoted(objv[1]), allForms().c_str());
}

constexpr CommandEntry kCommands[] = {{"uniaxialMaterial", cmdUniaxialMaterial}};

}  // namespace

CommandGroup materialCommands() {
  return kCommands;
}

}  // namespace marrowick::engine
