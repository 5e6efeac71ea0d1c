// Any double in exponent form: the exact shape «-d.dddE+ddd», and the text
// reads back within half a unit of its last digit (plus what the 18-digit
// step may add).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/failure.h"
#include "core/number_text.h"

using namespace marrowick;

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

void CheckShape(const std::string& text, int digits, char decimal) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '-') ++i;
  if (i >= text.size() || !IsDigit(text[i++])) std::abort();
  if (i >= text.size() || text[i++] != decimal) std::abort();
  for (int k = 1; k < digits; ++k)
    if (i >= text.size() || !IsDigit(text[i++])) std::abort();
  if (i >= text.size() || text[i++] != 'E') std::abort();
  if (i >= text.size() || (text[i] != '+' && text[i] != '-')) std::abort();
  ++i;
  const std::size_t exponent_digits = text.size() - i;
  if (exponent_digits != 3) std::abort();
  for (; i < text.size(); ++i)
    if (!IsDigit(text[i])) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < sizeof(double) + 1) return 0;
  double value;
  std::memcpy(&value, data, sizeof value);
  if (!std::isfinite(value)) return 0;
  const int digits = (data[sizeof value] & 1) ? 4 : 3;
  const char decimal = (data[sizeof value] & 2) ? ',' : '.';

  const std::string text = FormatExponent(value, digits, decimal);
  CheckShape(text, digits, decimal);
  if (value == 0 && text.front() == '-') std::abort();

  double back;
  try {
    back = ParseReal(text, decimal);
  } catch (const Failure& failure) {
    // Near the top of the double range the rounded text lies beyond it.
    if (failure.Kind() != FailureKind::Overflow || std::fabs(value) < 1.79e308) std::abort();
    return 0;
  }
  const long double magnitude = std::fabs(static_cast<long double>(value));
  if (magnitude < 1e-300L) return 0;  // subnormal digits say little
  const int exponent = std::atoi(text.c_str() + text.size() - 4);
  const long double half_unit = 0.5L * std::pow(10.0L, exponent - (digits - 1));
  const long double error = std::fabs(static_cast<long double>(back) - value);
  if (error > half_unit * (1 + 1e-12L) + magnitude * 1e-17L) std::abort();
  return 0;
}
