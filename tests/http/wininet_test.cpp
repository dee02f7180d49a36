// The client over the real WinINet (under Wine) against the loopback server.
#include <gtest/gtest.h>

#include "base/gbk_literal.h"
#include "tests/http/loopback_test_util.h"

namespace http::testing {
namespace {

class WinInet : public ::testing::Test {
 protected:
  void SetUp() override {
    ports_ = ReadLoopbackPorts();
    ASSERT_NE(ports_.plain, 0) << "QUILLON_HTTP_PORTS is not set: run through run_with_server.sh";
    client_.SetTimeouts(5000, 5000, 10000);
  }
  std::string Plain(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(ports_.plain) + path;
  }
  std::vector<ReceivedRequest> Received(const std::string& token) const {
    return ReceivedRequests(ports_.plain, token);
  }
  void ExpectEmptyReply() {
    EXPECT_TRUE(client_.ReplyBytes().empty());
    EXPECT_EQ(client_.ReplyText(), "");
    EXPECT_EQ(client_.ReplyHeaders(), "");
    EXPECT_EQ(client_.StatusCode(), 0);
    EXPECT_EQ(client_.RedirectTarget(), "");
  }

  LoopbackPorts ports_;
  HttpClient client_{SystemInternetApi()};
};

TEST_F(WinInet, FollowsAbsoluteRootedAndRelativeRedirects) {
  struct Case {
    const char* token;
    std::string start;
    const char* finalPath;
  };
  const Case cases[] = {
      {"abs", "/abs/redirect?to=" + Plain("/abs/echo"), "/abs/echo"},
      {"rooted", "/rooted/redirect?to=/rooted/echo%3Fx%3D1", "/rooted/echo?x=1"},
      {"relative", "/relative/redirect/deeper?u=/x/y&to=echo%3Fq%3D/z",
       "/relative/redirect/echo?q=/z"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.token);
    ASSERT_TRUE(client_.Open("GET", Plain(c.start)));
    ASSERT_TRUE(client_.Send());
    EXPECT_EQ(client_.StatusCode(), 200);
    EXPECT_EQ(client_.ReplyText(), "ok");
    std::vector<ReceivedRequest> got = Received(c.token);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].method, "GET");
    EXPECT_EQ(got[1].path, c.finalPath);
  }
}

TEST_F(WinInet, ChainOfTwentyFiveStopsAfterTwentyHops) {
  ASSERT_TRUE(client_.Open("GET", Plain("/chain25/chain/0?max=25")));
  ASSERT_TRUE(client_.Send());
  EXPECT_EQ(Received("chain25").size(), 21u);
  EXPECT_EQ(client_.StatusCode(), 302);
  EXPECT_EQ(client_.RedirectTarget(), "/chain25/chain/21?max=25");
}

TEST_F(WinInet, CookiesMergeAcrossHopsAndDeletionRemovesThem) {
  ASSERT_TRUE(client_.Open("GET", Plain("/cookies/cookiehop/0")));
  ASSERT_TRUE(client_.Send());
  EXPECT_EQ(client_.ReplyText(), "done");
  std::vector<ReceivedRequest> got = Received("cookies");
  ASSERT_EQ(got.size(), 3u);
  std::string cookie;
  ASSERT_TRUE(got[0].Has("Cookie", &cookie));
  EXPECT_EQ(cookie, "");  // an empty jar still sends the header, with nothing in it
  ASSERT_TRUE(got[1].Has("Cookie", &cookie));
  EXPECT_EQ(cookie, "A=1; B=2");
  ASSERT_TRUE(got[2].Has("Cookie", &cookie));
  EXPECT_EQ(cookie, "B=2");
  EXPECT_EQ(client_.CookieText(), "B=2");
}

TEST_F(WinInet, PostCarriesBodyDefaultsAndRefererOnlyOnTheFirstRequest) {
  ASSERT_TRUE(client_.Open("POST", Plain("/post/redirect?to=/post/echo")));
  ASSERT_TRUE(client_.SetReferer("http://127.0.0.1/share"));
  ASSERT_TRUE(client_.Send("pwd=ab12&vcode="));
  std::vector<ReceivedRequest> got = Received("post");
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].method, "POST");
  EXPECT_EQ(got[0].body, "pwd=ab12&vcode=");
  const std::pair<const char*, const char*> expected[] = {
      {"Referer", "http://127.0.0.1/share"},
      {"Accept", "*/*"},
      {"Accept-Language", "zh-cn"},
      {"Content-Type", "application/x-www-form-urlencoded"},
      {"User-Agent", "Mozilla/5.0 (compatible; MSIE 10.0; Windows NT 6.2)"},
  };
  for (const auto& [name, value] : expected) {
    SCOPED_TRACE(name);
    std::string have;
    ASSERT_TRUE(got[0].Has(name, &have));
    EXPECT_EQ(have, value);
  }
  EXPECT_EQ(got[1].method, "GET");
  EXPECT_FALSE(got[1].Has("Referer"));
  EXPECT_EQ(got[1].body, "");
}

