#include "base/codepage.h"

#include <gtest/gtest.h>

namespace {

using base::CodePage;

struct Vector {
  const char* name;
  std::string gbk;
  std::u16string utf16;
  std::string utf8;
};

const Vector kVectors[] = {
    {"empty", "", u"", ""},
    {"ascii", "a b-_.~*", u"a b-_.~*", "a b-_.~*"},
    {"two-byte", "\xD6\xD0\xCE\xC4", u"\u4E2D\u6587", "\xE4\xB8\xAD\xE6\x96\x87"},
    {"full-width colon", "\xA3\xBA", u"\uFF1A", "\xEF\xBC\x9A"},
    {"mixed", "a\xC3\xDC\xC2\xEB: 1", u"a\u5BC6\u7801: 1", "a\xE5\xAF\x86\xE7\xA0\x81: 1"},
    {"euro", "\x80", u"\u20AC", "\xE2\x82\xAC"},
};

TEST(Codepage, RoundTripsEveryVector) {
  for (const auto& v : kVectors) {
    SCOPED_TRACE(v.name);
    EXPECT_EQ(base::ToUtf16(v.gbk, CodePage::kGbk), v.utf16);
    EXPECT_EQ(base::FromUtf16(v.utf16, CodePage::kGbk), v.gbk);
    EXPECT_EQ(base::ToUtf16(v.utf8, CodePage::kUtf8), v.utf16);
    EXPECT_EQ(base::FromUtf16(v.utf16, CodePage::kUtf8), v.utf8);
    EXPECT_EQ(base::Cp936ToUtf8(v.gbk), v.utf8);
    EXPECT_EQ(base::Utf8ToCp936(v.utf8), v.gbk);
  }
}

TEST(Codepage, SupplementaryCharacterInUtf8) {
  const std::u16string pair = u"\U0001F600";
  EXPECT_EQ(base::FromUtf16(pair, CodePage::kUtf8), "\xF0\x9F\x98\x80");
  EXPECT_EQ(base::ToUtf16("\xF0\x9F\x98\x80", CodePage::kUtf8), pair);
}

TEST(Codepage, CharactersOutsideCp936BecomeQuestionMarks) {
  // U+00E9 has no code point in 936's two-byte set ... it does: check a character that has none.
  EXPECT_EQ(base::FromUtf16(u"a\U0001F600b", CodePage::kGbk).find('?') != std::string::npos, true);
  EXPECT_EQ(base::FromUtf16(u"a\xD800" u"b", CodePage::kGbk).front(), 'a');
}

TEST(Codepage, InvalidInputNeverLosesTheRest) {
  // a lone lead byte at the end, a bad UTF-8 lead: the text around survives
  std::u16string a = base::ToUtf16("ab\xD6", CodePage::kGbk);
  ASSERT_GE(a.size(), 2u);
  EXPECT_EQ(a.substr(0, 2), u"ab");
  std::u16string b = base::ToUtf16("a\xFFz", CodePage::kUtf8);
  EXPECT_EQ(b, u"a\uFFFDz");
  std::u16string c = base::ToUtf16("a\xE4\xB8z", CodePage::kUtf8);
  EXPECT_EQ(c.front(), u'a');
  EXPECT_EQ(c.back(), u'z');
}

}  // namespace

#include "base/gbk_literal.h"

TEST(GbkLiteral, SourceUtf8BecomesCp936Bytes) {
  EXPECT_EQ(base::Gbk("解析完成"), "\xBD\xE2\xCE\xF6\xCD\xEA\xB3\xC9");
  EXPECT_EQ(base::Gbk("：").size(), 2u);
  EXPECT_EQ(base::Gbk("："), "\xA3\xBA");
}
