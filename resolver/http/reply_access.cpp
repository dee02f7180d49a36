// Reply accessors that read the status from WinINet and values from the raw header block.
#include <algorithm>
#include <cstdlib>

#include "base/text.h"
#include "resolver/http/http_client.h"

namespace http {

using namespace wininet;

// HttpQueryInfoA in two steps: the size first, then the text.
std::optional<std::string> HttpClient::QueryText(uint32_t level) {
  if (requestHandle_ == 0) return std::nullopt;
  uint32_t size = 0;
  api_.QueryInfo(requestHandle_, level, nullptr, &size);
  if (size < 1) return std::nullopt;
  std::string text(size, '\0');
  uint32_t length = size;
  if (!api_.QueryInfo(requestHandle_, level, text.data(), &length)) return std::nullopt;
  text.resize(std::min(length, size));
  return text;
}

int HttpClient::StatusCode() {
  std::optional<std::string> text = QueryText(kQueryStatusCode);
  return text ? std::atoi(text->c_str()) : 0;
}

std::string HttpClient::StatusText() { return QueryText(kQueryStatusText).value_or(""); }

std::string HttpClient::ReplyHeader(std::string_view name) const {
  return HeaderValue(replyHeaders_, name).value_or("");
}

// Resolves a Location value against the current request: "/path" against scheme, host and
// port (the port always written), "//host/path" against the scheme, and a relative path
// against the request path without its query, so "c" on "http://h/a/b?u=/x" gives
// "http://h/a/c".
std::string HttpClient::RedirectTarget(bool absolute) const {
  std::string value = base::TrimSpaces(HeaderValue(replyHeaders_, "Location").value_or(""));
  if (!absolute || value.empty()) return value;
  if (value.compare(0, 2, "//") == 0) return scheme_ + value.substr(2);
  if (value[0] == '/') {
    return scheme_ + connectedHost_ + ":" + std::to_string(connectedPort_) + value;
  }
  std::string lower = base::ToLowerAscii(value.substr(0, 8));
  if (lower.compare(0, 7, "http://") == 0 || lower == "https://") return value;
  std::string base = url_.substr(0, url_.find_first_of("?#"));
  size_t afterScheme = base.find("://");
  afterScheme = afterScheme == std::string::npos ? 0 : afterScheme + 3;
  size_t slash = base.rfind('/');
  if (slash == std::string::npos || slash < afterScheme) return base + "/" + value;
  return base.substr(0, slash + 1) + value;
}

}  // namespace http
