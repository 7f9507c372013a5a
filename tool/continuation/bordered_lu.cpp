#include "bordered_lu.h"

#include <cmath>
#include <stdexcept>

namespace {

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

}  // namespace

BorderedLu::BorderedLu(const CompressedColumns& jacobian)
    : jacobian_(jacobian), size_(jacobian.size) {
    if (size_ < 1) {
        throw std::invalid_argument("a curve system has at least its parameter");
    }
    for (const int row : jacobian_.row_indices) {
        if (row < 0 || row >= size_ - 1) {
            throw std::invalid_argument("a curve system's Jacobian has a row outside 0 .. n - 1");
        }
    }
}

BorderedLu::~BorderedLu() = default;

// M: the Jacobian's columns but `set_aside`, in their order, analysed once
// for each column set aside in turn.
void BorderedLu::prepare(int set_aside) {
    if (set_aside == set_aside_ && lu_) {
        return;
    }
    CompressedColumns m;
    m.size = size_ - 1;
    for (int column = 0; column < size_; ++column) {
        if (column == set_aside) {
            continue;
        }
        for (int slot = jacobian_.column_starts[at(column)];
             slot < jacobian_.column_starts[at(column) + 1]; ++slot) {
            m.row_indices.push_back(jacobian_.row_indices[at(slot)]);
        }
        m.column_starts.push_back(m.slot_count());
    }
    lu_ = std::make_unique<SparseLu>(std::move(m));
    set_aside_ = set_aside;
}

bool BorderedLu::factor(const std::vector<double>& slot_values, const std::vector<double>& row,
                        int set_aside) {
    if (slot_values.size() != at(jacobian_.slot_count()) || row.size() != at(size_) ||
        set_aside < 0 || set_aside >= size_) {
        throw std::logic_error("BorderedLu::factor needs one value per slot and per column");
    }
    prepare(set_aside);
    const int aside_begin = jacobian_.column_starts[at(set_aside)];
    const int aside_end = jacobian_.column_starts[at(set_aside) + 1];
    m_values_.assign(slot_values.begin(), slot_values.begin() + aside_begin);
    m_values_.insert(m_values_.end(), slot_values.begin() + aside_end, slot_values.end());
    if (!lu_->factor(m_values_)) {
        return false;
    }
    row_ = row;
    // M^-1 h_c, and s = w_c - w'^T M^-1 h_c.
    aside_solved_.assign(at(size_ - 1), 0.0);
    for (int slot = aside_begin; slot < aside_end; ++slot) {
        aside_solved_[at(jacobian_.row_indices[at(slot)])] = slot_values[at(slot)];
    }
    lu_->solve(aside_solved_);
    schur_ = row[at(set_aside)];
    for (int column = 0, index = 0; column < size_; ++column) {
        if (column != set_aside) {
            schur_ -= row[at(column)] * aside_solved_[at(index++)];
        }
    }
    return schur_ != 0.0 && std::isfinite(schur_);
}

void BorderedLu::solve(std::vector<double>& rhs) {
    if (!lu_ || rhs.size() != at(size_)) {
        throw std::logic_error("BorderedLu::solve needs a factor and one value per row");
    }
    work_.assign(rhs.begin(), rhs.end() - 1);
    lu_->solve(work_);  // M^-1 r'
    double numerator = rhs.back();
    for (int column = 0, index = 0; column < size_; ++column) {
        if (column != set_aside_) {
            numerator -= row_[at(column)] * work_[at(index++)];
        }
    }
    const double aside = numerator / schur_;
    for (int column = 0, index = 0; column < size_; ++column) {
        if (column == set_aside_) {
            rhs[at(column)] = aside;
        } else {
            rhs[at(column)] = work_[at(index)] - aside_solved_[at(index)] * aside;
            ++index;
        }
    }
}

// B with column c moved last is [[M, h_c], [w'^T, w_c]], whose determinant
// is det M * s; the move passes c over the n - c columns after it.
DeterminantSign BorderedLu::determinant() const {
    if (!lu_) {
        throw std::logic_error("BorderedLu::determinant needs a factor");
    }
    DeterminantSign determinant = lu_->determinant();
    const bool odd_move = (size_ - 1 - set_aside_) % 2 != 0;
    determinant.sign *= (odd_move ? -1 : 1) * (schur_ < 0 ? -1 : 1);
    determinant.log_magnitude += std::log(std::fabs(schur_));
    return determinant;
}
