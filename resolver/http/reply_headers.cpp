#include "resolver/http/reply_headers.h"

#include <limits>

#include "base/text.h"

namespace http {

std::optional<std::string> HeaderValue(std::string_view headers, std::string_view name) {
  if (name.empty()) return std::nullopt;
  std::string key = "\r\n" + std::string(name) + ":";
  int p = base::Find(headers, key, 1, base::Case::kIgnoreAscii);
  if (p == -1) return std::nullopt;
  int from = p + static_cast<int>(key.size());
  int eol = base::Find(headers, "\r\n", from);
  if (eol == -1) return std::nullopt;
  return base::TrimLeadingSpaces(base::Mid(headers, from, eol - from));
}

int64_t DeclaredLength(std::string_view headers) {
  std::optional<std::string> value = HeaderValue(headers, "Content-Length");
  if (!value) return -1;
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  int64_t length = 0;
  for (char c : *value) {
    if (c < '0' || c > '9') break;
    int digit = c - '0';
    length = length > (kMax - digit) / 10 ? kMax : length * 10 + digit;
  }
  return length;
}

}  // namespace http
