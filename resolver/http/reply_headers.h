#pragma once
// Reading values out of a raw reply header block (status line, then header lines, each ending
// in CRLF). A header name matches only at the start of a line and in any case, so
// "Content-Location:" is never "Location:" and the status line never matches.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace http {

// The text after "name:" up to the end of its line, leading spaces removed; nullopt when no
// line starts with the name (or its line has no CRLF after it).
std::optional<std::string> HeaderValue(std::string_view headers, std::string_view name);

// Content-Length as a 64-bit number: -1 without the header, 0 for a value without digits.
// Leading digits count; a value too large for 63 bits is taken as the largest one.
int64_t DeclaredLength(std::string_view headers);

}  // namespace http
