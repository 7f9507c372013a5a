#include "jacobian_assembly.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace {

struct Placed {
    int column;
    int row;
    std::size_t nonzero;
};

bool column_major(const Placed& left, const Placed& right) {
    return left.column != right.column ? left.column < right.column : left.row < right.row;
}

}  // namespace

JacobianAssembly::JacobianAssembly(int size, const std::vector<NonzeroPlace>& places)
    : slot_of_nonzero_(places.size(), -1) {
    std::vector<Placed> placed;
    for (std::size_t nonzero = 0; nonzero < places.size(); ++nonzero) {
        const NonzeroPlace& place = places[nonzero];
        if (place.column < 0 || place.row < 0) {
            continue;
        }
        if (place.column >= size || place.row >= size) {
            throw std::out_of_range("a nonzero outside the system");
        }
        placed.push_back({place.column, place.row, nonzero});
    }
    std::sort(placed.begin(), placed.end(), column_major);
    pattern_.size = size;
    pattern_.column_starts.assign(static_cast<std::size_t>(size) + 1, 0);
    for (std::size_t index = 0; index < placed.size(); ++index) {
        const Placed& here = placed[index];
        const bool repeats = index > 0 && placed[index - 1].column == here.column &&
                             placed[index - 1].row == here.row;
        if (!repeats) {
            pattern_.row_indices.push_back(here.row);
            ++pattern_.column_starts[static_cast<std::size_t>(here.column) + 1];
        }
        slot_of_nonzero_[here.nonzero] = pattern_.slot_count() - 1;
    }
    std::partial_sum(pattern_.column_starts.begin(), pattern_.column_starts.end(),
                     pattern_.column_starts.begin());
}

void JacobianAssembly::assemble(const std::vector<double>& host_values,
                                std::vector<double>& slot_values) const {
    slot_values.assign(static_cast<std::size_t>(pattern_.slot_count()), 0.0);
    for (std::size_t nonzero = 0; nonzero < slot_of_nonzero_.size(); ++nonzero) {
        const int slot = slot_of_nonzero_[nonzero];
        if (slot >= 0) {
            slot_values[static_cast<std::size_t>(slot)] += host_values[nonzero];
        }
    }
}
