#include "resolver/shell/log_format.h"

#include <cstdio>

namespace shell {

namespace {
constexpr std::string_view kFullWidthColon = "\xA3\xBA";
}

std::string LogStamp(const base::LocalTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d.%02d.%02d-%02d.%02d.%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return buf;
}

std::string LogLine(std::string_view stamp, std::string_view message) {
  std::string line;
  line.reserve(stamp.size() + kFullWidthColon.size() + message.size());
  line.append(stamp).append(kFullWidthColon).append(message);
  return line;
}

std::string LogAppendText(std::string_view currentBoxText, std::string_view line) {
  if (currentBoxText.empty()) return std::string(line);
  std::string out = "\r\n";
  out.append(line);
  return out;
}

}  // namespace shell
