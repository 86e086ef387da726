#include "audio/thread_priority.hpp"

#include <linux/futex.h>
#include <pthread.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace mw {
namespace {

static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t) &&
              std::atomic<uint32_t>::is_always_lock_free);

const uint32_t* Address(const std::atomic<uint32_t>& word) {
    return reinterpret_cast<const uint32_t*>(&word);
}

} // namespace

void RaiseDeviceThreadPriority() {
    sched_param p{};
    p.sched_priority = sched_get_priority_max(SCHED_FIFO);
    (void)pthread_setschedparam(pthread_self(), SCHED_FIFO, &p);
}

void WaitWhileEqual(const std::atomic<uint32_t>& word, uint32_t seen) {
    // The kernel compares the word with seen atomically before sleeping, so a wake-up that came in
    // between is never missed (the call returns at once).
    (void)syscall(SYS_futex, Address(word), FUTEX_WAIT_PRIVATE, seen, nullptr, nullptr, 0);
}

void WakeOne(const std::atomic<uint32_t>& word) {
    (void)syscall(SYS_futex, Address(word), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

} // namespace mw
