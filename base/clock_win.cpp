#include <windows.h>

#include "base/clock.h"

namespace base {

LocalTime NowLocal() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

int64_t UnixMillisNow() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER t;
  t.LowPart = ft.dwLowDateTime;
  t.HighPart = ft.dwHighDateTime;
  // FILETIME counts 100 ns since 1601-01-01 UTC; 11644473600 s lie between 1601 and 1970.
  return static_cast<int64_t>(t.QuadPart / 10000ULL) - 11644473600000LL;
}

uint64_t TickCount() { return GetTickCount64(); }

}  // namespace base
