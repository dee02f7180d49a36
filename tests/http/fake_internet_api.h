#pragma once
// A scripted InternetApi for unit tests: it records every call the client makes and plays back
// queued replies, one per HttpSendRequestA attempt.
//
//   FakeInternetApi net;
//   net.QueueReply(FakeReply::Ok("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n", "hi"));
//   net.QueueReply(FakeReply::Failure(12029));      // the next send attempt fails
//   http::HttpClient client(net);
//   client.Open("GET", "http://h/x"); client.Send();
//   net.requests[0].method, .path, .flags, .headers[i].line / .flags, .reads, .sendAttempts
//
// The header block of a reply is the status line and header lines, each ending in CRLF; the
// fake adds the empty line that ends the block. A send with no reply queued fails with 12029.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "resolver/http/internet_api.h"

namespace http::testing {

struct FakeReply {
  uint32_t sendError = 0;     // non-zero: HttpSendRequestA fails with this error
  std::string head;           // "HTTP/1.1 200 OK\r\nName: value\r\n..."
  std::string body;
  uint32_t chunk = 0;         // most bytes one read returns (0: as many as asked)
  std::optional<size_t> resetAfter;  // reads fail with 12031 once this many bytes were given
  bool headersUnavailable = false;   // HTTP_QUERY_RAW_HEADERS_CRLF fails

  static FakeReply Ok(std::string head, std::string body = {});
  static FakeReply Failure(uint32_t error);
};

struct HeaderCall {
  std::string line;  // the text handed over, possibly several CRLF-separated lines
  uint32_t flags = 0;
  bool accepted = false;
};

struct OptionCall {
  enum class On { kRoot, kConnect, kRequest, kOther } on = On::kOther;
  Handle handle = 0;
  uint32_t option = 0;
  uint32_t length = 0;
  uint32_t number = 0;  // the value when length is 4 (and not a text option)
  std::string text;     // text options (user names, passwords)
  ProxyInfo proxy;      // kOptionProxy
};

struct RecordedRequest {
  Handle handle = 0;
  Handle connect = 0;
  std::string host;  // of the connection it was opened on
  uint16_t port = 0;
  std::string method, path, version;
  uint32_t flags = 0;
  std::vector<HeaderCall> headers;
  std::vector<OptionCall> options;
  int sendAttempts = 0;
  std::string body;              // of the last attempt
  std::vector<uint32_t> reads;   // bytes asked of each InternetReadFile
  std::vector<uint32_t> queries; // HttpQueryInfoA levels asked
  bool closed = false;
  size_t delivered = 0;            // body bytes handed out so far
  std::optional<FakeReply> reply;  // the reply of the successful attempt

  // The lines of the accepted header calls, one string per line, in call order.
  std::vector<std::string> HeaderLines() const;
};

struct RecordedConnect {
  Handle handle = 0;
  std::string host;
  uint16_t port = 0;
  uint32_t service = 0;
  uint32_t flags = 0;
  bool closed = false;
};

struct RecordedCookie {
  std::string url, name, data;
};

class FakeInternetApi : public InternetApi {
 public:
  void QueueReply(FakeReply reply) { replies_.push_back(std::move(reply)); }
  size_t PendingReplies() const { return replies_.size(); }
  // Connections to this host and port fail (InternetConnectA returns 0, error 12029).
  void RefuseConnect(std::string host, uint16_t port);
  bool failOpen = false;         // InternetOpenA returns 0
  bool failOpenRequest = false;  // HttpOpenRequestA returns 0

  std::vector<std::string> agents;  // user agent of each InternetOpenA
  std::vector<RecordedConnect> connects;
  std::vector<RecordedRequest> requests;
  std::vector<OptionCall> options;  // every InternetSetOptionA, in call order
  std::vector<RecordedCookie> cookies;
  std::vector<Handle> closed;       // handles closed, in order
  int openHandles = 0;              // handles handed out and not closed yet

  RecordedRequest& LastRequest() { return requests.back(); }
  RecordedRequest* Find(Handle request);

  Handle Open(const std::string& agent, uint32_t accessType, uint32_t flags) override;
  Handle Connect(Handle internet, const std::string& host, uint16_t port, uint32_t service,
                 uint32_t flags) override;
  Handle OpenRequest(Handle connect, const std::string& method, const std::string& path,
                     const std::string& version, uint32_t flags) override;
  bool AddRequestHeaders(Handle request, const std::string& lines, uint32_t flags) override;
  bool SetOption(Handle handle, uint32_t option, const void* value, uint32_t length) override;
  bool SendRequest(Handle request, const void* body, uint32_t length) override;
  bool QueryInfo(Handle request, uint32_t level, void* buffer, uint32_t* length) override;
  bool ReadFile(Handle request, void* buffer, uint32_t toRead, uint32_t* read) override;
  bool SetCookie(const std::string& url, const std::string& name,
                 const std::string& data) override;
  bool CloseHandle(Handle handle) override;
  uint32_t LastError() override { return lastError_; }

 private:
  bool Fail(uint32_t error) {
    lastError_ = error;
    return false;
  }
  Handle FailHandle(uint32_t error) {
    lastError_ = error;
    return 0;
  }
  RecordedConnect* FindConnect(Handle connect);

  std::deque<FakeReply> replies_;
  std::vector<std::pair<std::string, uint16_t>> refused_;
  std::vector<Handle> roots_;
  Handle nextHandle_ = 0x100;
  uint32_t lastError_ = 0;
};

}  // namespace http::testing
