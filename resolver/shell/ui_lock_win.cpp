#include <windows.h>

#include "resolver/shell/ui_lock.h"

namespace shell {

struct UiLock::Impl {
  CRITICAL_SECTION section;
  DWORD uiThread = GetCurrentThreadId();
};

UiLock::UiLock() : impl_(std::make_unique<Impl>()) { InitializeCriticalSection(&impl_->section); }

UiLock::~UiLock() { DeleteCriticalSection(&impl_->section); }

void UiLock::Enter() {
  if (GetCurrentThreadId() != impl_->uiThread) {
    EnterCriticalSection(&impl_->section);
    return;
  }
  // The holder may be waiting in SendMessage for one of our windows: serve sent messages (and
  // only those, so no user event runs inside a lock wait) until the lock is free.
  while (!TryEnterCriticalSection(&impl_->section)) {
    MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_SENDMESSAGE, 0);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void UiLock::Leave() { LeaveCriticalSection(&impl_->section); }

}  // namespace shell
