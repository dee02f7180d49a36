#pragma once
// The View over the real main window: the only code that touches its controls. Controls are
// reached by their fixed ids (controls.h); calls from the worker thread are sent messages.
#include <windows.h>

#include <functional>

#include "resolver/shell/view.h"

namespace shell {

class Win32View : public View {
 public:
  // Sent to the main window with a std::function<void()>* to run on the UI thread; the main
  // window's procedure answers it with RunCall.
  static constexpr UINT kRunOnUiThread = WM_APP + 1;
  static LRESULT RunCall(LPARAM call);

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
  void BeginRowFill(int rowsToCome) override;
  void AddRows(const RowTexts* rows, size_t count) override;
  void EndRowFill() override;
  void ShowCaptchaImage(const std::vector<uint8_t>& imageFile) override;

 private:
  HWND Control(ControlId id) const { return GetDlgItem(main_, id); }
  void InsertRow(std::string_view name, std::string_view size, std::string_view time);
  // Runs call on the UI thread: at once there, else as one message sent to the main window.
  void OnUiThread(const std::function<void()>& call);
  LRESULT SendToList(UINT msg, WPARAM wp, LPARAM lp) const {
    return SendMessageW(Control(kData), msg, wp, lp);
  }

  HWND main_;
};

}  // namespace shell
