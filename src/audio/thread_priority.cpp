#include "audio/thread_priority.hpp"

#include <pthread.h>
#include <sched.h>

namespace mw {

void RaiseDeviceThreadPriority() {
    sched_param p{};
    p.sched_priority = sched_get_priority_max(SCHED_FIFO);
    (void)pthread_setschedparam(pthread_self(), SCHED_FIFO, &p);
}

} // namespace mw
