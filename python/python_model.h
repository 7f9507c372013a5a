#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "loaded_model.h"
#include "model_source.h"

// The Jacobian's nonzeros in compressed rows, duplicates of one (equation,
// variable) sharing a slot, as the solver sums them; nonzeros that name no
// model variable have no slot (-1).
struct RowPattern {
    int rows = 0;
    int columns = 0;
    std::vector<int> row_starts{0};
    std::vector<int> column_indices;
    std::vector<int> slot_of_nonzero;
    // When every nonzero has a slot of its own, the nonzero of each slot, so
    // that the values are gathered in one pass; empty otherwise.
    std::vector<int> nonzero_of_slot;

    int slot_count() const { return static_cast<int>(column_indices.size()); }
};

// A model loaded for Python: the tool's own LoadedModel (the plug-in in the
// stand-in host, with the names the file writes), and the starting point the
// host gave it. Every use of the host
// takes the lock, so threads that share a model take turns.
class PythonModel {
  public:
    // Throws what loading throws: the plug-in's texts for the file's faults.
    PythonModel(ModelSource source, const std::string& plugin_path);

    LoadedModel& loaded() { return *loaded_; }
    const LoadedModel& loaded() const { return *loaded_; }
    const ModelSource& source() const { return source_; }
    const std::string& plugin_path() const { return plugin_path_; }
    std::mutex& lock() { return lock_; }

    // The host's values right after registration: the file's "Initial" or
    // the host's default.
    const std::vector<double>& start() const { return start_; }
    // Puts the starting point back into the host's value vector.
    void restore_start();
    // Copies `values` (one per variable) into the host's value vector.
    void set_values(const double* values);

    const RowPattern& row_pattern() const { return row_pattern_; }
    // Evaluates the residuals at the host's values into `out` (one per equation).
    void residuals(double* out);
    // Evaluates the Jacobian at the host's values, summed into `slots`.
    void jacobian(double* slots);

  private:
    ModelSource source_;
    std::string plugin_path_;
    std::unique_ptr<LoadedModel> loaded_;
    std::vector<double> start_;
    RowPattern row_pattern_;
    std::mutex lock_;
};
