#include "resolver/shell/desktop_win.h"

#include <memory>
#include <utility>

#include "resolver/json/region_heap.h"

namespace shell {

namespace {

DWORD WINAPI RunRoutine(void* parameter) {
  std::unique_ptr<std::function<void()>> routine(static_cast<std::function<void()>*>(parameter));
  (*routine)();
  // The worker parsed the share's page data: its JSON heap chunk goes with the thread.
  json::RegionHeap::ReleaseThread();
  return 0;
}

}  // namespace

Win32Desktop::~Win32Desktop() {
  for (HANDLE t : threads_) CloseHandle(t);
}

bool Win32Desktop::StartThread(std::function<void()> routine, uint64_t& handleValue) {
  CloseFinishedThreads();
  auto* owned = new std::function<void()>(std::move(routine));
  HANDLE thread = CreateThread(nullptr, 0, RunRoutine, owned, CREATE_SUSPENDED, nullptr);
  if (!thread) {
    delete owned;
    return false;
  }
  threads_.push_back(thread);
  handleValue = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(thread));
  ResumeThread(thread);
  return true;
}

void Win32Desktop::CloseFinishedThreads() {
  std::vector<HANDLE> running;
  for (HANDLE t : threads_) {
    if (WaitForSingleObject(t, 0) == WAIT_OBJECT_0) {
      CloseHandle(t);
    } else {
      running.push_back(t);
    }
  }
  threads_ = std::move(running);
}

bool Win32Desktop::WaitProcessingMessages(int ms) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // the message loop still has to see it
        return false;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (!IsWindow(main_)) return false;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return true;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void Win32Desktop::ShowListMenu() {
  POINT at;
  GetCursorPos(&at);
  TrackPopupMenu(listMenu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, main_, nullptr);
}

bool Win32Desktop::WaitForThreads(DWORD ms) {
  CloseFinishedThreads();
  const ULONGLONG end = GetTickCount64() + ms;
  while (!threads_.empty()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    const DWORD got = MsgWaitForMultipleObjectsEx(static_cast<DWORD>(threads_.size()), threads_.data(),
                                                  static_cast<DWORD>(end - now), QS_SENDMESSAGE, 0);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    if (got == WAIT_FAILED) return false;
    CloseFinishedThreads();
  }
  return true;
}

}  // namespace shell
