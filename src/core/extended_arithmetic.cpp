#include "core/extended_arithmetic.h"

#include <cmath>

#include "core/failure.h"

namespace marrowick {

Extended Divide(Extended a, Extended b) {
  if (std::isnan(a) || std::isnan(b)) FailInvalidOperation();
  if (b == 0) {
    if (a == 0) FailInvalidOperation();
    FailDivideByZero();
  }
  return a / b;
}

double StoreDouble(Extended value) {
  if (std::isnan(value)) FailInvalidOperation();
  const double stored = static_cast<double>(value);
  if (std::isinf(stored)) FailOverflow();
  return stored;
}

int32_t RoundToInteger(Extended value) {
  if (std::isnan(value)) FailInvalidOperation();
  // nearbyintl follows the rounding mode, which is never changed from
  // round-to-nearest-even in this program.
  const Extended rounded = std::nearbyint(value);
  if (rounded < static_cast<Extended>(INT32_MIN) || rounded > static_cast<Extended>(INT32_MAX))
    FailInvalidOperation();
  return static_cast<int32_t>(rounded);
}

}  // namespace marrowick
