#include "resolver/shell/startup_notes.h"

#include <string>

#include "base/gbk_literal.h"

namespace shell {

void ShowStartupNotes(Log& log) {
  static const std::string kNotes[] = {
      base::Gbk("06.17版：增加目录翻阅与文件压缩功能"),
      base::Gbk("06.20版：支持解析链接： .../share/init?shareid"),
      base::Gbk("09.05版：更新部分链接解析后目录为空不显示的问题"),
      base::Gbk("09.07版：随百度更新修正解析方法."),
      base::Gbk("免费软件，请勿贩卖！！！！！！"),
  };
  for (const auto& note : kNotes) log.WriteLog(note);
}

}  // namespace shell
