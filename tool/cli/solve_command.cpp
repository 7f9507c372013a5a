#include "solve_command.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "exit_codes.h"
#include "host_system.h"
#include "json_output.h"
#include "loaded_model.h"
#include "solve_report.h"
#include "starting_point.h"
#include "svg_plot.h"
#include "text_table.h"
#include "usage_error.h"

namespace {

struct SolveResult {
    NewtonOutcome outcome;
    std::string verdict;
    std::set<int> fixed;
    std::string stop_message;
};

std::vector<int> unknown_numbers(const ModelSession& session, const std::set<int>& fixed) {
    std::vector<int> unknowns;
    for (int number = 1; number <= session.variable_count(); ++number) {
        if (fixed.count(number) == 0) {
            unknowns.push_back(number);
        }
    }
    return unknowns;
}

void require_square(const ModelSession& session, const std::set<int>& fixed) {
    const int unknowns = session.variable_count() - static_cast<int>(fixed.size());
    if (session.equation_count() != unknowns) {
        throw UsageError(
            "the system is not square: " + counted(session.equation_count(), "equation") + ", " +
            counted(session.variable_count(), "variable") + ", " + std::to_string(fixed.size()) +
            " fixed, so " + counted(unknowns, "unknown") + "; fix " +
            (unknowns > session.equation_count() ? "more" : "fewer") +
            " variables with --fix SYMBOL=VALUE");
    }
}

// Nonzeros without a variable take no part in the solve; the author should know.
void warn_incomplete(const LoadedModel& loaded, std::ostream& err) {
    for (const int number : loaded.session.incomplete_nonzeros()) {
        const rt_nz_t& nonzero = loaded.session.nonzero(number);
        err << "quillon: warning: nonzero " << number << " of equation "
            << loaded.session.equation(nonzero.equation).name << " names no model variable ('"
            << loaded.session.entry_symbol(number) << "'); it takes no part in the solve\n";
    }
}

std::vector<double> bounds(const ModelSession& session, const std::vector<int>& unknowns,
                           double rtvar_t::*bound) {
    std::vector<double> values;
    for (const int number : unknowns) {
        values.push_back(session.variable(number).*bound);
    }
    return values;
}

void print_log_header(std::ostream& out) {
    out << "iter  largest |res|       step  fraction  at bounds  worst equation\n"
        << "----  -------------  ---------  --------  ---------  --------------\n";
}

void print_log_row(const IterationRecord& record, const ModelSession& session, std::ostream& out) {
    char row[96];
    std::snprintf(row, sizeof row, "%4d  %13s  %9s  %8s  %9d  ", record.iteration,
                  short_number(record.residual_norm).c_str(),
                  record.iteration == 0 ? "-" : short_number(record.step_norm).c_str(),
                  record.iteration == 0 ? "-" : readable_number(record.step_fraction).c_str(),
                  record.at_bounds);
    out << row << (record.worst_row < 0 ? "" : session.equation(record.worst_row + 1).name)
        << std::endl;
}

SolveResult solve(LoadedModel& loaded, const SolveOptions& options, std::ostream& out,
                  std::ostream& err) {
    SolveResult result;
    for (const int number : apply_assignments(parse_assignments(options.fix), loaded.symbols,
                                              loaded.session, "--fix")) {
        result.fixed.insert(number);
    }
    require_square(loaded.session, result.fixed);
    warn_incomplete(loaded, err);
    const std::vector<int> unknowns = unknown_numbers(loaded.session, result.fixed);
    HostSystem system(loaded.session, unknowns);
    std::vector<double> start;
    for (const int number : unknowns) {
        start.push_back(loaded.session.value(number));
    }
    const bool log = options.model.format == OutputFormat::text;
    if (log) {
        out << "Solving " << options.model.model_path << ": "
            << counted(static_cast<long long>(unknowns.size()), "unknown") << ", "
            << result.fixed.size() << " fixed\n\n";
        print_log_header(out);
    }
    result.outcome = solve_newton(system, start, bounds(loaded.session, unknowns, &rtvar_t::lower),
                                  bounds(loaded.session, unknowns, &rtvar_t::upper),
                                  NewtonSettings{options.tolerance, options.max_iterations},
                                  [&](const IterationRecord& record) {
                                      if (log) {
                                          print_log_row(record, loaded.session, out);
                                      }
                                  });
    // The host's vectors end at the solution, not at the last trial point.
    system.load(result.outcome.x);
    loaded.session.evaluate_residuals();
    result.verdict = loaded.session.report_solve(result.outcome.stop == NewtonStop::converged);
    result.stop_message = describe_stop(result.outcome, loaded, unknowns);
    return result;
}

std::string history_equation(const LoadedModel& loaded, int row) {
    return row < 0 ? "" : loaded.session.equation(row + 1).name;
}

nlohmann::ordered_json solve_document(const LoadedModel& loaded, const SolveResult& result) {
    const ModelSession& session = loaded.session;
    nlohmann::ordered_json variables = nlohmann::ordered_json::array();
    for (int number = 1; number <= session.variable_count(); ++number) {
        variables.push_back({{"symbol", loaded.symbols.symbol(number)},
                             {"name", session.variable(number).name},
                             {"value", json_number(session.value(number))},
                             {"fixed", result.fixed.count(number) > 0}});
    }
    nlohmann::ordered_json equations = nlohmann::ordered_json::array();
    for (int number = 1; number <= session.equation_count(); ++number) {
        equations.push_back({{"name", session.equation(number).name},
                             {"residual", json_number(session.residual(number))}});
    }
    nlohmann::ordered_json history = nlohmann::ordered_json::array();
    for (const IterationRecord& record : result.outcome.history) {
        history.push_back({{"iteration", record.iteration},
                           {"residual_norm", json_number(record.residual_norm)},
                           {"step_norm", json_number(record.step_norm)},
                           {"worst_equation", history_equation(loaded, record.worst_row)},
                           {"at_bounds", record.at_bounds}});
    }
    const IterationRecord& last = result.outcome.history.back();
    return {{"status", result.verdict},
            {"iterations", last.iteration},
            {"residual_norm", json_number(last.residual_norm)},
            {"stop_reason", stop_code(result.outcome.stop)},
            {"message", result.stop_message},
            {"variables", std::move(variables)},
            {"equations", std::move(equations)},
            {"history", std::move(history)}};
}

// A CSV field, quoted when it holds a separator, a quote or a line end.
std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char character : text) {
        quoted += character == '"' ? "\"\"" : std::string(1, character);
    }
    return quoted + "\"";
}

