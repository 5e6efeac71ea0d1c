#pragma once

// The plain lines of a section body, read without Tcl.
//
// A section body is usually hundreds of plain "fiber Y Z AREA MATTAG" lines.
// Tcl would make a word object per argument and parse each number through its
// own reader, which costs most of a short run; such a body is read here
// instead. Anything else (variables, brackets, braces, quotes, backslashes,
// comments, other commands, numbers beyond plain decimals) is refused whole,
// so that the caller leaves the body to Tcl untouched and its errors and their
// lines stay as Tcl reports them.

#include <string_view>
#include <vector>

namespace marrowick::engine {

struct FiberLine {
  double y, z, area;
  int materialTag;
};

// Reads the whole body, or nothing: false leaves it to Tcl (fibers is then
// unspecified).
bool readFiberLines(std::string_view body, std::vector<FiberLine>& fibers);

// What Tcl and std::from_chars read alike: [+-]digits[.digits][e[+-]digits],
// normal or zero, finite. False for anything else, which Tcl may still read.
bool readPlainReal(std::string_view text, double& value);
// Whether readPlainReal would read the text, mostly without reading it.
bool isPlainReal(std::string_view text);
// [+-]digits without a leading zero (Tcl would read "010" as octal), at most
// nine digits.
bool readPlainInteger(std::string_view text, int& value);

}  // namespace marrowick::engine
