#include "resolver/shell/thanks_window_win.h"
#include "resolver/shell/window_class_win.h"

#include <cstdint>
#include <vector>

#include "resolver/shell/gui_text_win.h"
#include "resolver/shell/picture_box_win.h"
#include "resources/resource_ids.h"

namespace shell {

namespace {

const wchar_t kThanksClass[] = L"QuillonThanks";
constexpr int kFarewellId = 3003;

// A group box with the payment service's name and its payment-code picture; picture position
// relative to the group box.
struct PaymentGroup {
  int groupId;
  const char* service;  // UTF-8 literal
  int x, y, width, height;
  int pictureId, pictureX, pictureY, pictureSize;
  int resource;  // RCDATA holding the picture's BMP file
};

const PaymentGroup kGroups[] = {
    {3001, "云杉钱包", 17, 8, 200, 200, 3011, 25, 28, 150, IDR_THANKS_PAY_A},
    {3002, "鹭鸶支付", 17, 215, 200, 200, 3012, 20, 24, 160, IDR_THANKS_PAY_B},
};

std::vector<uint8_t> ResourceBytes(HINSTANCE instance, int id) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(instance, found);
  const auto* data = static_cast<const uint8_t*>(LockResource(loaded));
  if (!data) return {};
  return std::vector<uint8_t>(data, data + SizeofResource(instance, found));
}

HWND Child(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, DWORD exStyle, int x, int y,
           int w, int h, int id, HINSTANCE instance, HFONT font) {
  HWND child = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (child && font) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

void CreateContents(HWND window, HINSTANCE instance, HFONT font) {
  for (const auto& g : kGroups) {
    HWND group = Child(window, L"BUTTON", WideLiteral(g.service), BS_GROUPBOX, 0, g.x, g.y, g.width, g.height,
                       g.groupId, instance, font);
    HWND picture = Child(group, kPictureBoxClass, L"", 0, 0, g.pictureX, g.pictureY, g.pictureSize,
                         g.pictureSize, g.pictureId, instance, nullptr);
    SetPictureBoxImage(picture, ResourceBytes(instance, g.resource));
  }
  Child(window, L"STATIC", WideLiteral("愿风指引你的道路..."), SS_LEFT, WS_EX_TRANSPARENT, 119, 426, 160, 32,
        kFarewellId, instance, font);
}

LRESULT CALLBACK ThanksProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: {
      HFONT font = CreateUiFont(-12);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(font));
      CreateContents(hwnd, reinterpret_cast<CREATESTRUCTW*>(lp)->hInstance, font);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lp)) == kFarewellId) {
        SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      }
      break;
    case WM_NCDESTROY:
      DeleteObject(reinterpret_cast<HFONT>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

bool RegisterThanksClass(HINSTANCE instance) {
  return RegisterShellWindowClass(instance, kThanksClass, ThanksProc);
}

}  // namespace

bool ShowThanks(HINSTANCE instance) {
  if (!RegisterThanksClass(instance) || !RegisterPictureBoxClass(instance)) return false;
  HWND window = CreateWindowExW(0, kThanksClass, L"Thanks", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 50, 50, 240,
                                496, nullptr, nullptr, instance, nullptr);
  if (!window) return false;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  return true;
}

}  // namespace shell
