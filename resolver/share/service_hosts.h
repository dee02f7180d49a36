#pragma once
// The two web hosts of the share service, as host[:port] without scheme or slash:
// "localhost:47443" (share pages, password check, folder listing, captcha; http and https)
// and "127.0.0.1:47080" (the download-link API). The programs pass build-time settings.
#include <string>

namespace share {

struct ServiceHosts {
  std::string main;
  std::string download;
};

}  // namespace share
