// JsonDocument: the getters table, setters, roots, handles on shared values, editing with
// other handles and the ANSI (code page 936) forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/codepage.h"
#include "base/gbk_literal.h"
#include "resolver/json/json_document.h"
#include "resolver/json/json_value.h"

namespace json {
namespace {

std::string Utf8(std::u16string_view text) { return base::FromUtf16(text, base::CodePage::kUtf8); }

constexpr int64_t kFsId = 987654321012345;  // fifteen digits, as the service's fs_id

TEST(JsonDocument, ReadsAShareListingAsTheClientDoes) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{'errno':0,'list':[{'fs_id':987654321012345}]}", true));
  EXPECT_EQ(doc.GetInteger("errno"), 0);
  EXPECT_EQ(doc.Count("list"), 1);
  EXPECT_EQ(doc.GetInteger("list[0].fs_id"), kFsId);
  EXPECT_EQ(doc.GetString("list[0].fs_id"), "");
  EXPECT_EQ(doc.GetLiteral("list[0].fs_id"), "987654321012345");
  // The client empties the root before every reply and parses the next one into it.
  EXPECT_TRUE(doc.ClearAt(""));
  ASSERT_TRUE(doc.Parse("{'errno':-9}"));
  EXPECT_EQ(doc.GetInteger("errno"), -9);
  EXPECT_EQ(doc.Count("list"), 0);
}

TEST(JsonDocument, GettersAnswerByKind) {
  struct Row {
    std::u16string path;
    int64_t integer;
    double real;
    bool boolean;
    std::u16string string, literal;
    int32_t count;
    int kind;
  };
  const Row rows[] = {
      {u"n", 0, 0, false, u"", u"null", 0, kNull},
      {u"t", 0, 0, true, u"", u"true", 0, kBoolean},
      {u"f", 0, 0, false, u"", u"false", 0, kBoolean},
      {u"i", 7, 7.0, false, u"", u"7", 0, kInteger},
      {u"r", 2, 2.9, false, u"", u"2.90", 0, kReal},
      {u"m", -2, -2.9, false, u"", u"-2.9", 0, kReal},
      {u"big", INT64_MAX, 1e300, false, u"", u"1e300", 0, kReal},
      {u"s", 0, 0, false, u"\u6587 x", u"", 0, kString},
      {u"w", 0, 0, false, u"", u"raw", 0, kRaw},
      {u"a", 0, 0, false, u"", u"", 2, kArray},
      {u"o", 0, 0, false, u"", u"", 1, kObject},
  };
  JsonDocument doc;
  ASSERT_TRUE(doc.ParseW(u"{'n':null,'t':true,'f':false,'i':7,'r':2.90,'m':-2.9,'big':1e300,"
                         u"'s':'\u6587 x','w':raw,'a':[1,2],'o':{'x':1}}"));
  for (const Row& r : rows) {
    SCOPED_TRACE(Utf8(r.path));
    EXPECT_EQ(doc.GetIntegerW(r.path), r.integer);
    EXPECT_EQ(doc.GetRealW(r.path), r.real);
    EXPECT_EQ(doc.GetBooleanW(r.path), r.boolean);
    EXPECT_EQ(Utf8(doc.GetStringW(r.path)), Utf8(r.string));
    EXPECT_EQ(Utf8(doc.GetLiteralW(r.path)), Utf8(r.literal));
    EXPECT_EQ(doc.CountW(r.path), r.count);
    EXPECT_EQ(doc.KindOfW(r.path), r.kind);
  }
}

TEST(JsonDocument, AHandleWithoutRootAnswersDefaults) {
  JsonDocument doc;
  EXPECT_EQ(doc.KindOf(), -1);
  EXPECT_EQ(doc.Count(), 0);
  EXPECT_EQ(doc.GetInteger("a"), 0);
  EXPECT_EQ(doc.GetString("a"), "");
  EXPECT_EQ(doc.ToText(), "");
  EXPECT_FALSE(doc.ClearAt());
  EXPECT_FALSE(doc.SetInteger("a", 1));
  EXPECT_FALSE(doc.Exists("a"));
  EXPECT_EQ(doc.Node("a").GetRoot(), nullptr);
  EXPECT_FALSE(doc.Append("", doc.NewNull()));
  EXPECT_EQ(doc.GetRoot(), nullptr);
}

TEST(JsonDocument, GettersOnMissingPathsAddThemAndExistsDoesNot) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{'errno':0,'list':[]}"));
  EXPECT_FALSE(doc.Exists("missing"));
  EXPECT_EQ(doc.ToText(), "{\"errno\":0,\"list\":[]}");
  EXPECT_EQ(doc.GetInteger("missing"), 0);
  EXPECT_EQ(doc.KindOf("missing"), kNull);
  EXPECT_TRUE(doc.Exists("missing"));
  EXPECT_EQ(doc.GetString("errno.x"), "");
  EXPECT_EQ(doc.ToText("errno"), "{\"x\":null}");
  EXPECT_EQ(doc.Count("list[5]"), 0);
  EXPECT_EQ(doc.Count("list"), 6);
  EXPECT_EQ(doc.KindOf("a."), kNull);
  EXPECT_EQ(doc.ToText("a"), "{\"\":null}");
}