std::string round_trip_number(double value) {
    const nlohmann::ordered_json number = json_number(value);
    return number.is_string() ? number.get<std::string>() : number.dump();
}

void write_csv(const LoadedModel& loaded, const SolveResult& result, std::ostream& out) {
    out << "symbol,name,value,fixed\n";
    for (int number = 1; number <= loaded.session.variable_count(); ++number) {
        out << csv_field(loaded.symbols.symbol(number)) << ','
            << csv_field(loaded.session.variable(number).name) << ','
            << round_trip_number(loaded.session.value(number)) << ','
            << (result.fixed.count(number) > 0 ? "true" : "false") << '\n';
    }
}

void print_result(const LoadedModel& loaded, const SolveResult& result, std::ostream& out) {
    const ModelSession& session = loaded.session;
    out << "\nStatus      " << result.verdict << " (" << result.stop_message << ")\n\n";
    using Align = TextTable::Align;
    TextTable table({{"symbol", Align::left},
                     {"name", Align::left},
                     {"value", Align::right},
                     {"lower", Align::right},
                     {"upper", Align::right},
                     {"", Align::left}});
    for (int number = 1; number <= session.variable_count(); ++number) {
        const rtvar_t& variable = session.variable(number);
        table.add_row({loaded.symbols.symbol(number), variable.name,
                       readable_number(session.value(number)), readable_number(variable.lower),
                       readable_number(variable.upper),
                       result.fixed.count(number) > 0 ? "fixed" : ""});
    }
    table.print(out);
}

}  // namespace

void add_solve_options(CLI::App& command, SolveOptions& options) {
    add_model_options(command, options.model, true);
    add_at_option(command, options.model);
    command
        .add_option("--fix", options.fix,
                    "specify SYMBOL at VALUE, no longer an unknown; repeatable")
        ->check(assignment_text())
        ->take_all();
    command.add_option("--tol", options.tolerance, "largest absolute residual accepted")
        ->check(sign_check(false))
        ->capture_default_str();
    command.add_option("--max-iter", options.max_iterations, "most Newton steps")
        ->check(sign_check(true))
        ->capture_default_str();
    command.add_option("--plot", options.plot_path, "write the convergence history as SVG");
}

int run_solve(const SolveOptions& options, const CommandContext& context) {
    std::ostream& out = context.out;
    std::ostream& err = context.err;
    LoadedModel loaded = load_model(options.model, context.plugin_path);
    const SolveResult result = solve(loaded, options, out, err);
    const bool converged = result.outcome.stop == NewtonStop::converged;
    if (!converged) {
        err << "quillon: solve stopped: " << result.stop_message << '\n';
    }
    switch (options.model.format) {
        case OutputFormat::json:
            write_json(out, solve_document(loaded, result));
            break;
        case OutputFormat::csv:
            write_csv(loaded, result, out);
            break;
        case OutputFormat::text:
            print_result(loaded, result, out);
            break;
    }
    if (!options.plot_path.empty()) {
        write_convergence_plot(options.plot_path, result.outcome.history,
                               options.model.model_path + ": " + result.verdict);
    }
    return converged ? exit_code::success : exit_code::failure;
}
