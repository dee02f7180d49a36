// The Win32 view against real controls: CP936 text must reach the window as the right UTF-16
// whatever the system's ANSI code page is (the tests run under Wine's default, 1252).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "base/gbk_literal.h"
#include "resolver/shell/picture_box_win.h"
#include "resolver/shell/ui_lock.h"
#include "resolver/shell/win32_view_win.h"
#include "resolver/shell/write_log.h"

namespace {

using shell::ControlId;

class Win32ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!GetEnvironmentVariableW(L"DISPLAY", nullptr, 0)) GTEST_SKIP() << "no display";
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HINSTANCE inst = GetModuleHandleW(nullptr);
    shell::RegisterPictureBoxClass(inst);
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, inst, nullptr);
    ASSERT_NE(parent_, nullptr);
    Make(L"EDIT", WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, shell::kPanRunState);
    Make(L"EDIT", ES_AUTOHSCROLL, shell::kPanUrl);
    Make(L"BUTTON", BS_AUTOCHECKBOX, shell::kSelectZip);
    Make(shell::kPictureBoxClass, 0, shell::kPanCaptchaBody);
    HWND list = Make(WC_LISTVIEWW, LVS_REPORT, shell::kData);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES);
    for (int i = 0; i < 3; ++i) {
      LVCOLUMNW col = {};
      col.mask = LVCF_WIDTH;
      col.cx = 100;
      SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
    }
  }
  void TearDown() override {
    if (parent_) DestroyWindow(parent_);
  }
  HWND Make(const wchar_t* cls, DWORD style, ControlId id) {
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 300, 100, parent_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  }
  HWND Control(ControlId id) { return GetDlgItem(parent_, id); }
  std::wstring WindowText(ControlId id) {
    wchar_t buf[512] = {};
    SendMessageW(Control(id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf));
    return buf;
  }
  std::wstring ItemText(int row, int column) {
    wchar_t buf[256] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = 256;
    SendMessageW(Control(shell::kData), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return buf;
  }

  HWND parent_ = nullptr;
};

base::LocalTime FixedTime() { return {2017, 9, 7, 15, 0, 5, 0}; }

