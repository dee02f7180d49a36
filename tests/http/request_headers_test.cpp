// The header lines handed to a request, their add flags and their order.
#include <gtest/gtest.h>

#include "tests/http/client_test_util.h"

namespace http::testing {
namespace {

using Lines = std::vector<std::string>;

const char kCookie[] = "Cookie:|A0000000";
const char kAccept[] = "Accept:*/*|10000000";
const char kLanguage[] = "Accept-Language:zh-cn|10000000";
const char kForm[] = "Content-Type:application/x-www-form-urlencoded|10000000";

struct OrderCase {
  const char* name;
  const char* method;
  const char* body;
  int defaultHeaders;
  int cookieMode;
  Lines calls;
};

TEST(RequestHeaders, DefaultsAfterTheCookie) {
  const OrderCase cases[] = {
      {"GET", "GET", "", 1, 1, {kCookie, kAccept, kLanguage}},
      {"GET with a body", "GET", "a=1", 1, 1, {kCookie, kAccept, kLanguage, kForm}},
      {"POST with a form", "POST", "a=1", 1, 1, {kCookie, kAccept, kLanguage, kForm}},
      {"POST with no body", "POST", "", 1, 1, {kCookie, kAccept, kLanguage, kForm}},
      {"defaults off", "POST", "a=1", 0, 1, {kCookie}},
      {"system cookies", "GET", "", 1, 2, {kAccept, kLanguage}},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeInternetApi net;
    HttpClient client(net);
    client.SetDefaultHeaders(c.defaultHeaders);
    client.SetCookieMode(c.cookieMode);
    net.QueueReply(Status200());
    client.Open(c.method, "http://h/");
    client.Send(c.body);
    EXPECT_EQ(HeaderCalls(net.LastRequest()), c.calls);
  }
}

TEST(RequestHeaders, CallerHeadersComeFirstAndWin) {
  FakeInternetApi net;
  HttpClient client(net);
  client.AddCookies("A=1; B=2");
  net.QueueReply(Status200());
  client.Open("POST", "http://h/p");
  EXPECT_TRUE(client.SetAccept("text/html"));
  EXPECT_TRUE(client.SetContentType("application/json"));
  client.Send("{}");
  const Lines calls = {"Accept:text/html|A0000000", "Content-Type:application/json|A0000000",
                       "Cookie:A=1; B=2|A0000000", kAccept, kLanguage, kForm};
  EXPECT_EQ(HeaderCalls(net.LastRequest()), calls);
  const Lines effective = {"Accept:text/html", "Content-Type:application/json",
                           "Cookie:A=1; B=2", "Accept-Language:zh-cn"};
  EXPECT_EQ(net.LastRequest().HeaderLines(), effective);
}

TEST(RequestHeaders, NamedSetters) {
  struct Case {
    const char* name;
    bool (*set)(HttpClient&);
    const char* call;
  };
  const Case cases[] = {
      {"user agent", [](HttpClient& c) { return c.SetUserAgent(); },
       "User-Agent:Mozilla/5.0 (compatible; MSIE 10.0; Windows NT 6.2)|A0000000"},
      {"user agent given", [](HttpClient& c) { return c.SetUserAgent("X/1"); },
       "User-Agent:X/1|A0000000"},
      {"referer of the request itself", [](HttpClient& c) { return c.SetReferer(); },
       "Referer:http://h.example/s/1?x=2|A0000000"},
      {"referer given", [](HttpClient& c) { return c.SetReferer("https://r/"); },
       "Referer:https://r/|A0000000"},
      {"accept", [](HttpClient& c) { return c.SetAccept(); }, "Accept:*/*|A0000000"},
      {"language", [](HttpClient& c) { return c.SetAcceptLanguage(); },
       "Accept-Language:zh-cn|A0000000"},
      {"content type", [](HttpClient& c) { return c.SetContentType(); },
       "Content-Type:application/x-www-form-urlencoded|A0000000"},
      {"ajax", [](HttpClient& c) { return c.MarkAjaxRequest(); },
       "x-requested-with:XMLHttpRequest|A0000000"},
      {"any header", [](HttpClient& c) { return c.SetHeader("X-A", "1", 0x10000000); },
       "X-A:1|10000000"},
      {"remove", [](HttpClient& c) { return c.RemoveHeader("Accept"); }, "Accept:|80000000"},
      {"client address", [](HttpClient& c) { return c.SetClientAddress("10.1.2.3"); },
       "X-Forwarded-For:10.1.2.3\r\nCLIENT_IP:10.1.2.3\r\nVIA:10.1.2.3\r\nREMOTE_ADDR:10.1.2.3"
       "|A0000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeInternetApi net;
    HttpClient client(net);
    client.Open("GET", "h.example/s/1?x=2");
    EXPECT_TRUE(c.set(client));
    EXPECT_EQ(HeaderCalls(net.LastRequest()), Lines{c.call});
  }
}

TEST(RequestHeaders, NothingWithoutARequestOrAName) {
  FakeInternetApi net;
  HttpClient client(net);
  EXPECT_FALSE(client.SetHeader("X-A", "1"));
  EXPECT_FALSE(client.SetReferer());
  EXPECT_FALSE(client.SetClientAddress("1.2.3.4"));
  EXPECT_FALSE(client.RemoveHeader("X-A"));
  client.Open("GET", "http://h/");
  EXPECT_FALSE(client.SetHeader("", "1"));
  EXPECT_FALSE(client.RemoveHeader(""));
  EXPECT_TRUE(net.LastRequest().headers.empty());
}

TEST(RequestHeaders, BelongToOneRequest) {
  FakeInternetApi net;
  HttpClient client(net);
  net.QueueReply(Status200());
  net.QueueReply(Status200());
  client.Open("GET", "http://h/1");
  client.SetReferer("http://r/");
  client.Send();
  client.Open("GET", "http://h/2");
  client.Send();
  EXPECT_EQ(HeaderCalls(net.LastRequest()), (Lines{kCookie, kAccept, kLanguage}));
}

}  // namespace
}  // namespace http::testing
