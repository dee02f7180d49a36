#pragma once
// Code page conversion with the code page always named: 936 (the program's own text) or
// 65001 (UTF-8, the service's bodies). Never the machine's ANSI code page.
//
// Decoding (bytes -> UTF-16): a byte sequence that is no character of the code page becomes
// U+FFFD, one per offending byte; decoding never fails and never drops text silently.
// Encoding (UTF-16 -> bytes): for 936 a character the code page lacks (and an unpaired
// surrogate) becomes "?"; for 65001 an unpaired surrogate becomes U+FFFD (EF BF BD).
#include <string>
#include <string_view>

namespace base {

enum class CodePage : unsigned { kGbk = 936, kUtf8 = 65001 };

std::u16string ToUtf16(std::string_view bytes, CodePage cp);
std::string FromUtf16(std::u16string_view text, CodePage cp);

inline std::string Cp936ToUtf8(std::string_view gbk) {
  return FromUtf16(ToUtf16(gbk, CodePage::kGbk), CodePage::kUtf8);
}
inline std::string Utf8ToCp936(std::string_view utf8) {
  return FromUtf16(ToUtf16(utf8, CodePage::kUtf8), CodePage::kGbk);
}

}  // namespace base
