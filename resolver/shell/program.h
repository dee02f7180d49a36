#pragma once
// The resolver's program-wide objects, created before any window in the order of the members
// and destroyed when the message loop has ended (the exit routine is the destructor: members
// go in reverse order, so UiLock outlives every object it guards).
#include <string>
#include <utility>
#include <vector>

#include "resolver/http/internet_api.h"
#include "resolver/share/service_hosts.h"
#include "resolver/share/share_client.h"
#include "resolver/share/share_records.h"
#include "resolver/shell/ui_lock.h"

namespace shell {

struct Program {
  Program(http::InternetApi& internet, share::ServiceHosts hosts) : shareClient(internet, std::move(hosts)) {
    shareClient.Http().SetCookieMode(http::HttpClient::kOwnCookies);  // mode 1: its own jar for the run
  }

  UiLock uiLock;
  // The one client of the share service with the HttpClient it owns. Its cookie jar gathers the
  // share's cookies (the password cookie among them) for every later request of the run. It
  // also keeps the share URL last resolved (LastShareUrl()), which decides whether its stored
  // page URL is still good. Used by one thread at a time (Routines sees to that).
  share::ShareClient shareClient;
  std::vector<share::FileEntry> fileList;  // row i of `data` shows entry i; guarded by uiLock
  std::string currentFolder;               // path of the folder last opened; CP936; UI thread only
};

}  // namespace shell
