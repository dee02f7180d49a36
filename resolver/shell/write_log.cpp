#include "resolver/shell/write_log.h"

#include "resolver/shell/log_format.h"

namespace shell {

void Log::WriteLog(std::string_view message) {
  UiLockHold hold(lock_);
  const std::string line = LogLine(LogStamp(clock_()), message);
  view_.AppendLog(LogAppendText(view_.LogText(), line));
}

}  // namespace shell
