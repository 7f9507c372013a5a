#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "curve_tracer.h"
#include "dense_solve.h"
#include "small_curve.h"

// Curves with known turning and branch points, followed by pseudo-arclength
// continuation.
namespace {

struct Traced {
    std::vector<Vector> points;
    std::vector<CurvePointKind> kinds;
    std::vector<double> arc_lengths;
    std::vector<int> steps;
    CurveSummary summary;

    std::vector<Vector> of(CurvePointKind kind) const {
        std::vector<Vector> found;
        for (std::size_t index = 0; index < points.size(); ++index) {
            if (kinds[index] == kind) {
                found.push_back(points[index]);
            }
        }
        return found;
    }
};

Traced trace(CurveSystem& curve, const Vector& start, const CurveSettings& settings) {
    Traced traced;
    traced.summary = trace_curve(curve, start, settings, [&](const CurvePoint& point) {
        traced.points.push_back(point.y);
        traced.kinds.push_back(point.kind);
        traced.arc_lengths.push_back(point.arc_length);
        traced.steps.push_back(point.steps);
        return true;
    });
    return traced;
}

CurveSettings settings_for(double lower, double upper, double step) {
    CurveSettings settings;
    settings.lower = lower;
    settings.upper = upper;
    settings.first_step = step;
    settings.max_step = step;
    settings.min_step = step * 1e-6;
    return settings;
}

void expect_relative(double found, double expected, double within, const std::string& what) {
    EXPECT_LE(std::fabs(found - expected), within * std::max(std::fabs(expected), 1.0))
        << what << ": " << found << " against " << expected;
}

// x^2 + y^2 = 1, followed in x: turning points at x = 1 and x = -1.
SmallCurve circle() {
    return SmallCurve(
        1, {{0, 0}, {0, 1}}, [](const Vector& y) { return Vector{y[0] * y[0] + y[1] * y[1] - 1}; },
        [](const Vector& y) {
            return Vector{2 * y[0], 2 * y[1]};
        });
}

// The adiabatic CSTR's S-curve: first-order A -> B, conversion X and
// temperature T against the residence time tau (the parameter).
struct Cstr {
    static constexpr double feed = 350;         // K
    static constexpr double rise = 150;         // adiabatic temperature rise, K
    static constexpr double activation = 9000;  // E/R, K
    static constexpr double factor = 1e9;       // 1/s

    static double rate(double temperature) { return factor * std::exp(-activation / temperature); }
    // The residence time that gives conversion X, in closed form.
    static double residence_time(double conversion) {
        return conversion / ((1 - conversion) * rate(feed + rise * conversion));
    }
    // Where d tau / d X = 0: 1/(X (1 - X)) = E/R * rise / T^2, a quadratic in X.
    static std::vector<double> turning_conversions() {
        const double a = rise * rise + activation * rise;
        const double b = 2 * feed * rise - activation * rise;
        const double c = feed * feed;
        const double root = std::sqrt(b * b - 4 * a * c);
        return {(-b - root) / (2 * a), (-b + root) / (2 * a)};
    }

    static SmallCurve curve() {
        return SmallCurve(
            2, {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}},
            [](const Vector& y) {
                const double x = y[0], t = y[1], tau = y[2];
                return Vector{x - tau * rate(t) * (1 - x), t - feed - rise * x};
            },
            [](const Vector& y) {
                const double x = y[0], t = y[1], tau = y[2];
                const double k = rate(t);
                return Vector{1 + tau * k, -tau * k * activation / (t * t) * (1 - x), -k * (1 - x),
                              -rise, 1.0};
            });
    }
};

TEST(curve_tracer, cstr_s_curve_turns_at_ignition_and_extinction) {
    SmallCurve curve = Cstr::curve();
    const Traced traced = trace(curve, {0.0, Cstr::feed, 0.2}, settings_for(0.2, 10, 0.245));
    EXPECT_EQ(traced.summary.end, CurveEnd::left_range);
    const std::vector<Vector> turns = traced.of(CurvePointKind::turning_point);
    ASSERT_EQ(turns.size(), 2u);
    // Ignition on the way up, then extinction on the way back.
    const std::vector<double> conversions = Cstr::turning_conversions();
    for (std::size_t index = 0; index < 2; ++index) {
        const double x = conversions[index];
        expect_relative(turns[index][2], Cstr::residence_time(x), 1e-6, "tau");
        expect_relative(turns[index][0], x, 1e-6, "X");
        expect_relative(turns[index][1], Cstr::feed + Cstr::rise * x, 1e-6, "T");
    }
    EXPECT_TRUE(traced.of(CurvePointKind::branch_point).empty());
    // The last point lies on the range's edge, ignited.
    EXPECT_EQ(traced.points.back()[2], 10.0);
    EXPECT_EQ(traced.kinds.back(), CurvePointKind::end);
    EXPECT_GT(traced.points.back()[0], 0.9);
    // Every point on the curve, and the arc length growing.
    for (std::size_t index = 0; index < traced.points.size(); ++index) {
        const Vector& y = traced.points[index];
        expect_relative(y[2], Cstr::residence_time(y[0]), 1e-7, "on the curve");
        if (index > 0) {
            EXPECT_GT(traced.arc_lengths[index], traced.arc_lengths[index - 1]);
        }
    }
    // On the smooth stretches, few Newton steps a point and no step taken twice.
    for (std::size_t index = 0; index < traced.points.size(); ++index) {
        if (traced.kinds[index] == CurvePointKind::regular) {
            EXPECT_LE(traced.steps[index], 4) << "point " << index;
        }
    }
}

