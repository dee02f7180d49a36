// Reading the reply body. One buffer per object, grown and never shrunk before CloseAll.
//
// With a declared length the buffer is taken at that size (plus one step for a body that
// content decoding makes longer than declared) and reads ask for at most 1 MiB each. Without
// one, reads start at 10240 bytes and ask for as much as has arrived so far (at most 1 MiB),
// the buffer doubling as needed, so reading stays linear in the body size. A body is cut at
// maxReplyBytes_.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "base/codepage.h"
#include "resolver/http/http_client.h"
#include "resolver/http/utf8_check.h"

namespace http {

bool HttpClient::GrowBuffer(size_t needed, size_t keep, bool exact) {
  if (needed <= replyCapacity_ && replyBuffer_) return true;
  size_t capacity = exact ? needed : std::max(needed, replyCapacity_ * 2);
  size_t limit = static_cast<size_t>(maxReplyBytes_);
  capacity = std::min(capacity, std::max(needed, limit));
  std::unique_ptr<uint8_t[]> grown(new (std::nothrow) uint8_t[capacity]);
  if (!grown) return false;
  if (keep > 0) std::memcpy(grown.get(), replyBuffer_.get(), keep);
  replyBuffer_ = std::move(grown);
  replyCapacity_ = capacity;
  return true;
}

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
  if (declared > 0) GrowBuffer(std::min(declared + kInitialBufferSize, limit), 0, true);
  size_t total = 0;
  bool first = true;
  while (total < limit) {
    size_t want = NextReadSize(total, declared, limit);
    if (!GrowBuffer(total + want, total, false)) break;
    uint32_t got = 0;
    if (!api_.ReadFile(requestHandle_, replyBuffer_.get() + total, static_cast<uint32_t>(want),
                       &got)) {
      if (first) return false;
      break;
    }
    first = false;
    if (got == 0) break;
    total += std::min<size_t>(got, want);
  }
  replyLength_ = total;
  replyRead_ = true;
  return true;
}

Bytes HttpClient::ReplyBytes() {
  if (requestHandle_ == 0 || contentLength_ == 0) return {};
  if (!replyRead_ && !ReadBody()) return {};
  return Bytes(replyBuffer_.get(), replyBuffer_.get() + replyLength_);
}

std::string HttpClient::ReplyRawText() {
  Bytes bytes = ReplyBytes();
  auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  return std::string(bytes.begin(), end);
}

std::string HttpClient::ReplyText() {
  Bytes bytes = ReplyBytes();
  std::string_view utf8(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!HasUtf8Character(utf8)) return {};
  std::string text = base::Utf8ToCp936(utf8);
  return text.substr(0, text.find('\0'));
}

void HttpClient::SetMaxReplyBytes(int64_t bytes) {
  maxReplyBytes_ = bytes > 0 ? bytes : kDefaultMaxReplyBytes;
  if (static_cast<uint64_t>(maxReplyBytes_) > SIZE_MAX / 2) maxReplyBytes_ = SIZE_MAX / 2;
}

}  // namespace http
