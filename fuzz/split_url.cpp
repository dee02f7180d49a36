// Arbitrary URLs through the client's URL split: the parts must be cut out of the URL itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "resolver/http/url_split.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string url = http::WithScheme(std::string(reinterpret_cast<const char*>(data), size));
  http::UrlParts parts;
  if (!http::SplitUrl(url, &parts)) return 0;
  if (parts.path.empty() || parts.path[0] != '/') std::abort();
  if (parts.scheme != "http://" && parts.scheme != "https://") std::abort();
  if (url.find(parts.host) == std::string::npos) std::abort();
  if (parts.port == 0) std::abort();
  return 0;
}
