#include "resolver/share/messages.h"

#include "base/gbk_literal.h"

namespace share {

#define SHARE_TEXT(name, utf8)                     \
  const std::string& name() {                      \
    static const std::string text = base::Gbk(utf8); \
    return text;                                   \
  }

namespace messages {
SHARE_TEXT(PageOpenFailed, "打开网页失败.")
SHARE_TEXT(PageMissing, "页面不存在.")
SHARE_TEXT(LinkMissing, "链接不存在.")
SHARE_TEXT(PasswordNeeded, "需要提取密码.请输入后重新尝试.")
SHARE_TEXT(JsonFailed, "JSON解析失败")
SHARE_TEXT(ListingJsonFailed, "JSON解析失败.")
SHARE_TEXT(DownloadJsonFailed, "下载JSON解析失败")
SHARE_TEXT(ShareIdFailed, "shareid 获取失败")
}  // namespace messages

namespace markers {
SHARE_TEXT(PageMissing, "页面不存在")
SHARE_TEXT(LinkMissing, "链接不存在")
SHARE_TEXT(AsksPassword, "入提取密码")
}  // namespace markers

#undef SHARE_TEXT

}  // namespace share
