// Settings of the root handle, the connection and the request, and the cookie operations
// that go beyond the jar itself.
#include <vector>

#include "base/text.h"
#include "resolver/http/http_client.h"

namespace http {

using namespace wininet;

bool HttpClient::SetIntOption(Handle handle, uint32_t option, uint32_t value) {
  return api_.SetOption(handle, option, &value, sizeof value);
}

bool HttpClient::SetTextOption(Handle handle, uint32_t option, std::string_view text) {
  std::string copy(text);
  return api_.SetOption(handle, option, copy.c_str(), static_cast<uint32_t>(copy.size()));
}

// Set on the root handle, the time-outs (ms) govern every later connection and request.
// Wine takes only the connect time-out from the root handle, so Open hands all three to each
// request as well.
bool HttpClient::SetTimeouts(int connectMs, int sendMs, int receiveMs) {
  if (internetHandle_ == 0) return false;
  timeouts_[0] = static_cast<uint32_t>(connectMs);
  timeouts_[1] = static_cast<uint32_t>(sendMs);
  timeouts_[2] = static_cast<uint32_t>(receiveMs);
  ApplyTimeouts(internetHandle_);
  return true;
}

void HttpClient::ApplyTimeouts(Handle handle) {
  SetIntOption(handle, kOptionConnectTimeout, timeouts_[0]);
  SetIntOption(handle, kOptionSendTimeout, timeouts_[1]);
  SetIntOption(handle, kOptionReceiveTimeout, timeouts_[2]);
}

// An empty server list means a direct connection. The proxy credentials go to the open
// connection, or wait for the next Send when there is none.
bool HttpClient::SetProxy(std::string_view server, std::string_view user,
                          std::string_view password) {
  if (internetHandle_ == 0) return false;
  ProxyInfo info;
  if (!server.empty()) {
    info.accessType = kOpenTypeProxy;
    info.proxy = std::string(server);
    if (connectHandle_ != 0) {
      SetTextOption(connectHandle_, kOptionProxyUsername, user);
      SetTextOption(connectHandle_, kOptionProxyPassword, password);
    } else {
      proxyUser_ = std::string(user);
      proxyPassword_ = std::string(password);
      proxyAuthPending_ = true;
    }
  }
  return api_.SetOption(internetHandle_, kOptionProxy, &info, kProxyInfoLength);
}

bool HttpClient::SetCredentials(std::string_view user, std::string_view password) {
  if (connectHandle_ == 0) return false;
  if (!SetTextOption(connectHandle_, kOptionUsername, user)) return false;
  return SetTextOption(connectHandle_, kOptionPassword, password);
}

// The value is one 32-bit number: a longer length would have WinINet read past it.
bool HttpClient::SetRawOption(int kind, uint32_t option, int32_t value, uint32_t length) {
  Handle handle = kind == 1 ? connectHandle_ : kind == 2 ? requestHandle_ : internetHandle_;
  if (handle == 0 || length > sizeof value) return false;
  return api_.SetOption(handle, option, &value, length);
}

int HttpClient::SetIgnoreCertErrors(int on) { return ignoreCertErrors_ = on; }
int HttpClient::SetHttpDecoding(int on) { return httpDecoding_ = on; }

void HttpClient::MergeReplyCookies(bool keepOnDelete) {
  jar_.MergeReplyCookies(replyHeaders_, keepOnDelete);
}

bool HttpClient::SetCookies(std::string_view text) {
  if (cookieMode_ == kOwnCookies) return AddCookies(text);
  if (cookieMode_ == kSystemCookies) return StoreSystemCookies(text);
  return false;
}

std::string HttpClient::CookieText(std::string_view text) {
  jar_.Replace(text);
  return std::string(text);
}

// Hands name=value pieces of a ";"-separated text to the system store for the current URL.
bool HttpClient::StoreSystemCookies(std::string_view text) {
  bool called = false;
  int from = 1;
  const int size = static_cast<int>(text.size());
  while (from <= size) {
    int semi = base::Find(text, ";", from);
    int end = semi == -1 ? size + 1 : semi;
    std::string piece = base::TrimLeadingSpaces(base::Mid(text, from, end - from));
    int e = base::Find(piece, "=");
    if (e != -1) {
      api_.SetCookie(url_, piece.substr(0, static_cast<size_t>(e - 1)),
                     piece.substr(static_cast<size_t>(e)));
      called = true;
    }
    from = end + 1;
  }
  return called;
}

}  // namespace http
