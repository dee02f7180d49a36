#include "resolver/shell/routine_texts.h"

#include "base/gbk_literal.h"

namespace shell::texts {

#define QUILLON_TEXT(name, utf8)                    \
  const std::string& name() {                       \
    static const std::string text = base::Gbk(utf8); \
    return text;                                    \
  }

QUILLON_TEXT(ResolveStarted, "解析开始，线程:")
QUILLON_TEXT(ThreadFailed, "解析线程启动失败.")
QUILLON_TEXT(LinkNotSet, "解析链接未设置.")
QUILLON_TEXT(ResolveDone, "解析完成")
QUILLON_TEXT(Folder, "文件夹")
QUILLON_TEXT(FolderStarted, "目录解析开始")
QUILLON_TEXT(FolderDone, "目录解析完成")
QUILLON_TEXT(EnterCaptcha, "请输入验证码")
QUILLON_TEXT(LinksFailed, "解析失败：")

#undef QUILLON_TEXT

}  // namespace shell::texts
