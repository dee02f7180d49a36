#include "tests/http/fake_internet_api.h"

#include <algorithm>
#include <cstring>

#include "base/text.h"

namespace http::testing {

using namespace wininet;

FakeReply FakeReply::Ok(std::string head, std::string body) {
  FakeReply reply;
  reply.head = std::move(head);
  reply.body = std::move(body);
  return reply;
}

FakeReply FakeReply::Failure(uint32_t error) {
  FakeReply reply;
  reply.sendError = error;
  return reply;
}

std::vector<std::string> RecordedRequest::HeaderLines() const {
  std::vector<std::string> lines;
  for (const HeaderCall& call : headers) {
    if (!call.accepted) continue;
    size_t from = 0;
    while (true) {
      size_t eol = call.line.find("\r\n", from);
      lines.push_back(call.line.substr(from, eol - from));
      if (eol == std::string::npos) break;
      from = eol + 2;
    }
  }
  return lines;
}

void FakeInternetApi::RefuseConnect(std::string host, uint16_t port) {
  refused_.emplace_back(std::move(host), port);
}

RecordedRequest* FakeInternetApi::Find(Handle request) {
  for (RecordedRequest& r : requests) {
    if (r.handle == request && !r.closed) return &r;
  }
  return nullptr;
}

RecordedConnect* FakeInternetApi::FindConnect(Handle connect) {
  for (RecordedConnect& c : connects) {
    if (c.handle == connect && !c.closed) return &c;
  }
  return nullptr;
}

Handle FakeInternetApi::Open(const std::string& agent, uint32_t, uint32_t) {
  agents.push_back(agent);
  if (failOpen) return FailHandle(kErrorNameNotResolved);
  roots_.push_back(nextHandle_);
  ++openHandles;
  return nextHandle_++;
}

Handle FakeInternetApi::Connect(Handle internet, const std::string& host, uint16_t port,
                                uint32_t service, uint32_t flags) {
  if (std::find(roots_.begin(), roots_.end(), internet) == roots_.end()) {
    return FailHandle(6);  // ERROR_INVALID_HANDLE
  }
  if (std::find(refused_.begin(), refused_.end(), std::make_pair(host, port)) != refused_.end()) {
    return FailHandle(kErrorCannotConnect);
  }
  connects.push_back({nextHandle_, host, port, service, flags, false});
  ++openHandles;
  return nextHandle_++;
}

Handle FakeInternetApi::OpenRequest(Handle connect, const std::string& method,
                                    const std::string& path, const std::string& version,
                                    uint32_t flags) {
  RecordedConnect* c = FindConnect(connect);
  if (c == nullptr) return FailHandle(6);
  if (failOpenRequest) return FailHandle(kErrorNameNotResolved);
  RecordedRequest r;
  r.handle = nextHandle_++;
  r.connect = connect;
  r.host = c->host;
  r.port = c->port;
  r.method = method;
  r.path = path;
  r.version = version;
  r.flags = flags;
  requests.push_back(std::move(r));
  ++openHandles;
  return requests.back().handle;
}

namespace {
std::string HeaderName(const std::string& line) {
  return base::ToLowerAscii(line.substr(0, line.find(':')));
}
}  // namespace

// ADD_IF_NEW of a name the request already has fails as Wine answers it (12153).
bool FakeInternetApi::AddRequestHeaders(Handle request, const std::string& lines,
                                        uint32_t flags) {
  RecordedRequest* r = Find(request);
  if (r == nullptr) return Fail(6);
  HeaderCall call{lines, flags, true};
  if (flags & kAddIfNew) {
    for (const std::string& have : r->HeaderLines()) {
      if (HeaderName(have) == HeaderName(lines)) call.accepted = false;
    }
  }
  r->headers.push_back(call);
  return call.accepted ? true : Fail(kErrorHttpInvalidHeader);
}

bool FakeInternetApi::SetOption(Handle handle, uint32_t option, const void* value,
                                uint32_t length) {
  OptionCall call;
  call.handle = handle;
  call.option = option;
  call.length = length;
  if (option == kOptionProxy) {
    call.proxy = *static_cast<const ProxyInfo*>(value);
  } else if (option == kOptionUsername || option == kOptionPassword ||
             option == kOptionProxyUsername || option == kOptionProxyPassword) {
    call.text.assign(static_cast<const char*>(value), length);
  } else if (length == 4) {
    std::memcpy(&call.number, value, 4);
  }
  RecordedRequest* r = Find(handle);
  if (std::find(roots_.begin(), roots_.end(), handle) != roots_.end()) {
    call.on = OptionCall::On::kRoot;
  } else if (FindConnect(handle) != nullptr) {
    call.on = OptionCall::On::kConnect;
  } else if (r != nullptr) {
    call.on = OptionCall::On::kRequest;
  }
  options.push_back(call);
  if (r != nullptr) r->options.push_back(call);
  return call.on != OptionCall::On::kOther ? true : Fail(6);
}

bool FakeInternetApi::SendRequest(Handle request, const void* body, uint32_t length) {
  RecordedRequest* r = Find(request);
  if (r == nullptr) return Fail(6);
  ++r->sendAttempts;
  r->body.assign(static_cast<const char*>(body), body ? length : 0);
  if (replies_.empty()) return Fail(kErrorCannotConnect);
  FakeReply reply = std::move(replies_.front());
  replies_.pop_front();
  if (reply.sendError != 0) return Fail(reply.sendError);
  r->reply = std::move(reply);
  r->delivered = 0;
  return true;
}

namespace {
// The status line's parts: "HTTP/1.1 302 Found" gives "302" and "Found".
std::string StatusPart(const std::string& head, bool code) {
  std::string line = head.substr(0, head.find("\r\n"));
  size_t a = line.find(' ');
  if (a == std::string::npos) return {};
  size_t b = line.find(' ', a + 1);
  return code ? line.substr(a + 1, b - a - 1) : (b == std::string::npos ? "" : line.substr(b + 1));
}
}  // namespace

bool FakeInternetApi::QueryInfo(Handle request, uint32_t level, void* buffer, uint32_t* length) {
  RecordedRequest* r = Find(request);
  if (r == nullptr) return Fail(6);
  r->queries.push_back(level);
  if (!r->reply) return Fail(kErrorHeaderNotFound);
  std::string text;
  if (level == kQueryRawHeadersCrlf) {
    if (r->reply->headersUnavailable) return Fail(kErrorHeaderNotFound);
    text = r->reply->head + "\r\n";
  } else if (level == kQueryStatusCode || level == kQueryStatusText) {
    text = StatusPart(r->reply->head, level == kQueryStatusCode);
  } else {
    return Fail(kErrorHeaderNotFound);
  }
  if (buffer == nullptr || *length < text.size() + 1) {
    *length = static_cast<uint32_t>(text.size() + 1);
    return Fail(kErrorInsufficientBuffer);
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  *length = static_cast<uint32_t>(text.size());
  return true;
}

bool FakeInternetApi::ReadFile(Handle request, void* buffer, uint32_t toRead, uint32_t* read) {
  *read = 0;
  RecordedRequest* r = Find(request);
  if (r == nullptr) return Fail(6);
  r->reads.push_back(toRead);
  if (!r->reply) return Fail(kErrorCannotConnect);
  const FakeReply& reply = *r->reply;
  if (reply.resetAfter && r->delivered >= *reply.resetAfter) return Fail(kErrorConnectionReset);
  size_t n = std::min<size_t>(toRead, reply.body.size() - r->delivered);
  if (reply.chunk != 0) n = std::min<size_t>(n, reply.chunk);
  if (reply.resetAfter) n = std::min(n, *reply.resetAfter - r->delivered);
  std::memcpy(buffer, reply.body.data() + r->delivered, n);
  r->delivered += n;
  *read = static_cast<uint32_t>(n);
  return true;
}

bool FakeInternetApi::SetCookie(const std::string& url, const std::string& name,
                                const std::string& data) {
  cookies.push_back({url, name, data});
  return true;
}

bool FakeInternetApi::CloseHandle(Handle handle) {
  closed.push_back(handle);
  auto root = std::find(roots_.begin(), roots_.end(), handle);
  if (root != roots_.end()) {
    roots_.erase(root);
  } else if (RecordedConnect* c = FindConnect(handle)) {
    c->closed = true;
  } else if (RecordedRequest* r = Find(handle)) {
    r->closed = true;
  } else {
    return Fail(6);
  }
  --openHandles;
  return true;
}

}  // namespace http::testing
