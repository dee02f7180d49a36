// Reading the reply: body reads and their sizes, caching, limits, text conversion, status and
// header accessors.
#include <gtest/gtest.h>

#include "base/gbk_literal.h"
#include "tests/http/client_test_util.h"

namespace http::testing {
namespace {

constexpr uint32_t kMiB = 1048576;

std::string Pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
  return s;
}

struct ReadCase {
  const char* name;
  const char* lengthHeader;  // "" for none
  size_t bodySize;
  uint32_t chunk;
  std::vector<uint32_t> reads;
};

TEST(HttpClientReply, ReadSizes) {
  const ReadCase cases[] = {
      {"declared 0: no read", "Content-Length: 0\r\n", 0, 0, {}},
      {"declared 3 MiB", "Content-Length: 3145728\r\n", 3145728, 0, {kMiB, kMiB, kMiB, 10240}},
      {"declared 3 MB", "Content-Length: 3000000\r\n", 3000000, 0, {kMiB, kMiB, 902848, 10240}},
      {"declared, small pieces", "Content-Length: 10000\r\n", 10000, 4096,
       {10000, 5904, 1808, 10240}},
      {"unknown length", "", 30000, 0, {10240, 10240, 20480, 30000}},
      {"unknown length, empty", "", 0, 0, {10240}},
      {"lower-case name", "content-length:   5\r\n", 5, 0, {5, 10240}},
      {"no digits: taken as 0", "Content-Length: none\r\n", 5, 0, {}},
      {"not at a line start", "X-Content-Length: 5\r\n", 7, 0, {10240, 10240}},
      // content decoding hands out more than the (compressed) declared length, where the
      // header is kept (Wine drops it)
      {"decoded body longer than declared", "Content-Length: 10\r\n", 30000, 0,
       {10, 10240, 10240, 20480, 29990}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeInternetApi net;
    HttpClient client(net);
    FakeReply reply = FakeReply::Ok(std::string("HTTP/1.1 200 OK\r\n") + c.lengthHeader,
                                    Pattern(c.bodySize));
    reply.chunk = c.chunk;
    net.QueueReply(reply);
    client.Open("GET", "http://h/");
    ASSERT_TRUE(client.Send());
    Bytes body = client.ReplyBytes();
    EXPECT_EQ(net.LastRequest().reads, c.reads);
    if (!c.reads.empty()) {
      EXPECT_EQ(std::string(body.begin(), body.end()), Pattern(c.bodySize));
    }
  }
}

TEST(HttpClientReply, UnknownLengthReadsGrowGeometrically) {
  FakeInternetApi net;
  HttpClient client(net);
  const std::string body = Pattern(3 * 1000 * 1000);
  net.QueueReply(FakeReply::Ok("HTTP/1.1 200 OK\r\n", body));
  client.Open("GET", "http://h/");
  client.Send();
  Bytes got = client.ReplyBytes();
  EXPECT_EQ(std::string(got.begin(), got.end()), body);
  EXPECT_EQ(client.ReplyView(), body);  // the blocks joined in place
  EXPECT_EQ(client.ReplyBytes(), got);
  const std::vector<uint32_t>& reads = net.LastRequest().reads;
  EXPECT_LE(reads.size(), 16u);
  for (uint32_t r : reads) EXPECT_LE(r, kMiB);
}

TEST(HttpClientReply, BodiesAreCutAtTheLimit) {
  struct Case {
    const char* lengthHeader;
    size_t bodySize;
  };
  for (const Case& c : {Case{"", 250000}, Case{"Content-Length: 250000\r\n", 250000}}) {
    SCOPED_TRACE(c.lengthHeader);
    FakeInternetApi net;
    HttpClient client(net);
    client.SetMaxReplyBytes(100000);
    net.QueueReply(FakeReply::Ok(std::string("HTTP/1.1 200 OK\r\n") + c.lengthHeader,
                                 Pattern(c.bodySize)));
    client.Open("GET", "http://h/");
    client.Send();
    Bytes body = client.ReplyBytes();
    EXPECT_EQ(std::string(body.begin(), body.end()), Pattern(c.bodySize).substr(0, 100000));
  }
}

TEST(HttpClientReply, ContentLengthIsSixtyFourBits) {
  const std::pair<const char*, int64_t> cases[] = {
      {"Content-Length: 5000000000\r\n", 5000000000LL},
      {"Content-Length: 99999999999999999999999\r\n", INT64_MAX},
      {"Content-Length: 12abc\r\n", 12},
      {"Content-Location: /x\r\n", -1},
      {"", -1},
  };
  for (const auto& [header, length] : cases) {
    SCOPED_TRACE(header);
    FakeInternetApi net;
    HttpClient client(net);
    net.QueueReply(FakeReply::Ok(std::string("HTTP/1.1 200 OK\r\n") + header));
    client.Open("GET", "http://h/");
    client.Send();
    EXPECT_EQ(client.ContentLength(), length);
  }
}

TEST(HttpClientReply, BodyIsReadOnceUntilTheNextOpen) {
  FakeInternetApi net;
  HttpClient client(net);
  net.QueueReply(Status200("hello"));
  client.Open("GET", "http://h/");
  client.Send();
  EXPECT_EQ(client.ReplyText(), "hello");
  EXPECT_EQ(client.ReplyRawText(), "hello");
  EXPECT_EQ(client.ReplyBytes().size(), 5u);
  EXPECT_EQ(net.LastRequest().reads.size(), 2u);
  net.QueueReply(Status200("second"));
  client.Open("GET", "http://h/2");
  client.Send();
  EXPECT_EQ(client.ReplyText(), "second");
}

TEST(HttpClientReply, ReadFailures) {
  {
    SCOPED_TRACE("reset mid-body keeps what arrived");
    FakeInternetApi net;
    HttpClient client(net);
    FakeReply reply = Status200(Pattern(50000));
    reply.chunk = 8192;
    reply.resetAfter = 20000;
    net.QueueReply(reply);
    client.Open("GET", "http://h/");
    client.Send();
    EXPECT_EQ(client.ReplyBytes().size(), 20000u);
  }
  {
    SCOPED_TRACE("a failing first read gives nothing and is tried again");
    FakeInternetApi net;
    HttpClient client(net);
    FakeReply reply = Status200("abc");
    reply.resetAfter = 0;
    net.QueueReply(reply);
    client.Open("GET", "http://h/");
    client.Send();
    EXPECT_TRUE(client.ReplyBytes().empty());
    EXPECT_TRUE(client.ReplyBytes().empty());
    EXPECT_EQ(net.LastRequest().reads.size(), 2u);
  }
  {
    SCOPED_TRACE("headers that cannot be read");
    FakeInternetApi net;
    HttpClient client(net);
    FakeReply reply = Status200("body", "Set-Cookie: A=1;\r\nLocation: /x\r\n");
    reply.headersUnavailable = true;
    net.QueueReply(reply);
    client.Open("GET", "http://h/");
    EXPECT_TRUE(client.Send());
    EXPECT_EQ(client.ContentLength(), -1);
    EXPECT_EQ(client.ReplyHeaders(), "");
    EXPECT_EQ(client.RedirectTarget(), "");
    EXPECT_EQ(client.CookieText(), "");
    EXPECT_EQ(client.ReplyText(), "body");
    EXPECT_EQ(net.LastRequest().reads, (std::vector<uint32_t>{10240, 10240}));
  }
}

TEST(HttpClientReply, TextIsUtf8ConvertedToCp936) {
  const std::pair<std::string, std::string> cases[] = {
      {"\xE4\xBD\xA0\xE5\xA5\xBD", base::Gbk("你好")},
      {"{\"errno\":0}", "{\"errno\":0}"},
      {"\xFF\xFE\xC4", ""},            // no UTF-8 character at all
      {std::string("ab\0cd", 5), "ab"},  // the text ends at the first NUL
      {"", ""},
  };
  for (const auto& [body, text] : cases) {
    SCOPED_TRACE(body);
    FakeInternetApi net;
    HttpClient client(net);
    net.QueueReply(Status200(body));
    client.Open("GET", "http://h/");
    client.Send();
    EXPECT_EQ(client.ReplyText(), text);
  }
  FakeInternetApi net;
  HttpClient client(net);
  net.QueueReply(Status200(std::string("\xC4\xE3\0x", 4)));
  client.Open("GET", "http://h/");
  client.Send();
  EXPECT_EQ(client.ReplyRawText(), "\xC4\xE3");
}

TEST(HttpClientReply, ABlockWithoutStatusLineIsNoReply) {
  FakeInternetApi net;
  HttpClient client(net);
  net.QueueReply(FakeReply::Ok("", "stray bytes"));
  client.Open("GET", "http://h/");
  EXPECT_FALSE(client.Send());
  EXPECT_EQ(client.ReplyHeaders(), "");
  EXPECT_EQ(client.StatusCode(), 0);
  EXPECT_TRUE(client.ReplyBytes().empty());
}

TEST(HttpClientReply, StatusAndHeaders) {
  FakeInternetApi net;
  HttpClient client(net);
  net.QueueReply(FakeReply::Ok(
      "HTTP/1.1 404 Not Found\r\nContent-Type:  text/html \r\nX-Foo: 1\r\nFoo: 2\r\n"
      "Content-Length: 0\r\n"));
  client.Open("GET", "http://h/");
  client.Send();
  EXPECT_EQ(client.StatusCode(), 404);
  EXPECT_EQ(client.StatusText(), "Not Found");
  EXPECT_EQ(client.ReplyHeaders(),
            "HTTP/1.1 404 Not Found\r\nContent-Type:  text/html \r\nX-Foo: 1\r\nFoo: 2\r\n"
            "Content-Length: 0\r\n\r\n");
  const std::pair<const char*, const char*> cases[] = {
      {"content-type", "text/html "}, {"Foo", "2"}, {"X-Foo", "1"},
      {"Missing", ""},                {"HTTP/1.1 404", ""}, {"", ""},
  };
  for (const auto& [name, value] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(client.ReplyHeader(name), value);
  }
}

}  // namespace
}  // namespace http::testing
