// The main window in this process, where its menus and fonts can be read (Wine keeps both
// inside the owning process, out of reach of the GUI driver).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "resolver/shell/main_window_win.h"
#include "tests/http/fake_internet_api.h"

namespace {

std::wstring MenuText(HMENU menu, int pos) {
  wchar_t buf[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(pos), buf, 128, MF_BYPOSITION);
  return buf;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!GetEnvironmentVariableW(L"DISPLAY", nullptr, 0)) GTEST_SKIP() << "no display";
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    window_ = std::make_unique<shell::MainWindow>(program_, GetModuleHandleW(nullptr));
    ASSERT_TRUE(window_->Create(SW_HIDE));
  }
  void TearDown() override {
    window_.reset();
    for (HWND t; (t = FindWindowW(L"QuillonThanks", nullptr)) != nullptr;) DestroyWindow(t);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}  // the main window's WM_QUIT
  }
  HWND Control(int id) { return GetDlgItem(window_->Hwnd(), id); }

  http::testing::FakeInternetApi net_;  // no request is made by these tests
  shell::Program program_{net_, share::ServiceHosts{"localhost:1", "127.0.0.1:1"}};
  std::unique_ptr<shell::MainWindow> window_;
};

TEST_F(MainWindowTest, MenuBarHoldsMeneAndThePopupStaysHidden) {
  HMENU bar = GetMenu(window_->Hwnd());
  ASSERT_EQ(GetMenuItemCount(bar), 1) << "mene1 must not show in the bar";
  EXPECT_EQ(MenuText(bar, 0), L"mene");
  HMENU mene = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(mene), 1);
  EXPECT_EQ(MenuText(mene, 0), L"\u8BF7\u4F5C\u8005\u559D\u5496\u5561?");  // 请作者喝咖啡?
  EXPECT_EQ(GetMenuItemID(mene, 0), static_cast<UINT>(shell::kMenuThanks));

  HMENU popup = window_->ListMenu();
  ASSERT_EQ(GetMenuItemCount(popup), 2);
  EXPECT_EQ(MenuText(popup, 0), L"\u8FD4\u56DE\u4E0A\u4E00\u7EA7");  // 返回上一级
  EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(shell::kMenuGoUp));
  EXPECT_EQ(MenuText(popup, 1), L"\u89E3\u6790\u9009\u4E2D\u9879");  // 解析选中项
  EXPECT_EQ(GetMenuItemID(popup, 1), static_cast<UINT>(shell::kMenuResolveSelected));
}

TEST_F(MainWindowTest, EveryControlUsesTheUiFont) {
  for (const auto& spec : shell::kMainControls) {
    if (spec.kind == shell::ControlKind::kPicture) continue;  // shows no text
    SCOPED_TRACE(spec.name);
    auto font = reinterpret_cast<HFONT>(SendMessageW(Control(spec.id), WM_GETFONT, 0, 0));
    LOGFONTW lf = {};
    ASSERT_NE(GetObjectW(font, sizeof lf, &lf), 0);
    EXPECT_STREQ(lf.lfFaceName, L"\u5FAE\u8F6F\u96C5\u9ED1");  // 微软雅黑
    EXPECT_EQ(lf.lfHeight, spec.id == shell::kPanTite3 ? -16 : -12);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
  }
}

TEST_F(MainWindowTest, LogBoxTakesMoreThanTheDefaultEditLimit) {
  shell::Win32View view(window_->Hwnd());
  view.SetLogText("");
  const std::string longLine(30001, 'x');
  view.AppendLog(longLine);
  view.AppendLog("\r\nend");
  EXPECT_EQ(view.LogText().size(), longLine.size() + 5);
}

TEST_F(MainWindowTest, ThanksEntryOpensAnOwnerlessWindowEachTime) {
  SendMessageW(window_->Hwnd(), WM_COMMAND, MAKEWPARAM(shell::kMenuThanks, 0), 0);
  HWND first = FindWindowW(L"QuillonThanks", L"Thanks");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetWindow(first, GW_OWNER), nullptr);
  EXPECT_EQ(GetParent(first), nullptr);
  SendMessageW(window_->Hwnd(), WM_COMMAND, MAKEWPARAM(shell::kMenuThanks, 0), 0);
  int open = 0;
  for (HWND t = nullptr; (t = FindWindowExW(nullptr, t, L"QuillonThanks", L"Thanks")) != nullptr;) ++open;
  EXPECT_EQ(open, 2) << "the menu opens a new Thanks window while one is open";
}

// Rows that a worker thread adds in blocks while the UI thread waits for UiLock (serving sent
// messages) or runs its message loop: every row arrives, in order, and neither thread hangs.
TEST_F(MainWindowTest, RowsFromAnotherThreadArriveInOrder) {
  shell::Win32View view(window_->Hwnd());
  std::vector<shell::RowTexts> rows;
  for (int i = 0; i < 230; ++i) rows.push_back({"row " + std::to_string(i), std::to_string(i) + " B", "t"});
  std::atomic<bool> done{false};
  std::thread worker([&] {
    {
      shell::UiLockHold hold(program_.uiLock);
      view.BeginRowFill(static_cast<int>(rows.size()));
    }
    for (size_t first = 0; first < rows.size(); first += 50) {
      shell::UiLockHold hold(program_.uiLock);
      view.AddRows(rows.data() + first, std::min<size_t>(50, rows.size() - first));
    }
    shell::UiLockHold hold(program_.uiLock);
    view.EndRowFill();
    done = true;
  });
  const ULONGLONG deadline = GetTickCount64() + 10000;
  for (int turn = 0; !done && GetTickCount64() < deadline; ++turn) {
    if (turn % 2) {
      shell::UiLockHold hold(program_.uiLock);  // the UI thread waiting for the lock, as ToggleAllRows does
    } else {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(1);
    }
  }
  worker.join();
  ASSERT_TRUE(done) << "the worker did not finish in 10 s";
  ASSERT_EQ(view.RowCount(), 230);
  wchar_t buf[64] = {};
  LVITEMW item = {};
  item.iSubItem = 1;
  item.pszText = buf;
  item.cchTextMax = 64;
  for (int row : {0, 49, 50, 229}) {
    SendMessageW(Control(shell::kData), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(buf), std::to_wstring(row) + L" B") << row;
  }
}

}  // namespace
