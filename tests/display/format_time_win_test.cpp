// FormatTime with the real date functions and script engine under Wine. The 12/24-hour clock
// is switched through the user locale setting (stored in the prefix's registry) and restored.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "resolver/display/display_format.h"

namespace {

class ClockSetting {
 public:
  explicit ClockSetting(const wchar_t* itime) {
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, saved_, 8);
    ok_ = SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, itime) != 0;
  }
  ~ClockSetting() { SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, saved_); }
  bool ok() const { return ok_; }

 private:
  wchar_t saved_[8] = {};
  bool ok_ = false;
};

struct TimeCase {
  const char* stamp;
  const char* h24;
  const char* h12;
};

// Unix seconds shown as the UTC+8 wall clock, whatever TZ the test runs under.
const TimeCase kTenDigits[] = {
    {"1504767600", "2017-9-07 15:00:00", "2017-9-07 03:00:00"},  // 2017-09-07 07:00 UTC
    {"1504785600", "2017-9-07 20:00:00", "2017-9-07 08:00:00"},
    {"1517447103", "2018-2-01 09:05:03", "2018-2-01 09:05:03"},
    {"0000000000", "1970-1-01 08:00:00", "1970-1-01 08:00:00"},
    {"1504742400", "2017-9-07 08:00:00", "2017-9-07 08:00:00"},
    {"1504713600", "2017-9-07 00:00:00", "2017-9-07 12:00:00"},  // midnight: 12 on a 12-hour clock
    {"4102444800", "2100-1-01 08:00:00", "2100-1-01 08:00:00"},  // past 2038: the true date
};

TEST(FormatTime, TenDigitsIn24And12HourLocales) {
  for (const wchar_t* itime : {L"1", L"0"}) {
    ClockSetting clock(itime);
    ASSERT_TRUE(clock.ok());
    for (const auto& row : kTenDigits) {
      SCOPED_TRACE(row.stamp);
      EXPECT_EQ(display::FormatTime(row.stamp), itime[0] == L'1' ? row.h24 : row.h12);
    }
  }
}

TEST(FormatTime, OtherLengthsGoThroughTheScriptEngineAsMilliseconds) {
  const char* tz = std::getenv("TZ");
  const bool shanghai = tz && std::string(tz) == "Asia/Shanghai";
  // 2017-09-07 07:00:00 UTC in milliseconds (13 digits)
  EXPECT_EQ(display::FormatTime("1504767600000"), shanghai ? "2017-9-7 15:00:00" : "2017-9-7 07:00:00");
  // nine digits: 100000000 ms after 1970 is 1970-01-02 03:46:40 UTC
  EXPECT_EQ(display::FormatTime("100000000"), shanghai ? "1970-1-2 11:46:40" : "1970-1-2 03:46:40");
  // what JScript cannot read as a number is an invalid Date with no six-part text
  EXPECT_EQ(display::FormatTime("x"), "");
}

TEST(FormatTime, ComStaysBalancedAcrossCalls) {
  // each call pairs its own initialise with an uninitialise: the thread is left as it was
  for (int i = 0; i < 3; ++i) display::FormatTime("1504767600000");
  HRESULT hr = CoInitialize(nullptr);
  EXPECT_EQ(hr, S_OK);  // S_FALSE would mean a call left COM initialised
  if (SUCCEEDED(hr)) CoUninitialize();
}

}  // namespace
