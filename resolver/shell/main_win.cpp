// Quillon's start-up: the program-wide objects, the main window, the message loop. The
// program takes no arguments and keeps nothing when it ends.
#include <windows.h>

#include <commctrl.h>

#include "resolver/shell/main_window_win.h"
#include "resolver/http/internet_api.h"
#include "resolver/shell/program.h"
#include "resolver/shell/service_hosts_config.h"

namespace {
constexpr DWORD kWorkerGraceMs = 2000;  // how long a closed program waits for a running resolve
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  // Process set-up: the common controls (list view) and this thread's message queue.
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  MSG msg = {};
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);

  // The program-wide objects in their fixed order; leaving this scope after the message loop is
  // the exit routine. (The JSON library and the HTTP client draw on GetProcessHeap() themselves:
  // the process heap exists from the first instruction and needs no object of ours.)
  shell::Program program(http::SystemInternetApi(), shell::ConfiguredServiceHosts());
  int exitCode = 1;
  {
    shell::MainWindow mainWindow(program, instance);
    if (mainWindow.Create(showCommand)) {
      BOOL got;
      while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      if (got == 0) exitCode = static_cast<int>(msg.wParam);  // WM_QUIT; -1 is a broken queue
    }
    // A resolve worker still in a network call when the window closed uses the objects below:
    // rather than destroy them under it, the process ends here (its handles go with it).
    if (!mainWindow.WaitForWorker(kWorkerGraceMs)) ExitProcess(static_cast<UINT>(exitCode));
  }
  return exitCode;
}
