// StartResolve and ResolveWorker: the share's top level into the list, on a worker thread.
#include <string>
#include <utility>
#include <vector>

#include "resolver/shell/routine_texts.h"
#include "resolver/shell/routines.h"

namespace shell {

void Routines::StartResolve() {
  if (!ClaimClient()) return;  // a resolve or a link request is running: no second user
  uint64_t handle = 0;
  if (!desktop_.StartThread([this] { ResolveWorker(); }, handle)) {
    ReleaseClient();
    log_.WriteLog(texts::ThreadFailed());
    return;
  }
  log_.WriteLog(texts::ResolveStarted() + std::to_string(handle));
}

// Runs with the client claimed by StartResolve and gives it back once it is done with it.
void Routines::ResolveWorker() {
  std::string link, password;
  {
    UiLockHold hold(program_.uiLock);
    view_.ClearRows();
    link = view_.Text(kPanUrl);
    password = view_.Text(kPanPas);
  }
  if (link.empty()) {
    log_.WriteLog(texts::LinkNotSet());
    ReleaseClient();
    return;
  }
  {
    // Under the lock, so a line the UI thread writes meanwhile is not half-erased.
    UiLockHold hold(program_.uiLock);
    view_.Enable(kPanButton, false);
    view_.SetLogText("");
  }
  std::vector<share::FileEntry> entries;
  std::string message;
  program_.shareClient.SetShare(link, password);
  const bool ok = program_.shareClient.ResolveShare(entries, message);
  if (!ok) {
    ReleaseClient();  // the client is done with: the button may start the next resolve
    log_.WriteLog(message);
    UiLockHold hold(program_.uiLock);
    view_.Enable(kPanButton, true);
    return;
  }
  for (const auto& row : FormatRows(entries)) {
    UiLockHold hold(program_.uiLock);  // one row at a time: the UI thread gets the lock between rows
    view_.AddRow(row.name, row.size, row.time);
  }
  {
    UiLockHold hold(program_.uiLock);
    ReplaceFileList(std::move(entries));
    ReleaseClient();
    view_.Enable(kPanButton, true);
  }
  log_.WriteLog(texts::ResolveDone());
}

}  // namespace shell
