// Settings and the cookie operations of the client.
#include <gtest/gtest.h>

#include "tests/http/client_test_util.h"

namespace http::testing {
namespace {

using namespace wininet;

std::vector<OptionCall> OptionsSince(const FakeInternetApi& net, size_t from) {
  return std::vector<OptionCall>(net.options.begin() + static_cast<long>(from), net.options.end());
}

TEST(HttpClientSettings, Timeouts) {
  FakeInternetApi net;
  HttpClient client(net);
  size_t from = net.options.size();
  EXPECT_TRUE(client.SetTimeouts(500, 600, 700));
  auto set = OptionsSince(net, from);
  ASSERT_EQ(set.size(), 3u);
  EXPECT_EQ(set[0].option, kOptionConnectTimeout);
  EXPECT_EQ(set[0].number, 500u);
  EXPECT_EQ(set[1].option, kOptionSendTimeout);
  EXPECT_EQ(set[1].number, 600u);
  EXPECT_EQ(set[2].option, kOptionReceiveTimeout);
  EXPECT_EQ(set[2].number, 700u);
}

TEST(HttpClientSettings, ProxyCredentialsWaitForTheConnection) {
  FakeInternetApi net;
  HttpClient client(net);
  size_t from = net.options.size();
  EXPECT_TRUE(client.SetProxy("", "u", "p"));
  EXPECT_TRUE(client.SetProxy("proxy:3128", "user", "secret"));
  auto set = OptionsSince(net, from);
  ASSERT_EQ(set.size(), 2u);
  EXPECT_EQ(set[0].option, kOptionProxy);
  EXPECT_EQ(set[0].proxy.accessType, kOpenTypeDirect);
  EXPECT_EQ(set[0].proxy.proxy, "");
  EXPECT_EQ(set[1].length, 12u);
  EXPECT_EQ(set[1].proxy.accessType, kOpenTypeProxy);
  EXPECT_EQ(set[1].proxy.proxy, "proxy:3128");

  net.QueueReply(Status200());
  net.QueueReply(Status200());
  client.Open("GET", "http://h/");
  from = net.options.size();
  client.Send();
  set = OptionsSince(net, from);
  ASSERT_GE(set.size(), 2u);
  EXPECT_EQ(set[0].on, OptionCall::On::kConnect);
  EXPECT_EQ(set[0].option, kOptionProxyUsername);
  EXPECT_EQ(set[0].text, "user");
  EXPECT_EQ(set[1].option, kOptionProxyPassword);
  EXPECT_EQ(set[1].text, "secret");
  client.Open("GET", "http://h/");
  from = net.options.size();
  client.Send();  // handed over once
  for (const OptionCall& o : OptionsSince(net, from)) EXPECT_NE(o.option, kOptionProxyUsername);

  from = net.options.size();
  client.SetProxy("proxy:1", "v", "w");  // a connection is open: at once
  set = OptionsSince(net, from);
  ASSERT_EQ(set.size(), 3u);
  EXPECT_EQ(set[0].text, "v");
  EXPECT_EQ(set[1].text, "w");
  EXPECT_EQ(set[2].option, kOptionProxy);
}

TEST(HttpClientSettings, CredentialsNeedAConnection) {
  FakeInternetApi net;
  HttpClient client(net);
  EXPECT_FALSE(client.SetCredentials("u", "p"));
  client.Open("GET", "http://h/");
  size_t from = net.options.size();
  EXPECT_TRUE(client.SetCredentials("u", "p"));
  auto set = OptionsSince(net, from);
  ASSERT_EQ(set.size(), 2u);
  EXPECT_EQ(set[0].option, kOptionUsername);
  EXPECT_EQ(set[0].text, "u");
  EXPECT_EQ(set[1].option, kOptionPassword);
  EXPECT_EQ(set[1].on, OptionCall::On::kConnect);
}

TEST(HttpClientSettings, RawOptionPicksTheHandle) {
  struct Case {
    int kind;
    OptionCall::On on;
  };
  FakeInternetApi net;
  HttpClient client(net);
  EXPECT_FALSE(client.SetRawOption(1, 99, 7, 4));  // no connection yet
  EXPECT_FALSE(client.SetRawOption(2, 99, 7, 4));  // no request yet
  client.Open("GET", "http://h/");
  for (const Case& c : {Case{1, OptionCall::On::kConnect}, Case{2, OptionCall::On::kRequest},
                        Case{0, OptionCall::On::kRoot}, Case{7, OptionCall::On::kRoot}}) {
    SCOPED_TRACE(c.kind);
    EXPECT_TRUE(client.SetRawOption(c.kind, 99, 7, 4));
    EXPECT_EQ(net.options.back().on, c.on);
    EXPECT_EQ(net.options.back().number, 7u);
  }
  size_t count = net.options.size();
  EXPECT_FALSE(client.SetRawOption(0, 99, 7, 8));  // would read past the value
  EXPECT_EQ(net.options.size(), count);
}

TEST(HttpClientSettings, CookieModeAndSwitches) {
  FakeInternetApi net;
  HttpClient client(net);
  const std::pair<int, int> modes[] = {{2, 2}, {1, 1}, {5, 1}, {0, 1}, {-1, 1}};
  for (const auto& [given, stored] : modes) {
    client.SetCookieMode(given);
    EXPECT_EQ(client.CookieMode(), stored);
  }
  client.SetCookieMode(2);
  client.SetCookieMode();
  EXPECT_EQ(client.CookieMode(), 1);
  EXPECT_EQ(client.SetDefaultHeaders(0), 0);
  EXPECT_EQ(client.SetDefaultHeaders(), 1);
  EXPECT_EQ(client.SetIgnoreCertErrors(0), 0);
  EXPECT_EQ(client.SetHttpDecoding(), 1);
}

TEST(HttpClientSettings, HandleAccessors) {
  FakeInternetApi net;
  HttpClient client(net);
  Handle root = client.InternetHandle();
  EXPECT_NE(root, 0u);
  EXPECT_EQ(client.ConnectHandle(), 0u);
  client.Open("GET", "http://h/");
  EXPECT_EQ(client.RequestHandle(), net.LastRequest().handle);
  EXPECT_EQ(client.ConnectHandle(), net.connects.back().handle);
  EXPECT_EQ(client.RequestHandle(Handle{0}), 0u);
  EXPECT_FALSE(client.Send());
}

TEST(HttpClientCookies, SetCookiesByMode) {
  FakeInternetApi net;
  HttpClient client(net);
  EXPECT_TRUE(client.SetCookies("A=1; B=2"));
  EXPECT_EQ(client.CookieText(), "A=1; B=2");
  client.SetCookieMode(2);
  client.Open("GET", "http://h/p");
  EXPECT_TRUE(client.SetCookies(" C=3; junk; D=x=y"));
  ASSERT_EQ(net.cookies.size(), 2u);
  EXPECT_EQ(net.cookies[0].url, "http://h/p");
  EXPECT_EQ(net.cookies[0].name, "C");
  EXPECT_EQ(net.cookies[0].data, "3");
  EXPECT_EQ(net.cookies[1].name, "D");
  EXPECT_EQ(net.cookies[1].data, "x=y");
  EXPECT_FALSE(client.SetCookies("junk"));
  EXPECT_FALSE(client.StoreSystemCookies(""));
}

TEST(HttpClientCookies, JarAcrossReplies) {
  FakeInternetApi net;
  HttpClient client(net);
  EXPECT_EQ(client.CookieText("BAIDUID=x; BDCLND=old"), "BAIDUID=x; BDCLND=old");
  const std::pair<const char*, const char*> replies[] = {
      {"Set-Cookie: BDCLND=new%2B1; path=/; domain=.example\r\n", "BAIDUID=x; BDCLND=new%2B1"},
      {"Set-Cookie: BAIDUID=deleted; expires=Thu, 01 Jan 1970\r\nSet-Cookie: PANWEB=1;\r\n",
       "BDCLND=new%2B1; PANWEB=1"},
      {"", "BDCLND=new%2B1; PANWEB=1"},
  };
  for (const auto& [headers, jar] : replies) {
    SCOPED_TRACE(headers);
    net.QueueReply(Status200("", headers));
    client.Open("GET", "http://h/");
    client.Send();
    EXPECT_EQ(client.CookieText(), jar);
  }
  EXPECT_EQ(client.Cookie("BDCLND"), "new%2B1");
  EXPECT_EQ(client.Cookie("BDCLND", true), "BDCLND=new%2B1");
  EXPECT_TRUE(client.RemoveCookies("PANWEB"));
  EXPECT_EQ(client.CookieText(""), "");
  EXPECT_EQ(client.CookieText(), "");
}

TEST(HttpClientCookies, KeepOnDeleteProtectsTheJar) {
  FakeInternetApi net;
  HttpClient client(net);
  client.AddCookies("A=1; B=2");
  net.QueueReply(Status200("", "Set-Cookie: A=deleted;\r\nSet-Cookie: B=;\r\nSet-Cookie: C=3;\r\n"));
  client.Open("GET", "http://h/");
  client.Send({}, true);
  EXPECT_EQ(client.CookieText(), "A=1; B=2; C=3");
  EXPECT_EQ(client.ReplyCookies(), "B=; C=3");
  EXPECT_EQ(client.ReplyCookie("A"), "deleted");
}

}  // namespace
}  // namespace http::testing
