// recorder: what is written to a file at every converged step; and the
// queries that ask the same of the model from the script.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/command_groups.h"

namespace marrowick::engine {

namespace {

// What the words after "section" ask for: force, deformation, or
// "fiber Y Z ?MATTAG? stressStrain" (or "fiber INDEX stressStrain").
struct SectionWords {
  SectionQuery::Kind kind = SectionQuery::Kind::Force;
  std::optional<int> fiberIndex;
  double y = 0.0;
  double z = 0.0;
  std::optional<int> materialTag;
};

bool isStressStrain(const Word& word) {
  const std::string_view text = word.text();
  return text == "stressStrain" || text == "stressANDstrain" || text == "stressAndStrain";
}

// Reads objv[first..objc) from "section" on.
bool readSectionWords(Session& s, const char* command, const char* form, int objc, Objv objv,
                      int first, SectionWords& words) {
  Args args(s, command, form, objc, objv, first);
  const int count = objc - first;
  if (count < 2 || objv[first].text() != "section") {
    return args.bad(count < 1 ? std::string("missing the response")
                              : "unknown response " + quoted(objv[first]));
  }
  const std::string what = objv[first + 1].str();
  if ((what == "force" || what == "forces") && count == 2) {
    words.kind = SectionQuery::Kind::Force;
    return true;
  }
  if ((what == "deformation" || what == "deformations") && count == 2) {
    words.kind = SectionQuery::Kind::Deformation;
    return true;
  }
  if (what == "fiber" && count >= 4 && count <= 6 && isStressStrain(objv[objc - 1])) {
    words.kind = SectionQuery::Kind::FiberStressStrain;
    Args numbers(s, command, form, objc, objv, first + 2);
    if (count == 4) {
      int index = 0;
      if (!numbers.integer("INDEX", index)) return false;
      words.fiberIndex = index;
      return true;
    }
    if (!numbers.real("Y", words.y) || !numbers.real("Z", words.z)) return false;
    if (count == 6) {
      int tag = 0;
      if (!numbers.integer("MATTAG", tag)) return false;
      words.materialTag = tag;
    }
    return true;
  }
  return args.bad("unknown section response " + quoted(objv[first + 1]));
}

// The query of one element; false (with the error set) when the element or
// the fiber is not there.
bool resolve(Session& s, Args& args, int elementTag, const SectionWords& words,
             SectionQuery& query) {
  query.element = s.domain->elementIndex(elementTag);
  if (query.element < 0) return args.bad("there is no element " + std::to_string(elementTag));
  query.kind = words.kind;
  if (words.kind != SectionQuery::Kind::FiberStressStrain) return true;
  const FiberSection& section = s.domain->elements()[query.element].section();
  std::optional<std::size_t> fiber = words.fiberIndex;
  if (fiber) {
    if (*words.fiberIndex < 0 || *fiber >= section.fiberCount()) {
      return args.bad("element " + std::to_string(elementTag) + " has no fiber " +
                      std::to_string(*words.fiberIndex));
    }
  } else {
    fiber = section.nearestFiber(words.y, words.z, words.materialTag);
    if (!fiber) {
      return args.bad("element " + std::to_string(elementTag) + " has no fiber" +
                      (words.materialTag ? " of material " + std::to_string(*words.materialTag)
                                         : std::string()));
    }
  }
  query.fiber = *fiber;
  return true;
}

// Tags after an option, up to the next word that is not a whole number.
void readTags(Objv objv, int objc, int& i, std::vector<int>& tags) {
  int value = 0;
  while (i < objc && getInt(objv[i], value)) {
    tags.push_back(value);
    ++i;
  }
}

// What every recorder takes: where to write, whether with the time, how
// many digits.
struct FileOptions {
  std::string file;
  bool withTime = false;
  int precision = 6;
};

// Reads the option at objv[i] if it is one of FileOptions' (moving i past
// it): 1 read, 0 not one of them, -1 a bad one (the error is set).
int readFileOption(Session& s, const char* form, int objc, Objv objv, int& i, FileOptions& o) {
  const std::string option = objv[i].str();
  if (option == "-file") {
    if (i + 1 >= objc) return usage(s, "recorder", "-file needs a file name", form), -1;
    o.file = objv[i + 1].str();
    i += 2;
  } else if (option == "-time") {
    o.withTime = true;
    ++i;
  } else if (option == "-precision") {
    if (i + 1 >= objc || !getInt(objv[i + 1], o.precision) || o.precision < 1 || o.precision > 17) {
      return usage(s, "recorder", "-precision needs a whole number from 1 to 17", form), -1;
    }
    i += 2;
  } else {
    return 0;
  }
  return 1;
}

int nodeRecorder(Session& s, int objc, Objv objv) {
  const char* form =
      "recorder Node -file NAME ?-time? ?-precision P? -node TAG... -dof DOF... disp|reaction";
  FileOptions o;
  std::vector<int> nodes;
  std::vector<int> dofs;
  std::optional<NodeResponse> response;
  int i = 2;
  while (i < objc) {
    const int read = readFileOption(s, form, objc, objv, i, o);
    if (read < 0) return TCL_ERROR;
    if (read > 0) continue;
    const std::string option = objv[i].str();
    if (option == "-node" || option == "-dof") {
      ++i;
      readTags(objv, objc, i, option == "-node" ? nodes : dofs);
    } else if (option == "disp" || option == "reaction") {
      response = option == "disp" ? NodeResponse::Disp : NodeResponse::Reaction;
      ++i;
    } else {
      return usage(s, "recorder", "unknown option or response " + quoted(objv[i]), form);
    }
  }
  if (o.file.empty()) return usage(s, "recorder", "missing -file NAME", form);
  if (nodes.empty()) return usage(s, "recorder", "missing -node TAG...", form);
  if (dofs.empty()) return usage(s, "recorder", "missing -dof DOF...", form);
  if (!response) return usage(s, "recorder", "missing the response (disp or reaction)", form);
  for (int node : nodes) {
    if (s.domain->findNode(node) == nullptr) {
      return usage(s, "recorder", "there is no node " + std::to_string(node), form);
    }
  }
  for (int& dof : dofs) {
    if (dof < 1 || dof > s.domain->dofsPerNode()) {
      return usage(s, "recorder", dofRange(*s.domain), form);
    }
    dof -= 1;
  }
  s.domain->addRecorder(std::make_unique<NodeRecorder>(o.file, o.withTime, nodes, dofs, o.precision,
                                                       *response, s.directory));
  s.files.push_back({o.file, FileEffect::Kind::Written});
  return TCL_OK;
}

int elementRecorder(Session& s, int objc, Objv objv) {
  const char* form =
      "recorder Element -file NAME ?-time? ?-precision P? -ele TAG... "
      "section force|deformation|fiber Y Z ?MATTAG? stressStrain";
  FileOptions o;
  std::vector<int> elements;
  int i = 2;
  while (i < objc && objv[i].text().starts_with('-')) {
    const int read = readFileOption(s, form, objc, objv, i, o);
    if (read < 0) return TCL_ERROR;
    if (read > 0) continue;
    const std::string option = objv[i].str();
    if (option == "-ele") {
      ++i;
      readTags(objv, objc, i, elements);
    } else if (option == "-eleRange") {
      int first = 0, last = 0;
      if (i + 2 >= objc || !getInt(objv[i + 1], first) || !getInt(objv[i + 2], last) ||
          first > last || last - first >= 100000) {
        return usage(s, "recorder", "-eleRange needs two element tags, the first the smaller",
                     form);
      }
      for (int tag = first; tag <= last; ++tag) elements.push_back(tag);
      i += 3;
    } else {
      return usage(s, "recorder", "unknown option " + quoted(objv[i]), form);
    }
  }
  if (o.file.empty()) return usage(s, "recorder", "missing -file NAME", form);
  if (elements.empty()) return usage(s, "recorder", "missing -ele TAG...", form);
  SectionWords words;
  if (!readSectionWords(s, "recorder", form, objc, objv, i, words)) return TCL_ERROR;
  Args args(s, "recorder", form, objc, objv, i);
  std::vector<SectionQuery> queries(elements.size());
  for (std::size_t k = 0; k < elements.size(); ++k) {
    if (!resolve(s, args, elements[k], words, queries[k])) return TCL_ERROR;
  }
  s.domain->addRecorder(std::make_unique<ElementRecorder>(o.file, o.withTime, std::move(queries),
                                                          o.precision, s.directory));
  s.files.push_back({o.file, FileEffect::Kind::Written});
  return TCL_OK;
}

int cmdRecorder(Session& s, int objc, Objv objv) {
  if (!needModel(s, "recorder")) return TCL_ERROR;
  const std::string type = objc >= 2 ? objv[1].str() : "";
  if (type == "Node") return nodeRecorder(s, objc, objv);
  if (type == "Element") return elementRecorder(s, objc, objv);
  return usage(s, "recorder", "only Node and Element recorders are known",
               "recorder Node -file NAME ?-time? -node TAG... -dof DOF... disp|reaction or "
               "recorder Element -file NAME ?-time? -ele TAG... section RESPONSE");
}

int cmdRemove(Session& s, int objc, Objv objv) {
  const char* form = "remove recorders";
  if (objc != 2 || objv[1].text() != "recorders") {
    return usage(s, "remove", "only the recorders can be removed", form);
  }
  if (s.domain) s.domain->closeRecorders();
  return TCL_OK;
}

int cmdEleResponse(Session& s, int objc, Objv objv) {
  const char* form = "eleResponse TAG section force|deformation|fiber Y Z ?MATTAG? stressStrain";
  if (!needModel(s, "eleResponse")) return TCL_ERROR;
  Args args(s, "eleResponse", form, objc, objv, 1);
  int tag = 0;
  SectionWords words;
  SectionQuery query;
  if (!args.integer("TAG", tag) ||
      !readSectionWords(s, "eleResponse", form, objc, objv, 2, words) ||
      !resolve(s, args, tag, words, query)) {
    return TCL_ERROR;
  }
  const SectionValues values = s.domain->sectionResponse(query);
  setResult(s, values.values());
  return TCL_OK;
}

// Reactions are worked out when asked for, so "reactions" has nothing to do.
int cmdReactions(Session& s, int objc, Objv) {
  if (objc != 1) return usage(s, "reactions", "it takes no arguments", "reactions");
  return TCL_OK;
}

int cmdNodeReaction(Session& s, int objc, Objv objv) {
  const char* form = "nodeReaction TAG ?DOF?";
  if (!needModel(s, "nodeReaction")) return TCL_ERROR;
  if (objc != 2 && objc != 3) return usage(s, "nodeReaction", "wrong number of arguments", form);
  Args args(s, "nodeReaction", form, objc, objv, 1);
  int tag = 0, dof = 0;
  if (!args.integer("TAG", tag)) return TCL_ERROR;
  if (objc == 3 && !args.integer("DOF", dof)) return TCL_ERROR;
  const int index = s.domain->nodeIndex(tag);
  if (index < 0) return args.fail("there is no node " + std::to_string(tag));
  const NodeVector reaction = s.domain->reaction(index);
  if (objc == 3) {
    if (dof < 1 || dof > s.domain->dofsPerNode()) return args.fail(dofRange(*s.domain));
    setResult(s, reaction[dof - 1]);
    return TCL_OK;
  }
  setResult(s, std::span<const double>(reaction).first(s.domain->dofsPerNode()));
  return TCL_OK;
}

constexpr CommandEntry kCommands[] = {{"recorder", cmdRecorder},
                                      {"remove", cmdRemove},
                                      {"eleResponse", cmdEleResponse},
                                      {"reactions", cmdReactions},
                                      {"nodeReaction", cmdNodeReaction}};

}  // namespace

CommandGroup recorderCommands() {
  return kCommands;
}

}  // namespace marrowick::engine
