#include "solve_command.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <numeric>

#include "csv_output.h"
#include "description_column.h"
#include "exit_codes.h"
#include "json_output.h"
#include "model_input.h"
#include "model_outputs.h"
#include "output_choice.h"
#include "prepared_system.h"
#include "solve_document.h"
#include "solve_report.h"
#include "solve_stop.h"
#include "svg_plot.h"
#include "text_table.h"

namespace {

void print_log_header(std::ostream& out) {
    out << "iter  largest |res|  scaled |res|       step  kind    at bounds  worst scaled "
           "equation\n"
        << "----  -------------  ------------  ---------  ------  ---------  "
           "---------------------\n";
}

void print_log_row(const IterationRecord& record, const PreparedSystem& prepared,
                   std::ostream& out) {
    char row[128];
    std::snprintf(row, sizeof row, "%4d  %13s  %12s  %9s  %-6s  %9d  ", record.iteration,
                  short_number(record.residual_norm).c_str(),
                  short_number(record.scaled_residual_norm).c_str(),
                  record.iteration == 0 ? "-" : short_number(record.step_norm).c_str(),
                  step_code(record.step_kind).c_str(), record.at_bounds);
    out << row << equation_of_row(prepared.loaded, prepared.choice, record.worst_scaled_row)
        << std::endl;
}

ModelSolution solve(PreparedSystem& prepared, const SolveOptions& options, std::ostream& out) {
    const bool log = options.system.model.format == OutputFormat::text && !options.quiet;
    if (log) {
        const SystemChoice& choice = prepared.choice;
        out << "Solving " << options.system.model.model_path << ": "
            << counted(static_cast<long long>(choice.unknowns.size()), "unknown") << ", "
            << choice.fixed.size() << " fixed"
            << (choice.freed.empty() ? "" : ", " + std::to_string(choice.freed.size()) + " freed")
            << "\n\n";
        print_log_header(out);
    }
    return solve_model(prepared.loaded, prepared.choice, prepared.settings,
                       unknown_values(prepared.loaded.session, prepared.choice),
                       [&](const IterationRecord& record) {
                           if (log) {
                               print_log_row(record, prepared, out);
                           }
                       });
}

// Every row carries the solve's status, so that the file alone says whether
// its values are a solution (and --start can tell). The outputs follow the
// variables, with no host name.
void write_csv(const PreparedSystem& prepared, const ModelSolution& result,
               const std::vector<int>& variables, const ShownOutputs& outputs, std::ostream& out) {
    const LoadedModel& loaded = prepared.loaded;
    const std::string status =
        csv_field(result.verdict) + ',' + stop_code(result.outcome.stop) + '\n';
    out << "symbol,name,value,fixed,description,status,stop_reason\n";
    for (const int number : variables) {
        out << csv_field(loaded.symbols.symbol(number)) << ','
            << csv_field(loaded.session.variable(number).name) << ','
            << csv_number(loaded.session.value(number)) << ','
            << (prepared.choice.fixed.count(number) > 0 ? "true" : "false") << ','
            << csv_field(loaded.description(number)) << ',' << status;
    }
    const ModelExtras& extras = loaded.extras();
    for (std::size_t shown = 0; shown < outputs.indices.size(); ++shown) {
        const std::size_t index = outputs.indices[shown];
        out << csv_field(extras.output_symbol(index)) << ",," << csv_number(outputs.values[shown])
            << ",false," << csv_field(extras.output_description(index)) << ',' << status;
    }
}

std::string residual_text(const PreparedSystem& prepared, const ResidualMeasure& measure) {
    return short_number(measure.value) +
           (measure.row < 0
                ? ""
                : " in " + equation_of_row(prepared.loaded, prepared.choice, measure.row));
}

std::string seconds_text(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g s", seconds);
    return text;
}

// The residual measures at the point and where the time went.
void print_summary(const PreparedSystem& prepared, const SolveOutcome& outcome, std::ostream& out) {
    const SolveTiming& timing = outcome.timing;
    const int iterations = outcome.history.back().iteration;
    out << "Residuals   largest " << residual_text(prepared, outcome.largest_absolute)
        << "; largest scaled " << residual_text(prepared, outcome.largest_scaled) << '\n'
        << "Time        " << seconds_text(timing.total) << ": evaluation "
        << seconds_text(timing.evaluation) << ", LU " << seconds_text(timing.lu) << ", rest "
        << seconds_text(timing.total - timing.evaluation - timing.lu);
    if (iterations > 0) {
        out << "; " << seconds_text(timing.total / iterations) << " per iteration";
    }
    out << "\n\n";
}

std::string value_mark(const PreparedSystem& prepared, const ModelSolution& result, int number) {
    if (prepared.choice.fixed.count(number) > 0) {
        return "fixed";
    }
    const int specification = prepared.loaded.extras().specification_of(number);
    if (specification > 0 && prepared.choice.freed.count(specification) == 0) {
        return "parameter";
    }
    const std::string& bound = result.bound_of_variable[static_cast<std::size_t>(number)];
    return bound.empty() ? "" : "at " + bound;
}

void print_result(const PreparedSystem& prepared, const ModelSolution& result,
                  const std::vector<int>& variables, const ShownOutputs& outputs,
                  std::ostream& out) {
    const LoadedModel& loaded = prepared.loaded;
    const ModelSession& session = loaded.session;
    out << "Status      " << result.verdict << " (" << result.stop_message << ")\n";
    print_summary(prepared, result.outcome, out);
    using Align = TextTable::Align;
    TextTable table({{"symbol", Align::left},
                     {"value", Align::right},
                     {"lower", Align::right},
                     {"upper", Align::right},
                     {"", Align::left}});
    const DescriptionColumn descriptions(table, loaded);
    for (const int number : variables) {
        const rtvar_t& variable = session.variable(number);
        table.add_row(descriptions.row(
            number, {loaded.symbols.symbol(number), readable_number(session.value(number)),
                     readable_number(variable.lower), readable_number(variable.upper),
                     value_mark(prepared, result, number)}));
    }
    add_output_rows(table, descriptions, loaded, outputs, 2);
    table.print(out);
}

// What --output names, else every variable and every output.
OutputChoice shown_choice(const PreparedSystem& prepared, const std::vector<std::string>& outputs) {
    std::vector<int> every(static_cast<std::size_t>(prepared.loaded.session.variable_count()));
    std::iota(every.begin(), every.end(), 1);
    return chosen_outputs(prepared.loaded.symbols, &prepared.loaded.extras(), outputs, every,
                          "--output");
}

std::vector<int> variables_of(const OutputChoice& choice) {
    std::vector<int> variables;
    std::copy_if(choice.numbers.begin(), choice.numbers.end(), std::back_inserter(variables),
                 [](int number) { return number > 0; });
    return variables;
}

std::vector<std::size_t> model_outputs_of(const OutputChoice& choice) {
    std::vector<std::size_t> indices;
    for (std::size_t column = 0; column < choice.numbers.size(); ++column) {
        if (choice.numbers[column] == 0) {
            indices.push_back(choice.model_outputs[column]);
        }
    }
    return indices;
}

// The outputs follow the variables in the document when any are shown.
std::vector<JsonMember> with_outputs(std::vector<JsonMember> document, const LoadedModel& loaded,
                                     const ShownOutputs& outputs) {
    if (!outputs.empty()) {
        const auto variables =
            std::find_if(document.begin(), document.end(),
                         [](const JsonMember& member) { return member.key == "variables"; });
        document.emplace(variables + 1, "outputs", output_elements(loaded, outputs));
    }
    return document;
}

}  // namespace

