#include "tests/share/share_test_support.h"

#include "resolver/http/internet_api.h"
#include "tests/share/request_pattern.h"

namespace share::testing {
namespace {

std::string Head(const std::string& status, const std::vector<std::string>& cookies,
                 size_t length) {
  std::string head = "HTTP/1.1 " + status + "\r\n";
  for (const auto& c : cookies) head += "Set-Cookie: " + c + "\r\n";
  head += "Content-Length: " + std::to_string(length) + "\r\n";
  return head;
}

}  // namespace

FakeReply Redirect(const std::string& location, const std::vector<std::string>& cookies) {
  return FakeReply::Ok(Head("302 Found", cookies, 0) + "Location: " + location + "\r\n");
}

FakeReply Ok(const std::string& utf8Body, const std::vector<std::string>& cookies) {
  return FakeReply::Ok(Head("200 OK", cookies, utf8Body.size()), utf8Body);
}

std::string SharePage(const std::string& data) {
  return "<!DOCTYPE html><html><body><script>yunData.setData(" + data +
         ");</script></body></html>";
}

std::string UrlOf(const RecordedRequest& request) {
  const bool secure = (request.flags & http::wininet::kFlagSecure) != 0;
  return std::string(secure ? "https://" : "http://") + request.host + ":" +
         std::to_string(request.port) + request.path;
}

void ExpectRequests(const std::vector<RecordedRequest>& actual,
                    const std::vector<ExpectedRequest>& expected) {
  ASSERT_EQ(actual.size(), expected.size()) << "number of requests";
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("request " + std::to_string(i) + " " + UrlOf(actual[i]));
    EXPECT_EQ(actual[i].method, expected[i].method);
    EXPECT_EQ(PatternMismatch(UrlOf(actual[i]), expected[i].url), "");
    EXPECT_EQ(PatternMismatch(actual[i].body, expected[i].body), "");
    std::string referer;
    for (const auto& line : actual[i].HeaderLines()) {
      if (line.rfind("Referer:", 0) == 0) referer = line.substr(8);
    }
    EXPECT_EQ(referer, expected[i].referer);
  }
}

void ShareClientTest::ResolveOpenShare(const std::string& data) {
  net.QueueReply(Redirect("https://localhost:47443/share/init?surl=open"));
  net.QueueReply(Ok(SharePage(data)));
  net.QueueReply(Ok(SharePage(data)));
  client.SetShare("https://localhost:47443/s/1open", "");
  ASSERT_TRUE(client.ResolveShare(files, message)) << message;
  files.clear();
  net.requests.clear();
}

}  // namespace share::testing
