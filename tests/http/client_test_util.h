#pragma once
// Small helpers shared by the HttpClient tests: canned replies and reading the fake's records.
#include <string>
#include <vector>

#include "resolver/http/http_client.h"
#include "tests/http/fake_internet_api.h"

namespace http::testing {

inline FakeReply Status200(std::string body = {}, std::string extraHeaders = {}) {
  std::string head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                     "\r\n" + extraHeaders;
  return FakeReply::Ok(std::move(head), std::move(body));
}

inline FakeReply Redirect(const std::string& location, const std::string& extraHeaders = {}) {
  return FakeReply::Ok("HTTP/1.1 302 Found\r\nLocation: " + location + "\r\n" + extraHeaders +
                       "Content-Length: 0\r\n");
}

// The header calls of a request as "line|flags" texts, flags in hex.
inline std::vector<std::string> HeaderCalls(const RecordedRequest& r) {
  std::vector<std::string> calls;
  for (const HeaderCall& call : r.headers) {
    char flags[16];
    std::snprintf(flags, sizeof flags, "%08X", call.flags);
    calls.push_back(call.line + "|" + flags);
  }
  return calls;
}

// The options set on a request, as option numbers with their number values.
inline std::vector<std::pair<uint32_t, uint32_t>> RequestOptions(const RecordedRequest& r) {
  std::vector<std::pair<uint32_t, uint32_t>> out;
  for (const OptionCall& o : r.options) out.emplace_back(o.option, o.number);
  return out;
}

}  // namespace http::testing
