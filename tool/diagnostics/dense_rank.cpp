#include "dense_rank.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Below this share of its largest, a combination's coefficient is taken for 0.
constexpr double COEFFICIENT_SHARE = 1e-8;

// Scales rows and then columns to a largest magnitude of 1; answers what
// each row was divided by (1 for a zero row).
std::vector<double> equilibrate(DenseMatrix& matrix) {
    std::vector<double> row_divisors(matrix.rows, 1.0);
    for (std::size_t row = 0; row < matrix.rows; ++row) {
        double largest = 0.0;
        for (std::size_t column = 0; column < matrix.columns; ++column) {
            largest = std::max(largest, std::fabs(matrix.at(row, column)));
        }
        for (std::size_t column = 0; largest > 0 && column < matrix.columns; ++column) {
            matrix.at(row, column) /= largest;
        }
        if (largest > 0) {
            row_divisors[row] = largest;
        }
    }
    for (std::size_t column = 0; column < matrix.columns; ++column) {
        double largest = 0.0;
        for (std::size_t row = 0; row < matrix.rows; ++row) {
            largest = std::max(largest, std::fabs(matrix.at(row, column)));
        }
        for (std::size_t row = 0; largest > 0 && row < matrix.rows; ++row) {
            matrix.at(row, column) /= largest;
        }
    }
    return row_divisors;
}

DenseMatrix transposed(const DenseMatrix& matrix) {
    DenseMatrix t(matrix.columns, matrix.rows);
    for (std::size_t row = 0; row < matrix.rows; ++row) {
        for (std::size_t column = 0; column < matrix.columns; ++column) {
            t.at(column, row) = matrix.at(row, column);
        }
    }
    return t;
}

// Householder QR with column pivoting of `t` (the transpose: its columns are
// the rows of interest), in place: R above the diagonal, the order of the
// columns in `order`. Answers the rank.
std::size_t pivoted_qr(DenseMatrix& t, std::vector<std::size_t>& order, double tolerance) {
    order.resize(t.columns);
    std::iota(order.begin(), order.end(), 0);
    const std::size_t steps = std::min(t.rows, t.columns);
    double first_norm = 0.0;
    for (std::size_t k = 0; k < steps; ++k) {
        std::size_t best = k;
        double best_norm = -1.0;
        for (std::size_t column = k; column < t.columns; ++column) {
            double norm = 0.0;
            for (std::size_t row = k; row < t.rows; ++row) {
                norm += t.at(row, column) * t.at(row, column);
            }
            if (norm > best_norm) {
                best_norm = norm;
                best = column;
            }
        }
        best_norm = std::sqrt(best_norm);
        if (k == 0) {
            first_norm = best_norm;
        }
        if (best_norm <= tolerance * first_norm || best_norm == 0.0) {
            return k;
        }
        for (std::size_t row = 0; row < t.rows; ++row) {
            std::swap(t.at(row, k), t.at(row, best));
        }
        std::swap(order[k], order[best]);
        // The reflection that maps column k below the diagonal onto its first element.
        const double alpha = t.at(k, k) > 0 ? -best_norm : best_norm;
        std::vector<double> v(t.rows - k);
        for (std::size_t row = k; row < t.rows; ++row) {
            v[row - k] = t.at(row, k);
        }
        v[0] -= alpha;
        const double v_norm2 = std::inner_product(v.begin(), v.end(), v.begin(), 0.0);
        for (std::size_t column = k; column < t.columns && v_norm2 > 0; ++column) {
            double dot = 0.0;
            for (std::size_t row = k; row < t.rows; ++row) {
                dot += v[row - k] * t.at(row, column);
            }
            const double factor = 2 * dot / v_norm2;
            for (std::size_t row = k; row < t.rows; ++row) {
                t.at(row, column) -= factor * v[row - k];
            }
        }
    }
    return steps;
}

// The coefficients c with R11 c = R[0:rank, position], by back substitution.
std::vector<double> combination(const DenseMatrix& r, std::size_t rank, std::size_t position) {
    std::vector<double> c(rank);
    for (std::size_t i = rank; i-- > 0;) {
        double value = r.at(i, position);
        for (std::size_t j = i + 1; j < rank; ++j) {
            value -= r.at(i, j) * c[j];
        }
        c[i] = value / r.at(i, i);
    }
    return c;
}

}  // namespace

std::vector<RowDependency> dependent_rows(DenseMatrix matrix, double tolerance) {
    const std::vector<double> row_divisors = equilibrate(matrix);
    DenseMatrix t = transposed(matrix);
    std::vector<std::size_t> order;
    const std::size_t rank = pivoted_qr(t, order, tolerance);
    std::vector<RowDependency> dependencies;
    for (std::size_t position = rank; position < matrix.rows; ++position) {
        const std::vector<double> c = combination(t, rank, position);
        double largest = 0.0;
        for (const double coefficient : c) {
            largest = std::max(largest, std::fabs(coefficient));
        }
        // The scaled dependent row is the sum of c[i] times scaled row
        // order[i]; a scaled row is the row over its divisor.
        const std::size_t dependent = order[position];
        std::vector<std::pair<std::size_t, double>> terms{{dependent, 1.0}};
        for (std::size_t i = 0; i < rank; ++i) {
            if (std::fabs(c[i]) > COEFFICIENT_SHARE * largest) {
                terms.emplace_back(order[i],
                                   -c[i] * row_divisors[dependent] / row_divisors[order[i]]);
            }
        }
        std::sort(terms.begin(), terms.end());
        RowDependency dependency{dependent, {}, {}};
        for (const auto& [row, weight] : terms) {
            dependency.rows.push_back(row);
            dependency.weights.push_back(weight);
        }
        dependencies.push_back(std::move(dependency));
    }
    return dependencies;
}

std::vector<RowDependency> dependent_columns(const DenseMatrix& matrix, double tolerance) {
    return dependent_rows(transposed(matrix), tolerance);
}

std::vector<std::pair<std::size_t, std::size_t>> complete_pivots(DenseMatrix matrix,
                                                                 double tolerance) {
    std::vector<std::pair<std::size_t, std::size_t>> pivots;
    std::vector<char> row_used(matrix.rows, 0);
    std::vector<char> column_used(matrix.columns, 0);
    for (std::size_t step = 0; step < std::min(matrix.rows, matrix.columns); ++step) {
        std::pair<std::size_t, std::size_t> best{0, 0};
        double largest = 0.0;
        for (std::size_t row = 0; row < matrix.rows; ++row) {
            for (std::size_t column = 0; row_used[row] == 0 && column < matrix.columns; ++column) {
                if (column_used[column] == 0 && std::fabs(matrix.at(row, column)) > largest) {
                    largest = std::fabs(matrix.at(row, column));
                    best = {row, column};
                }
            }
        }
        if (!(largest >= tolerance)) {
            break;
        }
        const auto [pivot_row, pivot_column] = best;
        row_used[pivot_row] = 1;
        column_used[pivot_column] = 1;
        pivots.push_back(best);
        for (std::size_t row = 0; row < matrix.rows; ++row) {
            if (row_used[row] != 0) {
                continue;
            }
            const double factor = matrix.at(row, pivot_column) / matrix.at(pivot_row, pivot_column);
            for (std::size_t column = 0; column < matrix.columns; ++column) {
                matrix.at(row, column) -= factor * matrix.at(pivot_row, column);
            }
        }
    }
    return pivots;
}
