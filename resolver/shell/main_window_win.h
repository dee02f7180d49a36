#pragma once
// The main window "Quillon": its controls (controls.h), menus, colours and the dispatch of
// its events to the routines that answer them.
#include <windows.h>

#include <memory>

#include "resolver/shell/desktop_win.h"
#include "resolver/shell/program.h"
#include "resolver/shell/routines.h"
#include "resolver/shell/win32_view_win.h"
#include "resolver/shell/write_log.h"

namespace shell {

class MainWindow {
 public:
  MainWindow(Program& program, HINSTANCE instance);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window without a parent and shows it; its created event writes the start-up
  // notes. False when the window could not be made.
  bool Create(int showCommand);

  HWND Hwnd() const { return hwnd_; }
  // The popup "mene1" that the list shows on a right click; never part of the menu bar.
  HMENU ListMenu() const { return GetSubMenu(listMenuHolder_, 0); }

  // After the message loop: waits up to ms for a resolve worker still running (it may be in a
  // network call). False when one still runs: the program-wide objects must then not be
  // destroyed under it.
  bool WaitForWorker(DWORD ms);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK SelectAllProc(HWND box, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

  void OnCreated();
  void CreateControls();
  HWND CreateControl(const struct ControlSpec& spec);
  void CreateMenus();
  void OnCommand(int id, int code);
  void OnListNotify(const NMHDR& header);
  void OnSelectAllPressed();
  LRESULT OnControlColour(HDC dc, HWND control, bool isEdit);

  Program& program_;
  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HFONT font12_ = nullptr;
  HFONT font16_ = nullptr;
  HBRUSH teal_ = nullptr;
  HMENU listMenuHolder_ = nullptr;  // top-level menu "mene1", never in the menu bar
  std::unique_ptr<Win32View> view_;
  std::unique_ptr<Log> log_;
  std::unique_ptr<Win32Desktop> desktop_;
  std::unique_ptr<Routines> routines_;
};

}  // namespace shell
