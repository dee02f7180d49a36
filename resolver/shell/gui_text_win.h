#pragma once
// Text at the window boundary: the program's CP936 bytes go to Windows as UTF-16 through the
// W APIs, so they read right whatever the system's ANSI code page is.
#include <windows.h>

#include <string>
#include <string_view>

#include "base/codepage.h"
#include "base/gbk_literal.h"

namespace shell {

inline std::wstring Wide(std::string_view cp936) {
  const std::u16string w = base::ToUtf16(cp936, base::CodePage::kGbk);
  return std::wstring(w.begin(), w.end());
}

// A UTF-8 literal of the source (a caption, a column title) as Windows wants it.
inline std::wstring WideLiteral(const char* utf8) { return Wide(base::Gbk(utf8)); }

inline std::string Narrow(std::wstring_view w) {
  return base::FromUtf16(std::u16string(w.begin(), w.end()), base::CodePage::kGbk);
}

// The window's text through WM_GETTEXT (works for controls of other threads too).
std::wstring WindowTextW(HWND hwnd);

// "微软雅黑", normal weight, GB2312 character set; height in logical units (negative).
HFONT CreateUiFont(int height);

}  // namespace shell
