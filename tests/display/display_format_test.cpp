#include "resolver/display/display_format.h"

#include <gtest/gtest.h>

namespace {

struct SizeCase {
  int64_t size;
  const char* text;
};

const SizeCase kSizes[] = {
    {0, "0 B"},
    {1000, "1000 B"},
    {1023, "1023 B"},
    {1024, "1 KB"},
    {1025, "1 KB"},  // 1.0009... rounds to 1
    {1536, "1.5 KB"},
    {1048575, "1024 KB"},  // 1023.999 rounds up, the unit stays
    {1048576, "1 MB"},
    {1048577, "1 MB"},
    {1073741823, "1024 MB"},
    {5LL * 1073741824 + 536870912, "5.5 GB"},
    {3LL * 1024 * 1073741824, "3072 GB"},  // no unit above GB
    {1029, "1 KB"},                          // 1.0048828125 -> 1
    {1034, "1.01 KB"},                       // 1.009765625 -> 1.01
    {10240 + 51, "10.05 KB"},                // 10.0498046875 -> 10.05
    {-5, "-5 B"},
};

TEST(FormatSize, Table) {
  for (const auto& row : kSizes) {
    SCOPED_TRACE(row.size);
    EXPECT_EQ(display::FormatSize(row.size), row.text);
  }
}

TEST(AssembleScriptDate, MonthsAndParts) {
  EXPECT_EQ(display::AssembleScriptDate("Thu Sep 7 15:00:00 UTC+0800 2017"), "2017-9-7 15:00:00");
  EXPECT_EQ(display::AssembleScriptDate("Thu Jan 1 08:00:00 UTC+0800 1970"), "1970-1-1 08:00:00");
  EXPECT_EQ(display::AssembleScriptDate("Mon Dec 31 23:59:59 UTC 2018"), "2018-12-31 23:59:59");
  EXPECT_EQ(display::AssembleScriptDate("Mon Foo 31 23:59:59 UTC 2018"), "2018-Foo-31 23:59:59");
  EXPECT_EQ(display::AssembleScriptDate("Thu Sep 7 15:00:00 2017"), "");
  EXPECT_EQ(display::AssembleScriptDate(""), "");
}

TEST(ParseStampSeconds, LeadingDigitsOnly) {
  EXPECT_EQ(display::ParseStampSeconds("1504767600"), 1504767600);
  EXPECT_EQ(display::ParseStampSeconds("4102444800"), 4102444800LL);  // 2100, past 32 bits
  EXPECT_EQ(display::ParseStampSeconds("-000000001"), -1);
  EXPECT_EQ(display::ParseStampSeconds("12345abcde"), 12345);
  EXPECT_EQ(display::ParseStampSeconds("abcdefghij"), 0);
}

TEST(UnixSecondsToUtc8VariantTime, EpochIsEightOClock) {
  EXPECT_DOUBLE_EQ(display::UnixSecondsToUtc8VariantTime(0), 25569.0 + 8.0 / 24.0);
  EXPECT_DOUBLE_EQ(display::UnixSecondsToUtc8VariantTime(16 * 3600), 25570.0);
}

}  // namespace
