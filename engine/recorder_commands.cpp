// recorder: what is written to a file at every converged step.

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "command_groups.h"

namespace marrowick::engine {

namespace {

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

constexpr CommandEntry kCommands[] = {{"recorder", cmdRecorder}};

}  // namespace

CommandGroup recorderCommands() {
  return kCommands;
}

}  // namespace marrowick::engine
