#include "bench_timing.h"

#include <time.h>

#include <algorithm>
#include <chrono>

namespace {

constexpr double SAMPLE_S = 0.2;

double seconds_of_calls(const std::function<void()>& work, std::int64_t calls) {
    return seconds_of([&] {
        for (std::int64_t i = 0; i < calls; ++i) {
            work();
        }
    });
}

}  // namespace

double seconds_of(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double thread_cpu_seconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    return samples.size() % 2 == 1 ? samples[middle]
                                   : (samples[middle - 1] + samples[middle]) / 2.0;
}

std::int64_t calls_per_sample(const std::function<void()>& work) {
    work();
    std::int64_t calls = 1;
    while (seconds_of_calls(work, calls) < SAMPLE_S / 4) {
        calls *= 2;
    }
    return calls * 4;
}

double median_per_call(const std::function<void()>& work, std::int64_t calls, int repeat) {
    std::vector<double> samples;
    for (int r = 0; r < repeat; ++r) {
        samples.push_back(seconds_of_calls(work, calls) / static_cast<double>(calls));
    }
    return median(samples);
}
