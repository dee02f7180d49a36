#include "gui_driver.h"

#include <commctrl.h>

namespace gui_driver {

namespace {

struct FindState {
  const std::wstring* caption;
  size_t minChildren;
  HWND found;
};

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<size_t*>(count);
  return TRUE;
}

size_t CountDescendants(HWND top) {
  size_t n = 0;
  EnumChildWindows(top, CountChild, reinterpret_cast<LPARAM>(&n));
  return n;
}

BOOL CALLBACK MatchTop(HWND hwnd, LPARAM arg) {
  auto* s = reinterpret_cast<FindState*>(arg);
  if (!IsWindowVisible(hwnd) || GetText(hwnd) != *s->caption) return TRUE;
  if (CountDescendants(hwnd) < s->minChildren) return TRUE;
  s->found = hwnd;
  return FALSE;
}

// Also windows being hidden or destroyed count: "gone" means no window of that caption at all.
BOOL CALLBACK MatchAnyWithCaption(HWND hwnd, LPARAM arg) {
  auto* s = reinterpret_cast<FindState*>(arg);
  if (GetText(hwnd) != *s->caption) return TRUE;
  s->found = hwnd;
  return FALSE;
}

HWND FindNow(const std::wstring& caption, size_t minChildren) {
  FindState s{&caption, minChildren, nullptr};
  EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

BOOL CALLBACK Collect(HWND hwnd, LPARAM arg) {
  auto* out = reinterpret_cast<std::vector<ControlInfo>*>(arg);
  ControlInfo c = {};
  c.hwnd = hwnd;
  c.id = GetDlgCtrlID(hwnd);
  HWND parent = GetParent(hwnd);
  c.parentId = (GetWindowLongW(parent, GWL_STYLE) & WS_CHILD) ? GetDlgCtrlID(parent) : 0;
  wchar_t cls[256] = {};
  GetClassNameW(hwnd, cls, 256);
  c.cls = cls;
  c.text = GetText(hwnd);
  GetWindowRect(hwnd, &c.rect);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&c.rect), 2);
  c.visible = IsWindowVisible(hwnd) != FALSE;
  c.enabled = IsWindowEnabled(hwnd) != FALSE;
  c.style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
  c.exStyle = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE));
  out->push_back(c);
  return TRUE;
}

// A block of memory inside the list view's process, freed on scope exit.
class RemoteBlock {
 public:
  RemoteBlock(HWND window, size_t size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBlock() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;

  bool ok() const { return address_ != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(size_t offset, const void* data, size_t size) const {
    return WriteProcessMemory(process_, at(offset), data, size, nullptr) != FALSE;
  }
  bool Read(size_t offset, void* data, size_t size) const {
    return ReadProcessMemory(process_, at(offset), data, size, nullptr) != FALSE;
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

constexpr size_t kTextChars = 1024;

// Sends msg with an LV structure (and a text buffer behind it) placed in the target process.
template <typename T>
bool RemoteCall(HWND list, UINT msg, WPARAM wp, T* local, std::wstring* text, LRESULT* result) {
  RemoteBlock block(list, sizeof(T) + kTextChars * sizeof(wchar_t));
  if (!block.ok()) return false;
  if (text) {
    local->pszText = reinterpret_cast<wchar_t*>(block.at(sizeof(T)));
    local->cchTextMax = static_cast<int>(kTextChars);
  }
  if (!block.Write(0, local, sizeof(T))) return false;
  const LRESULT r = SendMessageW(list, msg, wp, reinterpret_cast<LPARAM>(block.at(0)));
  if (result) *result = r;
  if (!block.Read(0, local, sizeof(T))) return false;
  if (text) {
    std::wstring buf(kTextChars, L'\0');
    if (!block.Read(sizeof(T), &buf[0], kTextChars * sizeof(wchar_t))) return false;
    buf.resize(wcsnlen(buf.c_str(), kTextChars));
    *text = buf;
  }
  return true;
}

}  // namespace

HWND WaitForWindow(const std::wstring& caption, size_t minChildren, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (HWND hwnd = FindNow(caption, minChildren)) return hwnd;
    if (GetTickCount64() >= end) return nullptr;
    Sleep(20);
  }
}

bool WaitUntilGone(const std::wstring& caption, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    FindState s{&caption, 0, nullptr};
    EnumWindows(MatchAnyWithCaption, reinterpret_cast<LPARAM>(&s));
    if (!s.found) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
}

std::vector<ControlInfo> ListControls(HWND top) {
  std::vector<ControlInfo> out;
  EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&out));
  return out;
}

HWND Control(HWND top, int id) {
  if (id == 0) return top;
  for (const auto& c : ListControls(top)) {
    if (c.id == id) return c.hwnd;
  }
  return nullptr;
}

std::wstring GetText(HWND control) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &len) || len == 0) return {};
  std::wstring text(len + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL, 5000, &got);
  text.resize(got);
  return text;
}

bool SetText(HWND control, const std::wstring& text) {
  DWORD_PTR r = 0;
  return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 5000, &r) &&
         r;
}

bool Click(HWND button) {
  DWORD_PTR r = 0;
  return SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &r) != 0;
}

bool ChooseMenuEntry(HWND top, int id) { return PostMessageW(top, WM_COMMAND, MAKEWPARAM(id, 0), 0) != FALSE; }

namespace {
std::wstring MenuText(HMENU menu, int pos) {
  wchar_t buf[256] = {};
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = buf;
  info.cch = 255;
  if (!GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info)) return {};
  return buf;
}
}  // namespace

