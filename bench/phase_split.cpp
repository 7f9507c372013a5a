#include "phase_split.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string_view>

#include "bench_timing.h"
#include "file_chunks.h"
#include "load_measure.h"
#include "model_file_scan.h"
#include "strict_json.h"

namespace {

// Counts the strict reader's events, so that the reading is timed alone.
struct EventCount {
    std::int64_t events = 0;
    bool add() {
        ++events;
        return true;
    }
    bool null() { return add(); }
    bool boolean(bool) { return add(); }
    bool number_integer(std::int64_t) { return add(); }
    bool number_unsigned(std::uint64_t) { return add(); }
    bool number_float(double, std::string_view) { return add(); }
    bool string(std::string_view) { return add(); }
    bool key(std::string_view) { return add(); }
    bool start_object(std::size_t) { return add(); }
    bool end_object() { return add(); }
    bool start_array(std::size_t) { return add(); }
    bool end_array() { return add(); }
};

PhaseSeconds timed(const std::function<void()>& work) {
    const double cpu = thread_cpu_seconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    PhaseSeconds seconds;
    seconds.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    seconds.cpu = thread_cpu_seconds() - cpu;
    return seconds;
}

// The samples of one phase, and their medians.
struct Samples {
    std::vector<double> cpu;
    std::vector<double> wall;
    void add(const PhaseSeconds& seconds) {
        cpu.push_back(seconds.cpu);
        wall.push_back(seconds.wall);
    }
    PhaseSeconds medians() const {
        return cpu.empty() ? PhaseSeconds{} : PhaseSeconds{median(cpu), median(wall)};
    }
};

// Create and registration through the plug-in at `plugin_path`.
void sample_load(const std::string& plugin_path, const std::string& model_path, Samples& create,
                 Samples& registration) {
    const LoadSeconds seconds = load_seconds(plugin_path, model_path);
    create.add(PhaseSeconds{seconds.create_cpu, seconds.create});
    registration.add(PhaseSeconds{seconds.registration_cpu, seconds.registration});
}

std::string fixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

}  // namespace

PhaseRow measure_phases(const std::string& model_path, const std::string& plugin_path,
                        const std::string& baseline_plugin, int repeat) {
    PhaseRow row;
    row.model_path = model_path;
    row.file_bytes = static_cast<std::int64_t>(std::filesystem::file_size(model_path));
    Samples reading, create, registration, scan, baseline_create, baseline_registration;
    for (int r = 0; r < repeat; ++r) {
        reading.add(timed([&] {
            FileChunks text(model_path);
            EventCount count;
            if (read_strict_json(text, count) != StrictReading::accepted) {
                throw std::runtime_error("the strict reader refuses " + model_path);
            }
        }));
        sample_load(plugin_path, model_path, create, registration);
        if (!baseline_plugin.empty()) {
            sample_load(baseline_plugin, model_path, baseline_create, baseline_registration);
        }
        scan.add(timed([&] { scan_model_file(model_path, ScanTexts::names_only); }));
    }
    row.reading = reading.medians();
    row.create = create.medians();
    row.registration = registration.medians();
    row.scan = scan.medians();
    row.baseline_create = baseline_create.medians();
    row.baseline_registration = baseline_registration.medians();
    row.create_peak = peak_in_fresh_process("create", plugin_path, model_path);
    row.register_peak = peak_in_fresh_process("register", plugin_path, model_path);
    if (!baseline_plugin.empty()) {
        row.baseline_create_peak = peak_in_fresh_process("create", baseline_plugin, model_path);
        row.baseline_register_peak = peak_in_fresh_process("register", baseline_plugin, model_path);
    }
    return row;
}

void print_phase_table(const std::vector<PhaseRow>& rows, bool with_baseline) {
    std::cout << "\nPhases of a load as `quillon solve` loads a model, on the calling thread: "
                 "CPU s / wall s (medians)\n\n"
              << "| model | file MB | plug-in | reading (strict, alone) | create | registration | "
                 "scan for names | create peak / file | with registration peak / file |\n"
              << "|---|---:|---|---:|---:|---:|---:|---:|---:|\n";
    const auto both = [](const PhaseSeconds& seconds) {
        return fixed(seconds.cpu, 3) + " / " + fixed(seconds.wall, 3);
    };
    for (const PhaseRow& row : rows) {
        const double file = static_cast<double>(row.file_bytes);
        const std::string name = std::filesystem::path(row.model_path).filename().string();
        const auto line = [&](const char* plugin, const PhaseSeconds& create,
                              const PhaseSeconds& registration, std::int64_t create_peak,
                              std::int64_t register_peak, bool with_own_phases) {
            std::cout << "| " << name << " | " << fixed(file / 1e6, 1) << " | " << plugin << " | "
                      << (with_own_phases ? both(row.reading) : "-") << " | " << both(create)
                      << " | " << both(registration) << " | "
                      << (with_own_phases ? both(row.scan) : "-") << " | "
                      << fixed(static_cast<double>(create_peak) / file, 2) << " | "
                      << fixed(static_cast<double>(register_peak) / file, 2) << " |\n";
        };
        if (with_baseline) {
            line("baseline", row.baseline_create, row.baseline_registration,
                 row.baseline_create_peak, row.baseline_register_peak, false);
        }
        line("this build", row.create, row.registration, row.create_peak, row.register_peak, true);
    }
}
