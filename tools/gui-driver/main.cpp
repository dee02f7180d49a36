// gui-driver: drives another program's windows from the command line (see docs/shell.md).
// Every result is a UTF-8 line; texts are escaped (\\, \r, \n, \t) so one value stays on one
// line. Exit code 0 on success, 1 when the window, control or entry was not there, 2 on usage.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "gui_driver.h"

namespace {

using namespace gui_driver;

constexpr DWORD kFindTimeoutMs = 10000;

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring Unescape(const std::wstring& s) {
  std::wstring out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == L'\\' && i + 1 < s.size()) {
      const wchar_t c = s[++i];
      out += c == L'n' ? L'\n' : c == L'r' ? L'\r' : c == L't' ? L'\t' : c;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string Escaped(const std::wstring& w) {
  std::string out;
  for (char c : Utf8(w)) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}

void Line(const std::string& s) {
  std::string line = s + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

int Fail(const std::string& why) {
  Line("error " + why);
  return 1;
}

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "," +
         std::to_string(r.bottom - r.top);
}

int Int(const std::wstring& s) { return static_cast<int>(wcstol(s.c_str(), nullptr, 0)); }

int PrintControls(HWND top) {
  for (const auto& c : ListControls(top)) {
    char flags[64];
    std::snprintf(flags, sizeof flags, "style=0x%08lx exstyle=0x%08lx", static_cast<unsigned long>(c.style),
                  static_cast<unsigned long>(c.exStyle));
    Line("control id=" + std::to_string(c.id) + " parent=" + std::to_string(c.parentId) + " class=" + Utf8(c.cls) +
         " rect=" + RectText(c.rect) + " visible=" + std::to_string(c.visible) + " enabled=" +
         std::to_string(c.enabled) + " " + flags + " text=" + Escaped(c.text));
  }
  return 0;
}

int PrintZOrder(HWND top) {
  std::string ids;
  for (HWND c = GetWindow(top, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    ids += (ids.empty() ? "" : " ") + std::to_string(GetDlgCtrlID(c));
  }
  Line("zorder " + ids);
  return 0;
}

int ListCommand(const std::wstring& cmd, HWND list, const std::vector<std::wstring>& a) {
  if (cmd == L"list-count") {
    Line("count " + std::to_string(ListItemCount(list)));
    return 0;
  }
  if (cmd == L"list-columns") {
    int i = 0;
    for (const auto& c : ListColumns(list)) {
      Line("column " + std::to_string(i++) + " width=" + std::to_string(c.width) + " text=" + Escaped(c.title));
    }
    return 0;
  }
  if (cmd == L"list-rows") {
    const int columns = static_cast<int>(ListColumns(list).size());
    for (int row = 0, n = ListItemCount(list); row < n; ++row) {
      std::wstring cells;
      for (int col = 0; col < columns; ++col) cells += (col ? L"\t" : L"") + ListItemText(list, row, col);
      std::string escaped = Escaped(cells);
      Line("row " + std::to_string(row) + " checked=" + std::to_string(ListItemChecked(list, row)) + " cells=" + escaped);
    }
    return 0;
  }
  if (cmd == L"list-check" && a.size() >= 6) {
    return ListSetChecked(list, Int(a[4]), Int(a[5]) != 0) ? 0 : Fail("row not set");
  }
  if (cmd == L"list-item-rect" && a.size() >= 5) {
    RECT r;
    if (!ListItemRect(list, Int(a[4]), &r)) return Fail("no such row");
    Line("screen-rect " + RectText(r));
    return 0;
  }
  return -1;
}

int Usage() {
  Line("usage: gui-driver screen-click X Y | popup-menu TIMEOUT_MS | COMMAND CAPTION [ARGS]; commands: find [MIN_CHILDREN] [TIMEOUT_MS] | gone TIMEOUT_MS | "
       "controls | zorder | menus | get-text ID | set-text ID TEXT | click ID | menu ID|ITEM/ENTRY | close | "
       "checked ID | redraw ID | ping TIMEOUT_MS | wait-text ID TEXT TIMEOUT_MS | "
       "time-click BUTTON_ID TEXT_ID TEXT LIST_ID TIMEOUT_MS | mouse-click ID [X Y] | screen-rect [ID] | list-count ID | list-columns ID | list-rows ID | list-check ID ROW 0|1 | "
       "list-item-rect ID ROW   (ID 0 = the window itself)");
  return 2;
}

int Run(const std::vector<std::wstring>& a) {
  if (a.size() < 3) return Usage();
  const std::wstring& cmd = a[1];
  // Commands on the screen rather than on one window.
  if (cmd == L"screen-click" && a.size() >= 4) {
    return ScreenClick(POINT{Int(a[2]), Int(a[3])}) ? 0 : Fail("input not sent");
  }
  if (cmd == L"popup-menu") {
    HWND popup = WaitForPopupMenu(static_cast<DWORD>(Int(a[2])));
    if (!popup) return Fail("no popup menu");
    RECT r;
    GetWindowRect(popup, &r);
    Line("screen-rect " + RectText(r));
    return 0;
  }
  const std::wstring& caption = a[2];
  if (cmd == L"gone") {
    const DWORD timeout = a.size() > 3 ? static_cast<DWORD>(Int(a[3])) : kFindTimeoutMs;
    return WaitUntilGone(caption, timeout) ? (Line("gone"), 0) : Fail("still there");
  }
  const size_t minChildren = cmd == L"find" && a.size() > 3 ? static_cast<size_t>(Int(a[3])) : 0;
  const DWORD timeout = cmd == L"find" && a.size() > 4 ? static_cast<DWORD>(Int(a[4])) : kFindTimeoutMs;
  HWND top = WaitForWindow(caption, minChildren, timeout);
  if (!top) return Fail("no window " + Escaped(caption));
  if (cmd == L"find") {
    DWORD pid = 0;
    GetWindowThreadProcessId(top, &pid);
    Line("window pid=" + std::to_string(pid) + " controls=" + std::to_string(ListControls(top).size()));
    return 0;
  }
  if (cmd == L"controls") return PrintControls(top);
  if (cmd == L"zorder") return PrintZOrder(top);
  if (cmd == L"close") return Close(top) ? 0 : Fail("not posted");
  if (cmd == L"menus") {
    for (const auto& e : DescribeMenuBar(top)) Line("menu " + Escaped(e));
    return 0;
  }
  if (cmd == L"menu" && a.size() >= 4) {
    const int id = iswdigit(a[3][0]) ? Int(a[3]) : FindMenuEntry(top, a[3]);
    if (id == 0) return Fail("no menu entry " + Escaped(a[3]));
    return ChooseMenuEntry(top, id) ? 0 : Fail("not posted");
  }
  if (cmd == L"ping" && a.size() >= 4) {  // ping CAPTION TIMEOUT_MS: the window itself
    DWORD ms = 0;
    if (!Ping(top, static_cast<DWORD>(Int(a[3])), &ms)) return Fail("no answer within " + Utf8(a[3]) + " ms");
    Line("ping ms=" + std::to_string(ms));
    return 0;
  }
  HWND control = a.size() >= 4 ? Control(top, Int(a[3])) : top;
  if (!control) return Fail("no control " + Escaped(a[3]));
  if (cmd == L"get-text") {
    Line("text " + Escaped(GetText(control)));
    return 0;
  }
  if (cmd == L"set-text" && a.size() >= 5) return SetText(control, Unescape(a[4])) ? 0 : Fail("not set");
  if (cmd == L"click") return Click(control) ? 0 : Fail("no answer");
  if (cmd == L"checked") {
    Line(std::string("checked ") + (IsChecked(control) ? "1" : "0"));
    return 0;
  }
  if (cmd == L"redraw") return Redraw(control) ? 0 : Fail("not redrawn");
  if (cmd == L"wait-text" && a.size() >= 6) {
    DWORD ms = 0;
    const bool found = WaitForText(control, Unescape(a[4]), static_cast<DWORD>(Int(a[5])), &ms);
    Line("text " + Escaped(GetText(control)));
    return found ? (Line("waited ms=" + std::to_string(ms)), 0) : Fail("text not seen");
  }
  if (cmd == L"time-click" && a.size() >= 8) {
    ClickTiming t;
    const bool seen = TimeClick(control, Control(top, Int(a[4])), Unescape(a[5]), Control(top, Int(a[6])),
                                static_cast<DWORD>(Int(a[7])), &t);
    if (!seen) return Fail("text not seen");
    Line("timed text_ms=" + std::to_string(t.textMs) + " first_row_ms=" + std::to_string(t.firstRowMs) +
         " last_row_ms=" + std::to_string(t.lastRowMs) + " rows=" + std::to_string(t.rows));
    return 0;
  }
  if (cmd == L"mouse-click") {
    RECT rc;
    GetClientRect(control, &rc);
    POINT p = {rc.right / 2, rc.bottom / 2};
    if (a.size() >= 6) p = {Int(a[4]), Int(a[5])};
    return MouseClick(control, p) ? 0 : Fail("input not sent");
  }
  if (cmd == L"screen-rect") {
    RECT r;
    GetWindowRect(control, &r);
    Line("screen-rect " + RectText(r));
    return 0;
  }
  const int listResult = ListCommand(cmd, control, a);
  return listResult >= 0 ? listResult : Usage();
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> args(argv, argv + argc);
  LocalFree(argv);
  return Run(args);
}
