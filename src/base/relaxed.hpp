#pragma once
// A value shared between threads whose single reads and writes need no ordering: a torn or stale
// value lasts at most one sample. Loads and stores are relaxed atomics (plain moves on x86-64).

#include <atomic>

namespace mw {

template <class T> class Relaxed {
public:
    constexpr Relaxed() noexcept : v_(T{}) {}
    constexpr Relaxed(T x) noexcept : v_(x) {} // NOLINT(google-explicit-constructor)
    Relaxed(const Relaxed& o) noexcept : v_(o.load()) {}
    Relaxed& operator=(const Relaxed& o) noexcept {
        store(o.load());
        return *this;
    }
    Relaxed& operator=(T x) noexcept {
        store(x);
        return *this;
    }
    operator T() const noexcept { return load(); } // NOLINT(google-explicit-constructor)
    T load() const noexcept { return v_.load(std::memory_order_relaxed); }
    void store(T x) noexcept { v_.store(x, std::memory_order_relaxed); }
    Relaxed& operator+=(T x) noexcept {
        store(load() + x);
        return *this;
    }

private:
    std::atomic<T> v_;
};

} // namespace mw
