#include "resolver/http/utf8_check.h"

#include <cstdint>

namespace http {
namespace {

bool IsContinuation(uint8_t c) { return (c & 0xC0) == 0x80; }

// Length of the well-formed sequence at text[i], 0 when there is none.
size_t SequenceAt(std::string_view text, size_t i) {
  uint8_t lead = static_cast<uint8_t>(text[i]);
  if (lead < 0x80) return 1;
  size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (length == 0 || i + length > text.size()) return 0;
  uint8_t second = static_cast<uint8_t>(text[i + 1]);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
      (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
    return 0;  // overlong forms, surrogates, beyond U+10FFFF
  }
  for (size_t k = 1; k < length; ++k) {
    if (!IsContinuation(static_cast<uint8_t>(text[i + k]))) return 0;
  }
  return length;
}

}  // namespace

bool HasUtf8Character(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (SequenceAt(text, i) > 0) return true;
  }
  return false;
}

}  // namespace http
