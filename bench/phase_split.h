#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The phases of loading a model file as `quillon solve` loads it, each timed
// on the calling thread in CPU seconds and in wall-clock seconds: the strict
// reading of the text alone (its events counted, nothing built), the
// plug-in's create (reading and building the model) and the registration
// that follows (with compiling), and the tool's scan of the file for names.
// With a baseline plug-in, its create and registration are timed too; all
// phases take turns, so that the shared machine's noise falls on all alike.

struct PhaseSeconds {
    double cpu = 0.0;
    double wall = 0.0;
};

struct PhaseRow {
    std::string model_path;
    std::int64_t file_bytes = 0;
    PhaseSeconds reading;
    PhaseSeconds create;
    PhaseSeconds registration;
    PhaseSeconds scan;
    PhaseSeconds baseline_create;  // zero without a baseline plug-in
    PhaseSeconds baseline_registration;
    std::int64_t create_peak = 0;  // resident bytes added, in a fresh process
    std::int64_t register_peak = 0;
    std::int64_t baseline_create_peak = 0;
    std::int64_t baseline_register_peak = 0;
};

// Medians of `repeat` samples of each phase; `baseline_plugin` may be empty.
PhaseRow measure_phases(const std::string& model_path, const std::string& plugin_path,
                        const std::string& baseline_plugin, int repeat);

// The phases' table, in Markdown.
void print_phase_table(const std::vector<PhaseRow>& rows, bool with_baseline);
