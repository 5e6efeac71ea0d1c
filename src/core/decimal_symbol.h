#pragma once

#include <string>

namespace marrowick {

// The decimal symbol belongs to what a person types and reads: the input
// fields and the chart labels follow the user's regional settings. Everything
// exchanged with the solver (scripts, recorder files) and "m-n.out" always
// uses a point, so that a comma locale can neither break an analysis nor make
// the comma-joined columns of "m-n.out" ambiguous.
inline constexpr char kFileDecimal = '.';

// The regional decimal symbol, "." until ReadRegionalDecimal has run.
char RegionalDecimal();

// Reads the decimal point of the process locale (LC_NUMERIC). Called at
// start-up and again whenever the toolkit announces a locale change. A locale
// whose decimal point is not one ASCII byte falls back to ".".
void ReadRegionalDecimal();

// A number text written with a point (a default text, a value from a file)
// as a person reads it here: the point becomes the regional symbol.
std::string WithRegionalDecimal(std::string text);

// A number text as typed, for a file: the regional symbol becomes a point.
std::string WithFileDecimal(std::string text);

// For tests and the locale-change hook: sets the symbol directly.
void SetRegionalDecimal(char symbol);

}  // namespace marrowick
