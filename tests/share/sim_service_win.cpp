#include "tests/share/sim_service.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstdlib>

#include "base/codepage.h"
#include "base/text.h"
#include "resolver/json/json_document.h"

namespace share::testing {
namespace {

std::u16string U16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// The hooks write bytes as text of code points 0-255 and names as UTF-8 under \u escapes.
std::string Latin1(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out.push_back(static_cast<char>(c & 0xFF));
  return out;
}

struct HookDocument {
  explicit HookDocument(const std::string& utf8) {
    doc.ClearAt("");
    doc.ParseW(base::ToUtf16(utf8, base::CodePage::kUtf8), true);
  }
  std::string Bytes(const std::string& path) { return Latin1(doc.GetStringW(U16(path))); }
  std::string Utf8(const std::string& path) {
    return base::FromUtf16(doc.GetStringW(U16(path)), base::CodePage::kUtf8);
  }
  std::vector<std::pair<std::string, std::string>> Pairs(const std::string& path) {
    std::vector<std::pair<std::string, std::string>> out;
    for (int i = 0, n = doc.Count(path); i < n; ++i) {
      const std::string at = path + "[" + std::to_string(i) + "]";
      out.emplace_back(Bytes(at + ".[0]"), Bytes(at + ".[1]"));  // a[i][j] would read a[i]
    }
    return out;
  }
  json::JsonDocument doc;
};

std::string ReadFileText(const std::string& path) {
  std::string text;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

}  // namespace

std::string SimRequest::Header(const std::string& name) const {
  for (const auto& [key, value] : headers) {
    if (base::ToLowerAscii(key) == base::ToLowerAscii(name)) return value;
  }
  return {};
}

std::string SimRequest::Cookie(const std::string& name) const {
  for (const auto& [key, value] : cookies) {
    if (key == name) return value;
  }
  return {};
}

SimService& SimService::Get() {
  static SimService service;
  return service;
}

SimService::SimService() : http_(http::SystemInternetApi()) {
  http_.SetTimeouts(10000, 20000, 20000);
  const char* ready = std::getenv("QUILLON_SHARE_SIM");
  if (ready == nullptr) {
    problem_ = "QUILLON_SHARE_SIM (the simulator's ready file) is not set";
    return;
  }
  const std::string text = ReadFileText(ready);
  json::JsonDocument doc;
  doc.ClearAt("");
  const int64_t main = doc.Parse(text) ? doc.GetInteger("main_port") : 0;
  const int64_t dl = doc.GetInteger("dl_port");
  if (main <= 0 || dl <= 0) {
    problem_ = std::string("no ports in ") + ready + ": " + text;
    return;
  }
  hosts_ = ServiceHosts{"localhost:" + std::to_string(main), "127.0.0.1:" + std::to_string(dl)};
}

std::string SimService::Hook(const std::string& nameAndQuery) {
  http_.Open("GET", "http://" + hosts_.download + "/__sim/" + nameAndQuery);
  http_.Send();
  const http::Bytes body = http_.ReplyBytes();
  return std::string(body.begin(), body.end());
}

void SimService::Reset() { Hook("reset"); }

std::vector<SimRequest> SimService::Requests() {
  HookDocument reply(Hook("requests"));
  std::vector<SimRequest> out;
  for (int i = 0, n = reply.doc.Count("requests"); i < n; ++i) {
    const std::string at = "requests[" + std::to_string(i) + "].";
    SimRequest r;
    r.host = reply.Bytes(at + "host");
    r.scheme = reply.Bytes(at + "scheme");
    r.method = reply.Bytes(at + "method");
    r.target = reply.Bytes(at + "target");
    r.body = reply.Bytes(at + "body");
    r.headers = reply.Pairs(at + "headers");
    r.cookies = reply.Pairs(at + "cookies");
    out.push_back(std::move(r));
  }
  return out;
}

std::string SimService::CaptchaCode(const std::string& token) {
  return HookDocument(Hook("captcha?vcode_str=" + token)).Bytes("code");
}

void SimService::Scenario(const std::string& name, bool on) {
  Hook("scenario?name=" + name + "&on=" + (on ? "1" : "0"));
}

void SimService::Settings(const std::string& query) { Hook("settings?" + query); }

std::vector<SimFile> SimService::Files() {
  HookDocument reply(Hook("files"));
  std::vector<SimFile> out;
  for (int i = 0, n = reply.doc.Count("files"); i < n; ++i) {
    const std::string at = "files[" + std::to_string(i) + "].";
    out.push_back(SimFile{reply.Bytes(at + "surl"), reply.Utf8(at + "path"),
                          reply.doc.GetInteger(at + "fs_id"), reply.doc.GetInteger(at + "size"),
                          reply.Bytes(at + "md5")});
  }
  return out;
}

http::Bytes SimService::Download(const std::string& url, int* status) {
  http_.Open("GET", url);
  http_.Send();
  if (status != nullptr) *status = http_.StatusCode();
  return http_.ReplyBytes();
}

std::string Md5Hex(const http::Bytes& bytes) {
  HCRYPTPROV provider = 0;
  HCRYPTHASH hash = 0;
  std::string hex;
  if (CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
      CryptCreateHash(provider, CALG_MD5, 0, 0, &hash) &&
      CryptHashData(hash, bytes.data(), static_cast<DWORD>(bytes.size()), 0)) {
    BYTE digest[16];
    DWORD length = sizeof digest;
    if (CryptGetHashParam(hash, HP_HASHVAL, digest, &length, 0)) {
      static const char kHex[] = "0123456789abcdef";
      for (DWORD i = 0; i < length; ++i) {
        hex.push_back(kHex[digest[i] >> 4]);
        hex.push_back(kHex[digest[i] & 15]);
      }
    }
  }
  if (hash != 0) CryptDestroyHash(hash);
  if (provider != 0) CryptReleaseContext(provider, 0);
  return hex;
}

}  // namespace share::testing