TEST_F(Win32ViewTest, LogLinesReachTheBoxAsUnicodeWithTheCaretAtTheEnd) {
  shell::Win32View view(parent_);
  shell::UiLock lock;
  shell::Log log(view, lock, FixedTime);
  log.WriteLog(base::Gbk("解析完成"));
  log.WriteLog("b");
  EXPECT_EQ(WindowText(shell::kPanRunState),
            L"2017.09.07-15.00.05\uFF1A\u89E3\u6790\u5B8C\u6210\r\n2017.09.07-15.00.05\uFF1Ab");
  DWORD start = 0, end = 0;
  SendMessageW(Control(shell::kPanRunState), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  const DWORD length = static_cast<DWORD>(WindowText(shell::kPanRunState).size());
  EXPECT_EQ(start, length);
  EXPECT_EQ(end, length);
  EXPECT_EQ(view.LogText(), "2017.09.07-15.00.05\xA3\xBA" + base::Gbk("解析完成") + "\r\n2017.09.07-15.00.05\xA3\xBA" "b");
}

TEST_F(Win32ViewTest, AppendGoesToTheEndWhateverTheUserSelected) {
  shell::Win32View view(parent_);
  view.SetLogText("abc");
  SendMessageW(Control(shell::kPanRunState), EM_SETSEL, 0, 1);  // the user marked "a"
  view.AppendLog("d");
  EXPECT_EQ(WindowText(shell::kPanRunState), L"abcd");
}

TEST_F(Win32ViewTest, TextsRoundTripInCp936) {
  shell::Win32View view(parent_);
  const std::string url = "https://pan.example/s/1a?pwd=" + base::Gbk("密码");
  view.SetText(shell::kPanUrl, url);
  EXPECT_EQ(WindowText(shell::kPanUrl), L"https://pan.example/s/1a?pwd=\u5BC6\u7801");
  EXPECT_EQ(view.Text(shell::kPanUrl), url);
  EXPECT_FALSE(view.IsTicked(shell::kSelectZip));
  SendMessageW(Control(shell::kSelectZip), BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_TRUE(view.IsTicked(shell::kSelectZip));
  view.Enable(shell::kPanUrl, false);
  EXPECT_FALSE(IsWindowEnabled(Control(shell::kPanUrl)));
}

TEST_F(Win32ViewTest, RowsKeepOrderTextsAndTicks) {
  shell::Win32View view(parent_);
  view.AddRow(base::Gbk("文件夹A"), base::Gbk("文件夹"), "2017-9-07 15:00:00");
  view.AddRow("b.zip", "1.00MB", "2017-9-08 01:02:03");
  view.AddRow("c.txt", "12B", "2017-9-09 00:00:00");
  ASSERT_EQ(view.RowCount(), 3);
  EXPECT_EQ(ItemText(0, 0), L"\u6587\u4EF6\u5939A");
  EXPECT_EQ(ItemText(1, 1), L"1.00MB");
  EXPECT_EQ(ItemText(2, 2), L"2017-9-09 00:00:00");
  view.SetRowTicked(1, true);
  EXPECT_FALSE(view.IsRowTicked(0));
  EXPECT_TRUE(view.IsRowTicked(1));
  EXPECT_FALSE(view.IsRowTicked(2));
  view.SetRowTicked(1, false);
  EXPECT_FALSE(view.IsRowTicked(1));
  EXPECT_EQ(view.SelectedRow(), -1);
  view.ClearRows();
  EXPECT_EQ(view.RowCount(), 0);
}

std::vector<uint8_t> SmallBmp() {
  // 2 x 1, 24 bits: one red and one blue pixel, row padded to 8 bytes.
  const uint8_t bmp[] = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
                         40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 8, 0, 0, 0,
                         0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // info header
                         0, 0, 255, 255, 0, 0, 0, 0};
  return std::vector<uint8_t>(std::begin(bmp), std::end(bmp));
}

TEST_F(Win32ViewTest, PictureBoxShowsImageFilesAndRefusesOtherBytes) {
  HWND box = Control(shell::kPanCaptchaBody);
  EXPECT_TRUE(shell::SetPictureBoxImage(box, SmallBmp()));
  EXPECT_FALSE(shell::SetPictureBoxImage(box, {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}));
  EXPECT_FALSE(shell::SetPictureBoxImage(box, {}));
  std::vector<uint8_t> cut = SmallBmp();
  cut.resize(20);  // a file cut inside its header
  EXPECT_FALSE(shell::SetPictureBoxImage(box, cut));
}

std::vector<uint8_t> ReadFixture(const char* name) {
  std::ifstream in(std::string(SHELL_TEST_DATA) + "/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Each fixture is 16 x 16: red top left, green top right, blue bottom left, white bottom right.
// A captcha may come in any of these formats; rows must come out top first.
TEST(DecodeImageFile, DecodesEveryFormatRightSideUp) {
  struct Sample {
    int x, y;
    COLORREF colour;
  };
  const Sample kSamples[] = {{3, 3, RGB(255, 0, 0)}, {12, 3, RGB(0, 255, 0)}, {3, 12, RGB(0, 0, 255)},
                             {12, 12, RGB(255, 255, 255)}};
  for (const char* name : {"quadrants.bmp", "quadrants.png", "quadrants.gif", "quadrants.jpg"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> file = ReadFixture(name);
    ASSERT_FALSE(file.empty());
    HBITMAP bitmap = shell::DecodeImageFile(file);
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 16);
    EXPECT_EQ(std::abs(info.bmHeight), 16);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (const auto& s : kSamples) {
      const COLORREF got = GetPixel(dc, s.x, s.y);
      EXPECT_NEAR(GetRValue(got), GetRValue(s.colour), 24) << s.x << "," << s.y;
      EXPECT_NEAR(GetGValue(got), GetGValue(s.colour), 24) << s.x << "," << s.y;
      EXPECT_NEAR(GetBValue(got), GetBValue(s.colour), 24) << s.x << "," << s.y;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
}

}  // namespace
