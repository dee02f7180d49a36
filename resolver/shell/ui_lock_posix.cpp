#include <mutex>

#include "resolver/shell/ui_lock.h"

// Hosts without windows have no sent messages to serve: a recursive mutex is the whole lock.
namespace shell {

struct UiLock::Impl {
  std::recursive_mutex mutex;
};

UiLock::UiLock() : impl_(std::make_unique<Impl>()) {}
UiLock::~UiLock() = default;
void UiLock::Enter() { impl_->mutex.lock(); }
void UiLock::Leave() { impl_->mutex.unlock(); }

}  // namespace shell
