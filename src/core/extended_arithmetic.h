#pragma once

#include <cstdint>
#include <limits>

namespace marrowick {

// Intermediate results are carried with the x87 64-bit significand and rounded
// to double only when stored. The hardware does not trap, so the three trapped
// cases (invalid operation, division by zero, overflow on store) are checked
// here and raised as failures at the step where they happen.
using Extended = long double;
// The arithmetic relies on that significand: without it, fail to build rather than change results.
static_assert(std::numeric_limits<Extended>::digits == 64,
              "Extended (long double) must have the x87 64-bit significand");

// a / b, failing with the division-by-zero failure for a non-zero a and a zero
// b, and with the invalid-operation failure for 0/0 or a NaN operand.
Extended Divide(Extended a, Extended b);

// The value stored as a double: fails with the overflow failure when it lies
// beyond the double range, and with the invalid-operation failure for NaN.
double StoreDouble(Extended value);

// Nearest integer, an exact half to the even neighbour. Beyond the 32-bit
// signed range it fails with the invalid-operation failure (a count or pixel
// coordinate that large is never meaningful).
int32_t RoundToInteger(Extended value);

}  // namespace marrowick
