// An append-only store for the explorer's millions of states: elements live
// in blocks of 4,096 that never move, so a reference to one stays good while
// more are added, and a block is allocated once per 4,096 elements (not once
// per few, as a deque's small nodes are). Clearing keeps the blocks for the
// next use.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace trace {

template <typename T>
class BlockStore {
 public:
  T& operator[](size_t index) { return blocks_[index >> kShift][index & kMask]; }
  const T& operator[](size_t index) const { return blocks_[index >> kShift][index & kMask]; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  void push_back(const T& element) {
    if ((size_ >> kShift) == blocks_.size()) {
      blocks_.push_back(std::make_unique_for_overwrite<T[]>(size_t{1} << kShift));
    }
    (*this)[size_++] = element;
  }

  void clear() { size_ = 0; }

 private:
  static constexpr int kShift = 12;
  static constexpr size_t kMask = (size_t{1} << kShift) - 1;
  std::vector<std::unique_ptr<T[]>> blocks_;
  size_t size_ = 0;
};

}  // namespace trace
