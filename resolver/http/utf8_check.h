#pragma once
#include <string_view>

namespace http {

// True when text holds at least one well-formed UTF-8 character (an ASCII byte counts).
// A reply body without any is not text: its conversion gives "".
bool HasUtf8Character(std::string_view text);

}  // namespace http
