#include "resolver/shell/main_window_win.h"
#include "resolver/shell/window_class_win.h"

#include <commctrl.h>

#include "resolver/display/display_format.h"
#include "resolver/shell/controls.h"
#include "resolver/shell/gui_text_win.h"
#include "resolver/shell/picture_box_win.h"
#include "resolver/shell/startup_notes.h"
#include "resolver/shell/thanks_window_win.h"
#include "resources/resource_ids.h"

namespace shell {

namespace {

const wchar_t kMainClass[] = L"QuillonMain";
constexpr COLORREF kEditText = RGB(255, 255, 255);
constexpr COLORREF kEditBack = RGB(0, 128, 128);

struct WindowClassAndStyle {
  const wchar_t* cls;
  DWORD style;
  DWORD exStyle;
};

WindowClassAndStyle ClassFor(ControlKind kind) {
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
  switch (kind) {
    case ControlKind::kCheckBox:
      return {L"BUTTON", kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    case ControlKind::kTransparentLabel:
      // Transparent also for clipping: the strip label over the list header must not cut the
      // header out of the list's painting.
      return {L"STATIC", kChild | SS_LEFT, WS_EX_TRANSPARENT};
    case ControlKind::kEdit:
      return {L"EDIT", kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0};
    case ControlKind::kCenteredEdit:
      return {L"EDIT", kChild | WS_TABSTOP | WS_BORDER | ES_CENTER | ES_AUTOHSCROLL, 0};
    case ControlKind::kLogEdit:
      return {L"EDIT", kChild | WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 0};
    case ControlKind::kPicture:
      return {kPictureBoxClass, kChild, 0};
    case ControlKind::kListView:
      // Clipping its siblings keeps SelectAll, which lies over the header, painted above it.
      return {WC_LISTVIEWW, kChild | WS_TABSTOP | WS_BORDER | WS_CLIPSIBLINGS | LVS_REPORT |
                                LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0};
    case ControlKind::kButton:
      return {L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
  }
  return {L"STATIC", kChild, 0};
}

bool IsEdit(ControlKind kind) {
  return kind == ControlKind::kEdit || kind == ControlKind::kCenteredEdit || kind == ControlKind::kLogEdit;
}

void AddColumns(HWND list) {
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  int index = 0;
  for (const auto& c : kDataColumns) {
    std::wstring title = WideLiteral(c.title);
    LVCOLUMNW col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = &title[0];
    col.cx = c.width;
    col.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, index++, reinterpret_cast<LPARAM>(&col));
  }
}

HMENU PopupOf(const MenuEntrySpec* entries, size_t count) {
  HMENU popup = CreatePopupMenu();
  for (size_t i = 0; i < count; ++i) {
    AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(entries[i].id), WideLiteral(entries[i].text).c_str());
  }
  return popup;
}

bool RegisterMainClass(HINSTANCE instance, WNDPROC proc) {
  HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUILLON));
  auto* small = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLON), IMAGE_ICON, 16, 16, 0));
  return RegisterShellWindowClass(instance, kMainClass, proc, icon, small);
}

}  // namespace

MainWindow::MainWindow(Program& program, HINSTANCE instance) : program_(program), instance_(instance) {}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (listMenuHolder_) DestroyMenu(listMenuHolder_);
  if (font12_) DeleteObject(font12_);
  if (font16_) DeleteObject(font16_);
  if (teal_) DeleteObject(teal_);
}

bool MainWindow::Create(int showCommand) {
  if (!RegisterMainClass(instance_, Proc) || !RegisterPictureBoxClass(instance_)) return false;
  font12_ = CreateUiFont(-12);
  font16_ = CreateUiFont(-16);
  teal_ = CreateSolidBrush(kEditBack);
  const std::wstring caption = Wide(kMainCaption);
  HWND hwnd = CreateWindowExW(0, kMainClass, caption.c_str(),
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, kMainX, kMainY,
                              kMainWidth, kMainHeight, nullptr, nullptr, instance_, this);
  if (!hwnd) return false;
  ShowWindow(hwnd, showCommand);
  UpdateWindow(hwnd);
  return true;
}

