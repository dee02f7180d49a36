#pragma once
// Picture box: a child window class that shows the bytes of an image file (BMP, JPEG, GIF),
// scaled to its client area.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace shell {

extern const wchar_t kPictureBoxClass[];

bool RegisterPictureBoxClass(HINSTANCE instance);

// Decodes imageFile and shows it; an empty or undecodable block removes the picture.
// Returns whether a picture is shown.
bool SetPictureBoxImage(HWND box, const std::vector<uint8_t>& imageFile);

}  // namespace shell
