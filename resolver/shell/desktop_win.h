#pragma once
// Desktop over the real main window: worker threads, the message-processing wait, the popup.
#include <windows.h>

#include <vector>

#include "resolver/shell/desktop.h"

namespace shell {

class Win32Desktop : public Desktop {
 public:
  // listMenu: the popup "mene1"; its commands go to mainWindow.
  Win32Desktop(HWND mainWindow, HMENU listMenu) : main_(mainWindow), listMenu_(listMenu) {}
  ~Win32Desktop() override;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  bool StartThread(std::function<void()> routine, uint64_t& handleValue) override;
  bool WaitProcessingMessages(int ms) override;
  void ShowListMenu() override;

  // Waits up to ms for every started thread to end, serving messages sent to this thread's
  // windows meanwhile. True when none runs any more.
  bool WaitForThreads(DWORD ms);

 private:
  void CloseFinishedThreads();

  HWND main_;
  HMENU listMenu_;
  std::vector<HANDLE> threads_;
};

}  // namespace shell