TEST_F(WinInet, BodiesArriveWhole) {
  struct Case {
    const char* name;
    const char* path;
    size_t size;
  };
  const Case cases[] = {
      {"empty", "/b/body?size=0&mode=length", 0},
      {"3 MB with length", "/b/body?size=3000000&mode=length", 3000000},
      {"3 MB without length", "/b/body?size=3000000&mode=close", 3000000},
      {"3 MB chunked", "/b/body?size=3000000&mode=chunked", 3000000},
      // Wine drops the (compressed) Content-Length of a decoded body from the raw headers
      {"gzip, decoded", "/b/gzip?size=3000000", 3000000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(client_.Open("GET", Plain(c.path)));
    ASSERT_TRUE(client_.Send());
    EXPECT_EQ(client_.StatusCode(), 200);
    Bytes body = client_.ReplyBytes();
    EXPECT_EQ(body.size(), c.size);
    EXPECT_TRUE(IsPattern(body));
  }
}

TEST_F(WinInet, TextIsConvertedFromUtf8) {
  ASSERT_TRUE(client_.Open("GET", Plain("/text/utf8")));
  ASSERT_TRUE(client_.Send());
  EXPECT_EQ(client_.ReplyText(), base::Gbk("你好"));
}

TEST_F(WinInet, RefusedPortFailsWithEmptyReplies) {
  client_.Open("GET", "http://127.0.0.1:" + std::to_string(ports_.refused) + "/x");
  EXPECT_FALSE(client_.Send({}, false, 2));
  EXPECT_EQ(SystemInternetApi().LastError(), wininet::kErrorCannotConnect);
  ExpectEmptyReply();
}

TEST_F(WinInet, ConnectionResetMidBodyKeepsWhatArrived) {
  ASSERT_TRUE(client_.Open("GET", Plain("/reset/reset?size=200000")));
  ASSERT_TRUE(client_.Send());
  Bytes body = client_.ReplyBytes();
  EXPECT_LE(body.size(), 200000u);
  EXPECT_TRUE(IsPattern(body));
}

// Wine ignores send and receive time-outs set on the root handle; the client hands them to
// every request as well, so a silent server cannot hold it for longer.
TEST_F(WinInet, ServerThatNeverAnswersTimesOut) {
  client_.SetTimeouts(1500, 1500, 1500);
  ASSERT_TRUE(client_.Open("GET", Plain("/hang/hang?seconds=8")));
  EXPECT_FALSE(client_.Send());
  EXPECT_EQ(SystemInternetApi().LastError(), wininet::kErrorConnectionAborted);  // as Wine says it
  ExpectEmptyReply();
}

// A connection closed without any answer is no reply.
TEST_F(WinInet, ServerThatHangsUpFails) {
  ASSERT_TRUE(client_.Open("GET", Plain("/hangup/hang?seconds=0")));
  EXPECT_FALSE(client_.Send());
  ExpectEmptyReply();
}

TEST_F(WinInet, HttpsWithTheTrustedTestCa) {
  ASSERT_TRUE(client_.Open("GET", "https://localhost:" + std::to_string(ports_.tls) + "/tls/echo"));
  ASSERT_TRUE(client_.Send());
  EXPECT_EQ(client_.StatusCode(), 200);
  EXPECT_EQ(client_.ReplyText(), "ok");
}

TEST_F(WinInet, UntrustedCertificateFailsUnlessErrorsAreIgnored) {
  const std::string url = "https://localhost:" + std::to_string(ports_.rogue) + "/rogue/echo";
  ASSERT_TRUE(client_.Open("GET", url));
  EXPECT_FALSE(client_.Send());
  EXPECT_EQ(SystemInternetApi().LastError(), wininet::kErrorInvalidCa);
  ExpectEmptyReply();
  client_.SetIgnoreCertErrors(1);
  ASSERT_TRUE(client_.Open("GET", url));
  ASSERT_TRUE(client_.Send());
  EXPECT_EQ(client_.ReplyText(), "ok");
}

}  // namespace
}  // namespace http::testing
