// quillon_speed: the bench. For each size it generates the bench model, then
// times one evaluation of all residuals and all derivatives through the
// plug-in's block, as the same C++ compiled with -O2, in muparser and in the
// literal tree walk (small sizes only: it is quadratic), checks that they
// agree, and times and weighs loading against the bare JSON parse. Given
// model files (--phases), it times the phases of loading each instead.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "bench_model.h"
#include "bench_timing.h"
#include "literal_walk.h"
#include "load_measure.h"
#include "model_session.h"
#include "model_writers.h"
#include "muparser_model.h"
#include "native_model.h"
#include "phase_split.h"
#include "plugin_location.h"

namespace {

struct Options {
    std::vector<int> sizes{1000, 10000, 100000};
    std::string work = "build/bench-work";
    std::string plugin_path;
    int repeat = 5;
    int literal_max = 10000;
    int peers_max = 100000;
    bool loading_only = false;
    std::vector<std::string> phase_models;
    std::string baseline_plugin;
};

// One evaluation's values: residuals, then derivatives in nonzero order.
using Values = std::vector<double>;

struct Row {
    int equations = 0;
    std::int64_t nodes = 0;
    double quillon_s = 0.0;  // residuals and Jacobian, per evaluation
    // NaN for what was not run; the tables show it as "-".
    double native_s = std::numeric_limits<double>::quiet_NaN();
    double same_bits_s =
        std::numeric_limits<double>::quiet_NaN();  // native code that may not rewrite pow
    double muparser_s = std::numeric_limits<double>::quiet_NaN();
    double literal_s = std::numeric_limits<double>::quiet_NaN();
    std::string agreement;
    // The same-bits native code and the literal walk compute Quillon's very
    // bits, and muparser the same formulas up to rounding; false when not.
    bool agrees = true;
    std::int64_t file_bytes = 0;
    double create_s = 0.0;
    double registration_s = 0.0;  // with compiling, as the host's container registers
    double parse_s = std::numeric_limits<double>::quiet_NaN();
    std::int64_t create_peak = 0;
    std::int64_t register_peak = 0;  // create and registration together
    double parse_peak = std::numeric_limits<double>::quiet_NaN();
};

std::int64_t count_nodes(int count) {
    std::int64_t nodes = 0;
    for (int i = 0; i < count; ++i) {
        const BenchEquation equation = bench_equation(i, count);
        nodes += term_nodes(equation.residual);
        for (const Term& derivative : equation.derivatives) {
            nodes += term_nodes(derivative);
        }
    }
    return nodes;
}

std::string read_text(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The largest difference relative to the reference's magnitude (at least 1).
double largest_difference(const Values& values, const Values& reference) {
    double largest = 0.0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double scale = std::max(1.0, std::fabs(reference[i]));
        largest = std::max(largest, std::fabs(values[i] - reference[i]) / scale);
    }
    return largest;
}

// How many values differ from `reference` bit for bit.
std::int64_t differing(const Values& values, const Values& reference) {
    std::int64_t count = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        count += std::memcmp(&values[i], &reference[i], sizeof(double)) != 0;
    }
    return count;
}

// The contenders' samples are taken in turn, so that a disturbance from
// elsewhere on the machine falls on all of them alike.
std::vector<double> interleaved_medians(const std::vector<std::function<void()>>& contenders,
                                        int repeat) {
    std::vector<std::int64_t> calls;
    for (const auto& evaluate : contenders) {
        calls.push_back(calls_per_sample(evaluate));
    }
    std::vector<std::vector<double>> samples(contenders.size());
    for (int r = 0; r < repeat; ++r) {
        for (std::size_t c = 0; c < contenders.size(); ++c) {
            samples[c].push_back(median_per_call(contenders[c], calls[c], 1));
        }
    }
    std::vector<double> medians;
    for (const auto& each : samples) {
        medians.push_back(median(each));
    }
    return medians;
}

Values session_values(const ModelSession& session) {
    Values values;
    for (int e = 1; e <= session.equation_count(); ++e) {
        values.push_back(session.residual(e));
    }
    for (int nz = 1; nz <= session.nonzero_count(); ++nz) {
        values.push_back(session.jacobian_value(nz));
    }
    return values;
}

double time_literal(const std::string& model_path, const Values& x, int repeat, Values& values) {
    ModelDefinition model;
    model.load_model(model_path);
    std::int32_t number = 0;
    for (auto& variable : model.variables()) {
        variable.variable_number = ++number;
    }
    const auto both = [&] {
        values.clear();
        for (const auto& equation : model.equations()) {
            values.push_back(literal_value(equation, model, x.data()));
        }
        for (const auto& equation : model.equations()) {
            for (const auto& entry : equation.variables()) {
                values.push_back(literal_value(*entry.differential, model, x.data()));
            }
        }
    };
    return median_per_call(both, 1, repeat);
}

