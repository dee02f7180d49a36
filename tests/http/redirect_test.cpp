// Location values and the client's own redirect walk (cookie mode 1).
#include <gtest/gtest.h>

#include "tests/http/client_test_util.h"

namespace http::testing {
namespace {

struct TargetCase {
  const char* url;
  const char* location;  // the header line's text after "HTTP/1.1 302 Found\r\n"
  const char* plain;
  const char* absolute;
};

TEST(HttpClientRedirect, RedirectTarget) {
  const TargetCase cases[] = {
      {"http://h/x", "Location: /a/b?c=1\r\n", "/a/b?c=1", "http://h:80/a/b?c=1"},
      {"https://h:8443/x", "Location: /a\r\n", "/a", "https://h:8443/a"},
      {"https://h/x", "Location: /a\r\n", "/a", "https://h:443/a"},
      {"http://h/x", "location:   http://o.example/p  \r\n", "http://o.example/p",
       "http://o.example/p"},
      {"http://h/x", "Location: HTTPS://o/p\r\n", "HTTPS://o/p", "HTTPS://o/p"},
      {"http://h/x", "Location:\xA1\xA1/p\xA1\xA1\r\n", "/p", "http://h:80/p"},
      {"http://h/a/b", "Location: c\r\n", "c", "http://h/a/c"},
      {"http://h/a/b?u=/x/y", "Location: c?d=/e\r\n", "c?d=/e", "http://h/a/c?d=/e"},
      {"http://h", "Location: c\r\n", "c", "http://h/c"},
      {"http://h/a/", "Location: c\r\n", "c", "http://h/a/c"},
      {"https://h/x", "Location: //cdn.example/f\r\n", "//cdn.example/f", "https://cdn.example/f"},
      // only a line that starts with the name
      {"http://h/x", "Content-Location: /other\r\n", "", ""},
      {"http://h/x", "X-Location: /other\r\nLocation: /real\r\n", "/real", "http://h:80/real"},
      {"http://h/x", "", "", ""},
      {"http://h/x", "Location: \r\n", "", ""},
  };
  for (const TargetCase& c : cases) {
    SCOPED_TRACE(std::string(c.url) + " " + c.location);
    FakeInternetApi net;
    HttpClient client(net);
    client.SetFollowRedirects(false);
    net.QueueReply(FakeReply::Ok(std::string("HTTP/1.1 302 Found\r\n") + c.location));
    client.Open("GET", c.url);
    client.Send();
    EXPECT_EQ(client.RedirectTarget(), c.plain);
    EXPECT_EQ(client.RedirectTarget(true), c.absolute);
  }
}

TEST(HttpClientRedirect, FollowsHopsWithGetAndTheMergedJar) {
  FakeInternetApi net;
  HttpClient client(net);
  net.QueueReply(Redirect("/step2", "Set-Cookie: A=1; path=/\r\n"));
  net.QueueReply(Redirect("http://other:8080/step3", "Set-Cookie: B=2; path=/\r\n"));
  net.QueueReply(Status200("done", "Set-Cookie: A=deleted; path=/\r\n"));
  ASSERT_TRUE(client.Open("POST", "http://h/start"));
  client.SetReferer("http://h/share");
  ASSERT_TRUE(client.Send("pwd=1"));
  ASSERT_EQ(net.requests.size(), 3u);

  EXPECT_EQ(net.requests[0].method, "POST");
  EXPECT_EQ(net.requests[0].body, "pwd=1");
  EXPECT_EQ(net.requests[1].method, "GET");
  EXPECT_EQ(net.requests[1].host, "h");
  EXPECT_EQ(net.requests[1].path, "/step2");
  EXPECT_EQ(net.requests[1].body, "");
  EXPECT_EQ(net.requests[2].host, "other");
  EXPECT_EQ(net.requests[2].port, 8080);

  // the first request carries the Referer, hops do not; each hop carries the jar so far
  const std::vector<std::string> first = {
      "Referer:http://h/share|A0000000", "Cookie:|A0000000", "Accept:*/*|10000000",
      "Accept-Language:zh-cn|10000000",
      "Content-Type:application/x-www-form-urlencoded|10000000"};
  EXPECT_EQ(HeaderCalls(net.requests[0]), first);
  // a hop after a POST still carries the form type: isPost stays until an Open with a method
  const std::vector<std::string> second = {
      "Cookie:A=1|A0000000", "Accept:*/*|10000000", "Accept-Language:zh-cn|10000000",
      "Content-Type:application/x-www-form-urlencoded|10000000"};
  EXPECT_EQ(HeaderCalls(net.requests[1]), second);
  EXPECT_EQ(HeaderCalls(net.requests[2])[0], "Cookie:A=1; B=2|A0000000");

  EXPECT_EQ(client.CookieText(), "B=2");
  EXPECT_EQ(client.ReplyText(), "done");
  EXPECT_EQ(client.StatusCode(), 200);
  EXPECT_EQ(client.Url(), "http://other:8080/step3");
  EXPECT_EQ(client.RedirectCount(), 0);
}

TEST(HttpClientRedirect, ChainStopsAfterTwentyHops) {
  FakeInternetApi net;
  HttpClient client(net);
  for (int i = 1; i <= 25; ++i) net.QueueReply(Redirect("/hop" + std::to_string(i)));
  ASSERT_TRUE(client.Open("GET", "http://h/hop0"));
  ASSERT_TRUE(client.Send());
  EXPECT_EQ(net.requests.size(), 21u);
  EXPECT_EQ(net.LastRequest().path, "/hop20");
  EXPECT_EQ(client.RedirectTarget(), "/hop21");  // the 21st reply is the one returned
  EXPECT_EQ(client.RedirectCount(), 0);
  // a fresh chain gets its full 20 hops again
  net.QueueReply(Status200("end"));
  client.Open("GET", "http://h/again");
  client.Send();
  EXPECT_EQ(net.requests.size(), 26u);
  EXPECT_EQ(client.ReplyText(), "end");
}

TEST(HttpClientRedirect, NotFollowed) {
  struct Case {
    const char* name;
    int cookieMode;
    bool follow;
  };
  for (const Case& c : {Case{"redirects off", 1, false}, Case{"system cookie mode", 2, true}}) {
    SCOPED_TRACE(c.name);
    FakeInternetApi net;
    HttpClient client(net);
    client.SetCookieMode(c.cookieMode);
    client.SetFollowRedirects(c.follow);
    net.QueueReply(Redirect("/next"));
    client.Open("GET", "http://h/");
    ASSERT_TRUE(client.Send());
    EXPECT_EQ(net.requests.size(), 1u);
    EXPECT_EQ(client.RedirectTarget(), "/next");
  }
}

TEST(HttpClientRedirect, SetFollowRedirectsWithoutValueTurnsThemOn) {
  FakeInternetApi net;
  HttpClient client(net);
  client.SetFollowRedirects(false);
  client.SetFollowRedirects();
  net.QueueReply(Redirect("/next"));
  net.QueueReply(Status200());
  client.Open("GET", "http://h/");
  client.Send();
  EXPECT_EQ(net.requests.size(), 2u);
}

TEST(HttpClientRedirect, FailedHopLeavesEmptyReplies) {
  FakeInternetApi net;
  HttpClient client(net);
  net.RefuseConnect("gone", 80);
  net.QueueReply(Redirect("http://gone/x", "Set-Cookie: A=1;\r\n"));
  client.Open("GET", "http://h/");
  EXPECT_TRUE(client.Send());
  EXPECT_EQ(client.ReplyText(), "");
  EXPECT_EQ(client.StatusCode(), 0);
  EXPECT_EQ(client.RedirectTarget(), "");
  EXPECT_EQ(client.Cookie("A"), "1");
  EXPECT_EQ(client.RedirectCount(), 0);
}

}  // namespace
}  // namespace http::testing
