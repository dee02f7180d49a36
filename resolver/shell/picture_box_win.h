#pragma once
// Picture box: a child window class that shows the bytes of an image file (BMP, PNG, JPEG, GIF:
// whatever the system's imaging component decodes), scaled to its client area.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace shell {

extern const wchar_t kPictureBoxClass[];

bool RegisterPictureBoxClass(HINSTANCE instance);

// The first frame of an image file as a top-down 32-bit DIB section owned by the caller;
// nullptr when the bytes are no image the system decodes (or a cut one).
HBITMAP DecodeImageFile(const std::vector<uint8_t>& imageFile);

// Decodes imageFile and shows it; an empty or undecodable block removes the picture.
// Returns whether a picture is shown.
bool SetPictureBoxImage(HWND box, const std::vector<uint8_t>& imageFile);

}  // namespace shell
