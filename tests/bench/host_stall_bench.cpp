// host_stall_bench.cpp -- how often the machine itself stops a program that wants to run: one
// thread per core reads the clock in a loop, and every gap between two readings is time the
// thread was not running. On a quiet machine the gaps stay well under a millisecond; a virtual
// machine whose host takes its cores away now and then shows gaps of tens of milliseconds,
// and those set the worst frames of a timedemo whatever the game draws. Run it on an otherwise
// idle machine before reading a timedemo's p99:
//   build/tests/host_stall_bench [SECONDS]    (30 by default)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Gaps {
    int overFiveMs = 0;
    int overOneFrame = 0;  // longer than a frame at 60 Hz
    double worstMs = 0;
};

Gaps Spin(double seconds) {
    Gaps gaps;
    const Clock::time_point start = Clock::now();
    Clock::time_point last = start;
    while (true) {
        const Clock::time_point now = Clock::now();
        const double ms = std::chrono::duration<double, std::milli>(now - last).count();
        if (ms > 5.0) ++gaps.overFiveMs;
        if (ms > 1000.0 / 60.0) ++gaps.overOneFrame;
        gaps.worstMs = std::max(gaps.worstMs, ms);
        last = now;
        if (now - start >= std::chrono::duration<double>(seconds)) return gaps;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
    if (!(seconds > 0)) {
        std::fprintf(stderr, "usage: host_stall_bench [SECONDS]\n");
        return 2;
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<Gaps> results(cores);
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < cores; ++i) {
        threads.emplace_back([&results, i, seconds] { results[i] = Spin(seconds); });
    }
    for (std::thread& t : threads) t.join();
    for (unsigned i = 0; i < cores; ++i) {
        std::printf("thread %u: %d gaps over 5 ms, %d over 16.7 ms, worst %.1f ms in %.0f s\n", i,
                    results[i].overFiveMs, results[i].overOneFrame, results[i].worstMs, seconds);
    }
    return 0;
}
