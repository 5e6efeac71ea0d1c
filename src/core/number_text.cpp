#include "core/number_text.h"

#include <locale.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/failure.h"

namespace marrowick {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The C locale, so that the library conversion reads "." whatever the process
// locale says; the program's own grammar has already decided what is a number.
locale_t CLocale() {
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c_locale;
}

}  // namespace

std::string FormatExponent(Extended value, int digits, char decimal) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";

  std::string mantissa;  // significant digits, empty for zero
  int exponent = 0;      // the value is 0.mantissa × 10^exponent
  if (value != 0) {
    // 18 significant digits, correctly rounded with exact ties to even (the
    // C library honours the default rounding mode).
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17Le", std::fabs(value));
    mantissa.push_back(buffer[0]);
    mantissa.append(buffer + 2, 17);
    exponent = std::atoi(buffer + 20) + 1;

    // Then to the wanted digits, a 5 or more in the next digit rounding up:
    // ties of the 18-digit string go away from zero.
    const bool round_up = mantissa[digits] >= '5';
    mantissa.resize(digits);
    if (round_up) {
      int position = digits - 1;
      while (position >= 0 && mantissa[position] == '9') mantissa[position--] = '0';
      if (position >= 0) {
        ++mantissa[position];
      } else {
        // Assigned as a character, not as the string literal "1": GCC 12
        // warns falsely (-Wrestrict) about the literal's copy once inlined.
        mantissa.assign(1, '1');
        ++exponent;
      }
    }
  }

  std::string text;
  if (value < 0) text.push_back('-');
  text.push_back(mantissa.empty() ? '0' : mantissa[0]);
  text.push_back(decimal);
  for (int i = 1; i < digits; ++i)
    text.push_back(i < static_cast<int>(mantissa.size()) ? mantissa[i] : '0');
  const int written_exponent = mantissa.empty() ? 0 : exponent - 1;
  char exponent_text[16];
  std::snprintf(exponent_text, sizeof exponent_text, "E%c%03d", written_exponent < 0 ? '-' : '+',
                std::abs(written_exponent));
  text += exponent_text;
  return text;
}

std::string FormatTemplate(const std::string& pattern, std::initializer_list<TemplateValue> values,
                           char decimal) {
  std::string text;
  auto next = values.begin();
  auto take_real = [&]() -> Extended {
    const Extended value = next != values.end() ? std::get<Extended>(*next) : 0;
    if (next != values.end()) ++next;
    return value;
  };
  for (std::size_t i = 0; i < pattern.size();) {
    if (pattern.compare(i, 5, "%0.4E") == 0) {
      text += FormatExponent(take_real(), 4, decimal);
      i += 5;
    } else if (pattern.compare(i, 5, "%0.3E") == 0) {
      text += FormatExponent(take_real(), 3, decimal);
      i += 5;
    } else if (pattern.compare(i, 2, "%D") == 0) {
      const int32_t value = next != values.end() ? std::get<int32_t>(*next) : 0;
      if (next != values.end()) ++next;
      text += std::to_string(value);
      i += 2;
    } else {
      text.push_back(pattern[i++]);
    }
  }
  return text;
}

std::optional<Extended> ScanReal(const std::string& text, char decimal) {
  const std::size_t size = text.size();
  std::size_t i = 0;
  while (i < size && text[i] == ' ') ++i;

  bool negative = false;
  if (i < size && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  std::string digits;
  std::size_t fraction_digits = 0;
  bool took_any = false;
  while (i < size && IsDigit(text[i])) {
    digits.push_back(text[i++]);
    took_any = true;
  }
  if (i < size && text[i] == decimal) {
    ++i;
    took_any = true;
    while (i < size && IsDigit(text[i])) {
      digits.push_back(text[i++]);
      ++fraction_digits;
    }
  }
  if (!took_any) return std::nullopt;

  long exponent = 0;
  if (i < size && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    bool exponent_negative = false;
    if (i < size && (text[i] == '+' || text[i] == '-')) exponent_negative = text[i++] == '-';
    // Digits are taken only while the exponent read so far is below 500, so
    // «1E500» is whole while «1E5000» leaves a digit over.
    while (i < size && IsDigit(text[i]) && exponent < 500)
      exponent = exponent * 10 + (text[i++] - '0');
    if (exponent_negative) exponent = -exponent;
  }

  while (i < size && text[i] == ' ') ++i;
  if (i != size) return std::nullopt;

  // The integer of all digits times ten to (exponent − fraction digits), with
  // the 64-bit significand; the library conversion rounds it correctly.
  const long long scale =
      static_cast<long long>(exponent) - static_cast<long long>(fraction_digits);
  std::string normalized = digits.empty() ? "0" : digits;
  normalized += 'e';  // appended apart: GCC 12's false -Wrestrict on "e" + text
  normalized += std::to_string(scale);
  errno = 0;
  Extended value = strtold_l(normalized.c_str(), nullptr, CLocale());
  if (std::isinf(value) || std::isnan(value)) return std::nullopt;
  return negative ? -value : value;
}

double ParseReal(const std::string& text, char decimal) {
  const std::optional<Extended> value = ScanReal(text, decimal);
  if (!value) FailRealConversion(text);
  return StoreDouble(*value);
}

std::optional<int32_t> ScanInteger(const std::string& text) {
  const std::size_t size = text.size();
  std::size_t i = 0;
  while (i < size && text[i] == ' ') ++i;
  if (i == size) return std::nullopt;

  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';

  bool hexadecimal = false;
  if (i < size && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hexadecimal = true;
    ++i;
  } else if (i + 1 < size && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hexadecimal = true;
    i += 2;
  }
  if (i == size) return std::nullopt;

  if (hexadecimal) {
    uint64_t value = 0;
    for (; i < size; ++i) {
      const int digit = HexDigitValue(text[i]);
      if (digit < 0) return std::nullopt;
      value = value * 16 + static_cast<uint64_t>(digit);
      if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    // The 32-bit pattern is read as a signed number, then negated.
    const auto pattern = static_cast<uint32_t>(value);
    const uint32_t result = negative ? 0u - pattern : pattern;
    return static_cast<int32_t>(result);
  }

  uint64_t value = 0;
  const uint64_t limit = negative ? 2147483648u : 2147483647u;
  for (; i < size; ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    if (value > limit) return std::nullopt;
  }
  return negative ? static_cast<int32_t>(0 - static_cast<int64_t>(value))
                  : static_cast<int32_t>(value);
}

int32_t ParseInteger(const std::string& text) {
  const std::optional<int32_t> value = ScanInteger(text);
  if (!value) FailIntegerConversion(text);
  return *value;
}

std::string TrimText(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return text.substr(first, last - first);
}

std::string RoundTripText(double value) {
  char buffer[32];
  const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace marrowick