// Evaluation times of every contender; the block made here is gone when it
// returns, so that the plug-in can be unloaded by the loading measurements.
void measure_evaluation(Row& row, int count, const std::string& model_path,
                        const Options& options) {
    Values x;
    for (int i = 0; i < count; ++i) {
        x.push_back(bench_value(i));
    }
    if (count > options.peers_max) {
        std::cerr << "== " << count << " equations: evaluating quillon alone\n";
        ModelSession session(options.plugin_path, model_path);
        row.quillon_s = interleaved_medians({[&] {
                                                session.evaluate_residuals();
                                                session.evaluate_jacobian();
                                            }},
                                            options.repeat)[0];
        row.agreement = "peers not run";
        return;
    }
    std::cerr << "== " << count << " equations: compiling the native code\n";
    const NativeModel native_model(options.work, count, false);
    const NativeModel same_bits_model(options.work, count, true);
    std::cerr << "== " << count << " equations: loading quillon and muparser\n";
    ModelSession session(options.plugin_path, model_path);
    const MuparserModel muparser_model(muparser_formulas(count), x);
    Values native(static_cast<std::size_t>(4 * count));
    Values same_bits(native.size());
    Values muparser(native.size());
    std::cerr << "== " << count << " equations: evaluating\n";
    const std::vector<double> seconds =
        interleaved_medians({[&] {
                                 session.evaluate_residuals();
                                 session.evaluate_jacobian();
                             },
                             [&] {
                                 native_model.residuals(x.data(), native.data());
                                 native_model.jacobian(x.data(), native.data() + count);
                             },
                             [&] {
                                 same_bits_model.residuals(x.data(), same_bits.data());
                                 same_bits_model.jacobian(x.data(), same_bits.data() + count);
                             },
                             [&] { muparser_model.evaluate(muparser.data()); }},
                            options.repeat);
    row.quillon_s = seconds[0];
    row.native_s = seconds[1];
    row.same_bits_s = seconds[2];
    row.muparser_s = seconds[3];
    const Values quillon = session_values(session);
    row.agreement = "native " + std::to_string(differing(quillon, native)) + ", same-bits " +
                    std::to_string(differing(quillon, same_bits)) + " differ";
    row.agrees = differing(quillon, same_bits) == 0 && largest_difference(native, quillon) < 1e-9 &&
                 largest_difference(muparser, quillon) < 1e-9;
    if (count <= options.literal_max) {
        std::cerr << "== " << count << " equations: literal walk\n";
        Values literal;
        row.literal_s = time_literal(model_path, x, count <= 1000 ? options.repeat : 1, literal);
        row.agreement += ", literal " + std::to_string(differing(quillon, literal)) + " differ";
        row.agrees = row.agrees && differing(quillon, literal) == 0;
    }
}

void measure_loading(Row& row, int count, const std::string& model_path, const Options& options) {
    std::cerr << "== " << count << " equations: loading\n";
    // Beyond the peers' sizes the library's document would not fit in memory.
    const bool with_parse = count <= options.peers_max;
    const std::string text = with_parse ? read_text(model_path) : std::string();
    std::vector<double> creates;
    std::vector<double> registrations;
    std::vector<double> parses;
    for (int r = 0; r < std::max(3, options.repeat); ++r) {
        const LoadSeconds seconds = load_seconds(options.plugin_path, model_path);
        creates.push_back(seconds.create);
        registrations.push_back(seconds.registration);
        if (with_parse) {
            parses.push_back(parse_seconds(text));
        }
    }
    row.create_s = median(creates);
    row.registration_s = median(registrations);
    row.create_peak = peak_in_fresh_process("create", options.plugin_path, model_path);
    row.register_peak = peak_in_fresh_process("register", options.plugin_path, model_path);
    if (with_parse) {
        row.parse_s = median(parses);
        row.parse_peak =
            static_cast<double>(peak_in_fresh_process("parse", options.plugin_path, model_path));
    }
}

Row measure(int count, const Options& options) {
    Row row;
    row.equations = count;
    row.nodes = count_nodes(count);
    const std::string model_path = options.work + "/model_" + std::to_string(count) + ".json";
    {
        std::ofstream out(model_path);
        write_model_file(out, count);
    }
    row.file_bytes = static_cast<std::int64_t>(std::filesystem::file_size(model_path));
    if (options.loading_only) {
        row.quillon_s = std::numeric_limits<double>::quiet_NaN();
        row.agreement = "not run";
    } else {
        measure_evaluation(row, count, model_path, options);
    }
    measure_loading(row, count, model_path, options);
    return row;
}

