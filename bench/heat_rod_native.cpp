// heat_rod_native N TOL: the heat rod of examples/heat_rod written directly
// in C++ and solved by Newton's method with KLU, as the native baseline of a
// whole solve. Same equations, same start (600 K everywhere), same stop
// (largest |residual| <= TOL); prints the iterations, the largest residual
// and the CPU seconds of the solve and of its last iteration.
#include <klu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr double LENGTH = 0.3;
constexpr double DIAMETER = 0.01;
constexpr double CONDUCTIVITY = 200.0;
constexpr double EMISSIVITY = 0.8;
constexpr double STEFAN_BOLTZMANN = 5.670374419e-8;
constexpr double T_BASE = 600.0;
constexpr double T_AMBIENT = 300.0;

double seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The tridiagonal Jacobian in compressed columns: column j holds rows j - 1,
// j and j + 1 where they exist.
struct Pattern {
    std::vector<int> starts{0};
    std::vector<int> rows;
};

Pattern tridiagonal(int n) {
    Pattern pattern;
    for (int j = 0; j < n; ++j) {
        for (int i = std::max(0, j - 1); i <= std::min(n - 1, j + 1); ++i) {
            pattern.rows.push_back(i);
        }
        pattern.starts.push_back(static_cast<int>(pattern.rows.size()));
    }
    return pattern;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: heat_rod_native N TOL\n");
        return 2;
    }
    const int n = std::atoi(argv[1]);
    const double tol = std::atof(argv[2]);
    if (n < 2 || !(tol > 0.0)) {
        std::fprintf(stderr, "heat_rod_native: N must be at least 2 and TOL positive\n");
        return 2;
    }
    const double start = seconds();
    const double step = LENGTH / n;
    const double beta = step * step * EMISSIVITY * STEFAN_BOLTZMANN * 4 / (DIAMETER * CONDUCTIVITY);
    const double ambient4 = std::pow(T_AMBIENT, 4);
    const auto count = static_cast<std::size_t>(n);
    std::vector<double> t(count, T_BASE);
    std::vector<double> f(count);
    const Pattern pattern = tridiagonal(n);
    std::vector<double> values(pattern.rows.size());

    const auto residuals = [&] {
        double largest = 0.0;
        for (std::size_t i = 0; i < count; ++i) {
            const double left = i == 0 ? T_BASE : t[i - 1];
            const double right = i + 1 == count ? t[i - 1] : t[i + 1];
            f[i] = left - 2 * t[i] + right - beta * (std::pow(t[i], 4) - ambient4);
            largest = std::max(largest, std::fabs(f[i]));
        }
        return largest;
    };
    // Column j: d f[j-1]/d t[j], d f[j]/d t[j], d f[j+1]/d t[j].
    const auto jacobian = [&] {
        std::size_t slot = 0;
        for (std::size_t j = 0; j < count; ++j) {
            if (j > 0) {
                values[slot++] = 1.0;
            }
            values[slot++] = -2.0 - 4.0 * beta * std::pow(t[j], 3);
            if (j + 1 < count) {
                values[slot++] = j + 2 == count ? 2.0 : 1.0;
            }
        }
    };

    klu_common common;
    klu_defaults(&common);
    klu_symbolic* symbolic = klu_analyze(n, const_cast<int*>(pattern.starts.data()),
                                         const_cast<int*>(pattern.rows.data()), &common);
    klu_numeric* numeric = nullptr;
    int iterations = 0;
    double last_iteration = 0.0;
    double largest = residuals();
    while (largest > tol && iterations < 100) {
        const double iteration_start = seconds();
        jacobian();
        if (numeric) {
            klu_refactor(const_cast<int*>(pattern.starts.data()),
                         const_cast<int*>(pattern.rows.data()), values.data(), symbolic, numeric,
                         &common);
        } else {
            numeric =
                klu_factor(const_cast<int*>(pattern.starts.data()),
                           const_cast<int*>(pattern.rows.data()), values.data(), symbolic, &common);
        }
        if (!numeric || common.status != KLU_OK) {
            std::fprintf(stderr, "heat_rod_native: singular Jacobian\n");
            return 1;
        }
        klu_solve(symbolic, numeric, n, 1, f.data(), &common);
        for (std::size_t i = 0; i < count; ++i) {
            t[i] -= f[i];
        }
        largest = residuals();
        ++iterations;
        last_iteration = seconds() - iteration_start;
    }
    klu_free_numeric(&numeric, &common);
    klu_free_symbolic(&symbolic, &common);
    std::printf(
        "{\"n\": %d, \"iterations\": %d, \"largest_residual\": %.3e, \"solve_s\": %.6f, "
        "\"iteration_s\": %.6f, \"t_tip\": %.10g}\n",
        n, iterations, largest, seconds() - start, last_iteration, t[count - 1]);
    return largest <= tol ? 0 : 1;
}
