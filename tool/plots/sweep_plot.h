#pragma once

#include <string>
#include <utility>
#include <vector>

// One output of a sweep: its values against the varied variable's, at the
// values where the solve converged.
struct SweepSeries {
    std::string symbol;
    std::vector<std::pair<double, double>> points;
};

// At most this many outputs are drawn, one panel each.
constexpr std::size_t MAX_SWEEP_PANELS = 12;

// Writes the outputs against the varied variable as an SVG picture: one
// panel per output, stacked, each with its own linear scale, sharing the
// horizontal axis. Throws std::runtime_error when the file cannot be written.
void write_sweep_plot(const std::string& path, const std::string& varied,
                      const std::vector<SweepSeries>& outputs, const std::string& title);
