// The messages of the service's error numbers.
#include "resolver/share/error_text.h"

#include <gtest/gtest.h>

#include "base/gbk_literal.h"

namespace share {
namespace {

TEST(ErrorTextTest, KnownNumbersAndTheRest) {
  const struct { int32_t errnum; const char* utf8; } cases[] = {
      {0, "成功"},
      {-7, "该分享已删除或已取消"},
      {-9, "访问密码错误"},
      {-12, "访问密码错误"},
      {-20, "下载验证码错误"},
      {-999, "自定义错误代码,常量设置不正确"},
      {5, "下载频繁，需输入验证码"},
      {9, "下载频繁，需输入验证码"},
      {110, "分享次数超出限制，可以到[我的分享]中查看已分享的文件链接"},
      {115, "该文件禁止分享"},
      {1, "未知错误ID:1"},
      {-13, "未知错误ID:-13"},
      {7, "未知错误ID:7"},
      {INT32_MIN, "未知错误ID:-2147483648"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.errnum);
    EXPECT_EQ(ErrorText(c.errnum), base::Gbk(c.utf8));
  }
}

TEST(ErrorTextTest, TextsAreCp936Bytes) {
  // "访问密码错误" in code page 936, written out so the conversion itself is checked once.
  EXPECT_EQ(ErrorText(-9), "\xB7\xC3\xCE\xCA\xC3\xDC\xC2\xEB\xB4\xED\xCE\xF3");
}

}  // namespace
}  // namespace share
