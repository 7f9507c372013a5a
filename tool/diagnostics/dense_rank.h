#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// A small dense matrix, row by row.
struct DenseMatrix {
    std::size_t rows = 0;
    std::size_t columns = 0;
    std::vector<double> values;  // rows * columns

    DenseMatrix(std::size_t row_count, std::size_t column_count)
        : rows(row_count), columns(column_count), values(row_count * column_count, 0.0) {}
    double& at(std::size_t row, std::size_t column) { return values[row * columns + column]; }
    double at(std::size_t row, std::size_t column) const { return values[row * columns + column]; }
};

// A row that is a combination of others, and those others: the rows (from 0)
// of one dependency, ascending, the dependent row among them, with the weights
// that combine them to (nearly) zero in the matrix's own units: the sum of
// weights[k] times row rows[k] vanishes, the dependent row's weight being 1.
struct RowDependency {
    std::size_t row;
    std::vector<std::size_t> rows;
    std::vector<double> weights;  // one per element of rows
};

// The rows of `matrix` that depend on the others, each with the rows it is a
// combination of. Rows and columns are first scaled to a largest magnitude
// of 1, so that scaling alone never makes rows dependent; then a QR
// factorisation of the transpose with column pivoting takes the rows in
// order of what each adds, and a row that adds less than `tolerance` (of the
// first row's size) depends on those taken before it. Cubic in the size: for
// small blocks.
std::vector<RowDependency> dependent_rows(DenseMatrix matrix, double tolerance);

// Pivots of Gaussian elimination with complete pivoting on `matrix` (taken
// as it is, already scaled): each (row, column) where an entry of at least
// `tolerance` in magnitude remained, in the order they were taken. Their
// count is the matrix's numerical rank. Cubic in the size: for small parts.
std::vector<std::pair<std::size_t, std::size_t>> complete_pivots(DenseMatrix matrix,
                                                                 double tolerance);

// The same for the columns: each dependent column with the columns it is a
// combination of, weights that combine them to (nearly) zero.
std::vector<RowDependency> dependent_columns(const DenseMatrix& matrix, double tolerance);
