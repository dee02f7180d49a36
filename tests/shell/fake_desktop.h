#pragma once
// A Desktop for the routines under test: threads run at once, are held back until the test
// runs them, or cannot be made; the message wait runs the test's script (what the user types)
// and can report that the window has gone.
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "resolver/shell/desktop.h"

namespace shell_test {

class FakeDesktop : public shell::Desktop {
 public:
  enum class Threads { kRunAtOnce, kHold, kRefuse };
  Threads threads = Threads::kRunAtOnce;
  uint64_t handleValue = 1234;
  int started = 0;
  std::vector<std::function<void()>> held;
  // One call per wait; false: the window has gone. Without a script every wait says "gone".
  std::function<bool()> onWait;
  int waits = 0;
  int menus = 0;

  bool StartThread(std::function<void()> routine, uint64_t& handle) override {
    if (threads == Threads::kRefuse) return false;
    ++started;
    handle = handleValue;
    if (threads == Threads::kHold) {
      held.push_back(std::move(routine));
    } else {
      routine();
    }
    return true;
  }
  bool WaitProcessingMessages(int ms) override {
    ++waits;
    lastWaitMs = ms;
    return onWait ? onWait() : false;
  }
  void ShowListMenu() override { ++menus; }

  void RunHeld() {
    auto routines = std::move(held);
    held.clear();
    for (auto& r : routines) r();
  }
  int lastWaitMs = 0;
};

}  // namespace shell_test
