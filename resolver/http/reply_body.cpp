// Reading the reply body into the client's BodyBuffer (kept, not given back, before CloseAll).
//
// With a declared length the buffer is taken at that size (plus one step for a body that
// content decoding makes longer than declared) and reads ask for at most 1 MiB each. Without
// one, reads start at 10240 bytes and ask for as much as has arrived so far (at most 1 MiB),
// the buffer growing by blocks without copying, so reading stays linear in the body size.
// A body is cut at maxReplyBytes_.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cstdlib>

#include "base/codepage.h"
#include "resolver/http/http_client.h"
#include "resolver/http/utf8_check.h"

namespace http {

// declared is 0 for a body of unknown length.
size_t HttpClient::NextReadSize(size_t total, size_t declared, size_t limit) const {
  size_t want = total < declared
                    ? std::min<size_t>(declared - total, kMaxReadSize)
                    : std::clamp<size_t>(total - declared, kInitialBufferSize, kMaxReadSize);
  return std::min(want, limit - total);
}

// True when the first read succeeded: a failing first read leaves the body unread, and the
// next ReplyBytes tries again.
bool HttpClient::ReadBody() {
  const size_t limit = static_cast<size_t>(maxReplyBytes_);
  const size_t declared = contentLength_ > 0
                              ? static_cast<size_t>(std::min<int64_t>(contentLength_, maxReplyBytes_))
                              : 0;
  body_.Clear();
  if (declared > 0) body_.Reserve(std::min(declared + kInitialBufferSize, limit));
  bool first = true;
  while (body_.Size() < limit) {
    size_t want = NextReadSize(body_.Size(), declared, limit);
    uint8_t* at = body_.Space(want);
    if (at == nullptr) break;  // out of memory: keep what arrived
    uint32_t got = 0;
    if (!api_.ReadFile(requestHandle_, at, static_cast<uint32_t>(want), &got)) {
      if (first) return false;
      break;
    }
    first = false;
    if (got == 0) break;
    body_.Commit(got);
  }
  replyRead_ = true;
  return true;
}

std::string_view HttpClient::ReplyView() {
  if (requestHandle_ == 0 || contentLength_ == 0) return {};
  if (!replyRead_ && !ReadBody()) return {};
  return body_.View();
}

Bytes HttpClient::ReplyBytes() {
  if (requestHandle_ == 0 || contentLength_ == 0) return {};
  if (!replyRead_ && !ReadBody()) return {};
  return body_.Copy();
}

std::string HttpClient::ReplyRawText() {
  std::string_view body = ReplyView();
  return std::string(body.substr(0, body.find('\0')));
}

std::string HttpClient::ReplyText() {
  std::string_view utf8 = ReplyView();
  if (!HasUtf8Character(utf8)) return {};
  std::string text = base::Utf8ToCp936(utf8);
  return text.substr(0, text.find('\0'));
}

void HttpClient::SetMaxReplyBytes(int64_t bytes) {
  maxReplyBytes_ = bytes > 0 ? bytes : kDefaultMaxReplyBytes;
  if (static_cast<uint64_t>(maxReplyBytes_) > SIZE_MAX / 2) maxReplyBytes_ = SIZE_MAX / 2;
}

}  // namespace http
