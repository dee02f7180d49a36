// The lenient scanner: result codes, the tree it builds (shown as compact text), blank
// removal, quotes, escapes, reuse of the root, failures that leave the root empty, nesting
// and memory limits.
#include <gtest/gtest.h>

#include <string>

#include "base/codepage.h"
#include "resolver/json/json_document.h"
#include "resolver/json/json_parser.h"
#include "resolver/json/json_serializer.h"
#include "resolver/json/json_value.h"
#include "test_heap.h"

namespace json {
namespace {

std::string Utf8(std::u16string_view text) { return base::FromUtf16(text, base::CodePage::kUtf8); }

std::u16string Compact(const JsonValue* v) {
  TextBuilder out;
  WriteValue(v, out, false);
  return std::u16string(out.View());
}

struct ParseRow {
  std::u16string text;
  bool decode;
  int code;
  std::u16string tree;  // the root afterwards, compact
};

// A fresh Object root, as a handle's first Parse makes.
void CheckRows(const ParseRow* rows, size_t n) {
  for (size_t k = 0; k < n; ++k) {
    const ParseRow& r = rows[k];
    SCOPED_TRACE(Utf8(r.text) + (r.decode ? " (decode)" : ""));
    JsonValue* root = JsonValue::CreateObject(nullptr);
    EXPECT_EQ(ParseInto(root, r.text.data(), r.text.size(), r.decode), r.code);
    EXPECT_EQ(Utf8(Compact(root)), Utf8(r.tree));
    root->Release();
  }
}

TEST(Parser, BuildsTreesFromLenientText) {
  const ParseRow rows[] = {
      {u"{'a':1,'b':[true,null,'x']}", false, 0, u"{\"a\":1,\"b\":[true,null,\"x\"]}"},
      {u"{\"a\" : 1 , \"b\" : { \"c\" : [ ] } }", false, 0, u"{\"a\":1,\"b\":{\"c\":[]}}"},
      {u"{'a': tr ue }", false, 0, u"{\"a\":true}"},
      {u"{'a': nu\r\nll, 'b': fal\tse}", false, 0, u"{\"a\":null,\"b\":false}"},
      {u"{'v': abc}", false, 0, u"{\"v\":abc}"},
      {u"{'n': 1.50}", false, 0, u"{\"n\":1.5}"},
      {u"{'n': -}", false, 0, u"{\"n\":0}"},
      {u"[1 2, 3 . 5]", false, 0, u"[12,3.5]"},
      {u"[]", false, 0, u"[]"},
      {u"[ \r\n ]", false, 0, u"[]"},
      {u"{}", false, 0, u"{}"},
      {u"{'a' {'b':1}}", false, 0, u"{\"a\":{\"b\":1}}"},
      {u"{'a' [1,2]}", false, 0, u"{\"a\":[1,2]}"},
      {u"{'a':}", false, 0, u"{\"a\":}"},  // an empty member value is a Raw with no text
      {u"{'a':1,'b':2,'a':3}", false, 0, u"{\"a\":3,\"b\":2}"},
      {u"{'':1}", false, 0, u"{\"\":1}"},
      {u"{\"a\":\"it's\",'b':'say \"hi\"'}", false, 0, u"{\"a\":\"it\\'s\",\"b\":\"say \\\"hi\\\"\"}"},
      {u"{'c':'x,y:z{}[]'}", false, 0, u"{\"c\":\"x,y:z{}[]\"}"},
      {u"{'a\\'b':1,'c\\\\':2}", false, 0, u"{\"a\\'b\":1,\"c\\\\\":2}"},
      {u"[a\\,b]", false, 0, u"[a\\,b]"},  // a backslash before a comma escapes nothing
      {u"[\\']", false, 0, u"[\\']"},      // a backslash before a quote hides it
      {u"{'a':1,'b'}", false, 0, u"{\"a\":1,\"b\":'b'}"},  // a bare value runs over the name
      {u"{'a':1 ]", false, 0, u"[1]"},  // a closing bracket stores an element: the Object turns
      {u"{'k':'abc':}", false, 0, u"{\"k\":\"\"}"},  // never reads past the second colon
      {u"{'k':'a' 'b'}", false, 0, u"{\"k\":\"b\"}"},
      {u"{'a':1, b:2}", false, 0, u"{\"a\":2}"},  // a comma keeps the last name for a bare one
  };
  CheckRows(rows, std::size(rows));
}

TEST(Parser, TheRootFollowsTheText) {
  const ParseRow rows[] = {
      {u"{'a':1}{'b':2}", false, 0, u"{\"a\":1,\"b\":2}"},
      {u"{'a':1}[1,2]", false, 0, u"[1,2]"},
      {u"yunData.setData({'a':1});", false, 0, u"{\"a\":1}"},
      {u"}]{'a':1}", false, 0, u"{\"a\":1}"},
      {u"no container at all", false, 0, u"{}"},
      {u"[1]", false, 0, u"[1]"},
  };
  CheckRows(rows, std::size(rows));
}

TEST(Parser, FailuresAnswerTheirCodeAndEmptyTheRoot) {
  const ParseRow rows[] = {
      {u"[1,2,]", false, kParseTrailingComma, u"[]"},
      {u"[1,]", false, kParseTrailingComma, u"[]"},
      {u"[,]", false, kParseTrailingComma, u"[]"},
      {u"[{},]", false, kParseTrailingComma, u"[]"},
      {u"{'a':1,}", false, kParseTrailingComma, u"{}"},
      {u"{'a':[1], \r\n}", false, kParseTrailingComma, u"{}"},
      {u"{a:1}", false, kParseNoMemberName, u"{}"},
      {u"{[1]}", false, kParseNoMemberName, u"{}"},
      {u"{{}}", false, kParseNoMemberName, u"{}"},
      {u"[1}", false, kParseNoMemberName, u"[]"},
      {u"{'a':[1,2", false, kParseNoContainer, u"{}"},
      {u"{'a':'1}", false, kParseNoContainer, u"{}"},
      {u"'a'{}", false, kParseNoContainer, u"{}"},
      {u"x:{}", false, kParseNoContainer, u"{}"},
      {u", {}", false, kParseNoContainer, u"{}"},
      {u"{} ,", false, kParseNoContainer, u"{}"},
      {u"[1:2]", false, kParseColonInArray, u"[]"},
  };
  CheckRows(rows, std::size(rows));
}

TEST(Parser, NumbersKeepTheirTokenAsLiteral) {
  struct Row { std::u16string text; int kind; std::u16string literal; std::u16string written; };
  const Row rows[] = {
      {u"[1.50]", kReal, u"1.50", u"[1.5]"},
      {u"[1e5]", kReal, u"1e5", u"[100000]"},
      {u"[1-2]", kReal, u"1-2", u"[1]"},
      {u"[ - ]", kInteger, u"-", u"[0]"},
      {u"[007]", kInteger, u"007", u"[7]"},
      {u"[123456789012345]", kInteger, u"123456789012345", u"[123456789012345]"},
      {u"[9007199254740993]", kInteger, u"9007199254740993", u"[9007199254740993]"},
      {u"[99999999999999999999]", kInteger, u"99999999999999999999", u"[9223372036854775807]"},
      {u"[-99999999999999999999]", kInteger, u"-99999999999999999999", u"[-9223372036854775808]"},
      {u"[-0.0]", kReal, u"-0.0", u"[-0]"},
      {u"[1e999]", kReal, u"1e999", u"[null]"},
      {u"[-1e-5]", kRaw, u"-1e-5", u"[-1e-5]"},  // two signs: no number
      {u"[0x10]", kRaw, u"0x10", u"[0x10]"},
      {u"[True]", kRaw, u"True", u"[True]"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Utf8(r.text));
    JsonDocument doc;
    ASSERT_TRUE(doc.ParseW(r.text));
    EXPECT_EQ(doc.KindOfW(u"[0]"), r.kind);
    EXPECT_EQ(Utf8(doc.GetLiteralW(u"[0]")), Utf8(r.literal));
    EXPECT_EQ(Utf8(doc.ToTextW()), Utf8(r.written));
  }
}

TEST(Parser, DecodesEscapesInStringsAndNames) {
  const ParseRow rows[] = {
      {u"{'k':'x\\u0041'}", true, 0, u"{\"k\":\"xA\"}"},
      {u"{'k':'x\\u0041'}", false, 0, u"{\"k\":\"x\\\\u0041\"}"},
      {u"{'k':'\\\\n'}", true, 0, u"{\"k\":\"\\\\n\"}"},
      {u"{'k':'\\\\n'}", false, 0, u"{\"k\":\"\\\\n\"}"},
      {u"{'\\u006b':1}", true, 0, u"{\"k\":1}"},
      {u"{'k':'\\ud83d\\ude00'}", true, 0, u"{\"k\":\"\U0001F600\"}"},
      {u"{'k':'\\u12'}", true, 0, u"{\"k\":\"\\\\u12\"}"},      // too short: stays
      {u"{'k':'\\uzz41'}", true, 0, u"{\"k\":\"\\\\uzz41\"}"},  // not hexadecimal: stays
      {u"{'k':'\\t\\/\\q'}", true, 0, u"{\"k\":\"\\t\\/\\\\q\"}"},
  };
  CheckRows(rows, std::size(rows));
}

TEST(Parser, EntryRules) {
  JsonValue* root = JsonValue::CreateObject(nullptr);
  const std::u16string text = u"{'a':1}";
  EXPECT_EQ(ParseInto(nullptr, text.data(), text.size(), false), kParseMissingInput);
  EXPECT_EQ(ParseInto(root, nullptr, 0, false), kParseMissingInput);
  ASSERT_EQ(ParseInto(root, text.data(), text.size(), false), 0);
  EXPECT_EQ(ParseInto(root, text.data(), 0, false), 0);  // nothing to parse: untouched
  EXPECT_EQ(Compact(root), u"{\"a\":1}");
  JsonValue* array = JsonValue::CreateArray(nullptr);
  JsonValue::AppendChild(array, JsonValue::CreateNull(nullptr));
  EXPECT_EQ(ParseInto(array, u"abc", 3, false), 0);  // emptied, kind kept
  EXPECT_EQ(Compact(array), u"[]");
  array->Release();
  root->Release();
}

TEST(Parser, AZeroUnitInsideTheGivenLengthIsOrdinaryText) {
  const std::u16string text(u"{'a':'x\0y','b':1\0}", 18);
  JsonValue* root = JsonValue::CreateObject(nullptr);
  ASSERT_EQ(ParseInto(root, text.data(), text.size(), false), 0);
  EXPECT_EQ(root->FindMember(u"a")->Text(), std::u16string(u"x\0y", 3));
  EXPECT_EQ(root->FindMember(u"b")->IntegerValue(), 1);
  root->Release();
}

TEST(Parser, NestingIsBoundedWithoutRecursion) {
  for (int depth : {kMaxDepth, kMaxDepth + 1, 100000}) {
    SCOPED_TRACE(depth);
    const std::u16string text = std::u16string(size_t(depth), u'[') + std::u16string(size_t(depth), u']');
    JsonDocument doc;
    EXPECT_EQ(doc.ParseW(text), depth <= kMaxDepth);
    EXPECT_EQ(doc.CountW(), depth <= kMaxDepth ? 1 : 0);
  }
  const std::u16string objects = [] {
    std::u16string t;
    for (int i = 0; i < 100000; ++i) t += u"{'a':";
    return t;
  }();
  JsonDocument doc;
  EXPECT_EQ(doc.ParseW(objects), false);
  EXPECT_EQ(doc.LastParseResult(), kParseNoMemory);
}

TEST(Parser, HugeBlankTextIsPassedOver) {
  const std::u16string text = u"{'a':" + std::u16string(size_t(20) << 20, u' ') + u"1}";
  JsonDocument doc;
  ASSERT_TRUE(doc.ParseW(text));
  EXPECT_EQ(doc.GetIntegerW(u"a"), 1);
}

// Every cut of a valid document either parses or fails with the root emptied.
TEST(Parser, EveryPrefixOfAValidDocumentIsHandled) {
  const std::u16string full =
      u"{'errno':0,'list':[{'fs_id':123456789012345,'path':'/\u6587 a','isdir':1},"
      u"{'n':-1.5e3,'t':true,'z':null,'e':'\\u0041\\'\\\\'}],'x':{}}";
  for (size_t n = 0; n <= full.size(); ++n) {
    JsonValue* root = JsonValue::CreateObject(nullptr);
    const int code = ParseInto(root, full.data(), n, true);
    if (code != 0) {
      EXPECT_EQ(root->ChildCount(), 0) << n;
    }
    if (n == full.size()) {
      EXPECT_EQ(code, 0);
    }
    root->Release();
  }
}

// Running out of memory at any allocation answers -3 or -1, never success, empties the root
// and leaks nothing.
TEST(Parser, EveryAllocationFailureIsReportedAndLeaksNothing) {
  const std::u16string text =
      u"{'a':[1,2.5,'s',{'b':null,'c':true}],'k\\u0041':'v','r':raw,'d':{'e':[[]]},"
      u"'m1':1,'m2':2,'m3':3,'m4':4,'m5':5,'m6':6,'m7':7,'m8':8,'m9':9}";
  long total = 0;
  {
    json_test::TestHeap heap;
    JsonValue* root = JsonValue::CreateObject(&heap);
    const long before = heap.Allocations();
    ASSERT_EQ(ParseInto(root, text.data(), text.size(), true), 0);
    total = heap.Allocations() - before;
    root->Release();
  }
  ASSERT_GT(total, 20);
  for (long k = 0; k < total; ++k) {
    json_test::TestHeap heap;
    JsonValue* root = JsonValue::CreateObject(&heap);
    heap.FailFromNow(k);
    const int code = ParseInto(root, text.data(), text.size(), true);
    EXPECT_TRUE(code == kParseNoMemory || code == kParseStoreFailed) << k << ": " << code;
    EXPECT_EQ(root->ChildCount(), 0) << k;
    root->Release();
    EXPECT_EQ(heap.Live(), 0) << k;
  }
}

}  // namespace
}  // namespace json
