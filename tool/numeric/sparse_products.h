#pragma once

#include <vector>

#include "sparse_lu.h"

// Products of a matrix held as `values` over `pattern` (one per slot).
// y = A v
void multiply(const CompressedColumns& pattern, const std::vector<double>& values,
              const std::vector<double>& v, std::vector<double>& y);
// y = A^T v
void multiply_transposed(const CompressedColumns& pattern, const std::vector<double>& values,
                         const std::vector<double>& v, std::vector<double>& y);
