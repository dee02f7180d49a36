#include "resolver/shell/window_class_win.h"

namespace shell {

bool RegisterShellWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, HICON icon,
                              HICON smallIcon) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace shell
