#include "resolver/http/cookie_jar.h"

#include <gtest/gtest.h>

namespace http {
namespace {

CookieJar JarWith(const std::string& text) {
  CookieJar jar;
  jar.Replace(text);
  return jar;
}

struct MergeCase {
  const char* name;
  const char* jar;  // initial pairs, "" for an empty jar
  const char* headers;
  bool keepOnDelete;
  const char* expected;  // the stored text
};

TEST(CookieJar, MergesSetCookieLines) {
  const MergeCase cases[] = {
      {"two new cookies", "", "HTTP/1.1 200 OK\r\nSet-Cookie: A=1; path=/\r\nSet-Cookie: B=2; path=/\r\n\r\n",
       false, "; A=1; B=2; "},
      {"replaced in place", "A=1; B=2", "HTTP/1.1 200 OK\r\nSet-Cookie: A=3; path=/\r\n\r\n", false,
       "; A=3; B=2; "},
      {"deleted", "A=1; B=2", "HTTP/1.1 200 OK\r\nSet-Cookie: A=deleted; expires=x\r\n\r\n", false,
       "; B=2; "},
      {"DELETED", "A=1; B=2", "HTTP/1.1 200 OK\r\nSet-Cookie: A=DELETED; path=/\r\n\r\n", false,
       "; B=2; "},
      {"Deleted, last entry", "A=1; B=2", "HTTP/1.1 200 OK\r\nSet-Cookie: B=Deleted;\r\n\r\n", false,
       "; A=1; "},
      {"other capitals are a value", "A=1; B=2",
       "HTTP/1.1 200 OK\r\nSet-Cookie: A=DeLeTeD; path=/\r\n\r\n", false, "; A=DeLeTeD; B=2; "},
      {"deletion of an absent cookie", "B=2", "HTTP/1.1 200 OK\r\nSet-Cookie: A=deleted;\r\n\r\n",
       false, "; B=2; "},
      {"empty value stored", "A=1; B=2", "HTTP/1.1 200 OK\r\nSet-Cookie: A=; path=/\r\n\r\n", false,
       "; A=; B=2; "},
      {"empty value kept away", "A=1; B=2", "HTTP/1.1 200 OK\r\nSet-Cookie: A=; path=/\r\n\r\n", true,
       "; A=1; B=2; "},
      {"deletion kept away", "A=1", "HTTP/1.1 200 OK\r\nSet-Cookie: A=deleted; path=/\r\n\r\n", true,
       "; A=1; "},
      {"change allowed when keeping", "A=1", "HTTP/1.1 200 OK\r\nSet-Cookie: A=2; path=/\r\n\r\n",
       true, "; A=2; "},
      {"new empty cookie when keeping", "", "HTTP/1.1 200 OK\r\nSet-Cookie: A=; path=/\r\n\r\n", true,
       "; A=; "},
      {"lower-case header name", "", "HTTP/1.1 200 OK\r\nset-cookie: a=1; path=/\r\nSET-COOKIE:b=2;\r\n\r\n",
       false, "; a=1; b=2; "},
      {"later line of one reply wins", "",
       "HTTP/1.1 200 OK\r\nSet-Cookie: A=1; path=/\r\nSet-Cookie: A=2; path=/\r\n\r\n", false,
       "; A=2; "},
      {"item without = skipped", "", "HTTP/1.1 200 OK\r\nSet-Cookie: junk; path=/\r\nSet-Cookie: A=1;\r\n\r\n",
       false, "; A=1; "},
      {"names compare exactly", "AB=1", "HTTP/1.1 200 OK\r\nSet-Cookie: A=2; path=/\r\n\r\n", false,
       "; AB=1; A=2; "},
      {"names are case-sensitive", "a=1", "HTTP/1.1 200 OK\r\nSet-Cookie: A=2;\r\n\r\n", false,
       "; a=1; A=2; "},
      {"leading full-width space removed", "", "HTTP/1.1 200 OK\r\nSet-Cookie:\xA1\xA1 A=1;\r\n\r\n",
       false, "; A=1; "},
      {"double-byte value", "", "HTTP/1.1 200 OK\r\nSet-Cookie: N=\xC4\xE3\xBA\xC3; path=/\r\n\r\n",
       false, "; N=\xC4\xE3\xBA\xC3; "},
      // a line without ";" ends at its own line end and never swallows the next lines
      {"no semicolon on the line", "",
       "HTTP/1.1 200 OK\r\nSet-Cookie: A=1\r\nX-Other: y; z\r\nSet-Cookie: B=2; path=/\r\n\r\n", false,
       "; A=1; B=2; "},
      {"no semicolon, last line", "", "HTTP/1.1 200 OK\r\nSet-Cookie: A=1", false, "; A=1; "},
      {"no Set-Cookie", "A=1", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", false, "; A=1; "},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.name);
    CookieJar jar = JarWith(c.jar);
    jar.MergeReplyCookies(c.headers, c.keepOnDelete);
    EXPECT_EQ(jar.Text(), c.expected);
  }
}

// Every cut of a reply header block still leaves a jar of the "; name=value; " form.
TEST(CookieJar, MergeOfEveryPrefixKeepsTheJarForm) {
  const std::string headers =
      "HTTP/1.1 200 OK\r\nSet-Cookie: A=1; path=/\r\nSet-Cookie: B=deleted; path=/\r\n"
      "Set-Cookie:C=\xC4\xE3;\r\nSet-Cookie: A=; x\r\n\r\n";
  for (size_t n = 0; n <= headers.size(); ++n) {
    SCOPED_TRACE(n);
    CookieJar jar = JarWith("B=2; D=4");
    jar.MergeReplyCookies(headers.substr(0, n), false);
    const std::string& text = jar.Text();
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(0, 2), "; ");
    EXPECT_EQ(text.substr(text.size() - 2), "; ");
  }
}

TEST(CookieJar, HeaderLineCarriesThePairs) {
  EXPECT_EQ(CookieJar().HeaderLine(), "Cookie:");
  EXPECT_EQ(JarWith("A=1; B=2").HeaderLine(), "Cookie:A=1; B=2");
  EXPECT_EQ(JarWith("A=1; B=2").Pairs(), "A=1; B=2");
  EXPECT_EQ(CookieJar().Pairs(), "");
}

TEST(CookieJar, ReplaceWrapsTheTextInSeparators) {
  const std::pair<const char*, const char*> cases[] = {
      {"a=1", "; a=1; "},         {"a=1;", "; a=1; "},           {"a=1; ", "; a=1; "},
      {"; a=1; ", "; a=1; "},     {"a=1; b=2", "; a=1; b=2; "}, {"", "; "},
      {"; ", "; "},               {"a=1   ", "; a=1; "},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(JarWith(text).Text(), expected);
  }
}

TEST(CookieJar, CookieMatchesTheWholeName) {
  CookieJar jar = JarWith("BDCLNDX=9; BDCLND=abc; E=");
  EXPECT_EQ(jar.Cookie("BDCLND"), "abc");
  EXPECT_EQ(jar.Cookie("BDCLND", true), "BDCLND=abc");
  EXPECT_EQ(jar.Cookie("BDCLNDX"), "9");
  EXPECT_EQ(jar.Cookie("E"), "");
  EXPECT_EQ(jar.Cookie("E", true), "E=");
  EXPECT_EQ(jar.Cookie("BDC"), "");
  EXPECT_EQ(jar.Cookie("abc"), "");
  EXPECT_EQ(jar.Cookie(""), "");
}

struct EditCase {
  const char* jar;
  const char* text;
  bool result;
  const char* expected;
};

TEST(CookieJar, AddCookies) {
  const EditCase cases[] = {
      {"A=1; B=2", "A=9; C=3", true, "; A=9; B=2; C=3; "},
      {"", "A=1", true, "; A=1; "},
      {"A=1", "", false, "; A=1; "},
      {"A=1", "junk; other", false, "; A=1; "},
      {"A=1", "  B=2;;", true, "; A=1; B=2; "},
      {"AB=1", "A=2", true, "; AB=1; A=2; "},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(std::string(c.jar) + " + " + c.text);
    CookieJar jar = JarWith(c.jar);
    EXPECT_EQ(jar.AddCookies(c.text), c.result);
    EXPECT_EQ(jar.Text(), c.expected);
  }
}

TEST(CookieJar, RemoveCookies) {
  const EditCase cases[] = {
      {"A=1; B=2", "B", true, "; A=1; "},
      {"A=1; B=2", "A=whatever; B", true, "; "},
      {"A=1; B=2", "Z", false, "; A=1; B=2; "},
      {"A=1; B=2", "", false, "; A=1; B=2; "},
      {"AB=1; A=2", " A", true, "; AB=1; "},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(std::string(c.jar) + " - " + c.text);
    CookieJar jar = JarWith(c.jar);
    EXPECT_EQ(jar.RemoveCookies(c.text), c.result);
    EXPECT_EQ(jar.Text(), c.expected);
  }
}

TEST(CookieJar, ReadsTheCookiesOfAReply) {
  const std::string headers =
      "HTTP/1.1 200 OK\r\nSet-Cookie: A=1; path=/\r\nSet-Cookie: B=deleted; path=/\r\n"
      "set-cookie:BDCLND=xyz; domain=x\r\n\r\n";
  EXPECT_EQ(CookieJar::ReplyCookies(headers), "A=1; BDCLND=xyz");
  EXPECT_EQ(CookieJar::ReplyCookies(""), "");
  EXPECT_EQ(CookieJar::ReplyCookies("HTTP/1.1 200 OK\r\n\r\n"), "");
  EXPECT_EQ(CookieJar::ReplyCookie(headers, "BDCLND"), "xyz");
  EXPECT_EQ(CookieJar::ReplyCookie(headers, "A"), "1");
  EXPECT_EQ(CookieJar::ReplyCookie(headers, "B"), "deleted");
  EXPECT_EQ(CookieJar::ReplyCookie(headers, "C"), "");
  EXPECT_EQ(CookieJar::ReplyCookie("", "A"), "");
  EXPECT_EQ(CookieJar::ReplyCookie("HTTP/1.1 200 OK\r\nSet-Cookie: A=1\r\nX: y;\r\n\r\n", "A"), "1");
}

}  // namespace
}  // namespace http
