#pragma once

#include <stdexcept>
#include <string>

namespace marrowick::engine {

// A request the model cannot carry out (an unknown tag, a duplicate, a file
// that cannot be written). The command layer turns it into a script error that
// names the line.
class ModelError : public std::runtime_error {
 public:
  explicit ModelError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace marrowick::engine
