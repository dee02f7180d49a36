#include "resolver/shell/picture_box_win.h"
#include "resolver/shell/window_class_win.h"

#include <wincodec.h>

namespace shell {

const wchar_t kPictureBoxClass[] = L"QuillonPicture";

namespace {

// COM for the length of one decode, balanced: S_OK and S_FALSE both want their CoUninitialize,
// a thread already in another apartment model keeps its own.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  bool usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT hr_;
};

template <typename T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() {
    if (p) p->Release();
  }
  T** out() { return &p; }
  T* operator->() const { return p; }
};

}  // namespace

HBITMAP DecodeImageFile(const std::vector<uint8_t>& bytes) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return nullptr;
  ComScope com;
  if (!com.usable()) return nullptr;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  UINT width = 0, height = 0;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(factory.out()))) ||
      FAILED(factory->CreateStream(stream.out())) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand, decoder.out())) ||
      FAILED(decoder->GetFrame(0, frame.out())) || FAILED(factory->CreateFormatConverter(converter.out())) ||
      FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 8192 || height > 8192) {
    return nullptr;
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as WIC copies rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  const UINT stride = width * 4;
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
    DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}

namespace {

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
  return RegisterShellWindowClass(instance, kPictureBoxClass, PictureProc);
}

bool SetPictureBoxImage(HWND box, const std::vector<uint8_t>& imageFile) {
  HBITMAP bitmap = DecodeImageFile(imageFile);
  Replace(box, bitmap);
  return bitmap != nullptr;
}

}  // namespace shell
