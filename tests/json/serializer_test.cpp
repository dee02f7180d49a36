// Writing trees back: compact and pretty layout, escaping, numbers from the payload.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/codepage.h"
#include "base/gbk_literal.h"
#include "resolver/json/json_document.h"
#include "resolver/json/json_serializer.h"
#include "resolver/json/json_value.h"

namespace json {
namespace {

std::string Utf8(std::u16string_view text) { return base::FromUtf16(text, base::CodePage::kUtf8); }

TEST(Serializer, CompactAndPrettyLayouts) {
  struct Row { std::u16string source; std::u16string compact; std::u16string pretty; };
  const Row rows[] = {
      {u"{'a':1,'b':[1,2],'c':{'d':true}}", u"{\"a\":1,\"b\":[1,2],\"c\":{\"d\":true}}",
       u"{\r\n\t\"a\":1,\r\n\t\"b\":[1,2],\r\n\t\"c\":{\r\n\t\t\"d\":true\r\n\t}\r\n}"},
      {u"{}", u"{}", u"{\r\n}"},
      {u"[]", u"[]", u"[]"},
      {u"[{'x':1}]", u"[{\"x\":1}]", u"[{\r\n\t\t\"x\":1\r\n\t}]"},
      {u"[[1,[2]],{}]", u"[[1,[2]],{}]", u"[[1,[2]],{\r\n\t}]"},
      {u"{'a':[{'b':[]}]}", u"{\"a\":[{\"b\":[]}]}",
       u"{\r\n\t\"a\":[{\r\n\t\t\t\"b\":[]\r\n\t\t}]\r\n}"},
      {u"{'r':abc,'e':}", u"{\"r\":abc,\"e\":}", u"{\r\n\t\"r\":abc,\r\n\t\"e\":\r\n}"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Utf8(r.source));
    JsonDocument doc;
    ASSERT_TRUE(doc.ParseW(r.source));
    EXPECT_EQ(Utf8(doc.ToTextW()), Utf8(r.compact));
    EXPECT_EQ(Utf8(doc.ToTextW(u"", true)), Utf8(r.pretty));
    JsonDocument again;  // the pretty form reads back to the same tree
    ASSERT_TRUE(again.ParseW(doc.ToTextW(u"", true)));
    EXPECT_EQ(Utf8(again.ToTextW()), Utf8(r.compact));
  }
}

TEST(Serializer, ScalarsAreWrittenFromThePayload) {
  struct Row { JsonValue* value; std::u16string text; };
  const Row rows[] = {
      {JsonValue::CreateInteger(nullptr, -7), u"-7"},
      {JsonValue::CreateReal(nullptr, 0.1), u"0.1"},
      {JsonValue::CreateReal(nullptr, 2.0), u"2"},
      {JsonValue::CreateReal(nullptr, 1e20), u"1e+20"},
      {JsonValue::CreateReal(nullptr, 1.0 / 3), u"0.3333333333333"},
      {JsonValue::CreateReal(nullptr, HUGE_VAL), u"null"},
      {JsonValue::CreateReal(nullptr, std::nan("")), u"null"},
      {JsonValue::CreateBoolean(nullptr, false), u"false"},
      {JsonValue::CreateNull(nullptr), u"null"},
      {JsonValue::CreateRaw(nullptr, u"abc"), u"abc"},
      {JsonValue::CreateString(nullptr, u"/'\t"), u"\"\\/\\'\\t\""},
      {JsonValue::CreateString(nullptr, u"\x01\u6587\U0001F600"), u"\"\x01\u6587\U0001F600\""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Utf8(r.text));
    TextBuilder out;
    WriteValue(r.value, out, true);
    EXPECT_EQ(Utf8(out.View()), Utf8(r.text));
    r.value->Release();
  }
}

TEST(Serializer, NumbersIgnoreTheParsedToken) {
  JsonDocument doc;
  ASSERT_TRUE(doc.ParseW(u"[1.50,1e5,007,+3]"));
  EXPECT_EQ(doc.ToTextW(), u"[1.5,100000,7,3]");
}

TEST(EscapeText, EscapesQuotesSlashesAndFiveControls) {
  struct Row { std::u16string in; std::u16string out; };
  const Row rows[] = {
      {u"plain", u"plain"},
      {u"\\\"'/", u"\\\\\\\"\\'\\/"},
      {u"\b\t\n\r\f", u"\\b\\t\\n\\r\\f"},
      {u"\x01\x1f\x7f", u"\x01\x1f\x7f"},
      {std::u16string{u'\u6587', char16_t(0xD800)}, std::u16string{u'\u6587', char16_t(0xD800)}},
      {u"", u""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Utf8(r.in));
    EXPECT_EQ(EscapeText(r.in), r.out);
  }
}

TEST(TextBuilder, GrowsAsTextArrivesAndKeepsItWhole) {
  TextBuilder out;
  EXPECT_EQ(out.CapacityBytes(), 12u);
  out.Append(u"abcdef");  // (0 + 6) x 2 + 2 > 12: 2 x 12 + 12 + 2
  EXPECT_EQ(out.CapacityBytes(), 38u);
  std::u16string expected = u"abcdef";
  for (int i = 0; i < 1000; ++i) {
    out.Append(char16_t(u'0' + i % 10));
    expected.push_back(char16_t(u'0' + i % 10));
  }
  EXPECT_EQ(out.View(), expected);
  out.AppendAnsi(base::Gbk("文"));
  EXPECT_EQ(out.View().back(), u'\u6587');
}

TEST(Serializer, ContainersWithoutTheirStorageWriteNothing) {
  JsonValue* arr = JsonValue::CreateArray(nullptr);
  arr->Clear();  // kind stays Array, the list is gone
  TextBuilder out;
  WriteValue(arr, out, false);
  EXPECT_EQ(out.View(), u"");
  arr->Release();
}

}  // namespace
}  // namespace json
