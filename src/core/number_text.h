#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <variant>

#include "core/extended_arithmetic.h"

namespace marrowick {

// Exponent form with `digits` significant digits (4 or 3): «3.500E+001».
// The value is taken exactly as handed over (an extended intermediate or a
// stored double); ties in the last written digit go away from zero; the
// exponent is signed with at least three digits; zero of either sign is
// written without a sign.
std::string FormatExponent(Extended value, int digits, char decimal);

// A value for one placeholder of FormatTemplate: "%0.4E" and "%0.3E" take a
// real, "%D" an integer.
using TemplateValue = std::variant<Extended, int32_t>;

// Copies the template and replaces each "%0.4E", "%0.3E" and "%D" by the text
// of the next value. Every other character is copied unchanged.
std::string FormatTemplate(const std::string& pattern, std::initializer_list<TemplateValue> values,
                           char decimal);

// Text to double by the program's grammar (blanks around, one sign, digits
// with one optional decimal symbol, an optional exponent). Fails with the
// real-conversion failure quoting the whole text, or with the overflow
// failure when the value is beyond the double range; underflow is silent.
double ParseReal(const std::string& text, char decimal);

// ParseReal's grammar for a caller that reports a rejected text in its own
// words: the value as read (with the 64-bit significand, not yet stored as a
// double, so it may lie beyond the double range), or none.
std::optional<Extended> ScanReal(const std::string& text, char decimal);

// Text to a 32-bit integer: decimal, or hexadecimal after "$", "x" or "0x".
// Fails with the integer-conversion failure quoting the whole text.
int32_t ParseInteger(const std::string& text);

// ParseInteger's grammar without the failure: the value, or none.
std::optional<int32_t> ScanInteger(const std::string& text);

// The text without leading and trailing bytes of code 32 or less.
std::string TrimText(const std::string& text);

// The shortest text that reads back to the same double, always with a point:
// data handed on to spreadsheets and scripts must lose nothing, unlike the
// four digits of "m-n.out".
std::string RoundTripText(double value);

}  // namespace marrowick
