#include "sweep_plot.h"

#include <algorithm>
#include <cmath>

#include "svg_document.h"
#include "text_table.h"

namespace {

constexpr double PANEL_WIDTH = 520;
constexpr double PANEL_HEIGHT = 150;
constexpr double PANEL_GAP = 60;  // room for the axis labels below each panel
constexpr double MARGIN_LEFT = 100;
constexpr double MARGIN_TOP = 50;
constexpr double MARGIN_BOTTOM = 50;
constexpr int MOST_TICKS = 6;
const char* const COLORS[] = {"#1f5fbf", "#d0602a", "#2a9d4b", "#8e44ad", "#c0392b", "#16a085"};
constexpr double MARK_SIZE = 6;

// How each kind of mark is drawn and named in the legend.
struct MarkStyle {
    SweepMarkKind kind;
    const char* name;
    const char* color;
};

constexpr MarkStyle MARK_STYLES[] = {
    {SweepMarkKind::turning_point, "turning point", "#e67e22"},
    {SweepMarkKind::branch_point, "branch point", "#8e44ad"},
    {SweepMarkKind::failed, "not converged", "#c0392b"},
};

constexpr bool mark_styles_in_order() {
    for (std::size_t index = 0; index < std::size(MARK_STYLES); ++index) {
        if (static_cast<std::size_t>(MARK_STYLES[index].kind) != index) {
            return false;
        }
    }
    return true;
}
static_assert(mark_styles_in_order(), "MARK_STYLES is indexed by SweepMarkKind");

// A diamond for a turning point, a square for a branch point, a cross for a
// failed value, centred on (x, y).
void draw_mark(SvgDocument& svg, SweepMarkKind kind, double x, double y) {
    const double r = MARK_SIZE;
    const char* color = MARK_STYLES[static_cast<std::size_t>(kind)].color;
    switch (kind) {
        case SweepMarkKind::turning_point:
            svg.polygon({{x, y - r}, {x + r, y}, {x, y + r}, {x - r, y}}, color, "#333");
            break;
        case SweepMarkKind::branch_point:
            svg.rect(x - r * 0.8, y - r * 0.8, r * 1.6, r * 1.6, color, "#333");
            break;
        case SweepMarkKind::failed:
            svg.line(x - r, y - r, x + r, y + r, color, 2.0);
            svg.line(x - r, y + r, x + r, y - r, color, 2.0);
            break;
    }
}

// An axis's range widened to whole ticks of 1, 2 or 5 times a power of ten.
struct Scale {
    double low;
    double high;
    double tick;

    Scale(double smallest, double largest) {
        if (!(largest > smallest)) {
            const double pad = smallest == 0 ? 1 : std::fabs(smallest) * 0.05;
            smallest -= pad;
            largest += pad;
        }
        const double rough = (largest - smallest) / MOST_TICKS;
        const double decade = std::pow(10.0, std::floor(std::log10(rough)));
        tick = decade;
        for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
            tick = factor * decade;
            if (tick >= rough) {
                break;
            }
        }
        low = std::floor(smallest / tick) * tick;
        high = std::ceil(largest / tick) * tick;
    }

    double share(double value) const { return (value - low) / (high - low); }
    int tick_count() const { return static_cast<int>(std::lround((high - low) / tick)); }
};

Scale scale_of(const std::vector<SweepSeries>& series, bool horizontal) {
    double smallest = INFINITY;
    double largest = -INFINITY;
    for (const SweepSeries& one : series) {
        for (const auto& point : one.points) {
            const double value = horizontal ? point.first : point.second;
            smallest = std::min(smallest, value);
            largest = std::max(largest, value);
        }
        // Failed values lie on the lower edge, so only their place across counts.
        for (const SweepMark& mark : one.marks) {
            if (horizontal && mark.kind == SweepMarkKind::failed) {
                smallest = std::min(smallest, mark.x);
                largest = std::max(largest, mark.x);
            }
        }
    }
    if (!std::isfinite(smallest)) {
        smallest = 0;
        largest = 1;
    }
    return Scale(smallest, largest);
}