TEST(JsonDocument, ParseAndLoadRoots) {
  JsonDocument doc;
  EXPECT_TRUE(doc.Parse(""));
  EXPECT_EQ(doc.KindOf(), kObject);
  EXPECT_EQ(doc.ToText(), "{}");
  EXPECT_EQ(doc.GetInteger("x"), 0);

  ASSERT_TRUE(doc.Parse("[1,2]"));
  EXPECT_TRUE(doc.Parse(""));  // the empty text leaves the root as it was
  EXPECT_EQ(doc.ToText(), "[1,2]");
  EXPECT_TRUE(doc.Parse("no container"));  // emptied, kind kept
  EXPECT_EQ(doc.ToText(), "[]");

  EXPECT_FALSE(doc.Parse("{'a':1,"));
  EXPECT_EQ(doc.LastParseResult(), -5);
  EXPECT_EQ(doc.ToText(), "{}");

  JsonDocument shared = doc;
  EXPECT_TRUE(doc.Load());  // a new root; the old one lives on in the other handle
  EXPECT_NE(doc.GetRoot(), shared.GetRoot());
  EXPECT_TRUE(doc.Load("{'b':2}"));
  EXPECT_EQ(doc.GetInteger("b"), 2);
  EXPECT_FALSE(doc.Load("[1,]"));
  EXPECT_TRUE(doc.LoadW(u"{'c':3}"));
  EXPECT_EQ(doc.ToTextW(), u"{\"c\":3}");

  doc.Reset();
  EXPECT_EQ(doc.Count(""), 0);
  EXPECT_EQ(doc.GetRoot(), nullptr);
}

TEST(JsonDocument, ParsesTheProgramsCp936Text) {
  const std::string name = base::Gbk("文件夹 一");
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{'server_filename':'" + name + "','" + base::Gbk("键") + "':1}"));
  EXPECT_EQ(doc.GetString("server_filename"), name);
  EXPECT_EQ(doc.GetStringW(u"server_filename"), u"\u6587\u4ef6\u5939 \u4e00");
  EXPECT_EQ(doc.GetInteger(base::Gbk("键")), 1);
  EXPECT_EQ(doc.ToText(), "{\"server_filename\":\"" + name + "\",\"" + base::Gbk("键") + "\":1}");
  std::vector<std::string> names{"stale"};
  EXPECT_EQ(doc.MemberNames("", names), 2);
  EXPECT_EQ(names, (std::vector<std::string>{"server_filename", base::Gbk("键")}));
}

TEST(JsonDocument, ArgumentsEndAtTheirFirstZero) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse(std::string("{'a':1}\0{'b':2}", 15)));
  EXPECT_EQ(doc.ToText(), "{\"a\":1}");
  EXPECT_EQ(doc.GetInteger(std::string("a\0b", 3)), 1);
  EXPECT_TRUE(doc.SetStringW(u"s", std::u16string(u"x\0y", 3)));
  EXPECT_EQ(doc.GetStringW(u"s"), u"x");
}

