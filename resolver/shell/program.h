#pragma once
// The resolver's program-wide objects, created before any window in the order of the members
// and destroyed when the message loop has ended (the exit routine is the destructor: members
// go in reverse order, so UiLock outlives every object it guards).
#include <string>
#include <vector>

#include "resolver/share/share_records.h"
#include "resolver/shell/ui_lock.h"

namespace shell {

struct Program {
  UiLock uiLock;
  // shareClient: the one ShareClient with the HttpClient it owns (cookie mode 1) is the next
  // member, constructed from ConfiguredServiceHosts(), once the share client is linked in.
  std::vector<share::FileEntry> fileList;  // row i of `data` shows entry i
  std::string currentFolder;               // path of the folder last opened; CP936
  std::string lastShareUrl;                // share URL last resolved; CP936
};

}  // namespace shell
