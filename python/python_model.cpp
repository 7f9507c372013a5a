#include "python_model.h"

#include <algorithm>
#include <cstring>

namespace {

std::unique_ptr<LoadedModel> load(const ModelSource& source, const std::string& plugin_path) {
    ModelOptions options;
    options.model_path = source.path();
    options.plugin_path = plugin_path;
    options.constants = source.constants();
    return std::make_unique<LoadedModel>(options);
}

RowPattern rows_of(const ModelSession& session) {
    struct Place {
        int row;
        int column;
        int nonzero;
    };
    std::vector<Place> places;
    for (int number = 1; number <= session.nonzero_count(); ++number) {
        const rt_nz_t& nonzero = session.nonzero(number);
        if (nonzero.variable > 0 && nonzero.equation > 0) {
            places.push_back({nonzero.equation - 1, nonzero.variable - 1, number - 1});
        }
    }
    std::sort(places.begin(), places.end(), [](const Place& left, const Place& right) {
        return left.row != right.row ? left.row < right.row : left.column < right.column;
    });
    RowPattern pattern;
    pattern.rows = session.equation_count();
    pattern.columns = session.variable_count();
    pattern.slot_of_nonzero.assign(static_cast<std::size_t>(session.nonzero_count()), -1);
    std::size_t next = 0;
    for (int row = 0; row < pattern.rows; ++row) {
        for (; next < places.size() && places[next].row == row; ++next) {
            const Place& place = places[next];
            const bool repeated = pattern.slot_count() > pattern.row_starts.back() &&
                                  pattern.column_indices.back() == place.column;
            if (!repeated) {
                pattern.column_indices.push_back(place.column);
            }
            pattern.slot_of_nonzero[static_cast<std::size_t>(place.nonzero)] =
                pattern.slot_count() - 1;
        }
        pattern.row_starts.push_back(pattern.slot_count());
    }
    if (pattern.slot_count() == session.nonzero_count()) {
        pattern.nonzero_of_slot.resize(places.size());
        for (std::size_t nonzero = 0; nonzero < places.size(); ++nonzero) {
            const int slot = pattern.slot_of_nonzero[nonzero];
            pattern.nonzero_of_slot[static_cast<std::size_t>(slot)] = static_cast<int>(nonzero);
        }
    }
    return pattern;
}

}  // namespace

PythonModel::PythonModel(ModelSource source, const std::string& plugin_path)
    : source_(std::move(source)),
      plugin_path_(plugin_path),
      loaded_(load(source_, plugin_path_)),
      start_(loaded_->session.values(),
             loaded_->session.values() + loaded_->session.variable_count()),
      row_pattern_(rows_of(loaded_->session)) {}

void PythonModel::restore_start() {
    set_values(start_.data());
}

void PythonModel::set_values(const double* values) {
    std::copy_n(values, start_.size(), loaded_->session.values());
}

void PythonModel::residuals(double* out) {
    ModelSession& session = loaded_->session;
    session.evaluate_residuals();
    std::copy_n(session.residuals(), session.equation_count(), out);
}

void PythonModel::jacobian(double* slots) {
    ModelSession& session = loaded_->session;
    session.evaluate_jacobian();
    const double* values = session.jacobian_values();
    if (!row_pattern_.nonzero_of_slot.empty()) {
        for (std::size_t slot = 0; slot < row_pattern_.nonzero_of_slot.size(); ++slot) {
            slots[slot] = values[row_pattern_.nonzero_of_slot[slot]];
        }
        return;
    }
    std::fill_n(slots, row_pattern_.slot_count(), 0.0);
    const std::size_t count = row_pattern_.slot_of_nonzero.size();
    for (std::size_t nonzero = 0; nonzero < count; ++nonzero) {
        const int slot = row_pattern_.slot_of_nonzero[nonzero];
        if (slot >= 0) {
            slots[slot] += values[nonzero];
        }
    }
}