TEST(JsonDocument, SettersReplaceKindAndLiteral) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{'o':{'deep':[1,2]},'v':1.50}"));
  JsonDocument inner = doc.Node("o.deep");
  EXPECT_TRUE(doc.SetInteger("o", -42));
  EXPECT_EQ(doc.GetLiteral("o"), "-42");
  EXPECT_EQ(inner.ToText(), "[1,2]");  // still held by the other handle
  EXPECT_EQ(inner.ParentOf().GetRoot(), nullptr);
  EXPECT_TRUE(doc.SetReal("v", 2.5));
  EXPECT_EQ(doc.GetLiteral("v"), "2.5");
  EXPECT_TRUE(doc.SetBoolean("b", true));
  EXPECT_TRUE(doc.SetNull("v"));
  EXPECT_TRUE(doc.SetString("s", base::Gbk("文")));
  EXPECT_EQ(doc.GetLiteral("s"), "");
  EXPECT_TRUE(doc.SetRealW(u"r", 1e20));
  EXPECT_EQ(doc.GetLiteralW(u"r"), u"1e+20");
  EXPECT_EQ(doc.ToText(), "{\"o\":-42,\"v\":null,\"b\":true,\"s\":\"" + base::Gbk("文") + "\",\"r\":1e+20}");
  EXPECT_FALSE(doc.SetIntegerW(u"x[-1]", 1));  // no node
}

TEST(JsonDocument, ASharedSubtreeOutlivesTheHandleItCameFrom) {
  JsonDocument entry;
  {
    JsonDocument doc;
    ASSERT_TRUE(doc.Parse("{'list':[{'fs_id':987654321012345,'path':'/a','tags':['x','y']}]}"));
    entry = doc.Node("list[0]");
    EXPECT_EQ(entry.ParentOf().KindOf(), kArray);
  }
  EXPECT_EQ(entry.GetInteger("fs_id"), kFsId);
  EXPECT_EQ(entry.GetString("tags[1]"), "y");
  EXPECT_EQ(entry.ParentOf().GetRoot(), nullptr);  // the list is gone
  EXPECT_FALSE(entry.DetachRoot());
  EXPECT_EQ(entry.GetRoot()->RefCount(), 1);
}

TEST(JsonDocument, CopiesShareTheRootAndEditsShowThrough) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{'a':{'b':1}}"));
  JsonDocument copy(doc);
  JsonDocument member = doc.Member("", "a");
  EXPECT_EQ(doc.GetRoot()->RefCount(), 2);
  EXPECT_TRUE(member.SetInteger("b", 5));
  EXPECT_EQ(copy.GetInteger("a.b"), 5);
  JsonDocument element = doc.Element("list", 2);  // created: list becomes [null,null,null]
  EXPECT_EQ(doc.Count("list"), 3);
  EXPECT_TRUE(element.SetString("", "z"));
  EXPECT_EQ(doc.GetString("list[2]"), "z");
  JsonDocument moved = std::move(copy);
  EXPECT_EQ(copy.GetRoot(), nullptr);
  EXPECT_EQ(moved.GetRoot(), doc.GetRoot());
}

TEST(JsonDocument, NewValuesAreNotPartOfTheTreeUntilInserted) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{'list':[]}"));
  JsonDocument item = doc.NewObject();
  EXPECT_TRUE(item.SetInteger("fs_id", kFsId));
  EXPECT_EQ(doc.ToText(), "{\"list\":[]}");
  EXPECT_TRUE(doc.Append("list", item));
  EXPECT_TRUE(doc.Append("list", doc.NewString(base::Gbk("名"))));
  EXPECT_TRUE(doc.SetElement("list", 3, doc.NewBoolean(false)));
  EXPECT_TRUE(doc.SetMember("", "n", doc.NewInteger(-1)));
  EXPECT_TRUE(doc.SetMember("", "r", doc.NewReal(0.5)));
  EXPECT_TRUE(doc.SetMemberW(u"", u"z", doc.NewNull()));
  EXPECT_TRUE(doc.SetMember("", "e", doc.NewArray()));
  EXPECT_EQ(doc.ToText(), "{\"list\":[{\"fs_id\":987654321012345},\"" + base::Gbk("名") +
                              "\",null,false],\"n\":-1,\"r\":0.5,\"z\":null,\"e\":[]}");
  EXPECT_TRUE(item.SetInteger("size", 1));  // the handle still reaches the inserted value
  EXPECT_EQ(doc.GetInteger("list[0].size"), 1);
  EXPECT_FALSE(doc.SetMember("", "none", JsonDocument()));
}

