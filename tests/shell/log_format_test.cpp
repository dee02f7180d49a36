#include "resolver/shell/log_format.h"

#include <gtest/gtest.h>

#include "base/gbk_literal.h"

namespace {

struct StampCase {
  base::LocalTime time;
  const char* stamp;
};

const StampCase kStamps[] = {
    {{2017, 9, 7, 15, 0, 5, 0}, "2017.09.07-15.00.05"},
    {{2018, 2, 1, 9, 5, 3, 0}, "2018.02.01-09.05.03"},
    {{2020, 12, 31, 23, 59, 59, 999}, "2020.12.31-23.59.59"},  // milliseconds never show
    {{2000, 1, 1, 0, 0, 0, 0}, "2000.01.01-00.00.00"},         // midnight is hour 00, not 12 or 24
    {{10000, 10, 10, 10, 10, 10, 0}, "10000.10.10-10.10.10"},  // the year in full, never cut
    {{987, 1, 2, 3, 4, 5, 0}, "987.01.02-03.04.05"},           // and never padded
};

TEST(LogStamp, FormatsEveryFieldWithItsWidth) {
  for (const auto& c : kStamps) {
    SCOPED_TRACE(c.stamp);
    EXPECT_EQ(shell::LogStamp(c.time), c.stamp);
  }
}

TEST(LogLine, JoinsStampAndMessageWithTheFullWidthColon) {
  EXPECT_EQ(shell::LogLine("2017.09.07-15.00.05", base::Gbk("解析完成")),
            "2017.09.07-15.00.05\xA3\xBA\xBD\xE2\xCE\xF6\xCD\xEA\xB3\xC9");
  EXPECT_EQ(shell::LogLine("2017.09.07-15.00.05", ""), "2017.09.07-15.00.05\xA3\xBA");
}

struct AppendCase {
  const char* name;
  const char* box;
  const char* appended;
};

const AppendCase kAppends[] = {
    {"empty box: no leading break", "", "L"},
    {"one line before", "A", "\r\nL"},
    {"box already ending in a break still gets its own", "A\r\n", "\r\nL"},
    {"a lone space is text", " ", "\r\nL"},
};

TEST(LogAppendText, BreaksOnlyBetweenLines) {
  for (const auto& c : kAppends) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(shell::LogAppendText(c.box, "L"), c.appended);
  }
}

}  // namespace
