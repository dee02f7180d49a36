#include "tests/http/loopback_test_util.h"

#include "base/text.h"

namespace http::testing {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t from = 0;
  while (from < text.size()) {
    size_t eol = text.find("\r\n", from);
    if (eol == std::string::npos) eol = text.size();
    lines.push_back(text.substr(from, eol - from));
    from = eol + 2;
  }
  return lines;
}

}  // namespace

bool ReceivedRequest::Has(const std::string& name, std::string* value) const {
  for (const auto& [n, v] : headers) {
    if (base::ToLowerAscii(n) == base::ToLowerAscii(name)) {
      if (value) *value = base::TrimSpaces(v);
      return true;
    }
  }
  return false;
}

std::vector<ReceivedRequest> ReceivedRequests(int port, const std::string& token) {
  HttpClient client(SystemInternetApi());
  client.Open("GET", "http://127.0.0.1:" + std::to_string(port) + "/_log/" + token);
  client.Send();
  std::vector<ReceivedRequest> out;
  for (const std::string& line : Lines(client.ReplyRawText())) {
    if (line.rfind("REQUEST ", 0) == 0) {
      ReceivedRequest r;
      size_t space = line.find(' ', 8);
      r.method = line.substr(8, space - 8);
      r.path = line.substr(space + 1);
      out.push_back(r);
    } else if (line.rfind("H ", 0) == 0 && !out.empty()) {
      size_t colon = line.find(':');
      out.back().headers.emplace_back(line.substr(2, colon - 2), line.substr(colon + 1));
    } else if (line.rfind("B ", 0) == 0 && !out.empty()) {
      out.back().body = line.substr(2);
    }
  }
  return out;
}

bool IsPattern(const Bytes& bytes) {
  for (size_t p = 0; p < bytes.size(); ++p) {
    if (bytes[p] != PatternByte(p)) return false;
  }
  return true;
}

}  // namespace http::testing
