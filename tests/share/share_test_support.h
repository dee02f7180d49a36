#pragma once
// Helpers of the share client's unit tests: scripted replies of the service and a check of
// the requests the client sent through the scripted WinINet.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resolver/share/share_client.h"
#include "tests/http/fake_internet_api.h"
#include "tests/share/request_pattern.h"

namespace share::testing {

using http::testing::FakeInternetApi;
using http::testing::FakeReply;
using http::testing::RecordedRequest;

inline constexpr char kMainHost[] = "localhost:47443";
inline constexpr char kDownloadHost[] = "127.0.0.1:47080";

// A 302 to location, with optional "Set-Cookie:" values ("BDCLND=x; path=/").
FakeReply Redirect(const std::string& location, const std::vector<std::string>& cookies = {});
// A 200 answer with a UTF-8 body, optional cookies.
FakeReply Ok(const std::string& utf8Body, const std::vector<std::string>& cookies = {});
// A share page handing data to its script.
std::string SharePage(const std::string& data);

// scheme://host:port/path?query of a recorded request (port always written).
std::string UrlOf(const RecordedRequest& request);

// Method, URL pattern, body pattern (exact when it has no placeholder), and the Referer line.
struct ExpectedRequest {
  std::string method;
  std::string url;
  std::string body;
  std::string referer;  // "" = no Referer header
};
void ExpectRequests(const std::vector<RecordedRequest>& actual,
                    const std::vector<ExpectedRequest>& expected);

class ShareClientTest : public ::testing::Test {
 protected:
  ShareClientTest() : client(net, ServiceHosts{kMainHost, kDownloadHost}) {}

  // Resolves an open share whose page carries data (link answered by redirect to its page).
  void ResolveOpenShare(const std::string& data);
  const std::vector<RecordedRequest>& Requests() const { return net.requests; }
  std::vector<RecordedRequest> RequestsFrom(size_t first) const {
    return {net.requests.begin() + static_cast<long>(first), net.requests.end()};
  }

  FakeInternetApi net;
  ShareClient client;
  std::vector<FileEntry> files;
  std::string message;
};

}  // namespace share::testing
