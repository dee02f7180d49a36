// StartResolve and ResolveWorker: the share's top level into the list, on a worker thread.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "resolver/shell/routine_texts.h"
#include "resolver/shell/routines.h"

namespace shell {

namespace {
constexpr size_t kRowsPerBlock = 50;
}  // namespace

// The line "解析开始，线程:" + handle is written by the worker, right after it has emptied the
// log: written here it would race with that emptying and mostly be erased by it.
void Routines::StartResolve() {
  if (!ClaimClient()) return;  // a resolve or a link request is running: no second user
  if (!desktop_.StartThread([this] { ResolveWorker(); }, workerHandle_)) {
    ReleaseClient();
    log_.WriteLog(texts::ThreadFailed());
  }
}

void Routines::LogWorkerStarted() { log_.WriteLog(texts::ResolveStarted() + std::to_string(workerHandle_)); }

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
    LogWorkerStarted();
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
  LogWorkerStarted();
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
  const std::vector<RowTexts> rows = FormatRows(entries);
  {
    UiLockHold hold(program_.uiLock);
    view_.BeginRowFill(static_cast<int>(rows.size()));
  }
  // In blocks, each under the lock: the UI thread gets the lock between blocks, and a block is
  // one message to the window rather than one per row.
  for (size_t first = 0; first < rows.size(); first += kRowsPerBlock) {
    UiLockHold hold(program_.uiLock);
    view_.AddRows(rows.data() + first, std::min(kRowsPerBlock, rows.size() - first));
  }
  {
    UiLockHold hold(program_.uiLock);
    view_.EndRowFill();
    ReplaceFileList(std::move(entries));
    ReleaseClient();
    view_.Enable(kPanButton, true);
  }
  log_.WriteLog(texts::ResolveDone());
}

}  // namespace shell
