#pragma once
// The share client's own messages for the user (CP936), besides the service's error texts.
#include <string>

namespace share::messages {

const std::string& PageOpenFailed();      // "打开网页失败."
const std::string& PageMissing();         // "页面不存在."
const std::string& LinkMissing();         // "链接不存在."
const std::string& PasswordNeeded();      // "需要提取密码.请输入后重新尝试."
const std::string& JsonFailed();          // "JSON解析失败"   (verify reply, page data)
const std::string& ListingJsonFailed();   // "JSON解析失败."  (folder listing)
const std::string& DownloadJsonFailed();  // "下载JSON解析失败"
const std::string& ShareIdFailed();       // "shareid 获取失败"

}  // namespace share::messages

namespace share::markers {

// Texts of the service's pages that the client looks for (CP936).
const std::string& PageMissing();     // "页面不存在"
const std::string& LinkMissing();     // "链接不存在"
const std::string& AsksPassword();    // "入提取密码" (of "请输入提取密码")

}  // namespace share::markers
