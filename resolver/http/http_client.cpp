// HttpClient: life cycle, requests, sending and redirects. The reply body is read in
// reply_body.cpp, the reply accessors live in reply_access.cpp, the request header setters in
// request_headers.cpp and the settings in settings.cpp.
#include "resolver/http/http_client.h"

#include "base/text.h"

namespace http {

using namespace wininet;

HttpClient::HttpClient(InternetApi& api) : api_(api) {
  OpenInternet();
  ResetSettings();
}

HttpClient::~HttpClient() { CloseAll(); }

void HttpClient::OpenInternet(std::string_view userAgent) {
  if (internetHandle_ != 0) CloseAll();  // never leak an earlier root handle
  internetHandle_ = api_.Open(std::string(userAgent), kOpenTypeDirect, 0);
  body_.Reserve(kInitialBufferSize);
}

void HttpClient::CloseHandle(Handle& handle) {
  if (handle == 0) return;
  api_.CloseHandle(handle);
  handle = 0;
}

void HttpClient::CloseAll() {
  CloseHandle(requestHandle_);
  CloseHandle(connectHandle_);
  CloseHandle(internetHandle_);
  body_.Release();
  ResetReply();
  connectedPort_ = 0;
  noRedirect_ = false;
  proxyAuthPending_ = false;
  proxyUser_.clear();
  proxyPassword_.clear();
  connectedHost_.clear();
  url_.clear();
}

void HttpClient::ResetSettings() {
  defaultHeaders_ = 1;
  cookieMode_ = kOwnCookies;
  httpDecoding_ = 1;
  // Certificates are verified unless a caller asks otherwise: a man in the middle must not
  // read an extraction password or hand out download links.
  ignoreCertErrors_ = 0;
  jar_.Clear();
  SetTimeouts();
}

void HttpClient::Restart(std::string_view userAgent) {
  CloseAll();
  OpenInternet(userAgent);
  ResetSettings();
}

Handle HttpClient::InternetHandle(std::optional<Handle> handle) {
  if (handle) internetHandle_ = *handle;
  return internetHandle_;
}

Handle HttpClient::ConnectHandle(std::optional<Handle> handle) {
  if (handle) connectHandle_ = *handle;
  return connectHandle_;
}

Handle HttpClient::RequestHandle(std::optional<Handle> handle) {
  if (handle) requestHandle_ = *handle;
  return requestHandle_;
}

int HttpClient::SetDefaultHeaders(int on) { return defaultHeaders_ = on; }

void HttpClient::SetCookieMode(int mode) {
  cookieMode_ = (mode == kOwnCookies || mode == kSystemCookies) ? mode : kOwnCookies;
}

void HttpClient::ResetReply() {
  body_.Clear();
  replyRead_ = false;
  contentLength_ = 0;
  replyHeaders_.clear();
}

bool HttpClient::Open(std::string_view method, std::string_view url) {
  // The reply goes first, so that every accessor is empty after a failed Open.
  ResetReply();
  CloseHandle(requestHandle_);
  if (internetHandle_ == 0) return false;
  url_ = WithScheme(url);
  UrlParts parts;
  if (!SplitUrl(url_, &parts)) return false;
  scheme_ = parts.scheme;
  if (!Connect(parts)) return false;
  std::string verb = "GET";
  if (!method.empty()) {
    verb = base::ToUpperAscii(method);
    if (defaultHeaders_ == 1) isPost_ = verb == "POST";
  }
  requestHandle_ = api_.OpenRequest(connectHandle_, verb, parts.path, "HTTP/1.1", RequestFlags());
  if (requestHandle_ == 0) return false;
  ApplyTimeouts(requestHandle_);
  return true;
}

// One connection is kept while host (exact bytes) and port stay the same.
bool HttpClient::Connect(const UrlParts& parts) {
  if (connectHandle_ != 0 && parts.host == connectedHost_ && parts.port == connectedPort_) {
    return true;
  }
  CloseHandle(connectHandle_);
  connectedHost_.clear();
  connectedPort_ = 0;
  connectHandle_ = api_.Connect(internetHandle_, parts.host, parts.port, kServiceHttp, 0);
  if (connectHandle_ == 0) return false;
  connectedHost_ = parts.host;
  connectedPort_ = parts.port;
  return true;
}

uint32_t HttpClient::RequestFlags() const {
  uint32_t flags = kFlagReload | kFlagNoCacheWrite;
  if (ignoreCertErrors_ == 1) flags |= kFlagIgnoreCertCnInvalid | kFlagIgnoreCertDateInvalid;
  if (cookieMode_ == kOwnCookies || noRedirect_) flags |= kFlagNoAutoRedirect;
  if (cookieMode_ == kOwnCookies) flags |= kFlagNoCookies;
  flags |= scheme_ == "https://" ? kFlagSecure : kFlagIgnoreRedirectToHttps;
  return flags;
}

bool HttpClient::Send(std::string_view body, bool keepOnDelete, int retries) {
  return SendBody(body.data(), static_cast<uint32_t>(body.size()), keepOnDelete, retries);
}

bool HttpClient::SendBytes(const Bytes& body, bool keepOnDelete, int retries) {
  return SendBody(body.data(), static_cast<uint32_t>(body.size()), keepOnDelete, retries);
}

bool HttpClient::SendBody(const void* body, uint32_t length, bool keepOnDelete, int retries) {
  if (requestHandle_ == 0) return false;
  PrepareSend();
  if (defaultHeaders_ == 1) ApplyDefaultHeaders(length > 0);
  if (!SendAttempts(length > 0 ? body : nullptr, length, retries < 0 ? 0 : retries)) {
    return false;
  }
  CaptureReplyHeaders(keepOnDelete);
  if (!replyHeaders_.empty() && replyHeaders_.compare(0, 5, "HTTP/") != 0) {
    // The connection closed without an answer: no status line, so no reply.
    ResetReply();
    CloseHandle(requestHandle_);
    return false;
  }
  FollowRedirect(keepOnDelete, retries);
  return true;
}

// Only a refused or reset connection is worth another attempt, and it is made at once.
bool HttpClient::SendAttempts(const void* body, uint32_t length, int retries) {
  for (int attempt = 0; attempt <= retries; ++attempt) {
    if (api_.SendRequest(requestHandle_, body, length)) return true;
    uint32_t error = api_.LastError();
    if (error != kErrorCannotConnect && error != kErrorConnectionReset) return false;
  }
  return false;
}

void HttpClient::PrepareSend() {
  if (proxyAuthPending_) {
    SetTextOption(connectHandle_, kOptionProxyUsername, proxyUser_);
    SetTextOption(connectHandle_, kOptionProxyPassword, proxyPassword_);
    proxyAuthPending_ = false;
    proxyUser_.clear();
    proxyPassword_.clear();
  }
  if (ignoreCertErrors_ == 1) SetIntOption(requestHandle_, kOptionSecurityFlags, kSecurityIgnoreAll);
  if (httpDecoding_ == 1) SetIntOption(requestHandle_, kOptionHttpDecoding, 1);
  if (cookieMode_ == kOwnCookies) ApplyCookieHeader();
}

bool HttpClient::CaptureReplyHeaders(bool keepOnDelete) {
  replyHeaders_.clear();
  std::optional<std::string> headers = QueryText(kQueryRawHeadersCrlf);
  if (!headers || headers->empty()) {
    contentLength_ = -1;
    return false;
  }
  replyHeaders_ = std::move(*headers);
  contentLength_ = DeclaredLength(replyHeaders_);
  if (cookieMode_ == kOwnCookies) MergeReplyCookies(keepOnDelete);
  return true;
}

// Walks a redirect chain hop by hop (each hop's Send comes back here): at most kMaxRedirects
// hops, each a GET without body carrying the jar with the previous reply's cookies merged.
// Any reply with a Location header is followed, whatever its status. When the chain ends, for
// whatever reason, the count starts again at 0.
void HttpClient::FollowRedirect(bool keepOnDelete, int retries) {
  if (cookieMode_ != kOwnCookies || noRedirect_) return;
  std::string target = RedirectTarget(true);
  if (target.empty() || ++redirectCount_ > kMaxRedirects) {
    redirectCount_ = 0;
    return;
  }
  if (!Open(target) || !Send({}, keepOnDelete, retries)) redirectCount_ = 0;
}

}  // namespace http