TEST(JsonDocument, InsertingAValueThatSitsElsewhereMovesIt) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{'a':{'x':1},'b':[]}"));
  EXPECT_TRUE(doc.Append("b", doc.Node("a")));
  EXPECT_EQ(doc.ToText(), "{\"b\":[{\"x\":1}]}");
  EXPECT_FALSE(doc.SetMember("b[0]", "self", doc.Node("b")));  // a value never goes below itself
  EXPECT_FALSE(doc.Append("b", doc.Node("")));
  EXPECT_EQ(doc.ToText(), "{\"b\":[{\"x\":1}]}");
}

TEST(JsonDocument, RemovingDoesNotConvert) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{'a':[1,2,3],'o':{'k':1,'j':2}}"));
  EXPECT_FALSE(doc.RemoveMember("a", "k"));
  EXPECT_TRUE(doc.RemoveElement("a", 1));
  EXPECT_FALSE(doc.RemoveElement("a", 2));
  EXPECT_FALSE(doc.RemoveElement("o", 0));
  EXPECT_TRUE(doc.RemoveMember("o", "k"));
  EXPECT_TRUE(doc.HasMember("o", "j"));
  EXPECT_FALSE(doc.HasMember("a", "j"));
  EXPECT_TRUE(doc.HasIndex("a", 1));
  EXPECT_FALSE(doc.HasIndexW(u"a", 2));
  EXPECT_FALSE(doc.HasIndex("a", -1));
  EXPECT_EQ(doc.ToText(), "{\"a\":[1,3],\"o\":{\"j\":2}}");
}

TEST(JsonDocument, DetachRootTakesANodeOutOfItsTree) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{'a':{'x':1},'b':2}"));
  JsonDocument a = doc.Node("a");
  EXPECT_TRUE(a.DetachRoot());
  EXPECT_EQ(doc.ToText(), "{\"b\":2}");
  EXPECT_EQ(a.ToText(), "{\"x\":1}");
  EXPECT_EQ(a.GetRoot()->RefCount(), 1);
  EXPECT_FALSE(doc.DetachRoot());
}

TEST(JsonDocument, CopyOfIsIndependent) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{'a':{'n':1.50,'l':[1]}}"));
  JsonDocument copy = doc.CopyOf("a");
  EXPECT_EQ(copy.GetLiteral("n"), "1.5");
  EXPECT_TRUE(copy.SetInteger("l[0]", 9));
  EXPECT_EQ(doc.GetInteger("a.l[0]"), 1);
  EXPECT_EQ(copy.ParentOf().GetRoot(), nullptr);
  EXPECT_EQ(copy.GetRoot()->RefCount(), 1);
}

TEST(JsonDocument, MemberNamesAndChildren) {
  JsonDocument doc;
  ASSERT_TRUE(doc.ParseW(u"{'b':1,'a':[true,'x'],'':{}}"));
  std::vector<std::u16string> names{u"stale"};
  EXPECT_EQ(doc.MemberNamesW(u"", names), 3);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"b", u"a", u""}));
  std::vector<std::u16string> untouched{u"keep"};
  EXPECT_EQ(doc.MemberNamesW(u"a", untouched), 0);
  EXPECT_EQ(untouched, std::vector<std::u16string>{u"keep"});
  EXPECT_EQ(doc.MemberNamesW(u"", names), 3);

  std::vector<JsonDocument> children;
  EXPECT_EQ(doc.ChildrenW(u"a", children), 2);
  EXPECT_TRUE(children[0].GetBoolean());
  EXPECT_EQ(children[1].GetStringW(), u"x");
  EXPECT_EQ(doc.ChildrenW(u"", children), 3);
  EXPECT_EQ(children[0].GetInteger(), 1);
  std::vector<JsonDocument> none(1);
  EXPECT_EQ(doc.ChildrenW(u"b", none), 0);
  EXPECT_EQ(none.size(), 1u);
}

TEST(JsonDocument, ToTextOfANode) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{'a':{'b':[1,{'c':'d/e'}]}}"));
  EXPECT_EQ(doc.ToText("a.b"), "[1,{\"c\":\"d\\/e\"}]");
  EXPECT_EQ(doc.ToText("a", true), "{\r\n\t\"b\":[1,{\r\n\t\t\t\"c\":\"d\\/e\"\r\n\t\t}]\r\n}");
  EXPECT_EQ(doc.ToTextW(u"a.b[1].c"), u"\"d\\/e\"");
}

}  // namespace
}  // namespace json
