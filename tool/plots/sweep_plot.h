#pragma once

#include <string>
#include <utility>
#include <vector>

// What a mark on a sweep's panel shows: where a followed curve turns back,
// where another branch crosses it, or a value where the solve failed (drawn
// on the panel's lower edge, at that value).
enum class SweepMarkKind { turning_point, branch_point, failed };

struct SweepMark {
    SweepMarkKind kind;
    double x;
    double y;  // unused for a failed value
};

// One output of a sweep: its values against the varied variable's, at the
// values where the solve converged, drawn as a line in their order; the
// line is broken before each point whose index is in `breaks` (a jump to
// another branch).
struct SweepSeries {
    std::string symbol;
    std::vector<std::pair<double, double>> points;
    std::vector<SweepMark> marks;
    std::vector<std::size_t> breaks;
};

// At most this many outputs are drawn, one panel each.
constexpr std::size_t MAX_SWEEP_PANELS = 12;

// Writes the outputs against the varied variable as an SVG picture: one
// panel per output, stacked, each with its own linear scale, sharing the
// horizontal axis. Throws std::runtime_error when the file cannot be written.
void write_sweep_plot(const std::string& path, const std::string& varied,
                      const std::vector<SweepSeries>& outputs, const std::string& title);