void add_solve_options(CLI::App& command, SolveOptions& options) {
    add_system_options(command, options.system);
    command
        .add_option("--output", options.outputs,
                    "show only this variable, or a family's pattern (x[*]); repeatable")
        ->take_all();
    command.add_flag("--quiet", options.quiet, "leave out the log of the iterations");
    command.add_option("--plot", options.plot_path, "write the convergence history as SVG");
}

int run_solve(const SolveOptions& options, const CommandContext& context) {
    std::ostream& out = context.out;
    std::ostream& err = context.err;
    refuse_to_overwrite("--plot", options.plot_path, options.system.model.model_path);
    PreparedSystem prepared(options.system, context, {}, err);
    const OutputChoice choice = shown_choice(prepared, options.outputs);
    const std::vector<int> shown = variables_of(choice);
    const ModelSolution result = solve(prepared, options, out);
    const ShownOutputs outputs = shown_outputs(prepared.loaded, model_outputs_of(choice));
    const bool converged = result.converged();
    if (!converged) {
        err << "quillon: solve stopped: " << result.stop_message << '\n';
    }
    switch (options.system.model.format) {
        case OutputFormat::json:
            write_json_object(
                out, with_outputs(solve_document(prepared.loaded, prepared.choice, result, shown),
                                  prepared.loaded, outputs));
            break;
        case OutputFormat::csv:
            write_csv(prepared, result, shown, outputs, out);
            break;
        case OutputFormat::text:
            out << (options.quiet ? "" : "\n");  // after the log
            print_result(prepared, result, shown, outputs, out);
            break;
    }
    if (!options.plot_path.empty()) {
        write_convergence_plot(options.plot_path, result.outcome.history,
                               options.system.model.model_path + ": " + result.verdict);
    }
    return converged ? exit_code::success : exit_code::failure;
}
