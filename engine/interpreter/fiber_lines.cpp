#include "interpreter/fiber_lines.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <system_error>

namespace marrowick::engine {

namespace {

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Decimal digits with no leading zero before another digit: Tcl would read
// "010" as octal.
bool wholePart(std::string_view text, std::size_t& at) {
  const std::size_t start = at;
  while (at < text.size() && isDigit(text[at])) ++at;
  return !(at - start > 1 && text[start] == '0');
}

// The form of a plain real, and whether its value is surely a normal double
// or zero: few enough digits and a small enough exponent.
struct PlainForm {
  bool valid = false;
  bool whole = false;  // no point, no exponent
  bool safe = false;
  // The value is ±digits × 10^scale, digits being every digit written (up
  // to 19 of them, else kTooManyDigits).
  bool negative = false;
  std::uint64_t digits = 0;
  int scale = 0;
};

constexpr std::uint64_t kTooManyDigits = ~std::uint64_t{0};

PlainForm plainForm(std::string_view text) {
  PlainForm form;
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) form.negative = text[at++] == '-';
  const std::size_t mantissa = at;
  if (!wholePart(text, at)) return form;
  std::size_t digits = at - mantissa;
  form.whole = true;
  std::size_t fractionDigits = 0;
  if (at < text.size() && text[at] == '.') {
    form.whole = false;
    ++at;
    const std::size_t fraction = at;
    while (at < text.size() && isDigit(text[at])) ++at;
    fractionDigits = at - fraction;
    digits += fractionDigits;
  }
  if (digits == 0) return form;
  int exponent = 0;
  bool negativeExponent = false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    form.whole = false;
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
      negativeExponent = text[at++] == '-';
    }
    const std::size_t first = at;
    while (at < text.size() && isDigit(text[at])) {
      if (exponent < 1000) exponent = exponent * 10 + (text[at] - '0');
      ++at;
    }
    if (at == first) return form;
  }
  // 19 digits always fit 64 bits.
  if (digits <= 19) {
    for (std::size_t i = mantissa; i < mantissa + digits + (fractionDigits > 0 ? 1 : 0); ++i) {
      if (text[i] != '.')
        form.digits = form.digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
  } else {
    form.digits = kTooManyDigits;
  }
  form.scale = (negativeExponent ? -exponent : exponent) - static_cast<int>(fractionDigits);
  if (at != text.size()) return form;
  // A word without point or exponent is a whole number to Tcl, made a double
  // afterwards: exact up to 15 digits.
  if (form.whole && digits > 15) return form;
  form.valid = true;
  // At most 40 digits times ten to at most 250, either way, stays well
  // within the normal doubles (1e-308 to 1e308).
  form.safe = digits <= 40 && exponent <= 250;
  return form;
}

// The decimal's value rounded once to the nearest double, as from_chars
// gives it, when that needs only one exact operation: digits below 2^53 are
// a double exactly, and so is every power of ten up to 10^22, so their
// product or quotient is the correctly rounded value (Clinger, "How to read
// floating point numbers accurately", PLDI 1990). The numbers of a script,
// written with four or five significant digits, all take this way.
std::optional<double> fastDecimal(const PlainForm& form) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr std::uint64_t kExactDigits = std::uint64_t{1} << 53;
  if (form.digits > kExactDigits || form.scale < -22 || form.scale > 22) return std::nullopt;
  const auto digits = static_cast<double>(form.digits);
  const double magnitude =
      form.scale >= 0 ? digits * kPowers[form.scale] : digits / kPowers[-form.scale];
  return form.negative ? -magnitude : magnitude;
}

}  // namespace

// Both round correctly, and from_chars ignores the locale.
bool readPlainReal(std::string_view text, double& value) {
  const PlainForm form = plainForm(text);
  if (!form.valid) return false;
  if (const std::optional<double> fast = fastDecimal(form)) {
    value = *fast;
  } else {
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error != std::errc() || end != last) return false;
  }
  // "-0" is a whole number to Tcl: +0.
  if (form.whole && value == 0.0) value = 0.0;
  // Infinite values are refused by the command, and values too small for a
  // normal double are left to Tcl's own reader.
  return std::isfinite(value) && (value == 0.0 || std::isnormal(value));
}

bool isPlainReal(std::string_view text) {
  const PlainForm form = plainForm(text);
  double value = 0.0;
  return form.valid && (form.safe || readPlainReal(text, value));
}

bool readPlainInteger(std::string_view text, int& value) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  const std::size_t start = at;
  if (!wholePart(text, at) || at == start || at != text.size() || at - start > 9) return false;
  const char* first = text.data() + (text[0] == '+' ? 1 : 0);
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, value);
  return error == std::errc() && end == last;
}

bool readFiberLines(std::string_view body, std::vector<FiberLine>& fibers) {
  std::size_t lines = 1;
  for (char c : body) {
    lines += c == '\n';
    const bool allowed = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
                         (c >= 'A' && c <= 'Z') || c == '.' || c == '+' || c == '-' || c == '\n' ||
                         isSpace(c);
    if (!allowed) return false;
  }
  fibers.reserve(lines);
  std::size_t at = 0;
  while (at < body.size()) {
    std::string_view words[6];
    int count = 0;
    while (at < body.size() && body[at] != '\n') {
      if (isSpace(body[at])) {
        ++at;
        continue;
      }
      const std::size_t start = at;
      while (at < body.size() && body[at] != '\n' && !isSpace(body[at])) ++at;
      if (count == 6) return false;
      words[count++] = body.substr(start, at - start);
    }
    ++at;  // the newline
    if (count == 0) continue;
    FiberLine fiber = {};
    if (count != 5 || words[0] != "fiber" || !readPlainReal(words[1], fiber.y) ||
        !readPlainReal(words[2], fiber.z) || !readPlainReal(words[3], fiber.area) ||
        !readPlainInteger(words[4], fiber.materialTag)) {
      return false;
    }
    fibers.push_back(fiber);
  }
  return true;
}

}  // namespace marrowick::engine
