// Any section body: the plain reader either refuses it or reads exactly what
// Tcl would, line by line the same words, every number to the same bits.
#include <tcl.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/fiber_lines.h"

namespace {

// Tcl's own reading of a word as a double or a whole number (as the fiber
// command reads it), without an interpreter.
bool TclReal(const std::string& word, double& value) {
  Tcl_Obj* obj = Tcl_NewStringObj(word.data(), static_cast<int>(word.size()));
  Tcl_IncrRefCount(obj);
  const bool ok = Tcl_GetDoubleFromObj(nullptr, obj, &value) == TCL_OK;
  Tcl_DecrRefCount(obj);
  return ok;
}

bool TclInteger(const std::string& word, Tcl_WideInt& value) {
  Tcl_Obj* obj = Tcl_NewStringObj(word.data(), static_cast<int>(word.size()));
  Tcl_IncrRefCount(obj);
  const bool ok = Tcl_GetWideIntFromObj(nullptr, obj, &value) == TCL_OK;
  Tcl_DecrRefCount(obj);
  return ok;
}

// The words of one line of a script body as Tcl's parser splits them.
std::vector<std::string> TclWords(const std::string& line) {
  std::vector<std::string> words;
  Tcl_Parse parse;
  if (Tcl_ParseCommand(nullptr, line.data(), static_cast<int>(line.size()), 0, &parse) != TCL_OK)
    std::abort();  // the reader let through a line Tcl cannot parse
  for (int i = 0; i < parse.numTokens; i += parse.tokenPtr[i].numComponents + 1) {
    const Tcl_Token& token = parse.tokenPtr[i];
    if (token.type != TCL_TOKEN_SIMPLE_WORD) std::abort();  // a substitution slipped through
    words.emplace_back(token.start, static_cast<std::size_t>(token.size));
  }
  Tcl_FreeParse(&parse);
  return words;
}

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  (void)argc;
  Tcl_FindExecutable((*argv)[0]);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string body(reinterpret_cast<const char*>(data), size);
  std::vector<marrowick::engine::FiberLine> fibers;
  if (!marrowick::engine::readFiberLines(body, fibers)) return 0;

  std::size_t next = 0;
  std::size_t start = 0;
  while (start <= body.size()) {
    std::size_t end = body.find('\n', start);
    if (end == std::string::npos) end = body.size();
    const std::vector<std::string> words = TclWords(body.substr(start, end - start));
    start = end + 1;
    if (words.empty()) continue;
    if (next >= fibers.size() || words.size() != 5 || words[0] != "fiber") std::abort();
    const marrowick::engine::FiberLine& fiber = fibers[next++];
    double y = 0, z = 0, area = 0;
    Tcl_WideInt tag = 0;
    if (!TclReal(words[1], y) || !TclReal(words[2], z) || !TclReal(words[3], area) ||
        !TclInteger(words[4], tag)) {
      std::abort();
    }
    if (!SameBits(y, fiber.y) || !SameBits(z, fiber.z) || !SameBits(area, fiber.area) ||
        tag != fiber.materialTag) {
      std::abort();
    }
  }
  if (next != fibers.size()) std::abort();
  return 0;
}
