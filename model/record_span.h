#pragma once

#include <cstddef>
#include <cstdint>

// A view of consecutive records that the model's storage owns: what a node's
// children, an equation's entries or the model's lists are. Valid as long as
// the model (or the storage that kept the records) lives.
template <class Record>
class Span {
  public:
    Span() = default;
    Span(Record* first, std::size_t size) : first_(first), size_(size) {}
    // A view of mutable records is also a view of read-only ones.
    template <class Other>
    Span(Span<Other> other) : first_(other.begin()), size_(other.size()) {}

    Record* begin() const { return first_; }
    Record* end() const { return first_ + size_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    Record& operator[](std::size_t index) const { return first_[index]; }
    Record& front() const { return first_[0]; }
    Record& back() const { return first_[size_ - 1]; }

  private:
    Record* first_ = nullptr;
    std::size_t size_ = 0;
};
