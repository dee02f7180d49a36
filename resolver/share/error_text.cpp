#include "resolver/share/error_text.h"

#include <map>

#include "base/gbk_literal.h"

namespace share {
namespace {

// The service's own texts, converted to CP936 once.
const std::map<int32_t, std::string>& ErrorTable() {
  static const std::map<int32_t, std::string> table = [] {
    const std::pair<int32_t, const char*> utf8[] = {
        {0, "成功"},
        {-1, "由于您分享了违反相关法律法规的文件，分享功能已被禁用，之前分享出去的文件不受影响。"},
        {-2, "用户不存在,请刷新页面后重试"},
        {-3, "文件不存在,请刷新页面后重试"},
        {-4, "登录信息有误，请重新登录试试"},
        {-5, "host_key和user_key无效"},
        {-6, "请重新登录"},
        {-7, "该分享已删除或已取消"},
        {-8, "该分享已经过期"},
        {-9, "访问密码错误"},
        {-10, "分享外链已经达到最大上限100000条，不能再次分享"},
        {-11, "验证cookie无效"},
        {-12, "访问密码错误"},
        {-14, "对不起，短信分享每天限制20条，你今天已经分享完，请明天再来分享吧！"},
        {-15, "对不起，邮件分享每天限制20封，你今天已经分享完，请明天再来分享吧！"},
        {-16, "对不起，该文件已经限制分享！"},
        {-17, "文件分享超过限制"},
        {-20, "下载验证码错误"},
        {-30, "文件已存在"},
        {-31, "文件保存失败"},
        {-33, "一次支持操作999个，减点试试吧"},
        {-62, "访问验证码错误"},
        {-70, "你分享的文件中包含病毒或疑似病毒，为了你和他人的数据安全，换个文件分享吧"},
        {-997, "自定义错误代码,该链接已失效"},
        {-998, "自定义错误代码,JSON解析失败"},
        {-999, "自定义错误代码,常量设置不正确"},
        {2, "参数错误"},
        {3, "未登录或帐号无效"},
        {4, "存储好像出问题了，请稍候再试"},
        {5, "下载频繁，需输入验证码"},
        {6, "下载频繁，需输入验证码"},
        {9, "下载频繁，需输入验证码"},
        {108, "文件名有敏感词，优化一下吧"},
        {110, "分享次数超出限制，可以到[我的分享]中查看已分享的文件链接"},
        {112, "页面已过期，请刷新后重试"},
        {114, "当前任务不存在，保存失败"},
        {115, "该文件禁止分享"},
    };
    std::map<int32_t, std::string> gbk;
    for (const auto& [number, text] : utf8) gbk.emplace(number, base::Gbk(text));
    return gbk;
  }();
  return table;
}

}  // namespace

std::string ErrorText(int32_t errnum) {
  const auto& table = ErrorTable();
  auto it = table.find(errnum);
  if (it != table.end()) return it->second;
  static const std::string kUnknown = base::Gbk("未知错误ID:");
  return kUnknown + std::to_string(errnum);
}

}  // namespace share
