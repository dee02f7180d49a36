#include "resolver/http/url_split.h"

#include <algorithm>

#include "base/text.h"

namespace http {
namespace {

constexpr std::string_view kHttp = "http://";
constexpr std::string_view kHttps = "https://";

// Digits at the start of text as a number, capped just above the largest port; 0 for none.
uint32_t LeadingNumber(std::string_view text) {
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = std::min<uint32_t>(value * 10 + static_cast<uint32_t>(c - '0'), 65536);
  }
  return value;
}

}  // namespace

std::string WithScheme(std::string_view url) {
  std::string head = base::ToLowerAscii(url.substr(0, 8));
  bool hasScheme = url.size() >= 8 && (head == kHttps || head.compare(0, 7, kHttp) == 0);
  return hasScheme ? std::string(url) : std::string(kHttp) + std::string(url);
}

bool SplitUrl(std::string_view url, UrlParts* parts) {
  if (url.empty()) return false;
  int n = static_cast<int>(url.size());
  int start = 1;
  parts->scheme = std::string(kHttp);
  if (n >= 8) {
    std::string head = base::ToLowerAscii(url.substr(0, 8));
    if (head == kHttps) {
      parts->scheme = std::string(kHttps);
      start = 9;
    } else if (head.compare(0, 7, kHttp) == 0) {
      start = 8;
    }
  }
  std::string w(url);
  int slash = base::Find(w, "/", start);
  if (slash == -1) {
    w += "/";
    slash = ++n;
  }
  parts->path = base::Mid(w, slash);
  int colon = base::Find(w, ":", n < 8 ? 1 : std::max(slash - 7, start));
  int hostEnd = slash;
  uint32_t port = parts->scheme == kHttps ? 443 : 80;
  if (colon != -1 && colon < slash) {
    port = LeadingNumber(base::Mid(w, colon + 1, slash - colon - 1));
    if (port > 65535) return false;
    if (port < 11) port = 80;
    hostEnd = colon;
  }
  parts->host = base::Mid(w, start, hostEnd - start);
  parts->port = static_cast<uint16_t>(port);
  return true;
}

}  // namespace http