TEST(curve_tracer, circle_turns_twice_and_closes) {
    SmallCurve curve = circle();
    const Traced traced = trace(curve, {1.0, 0.0}, settings_for(-2, 2, 0.2));
    EXPECT_EQ(traced.summary.end, CurveEnd::closed);
    const std::vector<Vector> turns = traced.of(CurvePointKind::turning_point);
    ASSERT_EQ(turns.size(), 2u);
    EXPECT_NEAR(turns[0][1], 1.0, 1e-9);
    EXPECT_NEAR(turns[0][0], 0.0, 1e-6);
    EXPECT_NEAR(turns[1][1], -1.0, 1e-9);
    EXPECT_NEAR(turns[1][0], 0.0, 1e-6);
    EXPECT_EQ(traced.points.back(), traced.points.front());
    EXPECT_EQ(traced.summary.turning_points, 2);
}

// p = max(|x| - 1, 0)^2: on x in [-1, 1] the curve runs straight along
// p = 0, where dF/dx is exactly 0 (as where a model's max() or min()
// switches); the bordered solves eliminate through the column the curve
// moves in, x, and pass it, the turn reported on that stretch.
TEST(curve_tracer, a_stretch_where_dF_dx_vanishes_is_passed) {
    const auto outside = [](double x) { return std::max(std::fabs(x) - 1, 0.0); };
    SmallCurve curve(
        1, {{0, 0}, {0, 1}},
        [&](const Vector& y) { return Vector{y[1] - outside(y[0]) * outside(y[0])}; },
        [&](const Vector& y) {
            return Vector{-2 * outside(y[0]) * (y[0] < 0 ? -1 : 1), 1.0};
        });
    CurveSettings settings = settings_for(-0.5, 2, 0.2);
    settings.direction = -1;
    const Traced traced = trace(curve, {-2.0, 1.0}, settings);
    EXPECT_EQ(traced.summary.end, CurveEnd::left_range);
    EXPECT_EQ(traced.points.back()[1], 2.0);
    EXPECT_NEAR(traced.points.back()[0], 1 + std::sqrt(2.0), 1e-8);
    const std::vector<Vector> turns = traced.of(CurvePointKind::turning_point);
    ASSERT_EQ(turns.size(), 1u);
    EXPECT_EQ(turns[0][1], 0.0);
    EXPECT_LE(std::fabs(turns[0][0]), 1.0);
    EXPECT_TRUE(traced.of(CurvePointKind::branch_point).empty());
}

// x^3 - p x = 0 and z = p: the branch x = 0 crossed at p = 0 by x = ±sqrt(p).
TEST(curve_tracer, pitchfork_branch_point_is_flagged_and_passed) {
    SmallCurve curve(
        2, {{0, 0}, {0, 2}, {1, 1}, {1, 2}},
        [](const Vector& y) {
            return Vector{y[0] * y[0] * y[0] - y[2] * y[0], y[1] - y[2]};
        },
        [](const Vector& y) {
            return Vector{3 * y[0] * y[0] - y[2], -y[0], 1.0, -1.0};
        });
    const Traced traced = trace(curve, {0.0, -1.0, -1.0}, settings_for(-1, 1.3, 0.1));
    EXPECT_EQ(traced.summary.end, CurveEnd::left_range);
    const std::vector<Vector> branches = traced.of(CurvePointKind::branch_point);
    ASSERT_EQ(branches.size(), 1u);
    EXPECT_NEAR(branches[0][2], 0.0, 1e-9);
    EXPECT_EQ(branches[0][0], 0.0);
    EXPECT_TRUE(traced.of(CurvePointKind::turning_point).empty());
    EXPECT_EQ(traced.points.back()[2], 1.3);
    EXPECT_EQ(traced.points.back()[0], 0.0);
}

