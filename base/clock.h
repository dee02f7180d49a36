#pragma once
// The computer's clock: local calendar time (what the log stamps show) and true Unix time.
#include <cstdint>

namespace base {

struct LocalTime {
  int year = 0, month = 0, day = 0;  // month 1..12, day 1..31
  int hour = 0, minute = 0, second = 0, millisecond = 0;  // hour 0..23
};

LocalTime NowLocal();

// Milliseconds since 1970-01-01 00:00:00 UTC, independent of the time zone.
int64_t UnixMillisNow();

// Milliseconds of a monotonic tick counter (for seeding and time-outs).
uint64_t TickCount();

}  // namespace base
