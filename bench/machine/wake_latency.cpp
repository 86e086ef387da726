// How late a real-time thread wakes for periodic deadlines on this machine: the floor under every live
// figure (a device thread, a sound server's driver and the engine all sleep to deadlines like this).
// Usage: murmelwerk-wake-latency [SECONDS (60)] [PERIOD_US (5333, a JACK period of 256 frames)]
#include <pthread.h>
#include <sched.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const long seconds = argc > 1 ? std::atol(argv[1]) : 60;
    const long periodNs = (argc > 2 ? std::atol(argv[2]) : 5333) * 1000L;
    if (seconds <= 0 || periodNs <= 0) {
        std::fprintf(stderr, "usage: %s [SECONDS] [PERIOD_US]\n", argv[0]);
        return 2;
    }
    sched_param p{};
    p.sched_priority = 70;
    const bool realTime = pthread_setschedparam(pthread_self(), SCHED_FIFO, &p) == 0;
    const double limitsMs[] = {1, 2, 5, 10};
    long over[4] = {};
    double worstMs = 0;
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    const long wakeUps = seconds * 1'000'000'000L / periodNs;
    for (long n = 0; n < wakeUps; ++n) {
        next.tv_nsec += periodNs;
        while (next.tv_nsec >= 1'000'000'000L) {
            next.tv_nsec -= 1'000'000'000L;
            ++next.tv_sec;
        }
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) != 0) {
        }
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const double lateMs =
            double(now.tv_sec - next.tv_sec) * 1e3 + double(now.tv_nsec - next.tv_nsec) / 1e6;
        if (lateMs > worstMs) worstMs = lateMs;
        for (int k = 0; k < 4; ++k) over[k] += lateMs > limitsMs[k];
    }
    std::printf("%ld wake-ups every %.3f ms (%s): worst %.2f ms late; later than 1 ms: %ld, 2 ms: %ld, "
                "5 ms: %ld, 10 ms: %ld\n",
                wakeUps, periodNs / 1e6, realTime ? "SCHED_FIFO 70" : "normal scheduling", worstMs, over[0],
                over[1], over[2], over[3]);
}
