// http_download: reading speed of HttpClient against a bare InternetReadFile loop, over the
// real WinINet against tests/http/loopback_server.py (ports in QUILLON_HTTP_PORTS, see
// tests/http/run_with_server.sh). Prints each way's best of a few rounds and the ratios:
//   client/bare      throughput of HttpClient with Content-Length over the bare loop (target >= 0.9)
//   unknown/known    time of a body without Content-Length over one with it (target <= 1.5)
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resolver/http/http_client.h"

namespace {

constexpr size_t kBodySize = 100 * 1000 * 1000;
constexpr int kRounds = 3;

int PlainPort() {
  const char* env = std::getenv("QUILLON_HTTP_PORTS");
  const char* at = env ? std::strstr(env, "plain=") : nullptr;
  return at ? std::atoi(at + 6) : 0;
}

std::string Path(const char* mode) {
  return "/bench/body?size=" + std::to_string(kBodySize) + "&mode=" + mode;
}

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The reference: the same request flags, one 1 MiB buffer, bytes counted and dropped.
double BareLoop(int port, size_t* bytes) {
  auto start = std::chrono::steady_clock::now();
  HINTERNET root = InternetOpenA("bench", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connect = InternetConnectA(root, "127.0.0.1", static_cast<INTERNET_PORT>(port),
                                       nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                INTERNET_FLAG_NO_AUTO_REDIRECT;
  HINTERNET request = HttpOpenRequestA(connect, "GET", Path("length").c_str(), "HTTP/1.1",
                                       nullptr, nullptr, flags, 0);
  *bytes = 0;
  if (request && HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
    std::vector<char> buffer(1 << 20);
    DWORD got = 0;
    while (InternetReadFile(request, buffer.data(), static_cast<DWORD>(buffer.size()), &got) &&
           got > 0) {
      *bytes += got;
    }
  }
  InternetCloseHandle(request);
  InternetCloseHandle(connect);
  InternetCloseHandle(root);
  return Seconds(start);
}

double Client(int port, const char* mode, size_t* bytes) {
  auto start = std::chrono::steady_clock::now();
  http::HttpClient client(http::SystemInternetApi());
  client.SetMaxReplyBytes(128LL * 1024 * 1024);
  client.Open("GET", "http://127.0.0.1:" + std::to_string(port) + Path(mode));
  client.Send();
  *bytes = client.ReplyBytes().size();
  return Seconds(start);
}

template <typename Run>
double Best(const char* name, Run run) {
  double best = 1e9;
  for (int i = 0; i < kRounds; ++i) {
    size_t bytes = 0;
    double t = run(&bytes);
    if (bytes != kBodySize) {
      std::printf("%s: got %zu bytes, expected %zu\n", name, bytes, kBodySize);
      std::exit(1);
    }
    best = std::min(best, t);
  }
  std::printf("%-28s %7.3f s  %7.1f MB/s\n", name, best, kBodySize / best / 1e6);
  return best;
}

}  // namespace

int main() {
  int port = PlainPort();
  if (port == 0) {
    std::printf("QUILLON_HTTP_PORTS is not set: run through tests/http/run_with_server.sh\n");
    return 1;
  }
  std::printf("100 MB from the loopback server, best of %d rounds\n", kRounds);
  double bare = Best("bare InternetReadFile loop", [&](size_t* b) { return BareLoop(port, b); });
  double known = Best("HttpClient, Content-Length", [&](size_t* b) { return Client(port, "length", b); });
  double unknown = Best("HttpClient, no length", [&](size_t* b) { return Client(port, "close", b); });
  std::printf("client/bare throughput      %.2fx (target >= 0.9)\n", bare / known);
  std::printf("unknown/known time          %.2fx (target <= 1.5)\n", unknown / known);
  return 0;
}
