#include <windows.h>

#include "base/codepage.h"

namespace base {

std::u16string ToUtf16(std::string_view bytes, CodePage cp) {
  if (bytes.empty()) return {};
  const int n = static_cast<int>(bytes.size());
  int len = MultiByteToWideChar(static_cast<UINT>(cp), 0, bytes.data(), n, nullptr, 0);
  if (len <= 0) return {};
  std::u16string out(static_cast<size_t>(len), u'\0');
  MultiByteToWideChar(static_cast<UINT>(cp), 0, bytes.data(), n, reinterpret_cast<wchar_t*>(&out[0]), len);
  return out;
}

std::string FromUtf16(std::u16string_view text, CodePage cp) {
  if (text.empty()) return {};
  const auto* w = reinterpret_cast<const wchar_t*>(text.data());
  const int n = static_cast<int>(text.size());
  int len = WideCharToMultiByte(static_cast<UINT>(cp), 0, w, n, nullptr, 0, nullptr, nullptr);
  if (len <= 0) return {};
  std::string out(static_cast<size_t>(len), '\0');
  WideCharToMultiByte(static_cast<UINT>(cp), 0, w, n, &out[0], len, nullptr, nullptr);
  return out;
}

}  // namespace base
