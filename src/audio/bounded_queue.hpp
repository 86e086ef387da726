#pragma once
// A first-in, first-out queue of fixed capacity on a ring allocated once: the buffers a device stream
// holds between being given a buffer and reporting it done.

#include <cstddef>
#include <vector>

namespace mw {

template <class T> class BoundedQueue {
public:
    explicit BoundedQueue(size_t capacity) : ring_(capacity) {}

    size_t Size() const { return size_; }
    /// Appends at the back; false when the queue is full.
    bool Push(const T& value) {
        if (size_ == ring_.size()) return false;
        ring_[(head_ + size_) % ring_.size()] = value;
        ++size_;
        return true;
    }
    /// The entry `i` places behind the front (0: the front).
    T& At(size_t i) { return ring_[(head_ + i) % ring_.size()]; }
    /// Removes the front entry and returns it; the queue must not be empty.
    T Pop() {
        const T value = ring_[head_];
        head_ = (head_ + 1) % ring_.size();
        --size_;
        return value;
    }

private:
    std::vector<T> ring_;
    size_t head_ = 0;
    size_t size_ = 0;
};

} // namespace mw
