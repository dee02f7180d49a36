// Path grammar and walking: segments, indexes read like StrToIntW, creation on the way and
// the existence check that creates nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/codepage.h"
#include "resolver/json/json_document.h"
#include "resolver/json/json_path.h"

namespace json {
namespace {

std::string Utf8(std::u16string_view text) { return base::FromUtf16(text, base::CodePage::kUtf8); }

// A segment written as name, "#index", "name#index", "!" for an index out of range.
std::string Describe(const std::vector<PathSegment>& segments) {
  std::string out;
  for (const PathSegment& s : segments) {
    if (!out.empty()) out += " ";
    out += s.hasName ? "<" + Utf8(s.name) + ">" : "";
    if (s.hasIndex) out += s.indexInRange ? "#" + std::to_string(s.index) : "!";
  }
  return out;
}

TEST(SplitPath, Grammar) {
  struct Row { std::u16string path; std::string segments; };
  const Row rows[] = {
      {u"", ""},
      {u"errno", "<errno>"},
      {u"file_list.list[3].fs_id", "<file_list> <list>#3 <fs_id>"},
      {u"[0]", "#0"},
      {u"a.[0]", "<a> #0"},
      {u"a[1][2]", "<a>#1"},
      {u"a.", "<a> <>"},
      {u".a", "<> <a>"},
      {u"a..b", "<a> <> <b>"},
      {u".", "<> <>"},
      {u"a[", "<a>#0"},
      {u"a[x]", "<a>#0"},
      {u"a[12x]", "<a>#12"},
      {u"a[-1]", "<a>#-1"},
      {u"a[+4]", "<a>#4"},
      {u"a[[3]", "<a>#3"},
      {u"a[1[2", "<a>#2"},
      {u"a]b[5]", "<a]b>#5"},
      {u"a[2147483647]", "<a>#2147483647"},
      {u"a[2147483648]", "<a>!"},
      {u"a[-2147483648]", "<a>#-2147483648"},
      {u"a[99999999999999999999]", "<a>!"},
      {u"\u6587[1]", "<\xE6\x96\x87>#1"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Utf8(r.path));
    EXPECT_EQ(Describe(SplitPath(r.path)), r.segments);
  }
}

TEST(ResolvePath, CreatesAndConvertsOnTheWay) {
  struct Row { std::u16string path; std::u16string tree; };
  const Row rows[] = {
      {u"", u"{\"n\":1,\"l\":[1]}"},
      {u"missing", u"{\"n\":1,\"l\":[1],\"missing\":null}"},
      {u"n.x", u"{\"n\":{\"x\":null},\"l\":[1]}"},
      {u"l[2]", u"{\"n\":1,\"l\":[1,null,null]}"},
      {u"n[1]", u"{\"n\":[null,null],\"l\":[1]}"},
      {u"l.a", u"{\"n\":1,\"l\":{\"a\":null}}"},
      {u"new[1].b", u"{\"n\":1,\"l\":[1],\"new\":[null,{\"b\":null}]}"},
      {u"l.", u"{\"n\":1,\"l\":{\"\":null}}"},
      {u"l[-1]", u"{\"n\":1,\"l\":[1]}"},          // a negative index creates nothing
      {u"x[2147483648]", u"{\"n\":1,\"l\":[1],\"x\":null}"},  // out of range: nothing below
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Utf8(r.path));
    JsonDocument doc;
    ASSERT_TRUE(doc.ParseW(u"{'n':1,'l':[1]}"));
    doc.KindOfW(r.path);
    EXPECT_EQ(Utf8(doc.ToTextW()), Utf8(r.tree));
  }
}

TEST(PathExists, ChecksWithoutCreating) {
  struct Row { std::u16string path; bool exists; };
  const Row rows[] = {
      {u"", false}, {u"a", true}, {u"a.b", true}, {u"a.b[1]", true}, {u"a.b[2]", false},
      {u"a.b[-1]", false}, {u"a[0]", false}, {u"a.c", false}, {u"x", false},
      {u"a.b[0].z", false}, {u"a.", false}, {u"e.", true}, {u"a.b[1][7]", true},
  };
  JsonDocument doc;
  ASSERT_TRUE(doc.ParseW(u"{'a':{'b':[1,{'c':2}]},'e':{'':0}}"));
  const std::u16string before = doc.ToTextW();
  for (const Row& r : rows) {
    SCOPED_TRACE(Utf8(r.path));
    EXPECT_EQ(doc.ExistsW(r.path), r.exists);
  }
  EXPECT_EQ(doc.ToTextW(), before);
}

}  // namespace
}  // namespace json