std::vector<std::wstring> DescribeMenuBar(HWND top) {
  std::vector<std::wstring> out;
  HMENU bar = GetMenu(top);
  const int items = bar ? GetMenuItemCount(bar) : 0;
  for (int i = 0; i < items; ++i) {
    HMENU sub = GetSubMenu(bar, i);
    const int entries = sub ? GetMenuItemCount(sub) : 0;
    for (int j = 0; j < entries; ++j) {
      out.push_back(MenuText(bar, i) + L"/" + MenuText(sub, j) + L" " +
                    std::to_wstring(static_cast<int>(GetMenuItemID(sub, j))));
    }
  }
  return out;
}

int FindMenuEntry(HWND top, const std::wstring& path) {
  HMENU bar = GetMenu(top);
  const int items = bar ? GetMenuItemCount(bar) : 0;
  for (int i = 0; i < items; ++i) {
    HMENU sub = GetSubMenu(bar, i);
    const int entries = sub ? GetMenuItemCount(sub) : 0;
    for (int j = 0; j < entries; ++j) {
      if (MenuText(bar, i) + L"/" + MenuText(sub, j) == path) return static_cast<int>(GetMenuItemID(sub, j));
    }
  }
  return 0;
}

bool Close(HWND top) { return PostMessageW(top, WM_CLOSE, 0, 0) != FALSE; }

bool IsChecked(HWND button) {
  DWORD_PTR state = 0;
  SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_NORMAL, 5000, &state);
  return state == BST_CHECKED;
}

bool Redraw(HWND control) {
  return RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW) != FALSE;
}

bool MouseClick(HWND control, POINT clientPoint) {
  POINT p = clientPoint;
  ClientToScreen(control, &p);
  return ScreenClick(p);
}

HWND WaitForPopupMenu(DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    HWND popup = FindWindowW(L"#32768", nullptr);
    if (popup && IsWindowVisible(popup)) return popup;
    if (GetTickCount64() >= end) return nullptr;
    Sleep(20);
  }
}

bool ScreenClick(POINT p) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in[3] = {};
  for (auto& i : in) {
    i.type = INPUT_MOUSE;
    i.mi.dx = static_cast<LONG>((p.x * 65536 + w / 2) / w);
    i.mi.dy = static_cast<LONG>((p.y * 65536 + h / 2) / h);
  }
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  if (SendInput(1, &in[0], sizeof(INPUT)) != 1) return false;
  Sleep(50);
  const bool ok = SendInput(2, &in[1], sizeof(INPUT)) == 2;
  Sleep(100);  // let the target process the click before the caller looks
  return ok;
}

int ListItemCount(HWND list) {
  DWORD_PTR n = 0;
  SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &n);
  return static_cast<int>(n);
}

std::wstring ListItemText(HWND list, int row, int column) {
  LVITEMW item = {};
  item.iSubItem = column;
  std::wstring text;
  return RemoteCall(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), &item, &text, nullptr) ? text : L"";
}

bool ListItemChecked(HWND list, int row) {
  DWORD_PTR state = 0;
  SendMessageTimeoutW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK, SMTO_NORMAL, 5000, &state);
  return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

bool ListSetChecked(HWND list, int row, bool checked) {
  LVITEMW item = {};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  LRESULT r = 0;
  return RemoteCall(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), &item, nullptr, &r) && r;
}

bool ListItemRect(HWND list, int row, RECT* screenRect) {
  RemoteBlock block(list, sizeof(RECT));
  if (!block.ok()) return false;
  RECT rc = {};
  rc.left = LVIR_BOUNDS;
  if (!block.Write(0, &rc, sizeof rc)) return false;
  if (!SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.at(0)))) return false;
  if (!block.Read(0, &rc, sizeof rc)) return false;
  MapWindowPoints(list, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
  *screenRect = rc;
  return true;
}

std::vector<ColumnInfo> ListColumns(HWND list) {
  std::vector<ColumnInfo> out;
  for (int i = 0; i < 64; ++i) {
    LVCOLUMNW col = {};
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    std::wstring title;
    LRESULT r = 0;
    if (!RemoteCall(list, LVM_GETCOLUMNW, static_cast<WPARAM>(i), &col, &title, &r) || !r) break;
    out.push_back({col.cx, title});
  }
  return out;
}

bool Ping(HWND top, DWORD timeoutMs, DWORD* elapsedMs) {
  const ULONGLONG start = GetTickCount64();
  DWORD_PTR result = 0;
  const bool answered = SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
  *elapsedMs = static_cast<DWORD>(GetTickCount64() - start);
  return answered;
}

bool WaitForText(HWND control, const std::wstring& part, DWORD timeoutMs, DWORD* elapsedMs) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    const bool found = GetText(control).find(part) != std::wstring::npos;
    *elapsedMs = static_cast<DWORD>(GetTickCount64() - start);
    if (found) return true;
    if (*elapsedMs >= timeoutMs) return false;
    Sleep(5);
  }
}

bool TimeClick(HWND button, HWND text, const std::wstring& part, HWND list, DWORD timeoutMs, ClickTiming* timing) {
  *timing = ClickTiming{};
  SetText(text, L"");  // so an earlier occurrence of part is not taken for this one
  const ULONGLONG start = GetTickCount64();
  if (!Click(button)) return false;
  for (;;) {
    const DWORD now = static_cast<DWORD>(GetTickCount64() - start);
    const int rows = ListItemCount(list);
    if (rows != timing->rows) {
      if (timing->rows == 0 && rows > 0) timing->firstRowMs = now;
      timing->lastRowMs = now;
      timing->rows = rows;
    }
    if (GetText(text).find(part) != std::wstring::npos) {
      timing->textMs = now;
      timing->rows = ListItemCount(list);
      return true;
    }
    if (now >= timeoutMs) return false;
    Sleep(5);
  }
}

}  // namespace gui_driver
