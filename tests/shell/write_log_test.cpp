#include "resolver/shell/write_log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "base/gbk_literal.h"
#include "fake_view.h"
#include "resolver/shell/startup_notes.h"

namespace {

using shell_test::FakeView;

base::LocalTime FixedTime() { return {2018, 2, 1, 9, 5, 3, 0}; }

const std::string kStamp = "2018.02.01-09.05.03\xA3\xBA";

TEST(WriteLog, AppendsStampedLinesSeparatedByCrLf) {
  FakeView view;
  shell::UiLock lock;
  shell::Log log(view, lock, FixedTime);
  log.WriteLog("one");
  log.WriteLog(base::Gbk("解析完成"));
  EXPECT_EQ(view.log, kStamp + "one\r\n" + kStamp + base::Gbk("解析完成"));
  EXPECT_EQ(view.appendCalls, 2);  // appended, never rewritten: the caret ends at the new line
}

TEST(WriteLog, StartsWithoutBreakAfterTheBoxWasEmptied) {
  FakeView view;
  shell::UiLock lock;
  shell::Log log(view, lock, FixedTime);
  log.WriteLog("before");
  view.SetLogText("");
  log.WriteLog("after");
  EXPECT_EQ(view.log, kStamp + "after");
}

TEST(WriteLog, FollowsTextPutThereByOthers) {
  FakeView view;
  view.log = "http://a/1\r\nhttp://a/2";  // a link list that replaced the log
  shell::UiLock lock;
  shell::Log log(view, lock, FixedTime);
  log.WriteLog("x");
  EXPECT_EQ(view.log, "http://a/1\r\nhttp://a/2\r\n" + kStamp + "x");
}

// Lines written by two threads at once come out whole, one per line.
TEST(WriteLog, LinesOfTwoThreadsNeverInterleave) {
  FakeView view;
  shell::UiLock lock;
  shell::Log log(view, lock, FixedTime);
  constexpr int kPerThread = 200;
  auto writer = [&log](const char* text) {
    for (int i = 0; i < kPerThread; ++i) log.WriteLog(text);
  };
  std::thread a(writer, "aaaaaaaa");
  std::thread b(writer, "bbbbbbbb");
  a.join();
  b.join();
  int lines = 0;
  size_t start = 0;
  while (start <= view.log.size()) {
    size_t end = view.log.find("\r\n", start);
    if (end == std::string::npos) end = view.log.size();
    const std::string line = view.log.substr(start, end - start);
    ASSERT_TRUE(line == kStamp + "aaaaaaaa" || line == kStamp + "bbbbbbbb") << line;
    ++lines;
    start = end + 2;
  }
  EXPECT_EQ(lines, 2 * kPerThread);
}

TEST(UiLock, IsReentrantForItsHolder) {
  shell::UiLock lock;
  lock.Enter();
  lock.Enter();
  lock.Leave();
  std::atomic<bool> entered{false};
  std::thread other([&] {
    lock.Enter();
    entered = true;
    lock.Leave();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(entered) << "the lock was released after one of two enters";
  lock.Leave();
  other.join();
  EXPECT_TRUE(entered);
}

TEST(ShowStartupNotes, WritesTheFiveNotesInOrder) {
  FakeView view;
  shell::UiLock lock;
  shell::Log log(view, lock, FixedTime);
  shell::ShowStartupNotes(log);
  const std::string expected = kStamp + base::Gbk("06.17版：增加目录翻阅与文件压缩功能") + "\r\n" + kStamp +
                               base::Gbk("06.20版：支持解析链接： .../share/init?shareid") + "\r\n" + kStamp +
                               base::Gbk("09.05版：更新部分链接解析后目录为空不显示的问题") + "\r\n" +
                               kStamp + base::Gbk("09.07版：随百度更新修正解析方法.") + "\r\n" + kStamp +
                               base::Gbk("免费软件，请勿贩卖！！！！！！");
  EXPECT_EQ(view.log, expected);
}

}  // namespace