LRESULT CALLBACK MainWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return self ? self->Handle(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT MainWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      OnCreated();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lp);
      if (header->idFrom == static_cast<UINT_PTR>(kData)) OnListNotify(*header);
      break;
    }
    case WM_CTLCOLOREDIT:
      return OnControlColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), true);
    case WM_CTLCOLORSTATIC:
      return OnControlColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), false);
    case Win32View::kRunOnUiThread:
      return Win32View::RunCall(lp);
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void MainWindow::OnCreated() {
  CreateControls();
  CreateMenus();
  view_ = std::make_unique<Win32View>(hwnd_);
  log_ = std::make_unique<Log>(*view_, program_.uiLock);
  desktop_ = std::make_unique<Win32Desktop>(hwnd_, ListMenu());
  routines_ = std::make_unique<Routines>(program_, *view_, *log_, *desktop_,
                                         RowFormat{&display::FormatSize, &display::FormatTime});
  ShowStartupNotes(*log_);
}

bool MainWindow::WaitForWorker(DWORD ms) { return !desktop_ || desktop_->WaitForThreads(ms); }

void MainWindow::CreateControls() {
  for (const auto& spec : kMainControls) {
    HWND control = CreateControl(spec);
    if (!control) continue;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(spec.fontHeight == -16 ? font16_ : font12_), FALSE);
    if (spec.kind == ControlKind::kListView) AddColumns(control);
    // The log box takes any length (an edit box stops at 30000 characters by default, which
    // would silently drop the lines of a long link list).
    if (spec.kind == ControlKind::kLogEdit) SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
    if (spec.id == kSelectAll) SetWindowSubclass(control, SelectAllProc, 1, reinterpret_cast<DWORD_PTR>(this));
  }
}

HWND MainWindow::CreateControl(const ControlSpec& spec) {
  const WindowClassAndStyle cs = ClassFor(spec.kind);
  return CreateWindowExW(cs.exStyle, cs.cls, WideLiteral(spec.text).c_str(), cs.style, spec.x, spec.y,
                         spec.width, spec.height, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
                         instance_, nullptr);
}

void MainWindow::CreateMenus() {
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(PopupOf(kMainMenuEntries, 1)), Wide(kMainMenuTitle).c_str());
  SetMenu(hwnd_, bar);
  listMenuHolder_ = CreateMenu();
  AppendMenuW(listMenuHolder_, MF_POPUP, reinterpret_cast<UINT_PTR>(PopupOf(kListMenuEntries, 2)),
              Wide(kListMenuTitle).c_str());
}

LRESULT MainWindow::OnControlColour(HDC dc, HWND control, bool isEdit) {
  const ControlSpec* spec = FindControl(static_cast<ControlId>(GetDlgCtrlID(control)));
  if (spec && (isEdit || IsEdit(spec->kind))) {  // a disabled edit asks with WM_CTLCOLORSTATIC
    SetTextColor(dc, kEditText);
    SetBkColor(dc, kEditBack);
    return reinterpret_cast<LRESULT>(teal_);
  }
  if (spec && spec->kind == ControlKind::kTransparentLabel) {
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  }
  return DefWindowProcW(hwnd_, isEdit ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(control));
}

// Events and the routines that answer them.
void MainWindow::OnCommand(int id, int code) {
  switch (id) {
    case kPanButton:
      if (code == BN_CLICKED) routines_->StartResolve();
      break;
    case kMenuThanks:
      ShowThanks(instance_);
      break;
    case kMenuGoUp:
      routines_->GoUp();
      break;
    case kMenuResolveSelected:
      routines_->ResolveSelected();
      break;
  }
}

void MainWindow::OnListNotify(const NMHDR& header) {
  switch (header.code) {
    case NM_RCLICK:
      routines_->ShowListMenu();
      break;
    case NM_DBLCLK:
      routines_->OpenFolderAtRow();
      break;
  }
}

// Runs before the box changes its own state.
void MainWindow::OnSelectAllPressed() { routines_->ToggleAllRows(); }

LRESULT CALLBACK MainWindow::SelectAllProc(HWND box, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
  // A second press soon after the first arrives as a double-click, which the box also takes as
  // a press: the rows must follow it too, or box and rows part ways.
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) reinterpret_cast<MainWindow*>(self)->OnSelectAllPressed();
  return DefSubclassProc(box, msg, wp, lp);
}

}  // namespace shell