void draw_panel(SvgDocument& svg, double top, const Scale& across, const SweepSeries& series,
                const std::string& color, const std::string& varied) {
    const Scale up = scale_of({series}, false);
    svg.rect(MARGIN_LEFT, top, PANEL_WIDTH, PANEL_HEIGHT, "none", "#444");
    for (int index = 0; index <= up.tick_count(); ++index) {
        const double value = up.low + index * up.tick;
        const double y = top + PANEL_HEIGHT * (1 - up.share(value));
        svg.line(MARGIN_LEFT, y, MARGIN_LEFT + PANEL_WIDTH, y, "#ddd");
        svg.text(MARGIN_LEFT - 6, y + 4, readable_number(value), 11, "end");
    }
    for (int index = 0; index <= across.tick_count(); ++index) {
        const double value = across.low + index * across.tick;
        const double x = MARGIN_LEFT + PANEL_WIDTH * across.share(value);
        svg.line(x, top + PANEL_HEIGHT, x, top + PANEL_HEIGHT + 5, "#444");
        svg.text(x, top + PANEL_HEIGHT + 18, readable_number(value), 11, "middle");
    }
    svg.text(MARGIN_LEFT + PANEL_WIDTH / 2, top + PANEL_HEIGHT + 38, varied, 12, "middle");
    svg.text(MARGIN_LEFT + 8, top + 16, series.symbol, 13);
    const auto place = [&](double x, double y) {
        return std::make_pair(MARGIN_LEFT + PANEL_WIDTH * across.share(x),
                              top + PANEL_HEIGHT * (1 - up.share(y)));
    };
    std::vector<std::pair<double, double>> line;
    for (std::size_t index = 0; index < series.points.size(); ++index) {
        if (std::find(series.breaks.begin(), series.breaks.end(), index) != series.breaks.end()) {
            svg.polyline(line, color);
            line.clear();
        }
        const auto& [x, y] = series.points[index];
        line.push_back(place(x, y));
        svg.circle(line.back().first, line.back().second, 3, color);
    }
    svg.polyline(line, color);
    for (const SweepMark& mark : series.marks) {
        const auto [x, y] = place(mark.x, mark.kind == SweepMarkKind::failed ? up.low : mark.y);
        draw_mark(svg, mark.kind, x, y);
    }
}

// The legend of the marks the panels show, above the first panel.
void draw_legend(SvgDocument& svg, const std::vector<SweepSeries>& series) {
    double x = MARGIN_LEFT + PANEL_WIDTH;
    for (const MarkStyle& style : MARK_STYLES) {
        const bool shown = std::any_of(series.begin(), series.end(), [&](const SweepSeries& one) {
            return std::any_of(one.marks.begin(), one.marks.end(),
                               [&](const SweepMark& mark) { return mark.kind == style.kind; });
        });
        if (shown) {
            svg.text(x, 42, style.name, 11, "end");
            x -= 7.0 * static_cast<double>(std::string(style.name).size()) + 14;
            draw_mark(svg, style.kind, x + 7, 38);
            x -= 14;
        }
    }
}

}  // namespace

void write_sweep_plot(const std::string& path, const std::string& varied,
                      const std::vector<SweepSeries>& outputs, const std::string& title) {
    const std::size_t panels = std::min(outputs.size(), MAX_SWEEP_PANELS);
    const std::vector<SweepSeries> drawn(outputs.begin(),
                                         outputs.begin() + static_cast<std::ptrdiff_t>(panels));
    SvgDocument svg(
        MARGIN_LEFT + PANEL_WIDTH + 30,
        MARGIN_TOP +
            static_cast<double>(std::max<std::size_t>(panels, 1)) * (PANEL_HEIGHT + PANEL_GAP) +
            MARGIN_BOTTOM);
    std::string heading = title;
    if (outputs.size() > panels) {
        heading += " (the first " + std::to_string(panels) + " of " +
                   counted(static_cast<long long>(outputs.size()), "output") + ")";
    }
    svg.text(MARGIN_LEFT, 24, heading, 15);
    draw_legend(svg, drawn);
    const Scale across = scale_of(drawn, true);
    for (std::size_t index = 0; index < panels; ++index) {
        draw_panel(svg, MARGIN_TOP + static_cast<double>(index) * (PANEL_HEIGHT + PANEL_GAP),
                   across, drawn[index], COLORS[index % std::size(COLORS)], varied);
    }
    svg.save(path);
}
