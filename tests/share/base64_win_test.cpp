// The portable Base64 against the system's CryptBinaryToStringA, on inputs of every length
// remainder and every byte value.
#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <string>

#include "resolver/share/base64.h"

namespace share {
namespace {

std::string SystemBase64(const std::string& bytes) {
  const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
  const auto* data = reinterpret_cast<const BYTE*>(bytes.data());
  DWORD size = 0;
  if (!CryptBinaryToStringA(data, static_cast<DWORD>(bytes.size()), flags, nullptr, &size)) {
    return "<size query failed>";
  }
  std::string out(size, '\0');
  if (!CryptBinaryToStringA(data, static_cast<DWORD>(bytes.size()), flags, out.data(), &size)) {
    return "<conversion failed>";
  }
  out.resize(size);
  return out;
}

TEST(Base64WinTest, EqualsCryptBinaryToString) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string cases[] = {
      "f", "fo", "foo", "1504767600123.1234567890123456789", all, all.substr(1), all.substr(2),
      std::string(100, '\xFF')};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size());
    EXPECT_EQ(Base64Encode(c), SystemBase64(c));
  }
}

}  // namespace
}  // namespace share
