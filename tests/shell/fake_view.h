#pragma once
// A View that keeps the window's state in memory, for the shell's routines under test.
#include <map>
#include <string>
#include <vector>

#include "resolver/shell/view.h"

namespace shell_test {

struct FakeRow {
  std::string name, size, time;
  bool ticked = false;
};

class FakeView : public shell::View {
 public:
  std::string log;
  std::map<int, std::string> texts;
  std::map<int, bool> enabled, ticked;
  std::vector<FakeRow> rows;
  int selected = -1;
  std::vector<uint8_t> captcha;
  int appendCalls = 0;

  std::string LogText() override { return log; }
  void SetLogText(std::string_view text) override { log = std::string(text); }
  void AppendLog(std::string_view text) override {
    ++appendCalls;
    log.append(text);
  }
  std::string Text(shell::ControlId id) override { return texts[id]; }
  void SetText(shell::ControlId id, std::string_view text) override { texts[id] = std::string(text); }
  void Enable(shell::ControlId id, bool on) override { enabled[id] = on; }
  bool IsTicked(shell::ControlId id) override { return ticked[id]; }
  void ClearRows() override { rows.clear(); }
  void AddRow(std::string_view name, std::string_view size, std::string_view time) override {
    rows.push_back({std::string(name), std::string(size), std::string(time), false});
  }
  int RowCount() override { return static_cast<int>(rows.size()); }
  bool IsRowTicked(int row) override { return rows.at(static_cast<size_t>(row)).ticked; }
  void SetRowTicked(int row, bool on) override { rows.at(static_cast<size_t>(row)).ticked = on; }
  int SelectedRow() override { return selected; }
  void ShowCaptchaImage(const std::vector<uint8_t>& image) override { captcha = image; }
};

}  // namespace shell_test
