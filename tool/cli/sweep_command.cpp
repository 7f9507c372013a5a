#include "sweep_command.h"

#include <algorithm>
#include <optional>

#include "csv_output.h"
#include "exit_codes.h"
#include "json_output.h"
#include "model_input.h"
#include "model_outputs.h"
#include "prepared_system.h"
#include "solve_report.h"
#include "sweep_continuation.h"
#include "sweep_plot.h"
#include "text_table.h"
#include "usage_error.h"

namespace {

// One row of the sweep: the value, the outputs (when it converged) and how.
struct SweepRow {
    double value;
    bool converged;
    std::vector<double> outputs;
    std::string verdict;
    std::string stop_reason;
    std::string cause;  // empty for a value that converged
    std::string message;
    int iterations;
    int solves;
};

// The columns: model variables, and the model's own outputs (out statements).
struct Outputs {
    std::vector<std::string> symbols;
    // The first model variable of each symbol, or 0 for a model output.
    std::vector<int> numbers;
    std::vector<std::size_t> model_outputs;  // of a column of number 0: which one
    bool any_model_output = false;
};

void add_model_output(Outputs& outputs, const ModelExtras& extras, std::size_t index) {
    outputs.symbols.push_back(extras.output_symbol(index));
    outputs.numbers.push_back(0);
    outputs.model_outputs.push_back(index);
    outputs.any_model_output = true;
}

// The outputs asked for, or else every unknown and every output of the model.
Outputs chosen_outputs(const PreparedSystem& prepared, const std::vector<std::string>& asked) {
    const ModelExtras& extras = prepared.loaded.extras();
    Outputs outputs;
    if (asked.empty()) {
        for (const int number : prepared.choice.unknowns) {
            outputs.symbols.push_back(prepared.loaded.symbols.symbol(number));
            outputs.numbers.push_back(number);
            outputs.model_outputs.push_back(0);
        }
        for (std::size_t index = 0; index < extras.output_count(); ++index) {
            add_model_output(outputs, extras, index);
        }
        return outputs;
    }
    for (const std::string& symbol : asked) {
        if (const std::optional<std::size_t> index = extras.output_named(symbol)) {
            add_model_output(outputs, extras, *index);
            continue;
        }
        const std::vector<int> numbers =
            prepared.loaded.symbols.numbers_named(symbol, "--output " + symbol);
        outputs.symbols.push_back(prepared.loaded.symbols.symbol(numbers.front()));
        outputs.numbers.push_back(numbers.front());
        outputs.model_outputs.push_back(0);
    }
    return outputs;
}

// Names are resolved in any letter case, so the varied variable is told
// from the fixed ones by number, not by the text typed.
void reject_fixed_twice(const SystemOptions& options, const VariableSymbols& symbols,
                        const std::string& symbol, const std::vector<int>& varied) {
    for (const Assignment& fix : parse_assignments(options.fix)) {
        for (const int number : symbols.numbers_named(fix.symbol, "--fix " + fix.symbol)) {
            if (std::find(varied.begin(), varied.end(), number) != varied.end()) {
                throw UsageError("--vary " + symbol + ": " + symbol +
                                 " is varied, so --fix cannot give it a value too");
            }
        }
    }
}

SweepRow row_of(const SweepPoint& point, const Outputs& outputs, const LoadedModel& loaded) {
    const ModelSession& session = loaded.session;
    SweepRow row{point.value,
                 point.result.converged(),
                 {},
                 point.result.verdict,
                 stop_code(point.result.outcome.stop),
                 cause_code(point.result.outcome.diagnosis.cause),
                 point.result.stop_message,
                 point.iterations,
                 point.solves};
    const std::vector<double> model_outputs =
        outputs.any_model_output ? output_values(loaded) : std::vector<double>();
    for (std::size_t column = 0; column < outputs.numbers.size(); ++column) {
        const int number = outputs.numbers[column];
        row.outputs.push_back(number > 0 ? session.value(number)
                                         : model_outputs[outputs.model_outputs[column]]);
    }
    return row;
}

void print_text(const SweepRange& range, const Outputs& outputs, const std::vector<SweepRow>& rows,
                std::ostream& out) {
    out << "Sweep of " << range.symbol << " from " << readable_number(range.from) << " to "
        << readable_number(range.to) << " in " << counted(range.steps, "step") << "\n\n";
    using Align = TextTable::Align;
    std::vector<TextTable::Column> columns{{range.symbol, Align::right}};
    for (const std::string& symbol : outputs.symbols) {
        columns.push_back({symbol, Align::right});
    }
    columns.push_back({"iterations", Align::right});
    columns.push_back({"solves", Align::right});
    columns.push_back({"status", Align::left});
    TextTable table(std::move(columns));
    for (const SweepRow& row : rows) {
        std::vector<std::string> cells{readable_number(row.value)};
        for (const double value : row.outputs) {
            cells.push_back(row.converged ? readable_number(value) : "-");
        }
        cells.push_back(std::to_string(row.iterations));
        cells.push_back(std::to_string(row.solves));
        // The whole message is on stderr; the row keeps to the stop's code.
        cells.push_back(row.converged ? row.verdict : row.verdict + " (" + row.stop_reason + ")");
        table.add_row(std::move(cells));
    }
    table.print(out);
}

void print_csv(const SweepRange& range, const Outputs& outputs, const std::vector<SweepRow>& rows,
               std::ostream& out) {
    out << csv_field(range.symbol);
    for (const std::string& symbol : outputs.symbols) {
        out << ',' << csv_field(symbol);
    }
    out << ",iterations,solves,status,stop_reason\n";
    for (const SweepRow& row : rows) {
        out << csv_number(row.value);
        for (const double value : row.outputs) {
            out << ',' << (row.converged ? csv_number(value) : "");
        }
        out << ',' << row.iterations << ',' << row.solves << ',' << csv_field(row.verdict) << ','
            << row.stop_reason << '\n';
    }
}

nlohmann::ordered_json point_entry(const Outputs& outputs, const SweepRow& row) {
    nlohmann::ordered_json values = nlohmann::ordered_json::object();
    for (std::size_t index = 0; index < outputs.symbols.size(); ++index) {
        values[outputs.symbols[index]] =
            row.converged ? json_number(row.outputs[index]) : nlohmann::ordered_json();
    }
    return {
        {"value", json_number(row.value)},
        {"status", row.verdict},
        {"stop_reason", row.stop_reason},
        {"cause", row.cause.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(row.cause)},
        {"message", row.message},
        {"iterations", row.iterations},
        {"solves", row.solves},
        {"outputs", std::move(values)}};
}

// The sweep, its points made as they are written.
std::vector<JsonMember> sweep_document(const SweepRange& range, const Outputs& outputs,
                                       const std::vector<SweepRow>& rows) {
    return {
        {"vary", range.symbol},
        {"from", json_number(range.from)},
        {"to", json_number(range.to)},
        {"steps", range.steps},
        {"outputs", elements_of(outputs.symbols, [](const std::string& symbol) { return symbol; })},
        {"points",
         elements_of(rows, [&](const SweepRow& row) { return point_entry(outputs, row); })}};
}

void plot(const SweepOptions& options, const SweepRange& range, const Outputs& outputs,
          const std::vector<SweepRow>& rows) {
    std::vector<SweepSeries> series;
    for (std::size_t index = 0; index < outputs.symbols.size(); ++index) {
        SweepSeries one{outputs.symbols[index], {}};
        for (const SweepRow& row : rows) {
            if (row.converged) {
                one.points.emplace_back(row.value, row.outputs[index]);
            }
        }
        series.push_back(std::move(one));
    }
    write_sweep_plot(options.plot_path, range.symbol, series,
                     options.system.model.model_path + ": sweep of " + range.symbol);
}

}  // namespace

