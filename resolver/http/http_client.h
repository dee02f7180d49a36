#pragma once
// HttpClient: a stateful HTTP/1.1 client over WinINet (through InternetApi), with its own
// cookie jar and the request headers of a desktop browser posting forms.
//
// Calling order: Open(method, url) -> optional header setters -> Send(body) -> reply accessors.
// Every failure is a result value: Open resets the reply before it connects, so after a
// failed Open or Send every reply accessor is empty ("" / no bytes / 0).
//
// Texts are CP936 bytes. One object is used by one thread at a time; every call blocks, bounded
// by SetTimeouts (15 s connect, 120 s send, 300 s receive by default).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "resolver/http/body_buffer.h"
#include "resolver/http/cookie_jar.h"
#include "resolver/http/internet_api.h"
#include "resolver/http/reply_headers.h"
#include "resolver/http/url_split.h"

namespace http {

using Bytes = std::vector<uint8_t>;

inline constexpr std::string_view kDefaultUserAgent =
    "Mozilla/5.0 (compatible; MSIE 10.0; Windows NT 6.2)";

class HttpClient {
 public:
  // Cookie modes: the object's own jar and redirect walk, or WinINet's cookies and redirects.
  static constexpr int kOwnCookies = 1;
  static constexpr int kSystemCookies = 2;
  static constexpr int kMaxRedirects = 20;
  // A reply body is cut at this size rather than exhausting memory.
  static constexpr int64_t kDefaultMaxReplyBytes = 64LL * 1024 * 1024;
  // Largest read asked of WinINet at once; first read of a body of unknown length.
  static constexpr uint32_t kMaxReadSize = 1048576;
  static constexpr uint32_t kInitialBufferSize = 10240;

  // Opens the root handle with the default user agent and resets the settings.
  explicit HttpClient(InternetApi& api);
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // --- life cycle
  void OpenInternet(std::string_view userAgent = kDefaultUserAgent);
  // Closes request, connection and root handle; the cookie jar and settings survive.
  void CloseAll();
  // Default headers on, cookie mode 1, decoding on, certificate errors not ignored, jar empty,
  // default time-outs.
  void ResetSettings();
  // CloseAll, OpenInternet, ResetSettings (so the jar is emptied).
  void Restart(std::string_view userAgent = kDefaultUserAgent);

  // --- steps of Send, public as the class has always had them
  void MergeReplyCookies(bool keepOnDelete);
  bool StoreSystemCookies(std::string_view text);
  void ApplyCookieHeader();
  void ApplyDefaultHeaders(bool hasBody);
  void PrepareSend();
  bool CaptureReplyHeaders(bool keepOnDelete);
  void FollowRedirect(bool keepOnDelete, int retries);

  // The handle now held; a given handle replaces it first (the old one is not closed).
  Handle InternetHandle(std::optional<Handle> handle = std::nullopt);
  Handle ConnectHandle(std::optional<Handle> handle = std::nullopt);
  Handle RequestHandle(std::optional<Handle> handle = std::nullopt);

  int SetDefaultHeaders(int on = 1);
  // Modes other than 1 and 2 become 1.
  void SetCookieMode(int mode = kOwnCookies);

  // --- requests
  // An empty method is GET and leaves isPost as the last Open with a method set it.
  bool Open(std::string_view method, std::string_view url);
  bool Open(std::string_view url) { return Open({}, url); }
  // Sends the current request; retries more attempts only while WinINet answers 12029 or 12031.
  // Follows redirects (cookie mode 1, redirects on) at most 20 hops, each with GET and no body.
  bool Send(std::string_view body = {}, bool keepOnDelete = false, int retries = 0);
  bool SendBytes(const Bytes& body = {}, bool keepOnDelete = false, int retries = 0);

  // --- the reply
  // The body, read once per request and cached.
  Bytes ReplyBytes();
  // The same body without a copy: a view into the client's buffer, valid until the next Open,
  // Send, Restart or CloseAll. For large downloads.
  std::string_view ReplyView();
  // The body as bytes up to its first NUL, unconverted.
  std::string ReplyRawText();
  // The body taken as UTF-8 and converted to CP936; "" when it holds no valid UTF-8 character.
  std::string ReplyText();
  int StatusCode();
  std::string StatusText();
  // Raw header block: status line and header lines, CRLF-separated, ending in an empty line.
  std::string ReplyHeaders() const { return replyHeaders_; }
  // Value of the header line that starts with name + ":" (any case), leading spaces removed.
  std::string ReplyHeader(std::string_view name) const;
  // The trimmed Location value ("" when none); absolute resolves it against the request URL.
  std::string RedirectTarget(bool absolute = false) const;

