#pragma once
// How a log line of the log box Pan_RunState is made. Texts are CP936 bytes.
#include <string>
#include <string_view>

#include "base/clock.h"

namespace shell {

// year "." month "." day "-" hour "." minute "." second: the year in full, the other fields
// with two digits, hour 0..23. 7 September 2017, 15:00:05 -> "2017.09.07-15.00.05".
std::string LogStamp(const base::LocalTime& t);

// stamp + the full-width colon (bytes A3 BA) + message.
std::string LogLine(std::string_view stamp, std::string_view message);

// What is appended to the box for a new line: the line itself into an empty box, otherwise
// "\r\n" and the line. So the box never starts or ends with a line break of its own making.
std::string LogAppendText(std::string_view currentBoxText, std::string_view line);

}  // namespace shell
