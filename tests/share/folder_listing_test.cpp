// ListFolder through the scripted WinINet.
#include <gtest/gtest.h>

#include "base/gbk_literal.h"
#include "resolver/share/share_client.h"
#include "tests/share/share_test_support.h"

namespace share::testing {
namespace {

const std::string kData =
    R"({"uk":2871296401,"shareid":1487234455,"sign":"s1","timestamp":1504767600,"bdstoken":null,)"
    R"("file_list":{"list":[{"fs_id":1,"isdir":1,"path":"/照片 2017"}]}})";

std::string ListUrl(const std::string& dir, const std::string& bdstoken = "null") {
  return "http://localhost:47443/share/list?uk=2871296401&shareid=1487234455"
         "&order=server_filename&desc=1&showempty=0&web=1&page=1&num=100&dir=" +
         dir + "&t=0.<D16>&bdstoken=" + bdstoken +
         "&channel=chunlei&clienttype=0&web=1&app_id=250528&logid=<LOGID>";
}

TEST_F(ShareClientTest, ListFolderRequestsThePathInUtf8AndReadsTheEntries) {
  ResolveOpenShare(kData);
  net.QueueReply(Ok(
      R"({"errno":0,"list":[)"
      R"({"fs_id":987654321098765,"app_id":"250528","parent_path":"\/\u7167\u7247 2017",)"
      R"("server_mtime":1504767605,"server_filename":"\u6d77\u8fb9.jpg","size":2048,"isdir":0,)"
      R"("path":"\/\u7167\u7247 2017\/\u6d77\u8fb9.jpg"},)"
      R"({"fs_id":5,"server_filename":"b","isdir":1,"path":"\/\u7167\u7247 2017\/b"}],)"
      R"("request_id":1})"));
  files.push_back(FileEntry{});

  ASSERT_TRUE(client.ListFolder(base::Gbk("/照片 2017"), files, message)) << message;

  ExpectRequests(Requests(), {{"GET", ListUrl("%2F%E7%85%A7%E7%89%87+2017"), "", ""}});
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[1].fs_id, 987654321098765);
  EXPECT_EQ(files[1].app_id, "250528");
  EXPECT_EQ(files[1].parent_path, base::Gbk("/照片 2017"));
  EXPECT_EQ(files[1].server_mtime, 1504767605);
  EXPECT_EQ(files[1].server_filename, base::Gbk("海边.jpg"));
  EXPECT_EQ(files[1].size, 2048);
  EXPECT_EQ(files[1].isdir, 0);
  EXPECT_EQ(files[1].path, base::Gbk("/照片 2017/海边.jpg"));
  EXPECT_EQ(files[2].isdir, 1);
}

TEST_F(ShareClientTest, ListFolderCarriesThePagesBdstoken) {
  ResolveOpenShare(R"({"uk":2871296401,"shareid":1487234455,"bdstoken":8801})");
  net.QueueReply(Ok(R"({"errno":0,"list":[]})"));
  ASSERT_TRUE(client.ListFolder("/a", files, message));
  ExpectRequests(Requests(), {{"GET", ListUrl("%2Fa", "8801"), "", ""}});
}

TEST_F(ShareClientTest, ListFolderReplies) {
  const struct {
    const char* name;
    std::string reply;
    bool ok;
    const char* message;  // when not ok
  } cases[] = {
      {"empty folder", R"({"errno":0,"list":[]})", true, ""},
      {"no list member", R"({"errno":0})", true, ""},
      {"share removed", R"({"errno":-7})", false, "该分享已删除或已取消"},
      {"errno beyond 32 bits keeps its low half", R"({"errno":4294967289})", false,
       "该分享已删除或已取消"},
      {"no JSON", R"({"errno":0,"list":[{"fs_id":1,)", false, "JSON解析失败."},
      {"no answer", "", false, "打开网页失败."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResolveOpenShare(kData);
    net.QueueReply(Ok(c.reply));
    message.clear();
    EXPECT_EQ(client.ListFolder("/x", files, message), c.ok);
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(message, base::Gbk(c.message));
  }
}

TEST_F(ShareClientTest, ListFolderWithANameOutsideTheCodePageAsksForWhatItHolds) {
  // A name the code page lacks arrives as "?": the request carries that, and the service's
  // refusal is reported; nothing else happens.
  ResolveOpenShare(kData);
  net.QueueReply(Ok(R"({"errno":-3})"));
  EXPECT_FALSE(client.ListFolder("/?? ?", files, message));
  EXPECT_EQ(message, base::Gbk("文件不存在,请刷新页面后重试"));
  ExpectRequests(Requests(), {{"GET", ListUrl("%2F%3F%3F+%3F"), "", ""}});
}

}  // namespace
}  // namespace share::testing
