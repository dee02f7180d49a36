#pragma once
// The main window's event routines: the resolve worker, the file list, folder navigation and
// the download links with the captcha step. They reach the window only through View and the
// platform only through Desktop, so they run in unit tests against fakes.
//
// Threads: every routine runs on the UI thread except ResolveWorker, which StartResolve runs on
// a thread of its own. Program::uiLock guards `data`, fileList and the log box between them.
// The share client is used by one thread at a time: a routine that needs it while another use
// runs (a resolve on the worker, or a link request waiting for its captcha) does nothing, so
// "返回上一级", a folder double-click or "解析选中项" never starts a second user of the client.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "resolver/share/share_records.h"
#include "resolver/shell/desktop.h"
#include "resolver/shell/program.h"
#include "resolver/shell/row_texts.h"
#include "resolver/shell/view.h"
#include "resolver/shell/write_log.h"

namespace shell {

class Routines {
 public:
  Routines(Program& program, View& view, Log& log, Desktop& desktop, RowFormat format)
      : program_(program), view_(view), log_(log), desktop_(desktop), format_(format) {}
  Routines(const Routines&) = delete;
  Routines& operator=(const Routines&) = delete;

  // Pan_Button "解析" (and GoUp at the top level): starts ResolveWorker on a new thread, which
  // logs "解析开始，线程:" with its handle. Does nothing while the client is in use.
  void StartResolve();
  // Resolves the link of Pan_Url with the password of Pan_Pas and fills the list.
  void ResolveWorker();

  // Right click on `data`: the popup menu, when the list has rows.
  void ShowListMenu();
  // Double click on `data`: opens the selected row when it is a folder.
  void OpenFolderAtRow();
  // Lists the folder path into `data` and fileList; currentFolder = path on success.
  void OpenFolder(const std::string& path);
  // "返回上一级": the parent of currentFolder, or the top level again through StartResolve.
  void GoUp();
  // Left button pressed on SelectAll, before the box changes its own state: every row gets
  // the state the box is about to take.
  void ToggleAllRows();
  // "解析选中项": links of the ticked rows into the log box, with a captcha step when the first
  // request fails. The captcha wait ends when the main window goes.
  void ResolveSelected();

  // Whether a resolve or a link request holds the share client now.
  bool ClientInUse() const { return clientInUse_.load(); }

 private:
  bool ClaimClient();
  void LogWorkerStarted();
  void ReleaseClient() { clientInUse_.store(false); }
  std::vector<RowTexts> FormatRows(const std::vector<share::FileEntry>& entries) const;
  void AddRows(const std::vector<RowTexts>& rows);  // caller holds uiLock
  void ReplaceFileList(std::vector<share::FileEntry> entries);  // caller holds uiLock
  std::string IdsOfTickedRows(bool zip);  // caller holds uiLock
  void EnableLinkControls(bool enabled);
  void ShowLinks(const std::string& links);  // caller holds uiLock
  void CaptchaStep(const std::string& ids);
  bool WaitForCaptchaAnswer(const std::vector<uint8_t>& image, std::string& answer);

  Program& program_;
  View& view_;
  Log& log_;
  Desktop& desktop_;
  RowFormat format_;
  std::atomic<bool> clientInUse_{false};
  uint64_t workerHandle_ = 0;  // of the last worker; set before the worker runs
};

}  // namespace shell
