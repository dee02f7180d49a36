#include "resolver/http/url_split.h"

#include <gtest/gtest.h>

namespace http {
namespace {

struct SplitCase {
  const char* url;
  const char* scheme;
  const char* host;
  uint16_t port;
  const char* path;
};

TEST(SplitUrl, CutsSchemeHostPortAndPath) {
  const SplitCase cases[] = {
      {"http://host:8080/p?q=1", "http://", "host", 8080, "/p?q=1"},
      {"http://host/p", "http://", "host", 80, "/p"},
      {"https://host/p", "https://", "host", 443, "/p"},
      {"HTTPS://Host/p", "https://", "Host", 443, "/p"},
      {"hTTp://Host/p", "http://", "Host", 80, "/p"},
      // ports below 11 and non-numeric ports are 80, for https too
      {"http://host:5/p", "http://", "host", 80, "/p"},
      {"http://host:10/p", "http://", "host", 80, "/p"},
      {"http://host:11/p", "http://", "host", 11, "/p"},
      {"https://host:abc/p", "https://", "host", 80, "/p"},
      {"https://host:/p", "https://", "host", 80, "/p"},
      {"http://host:65535/", "http://", "host", 65535, "/"},
      {"http://host:8080x/", "http://", "host", 8080, "/"},
      // no path: "/" is added, and a query right after the host stays in the host
      {"http://host", "http://", "host", 80, "/"},
      {"http://host:81", "http://", "host", 81, "/"},
      {"http://host?x=1", "http://", "host?x=1", 80, "/"},
      // the scheme's ":" is never a port separator
      {"http://abc/x", "http://", "abc", 80, "/x"},
      {"https://a/x", "https://", "a", 443, "/x"},
      // a ":" in the path belongs to the path
      {"http://h/a:99/b", "http://", "h", 80, "/a:99/b"},
      {"http://h/a?t=1:2", "http://", "h", 80, "/a?t=1:2"},
      // the port is looked for only 7 characters before the "/"
      {"http://averylonghostname:81/", "http://", "averylonghostname", 81, "/"},
      {"http://h:1234567/x", "http://", "h:1234567", 80, "/x"},
      // no scheme: the host starts at the first character
      {"ab:99/x", "http://", "ab", 99, "/x"},
      {"ab", "http://", "ab", 80, "/"},
      {"example.com:8000/a/b", "http://", "example.com", 8000, "/a/b"},
      {"http://ftp://x.org/a", "http://", "ftp", 80, "//x.org/a"},
      {"http:///p", "http://", "", 80, "/p"},
      // double-byte text in the path is kept byte for byte
      {"http://h/\xC4\xE3\xBA\xC3", "http://", "h", 80, "/\xC4\xE3\xBA\xC3"},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.url);
    UrlParts parts;
    ASSERT_TRUE(SplitUrl(c.url, &parts));
    EXPECT_EQ(parts.scheme, c.scheme);
    EXPECT_EQ(parts.host, c.host);
    EXPECT_EQ(parts.port, c.port);
    EXPECT_EQ(parts.path, c.path);
  }
}

TEST(SplitUrl, FailsForEmptyUrlAndPortsBeyondSixteenBits) {
  for (const char* url : {"", "http://host:65536/", "http://h:999999/"}) {
    SCOPED_TRACE(url);
    UrlParts parts;
    EXPECT_FALSE(SplitUrl(url, &parts));
  }
}

TEST(WithScheme, PrefixesHttpUnlessTheUrlHasAScheme) {
  const std::pair<const char*, const char*> cases[] = {
      {"pan.example.com/s/1", "http://pan.example.com/s/1"},
      {"HTTPS://x.com/", "HTTPS://x.com/"},
      {"Http://x.com/", "Http://x.com/"},
      {"https://x", "https://x"},
      {"ftp://x.org/", "http://ftp://x.org/"},
      // shorter than 8 characters: always prefixed
      {"http://", "http://http://"},
      {"https:/", "http://https:/"},
      {"", "http://"},
  };
  for (const auto& [url, expected] : cases) {
    SCOPED_TRACE(url);
    EXPECT_EQ(WithScheme(url), expected);
  }
}

}  // namespace
}  // namespace http
