#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace marrowick::engine {

// Tcl's traceback (errorInfo) with its middle left out: the message, the
// innermost and the outermost `kept` frames, and between them one line that
// says how many frames were left out. A runaway recursion otherwise prints
// two lines per level, a thousand levels deep. A traceback of at most
// 2·kept frames comes back unchanged.
std::string shortTraceback(std::string_view errorInfo, std::size_t kept = 4);

}  // namespace marrowick::engine
