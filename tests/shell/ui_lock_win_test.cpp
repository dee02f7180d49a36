// The UI thread must keep serving messages sent by a worker that holds UiLock while the UI
// thread itself waits for the lock; otherwise both wait for ever.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "resolver/shell/ui_lock.h"

namespace {

std::atomic<int> gServed{0};

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_APP) {
    ++gServed;
    return 42;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND MakeMessageWindow() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = CountingProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"UiLockTestWindow";
  RegisterClassW(&wc);
  return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

struct Worker {
  shell::UiLock* lock;
  HWND window;
  HANDLE holding;        // set once the worker holds the lock
  DWORD_PTR answer = 0;
  BOOL delivered = FALSE;
};

DWORD WINAPI HoldAndSend(void* arg) {
  auto* w = static_cast<Worker*>(arg);
  w->lock->Enter();
  SetEvent(w->holding);
  Sleep(50);  // let the UI thread block in Enter first
  // Bounded, so a deadlocking lock makes the test fail instead of hanging.
  w->delivered = SendMessageTimeoutW(w->window, WM_APP, 0, 0, SMTO_NORMAL, 5000, &w->answer) != 0;
  w->lock->Leave();
  return 0;
}

TEST(UiLockWin, UiThreadWaitingForTheLockServesMessagesSentByTheHolder) {
  HWND window = MakeMessageWindow();
  ASSERT_NE(window, nullptr);
  shell::UiLock lock;  // made on this thread: this is the UI thread
  Worker w{&lock, window, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  HANDLE thread = CreateThread(nullptr, 0, HoldAndSend, &w, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(w.holding, INFINITE);
  lock.Enter();
  lock.Leave();
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  CloseHandle(w.holding);
  DestroyWindow(window);
  EXPECT_TRUE(w.delivered) << "the UI thread did not serve the worker's message while waiting";
  EXPECT_EQ(w.answer, 42u);
  EXPECT_EQ(gServed.load(), 1);
}

DWORD WINAPI EnterAndLeave(void* arg) {
  auto* lock = static_cast<shell::UiLock*>(arg);
  lock->Enter();
  lock->Leave();
  return 0;
}

TEST(UiLockWin, IsReentrantOnTheUiThread) {
  shell::UiLock lock;
  lock.Enter();
  lock.Enter();
  lock.Leave();
  lock.Leave();
  // Free again: another thread gets it at once.
  HANDLE thread = CreateThread(nullptr, 0, EnterAndLeave, &lock, 0, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  CloseHandle(thread);
}

}  // namespace
