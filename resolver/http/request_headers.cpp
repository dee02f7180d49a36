// Request headers. Nothing is stored: every line goes straight to the current request, so it
// belongs to that request only. Lines are "Name:value" with no space after the colon.
// Order on a request: the caller's lines, then Cookie (add or replace), then the defaults,
// each only if the request has no header of that name yet.
#include "resolver/http/http_client.h"

namespace http {

using namespace wininet;

void HttpClient::ApplyCookieHeader() {
  if (requestHandle_ == 0) return;
  api_.AddRequestHeaders(requestHandle_, jar_.HeaderLine(), kAddOrReplace);
}

void HttpClient::ApplyDefaultHeaders(bool hasBody) {
  if (requestHandle_ == 0) return;
  api_.AddRequestHeaders(requestHandle_, "Accept:*/*", kAddIfNew);
  api_.AddRequestHeaders(requestHandle_, "Accept-Language:zh-cn", kAddIfNew);
  // isPost is only recomputed by an Open with a method, so the GET hop of a redirect after a
  // POST carries the form type too.
  if (isPost_ || hasBody) {
    api_.AddRequestHeaders(requestHandle_, "Content-Type:application/x-www-form-urlencoded",
                           kAddIfNew);
  }
}

bool HttpClient::SetHeader(std::string_view name, std::string_view value, uint32_t flags) {
  if (requestHandle_ == 0 || name.empty()) return false;
  return api_.AddRequestHeaders(requestHandle_, std::string(name) + ":" + std::string(value),
                                flags);
}

bool HttpClient::RemoveHeader(std::string_view name) {
  if (requestHandle_ == 0 || name.empty()) return false;
  return api_.AddRequestHeaders(requestHandle_, std::string(name) + ":", kReplace);
}

bool HttpClient::SetUserAgent(std::string_view value) { return SetHeader("User-Agent", value); }
bool HttpClient::SetReferer() { return SetHeader("Referer", url_); }
bool HttpClient::SetReferer(std::string_view value) { return SetHeader("Referer", value); }
bool HttpClient::SetAccept(std::string_view value) { return SetHeader("Accept", value); }
bool HttpClient::SetAcceptLanguage(std::string_view value) {
  return SetHeader("Accept-Language", value);
}
bool HttpClient::SetContentType(std::string_view value) { return SetHeader("Content-Type", value); }
bool HttpClient::MarkAjaxRequest() { return SetHeader("x-requested-with", "XMLHttpRequest"); }

bool HttpClient::SetClientAddress(std::string_view address) {
  if (requestHandle_ == 0) return false;
  std::string a(address);
  std::string block = "X-Forwarded-For:" + a + "\r\nCLIENT_IP:" + a + "\r\nVIA:" + a +
                      "\r\nREMOTE_ADDR:" + a;
  return api_.AddRequestHeaders(requestHandle_, block, kAddOrReplace);
}

}  // namespace http
