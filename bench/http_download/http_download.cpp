// http_download: reading speed of HttpClient against a bare InternetReadFile loop, over the
// real WinINet against tests/http/loopback_server.py (ports in QUILLON_HTTP_PORTS, see
// tests/http/run_with_server.sh). Prints each way's best of a few rounds and the ratios:
//   client/bare      throughput of HttpClient with Content-Length over the bare loop that keeps
//                    the body in memory as the client does (target >= 0.9); the loop that drops
//                    each piece is printed too, as the ceiling
//   unknown/known    time of a body without Content-Length over one with it (target <= 1.5)
// Each HttpClient way is measured looking at the body in place (ReplyView) and copying it out
// (ReplyBytes, a new value for the caller).
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "resolver/http/http_client.h"

namespace {

constexpr size_t kBodySize = 100 * 1000 * 1000;
constexpr int kRounds = 5;

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

// The reference: the same request flags, reads of at most 1 MiB, either into one buffer of the
// body's size (keep) or into one 1 MiB buffer whose bytes are dropped.
double BareLoop(int port, const char* mode, bool keep, size_t* bytes) {
  auto start = std::chrono::steady_clock::now();
  HINTERNET root = InternetOpenA("bench", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connect = InternetConnectA(root, "127.0.0.1", static_cast<INTERNET_PORT>(port),
                                       nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                INTERNET_FLAG_NO_AUTO_REDIRECT;
  HINTERNET request = HttpOpenRequestA(connect, "GET", Path(mode).c_str(), "HTTP/1.1",
                                       nullptr, nullptr, flags, 0);
  *bytes = 0;
  if (request && HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
    std::unique_ptr<char[]> buffer(new char[keep ? kBodySize + 1 : 1 << 20]);
    DWORD got = 0;
    while (true) {
      char* at = buffer.get() + (keep ? *bytes : 0);
      DWORD want = keep ? static_cast<DWORD>(std::min<size_t>(kBodySize + 1 - *bytes, 1 << 20))
                        : 1 << 20;
      if (want == 0 || !InternetReadFile(request, at, want, &got) || got == 0) break;
      *bytes += got;
    }
  }
  InternetCloseHandle(request);
  InternetCloseHandle(connect);
  InternetCloseHandle(root);
  return Seconds(start);
}

// The body read by HttpClient and looked at in place (ReplyView) or copied out (ReplyBytes).
double Client(int port, const char* mode, bool copy, size_t* bytes) {
  auto start = std::chrono::steady_clock::now();
  http::HttpClient client(http::SystemInternetApi());
  client.SetMaxReplyBytes(128LL * 1024 * 1024);
  client.Open("GET", "http://127.0.0.1:" + std::to_string(port) + Path(mode));
  client.Send();
  *bytes = copy ? client.ReplyBytes().size() : client.ReplyView().size();
  return Seconds(start);
}

struct Way {
  const char* name;
  std::function<double(size_t*)> run;
  double best = 1e9;
};

// Rounds go through every way in turn, so that a busy moment of the machine hits all alike;
// each way keeps its best time.
void Measure(std::vector<Way>& ways) {
  for (int i = 0; i < kRounds; ++i) {
    for (Way& way : ways) {
      size_t bytes = 0;
      double t = way.run(&bytes);
      if (bytes != kBodySize) {
        std::printf("%s: got %zu bytes, expected %zu\n", way.name, bytes, kBodySize);
        std::exit(1);
      }
      way.best = std::min(way.best, t);
    }
  }
  for (const Way& way : ways) {
    std::printf("%-32s %7.3f s  %7.1f MB/s\n", way.name, way.best, kBodySize / way.best / 1e6);
  }
}

}  // namespace

int main() {
  int port = PlainPort();
  if (port == 0) {
    std::printf("QUILLON_HTTP_PORTS is not set: run through tests/http/run_with_server.sh\n");
    return 1;
  }
  std::printf("100 MB from the loopback server, best of %d interleaved rounds\n", kRounds);
  std::vector<Way> ways = {
      {"bare loop, length, dropped", [&](size_t* b) { return BareLoop(port, "length", false, b); }},
      {"bare loop, length, kept", [&](size_t* b) { return BareLoop(port, "length", true, b); }},
      {"bare loop, no length, kept", [&](size_t* b) { return BareLoop(port, "close", true, b); }},
      {"HttpClient, length, view", [&](size_t* b) { return Client(port, "length", false, b); }},
      {"HttpClient, no length, view", [&](size_t* b) { return Client(port, "close", false, b); }},
      {"HttpClient, length, bytes", [&](size_t* b) { return Client(port, "length", true, b); }},
      {"HttpClient, no length, bytes", [&](size_t* b) { return Client(port, "close", true, b); }},
  };
  Measure(ways);
  double bare = ways[1].best, known = ways[3].best, unknown = ways[4].best;
  double knownCopy = ways[5].best, unknownCopy = ways[6].best;
  std::printf("client/bare throughput      %.2fx view, %.2fx bytes (target >= 0.9)\n", bare / known,
              bare / knownCopy);
  std::printf("unknown/known time          %.2fx view, %.2fx bytes (target <= 1.5)\n",
              unknown / known, unknownCopy / knownCopy);
  std::printf("bare loop unknown/known     %.2fx (WinINet's own share)\n", ways[2].best / bare);
  return 0;
}
