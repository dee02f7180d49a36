#pragma once
// The main window as the event routines see it. Every text is CP936 bytes; the Win32 view
// converts at the window boundary, and a fake view in the tests records what happens.
// The calls may come from the UI thread and from the resolve worker; callers hold UiLock where
// a group of changes must not interleave (the view itself takes no lock).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "resolver/shell/controls.h"
#include "resolver/shell/row_texts.h"

namespace shell {

class View {
 public:
  virtual ~View() = default;

  // The log box Pan_RunState.
  virtual std::string LogText() = 0;
  virtual void SetLogText(std::string_view text) = 0;
  // Moves the caret to the end of the box, replaces the (empty) selection there with text and
  // scrolls the caret into view.
  virtual void AppendLog(std::string_view text) = 0;

  // Texts of the edit boxes (Pan_Url, Pan_Pas, Pan_Captcha).
  virtual std::string Text(ControlId id) = 0;
  virtual void SetText(ControlId id, std::string_view text) = 0;

  virtual void Enable(ControlId id, bool enabled) = 0;
  // Check boxes SelectZIP and SelectAll.
  virtual bool IsTicked(ControlId id) = 0;

  // Rows of the list `data`; row numbers are 0-based.
  virtual void ClearRows() = 0;
  virtual void AddRow(std::string_view name, std::string_view size, std::string_view time) = 0;
  virtual int RowCount() = 0;
  virtual bool IsRowTicked(int row) = 0;
  virtual void SetRowTicked(int row, bool ticked) = 0;
  virtual int SelectedRow() = 0;  // -1 when none
  // Around adding many rows: the list neither repaints nor grows its storage row by row until
  // EndRowFill, which shows the rows. Rows still go in one AddRow at a time, in order.
  virtual void BeginRowFill(int rowsToCome) { (void)rowsToCome; }
  // Appends count rows in order, as count AddRow calls would.
  virtual void AddRows(const RowTexts* rows, size_t count) {
    for (size_t i = 0; i < count; ++i) AddRow(rows[i].name, rows[i].size, rows[i].time);
  }
  virtual void EndRowFill() {}

  // Pan_CaptchaBody: bytes of an image file (PNG, JPEG, GIF, BMP); an empty block removes the picture.
  virtual void ShowCaptchaImage(const std::vector<uint8_t>& imageFile) = 0;
};

}  // namespace shell
