// "解析选中项": direct links of the ticked rows, with the captcha step when the service wants one.
#include <string>
#include <vector>

#include "resolver/shell/download_ids.h"
#include "resolver/shell/routine_texts.h"
#include "resolver/shell/routines.h"

namespace shell {

namespace {
constexpr int kCaptchaPollMs = 1000;  // how often the answer box is read
constexpr size_t kCaptchaLength = 4;  // the service's captchas have four characters (bytes)
}  // namespace

std::string Routines::IdsOfTickedRows(bool zip) {
  const int rows = view_.RowCount();
  std::vector<bool> ticked(static_cast<size_t>(rows > 0 ? rows : 0));
  for (int row = 0; row < rows; ++row) ticked[static_cast<size_t>(row)] = view_.IsRowTicked(row);
  return TickedIds(ticked, program_.fileList, zip);
}

void Routines::EnableLinkControls(bool enabled) {
  for (ControlId id : {kData, kSelectZip, kSelectAll, kPanButton}) view_.Enable(id, enabled);
}

// The links replace the whole log box.
void Routines::ShowLinks(const std::string& links) {
  view_.SetLogText("");
  view_.AppendLog(links);
}

void Routines::ResolveSelected() {
  if (view_.RowCount() == 0) return;
  if (!ClaimClient()) return;  // a resolve runs, or this routine waits for a captcha already
  std::string ids;
  bool zip = false;
  {
    UiLockHold hold(program_.uiLock);
    EnableLinkControls(false);
    zip = view_.IsTicked(kSelectZip);
    ids = IdsOfTickedRows(zip);
  }
  std::string links;
  if (program_.shareClient.GetDownloadLinks(ids, zip, "", links)) {
    ReleaseClient();
    UiLockHold hold(program_.uiLock);
    EnableLinkControls(true);
    ShowLinks(links);
    return;
  }
  // Whatever the first request's failure, the answer is a captcha step; its message is not shown.
  log_.WriteLog(texts::EnterCaptcha());
  CaptchaStep(ids);
  ReleaseClient();
}

void Routines::CaptchaStep(const std::string& ids) {
  http::Bytes image;
  std::string message;
  if (!program_.shareClient.GetCaptcha(image, message)) {
    log_.WriteLog(message);
    UiLockHold hold(program_.uiLock);
    EnableLinkControls(true);
    return;
  }
  std::string answer;
  if (!WaitForCaptchaAnswer(image, answer)) return;  // the window has gone: nothing left to show
  const bool zip = view_.IsTicked(kSelectZip);
  std::string links;
  const bool ok = program_.shareClient.GetDownloadLinks(ids, zip, answer, links);
  {
    UiLockHold hold(program_.uiLock);
    EnableLinkControls(true);
    view_.Enable(kPanCaptcha, true);
    view_.SetText(kPanCaptcha, "");
    if (ok) ShowLinks(links);
  }
  if (!ok) log_.WriteLog(texts::LinksFailed() + links);
}

// Shows the picture and reads Pan_Captcha every second, the window staying usable, until it
// holds exactly four bytes. UiLock is held throughout (re-entrant, so routines that run during
// the wait still take it). False when the main window went away during the wait: the wait has
// no other end, and a closed window must let the program exit.
bool Routines::WaitForCaptchaAnswer(const std::vector<uint8_t>& image, std::string& answer) {
  UiLockHold hold(program_.uiLock);
  view_.Enable(kPanCaptcha, true);
  view_.SetText(kPanCaptcha, "");
  view_.ShowCaptchaImage(image);
  while (view_.Text(kPanCaptcha).size() != kCaptchaLength) {
    if (!desktop_.WaitProcessingMessages(kCaptchaPollMs)) return false;
  }
  view_.Enable(kPanCaptcha, false);
  view_.ShowCaptchaImage({});
  answer = view_.Text(kPanCaptcha);
  return true;
}

}  // namespace shell
