#include "jacobian_assembly.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace {

struct Placed {
    int column;
    int row;
    int nonzero;
};

// Column by column, rows in order, and a repeated place's nonzeros in their
// own order, which is the order their values add up in.
bool column_major(const Placed& left, const Placed& right) {
    if (left.column != right.column) {
        return left.column < right.column;
    }
    return left.row != right.row ? left.row < right.row : left.nonzero < right.nonzero;
}

bool same_place(const Placed& left, const Placed& right) {
    return left.column == right.column && left.row == right.row;
}

}  // namespace

JacobianAssembly::JacobianAssembly(int size, const std::vector<NonzeroPlace>& places) {
    std::vector<Placed> placed;
    for (std::size_t nonzero = 0; nonzero < places.size(); ++nonzero) {
        const NonzeroPlace& place = places[nonzero];
        if (place.column < 0 || place.row < 0) {
            continue;
        }
        if (place.column >= size || place.row >= size) {
            throw std::out_of_range("a nonzero outside the system");
        }
        placed.push_back({place.column, place.row, static_cast<int>(nonzero)});
    }
    std::sort(placed.begin(), placed.end(), column_major);
    pattern_.size = size;
    pattern_.column_starts.assign(static_cast<std::size_t>(size) + 1, 0);
    std::vector<int> source_starts;
    for (std::size_t index = 0; index < placed.size(); ++index) {
        const Placed& here = placed[index];
        if (index == 0 || !same_place(placed[index - 1], here)) {
            pattern_.row_indices.push_back(here.row);
            ++pattern_.column_starts[static_cast<std::size_t>(here.column) + 1];
            source_starts.push_back(static_cast<int>(index));
        }
        sources_.push_back(here.nonzero);
    }
    std::partial_sum(pattern_.column_starts.begin(), pattern_.column_starts.end(),
                     pattern_.column_starts.begin());
    if (sources_.size() > source_starts.size()) {
        source_starts.push_back(static_cast<int>(sources_.size()));
        source_starts_ = std::move(source_starts);
    }
}

void JacobianAssembly::assemble(const double* host_values, std::vector<double>& slot_values) const {
    const std::size_t slots = static_cast<std::size_t>(pattern_.slot_count());
    slot_values.resize(slots);
    // Each sum starts from +0.0, so a slot whose only value is -0.0 holds +0.0.
    if (source_starts_.empty()) {
        for (std::size_t slot = 0; slot < slots; ++slot) {
            slot_values[slot] = 0.0 + host_values[sources_[slot]];
        }
        return;
    }
    for (std::size_t slot = 0; slot < slots; ++slot) {
        double sum = 0.0;
        for (int source = source_starts_[slot]; source < source_starts_[slot + 1]; ++source) {
            sum += host_values[sources_[static_cast<std::size_t>(source)]];
        }
        slot_values[slot] = sum;
    }
}
