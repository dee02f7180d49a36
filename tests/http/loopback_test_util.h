#pragma once
// Meeting the loopback server from a test running under Wine: its ports come in the
// environment (QUILLON_HTTP_PORTS, set by run_with_server.sh), what it received comes back
// from GET /_log/<token>.
#include <cstdlib>
#include <string>
#include <vector>

#include "resolver/http/http_client.h"

namespace http::testing {

struct LoopbackPorts {
  int plain = 0, tls = 0, rogue = 0, refused = 0;
};

inline LoopbackPorts ReadLoopbackPorts() {
  LoopbackPorts ports;
  const char* env = std::getenv("QUILLON_HTTP_PORTS");
  std::string text = env ? env : "";
  auto value = [&](const std::string& key) {
    size_t at = text.find(key + "=");
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + key.size() + 1);
  };
  ports.plain = value("plain");
  ports.tls = value("tls");
  ports.rogue = value("rogue");
  ports.refused = value("refused");
  return ports;
}

struct ReceivedRequest {
  std::string method, path, body;
  std::vector<std::pair<std::string, std::string>> headers;

  // The value of a header (name in any case, value trimmed); nullptr-like "" with found false.
  bool Has(const std::string& name, std::string* value = nullptr) const;
};

// The requests the server recorded under token, fetched with a client of its own.
std::vector<ReceivedRequest> ReceivedRequests(int port, const std::string& token);

// Byte p of the server's pattern bodies.
inline uint8_t PatternByte(size_t p) { return static_cast<uint8_t>((p * 31 + 7) & 0xFF); }
bool IsPattern(const Bytes& bytes);

}  // namespace http::testing
