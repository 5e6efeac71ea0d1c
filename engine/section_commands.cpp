// section Fiber and the fiber lines of its body.

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "command_groups.h"
#include "fiber_lines.h"

namespace marrowick::engine {

namespace {

// True when the body was read here; false when it must go to Tcl (nothing
// has been added then): a line the plain reader refuses, a material that is
// not there (Tcl then names the line), or a fiber command that is not ours.
bool addPlainFibers(Session& s, Tcl_Obj* body, FiberSection& section) {
  int length = 0;
  const char* text = Tcl_GetStringFromObj(body, &length);
  std::vector<FiberLine> fibers;
  if (!readFiberLines(std::string_view(text, static_cast<std::size_t>(length)), fibers)) {
    return false;
  }
  std::vector<const UniaxialMaterial*> materials;
  materials.reserve(fibers.size());
  for (const FiberLine& fiber : fibers) {
    const UniaxialMaterial* material = s.domain->findMaterial(fiber.materialTag);
    if (material == nullptr) return false;
    materials.push_back(material);
  }
  if (!fiberCommandIsOurs(s.interp)) return false;
  for (std::size_t i = 0; i < fibers.size(); ++i) {
    section.addFiber(fibers[i].y, fibers[i].area, *materials[i]);
  }
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

constexpr CommandEntry kCommands[] = {{"section", cmdSection}, {"fiber", cmdFiber}};

}  // namespace

CommandGroup sectionCommands() {
  return kCommands;
}

}  // namespace marrowick::engine
