#pragma once
// Drives a program's windows from another process, by window messages: find a top-level
// window by caption, list its controls, read and set texts, click buttons, choose menu
// entries, and read or tick list-view rows. List-view calls that take a pointer run with the
// structure allocated inside the target process (no marshalling exists for them).
// Texts are UTF-16 here; the console program prints them as UTF-8.
#include <windows.h>

#include <string>
#include <vector>

namespace gui_driver {

// The first visible top-level window with this caption whose descendants number at least
// minChildren, polled every 20 ms for timeoutMs. nullptr when none came.
HWND WaitForWindow(const std::wstring& caption, size_t minChildren, DWORD timeoutMs);

// Whether no top-level window with the caption exists, polled until timeoutMs.
bool WaitUntilGone(const std::wstring& caption, DWORD timeoutMs);

struct ControlInfo {
  HWND hwnd;
  int id;
  int parentId;      // control id of the direct parent (0: the top-level window)
  std::wstring cls;
  std::wstring text;
  RECT rect;         // window rectangle in the direct parent's client coordinates
  bool visible, enabled;
  DWORD style, exStyle;
};

// Every descendant, in the order EnumChildWindows gives (z-order, top first, depth first).
std::vector<ControlInfo> ListControls(HWND top);

// The control with that id among the window's descendants; the window itself for id 0.
HWND Control(HWND top, int id);

std::wstring GetText(HWND control);  // WM_GETTEXT
bool SetText(HWND control, const std::wstring& text);  // WM_SETTEXT
bool Click(HWND button);  // BM_CLICK, waiting at most 5 s for the handler
bool ChooseMenuEntry(HWND top, int id);  // posts WM_COMMAND from a menu
// Finds an entry of the window's menu bar by "item/entry" captions. 0 when not found.
int FindMenuEntry(HWND top, const std::wstring& path);
// Menu bar captions and entries, one "item/entry id" per line.
std::vector<std::wstring> DescribeMenuBar(HWND top);
bool Close(HWND top);  // posts WM_CLOSE
bool IsChecked(HWND button);  // BM_GETCHECK
// Repaints the control and its children now, as after being uncovered.
bool Redraw(HWND control);
// A real left click (SendInput) at a point of the control's client area.
bool MouseClick(HWND control, POINT clientPoint);
// A real left click at a screen point.
bool ScreenClick(POINT screenPoint);
// The first visible popup menu window (class "#32768"), polled until timeoutMs.
HWND WaitForPopupMenu(DWORD timeoutMs);

// SendMessageTimeout(WM_NULL): whether the window's thread answered within timeoutMs;
// elapsedMs is how long the answer took.
bool Ping(HWND top, DWORD timeoutMs, DWORD* elapsedMs);
// Polls the control's text every 5 ms until it contains part. elapsedMs counts from the call.
bool WaitForText(HWND control, const std::wstring& part, DWORD timeoutMs, DWORD* elapsedMs);

// Times a click: empties text, sends BM_CLICK to button, then polls every 5 ms until text holds part. Meanwhile
// it watches list's item count: when it first went above 0 and when it last changed.
struct ClickTiming {
  DWORD textMs = 0;      // click to part seen in text
  DWORD firstRowMs = 0;  // click to the first row (0: none came)
  DWORD lastRowMs = 0;   // click to the last change of the row count
  int rows = 0;
};
bool TimeClick(HWND button, HWND text, const std::wstring& part, HWND list, DWORD timeoutMs, ClickTiming* timing);

// List views of another process.
int ListItemCount(HWND list);
std::wstring ListItemText(HWND list, int row, int column);
bool ListItemChecked(HWND list, int row);
bool ListSetChecked(HWND list, int row, bool checked);
bool ListItemRect(HWND list, int row, RECT* screenRect);  // LVIR_BOUNDS, in screen coordinates
struct ColumnInfo {
  int width;
  std::wstring title;
};
std::vector<ColumnInfo> ListColumns(HWND list);

}  // namespace gui_driver
