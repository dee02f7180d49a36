#pragma once
// WriteLog: the one way any routine writes to the log box Pan_RunState.
#include <string_view>

#include "base/clock.h"
#include "resolver/shell/ui_lock.h"
#include "resolver/shell/view.h"

namespace shell {

using LocalClock = base::LocalTime (*)();

class Log {
 public:
  Log(View& view, UiLock& lock, LocalClock clock = &base::NowLocal)
      : view_(view), lock_(lock), clock_(clock) {}

  // Appends the line LogStamp + "：" + message (CP936), holding UiLock for the whole
  // read-modify-append so two lines never interleave. From the UI thread or the worker.
  void WriteLog(std::string_view message);

 private:
  View& view_;
  UiLock& lock_;
  LocalClock clock_;
};

}  // namespace shell
