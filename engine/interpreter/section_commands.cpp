// section Fiber and what its body may hold: single fibers, patches and layers.

#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/command_groups.h"
#include "interpreter/fiber_lines.h"
#include "interpreter/plain_script.h"

namespace marrowick::engine {

namespace {

// True when the body was read here; false when it must go to Tcl (nothing
// has been added then): a line the plain reader refuses, a material that is
// not there (Tcl then names the line), or a fiber command that is not ours.
bool addPlainFibers(Session& s, const Word& body, FiberSection& section) {
  std::vector<FiberLine> own;
  const std::vector<FiberLine>* read =
      s.plainBodies != nullptr ? s.plainBodies->find(body.text().data()) : nullptr;
  if (read == nullptr) {
    if (!readFiberLines(body.text(), own)) return false;
    read = &own;
  }
  const std::vector<FiberLine>& fibers = *read;
  std::vector<const UniaxialMaterial*> materials;
  materials.reserve(fibers.size());
  for (const FiberLine& fiber : fibers) {
    const UniaxialMaterial* material = s.domain->findMaterial(fiber.materialTag);
    if (material == nullptr) return false;
    materials.push_back(material);
  }
  if (s.interp != nullptr && !fiberCommandIsOurs(s.interp)) return false;
  section.reserve(fibers.size());
  for (std::size_t i = 0; i < fibers.size(); ++i) {
    section.addFiber(fibers[i].y, fibers[i].z, fibers[i].area, *materials[i]);
  }
  return true;
}

int cmdSection(Session& s, int objc, Objv objv) {
  const char* form =
      "section Fiber TAG ?-GJ GJ? { fiber Y Z AREA MATTAG | patch ... | layer ... ... }";
  if (!needModel(s, "section")) return TCL_ERROR;
  if (objc < 2 || objv[1].text() != "Fiber") {
    return usage(s, "section", "only Fiber sections are known", form);
  }
  if (objc != 4 && objc != 6) return usage(s, "section", "wrong number of arguments", form);
  if (!notInsideBody(s, "section")) return TCL_ERROR;
  Args args(s, "section", form, objc, objv, 2);
  int tag = 0;
  if (!args.integer("TAG", tag)) return TCL_ERROR;
  // The torsional stiffness plays no part in a plane model.
  double torsion = 0.0;
  if (objc == 6 && (objv[3].text() != "-GJ" || !getReal(objv[4], torsion))) {
    return args.fail("unexpected " + quoted(objv[3]) + " " + quoted(objv[4]));
  }
  // In space the section must answer a twist. OpenSees warns and goes on
  // without a torsional stiffness, which leaves the twist free and the
  // analysis singular; the script is stopped here instead, at its cause.
  const bool space = s.domain->dimensions() == 3;
  if (space && objc != 6) {
    return args.fail("a section in 3 dimensions needs its torsional stiffness: -GJ GJ");
  }
  if (s.domain->findSection(tag) != nullptr) {
    return fail(s, "section: section " + std::to_string(tag) + " already exists");
  }
  const Word& body = objv[objc - 1];
  auto section =
      space ? std::make_unique<FiberSection>(tag, torsion) : std::make_unique<FiberSection>(tag);
  if (!addPlainFibers(s, body, *section)) {
    s.buildingSection = section.get();
    const int code = evalBody(s, body, "section Fiber " + std::to_string(tag));
    s.buildingSection = nullptr;
    if (code == TCL_OK) {
      for (const auto* placed : {&s.patchFibers, &s.layerFibers}) {
        for (const Session::PlacedFiber& fiber : *placed) {
          section->addFiber(fiber.place.y, fiber.place.z, fiber.place.area, *fiber.material);
        }
      }
    }
    s.patchFibers.clear();
    s.layerFibers.clear();
    if (code != TCL_OK) return code;
  }
  section->finish();
  s.domain->addSection(std::move(section));
  return TCL_OK;
}

// A patch or layer may not flood the memory with fibers; real sections have
// a few thousand.
constexpr std::size_t kMaxFibers = 100000;
constexpr std::size_t kMaxSectionFibers = 200000;

bool insideSection(Session& s, const char* command) {
  if (s.buildingSection != nullptr) return true;
  fail(s, std::string(command) + ": only allowed inside the braces of section Fiber");
  return false;
}

// Adds the fibers of one patch or layer, once they are known to be sound.
int place(Session& s, Args& args, int materialTag, const std::vector<FiberPlace>& fibers,
          std::vector<Session::PlacedFiber>& into) {
  const UniaxialMaterial* material = s.domain->findMaterial(materialTag);
  if (material == nullptr) {
    return args.fail("there is no uniaxialMaterial " + std::to_string(materialTag));
  }
  for (const FiberPlace& fiber : fibers) {
    if (!std::isfinite(fiber.y) || !std::isfinite(fiber.z) || !std::isfinite(fiber.area)) {
      return args.fail("a cell has no area (corners on one line, equal radii or equal angles)");
    }
  }
  if (s.buildingSection->fiberCount() + s.patchFibers.size() + s.layerFibers.size() +
          fibers.size() >
      kMaxSectionFibers) {
    return args.fail("a section takes at most " + std::to_string(kMaxSectionFibers) + " fibers");
  }
  for (const FiberPlace& fiber : fibers) into.push_back({fiber, material});
  return TCL_OK;
}

bool divisions(Args& args, int first, int second) {
  if (first < 1 || second < 1 ||
      static_cast<std::size_t>(first) * static_cast<std::size_t>(second) > kMaxFibers) {
    return args.bad("the divisions must be at least 1, with at most " + std::to_string(kMaxFibers) +
                    " fibers in all");
  }
  return true;
}

bool point(Args& args, const char* y, const char* z, PlanePoint& p) {
  return args.real(y, p.y) && args.real(z, p.z);
}

int cmdPatch(Session& s, int objc, Objv objv) {
  const char* forms =
      "patch rect MATTAG NY NZ YI ZI YJ ZJ, patch quad MATTAG NIJ NJK YI ZI YJ ZJ YK ZK YL ZL, "
      "or patch circ MATTAG NCIRC NRAD YC ZC RIN REXT ?START END?";
  if (!insideSection(s, "patch")) return TCL_ERROR;
  const std::string type = objc >= 2 ? objv[1].str() : "";
  int tag = 0, first = 0, second = 0;
  if (type == "rect") {
    const char* form = "patch rect MATTAG NY NZ YI ZI YJ ZJ";
    if (objc != 9) return usage(s, "patch", "wrong number of arguments", form);
    Args args(s, "patch", form, objc, objv, 2);
    PlanePoint i, j;
    if (!args.integer("MATTAG", tag) || !args.integer("NY", first) || !args.integer("NZ", second) ||
        !point(args, "YI", "ZI", i) || !point(args, "YJ", "ZJ", j) ||
        !divisions(args, first, second)) {
      return TCL_ERROR;
    }
    return place(s, args, tag, rectPatch(first, second, i, j), s.patchFibers);
  }
  if (type == "quad") {
    const char* form = "patch quad MATTAG NIJ NJK YI ZI YJ ZJ YK ZK YL ZL";
    if (objc != 13) return usage(s, "patch", "wrong number of arguments", form);
    Args args(s, "patch", form, objc, objv, 2);
    std::array<PlanePoint, 4> corners;
    if (!args.integer("MATTAG", tag) || !args.integer("NIJ", first) ||
        !args.integer("NJK", second) || !point(args, "YI", "ZI", corners[0]) ||
        !point(args, "YJ", "ZJ", corners[1]) || !point(args, "YK", "ZK", corners[2]) ||
        !point(args, "YL", "ZL", corners[3]) || !divisions(args, first, second)) {
      return TCL_ERROR;
    }
    return place(s, args, tag, quadPatch(first, second, corners), s.patchFibers);
  }
  if (type == "circ") {
    const char* form = "patch circ MATTAG NCIRC NRAD YC ZC RIN REXT ?START END?";
    if (objc != 9 && objc != 11) return usage(s, "patch", "wrong number of arguments", form);
    Args args(s, "patch", form, objc, objv, 2);
    PlanePoint centre;
    double inner = 0.0, outer = 0.0, start = 0.0, end = 360.0;
    if (!args.integer("MATTAG", tag) || !args.integer("NCIRC", first) ||
        !args.integer("NRAD", second) || !point(args, "YC", "ZC", centre) ||
        !args.real("RIN", inner) || !args.real("REXT", outer) ||
        (objc == 11 && (!args.real("START", start) || !args.real("END", end))) ||
        !divisions(args, first, second)) {
      return TCL_ERROR;
    }
    return place(s, args, tag, circPatch(first, second, centre, inner, outer, start, end),
                 s.patchFibers);
  }
  return usage(
      s, "patch",
      objc < 2 ? std::string("missing the patch type") : "unknown patch type " + quoted(objv[1]),
      forms);
}

int cmdLayer(Session& s, int objc, Objv objv) {
  const char* forms =
      "layer straight MATTAG NBARS AREA YS ZS YE ZE or "
      "layer circ MATTAG NBARS AREA YC ZC R ?START END?";
  if (!insideSection(s, "layer")) return TCL_ERROR;
  const std::string type = objc >= 2 ? objv[1].str() : "";
  int tag = 0, bars = 0;
  double area = 0.0;
  if (type == "straight") {
    const char* form = "layer straight MATTAG NBARS AREA YS ZS YE ZE";
    if (objc != 9) return usage(s, "layer", "wrong number of arguments", form);
    Args args(s, "layer", form, objc, objv, 2);
    PlanePoint start, end;
    if (!args.integer("MATTAG", tag) || !args.integer("NBARS", bars) || !args.real("AREA", area) ||
        !point(args, "YS", "ZS", start) || !point(args, "YE", "ZE", end) ||
        !divisions(args, bars, 1)) {
      return TCL_ERROR;
    }
    return place(s, args, tag, straightLayer(bars, area, start, end), s.layerFibers);
  }
  if (type == "circ") {
    const char* form = "layer circ MATTAG NBARS AREA YC ZC R ?START END?";
    if (objc != 8 && objc != 10) return usage(s, "layer", "wrong number of arguments", form);
    Args args(s, "layer", form, objc, objv, 2);
    PlanePoint centre;
    double radius = 0.0;
    Arc arc;
    if (!args.integer("MATTAG", tag) || !args.integer("NBARS", bars) || !args.real("AREA", area) ||
        !point(args, "YC", "ZC", centre) || !args.real("R", radius) ||
        (objc == 10 &&
         (!args.real("START", arc.startDegrees) || !args.real("END", arc.endDegrees))) ||
        !divisions(args, bars, 1)) {
      return TCL_ERROR;
    }
    return place(
        s, args, tag,
        circLayer(bars, area, centre, radius, objc == 10 ? std::optional<Arc>(arc) : std::nullopt),
        s.layerFibers);
  }
  return usage(
      s, "layer",
      objc < 2 ? std::string("missing the layer type") : "unknown layer type " + quoted(objv[1]),
      forms);
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
  s.buildingSection->addFiber(y, z, area, *material);
  return TCL_OK;
}

constexpr CommandEntry kCommands[] = {
    {"section", cmdSection}, {"fiber", cmdFiber}, {"patch", cmdPatch}, {"layer", cmdLayer}};

}  // namespace

CommandGroup sectionCommands() {
  return kCommands;
}

}  // namespace marrowick::engine
