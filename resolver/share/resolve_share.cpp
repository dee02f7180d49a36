// ResolveShare: from the share link to the share page's data.
//
// The service answers a share link with redirects to the page URL ".../share/init?surl=...".
// A page that asks for the extraction password is passed by posting it to "/share/verify?";
// the password cookie then makes the page redirect to a URL with "shareid", which serves the
// share data.
#include "resolver/share/share_client.h"

#include "resolver/json/json_document.h"
#include "resolver/share/error_text.h"
#include "resolver/share/json_reading.h"
#include "resolver/share/messages.h"
#include "resolver/share/request_utils.h"
#include "resolver/share/share_page.h"

namespace share {
namespace {

// Reported when the share page still asks for the password after the check passed: the
// service did not take it.
constexpr int32_t kErrnoWrongPassword = -9;

}  // namespace

bool ShareClient::ResolveShare(std::vector<FileEntry>& files, std::string& message) {
  return Resolve(files, message, Run::kFirst);
}

bool ShareClient::Resolve(std::vector<FileEntry>& files, std::string& message, Run run) {
  http_.SetDefaultHeaders();
  http_.SetFollowRedirects(false);
  if (info_.url != lastShareUrl_) pageUrl_.clear();

  std::string body;
  if (!FetchSharePage(body)) {
    message = messages::PageOpenFailed();
    return false;
  }
  switch (ClassifyPage(body)) {
    case PageKind::kEmpty: message = messages::PageOpenFailed(); return false;
    case PageKind::kPageMissing: message = messages::PageMissing(); return false;
    case PageKind::kLinkMissing: message = messages::LinkMissing(); return false;
    case PageKind::kAsksPassword: return PasswordCheck(files, message, run);
    case PageKind::kShareData: break;
  }
  std::vector<FileEntry> read;
  if (!ReadPageData(PageDataText(body), info_, read)) {
    message = messages::JsonFailed();
    return false;
  }
  files.insert(files.end(), read.begin(), read.end());
  lastShareUrl_ = info_.url;
  return true;
}

// A stored page URL with "shareid" (the password has passed) is fetched twice; otherwise the
// link's redirects are walked to the "?surl=" page, which is then fetched twice more. False
// when the walk found no page.
bool ShareClient::FetchSharePage(std::string& body) {
  if (!Contains(pageUrl_, "shareid")) {
    switch (WalkToSharePage(body)) {
      case Walk::kReachedSharePage: break;
      case Walk::kStoppedOnPage: return true;
      case Walk::kTooManyHops: return false;
    }
  }
  for (int i = 0; i < 2; ++i) body = Get(pageUrl_);
  return true;
}

// Follows the Location targets from the link (or the stored page URL) until the page URL
// holds "?surl=". A reply without Location ends the walk on that page: fetching the same URL
// again would only give the same answer. kMaxWalkHops targets without a "?surl=" page: no
// share page.
ShareClient::Walk ShareClient::WalkToSharePage(std::string& body) {
  for (int hops = 0;;) {
    if (pageUrl_.empty()) pageUrl_ = info_.url;
    http_.Open("GET", pageUrl_);
    http_.Send();
    const std::string target = http_.RedirectTarget();
    body = http_.ReplyText();
    if (!target.empty()) {
      pageUrl_ = target;
      ++hops;
    }
    if (Contains(pageUrl_, "?surl=")) return Walk::kReachedSharePage;
    if (target.empty()) return Walk::kStoppedOnPage;
    if (hops >= kMaxWalkHops) return Walk::kTooManyHops;
  }
}

// The page asks for the extraction password: post it, then read where the page now points.
// The run that follows a passed check happens once; a page that still asks for the password
// then means the service did not take it.
bool ShareClient::PasswordCheck(std::vector<FileEntry>& files, std::string& message, Run run) {
  if (info_.pwd.empty()) {
    message = messages::PasswordNeeded();
    return false;
  }
  if (run == Run::kAfterPasswordCheck) {
    message = share::ErrorText(kErrnoWrongPassword);
    return false;
  }
  if (Contains(info_.url, "shareid=")) pageUrl_ = info_.url;
  if (!Verify(message)) return false;

  http_.SetFollowRedirects(false);
  http_.Open("GET", pageUrl_);
  http_.Send();
  pageUrl_ = http_.RedirectTarget();
  if (!Contains(pageUrl_, "shareid")) {
    message = messages::ShareIdFailed();
    return false;
  }
  lastShareUrl_ = info_.url;
  return Resolve(files, message, Run::kAfterPasswordCheck);
}

// POST "/share/verify?" with the page's query; the service answers errno 0 and sets the
// password cookie BDCLND. Redirects of this reply are followed, and of no later request, also
// when the check fails (the listing and the download request rely on it).
bool ShareClient::Verify(std::string& message) {
  const std::string url = "https://" + hosts_.main + "/share/verify?" +
                          TextAfterLast(pageUrl_, "init?") + "&t=" + Timestamp13() +
                          "&bdstoken=null" + "&channel=chunlei&clienttype=0&web=1&app_id=250528" +
                          "&logid=" + MakeLogId();
  const std::string form = "pwd=" + UrlEncodeUtf8(info_.pwd) + "&vcode=&vcode_str=";
  http_.SetFollowRedirects(true);
  http_.Open("POST", url);
  http_.SetReferer(pageUrl_);
  http_.Send(form);
  http_.SetFollowRedirects(false);
  json::JsonDocument doc;
  doc.ClearAt("");
  if (!doc.Parse(http_.ReplyText(), false)) {
    message = messages::JsonFailed();
    return false;
  }
  if (const int32_t errnum = ReplyErrno(doc); errnum != 0) {
    message = share::ErrorText(errnum);
    return false;
  }
  return true;
}

}  // namespace share
