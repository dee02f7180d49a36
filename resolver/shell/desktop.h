#pragma once
// What the event routines need of the platform besides the window's controls: a thread for
// the resolve worker, a wait that keeps the window usable, and the list's popup menu.
// Portable: Win32Desktop implements it over the real window, the tests with a script.
#include <cstdint>
#include <functional>

namespace shell {

class Desktop {
 public:
  virtual ~Desktop() = default;

  // Starts routine on a new operating-system thread; handleValue receives the value of the
  // thread's handle (what the log shows) before routine runs. False when no thread could be made.
  virtual bool StartThread(std::function<void()> routine, uint64_t& handleValue) = 0;

  // Waits about ms milliseconds while the window's messages are processed (the user can type
  // and click). False as soon as the main window has gone: the caller stops waiting.
  virtual bool WaitProcessingMessages(int ms) = 0;

  // Shows the popup "mene1" ("返回上一级", "解析选中项") at the mouse position.
  virtual void ShowListMenu() = 0;
};

}  // namespace shell
