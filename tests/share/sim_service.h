#pragma once
// The share-service simulator as the integration tests see it: its two hosts, read from the
// ready file named by the environment variable QUILLON_SHARE_SIM, and its test hooks
// (/__sim/...), asked through the real WinINet.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "resolver/http/http_client.h"
#include "resolver/share/service_hosts.h"

namespace share::testing {

struct SimRequest {
  std::string host;  // "main" or "dl"
  std::string scheme, method, target;
  std::string body;  // bytes as received
  std::vector<std::pair<std::string, std::string>> headers, cookies;
  // Value of the first header of that name (any case), "" when none.
  std::string Header(const std::string& name) const;
  std::string Cookie(const std::string& name) const;
};

struct SimFile {
  std::string surl;
  std::string path;  // UTF-8
  int64_t fs_id = 0;
  int64_t size = 0;
  std::string md5;  // lower-case hex
};

class SimService {
 public:
  // The one simulator of this test run; Ready() tells whether its ready file was read.
  static SimService& Get();

  bool Ready() const { return !hosts_.main.empty(); }
  const std::string& Problem() const { return problem_; }
  const ServiceHosts& Hosts() const { return hosts_; }
  // "https://localhost:N" + path.
  std::string MainUrl(const std::string& path) const { return "https://" + hosts_.main + path; }

  void Reset();
  std::vector<SimRequest> Requests();
  std::string CaptchaCode(const std::string& token);
  void Scenario(const std::string& name, bool on);
  void Settings(const std::string& query);  // e.g. "stall_seconds=1"
  std::vector<SimFile> Files();
  // GET of a download link; the body bytes (empty on failure) and the status code.
  http::Bytes Download(const std::string& url, int* status = nullptr);

 private:
  SimService();
  std::string Hook(const std::string& nameAndQuery);  // UTF-8 JSON text

  http::HttpClient http_;
  ServiceHosts hosts_;
  std::string problem_;
};

// Lower-case hex MD5 of bytes (through the system's crypto provider).
std::string Md5Hex(const http::Bytes& bytes);

}  // namespace share::testing
