// The event routines against an in-memory window and the share client over the scripted WinINet.
#include "resolver/shell/routines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/gbk_literal.h"
#include "fake_desktop.h"
#include "fake_view.h"
#include "resolver/display/display_format.h"
#include "tests/http/fake_internet_api.h"

namespace {

using http::testing::FakeInternetApi;
using http::testing::FakeReply;
using shell_test::FakeDesktop;
using shell_test::FakeView;

constexpr char kLink[] = "https://localhost:47443/s/1open";

base::LocalTime FixedTime() { return {2017, 9, 7, 15, 0, 5, 0}; }
std::string FakeTime(std::string_view seconds) { return "T" + std::string(seconds); }

FakeReply Reply(const std::string& status, const std::string& extra, const std::string& utf8Body) {
  return FakeReply::Ok("HTTP/1.1 " + status + "\r\n" + extra + "Content-Length: " + std::to_string(utf8Body.size()) +
                           "\r\n",
                       utf8Body);
}
FakeReply Ok(const std::string& utf8Body) { return Reply("200 OK", "", utf8Body); }
FakeReply Redirect(const std::string& to) { return Reply("302 Found", "Location: " + to + "\r\n", ""); }

// Page data of an open share; entries is the JSON text of file_list.list's items.
std::string SharePage(const std::string& entries) {
  return "<html><script>yunData.setData({\"uk\":2871296401,\"shareid\":1487234455,\"sign\":\"s1\","
         "\"timestamp\":1504767600,\"bdstoken\":null,\"file_list\":{\"list\":[" +
         entries + "]}});</script></html>";
}

const char kTopEntries[] =
    "{\"fs_id\":11,\"app_id\":\"250528\",\"parent_path\":\"/\",\"server_mtime\":1504767600,"
    "\"server_filename\":\"资料 2017\",\"size\":4096,\"isdir\":1,\"path\":\"/资料 2017\"},"
    "{\"fs_id\":22,\"app_id\":\"250528\",\"parent_path\":\"/\",\"server_mtime\":1504767601,"
    "\"server_filename\":\"hello.txt\",\"size\":1536,\"isdir\":0,\"path\":\"/hello.txt\"},"
    "{\"fs_id\":33,\"app_id\":\"250528\",\"parent_path\":\"/\",\"server_mtime\":1504767602,"
    "\"server_filename\":\"大文件.bin\",\"size\":3145728,\"isdir\":0,\"path\":\"/大文件.bin\"}";

#define QUILLON_SUB_ENTRY                                                                      \
  "{\"fs_id\":44,\"app_id\":\"250528\",\"parent_path\":\"/资料 2017\",\"server_mtime\":1504767603," \
  "\"server_filename\":\"说明.txt\",\"size\":512,\"isdir\":0,\"path\":\"/资料 2017/说明.txt\"}"
const char kSubEntry[] = QUILLON_SUB_ENTRY;
const char kFolderListing[] = "{\"errno\":0,\"list\":[" QUILLON_SUB_ENTRY "]}";

// The log's messages without their stamps.
std::vector<std::string> Messages(const std::string& log) {
  std::vector<std::string> out;
  const size_t stamp = std::string("2017.09.07-15.00.05\xA3\xBA").size();
  size_t start = 0;
  while (!log.empty() && start <= log.size()) {
    size_t end = log.find("\r\n", start);
    if (end == std::string::npos) end = log.size();
    out.push_back(log.substr(start + stamp, end - start - stamp));
    start = end + 2;
  }
  return out;
}

std::vector<std::string> Gbk(std::initializer_list<const char*> utf8) {
  std::vector<std::string> out;
  for (const char* s : utf8) out.push_back(base::Gbk(s));
  return out;
}

// The program, its window and the service as one routine sees them; one per case.
struct World {
  World() { view.texts[shell::kPanUrl] = kLink; }

  // The share's link answers with a redirect to its page; the page is fetched twice more.
  void QueueOpenShare(const std::string& entries = kTopEntries) {
    net.QueueReply(Redirect("https://localhost:47443/share/init?surl=open"));
    net.QueueReply(Ok(SharePage(entries)));
    net.QueueReply(Ok(SharePage(entries)));
  }
  void Resolve() {
    QueueOpenShare();
    routines.StartResolve();
    ASSERT_EQ(view.rows.size(), 3u) << view.log;
    net.requests.clear();
    view.log.clear();
  }
  size_t RequestsTo(const std::string& pathStart) const {
    size_t n = 0;
    for (const auto& r : net.requests) n += r.path.rfind(pathStart, 0) == 0;
    return n;
  }
  void TickRows(std::initializer_list<int> rows) {
    for (int r : rows) view.rows.at(static_cast<size_t>(r)).ticked = true;
  }
  bool LinkControlsEnabled() {
    return view.enabled[shell::kData] && view.enabled[shell::kSelectZip] && view.enabled[shell::kSelectAll] &&
           view.enabled[shell::kPanButton];
  }

