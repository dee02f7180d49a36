#pragma once
// The Thanks window: two payment codes and a farewell line. It handles no events of its own.
#include <windows.h>

namespace shell {

// Opens a new Thanks window, not modal and without a parent window. False when it could not
// be made.
bool ShowThanks(HINSTANCE instance);

}  // namespace shell
