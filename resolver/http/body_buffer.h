#pragma once
// The memory of a reply body: a list of blocks filled in order, so that a body of unknown
// length grows without ever copying what has arrived. A block is taken for each read that
// does not fit the last one, at least as large as the body so far, so the block count stays
// logarithmic in the body size. A body read into one block (the declared-length case, or a
// small body) is contiguous as it is; View() joins the blocks of a longer one once.
//
// Clear() keeps the first block for the next body: the memory is not given back before
// Release() (the client's CloseAll).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace http {

class BodyBuffer {
 public:
  // Forgets the body, keeping the first block.
  void Clear();
  void Release();
  // Makes the first block hold at least bytes (before any byte is added).
  bool Reserve(size_t bytes);
  // Room for want more bytes at the end of the body; nullptr when memory runs out.
  uint8_t* Space(size_t want);
  // Adds the first n bytes of the last Space() to the body.
  void Commit(size_t n);

  size_t Size() const { return size_; }
  // The body in one piece (joining the blocks the first time it is asked); empty when the
  // blocks cannot be joined for lack of memory.
  std::string_view View();
  std::vector<uint8_t> Copy() const;

 private:
  struct Free {
    void operator()(uint8_t* p) const;
  };
  struct Block {
    std::unique_ptr<uint8_t, Free> data;
    size_t capacity = 0;
    size_t used = 0;
  };
  static bool Allocate(Block* block, size_t capacity);

  std::vector<Block> blocks_;
  size_t size_ = 0;
};

}  // namespace http
