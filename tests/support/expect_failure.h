#pragma once

#include <gtest/gtest.h>

#include <source_location>
#include <string>

#include "core/failure.h"

namespace marrowick::testing {

// Runs the operation, which must fail with a Failure of the given kind, and
// returns that failure for its message. Anything else is a test failure,
// reported at the caller's line, and an empty failure of the kind comes back.
template <typename Operation>
Failure ExpectFailure(FailureKind kind, Operation&& operation,
                      std::source_location where = std::source_location::current()) {
  const ::testing::ScopedTrace trace(where.file_name(), static_cast<int>(where.line()),
                                     "expected failure");
  try {
    operation();
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Kind(), kind) << failure.Message();
    return failure;
  }
  ADD_FAILURE() << "no failure";
  return Failure(kind, "");
}

// The same, with the failure's whole message.
template <typename Operation>
Failure ExpectFailure(FailureKind kind, const std::string& message, Operation&& operation,
                      std::source_location where = std::source_location::current()) {
  Failure failure = ExpectFailure(kind, operation, where);
  EXPECT_EQ(failure.Message(), message)
      << "expected at " << where.file_name() << ":" << where.line();
  return failure;
}

}  // namespace marrowick::testing
