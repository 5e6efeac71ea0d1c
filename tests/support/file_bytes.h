#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace marrowick::testing {

// Files as the solver and the program leave them: bytes, no newline
// translation.
inline void WriteBytes(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace marrowick::testing
