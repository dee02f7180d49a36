#include "resolver/share/share_client.h"

#include <utility>

#include "resolver/share/error_text.h"

namespace share {

ShareClient::ShareClient(http::InternetApi& api, ServiceHosts hosts)
    : hosts_(std::move(hosts)), http_(api) {
  http_.SetCookieMode(http::HttpClient::kOwnCookies);
}

ShareClient::~ShareClient() = default;

std::string ShareClient::ErrorText(int32_t errnum) { return share::ErrorText(errnum); }

void ShareClient::SetShare(const std::string& url, const std::string& password) {
  info_.url = url;
  info_.pwd = password;
}

std::string ShareClient::Get(const std::string& url) {
  http_.Open("GET", url);
  http_.Send();
  return http_.ReplyText();
}

}  // namespace share