void add_sweep_options(CLI::App& command, SweepOptions& options) {
    command
        .add_option("--vary", options.vary,
                    "vary SYMBOL from FROM to TO in STEPS equal steps; it is fixed at each value")
        ->required();
    command.add_option("--output", options.outputs, "a variable or output to show; repeatable")
        ->take_all();
    add_system_options(command, options.system);
    command.add_option("--plot", options.plot_path, "write the outputs against SYMBOL as SVG");
}

int run_sweep(const SweepOptions& options, const CommandContext& context) {
    std::ostream& out = context.out;
    std::ostream& err = context.err;
    SweepRange range = parse_sweep_range(options.vary);
    refuse_to_overwrite("--plot", options.plot_path, options.system.model.model_path);
    PreparedSystem prepared(options.system, context, {{range.symbol, range.from}}, err);
    const std::vector<int> varied =
        prepared.loaded.symbols.numbers_named(range.symbol, "--vary " + range.symbol);
    reject_fixed_twice(options.system, prepared.loaded.symbols, range.symbol, varied);
    // Shown as the file writes it, in whatever letter case it was typed.
    range.symbol = prepared.loaded.symbols.symbol(varied.front());
    const Outputs outputs = chosen_outputs(prepared, options.outputs);
    std::vector<SweepRow> rows;
    bool all_converged = true;
    run_continuation(prepared, varied, range, [&](const SweepPoint& point) {
        rows.push_back(row_of(point, outputs, prepared.loaded));
        if (!rows.back().converged) {
            all_converged = false;
            err << "quillon: sweep: " << range.symbol << " = " << readable_number(point.value)
                << ": solve stopped: " << point.result.stop_message << '\n';
        }
    });
    switch (options.system.model.format) {
        case OutputFormat::json:
            write_json_object(out, sweep_document(range, outputs, rows));
            break;
        case OutputFormat::csv:
            print_csv(range, outputs, rows, out);
            break;
        case OutputFormat::text:
            print_text(range, outputs, rows, out);
            break;
    }
    if (!options.plot_path.empty()) {
        plot(options, range, outputs, rows);
    }
    return all_converged ? exit_code::success : exit_code::failure;
}
