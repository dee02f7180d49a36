// InternetApi bound to WinINet's A functions. Texts pass through as CP936 bytes; WinINet's
// ANSI side is the code page of the machine, which is what these calls have always used.
#include <windows.h>
#include <wininet.h>

#include "resolver/http/internet_api.h"

namespace http {
namespace {

// INTERNET_PROXY_INFO as InternetSetOptionA reads it: the header's struct takes the UNICODE
// build's wide pointers, the A function reads byte strings.
struct ProxyInfoA {
  DWORD dwAccessType;
  LPCSTR lpszProxy;
  LPCSTR lpszProxyBypass;
};
static_assert(sizeof(ProxyInfoA) == sizeof(INTERNET_PROXY_INFO));

HINTERNET H(Handle handle) { return reinterpret_cast<HINTERNET>(handle); }
Handle ToHandle(HINTERNET handle) { return reinterpret_cast<Handle>(handle); }

class WinInetApi final : public InternetApi {
 public:
  Handle Open(const std::string& agent, uint32_t accessType, uint32_t flags) override {
    return ToHandle(InternetOpenA(agent.c_str(), accessType, nullptr, nullptr, flags));
  }

  Handle Connect(Handle internet, const std::string& host, uint16_t port, uint32_t service,
                 uint32_t flags) override {
    return ToHandle(InternetConnectA(H(internet), host.c_str(), port, nullptr, nullptr, service,
                                     flags, 0));
  }

  Handle OpenRequest(Handle connect, const std::string& method, const std::string& path,
                     const std::string& version, uint32_t flags) override {
    return ToHandle(HttpOpenRequestA(H(connect), method.c_str(), path.c_str(), version.c_str(),
                                     nullptr, nullptr, flags, 0));
  }

  bool AddRequestHeaders(Handle request, const std::string& lines, uint32_t flags) override {
    return HttpAddRequestHeadersA(H(request), lines.c_str(), static_cast<DWORD>(lines.size()),
                                  flags) != FALSE;
  }

  bool SetOption(Handle handle, uint32_t option, const void* value, uint32_t length) override {
    if (option == INTERNET_OPTION_PROXY) {
      const ProxyInfo& info = *static_cast<const ProxyInfo*>(value);
      ProxyInfoA native{info.accessType, info.proxy.c_str(), info.bypass.c_str()};
      return InternetSetOptionA(H(handle), option, &native, sizeof native) != FALSE;
    }
    return InternetSetOptionA(H(handle), option, const_cast<void*>(value), length) != FALSE;
  }

  bool SendRequest(Handle request, const void* body, uint32_t length) override {
    return HttpSendRequestA(H(request), nullptr, 0, const_cast<void*>(body), length) != FALSE;
  }

  bool QueryInfo(Handle request, uint32_t level, void* buffer, uint32_t* length) override {
    DWORD size = *length;
    BOOL ok = HttpQueryInfoA(H(request), level, buffer, &size, nullptr);
    *length = size;
    return ok != FALSE;
  }

  bool ReadFile(Handle request, void* buffer, uint32_t toRead, uint32_t* read) override {
    DWORD got = 0;
    BOOL ok = InternetReadFile(H(request), buffer, toRead, &got);
    *read = got;
    return ok != FALSE;
  }

  bool SetCookie(const std::string& url, const std::string& name,
                 const std::string& data) override {
    return InternetSetCookieA(url.c_str(), name.c_str(), data.c_str()) != FALSE;
  }

  bool CloseHandle(Handle handle) override { return InternetCloseHandle(H(handle)) != FALSE; }

  uint32_t LastError() override { return GetLastError(); }
};

}  // namespace

InternetApi& SystemInternetApi() {
  static WinInetApi api;
  return api;
}

}  // namespace http