  // --- cookies
  std::string ReplyCookies() const { return CookieJar::ReplyCookies(replyHeaders_); }
  std::string ReplyCookie(std::string_view name) const {
    return CookieJar::ReplyCookie(replyHeaders_, name);
  }
  // Mode 1: AddCookies; mode 2: StoreSystemCookies.
  bool SetCookies(std::string_view text);
  // The jar as "a=1; b=2".
  std::string CookieText() const { return jar_.Pairs(); }
  // Replaces the jar; returns the text given.
  std::string CookieText(std::string_view text);
  std::string Cookie(std::string_view name, bool withName = false) const {
    return jar_.Cookie(name, withName);
  }
  bool AddCookies(std::string_view text) { return jar_.AddCookies(text); }
  bool RemoveCookies(std::string_view text) { return jar_.RemoveCookies(text); }

  // --- settings
  bool SetTimeouts(int connectMs = 15000, int sendMs = 120000, int receiveMs = 300000);
  bool SetProxy(std::string_view server, std::string_view user, std::string_view password);
  bool SetCredentials(std::string_view user, std::string_view password);
  // kind 1: connection, 2: request, other: root handle. length is at most 4 (the value's size).
  bool SetRawOption(int kind, uint32_t option, int32_t value, uint32_t length);
  void SetFollowRedirects() { noRedirect_ = false; }
  void SetFollowRedirects(bool on) { noRedirect_ = !on; }
  int SetIgnoreCertErrors(int on = 1);
  int SetHttpDecoding(int on = 1);
  // Largest reply body kept (default 64 MiB); the rest is not read.
  void SetMaxReplyBytes(int64_t bytes);

  // --- request headers: act on the request of the last Open, before Send. Each returns
  // WinINet's answer, false when there is no request or the name is empty.
  bool SetHeader(std::string_view name, std::string_view value,
                 uint32_t flags = wininet::kAddOrReplace);
  bool RemoveHeader(std::string_view name);
  bool SetUserAgent(std::string_view value = kDefaultUserAgent);
  bool SetReferer();  // the current URL
  bool SetReferer(std::string_view value);
  bool SetAccept(std::string_view value = "*/*");
  bool SetAcceptLanguage(std::string_view value = "zh-cn");
  bool SetContentType(std::string_view value = "application/x-www-form-urlencoded");
  bool MarkAjaxRequest();
  // X-Forwarded-For, CLIENT_IP, VIA and REMOTE_ADDR, all with the given address.
  bool SetClientAddress(std::string_view address);

  // --- state, for callers and tests
  const std::string& Url() const { return url_; }
  const std::string& Scheme() const { return scheme_; }
  bool IsPost() const { return isPost_; }
  int CookieMode() const { return cookieMode_; }
  int64_t ContentLength() const { return contentLength_; }
  int RedirectCount() const { return redirectCount_; }
  const CookieJar& Jar() const { return jar_; }

 private:
  bool SendBody(const void* body, uint32_t length, bool keepOnDelete, int retries);
  bool SendAttempts(const void* body, uint32_t length, int retries);
  bool Connect(const UrlParts& parts);
  uint32_t RequestFlags() const;
  void ResetReply();
  void ApplyTimeouts(Handle handle);
  std::optional<std::string> QueryText(uint32_t level);
  bool SetIntOption(Handle handle, uint32_t option, uint32_t value);
  bool SetTextOption(Handle handle, uint32_t option, std::string_view text);
  bool ReadBody();
  size_t NextReadSize(size_t total, size_t declared, size_t limit) const;
  void CloseHandle(Handle& handle);

  InternetApi& api_;
  Handle internetHandle_ = 0;
  Handle connectHandle_ = 0;
  Handle requestHandle_ = 0;
  std::string connectedHost_;
  uint16_t connectedPort_ = 0;
  std::string url_;
  std::string scheme_;
  bool isPost_ = false;

  BodyBuffer body_;
  bool replyRead_ = false;
  int64_t contentLength_ = 0;  // -1: no Content-Length; 0 after Open until headers arrive
  std::string replyHeaders_;
  int64_t maxReplyBytes_ = kDefaultMaxReplyBytes;

  int defaultHeaders_ = 0;
  int cookieMode_ = 0;
  CookieJar jar_;
  bool noRedirect_ = false;
  int redirectCount_ = 0;
  bool proxyAuthPending_ = false;
  std::string proxyUser_;
  std::string proxyPassword_;
  int httpDecoding_ = 0;
  int ignoreCertErrors_ = 0;
  uint32_t timeouts_[3] = {15000, 120000, 300000};  // connect, send, receive (ms)
};

}  // namespace http
