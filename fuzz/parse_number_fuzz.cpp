// Any bytes typed into a field: the conversions either accept them with a
// finite value or fail with their own failure, never anything else.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/failure.h"
#include "core/number_text.h"

using namespace marrowick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (char decimal : {'.', ','}) {
    try {
      const double value = ParseReal(text, decimal);
      if (!std::isfinite(value)) std::abort();
    } catch (const Failure& failure) {
      if (failure.Kind() != FailureKind::RealConversion && failure.Kind() != FailureKind::Overflow)
        std::abort();
    }
  }
  try {
    const int32_t value = ParseInteger(text);
    // Written back in decimal, the value reads the same.
    if (ParseInteger(FormatTemplate("%D", {value}, '.')) != value) std::abort();
  } catch (const Failure& failure) {
    if (failure.Kind() != FailureKind::IntegerConversion) std::abort();
  }
  return 0;
}
