// Reading the share page: its kind and the argument of its data call.
#include "resolver/share/share_page.h"

#include <gtest/gtest.h>

#include "base/gbk_literal.h"

namespace share {
namespace {

TEST(ClassifyPageTest, FirstMatchWins) {
  const struct { const char* utf8; PageKind kind; } cases[] = {
      {"", PageKind::kEmpty},
      {"<title>页面不存在</title>", PageKind::kPageMissing},
      {"链接不存在", PageKind::kLinkMissing},
      {"请输入提取密码", PageKind::kAsksPassword},
      {"链接不存在 请输入提取密码", PageKind::kLinkMissing},
      {"页面不存在 请输入提取密码", PageKind::kPageMissing},
      {"yunData.setData({});", PageKind::kShareData},
      {"<html></html>", PageKind::kShareData},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(ClassifyPage(base::Gbk(c.utf8)), c.kind);
  }
}

TEST(PageDataTextTest, TheCallsArgument) {
  const struct { const char* name; std::string page, data; } cases[] = {
      {"object", "<script>yunData.setData({\"a\":1});</script>", "{\"a\":1}"},
      {"blank before the object", "yunData.setData( \r\n{\"a\":1} );", "{\"a\":1}"},
      {"nested", "yunData.setData({\"a\":{\"b\":[1,{}]}});x", "{\"a\":{\"b\":[1,{}]}}"},
      {"end of the call inside a name", "yunData.setData({\"n\":\"a);b\"});", "{\"n\":\"a);b\"}"},
      {"brace inside a name", "yunData.setData({\"n\":\"}{\"});", "{\"n\":\"}{\"}"},
      {"escaped quote", R"(yunData.setData({"n":"a\"});"});)", R"({"n":"a\"});"})"},
      {"single quotes", "yunData.setData({'n':'a);}'});", "{'n':'a);}'}"},
      {"array", "yunData.setData([1,2]);", "[1,2]"},
      {"first call only", "yunData.setData({\"a\":1});yunData.setData({\"a\":2});", "{\"a\":1}"},
      {"no marker", "<html>{\"a\":1}</html>", ""},
      {"not an object: up to the end of the call", "yunData.setData(data);", "data"},
      {"unbalanced: up to the end of the call", "yunData.setData({\"a\":1);", "{\"a\":1"},
      {"unbalanced and no end", "yunData.setData({\"a\":1", ""},
      {"marker only", "yunData.setData(", ""},
      // "\xD5\x7D" is one character, its second byte no closing brace.
      {"second byte of a character", "yunData.setData({\"n\":\xD5}});", "{\"n\":\xD5}}"},
      {"second byte is a backslash", "yunData.setData({\"n\":\"\xD5\\\"});", "{\"n\":\"\xD5\\\"}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PageDataText(c.page), c.data);
  }
}

}  // namespace
}  // namespace share
