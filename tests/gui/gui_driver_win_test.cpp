// The driver's calls on a window of this process: the list-view calls still go through memory
// allocated with VirtualAllocEx and read back with ReadProcessMemory, as for another process.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <thread>

#include "gui_driver.h"

namespace {

constexpr int kListId = 77;
constexpr int kEditId = 78;

class GuiDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!GetEnvironmentVariableW(L"DISPLAY", nullptr, 0)) GTEST_SKIP() << "no display";
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HINSTANCE inst = GetModuleHandleW(nullptr);
    top_ = CreateWindowExW(0, L"STATIC", L"driver test \u9875", WS_POPUP | WS_VISIBLE, 30, 40, 500, 300, nullptr,
                           nullptr, inst, nullptr);
    ASSERT_NE(top_, nullptr);
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 20, 400, 200, top_,
                            reinterpret_cast<HMENU>(kListId), inst, nullptr);
    CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 230, 200, 20, top_, reinterpret_cast<HMENU>(kEditId),
                    inst, nullptr);
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES);
    const wchar_t* titles[] = {L"    \u6587\u4EF6\u540D", L"size"};
    for (int i = 0; i < 2; ++i) {
      LVCOLUMNW col = {};
      col.mask = LVCF_TEXT | LVCF_WIDTH;
      col.pszText = const_cast<wchar_t*>(titles[i]);
      col.cx = 150 + 50 * i;
      SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
    }
    const wchar_t* names[] = {L"a.txt", L"\u76EE\u5F55"};
    for (int row = 0; row < 2; ++row) {
      LVITEMW item = {};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.pszText = const_cast<wchar_t*>(names[row]);
      SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      LVITEMW sub = {};
      sub.iSubItem = 1;
      sub.pszText = const_cast<wchar_t*>(L"12B");
      SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
    }
  }
  void TearDown() override {
    if (top_) DestroyWindow(top_);
  }

  HWND top_ = nullptr;
  HWND list_ = nullptr;
};

TEST_F(GuiDriverTest, FindsTheWindowAndListsItsControls) {
  EXPECT_EQ(gui_driver::WaitForWindow(L"driver test \u9875", 3, 1000), top_);
  EXPECT_EQ(gui_driver::WaitForWindow(L"driver test \u9875", 99, 100), nullptr) << "fewer descendants than asked";
  const auto controls = gui_driver::ListControls(top_);
  ASSERT_GE(controls.size(), 3u);  // list, its header, edit
  EXPECT_EQ(controls[0].id, kListId);
  EXPECT_EQ(controls[0].parentId, 0);
  EXPECT_EQ(controls[0].rect.left, 10);
  EXPECT_EQ(controls[0].rect.top, 20);
  EXPECT_EQ(controls[0].rect.right - controls[0].rect.left, 400);
  EXPECT_EQ(controls[1].parentId, kListId) << "the header is the list's child";
  EXPECT_EQ(gui_driver::Control(top_, kEditId), GetDlgItem(top_, kEditId));
}

TEST_F(GuiDriverTest, ReadsAndSetsTexts) {
  HWND edit = gui_driver::Control(top_, kEditId);
  ASSERT_TRUE(gui_driver::SetText(edit, L"\u89E3\u6790\r\nx"));
  EXPECT_EQ(gui_driver::GetText(edit), L"\u89E3\u6790\r\nx");
  EXPECT_EQ(gui_driver::GetText(top_), L"driver test \u9875");
}

TEST_F(GuiDriverTest, ReadsAndTicksListRowsThroughTargetMemory) {
  EXPECT_EQ(gui_driver::ListItemCount(list_), 2);
  EXPECT_EQ(gui_driver::ListItemText(list_, 1, 0), L"\u76EE\u5F55");
  EXPECT_EQ(gui_driver::ListItemText(list_, 0, 1), L"12B");
  const auto columns = gui_driver::ListColumns(list_);
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_EQ(columns[0].title, L"    \u6587\u4EF6\u540D");
  EXPECT_EQ(columns[1].width, 200);
  EXPECT_FALSE(gui_driver::ListItemChecked(list_, 1));
  ASSERT_TRUE(gui_driver::ListSetChecked(list_, 1, true));
  EXPECT_TRUE(gui_driver::ListItemChecked(list_, 1));
  EXPECT_FALSE(gui_driver::ListItemChecked(list_, 0));
  RECT row0, row1;
  ASSERT_TRUE(gui_driver::ListItemRect(list_, 0, &row0));
  ASSERT_TRUE(gui_driver::ListItemRect(list_, 1, &row1));
  EXPECT_EQ(row1.top, row0.bottom) << "rows one below the other";
  POINT origin = {0, 0};
  ClientToScreen(list_, &origin);
  EXPECT_GE(row0.top, origin.y) << "screen coordinates, below the list's top";
  EXPECT_FALSE(gui_driver::ListItemRect(list_, 5, &row0)) << "no such row";
}

TEST_F(GuiDriverTest, WaitForTextSeesTheTextOrGivesUpInTime) {
  HWND edit = gui_driver::Control(top_, kEditId);
  gui_driver::SetText(edit, L"\u89E3\u6790\u5B8C\u6210 done");
  DWORD ms = 0;
  EXPECT_TRUE(gui_driver::WaitForText(edit, L"\u5B8C\u6210", 1000, &ms));
  EXPECT_LT(ms, 100u);
  EXPECT_FALSE(gui_driver::WaitForText(edit, L"never", 200, &ms));
  EXPECT_GE(ms, 200u);
}

// A window whose thread does not read its messages is reported as not answering, within the
// time given, rather than hanging the driver.
TEST_F(GuiDriverTest, PingTellsABusyWindowFromAnAnsweringOne) {
  DWORD ms = 0;
  EXPECT_TRUE(gui_driver::Ping(top_, 1000, &ms));
  HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HWND busy = nullptr;
  std::thread owner([&] {
    busy = CreateWindowExW(0, L"STATIC", L"busy", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetEvent(created);
    Sleep(1500);  // reads no message meanwhile
    DestroyWindow(busy);
  });
  WaitForSingleObject(created, 5000);
  EXPECT_FALSE(gui_driver::Ping(busy, 300, &ms));
  EXPECT_LT(ms, 1200u);
  owner.join();
  CloseHandle(created);
}

}  // namespace
