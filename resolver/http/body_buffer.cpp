#include "resolver/http/body_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace http {

void BodyBuffer::Free::operator()(uint8_t* p) const { std::free(p); }

bool BodyBuffer::Allocate(Block* block, size_t capacity) {
  auto* data = static_cast<uint8_t*>(std::malloc(capacity));
  if (data == nullptr) return false;
  block->data.reset(data);
  block->capacity = capacity;
  block->used = 0;
  return true;
}

void BodyBuffer::Clear() {
  if (blocks_.size() > 1) blocks_.resize(1);
  if (!blocks_.empty()) blocks_[0].used = 0;
  size_ = 0;
}

void BodyBuffer::Release() {
  blocks_.clear();
  size_ = 0;
}

bool BodyBuffer::Reserve(size_t bytes) {
  if (!blocks_.empty() && blocks_[0].capacity >= bytes) return true;
  Block block;
  if (!Allocate(&block, bytes)) return false;
  blocks_.clear();
  blocks_.push_back(std::move(block));
  size_ = 0;
  return true;
}

uint8_t* BodyBuffer::Space(size_t want) {
  if (!blocks_.empty()) {
    Block& last = blocks_.back();
    if (last.capacity - last.used >= want) return last.data.get() + last.used;
    if (last.used == 0 && blocks_.size() == 1) blocks_.clear();  // too small and empty
  }
  Block block;
  if (!Allocate(&block, std::max(want, size_))) return nullptr;
  blocks_.push_back(std::move(block));
  return blocks_.back().data.get();
}

void BodyBuffer::Commit(size_t n) {
  Block& last = blocks_.back();
  n = std::min(n, last.capacity - last.used);
  last.used += n;
  size_ += n;
}

std::string_view BodyBuffer::View() {
  if (blocks_.empty()) return {};
  if (blocks_.size() > 1) {
    Block joined;
    if (!Allocate(&joined, size_)) return {};
    size_t at = 0;
    for (const Block& b : blocks_) {
      std::memcpy(joined.data.get() + at, b.data.get(), b.used);
      at += b.used;
    }
    joined.used = size_;
    blocks_.clear();
    blocks_.push_back(std::move(joined));
  }
  return std::string_view(reinterpret_cast<const char*>(blocks_[0].data.get()), size_);
}

std::vector<uint8_t> BodyBuffer::Copy() const {
  std::vector<uint8_t> out;
  out.reserve(size_);
  for (const Block& b : blocks_) out.insert(out.end(), b.data.get(), b.data.get() + b.used);
  return out;
}

}  // namespace http
