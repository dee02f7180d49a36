// ResolveShare through the scripted WinINet: the requests of each flow, byte for byte, and
// what the client reads and reports.
#include <gtest/gtest.h>

#include "base/gbk_literal.h"
#include "resolver/share/share_client.h"
#include "tests/share/share_test_support.h"

namespace share::testing {
namespace {

const std::string kLink = "https://localhost:47443/s/1abc";
const std::string kPage = "https://localhost:47443/share/init?surl=abc";
const std::string kSharePage = "https://localhost:47443/share/link?shareid=1487234456&uk=2871296401";

// Two entries, one name raw in UTF-8 and one as \u escapes, a 15-digit fs_id.
const std::string kData =
    R"({"uk":2871296401,"shareid":1487234455,"sign":"5f2c9e","timestamp":1504767600,)"
    R"("bdstoken":null,"file_list":{"list":[)"
    R"({"fs_id":123456789012345,"app_id":"250528","parent_path":"%2F","server_mtime":1504767600,)"
    R"("server_filename":"照片 2017","size":0,"isdir":1,"path":"/照片 2017"},)"
    R"({"fs_id":2,"app_id":"777","parent_path":"%2F","server_mtime":1504767601,)"
    R"("server_filename":"\u8bf4\u660e.txt","size":1536,"isdir":0,"path":"/\u8bf4\u660e.txt"}]}})";

const std::string kPasswordPage = "<html><p>请输入提取密码</p></html>";
const std::string kVerifyUrl =
    "https://localhost:47443/share/verify?surl=abc&t=<T13>&bdstoken=null"
    "&channel=chunlei&clienttype=0&web=1&app_id=250528&logid=<LOGID>";

ExpectedRequest Get(const std::string& url) { return {"GET", url, "", ""}; }

TEST_F(ShareClientTest, OpenShareWalksToThePageAndReadsItsEntries) {
  net.QueueReply(Redirect(kPage));
  net.QueueReply(Ok(SharePage(kData)));
  net.QueueReply(Ok(SharePage(kData)));
  client.SetShare(kLink, "");
  files.push_back(FileEntry{});  // entries are appended

  ASSERT_TRUE(client.ResolveShare(files, message)) << message;

  ExpectRequests(Requests(), {Get(kLink), Get(kPage), Get(kPage)});
  ASSERT_EQ(files.size(), 3u);
  const FileEntry& folder = files[1];
  EXPECT_EQ(folder.fs_id, 123456789012345);
  EXPECT_EQ(folder.app_id, "250528");
  EXPECT_EQ(folder.parent_path, "%2F");
  EXPECT_EQ(folder.server_mtime, 1504767600);
  EXPECT_EQ(folder.server_filename, base::Gbk("照片 2017"));
  EXPECT_EQ(folder.size, 0);
  EXPECT_EQ(folder.isdir, 1);
  EXPECT_EQ(folder.path, base::Gbk("/照片 2017"));
  EXPECT_EQ(files[2].server_filename, base::Gbk("说明.txt"));
  EXPECT_EQ(files[2].size, 1536);
  EXPECT_EQ(files[2].isdir, 0);

  const ShareInfo& info = client.Info();
  EXPECT_EQ(info.uk, 2871296401);
  EXPECT_EQ(info.shareid, 1487234455);
  EXPECT_EQ(info.sign, "5f2c9e");
  EXPECT_EQ(info.timestamp, 1504767600);
  EXPECT_EQ(info.bdstoken, "null");
  EXPECT_EQ(info.app_id, "777");  // of the last entry
  EXPECT_EQ(client.PageUrl(), kPage);
  EXPECT_EQ(client.LastShareUrl(), kLink);
}

TEST_F(ShareClientTest, PageLinkWithoutRedirectIsFetchedThreeTimes) {
  for (int i = 0; i < 3; ++i) net.QueueReply(Ok(SharePage(kData)));
  client.SetShare(kPage, "");
  ASSERT_TRUE(client.ResolveShare(files, message)) << message;
  ExpectRequests(Requests(), {Get(kPage), Get(kPage), Get(kPage)});
  EXPECT_EQ(files.size(), 2u);
}

TEST_F(ShareClientTest, SecondResolveOfTheSameLinkStartsFromThePageUrl) {
  ResolveOpenShare(kData);
  for (int i = 0; i < 3; ++i) net.QueueReply(Ok(SharePage(kData)));
  ASSERT_TRUE(client.ResolveShare(files, message)) << message;
  const std::string page = "https://localhost:47443/share/init?surl=open";
  ExpectRequests(Requests(), {Get(page), Get(page), Get(page)});
}

TEST_F(ShareClientTest, AnotherLinkStartsFromTheLinkItself) {
  ResolveOpenShare(kData);
  net.QueueReply(Redirect(kPage));
  net.QueueReply(Ok(SharePage(kData)));
  net.QueueReply(Ok(SharePage(kData)));
  client.SetShare(kLink, "");
  ASSERT_TRUE(client.ResolveShare(files, message)) << message;
  ExpectRequests(Requests(), {Get(kLink), Get(kPage), Get(kPage)});
  EXPECT_EQ(client.LastShareUrl(), kLink);
}

// Link, walk to the password page, verify, the page's redirect with the password cookie, and
// the two GETs of the "shareid" page.
void QueuePasswordShare(FakeInternetApi& net, const std::string& page) {
  net.QueueReply(Redirect(page));
  net.QueueReply(Ok(kPasswordPage));
  net.QueueReply(Ok(kPasswordPage));
  net.QueueReply(Ok(R"({"errno":0,"err_msg":"","request_id":1})",
                    {"BDCLND=Ab%2Bc%3D/x; path=/; domain=localhost"}));
  net.QueueReply(Redirect(kSharePage));
  net.QueueReply(Ok(SharePage(kData)));
  net.QueueReply(Ok(SharePage(kData)));
}

TEST_F(ShareClientTest, PasswordSharePostsThePasswordAndFollowsToTheSharePage) {
  QueuePasswordShare(net, kPage);
  client.SetShare(kLink, "ab12");
  ASSERT_TRUE(client.ResolveShare(files, message)) << message;

  ExpectRequests(Requests(), {Get(kLink), Get(kPage), Get(kPage),
                              {"POST", kVerifyUrl, "pwd=ab12&vcode=&vcode_str=", kPage},
                              Get(kPage), Get(kSharePage), Get(kSharePage)});
  EXPECT_EQ(files.size(), 2u);
  EXPECT_EQ(client.PageUrl(), kSharePage);
  EXPECT_EQ(client.LastShareUrl(), kLink);
  EXPECT_EQ(client.Http().Cookie("BDCLND"), "Ab%2Bc%3D/x");
}

TEST_F(ShareClientTest, ResolvingAPassedLinkAgainFetchesTheSharePageTwice) {
  QueuePasswordShare(net, kPage);
  client.SetShare(kLink, "ab12");
  ASSERT_TRUE(client.ResolveShare(files, message)) << message;
  net.requests.clear();
  net.QueueReply(Ok(SharePage(kData)));
  net.QueueReply(Ok(SharePage(kData)));
  files.clear();
  ASSERT_TRUE(client.ResolveShare(files, message)) << message;
  ExpectRequests(Requests(), {Get(kSharePage), Get(kSharePage)});
  EXPECT_EQ(files.size(), 2u);
}

TEST_F(ShareClientTest, OnlyTheVerifyPostFollowsRedirects) {
  net.QueueReply(Redirect(kPage));
  net.QueueReply(Ok(kPasswordPage));
  net.QueueReply(Ok(kPasswordPage));
  // The verify answer redirects; the client follows it to the JSON answer.
  net.QueueReply(Redirect("https://localhost:47443/share/verified"));
  net.QueueReply(Ok(R"({"errno":0})"));
  net.QueueReply(Redirect(kSharePage));
  net.QueueReply(Ok(SharePage(kData)));
  net.QueueReply(Ok(SharePage(kData)));
  client.SetShare(kLink, "ab12");
  ASSERT_TRUE(client.ResolveShare(files, message)) << message;
  ExpectRequests(Requests(), {Get(kLink), Get(kPage), Get(kPage),
                              {"POST", kVerifyUrl, "pwd=ab12&vcode=&vcode_str=", kPage},
                              Get("https://localhost:47443/share/verified"), Get(kPage),
                              Get(kSharePage), Get(kSharePage)});
}

TEST_F(ShareClientTest, PasswordIsSentAsUtf8PercentForm) {
  QueuePasswordShare(net, kPage);
  client.SetShare(kLink, base::Gbk("口令 9"));
  ASSERT_TRUE(client.ResolveShare(files, message)) << message;
  ASSERT_GE(Requests().size(), 4u);
  EXPECT_EQ(Requests()[3].body, "pwd=%E5%8F%A3%E4%BB%A4+9&vcode=&vcode_str=");
}

TEST_F(ShareClientTest, InitFormLinkIsThePageOfThePasswordCheck) {
  const std::string initLink = "https://localhost:47443/share/init?shareid=1487234458&uk=3390102811";
  QueuePasswordShare(net, "https://localhost:47443/share/init?surl=InitForm");
  client.SetShare(initLink, "init");
  ASSERT_TRUE(client.ResolveShare(files, message)) << message;
  const std::string page = "https://localhost:47443/share/init?surl=InitForm";
  ExpectRequests(
      Requests(),
      {Get(initLink), Get(page), Get(page),
       {"POST",
        "https://localhost:47443/share/verify?shareid=1487234458&uk=3390102811&t=<T13>"
        "&bdstoken=null&channel=chunlei&clienttype=0&web=1&app_id=250528&logid=<LOGID>",
        "pwd=init&vcode=&vcode_str=", initLink},
       Get(initLink), Get(kSharePage), Get(kSharePage)});
}

TEST_F(ShareClientTest, PasswordPageWithoutPasswordSendsNoVerify) {
  net.QueueReply(Redirect(kPage));
  net.QueueReply(Ok(kPasswordPage));
  net.QueueReply(Ok(kPasswordPage));
  client.SetShare(kLink, "");
  EXPECT_FALSE(client.ResolveShare(files, message));
  EXPECT_EQ(message, base::Gbk("需要提取密码.请输入后重新尝试."));
  EXPECT_EQ(Requests().size(), 3u);
  EXPECT_TRUE(files.empty());
}

// Failures of the password check: the verify answer and what the page does after it.
TEST_F(ShareClientTest, PasswordCheckFailures) {
  const struct {
    const char* name;
    std::vector<FakeReply> afterPasswordPage;  // verify answer onwards
    const char* message;
    size_t requests;
    bool passed;  // LastShareUrl() set
  } cases[] = {
      {"wrong password", {Ok(R"({"errno":-9})")}, "访问密码错误", 4, false},
      {"errno outside the table", {Ok(R"({"errno":-13})")}, "未知错误ID:-13", 4, false},
      {"verify answer is no JSON", {Ok(R"({"errno":0,"err_msg":"unterminated)")}, "JSON解析失败",
       4, false},
      {"no redirect to a shareid page", {Ok(R"({"errno":0})"), Ok("<html></html>")},
       "shareid 获取失败", 5, false},
      {"redirect elsewhere", {Ok(R"({"errno":0})"), Redirect(kPage)}, "shareid 获取失败", 5, false},
      // The verify answer is empty: taken as passed, the page then tells.
      {"empty verify answer", {Ok(""), Redirect(kSharePage), Ok(kPasswordPage), Ok(kPasswordPage)},
       "访问密码错误", 7, true},
      // The service takes the password but its page keeps asking: one verify only.
      {"page keeps asking",
       {Ok(R"({"errno":0})"), Redirect(kSharePage), Ok(kPasswordPage), Ok(kPasswordPage)},
       "访问密码错误", 7, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeInternetApi fresh;
    ShareClient client(fresh, ServiceHosts{kMainHost, kDownloadHost});
    fresh.QueueReply(Redirect(kPage));
    fresh.QueueReply(Ok(kPasswordPage));
    fresh.QueueReply(Ok(kPasswordPage));
    for (const auto& reply : c.afterPasswordPage) fresh.QueueReply(reply);
    std::vector<FileEntry> got;
    client.SetShare(kLink, "ab12");
    EXPECT_FALSE(client.ResolveShare(got, message));
    EXPECT_EQ(message, base::Gbk(c.message));
    EXPECT_EQ(fresh.requests.size(), c.requests);
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(client.LastShareUrl(), c.passed ? kLink : "");
  }
}

TEST_F(ShareClientTest, AfterAFailedCheckRedirectsAreNotFollowed) {
  net.QueueReply(Redirect(kPage));
  net.QueueReply(Ok(kPasswordPage));
  net.QueueReply(Ok(kPasswordPage));
  net.QueueReply(Ok(R"({"errno":-9})"));
  client.SetShare(kLink, "zz99");
  ASSERT_FALSE(client.ResolveShare(files, message));
  // A listing answered with a redirect is not followed to its target.
  net.QueueReply(Redirect("https://localhost:47443/elsewhere"));
  net.QueueReply(Ok(R"({"errno":0,"list":[{"fs_id":1}]})"));
  client.ListFolder("/", files, message);
  EXPECT_EQ(Requests().size(), 5u);
  EXPECT_TRUE(files.empty());
}

TEST_F(ShareClientTest, PageFailureTexts) {
  const struct {
    const char* name;
    std::string page;  // UTF-8
    const char* message;
  } cases[] = {
      {"page missing", "<html><title>页面不存在</title></html>", "页面不存在."},
      {"link missing", "<html>啊哦，你来晚了，分享的文件已经被删除了，链接不存在</html>",
       "链接不存在."},
      {"missing page wins over missing link", "页面不存在 链接不存在", "页面不存在."},
      {"empty page", "", "打开网页失败."},
      {"page data is no JSON", SharePage("<div>{\"uk\":</div>"), "JSON解析失败"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeInternetApi fresh;
    ShareClient client(fresh, ServiceHosts{kMainHost, kDownloadHost});
    fresh.QueueReply(Redirect(kPage));
    fresh.QueueReply(Ok(c.page));
    fresh.QueueReply(Ok(c.page));
    std::vector<FileEntry> got;
    client.SetShare(kLink, "ab12");
    EXPECT_FALSE(client.ResolveShare(got, message));
    EXPECT_EQ(message, base::Gbk(c.message));
    EXPECT_EQ(fresh.requests.size(), 3u);
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(client.PageUrl(), kPage);
    EXPECT_EQ(client.LastShareUrl(), "");
  }
}

TEST_F(ShareClientTest, NoAnswerEndsTheWalkAtOnce) {
  // Nothing queued: every send fails with 12029 and no Location comes back.
  client.SetShare(kLink, "");
  EXPECT_FALSE(client.ResolveShare(files, message));
  EXPECT_EQ(message, base::Gbk("打开网页失败."));
  EXPECT_EQ(Requests().size(), 1u);
}

TEST_F(ShareClientTest, RedirectWalkStopsAfterTwentyHops) {
  for (int i = 1; i <= 25; ++i) {
    net.QueueReply(Redirect("https://localhost:47443/s/1Loop?hop=" + std::to_string(i)));
  }
  client.SetShare(kLink, "");
  EXPECT_FALSE(client.ResolveShare(files, message));
  EXPECT_EQ(message, base::Gbk("打开网页失败."));
  ASSERT_EQ(Requests().size(), 20u);
  EXPECT_EQ(UrlOf(Requests()[19]), "https://localhost:47443/s/1Loop?hop=19");
  EXPECT_EQ(client.PageUrl(), "https://localhost:47443/s/1Loop?hop=20");
}

TEST_F(ShareClientTest, PagesWithoutEntries) {
  const struct {
    const char* name;
    std::string page;
  } cases[] = {
      {"empty list", SharePage(R"({"uk":1,"shareid":2,"file_list":{"list":[]}})")},
      {"no list", SharePage(R"({"uk":1,"shareid":2})")},
      {"no data marker", "<html><body>分享</body></html>"},
      {"no end of the call", "<html>yunData.setData(</html>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeInternetApi fresh;
    ShareClient client(fresh, ServiceHosts{kMainHost, kDownloadHost});
    for (int i = 0; i < 3; ++i) fresh.QueueReply(Ok(c.page));
    std::vector<FileEntry> got;
    client.SetShare(kPage, "");
    EXPECT_TRUE(client.ResolveShare(got, message));
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(client.LastShareUrl(), kPage);
  }
}

TEST_F(ShareClientTest, NameHoldingTheEndOfTheCallIsReadWhole) {
  const std::string data =
      R"({"uk":1,"shareid":2,"file_list":{"list":[{"fs_id":7,"server_filename":"第1集);预告.mp4"},)"
      R"({"fs_id":8,"server_filename":"b}.txt"}]}})";
  for (int i = 0; i < 3; ++i) net.QueueReply(Ok(SharePage(data)));
  client.SetShare(kPage, "");
  ASSERT_TRUE(client.ResolveShare(files, message)) << message;
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].server_filename, base::Gbk("第1集);预告.mp4"));
  EXPECT_EQ(files[1].fs_id, 8);
}

TEST_F(ShareClientTest, BdstokenIsTheLiteralOfThePage) {
  const struct { std::string json; std::string literal; } cases[] = {
      {"null", "null"}, {"12345", "12345"}, {"\"abc\"", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    FakeInternetApi fresh;
    ShareClient client(fresh, ServiceHosts{kMainHost, kDownloadHost});
    for (int i = 0; i < 3; ++i) {
      fresh.QueueReply(Ok(SharePage(R"({"uk":1,"bdstoken":)" + c.json + "}")));
    }
    client.SetShare(kPage, "");
    ASSERT_TRUE(client.ResolveShare(files, message));
    EXPECT_EQ(client.Info().bdstoken, c.literal);
  }
}

TEST_F(ShareClientTest, NamesOutsideTheCodePageDoNotBreakTheListing) {
  // Hangul and an emoji have no CP936 form; the entry is still read, its name converted.
  const std::string data =
      R"({"uk":1,"file_list":{"list":[{"fs_id":9,"server_filename":"한글 😀.txt","size":5},)"
      R"({"fs_id":10,"server_filename":"\ud55c\uae00 \ud83d\ude00.txt","size":6}]}})";
  for (int i = 0; i < 3; ++i) net.QueueReply(Ok(SharePage(data)));
  client.SetShare(kPage, "");
  ASSERT_TRUE(client.ResolveShare(files, message)) << message;
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].fs_id, 9);
  EXPECT_EQ(files[1].size, 6);
  for (const auto& f : files) {
    SCOPED_TRACE(f.fs_id);
    EXPECT_NE(f.server_filename.find(" "), std::string::npos);
    EXPECT_EQ(f.server_filename.substr(f.server_filename.size() - 4), ".txt");
    EXPECT_NE(f.server_filename.find('?'), std::string::npos);
  }
}

}  // namespace
}  // namespace share::testing
