#pragma once
// The WinINet calls the HTTP client makes, as an interface: the real WinINet behind it in the
// Windows build (internet_api_win.cpp), a scripted fake in the tests. Flags, options, query
// levels and error numbers are WinINet's own numbers.
//
// Texts are CP936 bytes and go to WinINet's A functions unchanged. A handle of 0 is "none".
#include <cstdint>
#include <string>

namespace http {

using Handle = std::uintptr_t;

namespace wininet {
// InternetOpenA access types.
constexpr uint32_t kOpenTypeDirect = 1;
constexpr uint32_t kOpenTypeProxy = 3;
// InternetConnectA service.
constexpr uint32_t kServiceHttp = 3;

// HttpOpenRequestA flags.
constexpr uint32_t kFlagReload = 0x80000000;
constexpr uint32_t kFlagNoCacheWrite = 0x04000000;
constexpr uint32_t kFlagSecure = 0x00800000;
constexpr uint32_t kFlagNoAutoRedirect = 0x00200000;
constexpr uint32_t kFlagNoCookies = 0x00080000;
constexpr uint32_t kFlagIgnoreRedirectToHttps = 0x00004000;
constexpr uint32_t kFlagIgnoreCertDateInvalid = 0x00002000;
constexpr uint32_t kFlagIgnoreCertCnInvalid = 0x00001000;

// HttpAddRequestHeadersA flags.
constexpr uint32_t kAddIfNew = 0x10000000;
constexpr uint32_t kAdd = 0x20000000;
constexpr uint32_t kReplace = 0x80000000;
constexpr uint32_t kAddOrReplace = kAdd | kReplace;

// InternetSetOptionA options.
constexpr uint32_t kOptionConnectTimeout = 2;
constexpr uint32_t kOptionSendTimeout = 5;
constexpr uint32_t kOptionReceiveTimeout = 6;
constexpr uint32_t kOptionUsername = 28;
constexpr uint32_t kOptionPassword = 29;
constexpr uint32_t kOptionSecurityFlags = 31;
constexpr uint32_t kOptionProxy = 38;
constexpr uint32_t kOptionProxyUsername = 43;
constexpr uint32_t kOptionProxyPassword = 44;
constexpr uint32_t kOptionHttpDecoding = 65;

// SECURITY_FLAG_IGNORE_REVOCATION | _UNKNOWN_CA | _WRONG_USAGE | _CERT_CN_INVALID |
// _CERT_DATE_INVALID | _REDIRECT_TO_HTTPS | _REDIRECT_TO_HTTP | _WEAK_SIGNATURE.
constexpr uint32_t kSecurityIgnoreAll = 0x1F380;

// HttpQueryInfoA levels.
constexpr uint32_t kQueryStatusCode = 19;
constexpr uint32_t kQueryStatusText = 20;
constexpr uint32_t kQueryRawHeadersCrlf = 22;

// GetLastError values.
constexpr uint32_t kErrorInsufficientBuffer = 122;
constexpr uint32_t kErrorTimeout = 12002;
constexpr uint32_t kErrorNameNotResolved = 12007;
constexpr uint32_t kErrorHeaderNotFound = 12150;
constexpr uint32_t kErrorHttpInvalidHeader = 12153;  // Wine's answer to ADD_IF_NEW of a present name
constexpr uint32_t kErrorHeaderAlreadyExists = 12155;
constexpr uint32_t kErrorCannotConnect = 12029;
constexpr uint32_t kErrorConnectionAborted = 12030;  // Wine's answer to a receive time-out
constexpr uint32_t kErrorConnectionReset = 12031;
constexpr uint32_t kErrorSecCertCnInvalid = 12038;
constexpr uint32_t kErrorInvalidCa = 12045;
constexpr uint32_t kErrorSecCertRevFailed = 12057;
constexpr uint32_t kErrorSecInvalidCert = 12169;
}  // namespace wininet

// The value of kOptionProxy: the binding turns it into WinINet's INTERNET_PROXY_INFO, whose
// size (12 bytes in a 32-bit process) is the length given with it.
struct ProxyInfo {
  uint32_t accessType = wininet::kOpenTypeDirect;
  std::string proxy;
  std::string bypass;
};
constexpr uint32_t kProxyInfoLength = 12;

class InternetApi {
 public:
  virtual ~InternetApi() = default;

  // InternetOpenA(agent, accessType, no proxy, no bypass, flags).
  virtual Handle Open(const std::string& agent, uint32_t accessType, uint32_t flags) = 0;
  // InternetConnectA(internet, host, port, no user, no password, service, flags, 0).
  virtual Handle Connect(Handle internet, const std::string& host, uint16_t port,
                         uint32_t service, uint32_t flags) = 0;
  // HttpOpenRequestA(connect, method, path, version, no referrer, no accept types, flags, 0).
  virtual Handle OpenRequest(Handle connect, const std::string& method, const std::string& path,
                             const std::string& version, uint32_t flags) = 0;
  // HttpAddRequestHeadersA(request, lines, their length, flags).
  virtual bool AddRequestHeaders(Handle request, const std::string& lines, uint32_t flags) = 0;
  // InternetSetOptionA(handle, option, value, length). Text options pass the text's bytes,
  // number options a uint32_t, kOptionProxy a ProxyInfo.
  virtual bool SetOption(Handle handle, uint32_t option, const void* value, uint32_t length) = 0;
  // HttpSendRequestA(request, no extra headers, 0, body, length).
  virtual bool SendRequest(Handle request, const void* body, uint32_t length) = 0;
  // HttpQueryInfoA(request, level, buffer, length, no index). As WinINet: a buffer too small
  // fails with kErrorInsufficientBuffer and sets *length to the bytes needed (with the NUL);
  // success sets *length to the text's length without the NUL.
  virtual bool QueryInfo(Handle request, uint32_t level, void* buffer, uint32_t* length) = 0;
  // InternetReadFile(request, buffer, toRead, read). TRUE with *read 0 is the end of the body.
  virtual bool ReadFile(Handle request, void* buffer, uint32_t toRead, uint32_t* read) = 0;
  // InternetSetCookieA(url, name, data).
  virtual bool SetCookie(const std::string& url, const std::string& name,
                         const std::string& data) = 0;
  virtual bool CloseHandle(Handle handle) = 0;
  // GetLastError() right after a failed call.
  virtual uint32_t LastError() = 0;
};

// The real WinINet (Windows build only, library quillon_http_win). One object for the process;
// WinINet keeps no per-caller state in it apart from the last error of the calling thread.
InternetApi& SystemInternetApi();

}  // namespace http
