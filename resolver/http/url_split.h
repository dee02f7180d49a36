#pragma once
// How the client cuts a request URL into scheme, host, port and path.
//
// Rules (positions 1-based, as the client has always cut URLs):
// - the scheme is "https://" when the first 8 characters are that in any case, "http://" when
//   the first 7 are; otherwise "http://" and the host starts at the first character. A URL of
//   fewer than 8 characters never has a scheme.
// - the path runs from the first "/" after the host start to the end, query included; a URL
//   without one gets the path "/" (so "http://h?q=1" keeps "?q=1" in the host).
// - the port is looked for from 7 characters before that "/" (never before the host start):
//   a ":" further left is part of the host, a ":" after the "/" belongs to the path. Its digits
//   give the port; a value below 11 (or no digits) is 80 for both schemes. Without a ":" the
//   port is 443 for https, 80 otherwise.
// The split fails for an empty URL and for a port above 65535 (WinINet's port is 16 bits and
// would silently reach another port).
#include <cstdint>
#include <string>
#include <string_view>

namespace http {

struct UrlParts {
  std::string scheme;  // "http://" or "https://", always lower case
  std::string host;
  uint16_t port = 0;
  std::string path;  // starts with "/"
};

bool SplitUrl(std::string_view url, UrlParts* parts);

// The URL as the client requests it: "http://" put in front unless it starts with "http://"
// or "https://" in any case (a URL shorter than 8 characters always gets it).
std::string WithScheme(std::string_view url);

}  // namespace http
