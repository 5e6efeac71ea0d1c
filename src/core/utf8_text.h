#pragma once

#include <cstddef>
#include <string_view>

namespace marrowick {

// How many bytes at the start of the text are well-formed UTF-8: no stray
// continuation byte, no overlong form, no surrogate, nothing beyond U+10FFFF,
// no character cut off at the end. The whole size when all of it is.
std::size_t Utf8ValidLength(std::string_view text);

// The longest start of the text of at most max_bytes that ends between two
// characters, so that a cut never leaves half a character behind.
std::string_view Utf8Head(std::string_view text, std::size_t max_bytes);

}  // namespace marrowick
