#pragma once
// The View over the real main window: the only code that touches its controls. Controls are
// reached by their fixed ids (controls.h); calls from the worker thread are sent messages.
#include <windows.h>

#include "resolver/shell/view.h"

namespace shell {

class Win32View : public View {
 public:
  explicit Win32View(HWND mainWindow) : main_(mainWindow) {}

  std::string LogText() override;
  void SetLogText(std::string_view text) override;
  void AppendLog(std::string_view text) override;
  std::string Text(ControlId id) override;
  void SetText(ControlId id, std::string_view text) override;
  void Enable(ControlId id, bool enabled) override;
  bool IsTicked(ControlId id) override;
  void ClearRows() override;
  void AddRow(std::string_view name, std::string_view size, std::string_view time) override;
  int RowCount() override;
  bool IsRowTicked(int row) override;
  void SetRowTicked(int row, bool ticked) override;
  int SelectedRow() override;
  void ShowCaptchaImage(const std::vector<uint8_t>& imageFile) override;

 private:
  HWND Control(ControlId id) const { return GetDlgItem(main_, id); }
  LRESULT SendToList(UINT msg, WPARAM wp, LPARAM lp) const {
    return SendMessageW(Control(kData), msg, wp, lp);
  }

  HWND main_;
};

}  // namespace shell
