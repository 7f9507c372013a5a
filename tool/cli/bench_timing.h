#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// Timing for the benchmarks: wall-clock seconds on a steady clock, medians
// of repeated samples, each sample long enough to time short work over many
// calls.

double seconds_of(const std::function<void()>& work);

// The CPU seconds the calling thread has used so far.
double thread_cpu_seconds();

double median(std::vector<double> samples);

// How many calls of `work` make a sample of about 0.2 s: one untimed call to
// warm up, then doubling.
std::int64_t calls_per_sample(const std::function<void()>& work);

// The median over `repeat` samples of `calls` calls of the time per call.
double median_per_call(const std::function<void()>& work, std::int64_t calls, int repeat);
