// Opening and sending requests: flags, methods, connection reuse, retries, life cycle.
#include <gtest/gtest.h>

#include "tests/http/client_test_util.h"

namespace http::testing {
namespace {

using namespace wininet;

TEST(HttpClientLifeCycle, ConstructionOpensTheRootWithDefaults) {
  FakeInternetApi net;
  HttpClient client(net);
  ASSERT_EQ(net.agents.size(), 1u);
  EXPECT_EQ(net.agents[0], "Mozilla/5.0 (compatible; MSIE 10.0; Windows NT 6.2)");
  ASSERT_EQ(net.options.size(), 3u);
  const std::pair<uint32_t, uint32_t> timeouts[] = {{2, 15000}, {5, 120000}, {6, 300000}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(net.options[i].on, OptionCall::On::kRoot);
    EXPECT_EQ(net.options[i].option, timeouts[i].first);
    EXPECT_EQ(net.options[i].number, timeouts[i].second);
    EXPECT_EQ(net.options[i].length, 4u);
  }
  EXPECT_EQ(client.CookieMode(), 1);
  EXPECT_EQ(client.CookieText(), "");
}

TEST(HttpClientLifeCycle, CloseAllStopsRequestsUntilRestartAndKeepsTheJar) {
  FakeInternetApi net;
  HttpClient client(net);
  client.AddCookies("A=1");
  ASSERT_TRUE(client.Open("GET", "http://h/x"));
  client.CloseAll();
  EXPECT_EQ(net.openHandles, 0);
  EXPECT_FALSE(client.Open("GET", "http://h/x"));
  EXPECT_FALSE(client.SetTimeouts());
  EXPECT_EQ(client.CookieText(), "A=1");
  client.Restart("Agent/2");
  EXPECT_EQ(net.agents.back(), "Agent/2");
  EXPECT_EQ(client.CookieText(), "");
  EXPECT_TRUE(client.Open("GET", "http://h/x"));
}

TEST(HttpClientLifeCycle, DestructionClosesEveryHandle) {
  FakeInternetApi net;
  {
    HttpClient client(net);
    net.QueueReply(Status200("x"));
    client.Open("GET", "http://h/x");
    client.Send();
    client.OpenInternet();  // a second root never leaks the first
  }
  EXPECT_EQ(net.openHandles, 0);
}

struct FlagCase {
  const char* name;
  int cookieMode;
  bool followRedirects;
  int ignoreCertErrors;
  const char* url;
  uint32_t flags;
};

TEST(HttpClientOpen, RequestFlagsFollowTheMode) {
  const uint32_t base = kFlagReload | kFlagNoCacheWrite;
  const uint32_t certs = kFlagIgnoreCertCnInvalid | kFlagIgnoreCertDateInvalid;
  const FlagCase cases[] = {
      {"own cookies, http", 1, true, 0, "http://h/",
       base | kFlagNoAutoRedirect | kFlagNoCookies | kFlagIgnoreRedirectToHttps},
      {"own cookies, https", 1, true, 0, "https://h/",
       base | kFlagNoAutoRedirect | kFlagNoCookies | kFlagSecure},
      {"own cookies, no redirects", 1, false, 0, "http://h/",
       base | kFlagNoAutoRedirect | kFlagNoCookies | kFlagIgnoreRedirectToHttps},
      {"system cookies", 2, true, 0, "http://h/", base | kFlagIgnoreRedirectToHttps},
      {"system cookies, no redirects", 2, false, 0, "HTTPS://h/",
       base | kFlagNoAutoRedirect | kFlagSecure},
      {"certificate errors ignored", 1, true, 1, "https://h/",
       base | certs | kFlagNoAutoRedirect | kFlagNoCookies | kFlagSecure},
  };
  for (const FlagCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeInternetApi net;
    HttpClient client(net);
    client.SetCookieMode(c.cookieMode);
    client.SetFollowRedirects(c.followRedirects);
    client.SetIgnoreCertErrors(c.ignoreCertErrors);
    ASSERT_TRUE(client.Open("GET", c.url));
    EXPECT_EQ(net.LastRequest().flags, c.flags);
    EXPECT_EQ(net.LastRequest().version, "HTTP/1.1");
  }
}

TEST(HttpClientOpen, PassesHostPortAndPathAndKeepsTheUrl) {
  FakeInternetApi net;
  HttpClient client(net);
  ASSERT_TRUE(client.Open("GET", "pan.example.com:8080/s/1?a=b"));
  EXPECT_EQ(client.Url(), "http://pan.example.com:8080/s/1?a=b");
  EXPECT_EQ(net.connects.back().host, "pan.example.com");
  EXPECT_EQ(net.connects.back().port, 8080);
  EXPECT_EQ(net.connects.back().service, kServiceHttp);
  EXPECT_EQ(net.LastRequest().path, "/s/1?a=b");
  ASSERT_TRUE(client.Open("GET", "HTTPS://Example.com/x"));
  EXPECT_EQ(client.Url(), "HTTPS://Example.com/x");
  EXPECT_EQ(client.Scheme(), "https://");
  EXPECT_EQ(net.connects.back().port, 443);
}

TEST(HttpClientOpen, MethodAndIsPost) {
  struct Step {
    int defaultHeaders;
    const char* method;
    const char* sent;
    bool isPost;
  };
  const Step steps[] = {
      {1, "post", "POST", true},   {1, "", "GET", true},      {1, "get", "GET", false},
      {1, "POST", "POST", true},   {0, "GET", "GET", true},   {0, "Put", "PUT", true},
      {1, "Put", "PUT", false},
  };
  FakeInternetApi net;
  HttpClient client(net);
  for (const Step& s : steps) {
    SCOPED_TRACE(std::string(s.method) + " with default headers " +
                 std::to_string(s.defaultHeaders));
    client.SetDefaultHeaders(s.defaultHeaders);
    ASSERT_TRUE(client.Open(s.method, "http://h/"));
    EXPECT_EQ(net.LastRequest().method, s.sent);
    EXPECT_EQ(client.IsPost(), s.isPost);
  }
  ASSERT_TRUE(client.Open("http://h/"));
  EXPECT_EQ(net.LastRequest().method, "GET");
}

TEST(HttpClientOpen, ReusesTheConnectionForTheSameHostAndPort) {
  FakeInternetApi net;
  HttpClient client(net);
  const std::pair<const char*, size_t> steps[] = {
      {"http://h:81/a", 1}, {"http://h:81/b?x", 1}, {"https://h:81/c", 1},
      {"http://h:82/a", 2}, {"http://H:82/a", 3},   {"http://H:82/", 3},
  };
  for (const auto& [url, connects] : steps) {
    SCOPED_TRACE(url);
    ASSERT_TRUE(client.Open("GET", url));
    EXPECT_EQ(net.connects.size(), connects);
  }
  EXPECT_TRUE(net.connects[0].closed);
  EXPECT_TRUE(net.connects[1].closed);
  EXPECT_FALSE(net.connects[2].closed);
  // each Open closes the request before it
  for (size_t i = 0; i + 1 < net.requests.size(); ++i) EXPECT_TRUE(net.requests[i].closed);
}

TEST(HttpClientOpen, FailuresLeaveEveryReplyAccessorEmpty) {
  enum class Failure { kConnect, kOpenRequest, kPort };
  for (Failure failure : {Failure::kConnect, Failure::kOpenRequest, Failure::kPort}) {
    SCOPED_TRACE(static_cast<int>(failure));
    FakeInternetApi net;
    HttpClient client(net);
    net.QueueReply(Status200("body", "Location: /next\r\nSet-Cookie: A=1; path=/\r\n"));
    client.SetFollowRedirects(false);
    ASSERT_TRUE(client.Open("GET", "http://h/x"));
    ASSERT_TRUE(client.Send());
    net.RefuseConnect("refused", 80);
    net.failOpenRequest = failure == Failure::kOpenRequest;
    const char* url = failure == Failure::kConnect ? "http://refused/" :
                      failure == Failure::kPort ? "http://h:99999/" : "http://h/y";
    EXPECT_FALSE(client.Open("GET", url));
    EXPECT_TRUE(client.ReplyBytes().empty());
    EXPECT_EQ(client.ReplyText(), "");
    EXPECT_EQ(client.ReplyHeaders(), "");
    EXPECT_EQ(client.RedirectTarget(), "");
    EXPECT_EQ(client.StatusCode(), 0);
    EXPECT_EQ(client.StatusText(), "");
    EXPECT_EQ(client.ReplyCookies(), "");
    EXPECT_FALSE(client.Send());
    EXPECT_EQ(client.Cookie("A"), "1");  // the jar outlives the failure
  }
}

TEST(HttpClientOpen, FailsWithoutARootHandle) {
  FakeInternetApi net;
  net.failOpen = true;
  HttpClient client(net);
  EXPECT_FALSE(client.Open("GET", "http://h/"));
  EXPECT_FALSE(client.SetTimeouts());
  EXPECT_FALSE(client.Send());
  EXPECT_TRUE(net.connects.empty());
}

struct RetryCase {
  const char* name;
  std::vector<uint32_t> sendErrors;  // 0: the attempt succeeds
  int retries;
  int attempts;
  bool sent;
};

TEST(HttpClientSend, RetriesOnlyRefusedAndResetConnections) {
  const RetryCase cases[] = {
      {"refused twice, then sent", {12029, 12029, 0}, 2, 3, true},
      {"refused on every attempt", {12029, 12031, 12029, 0}, 2, 3, false},
      {"reset, then sent", {12031, 0}, 1, 2, true},
      {"no retries", {12029, 0}, 0, 1, false},
      {"time-out is final", {12002, 0}, 5, 1, false},
      {"certificate error is final", {12045, 0}, 3, 1, false},
      {"negative retries: one attempt", {12029, 0}, -4, 1, false},
      {"first attempt sent", {0}, 9, 1, true},
  };
  for (const RetryCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeInternetApi net;
    for (uint32_t e : c.sendErrors) net.QueueReply(e ? FakeReply::Failure(e) : Status200("ok"));
    HttpClient client(net);
    ASSERT_TRUE(client.Open("GET", "http://h/"));
    EXPECT_EQ(client.Send({}, false, c.retries), c.sent);
    EXPECT_EQ(net.LastRequest().sendAttempts, c.attempts);
    EXPECT_EQ(client.ReplyText(), c.sent ? "ok" : "");
  }
}

TEST(HttpClientSend, HandsTheBodyOver) {
  FakeInternetApi net;
  HttpClient client(net);
  net.QueueReply(Status200());
  net.QueueReply(Status200());
  client.Open("POST", "http://h/f");
  EXPECT_TRUE(client.Send("pwd=ab%20c&vcode="));
  EXPECT_EQ(net.LastRequest().body, "pwd=ab%20c&vcode=");
  client.Open("POST", "http://h/f");
  const Bytes bytes = {0x00, 0xFF, 0x10, 0x00};
  EXPECT_TRUE(client.SendBytes(bytes));
  EXPECT_EQ(net.LastRequest().body, std::string("\x00\xFF\x10\x00", 4));
}

TEST(HttpClientSend, OptionsSetBeforeSending) {
  struct Case {
    const char* name;
    int ignoreCertErrors;
    int httpDecoding;
    std::vector<std::pair<uint32_t, uint32_t>> options;
  };
  const Case cases[] = {
      {"defaults: decoding, certificates checked", 0, 1, {{kOptionHttpDecoding, 1}}},
      {"certificate errors ignored", 1, 1,
       {{kOptionSecurityFlags, 0x1F380}, {kOptionHttpDecoding, 1}}},
      {"nothing", 0, 0, {}},
  };
  // Open hands the time-outs to the request itself (Wine reads only the connect time-out
  // from the root handle)
  const std::vector<std::pair<uint32_t, uint32_t>> timeouts = {
      {kOptionConnectTimeout, 15000}, {kOptionSendTimeout, 120000}, {kOptionReceiveTimeout, 300000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeInternetApi net;
    HttpClient client(net);
    if (c.ignoreCertErrors != 0) {
      EXPECT_EQ(client.SetIgnoreCertErrors(), 1);
    }
    EXPECT_EQ(client.SetHttpDecoding(c.httpDecoding), c.httpDecoding);
    net.QueueReply(Status200());
    client.Open("GET", "https://h/");
    client.Send();
    std::vector<std::pair<uint32_t, uint32_t>> expected = timeouts;
    expected.insert(expected.end(), c.options.begin(), c.options.end());
    EXPECT_EQ(RequestOptions(net.LastRequest()), expected);
  }
}

}  // namespace
}  // namespace http::testing