// The fold of the discrete Bratu problem from the extended system
// F(u, p) = 0, J(u, p) phi = 0, sum(phi) = 1, solved by Newton's method with
// its exact Jacobian, from a rough guess.
Vector bratu_fold(int nodes) {
    const auto n = static_cast<std::size_t>(nodes);
    const double h = 1.0 / (nodes + 1);
    Vector z(2 * n + 1);
    for (std::size_t i = 0; i < n; ++i) {
        const double x = static_cast<double>(i + 1) * h;
        z[i] = 4.7 * x * (1 - x);
        z[n + i] = std::sin(M_PI * x);
    }
    z[2 * n] = 3.5;
    for (int iteration = 0; iteration < 30; ++iteration) {
        const double p = z[2 * n];
        dense_solve::Matrix a(2 * n + 1, Vector(2 * n + 1, 0.0));
        Vector minus_f(2 * n + 1, 0.0);
        for (std::size_t i = 0; i < n; ++i) {
            const double u = z[i], e = std::exp(u);
            const double left = i > 0 ? z[i - 1] : 0.0, right = i + 1 < n ? z[i + 1] : 0.0;
            const double phi = z[n + i];
            const double phi_left = i > 0 ? z[n + i - 1] : 0.0;
            const double phi_right = i + 1 < n ? z[n + i + 1] : 0.0;
            minus_f[i] = -((left - 2 * u + right) / (h * h) + p * e);
            minus_f[n + i] = -((phi_left - 2 * phi + phi_right) / (h * h) + p * e * phi);
            for (const std::size_t block : {std::size_t{0}, n}) {
                if (i > 0) {
                    a[block + i][block + i - 1] = 1 / (h * h);
                }
                if (i + 1 < n) {
                    a[block + i][block + i + 1] = 1 / (h * h);
                }
                a[block + i][block + i] = -2 / (h * h) + p * e;
            }
            a[i][2 * n] = e;
            a[n + i][i] = p * e * phi;
            a[n + i][2 * n] = e * phi;
            a[2 * n][n + i] = 1.0;
            minus_f[2 * n] -= phi;
        }
        minus_f[2 * n] += 1.0;
        const Vector step = dense_solve::solve(a, minus_f);
        double largest = 0;
        for (std::size_t k = 0; k < z.size(); ++k) {
            z[k] += step[k];
            largest = std::max(largest, std::fabs(step[k]));
        }
        if (largest < 1e-13) {
            break;
        }
    }
    Vector fold(z.begin(), z.begin() + static_cast<std::ptrdiff_t>(n));
    fold.push_back(z[2 * n]);
    return fold;
}

TEST(curve_tracer, bratu_turning_point_matches_the_extended_system) {
    const int nodes = 40;
    SmallCurve curve = bratu_curve(nodes);
    const Vector fold = bratu_fold(nodes);
    // The fold of the continuous problem is at p = 3.5138; the grid's is close.
    ASSERT_NEAR(fold.back(), 3.5138, 0.01);
    CurveSettings settings = settings_for(0, 4, 0.1);
    // Back down the upper branch toward p = 0, where u grows without bound,
    // the trace goes on until it has made its points.
    settings.max_points = 100;
    const Traced traced = trace(curve, Vector(static_cast<std::size_t>(nodes) + 1, 0.0), settings);
    EXPECT_EQ(traced.summary.end, CurveEnd::max_points);
    const std::vector<Vector> turns = traced.of(CurvePointKind::turning_point);
    ASSERT_EQ(turns.size(), 1u);
    expect_relative(turns[0].back(), fold.back(), 1e-6, "p");
    for (std::size_t i = 0; i < fold.size(); ++i) {
        expect_relative(turns[0][i], fold[i], 1e-6, "u[" + std::to_string(i) + "]");
    }
}

// y = x followed in x, with y bounded above by 0.5: the curve ends on it.
TEST(curve_tracer, ends_where_an_unknown_reaches_its_bound) {
    SmallCurve line(
        1, {{0, 0}, {0, 1}}, [](const Vector& y) { return Vector{y[0] - y[1]}; },
        [](const Vector&) {
            return Vector{1.0, -1.0};
        });
    CurveSettings settings = settings_for(0, 2, 0.3);
    settings.lower_bounds = {-std::numeric_limits<double>::infinity()};
    settings.upper_bounds = {0.5};
    const Traced traced = trace(line, {0.0, 0.0}, settings);
    EXPECT_EQ(traced.summary.end, CurveEnd::bound);
    EXPECT_EQ(traced.summary.bound_column, 0);
    EXPECT_TRUE(traced.summary.upper_bound);
    EXPECT_EQ(traced.points.back()[0], 0.5);
    EXPECT_NEAR(traced.points.back()[1], 0.5, 1e-12);
}

TEST(curve_tracer, ends_named_for_what_stopped_them) {
    struct Case {
        const char* name;
        int max_points;
        Vector start;
        CurveEnd end;
    } cases[] = {
        {"max_points", 3, {1.0, 0.0}, CurveEnd::max_points},
        // No solution at x = 0 near y = 0: x^2 + y^2 = 1 has y = ±1 there,
        // but Newton from y = 0 meets a zero derivative.
        {"start_failed", 100, {0.0, 0.0}, CurveEnd::start_failed},
    };
    for (const Case& c : cases) {
        SmallCurve curve = circle();
        CurveSettings settings = settings_for(-2, 2, 0.2);
        settings.max_points = c.max_points;
        const Traced traced = trace(curve, c.start, settings);
        EXPECT_EQ(traced.summary.end, c.end) << c.name;
    }
}

}  // namespace
