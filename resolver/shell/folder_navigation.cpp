// The list's menu, folder double-click, going up, and ticking every row.
#include <string>
#include <utility>
#include <vector>

#include "resolver/shell/folder_path.h"
#include "resolver/shell/routine_texts.h"
#include "resolver/shell/routines.h"

namespace shell {

void Routines::ShowListMenu() {
  if (view_.RowCount() == 0) return;
  desktop_.ShowListMenu();
}

void Routines::OpenFolderAtRow() {
  if (view_.RowCount() == 0) return;
  const int row = view_.SelectedRow();
  if (row < 0) return;
  std::string path;
  bool isFolder = false;
  {
    UiLockHold hold(program_.uiLock);
    if (static_cast<size_t>(row) < program_.fileList.size()) {
      path = program_.fileList[static_cast<size_t>(row)].path;
      isFolder = program_.fileList[static_cast<size_t>(row)].isdir == 1;
    }
  }
  if (isFolder) OpenFolder(path);
}

void Routines::OpenFolder(const std::string& path) {
  if (!ClaimClient()) return;  // a resolve is filling the list: it owns the client
  {
    UiLockHold hold(program_.uiLock);
    view_.Enable(kData, false);
  }
  log_.WriteLog(texts::FolderStarted());
  std::vector<share::FileEntry> entries;
  std::string message;
  const bool ok = program_.shareClient.ListFolder(path, entries, message);
  ReleaseClient();
  if (!ok) {
    log_.WriteLog(message);
    UiLockHold hold(program_.uiLock);
    view_.Enable(kData, true);
    return;
  }
  const std::vector<RowTexts> rows = FormatRows(entries);
  {
    UiLockHold hold(program_.uiLock);
    view_.ClearRows();
    view_.BeginRowFill(static_cast<int>(rows.size()));
    AddRows(rows);
    view_.EndRowFill();
    view_.Enable(kData, true);
    ReplaceFileList(std::move(entries));
  }
  program_.currentFolder = path;
  log_.WriteLog(texts::FolderDone());
}

void Routines::GoUp() {
  const std::string parent = ParentFolder(program_.currentFolder);
  if (!parent.empty()) {
    OpenFolder(parent);
  } else {
    StartResolve();
  }
}

void Routines::ToggleAllRows() {
  const int rows = view_.RowCount();
  if (rows == 0) return;
  UiLockHold hold(program_.uiLock);
  view_.Enable(kSelectAll, false);
  const bool tickedNow = view_.IsTicked(kSelectAll);
  for (int row = 0; row < rows; ++row) view_.SetRowTicked(row, !tickedNow);
  view_.Enable(kSelectAll, true);
}

}  // namespace shell
