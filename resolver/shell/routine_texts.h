#pragma once
// The event routines' own texts (CP936), as the log and the list show them.
#include <string>

namespace shell::texts {

const std::string& ResolveStarted();     // "解析开始，线程:" (followed by the thread handle)
const std::string& ThreadFailed();       // "解析线程启动失败."
const std::string& LinkNotSet();         // "解析链接未设置."
const std::string& ResolveDone();        // "解析完成"
const std::string& Folder();             // "文件夹" (size column of a folder)
const std::string& FolderStarted();      // "目录解析开始"
const std::string& FolderDone();         // "目录解析完成"
const std::string& EnterCaptcha();       // "请输入验证码"
const std::string& LinksFailed();        // "解析失败：" (followed by the service's message)

}  // namespace shell::texts
