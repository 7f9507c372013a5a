#include "sweep_command.h"

#include <algorithm>
#include <thread>

#include "csv_output.h"
#include "exit_codes.h"
#include "followed_sweep.h"
#include "json_output.h"
#include "model_input.h"
#include "output_choice.h"
#include "prepared_system.h"
#include "solve_report.h"
#include "sweep_continuation.h"
#include "sweep_jobs.h"
#include "sweep_plot.h"
#include "sweep_row.h"
#include "sweep_watch.h"
#include "text_table.h"
#include "usage_error.h"

namespace {

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

bool one_symbol(const VariableSymbols& symbols, const std::vector<int>& numbers) {
    return std::all_of(numbers.begin(), numbers.end(), [&](int number) {
        return symbols.symbol(number) == symbols.symbol(numbers.front());
    });
}

void print_text(const SweepRange& range, const OutputChoice& outputs,
                const std::vector<SweepRow>& rows, std::ostream& out) {
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
        cells.push_back((row.converged ? row.verdict : row.verdict + " (" + row.stop_reason + ")") +
                        (row.note ? "; " + row.note->label : ""));
        table.add_row(std::move(cells));
    }
    table.print(out);
}

void print_csv(const SweepRange& range, const OutputChoice& outputs,
               const std::vector<SweepRow>& rows, std::ostream& out) {
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

nlohmann::ordered_json point_entry(const OutputChoice& outputs, const SweepRow& row) {
    nlohmann::ordered_json values = nlohmann::ordered_json::object();
    for (std::size_t index = 0; index < outputs.symbols.size(); ++index) {
        values[outputs.symbols[index]] =
            row.converged ? json_number(row.outputs[index]) : nlohmann::ordered_json();
    }
    nlohmann::ordered_json note;
    if (row.note) {
        note = json_record({{"kind", note_code(row.note->kind)},
                            {"value", json_number(row.note->value)},
                            {"message", row.note->message}});
    }
    return {
        {"value", json_number(row.value)},
        {"status", row.verdict},
        {"stop_reason", row.stop_reason},
        {"cause", row.cause.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(row.cause)},
        {"message", row.message},
        {"iterations", row.iterations},
        {"solves", row.solves},
        {"outputs", std::move(values)},
        {"note", std::move(note)}};
}

// The sweep, its points made as they are written.
std::vector<JsonMember> sweep_document(const SweepRange& range, const OutputChoice& outputs,
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

void plot(const SweepOptions& options, const SweepRange& range, const OutputChoice& outputs,
          const std::vector<SweepRow>& rows) {
    std::vector<SweepSeries> series;
    for (std::size_t index = 0; index < outputs.symbols.size(); ++index) {
        SweepSeries one{outputs.symbols[index], {}, {}, {}};
        for (const SweepRow& row : rows) {
            const bool jumped = row.note && row.note->kind == SweepNote::Kind::branch_jump;
            if (jumped) {
                one.breaks.push_back(one.points.size());
            }
            if (row.converged) {
                one.points.emplace_back(row.value, row.outputs[index]);
            } else {
                one.marks.push_back({SweepMarkKind::failed, row.value, 0.0});
            }
        }
        series.push_back(std::move(one));
    }
    write_sweep_plot(options.plot_path, range.symbol, series,
                     options.system.model.model_path + ": sweep of " + range.symbol);
}

int core_count() {
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

}  // namespace

void add_sweep_options(CLI::App& command, SweepOptions& options) {
    command
        .add_option("--vary", options.vary,
                    "vary SYMBOL from FROM to TO in STEPS equal steps; it is fixed at each value")
        ->required();
    command
        .add_option("--output", options.outputs,
                    "a variable or output to show, or a family's pattern (x[*]); repeatable")
        ->take_all();
    command
        .add_option("--jobs", options.jobs,
                    "solve in N processes at once, each over a run of consecutive values, "
                    "warm-started from its own first solve (0: one per core)")
        ->check(sign_check(true))
        ->capture_default_str();
    add_system_options(command, options.system);
    command.add_option("--plot", options.plot_path, "write the outputs against SYMBOL as SVG");
    add_follow_options(command, options);
}

int run_sweep(const SweepOptions& options, const CommandContext& context) {
    std::ostream& out = context.out;
    std::ostream& err = context.err;
    SweepRange range = parse_sweep_range(options.vary);
    const int jobs = options.jobs == 0 ? core_count() : options.jobs;
    if (options.follow && options.jobs != 1) {
        throw UsageError(
            "--jobs: a curve is followed in one process, point after point; --jobs "
            "shares out the values of a plain sweep");
    }
    refuse_to_overwrite("--plot", options.plot_path, options.system.model.model_path);
    PreparedSystem prepared(options.system, context, {{range.symbol, range.from}}, err);
    const std::vector<int> varied =
        prepared.loaded.symbols.numbers_named(range.symbol, "--vary " + range.symbol);
    reject_fixed_twice(options.system, prepared.loaded.symbols, range.symbol, varied);
    // Shown as the file writes it, in whatever letter case it was typed; a
    // pattern that varies several symbols together as typed.
    if (one_symbol(prepared.loaded.symbols, varied)) {
        range.symbol = prepared.loaded.symbols.symbol(varied.front());
    }
    const OutputChoice outputs =
        chosen_outputs(prepared.loaded.symbols, &prepared.loaded.extras(), options.outputs,
                       prepared.choice.unknowns, "--output");
    if (options.follow) {
        return run_followed_sweep(
            options, range, prepared, varied, outputs.symbols,
            [&] { return chosen_values(outputs, prepared.loaded); }, context);
    }
    const std::vector<SweepRow> rows =
        sweep_rows(prepared, varied, range, outputs, jobs, [&](const SweepRow& row) {
            const std::string where =
                "quillon: sweep: " + range.symbol + " = " + readable_number(row.value) + ": ";
            if (!row.converged) {
                err << where << "solve stopped: " << row.message << '\n';
            }
            if (row.note) {
                err << where << row.note->message << '\n';
            }
        });
    const bool all_converged =
        std::all_of(rows.begin(), rows.end(), [](const SweepRow& row) { return row.converged; });
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
