#pragma once
// Standard Base64 (RFC 4648 alphabet A-Z a-z 0-9 + /, "=" padding), one line without breaks:
// the form the service's log ids take (that of CryptBinaryToStringA with
// CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF).
#include <string>
#include <string_view>

namespace share {

std::string Base64Encode(std::string_view bytes);

}  // namespace share
