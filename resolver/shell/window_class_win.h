#pragma once
// Registration of the shell's window classes: arrow cursor, button-face background, the
// given procedure and icon. Registering a class that already exists counts as success, so
// tests may create a window class more than once per process.
#include <windows.h>

namespace shell {

bool RegisterShellWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc,
                              HICON icon = nullptr, HICON smallIcon = nullptr);

}  // namespace shell
