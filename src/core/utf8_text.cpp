#include "core/utf8_text.h"

namespace marrowick {

std::size_t Utf8ValidLength(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead < 0x80) {
      length = 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;   // overlong below U+0800
      if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;   // overlong below U+10000
      if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
      return i;
    }
    if (i + length > text.size()) return i;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return i;
    }
    i += length;
  }
  return i;
}

std::string_view Utf8Head(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  const auto continues = [&](std::size_t i) {
    return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
  };
  // Back to the start of the character cut in two; a character has at most
  // three continuation bytes, so more are no character at all and cut anywhere.
  std::size_t end = max_bytes;
  while (end > 0 && end + 3 > max_bytes && continues(end)) --end;
  return text.substr(0, continues(end) ? max_bytes : end);
}

}  // namespace marrowick
