#include "resolver/shell/gui_text_win.h"

#include "resolver/shell/controls.h"

namespace shell {

std::wstring WindowTextW(HWND hwnd) {
  const LRESULT len = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  if (len <= 0) return {};
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  const LRESULT got = SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

HFONT CreateUiFont(int height) {
  LOGFONTW lf = {};
  lf.lfHeight = height;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = GB2312_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::wstring face = WideLiteral(kFontFace);
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

}  // namespace shell
