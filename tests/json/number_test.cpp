// Token classification and number reading, and in-place unescaping.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "base/codepage.h"
#include "resolver/json/json_parser.h"
#include "resolver/json/json_value.h"

namespace json {
namespace {

std::string Utf8(std::u16string_view text) { return base::FromUtf16(text, base::CodePage::kUtf8); }

TEST(Classify, KindsOfTokens) {
  struct Row { std::u16string token; int kind; };
  const Row rows[] = {
      {u"null", kNull}, {u"true", kBoolean}, {u"false", kBoolean}, {u"Null", kRaw},
      {u"nul", kRaw}, {u"abc", kRaw}, {u"", kRaw},
      {u"0", kInteger}, {u"-5", kInteger}, {u"+5", kInteger}, {u"-", kInteger}, {u"+", kInteger},
      {u"007", kInteger},
      {u"1.5", kReal}, {u".", kReal}, {u"1e5", kReal}, {u"1E5", kReal}, {u"1-2", kReal},
      {u"1e5.", kReal}, {u"-.5", kReal}, {u"5+", kReal},
      {u"1.2.3", kRaw}, {u"1e2e3", kRaw}, {u"--1", kRaw}, {u"-1e-5", kRaw}, {u"e5", kRaw},
      {u"1x", kRaw}, {u"0x1F", kRaw}, {u"inf", kRaw}, {u"1,5", kRaw},
      {u"\x01" u"5", kInteger},  // units of 32 or less are passed over
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Utf8(r.token));
    EXPECT_EQ(Classify(r.token), r.kind);
    EXPECT_EQ(IsNumber(r.token), r.kind == kInteger || r.kind == kReal);
  }
}

TEST(ParseInteger, ReadsDigitsUpToTheFirstOtherUnitExactlyAndSaturates) {
  struct Row { std::u16string token; int64_t value; };
  const Row rows[] = {
      {u"0", 0}, {u"-5", -5}, {u"+7", 7}, {u"-", 0}, {u"", 0}, {u"12x3", 12},
      {u"\x02-3", -3},
      {u"123456789012345", 123456789012345},
      {u"9007199254740993", 9007199254740993},  // beyond 2^53, still exact
      {u"9223372036854775807", std::numeric_limits<int64_t>::max()},
      {u"9223372036854775808", std::numeric_limits<int64_t>::max()},
      {u"-9223372036854775808", std::numeric_limits<int64_t>::min()},
      {u"-9223372036854775809", std::numeric_limits<int64_t>::min()},
      {u"123456789012345678901234567890", std::numeric_limits<int64_t>::max()},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Utf8(r.token));
    EXPECT_EQ(ParseInteger(r.token), r.value);
  }
}

TEST(ParseReal, ReadsMantissaAndExponentAndIgnoresTheRest) {
  struct Row { std::u16string token; double value; };
  const Row rows[] = {
      {u"1.50", 1.5}, {u"0.1", 0.1}, {u"-2.5", -2.5}, {u"1e5", 1e5}, {u"1E+5", 1e5},
      {u"1.5e-3", 1.5e-3}, {u"1-2", 1}, {u"1e5.", 1e5}, {u".5", 0.5}, {u".", 0}, {u"1e", 1},
      {u"1e-+5", 1}, {u"5+", 5}, {u"3.14159265358979", 3.14159265358979},
      {u"123456789.123456789e-9", 0.123456789123456789}, {u"1e999", HUGE_VAL},
      {u"1e-999", 0}, {u"0e999999999999", 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Utf8(r.token));
    EXPECT_EQ(ParseReal(r.token), r.value);
  }
  EXPECT_TRUE(std::signbit(ParseReal(u"-.")));  // a minus on a zero mantissa stays
  EXPECT_TRUE(std::signbit(ParseReal(u"-0.0")));
}

TEST(UnescapeText, DecodesLeftToRightInPlace) {
  struct Row { std::u16string in; bool decode; std::u16string out; };
  const Row rows[] = {
      {u"a\\\"b\\'c\\\\d\\/e", false, u"a\"b'c\\d/e"},
      {u"\\b\\t\\n\\r\\f", false, u"\b\t\n\r\f"},
      {u"x\\u0041", true, u"xA"},
      {u"x\\u0041", false, u"x\\u0041"},
      {u"\\u6587\\uABcd", true, u"\u6587\uabcd"},
      {u"\\ud83d\\ude00", true, u"\U0001F600"},
      {u"\\u0000z", true, std::u16string(u"\0z", 2)},
      {u"\\\\n", true, u"\\n"},
      {u"\\\\n", false, u"\\n"},
      {u"\\u12", true, u"\\u12"},
      {u"\\u12\\n", true, u"\\u12\n"},
      {u"\\uzz41", true, u"\\uzz41"},
      {u"\\u\\n41", false, u"\\u\\n41"},  // off: the six units stay as they are
      {u"\\q\\", true, u"\\q\\"},
      {u"", true, u""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Utf8(r.in) + (r.decode ? " (decode)" : ""));
    std::u16string text = r.in;
    text.resize(UnescapeText(text.data(), text.size(), r.decode));
    EXPECT_EQ(text, r.out);
  }
}

}  // namespace
}  // namespace json
