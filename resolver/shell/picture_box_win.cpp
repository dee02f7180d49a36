#include "resolver/shell/picture_box_win.h"

#include <olectl.h>

namespace shell {

const wchar_t kPictureBoxClass[] = L"QuillonPicture";

namespace {

// An image file decoded into a DIB section by OLE's picture loader.
HBITMAP DecodeImage(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return nullptr;
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!mem) return nullptr;
  void* p = GlobalLock(mem);
  memcpy(p, bytes.data(), bytes.size());
  GlobalUnlock(mem);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &stream))) {
    GlobalFree(mem);
    return nullptr;
  }
  IPicture* picture = nullptr;
  HBITMAP copy = nullptr;
  if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                               reinterpret_cast<void**>(&picture)))) {
    short type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
        SUCCEEDED(picture->get_Handle(&handle))) {
      copy = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    picture->Release();
  }
  stream->Release();
  return copy;
}

HBITMAP Shown(HWND box) { return reinterpret_cast<HBITMAP>(GetWindowLongPtrW(box, GWLP_USERDATA)); }

void Replace(HWND box, HBITMAP bitmap) {
  if (HBITMAP old = Shown(box)) DeleteObject(old);
  SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bitmap));
  InvalidateRect(box, nullptr, TRUE);
}

void Paint(HWND box) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(box, &ps);
  if (HBITMAP bitmap = Shown(box)) {
    RECT rc;
    GetClientRect(box, &rc);
    BITMAP info;
    GetObjectW(bitmap, sizeof info, &info);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bitmap);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  EndPaint(box, &ps);
}

LRESULT CALLBACK PictureProc(HWND box, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      Paint(box);
      return 0;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_NCDESTROY:
      Replace(box, nullptr);
      break;
  }
  return DefWindowProcW(box, msg, wp, lp);
}

}  // namespace

bool RegisterPictureBoxClass(HINSTANCE instance) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = PictureProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kPictureBoxClass;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool SetPictureBoxImage(HWND box, const std::vector<uint8_t>& imageFile) {
  HBITMAP bitmap = DecodeImage(imageFile);
  Replace(box, bitmap);
  return bitmap != nullptr;
}

}  // namespace shell