  FakeInternetApi net;
  shell::Program program{net, share::ServiceHosts{"localhost:47443", "127.0.0.1:47080"}};
  FakeView view;
  shell::Log log{view, program.uiLock, FixedTime};
  FakeDesktop desktop;
  shell::Routines routines{program, view, log, desktop, shell::RowFormat{&display::FormatSize, &FakeTime}};
};

class RoutinesTest : public ::testing::Test, public World {};

// --- resolve

TEST_F(RoutinesTest, ResolveFillsTheRowsInPageOrderAndLogsDone) {
  desktop.threads = FakeDesktop::Threads::kHold;
  view.log = "earlier";
  QueueOpenShare();
  routines.StartResolve();
  EXPECT_EQ(view.log, "earlier") << "nothing before the worker runs";
  desktop.RunHeld();

  ASSERT_EQ(view.rows.size(), 3u);
  const std::vector<std::vector<std::string>> rows = {
      {base::Gbk("资料 2017"), base::Gbk("文件夹"), "T1504767600"},  // a folder's size is not shown
      {"hello.txt", "1.5 KB", "T1504767601"},
      {base::Gbk("大文件.bin"), "3 MB", "T1504767602"},
  };
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ((std::vector<std::string>{view.rows[i].name, view.rows[i].size, view.rows[i].time}), rows[i]) << i;
  }
  ASSERT_EQ(program.fileList.size(), 3u);
  EXPECT_EQ(program.fileList[2].fs_id, 33);
  EXPECT_EQ(program.fileList[0].path, base::Gbk("/资料 2017"));
  EXPECT_EQ(Messages(view.log), Gbk({"解析开始，线程:1234", "解析完成"}))
      << "the worker empties the log, then names its thread";
  EXPECT_TRUE(view.enabled[shell::kPanButton]);
  EXPECT_FALSE(routines.ClientInUse());
  EXPECT_EQ(program.currentFolder, "");
}

TEST_F(RoutinesTest, EmptyLinkLogsOnlyThatAndKeepsTheLog) {
  view.texts[shell::kPanUrl] = "";
  view.log = "2017.09.07-15.00.05\xA3\xBA" "before";
  routines.StartResolve();
  EXPECT_EQ(Messages(view.log), (std::vector<std::string>{"before", base::Gbk("解析开始，线程:1234"),
                                                          base::Gbk("解析链接未设置.")}));
  EXPECT_TRUE(net.requests.empty());
  EXPECT_EQ(view.enabled.count(shell::kPanButton), 0u) << "the button is never disabled";
  EXPECT_FALSE(routines.ClientInUse());
}

