#include "sparse_lu.h"

#include <klu.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

// Reciprocal condition estimates below these mean: refactor with fresh pivots,
// and, after fresh pivots, that the matrix is numerically singular.
constexpr double STALE_PIVOTS_RCOND = 1e-10;
constexpr double SINGULAR_RCOND = 1e-14;

// +1 for an even permutation of 0 .. size - 1, -1 for an odd one: a cycle of
// length k is k - 1 transpositions.
int permutation_parity(const int* order, int size) {
    std::vector<bool> seen(static_cast<std::size_t>(size), false);
    int parity = 1;
    for (int start = 0; start < size; ++start) {
        int length = 0;
        for (int at = start; !seen[static_cast<std::size_t>(at)]; at = order[at]) {
            seen[static_cast<std::size_t>(at)] = true;
            ++length;
        }
        if (length > 0 && length % 2 == 0) {
            parity = -parity;
        }
    }
    return parity;
}

}  // namespace

int CompressedColumns::column_of(int slot) const {
    const auto after = std::upper_bound(column_starts.begin(), column_starts.end(), slot);
    return static_cast<int>(after - column_starts.begin()) - 1;
}

struct SparseLu::Klu {
    struct SymbolicEnd {
        klu_common* common;
        void operator()(klu_symbolic* analysis) const { klu_free_symbolic(&analysis, common); }
    };
    struct NumericEnd {
        klu_common* common;
        void operator()(klu_numeric* factors) const { klu_free_numeric(&factors, common); }
    };

    Klu() { klu_defaults(&common); }

    klu_common common{};
    std::unique_ptr<klu_symbolic, SymbolicEnd> symbolic{nullptr, SymbolicEnd{&common}};
    std::unique_ptr<klu_numeric, NumericEnd> numeric{nullptr, NumericEnd{&common}};
};

SparseLu::SparseLu(CompressedColumns pattern)
    : pattern_(std::move(pattern)), klu_(std::make_unique<Klu>()) {
    // KLU refuses a pattern without entries; such a matrix is singular anyway.
    if (pattern_.size == 0 || pattern_.slot_count() == 0) {
        return;
    }
    klu_->symbolic.reset(klu_analyze(pattern_.size, pattern_.column_starts.data(),
                                     pattern_.row_indices.data(), &klu_->common));
    if (!klu_->symbolic) {
        throw std::runtime_error("KLU could not analyse the Jacobian's pattern (status " +
                                 std::to_string(klu_->common.status) + ")");
    }
}

SparseLu::~SparseLu() = default;

bool SparseLu::factor(const std::vector<double>& values) {
    singular_column_ = -1;
    if (values.size() != static_cast<std::size_t>(pattern_.slot_count())) {
        throw std::logic_error("SparseLu::factor needs one value per slot of the pattern");
    }
    if (pattern_.size == 0) {
        return true;
    }
    if (!klu_->symbolic) {
        return false;
    }
    // KLU takes the values through a non-const pointer but does not change them.
    double* matrix = const_cast<double*>(values.data());
    int* starts = pattern_.column_starts.data();
    int* rows = pattern_.row_indices.data();
    klu_common& common = klu_->common;
    const bool refactored =
        klu_->numeric &&
        klu_refactor(starts, rows, matrix, klu_->symbolic.get(), klu_->numeric.get(), &common) &&
        common.status == KLU_OK && klu_rcond(klu_->symbolic.get(), klu_->numeric.get(), &common) &&
        common.rcond >= STALE_PIVOTS_RCOND;
    if (!refactored) {
        klu_->numeric.reset(klu_factor(starts, rows, matrix, klu_->symbolic.get(), &common));
    }
    if (!klu_->numeric || common.status != KLU_OK) {
        singular_column_ = common.singular_col < pattern_.size ? common.singular_col : -1;
        klu_->numeric.reset();
        return false;
    }
    // Without a condition estimate the factor cannot be trusted; a kept
    // refactor has its estimate already.
    if (!refactored && !klu_rcond(klu_->symbolic.get(), klu_->numeric.get(), &common)) {
        klu_->numeric.reset();
        return false;
    }
    return common.rcond >= SINGULAR_RCOND;
}

void SparseLu::solve(std::vector<double>& rhs) {
    solve_with(rhs, false);
}

void SparseLu::solve_transposed(std::vector<double>& rhs) {
    solve_with(rhs, true);
}

void SparseLu::solve_with(std::vector<double>& rhs, bool transposed) {
    if (pattern_.size == 0) {
        return;
    }
    if (!klu_->numeric || rhs.size() != static_cast<std::size_t>(pattern_.size)) {
        throw std::logic_error("SparseLu::solve needs a factor and one value per row");
    }
    const int solved = transposed ? klu_tsolve(klu_->symbolic.get(), klu_->numeric.get(),
                                               pattern_.size, 1, rhs.data(), &klu_->common)
                                  : klu_solve(klu_->symbolic.get(), klu_->numeric.get(),
                                              pattern_.size, 1, rhs.data(), &klu_->common);
    if (!solved) {
        throw std::runtime_error("KLU could not solve with its factor (status " +
                                 std::to_string(klu_->common.status) + ")");
    }
}

double SparseLu::condition_estimate(const std::vector<double>& values) {
    if (pattern_.size == 0) {
        return 1.0;
    }
    if (!klu_->numeric || values.size() != static_cast<std::size_t>(pattern_.slot_count())) {
        throw std::logic_error("SparseLu::condition_estimate needs a factor and its values");
    }
    // KLU takes the values through a non-const pointer but does not change them.
    double* matrix = const_cast<double*>(values.data());
    if (!klu_condest(pattern_.column_starts.data(), matrix, klu_->symbolic.get(),
                     klu_->numeric.get(), &klu_->common)) {
        throw std::runtime_error("KLU could not estimate the condition number (status " +
                                 std::to_string(klu_->common.status) + ")");
    }
    return klu_->common.condest;
}

// KLU factors P (R \ A) Q = L U + F with L unit lower triangular, F the
// blocks above the block-triangular diagonal and R the positive row scales,
// so det A = sign(P) sign(Q) prod(R) prod(diag U).
DeterminantSign SparseLu::determinant() const {
    DeterminantSign determinant{1, 0.0};
    if (pattern_.size == 0) {
        return determinant;
    }
    if (!klu_->numeric) {
        throw std::logic_error("SparseLu::determinant needs a factor");
    }
    const klu_numeric& factors = *klu_->numeric;
    const auto* pivots = static_cast<const double*>(factors.Udiag);
    for (int index = 0; index < pattern_.size; ++index) {
        const double pivot = pivots[index];
        if (pivot == 0.0) {
            return {0, -std::numeric_limits<double>::infinity()};
        }
        determinant.sign *= pivot < 0.0 ? -1 : 1;
        determinant.log_magnitude += std::log(std::fabs(pivot));
        if (factors.Rs) {
            determinant.log_magnitude += std::log(factors.Rs[index]);
        }
    }
    determinant.sign *= permutation_parity(factors.Pnum, pattern_.size) *
                        permutation_parity(klu_->symbolic->Q, pattern_.size);
    return determinant;
}