std::string fixed(double value, int decimals) {
    if (std::isnan(value)) {
        return "-";
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

void print_tables(const std::vector<Row>& rows) {
    std::cout << "\nEvaluation: all residuals and all derivatives once, ns per node\n\n"
              << "| equations | nodes | quillon | native -O2 | native same bits | muparser | "
                 "literal | quillon / native | quillon / same bits | muparser / quillon | "
                 "literal / quillon | values |\n"
              << "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|\n";
    for (const Row& row : rows) {
        const double nodes = static_cast<double>(row.nodes);
        const auto ns = [&](double seconds) { return fixed(seconds * 1e9 / nodes, 2); };
        std::cout << "| " << row.equations << " | " << row.nodes << " | " << ns(row.quillon_s)
                  << " | " << ns(row.native_s) << " | " << ns(row.same_bits_s) << " | "
                  << ns(row.muparser_s) << " | " << ns(row.literal_s) << " | "
                  << fixed(row.quillon_s / row.native_s, 2) << " | "
                  << fixed(row.quillon_s / row.same_bits_s, 2) << " | "
                  << fixed(row.muparser_s / row.quillon_s, 2) << " | "
                  << fixed(row.literal_s / row.quillon_s, 0) << " | " << row.agreement << " |\n";
    }
    std::cout << "\nLoading: the factory's create against nlohmann::json::parse of the text\n\n"
              << "| equations | file MB | create s | parse s | create / parse | registration s | "
                 "registration / create | create peak MB | peak / file | peak bytes per equation | "
                 "with registration peak / file | parse peak / file |\n"
              << "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const Row& row : rows) {
        const double file = static_cast<double>(row.file_bytes);
        const double peak = static_cast<double>(row.create_peak);
        std::cout << "| " << row.equations << " | " << fixed(file / 1e6, 1) << " | "
                  << fixed(row.create_s, 3) << " | " << fixed(row.parse_s, 3) << " | "
                  << fixed(row.create_s / row.parse_s, 2) << " | " << fixed(row.registration_s, 3)
                  << " | " << fixed(row.registration_s / row.create_s, 2) << " | "
                  << fixed(peak / 1e6, 1) << " | " << fixed(peak / file, 2) << " | "
                  << fixed(peak / row.equations, 0) << " | "
                  << fixed(static_cast<double>(row.register_peak) / file, 2) << " | "
                  << fixed(row.parse_peak / file, 2) << " |\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    CLI::App app("Times Quillon's evaluation and loading against native code and peers.",
                 "quillon_speed");
    app.add_option("--sizes", options.sizes, "numbers of equations (at least 8)")
        ->delimiter(',')
        ->capture_default_str();
    app.add_option("--work", options.work, "folder for the generated files")->capture_default_str();
    app.add_option("--plugin", options.plugin_path, "plug-in library")->required();
    app.add_option("--repeat", options.repeat, "timed samples; medians are shown")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    app.add_option("--literal-max", options.literal_max,
                   "largest size the literal walk runs at (it is quadratic)")
        ->capture_default_str();
    app.add_option("--peers-max", options.peers_max,
                   "largest size native code, muparser and the bare parse run at (beyond, their "
                   "compiling or their memory is out of reach)")
        ->capture_default_str();
    app.add_flag("--loading-only", options.loading_only,
                 "time and weigh loading alone (create, registration, the bare parse)");
    app.add_option("--phases", options.phase_models,
                   "model files whose loading to split into phases (reading, create, "
                   "registration, the tool's scan) instead of the generated models")
        ->delimiter(',')
        ->check(CLI::ExistingFile);
    app.add_option("--baseline-plugin", options.baseline_plugin,
                   "with --phases: another build's plug-in, timed in turns with --plugin")
        ->check(CLI::ExistingFile);
    std::string peak_of;
    std::string peak_model;
    app.add_option("--peak-of", peak_of,
                   "internal: measure the peak memory of create, register or parse")
        ->group("");
    app.add_option("--peak-model", peak_model, "internal: the model of --peak-of")->group("");
    CLI11_PARSE(app, argc, argv);
    try {
        if (!peak_of.empty()) {
            std::cout << peak_of_load(peak_of, options.plugin_path, peak_model) << '\n';
            return 0;
        }
        if (!options.phase_models.empty()) {
            std::vector<PhaseRow> rows;
            for (const std::string& model : options.phase_models) {
                std::cerr << "== phases of " << model << '\n';
                rows.push_back(measure_phases(model, options.plugin_path, options.baseline_plugin,
                                              options.repeat));
            }
            print_phase_table(rows, !options.baseline_plugin.empty());
            return 0;
        }
        std::filesystem::create_directories(options.work);
        std::vector<Row> rows;
        for (const int count : options.sizes) {
            rows.push_back(measure(count, options));
        }
        print_tables(rows);
        for (const Row& row : rows) {
            if (!row.agrees) {
                std::cerr << "quillon_speed: error: the evaluations disagree at " << row.equations
                          << " equations\n";
                return 1;
            }
        }
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "quillon_speed: error: " << error.what() << '\n';
        return 1;
    }
}
