#include "svg_plot.h"

#include <algorithm>
#include <cmath>

#include "svg_document.h"

namespace {

constexpr double PANEL_WIDTH = 420;
constexpr double PANEL_HEIGHT = 300;
constexpr double MARGIN_LEFT = 70;
constexpr double MARGIN_TOP = 60;
constexpr double PANEL_GAP = 100;
constexpr double MARGIN_BOTTOM = 60;

struct Series {
    std::string title;
    std::string color;
    std::vector<std::pair<int, double>> points;  // iteration, positive value
};

struct Panel {
    double left;
    double top;
    int last_iteration;
    int low_decade;
    int high_decade;

    double x(double iteration) const {
        return left + PANEL_WIDTH * iteration / std::max(1, last_iteration);
    }
    double y(double value) const {
        const double share = (std::log10(value) - low_decade) / (high_decade - low_decade);
        return top + PANEL_HEIGHT * (1 - share);
    }
};

// A step of 1, 2 or 5 times a power of ten that puts at most ten ticks on `span`.
int tick_stride(int span) {
    for (int scale = 1;; scale *= 10) {
        for (const int factor : {1, 2, 5}) {
            if (span / (factor * scale) <= 10) {
                return factor * scale;
            }
        }
    }
}

void decade_range(const Series& series, Panel& panel) {
    double smallest = 1.0;
    double largest = 1.0;
    if (!series.points.empty()) {
        smallest = largest = series.points.front().second;
    }
    for (const auto& point : series.points) {
        smallest = std::min(smallest, point.second);
        largest = std::max(largest, point.second);
    }
    panel.low_decade = static_cast<int>(std::floor(std::log10(smallest)));
    panel.high_decade =
        std::max(static_cast<int>(std::ceil(std::log10(largest))), panel.low_decade + 1);
}

void draw_axes(SvgDocument& svg, const Panel& panel, const Series& series) {
    svg.rect(panel.left, panel.top, PANEL_WIDTH, PANEL_HEIGHT, "none", "#444");
    const int decade_stride = tick_stride(panel.high_decade - panel.low_decade);
    for (int decade = panel.low_decade; decade <= panel.high_decade; decade += decade_stride) {
        const double y = panel.y(std::pow(10.0, decade));
        svg.line(panel.left, y, panel.left + PANEL_WIDTH, y, "#ddd");
        svg.text(panel.left - 6, y + 4, "1e" + std::to_string(decade), 11, "end");
    }
    const int iteration_stride = tick_stride(panel.last_iteration);
    for (int iteration = 0; iteration <= panel.last_iteration; iteration += iteration_stride) {
        const double x = panel.x(iteration);
        svg.line(x, panel.top + PANEL_HEIGHT, x, panel.top + PANEL_HEIGHT + 5, "#444");
        svg.text(x, panel.top + PANEL_HEIGHT + 18, std::to_string(iteration), 11, "middle");
    }
    svg.text(panel.left + PANEL_WIDTH / 2, panel.top + PANEL_HEIGHT + 38, "iteration", 12,
             "middle");
    svg.text(panel.left + PANEL_WIDTH / 2, panel.top - 10, series.title, 14, "middle");
}

void draw_series(SvgDocument& svg, const Panel& panel, const Series& series) {
    std::vector<std::pair<double, double>> line;
    for (const auto& [iteration, value] : series.points) {
        line.emplace_back(panel.x(iteration), panel.y(value));
        svg.circle(line.back().first, line.back().second, 3.5, series.color);
    }
    svg.polyline(line, series.color);
}

void draw_panel(SvgDocument& svg, double left, int last_iteration, const Series& series) {
    Panel panel{left, MARGIN_TOP, last_iteration, 0, 1};
    decade_range(series, panel);
    draw_axes(svg, panel, series);
    draw_series(svg, panel, series);
}

// The positive values of one measure; zeros and non-finite values have no
// place on a logarithmic scale.
Series series_of(const std::vector<IterationRecord>& history, double IterationRecord::*measure,
                 std::string title, std::string color) {
    Series series{std::move(title), std::move(color), {}};
    for (const IterationRecord& record : history) {
        const double value = record.*measure;
        if (std::isfinite(value) && value > 0) {
            series.points.emplace_back(record.iteration, value);
        }
    }
    return series;
}

}  // namespace

void write_convergence_plot(const std::string& path, const std::vector<IterationRecord>& history,
                            const std::string& title) {
    const int last_iteration = history.empty() ? 1 : std::max(1, history.back().iteration);
    SvgDocument svg(MARGIN_LEFT + 2 * PANEL_WIDTH + PANEL_GAP + 30,
                    MARGIN_TOP + PANEL_HEIGHT + MARGIN_BOTTOM);
    svg.text(MARGIN_LEFT, 24, title, 15);
    draw_panel(
        svg, MARGIN_LEFT, last_iteration,
        series_of(history, &IterationRecord::residual_norm, "largest |residual|", "#1f5fbf"));
    draw_panel(
        svg, MARGIN_LEFT + PANEL_WIDTH + PANEL_GAP, last_iteration,
        series_of(history, &IterationRecord::step_norm, "step length (largest change)", "#d0602a"));
    svg.save(path);
}
