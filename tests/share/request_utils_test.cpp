// The request utilities: text searches over CP936 text and the value makers of the queries.
#include "resolver/share/request_utils.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>

#include "base/gbk_literal.h"
#include "resolver/share/base64.h"
#include "tests/share/request_pattern.h"

namespace share {
namespace {

struct SearchCase {
  const char* name;
  std::string text, begin, end, expected;
};

TEST(TextBetweenTest, CutsFromFirstBeginToNextEnd) {
  const std::string zhong = base::Gbk("中");  // D6 D0
  const SearchCase cases[] = {
      {"single letter", "a(b);c", "(", ");", "b"},
      {"begin missing", "a(b);c", "[", ");", ""},
      {"end missing", "a(b);c", "(", "]", ""},
      {"markers touch", "x();", "(", ");", ""},
      {"end only before begin", ");a(b", "(", ");", ""},
      {"first begin, next end", "(1);(2);", "(", ");", "1"},
      {"page data call", "<script>yunData.setData({\"uk\":1});</script>", "yunData.setData(",
       ");", "{\"uk\":1}"},
      {"two-byte text between", "(" + zhong + ");", "(", ");", zhong},
      // "\xD6\x28" is one character: its second byte is no "(".
      {"second byte never starts a match", "\xD6(x(y);", "(", ");", "y"},
      {"end marker inside a character is skipped", "(a\xB0;);", "(", ";", "a\xB0;)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TextBetween(c.text, c.begin, c.end), c.expected);
  }
}

TEST(TextAfterLastTest, TakesTheTailAfterTheLastMarker) {
  const SearchCase cases[] = {
      {"init query", "https://h/share/init?surl=abc", "init?", "", "surl=abc"},
      {"missing marker", "https://h/s/1abc", "init?", "", ""},
      {"last of two", "a/b/c", "/", "", "c"},
      {"marker at the end", "abc/", "/", "", ""},
      // "\xB0/" is one character: the last "/" that starts a character is the first one.
      {"second byte never matches", "a/\xB0/x", "/", "", "\xB0/x"},
      {"two-byte marker", "a" + base::Gbk("码") + "b" + base::Gbk("码") + "c", base::Gbk("码"),
       "", "c"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TextAfterLast(c.text, c.begin), c.expected);
  }
}

TEST(ContainsTest, ExactAndCharacterAligned) {
  EXPECT_TRUE(Contains("https://h/share/init?surl=x", "?surl="));
  EXPECT_FALSE(Contains("https://h/share/init?SURL=x", "?surl="));
  EXPECT_TRUE(Contains(base::Gbk("请输入提取密码"), base::Gbk("入提取密码")));
  // "\xB0\xA1\xA1" holds the characters B0A1 and a lone A1: the A1 at position 2 is no start.
  EXPECT_FALSE(Contains("\xB0\xA1x", "\xA1x"));
}

bool AllDigits(const std::string& s) {
  return s.find_first_not_of("0123456789") == std::string::npos;
}

TEST(RandomDigitsTest, CountsAndDigits) {
  const struct { int32_t count; size_t length; } cases[] = {{0, 19}, {16, 16}, {1, 1}, {-3, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    const std::string digits = RandomDigits(c.count);
    EXPECT_EQ(digits.size(), c.length);
    EXPECT_TRUE(AllDigits(digits));
  }
}

TEST(RandomDigitsTest, CallsInOneMillisecondDiffer) {
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) seen.insert(RandomDigits(19));
  EXPECT_EQ(seen.size(), 50u);
}

TEST(Timestamp13Test, IsUnixMilliseconds) {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  const auto now = [] {
    return duration_cast<milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
  };
  const long long before = now();
  const std::string stamp = Timestamp13();
  const long long after = now();
  EXPECT_EQ(stamp.size(), 13u);
  ASSERT_TRUE(AllDigits(stamp));
  EXPECT_GE(std::stoll(stamp), before);
  EXPECT_LE(std::stoll(stamp), after);
}

TEST(MakeLogIdTest, DecodesToStampDotNineteenDigits) {
  const std::string id = MakeLogId();
  EXPECT_EQ(id.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(id.size() % 4, 0u);
  const std::string text = testing::Base64Decode(id);
  ASSERT_EQ(text.size(), 13u + 1 + 19) << text;
  EXPECT_TRUE(AllDigits(text.substr(0, 13)));
  EXPECT_EQ(text[13], '.');
  EXPECT_TRUE(AllDigits(text.substr(14)));
}

TEST(Base64Test, StandardAlphabetWithPadding) {
  const struct { std::string in, out; } cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foobar", "Zm9vYmFy"},
      {"\xFB\xFF\xBF", "+/+/"},
      {"1504767600123.1234567890123456789",
       "MTUwNDc2NzYwMDEyMy4xMjM0NTY3ODkwMTIzNDU2Nzg5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(Base64Encode(c.in), c.out);
  }
}

TEST(Base64Test, OneLineHoweverLong) {
  // Line-wrapping encoders break after 64 or 76 characters; the log id must stay one line.
  const std::string encoded = Base64Encode(std::string(60, 'a'));
  std::string expected;
  for (int i = 0; i < 20; ++i) expected += "YWFh";  // "aaa"
  EXPECT_EQ(encoded, expected);
}

TEST(UrlEncodeUtf8Test, PercentFormOfUtf8) {
  const struct { const char* name; std::string in, out; } cases[] = {
      {"space as plus", "a b", "a+b"},
      {"unreserved marks are encoded too", "-_.~*", "%2D%5F%2E%7E%2A"},
      {"letters and digits copied", "AZaz09", "AZaz09"},
      {"one Chinese character", base::Gbk("中"), "%E4%B8%AD"},
      {"folder path", base::Gbk("/照片 2017"), "%2F%E7%85%A7%E7%89%87+2017"},
      {"reserved", "&=%+/?", "%26%3D%25%2B%2F%3F"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(UrlEncodeUtf8(c.in), c.out);
  }
}

}  // namespace
}  // namespace share
