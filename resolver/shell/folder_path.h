#pragma once
// Folder paths of the share as the service writes them ("/资料 2017/照片"), CP936.
#include <string>
#include <string_view>

namespace shell {

// The folder above path: everything before its last "/" ("/a/b" -> "/a"). "" when path is a
// top-level folder ("/a"), has no "/" or is empty: going up from there is the share's top level.
std::string ParentFolder(std::string_view path);

}  // namespace shell