TEST(Routines, FailedResolveLogsTheMessageAndKeepsTheOldFileList) {
  const struct {
    const char* what;
    FakeReply page;
    const char* message;
  } cases[] = {
      {"removed share", Ok("<html>啊，链接不存在</html>"), "链接不存在."},
      {"no answer", FakeReply::Failure(12029), "打开网页失败."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    World w;
    w.Resolve();
    w.view.texts[shell::kPanUrl] = "https://localhost:47443/s/1gone";
    for (int i = 0; i < 3; ++i) w.net.QueueReply(c.page);
    w.routines.StartResolve();
    EXPECT_EQ(Messages(w.view.log), (std::vector<std::string>{base::Gbk("解析开始，线程:1234"), base::Gbk(c.message)}));
    EXPECT_TRUE(w.view.rows.empty()) << "the list was cleared";
    EXPECT_EQ(w.program.fileList.size(), 3u) << "the entries of the last listing stay";
    EXPECT_TRUE(w.view.enabled[shell::kPanButton]);
    EXPECT_FALSE(w.routines.ClientInUse());
  }
}

TEST_F(RoutinesTest, ShareWithoutEntriesEndsWithAnEmptyList) {
  QueueOpenShare("");
  routines.StartResolve();
  EXPECT_TRUE(view.rows.empty());
  EXPECT_TRUE(program.fileList.empty());
  EXPECT_EQ(Messages(view.log).back(), base::Gbk("解析完成"));
}

TEST_F(RoutinesTest, NoThreadLogsThatAndLeavesTheClientFree) {
  desktop.threads = FakeDesktop::Threads::kRefuse;
  routines.StartResolve();
  EXPECT_EQ(Messages(view.log), Gbk({"解析线程启动失败."}));
  EXPECT_FALSE(routines.ClientInUse());
}

// While a resolve runs on the worker nothing else may use the share client: the other
// routines that need it do nothing, and no second worker starts.
TEST_F(RoutinesTest, NothingElseUsesTheClientWhileAResolveRuns) {
  Resolve();
  view.rows[1].ticked = true;
  desktop.threads = FakeDesktop::Threads::kHold;
  QueueOpenShare();
  routines.StartResolve();
  ASSERT_EQ(desktop.started, 2);
  view.selected = 0;
  routines.StartResolve();
  routines.GoUp();  // top level: would start a resolve
  routines.OpenFolderAtRow();
  routines.OpenFolder("/x");
  routines.ResolveSelected();
  EXPECT_EQ(desktop.started, 2) << "no second worker";
  EXPECT_TRUE(net.requests.empty()) << "the client was called beside the worker";
  desktop.RunHeld();
  EXPECT_EQ(net.requests.size(), 3u);
  EXPECT_FALSE(routines.ClientInUse());
  net.QueueReply(Ok(kFolderListing));
  routines.OpenFolder(base::Gbk("/资料 2017"));
  EXPECT_EQ(RequestsTo("/share/list?"), 1u) << "free again once the worker is done";
}

// --- folders

TEST(Routines, DoubleClickOpensOnlyAFolderRow) {
  const struct {
    const char* what;
    int selected;
    size_t listings;
  } cases[] = {{"folder", 0, 1}, {"file", 1, 0}, {"no selection", -1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    World w;
    w.Resolve();
    w.view.selected = c.selected;
    w.net.QueueReply(Ok(kFolderListing));
    w.routines.OpenFolderAtRow();
    EXPECT_EQ(w.RequestsTo("/share/list?"), c.listings);
  }
}

TEST_F(RoutinesTest, OpenFolderReplacesRowsAndFileListAndLogsBothSteps) {
  Resolve();
  net.QueueReply(Ok(kFolderListing));
  routines.OpenFolder(base::Gbk("/资料 2017"));
  ASSERT_EQ(net.requests.size(), 1u);
  EXPECT_NE(net.requests[0].path.find("&dir=%2F%E8%B5%84%E6%96%99+2017&"), std::string::npos) << net.requests[0].path;
  ASSERT_EQ(view.rows.size(), 1u);
  EXPECT_EQ(view.rows[0].name, base::Gbk("说明.txt"));
  EXPECT_EQ(view.rows[0].size, "512 B");
  ASSERT_EQ(program.fileList.size(), 1u);
  EXPECT_EQ(program.fileList[0].fs_id, 44);
  EXPECT_EQ(program.currentFolder, base::Gbk("/资料 2017"));
  EXPECT_EQ(Messages(view.log), Gbk({"目录解析开始", "目录解析完成"}));
  EXPECT_TRUE(view.enabled[shell::kData]);
}

TEST_F(RoutinesTest, FailedListingKeepsRowsFileListAndFolder) {
  Resolve();
  program.currentFolder = "/before";
  net.QueueReply(Ok("{\"errno\":-7}"));
  routines.OpenFolder("/gone");
  EXPECT_EQ(Messages(view.log), Gbk({"目录解析开始", "该分享已删除或已取消"}));
  EXPECT_EQ(view.rows.size(), 3u);
  EXPECT_EQ(program.fileList.size(), 3u);
  EXPECT_EQ(program.currentFolder, "/before");
  EXPECT_TRUE(view.enabled[shell::kData]);
  EXPECT_FALSE(routines.ClientInUse());
}

TEST(Routines, GoUpListsTheParentOrResolvesTheTopLevel) {
  const struct {
    const char* current;
    const char* listedDir;  // nullptr: the top level is resolved again
  } cases[] = {{"/a/b", "&dir=%2Fa&"}, {"/a", nullptr}, {"", nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.current);
    World w;
    w.Resolve();
    w.desktop.threads = FakeDesktop::Threads::kHold;
    w.program.currentFolder = c.current;
    if (c.listedDir) {
      w.net.QueueReply(Ok("{\"errno\":0,\"list\":[]}"));
    } else {
      for (int i = 0; i < 3; ++i) w.net.QueueReply(Ok(SharePage(kSubEntry)));  // one entry
    }
    w.routines.GoUp();
    if (c.listedDir) {
      ASSERT_EQ(w.net.requests.size(), 1u);
      EXPECT_NE(w.net.requests[0].path.find(c.listedDir), std::string::npos) << w.net.requests[0].path;
      EXPECT_EQ(w.program.currentFolder, "/a");
      EXPECT_TRUE(w.desktop.held.empty());
    } else {
      EXPECT_TRUE(w.net.requests.empty());
      EXPECT_EQ(w.desktop.held.size(), 1u);
      w.desktop.RunHeld();
      EXPECT_EQ(Messages(w.view.log), Gbk({"解析开始，线程:1234", "解析完成"}));
      EXPECT_EQ(w.RequestsTo("/share/init?surl=open"), 3u) << "the stored page URL, walked once and fetched twice";
      EXPECT_EQ(w.view.rows.size(), 1u);
    }
  }
}

TEST_F(RoutinesTest, ShowListMenuOnlyWithRows) {
  routines.ShowListMenu();
  EXPECT_EQ(desktop.menus, 0);
  Resolve();
  routines.ShowListMenu();
  EXPECT_EQ(desktop.menus, 1);
}

TEST_F(RoutinesTest, ToggleAllRowsGivesEveryRowTheStateTheBoxIsAboutToTake) {
  routines.ToggleAllRows();
  EXPECT_EQ(view.enabled.count(shell::kSelectAll), 0u) << "no rows: nothing happens";
  Resolve();
  view.rows[1].ticked = true;
  for (bool boxTicked : {false, true}) {
    SCOPED_TRACE(boxTicked);
    view.ticked[shell::kSelectAll] = boxTicked;
    routines.ToggleAllRows();
    for (const auto& row : view.rows) EXPECT_EQ(row.ticked, !boxTicked);
    EXPECT_TRUE(view.enabled[shell::kSelectAll]);
  }
}

// --- download links

const char kTwoLinks[] = "{\"errno\":0,\"list\":[{\"fs_id\":22,\"dlink\":\"http:\\/\\/127.0.0.1:47080\\/file\\/a?fid=22\"},"
                         "{\"fs_id\":33,\"dlink\":\"http:\\/\\/127.0.0.1:47080\\/file\\/b?fid=33\"}]}";
const char kCaptcha[] = "{\"errno\":0,\"vcode_str\":\"tok40\",\"vcode_img\":\"http:\\/\\/localhost:47443\\/cgi-bin\\/genimage?tok40\"}";
const char kPicture[] = "\x89PNG picture bytes";

std::string FidList(const http::testing::RecordedRequest& r) {
  const size_t at = r.body.find("&fid_list=");
  return at == std::string::npos ? "?" : r.body.substr(at + 10);
}

TEST_F(RoutinesTest, LinksOfTheTickedFilesReplaceTheLog) {
  Resolve();
  view.log = "old lines";
  TickRows({0, 1, 2});  // the folder is left out without ZIP
  net.QueueReply(Ok(kTwoLinks));
  routines.ResolveSelected();
  ASSERT_EQ(net.requests.size(), 1u);
  EXPECT_EQ(FidList(net.requests[0]), "%5B22,33%5D");
  EXPECT_EQ(view.log, "http://127.0.0.1:47080/file/a?fid=22\r\nhttp://127.0.0.1:47080/file/b?fid=33");
  EXPECT_TRUE(LinkControlsEnabled());
  EXPECT_FALSE(routines.ClientInUse());
}

TEST_F(RoutinesTest, ZipSendsFoldersTooAndShowsTheOneBatchLink) {
  Resolve();
  TickRows({0, 2});
  view.ticked[shell::kSelectZip] = true;
  net.QueueReply(Ok("{\"errno\":0,\"dlink\":\"http:\\/\\/127.0.0.1:47080\\/batch\\/x.zip\"}"));
  routines.ResolveSelected();
  ASSERT_EQ(net.requests.size(), 1u);
  EXPECT_EQ(FidList(net.requests[0]), "%5B11,33%5D&type=batch");
  EXPECT_EQ(view.log, "http://127.0.0.1:47080/batch/x.zip");
}

TEST_F(RoutinesTest, ResolveSelectedDoesNothingWithoutRows) {
  routines.ResolveSelected();
  EXPECT_TRUE(net.requests.empty());
  EXPECT_TRUE(view.enabled.empty());
}

// The first request fails, a captcha is fetched and shown, and the wait reads the answer box
// once a second until it holds exactly four bytes.
TEST(Routines, CaptchaWaitEndsAtExactlyFourBytes) {
  const struct {
    const char* what;
    std::vector<std::string> typed;  // the box's text after each wait
    std::string answer;
  } cases[] = {
      {"three characters, then the fourth", {"AB", "ABC", "ABCD"}, "ABCD"},
      {"five characters keep it waiting", {"ABCDE", "ABCD"}, "ABCD"},
      {"two double-byte characters are four bytes", {base::Gbk("验证")}, base::Gbk("验证")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    World w;
    w.Resolve();
    w.TickRows({1});
    w.net.QueueReply(Ok("{\"errno\":-20}"));
    w.net.QueueReply(Ok(kCaptcha));
    w.net.QueueReply(Ok(kPicture));
    w.net.QueueReply(Ok(kTwoLinks));
    size_t step = 0;
    w.desktop.onWait = [&] {
      EXPECT_EQ(Messages(w.view.log), Gbk({"请输入验证码"})) << "the first failure's message is not shown";
      EXPECT_EQ(w.view.captcha, std::vector<uint8_t>(kPicture, kPicture + sizeof kPicture - 1));
      EXPECT_TRUE(w.view.enabled[shell::kPanCaptcha]);
      EXPECT_FALSE(w.view.enabled[shell::kPanButton]);
      EXPECT_EQ(w.net.requests.size(), 3u) << "no second link request before the answer";
      if (step < c.typed.size()) w.view.texts[shell::kPanCaptcha] = c.typed[step++];
      return true;
    };
    w.routines.ResolveSelected();
    EXPECT_EQ(w.desktop.waits, static_cast<int>(c.typed.size()));
    EXPECT_EQ(w.desktop.lastWaitMs, 1000);
    ASSERT_EQ(w.net.requests.size(), 4u);
    EXPECT_NE(w.net.requests[3].body.find("&vcode_input=" + c.answer + "&vcode_str=tok40&"), std::string::npos)
        << w.net.requests[3].body;
    EXPECT_EQ(w.view.log, "http://127.0.0.1:47080/file/a?fid=22\r\nhttp://127.0.0.1:47080/file/b?fid=33");
    EXPECT_TRUE(w.view.captcha.empty()) << "the picture is removed after the answer";
    EXPECT_TRUE(w.view.enabled[shell::kPanCaptcha]);
    EXPECT_EQ(w.view.texts[shell::kPanCaptcha], "");
    EXPECT_TRUE(w.LinkControlsEnabled());
    EXPECT_FALSE(w.routines.ClientInUse());
  }
}

TEST_F(RoutinesTest, CaptchaWaitEndsWhenTheWindowGoes) {
  Resolve();
  TickRows({1});
  net.QueueReply(Ok("{\"errno\":5}"));
  net.QueueReply(Ok(kCaptcha));
  net.QueueReply(Ok(kPicture));
  int waits = 0;
  desktop.onWait = [&] {
    view.texts[shell::kPanCaptcha] = "AB";
    return ++waits < 3;  // the window is closed during the third wait
  };
  routines.ResolveSelected();
  EXPECT_EQ(desktop.waits, 3);
  EXPECT_EQ(net.requests.size(), 3u) << "no link request after the window went";
  EXPECT_FALSE(routines.ClientInUse());
}

TEST_F(RoutinesTest, FailuresAfterTheFirstRequestAreLogged) {
  const struct {
    const char* what;
    std::vector<FakeReply> replies;  // after the failing first link request
    std::vector<std::string> log;
  } cases[] = {
      {"the captcha cannot be fetched", {Ok("{\"errno\":-7}")}, Gbk({"请输入验证码", "该分享已删除或已取消"})},
      {"the answer is wrong", {Ok(kCaptcha), Ok(kPicture), Ok("{\"errno\":-20}")},
       Gbk({"请输入验证码", "解析失败：下载验证码错误"})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    World w;
    w.Resolve();
    w.TickRows({1});
    w.net.QueueReply(Ok("{\"errno\":-20}"));
    for (const auto& r : c.replies) w.net.QueueReply(r);
    w.desktop.onWait = [&] {
      w.view.texts[shell::kPanCaptcha] = "WXYZ";
      return true;
    };
    w.routines.ResolveSelected();
    EXPECT_EQ(Messages(w.view.log), c.log);
    EXPECT_TRUE(w.LinkControlsEnabled());
    EXPECT_FALSE(w.routines.ClientInUse());
  }
}

}  // namespace
