#include "resolver/shell/win32_view_win.h"

#include <commctrl.h>

#include <climits>
#include <functional>

#include "resolver/shell/gui_text_win.h"
#include "resolver/shell/picture_box_win.h"

namespace shell {

namespace {
// State image 1 is the empty box, 2 the ticked one.
constexpr UINT kUnticked = INDEXTOSTATEIMAGEMASK(1);
constexpr UINT kTicked = INDEXTOSTATEIMAGEMASK(2);
}  // namespace

std::string Win32View::LogText() { return Text(kPanRunState); }

void Win32View::SetLogText(std::string_view text) { SetText(kPanRunState, text); }

void Win32View::AppendLog(std::string_view text) {
  HWND box = Control(kPanRunState);
  const std::wstring w = Wide(text);
  const LRESULT end = SendMessageW(box, WM_GETTEXTLENGTH, 0, 0);
  SendMessageW(box, EM_SETSEL, end, end);
  SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(w.c_str()));
  SendMessageW(box, EM_SCROLLCARET, 0, 0);
}

std::string Win32View::Text(ControlId id) { return Narrow(WindowTextW(Control(id))); }

void Win32View::SetText(ControlId id, std::string_view text) {
  const std::wstring w = Wide(text);
  SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()));
}

void Win32View::Enable(ControlId id, bool enabled) { EnableWindow(Control(id), enabled ? TRUE : FALSE); }

bool Win32View::IsTicked(ControlId id) {
  return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32View::ClearRows() { SendToList(LVM_DELETEALLITEMS, 0, 0); }

LRESULT Win32View::RunCall(LPARAM call) {
  (*reinterpret_cast<const std::function<void()>*>(call))();
  return 0;
}

// From the worker, a row is one message to the UI thread rather than one per cell: every
// message sent across threads costs a round trip (under Wine about 0.4 ms).
void Win32View::OnUiThread(const std::function<void()>& call) {
  if (GetWindowThreadProcessId(main_, nullptr) == GetCurrentThreadId()) {
    call();
    return;
  }
  SendMessageW(main_, kRunOnUiThread, 0, reinterpret_cast<LPARAM>(&call));
}

void Win32View::AddRow(std::string_view name, std::string_view size, std::string_view time) {
  OnUiThread([&] { InsertRow(name, size, time); });
}

void Win32View::AddRows(const RowTexts* rows, size_t count) {
  OnUiThread([&] {
    for (size_t i = 0; i < count; ++i) InsertRow(rows[i].name, rows[i].size, rows[i].time);
  });
}

void Win32View::InsertRow(std::string_view name, std::string_view size, std::string_view time) {
  std::wstring cells[3] = {Wide(name), Wide(size), Wide(time)};
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = INT_MAX;  // past the end: appended
  item.pszText = &cells[0][0];
  const int row = static_cast<int>(SendToList(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return;
  for (int column = 1; column < 3; ++column) {
    LVITEMW sub = {};
    sub.iSubItem = column;
    sub.pszText = &cells[column][0];
    SendToList(LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
  }
}

int Win32View::RowCount() { return static_cast<int>(SendToList(LVM_GETITEMCOUNT, 0, 0)); }

bool Win32View::IsRowTicked(int row) {
  const auto state = static_cast<UINT>(SendToList(LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
  return (state & LVIS_STATEIMAGEMASK) == kTicked;
}

void Win32View::SetRowTicked(int row, bool ticked) {
  LVITEMW item = {};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = ticked ? kTicked : kUnticked;
  SendToList(LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void Win32View::BeginRowFill(int rowsToCome) {
  SendToList(WM_SETREDRAW, FALSE, 0);
  SendToList(LVM_SETITEMCOUNT, static_cast<WPARAM>(RowCount() + rowsToCome), LVSICF_NOINVALIDATEALL);
}

void Win32View::EndRowFill() {
  SendToList(WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Control(kData), nullptr, TRUE);
}

int Win32View::SelectedRow() {
  return static_cast<int>(SendToList(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void Win32View::ShowCaptchaImage(const std::vector<uint8_t>& imageFile) {
  SetPictureBoxImage(Control(kPanCaptchaBody), imageFile);
}

}  // namespace shell
