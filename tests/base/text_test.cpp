#include "base/text.h"

#include <gtest/gtest.h>

namespace {

struct FindCase {
  const char* text;
  const char* part;
  int start;
  base::Case c;
  int expected;
};

// "\xB0\xA1" is the two-byte character 啊; "\xA1\xA1" the full-width space.
const FindCase kFindCases[] = {
    {"abcabc", "bc", 1, base::Case::kExact, 2},
    {"abcabc", "bc", 3, base::Case::kExact, 5},
    {"abcabc", "x", 1, base::Case::kExact, -1},
    {"abc", "", 1, base::Case::kExact, 1},
    {"abc", "abcd", 1, base::Case::kExact, -1},
    {"", "a", 1, base::Case::kExact, -1},
    {"ABC", "bc", 1, base::Case::kExact, -1},
    {"ABC", "bc", 1, base::Case::kIgnoreAscii, 2},
    {"Content-LENGTH: 5", "content-length:", 1, base::Case::kIgnoreAscii, 1},
    // a match is never tried on the second byte of a character
    {"\xB0\xA1\xA1\xA1", "\xA1\xA1", 1, base::Case::kExact, 3},
    {"\xB0\xA1x", "\xA1x", 1, base::Case::kExact, -1},
    {"x\xB0\xA1", "\xB0\xA1", 1, base::Case::kExact, 2},
    // a start inside a character moves on to the next character start
    {"\xB0\xA1" "a", "a", 2, base::Case::kExact, 3},
    // folding leaves the bytes of two-byte characters alone (0xC1 0x41 holds an 'A' byte)
    {"\xC1\x41", "\xC1\x61", 1, base::Case::kIgnoreAscii, -1},
    {"abc", "c", 9, base::Case::kExact, -1},
};

TEST(TextFind, Table) {
  for (const auto& row : kFindCases) {
    SCOPED_TRACE(std::string(row.text) + " / " + row.part);
    EXPECT_EQ(base::Find(row.text, row.part, row.start, row.c), row.expected);
  }
}

TEST(TextFind, LastOccurrenceAtCharacterStarts) {
  EXPECT_EQ(base::FindLast("a/b/c", "/"), 4);
  EXPECT_EQ(base::FindLast("abc", "/"), -1);
  EXPECT_EQ(base::FindLast("/share/init?surl=abc", "init?"), 8);
  // 0xAF 0x2F is one character: its second byte is no "/"
  EXPECT_EQ(base::FindLast("a/\xAF//", "/"), 5);
  EXPECT_EQ(base::FindLast("a/\xAF/b", "/"), 2);
  EXPECT_EQ(base::FindLast("AbAB", "ab", base::Case::kIgnoreAscii), 3);
}

TEST(TextCase, FoldsAsciiLettersOnly) {
  EXPECT_EQ(base::ToLowerAscii("HTTPS://Ab"), "https://ab");
  EXPECT_EQ(base::ToUpperAscii("post"), "POST");
  EXPECT_EQ(base::ToLowerAscii("\xC1\x41Z"), "\xC1\x41z");
  EXPECT_EQ(base::ToUpperAscii("\xC1\x61z"), "\xC1\x61Z");
}

TEST(TextMid, OneBasedAndClamped) {
  EXPECT_EQ(base::Mid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(base::Mid("abcdef", 5), "ef");
  EXPECT_EQ(base::Mid("abcdef", 5, 10), "ef");
  EXPECT_EQ(base::Mid("abcdef", 7), "");
  EXPECT_EQ(base::Mid("abcdef", 0, 2), "");
}

TEST(TextTrim, AsciiAndFullWidthSpaces) {
  EXPECT_EQ(base::TrimSpaces("  \xA1\xA1 x y \xA1\xA1 "), "x y");
  EXPECT_EQ(base::TrimLeadingSpaces(" \xA1\xA1x "), "x ");
  EXPECT_EQ(base::TrimSpaces("   "), "");
  // the trail byte 0xA1 of 0xB0 0xA1 followed by 0xA1 is no full-width space
  EXPECT_EQ(base::TrimSpaces("\xB0\xA1\xA1"), "\xB0\xA1\xA1");
}

}  // namespace
