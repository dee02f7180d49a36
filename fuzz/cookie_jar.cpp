// Arbitrary reply header blocks through the cookie jar: merging (both keepOnDelete modes) must
// keep the jar in its "; name=value; " form, and every lookup must stay inside the texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "resolver/http/cookie_jar.h"

namespace {

void CheckForm(const std::string& jar) {
  if (jar.size() < 2 || jar.compare(0, 2, "; ") != 0 || jar.compare(jar.size() - 2, 2, "; ") != 0) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  // The first line names the cookies to look up; the rest is the header block.
  const size_t eol = input.find('\n');
  const std::string names = eol == std::string::npos ? std::string() : input.substr(0, eol);
  const std::string headers = eol == std::string::npos ? input : input.substr(eol + 1);

  http::CookieJar jar;
  jar.AddCookies("BDCLND=seed; A=1");
  jar.MergeReplyCookies(headers, false);
  CheckForm(jar.Text());
  jar.MergeReplyCookies(headers, true);
  CheckForm(jar.Text());

  size_t from = 0;
  while (from <= names.size()) {
    size_t semi = names.find(';', from);
    const std::string name = names.substr(from, semi == std::string::npos ? std::string::npos : semi - from);
    std::string value = jar.Cookie(name);
    std::string pair = jar.Cookie(name, true);
    if (!value.empty() && pair.find(value) == std::string::npos) std::abort();
    (void)http::CookieJar::ReplyCookie(headers, name);
    if (semi == std::string::npos) break;
    from = semi + 1;
  }
  (void)http::CookieJar::ReplyCookies(headers);
  jar.RemoveCookies(names);
  CheckForm(jar.Text());
  jar.Replace(headers.substr(0, 200));
  (void)jar.Pairs();
  return 0;
}
