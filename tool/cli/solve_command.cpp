#include "solve_command.h"

#include <algorithm>
#include <cstdio>

#include "exit_codes.h"
#include "json_output.h"
#include "loaded_model.h"
#include "model_input.h"
#include "model_solve.h"
#include "starting_point.h"
#include "svg_plot.h"
#include "text_table.h"

namespace {

struct SolveResult {
    SolvePlan plan;
    ModelSolution solution;
};

void print_log_header(std::ostream& out) {
    out << "iter  largest |res|  scaled |res|       step  kind    at bounds  worst scaled "
           "equation\n"
        << "----  -------------  ------------  ---------  ------  ---------  "
           "---------------------\n";
}

void print_log_row(const IterationRecord& record, const ModelSession& session, std::ostream& out) {
    char row[128];
    std::snprintf(row, sizeof row, "%4d  %13s  %12s  %9s  %-6s  %9d  ", record.iteration,
                  short_number(record.residual_norm).c_str(),
                  short_number(record.scaled_residual_norm).c_str(),
                  record.iteration == 0 ? "-" : short_number(record.step_norm).c_str(),
                  step_code(record.step_kind).c_str(), record.at_bounds);
    out << row
        << (record.worst_scaled_row < 0 ? "" : session.equation(record.worst_scaled_row + 1).name)
        << std::endl;
}

SolverSettings solver_settings(const SolveOptions& options) {
    SolverSettings settings;
    settings.tolerance = options.tolerance;
    settings.absolute_tolerance = options.absolute_tolerance;
    settings.max_iterations = options.max_iterations;
    return settings;
}

SolveResult solve(LoadedModel& loaded, const SolveOptions& options, std::ostream& out,
                  std::ostream& err) {
    SolveResult result;
    result.plan =
        plan_solve(loaded, parse_assignments(options.fix), {"--fix", "--fix SYMBOL=VALUE"});
    for (const std::string& warning : result.plan.warnings) {
        err << "quillon: warning: " << warning << '\n';
    }
    const bool log = options.model.format == OutputFormat::text;
    if (log) {
        out << "Solving " << options.model.model_path << ": "
            << counted(static_cast<long long>(result.plan.unknowns.size()), "unknown") << ", "
            << result.plan.fixed.size() << " fixed\n\n";
        print_log_header(out);
    }
    result.solution = solve_model(loaded, result.plan, solver_settings(options),
                                  [&](const IterationRecord& record) {
                                      if (log) {
                                          print_log_row(record, loaded.session, out);
                                      }
                                  });
    return result;
}

std::string history_equation(const LoadedModel& loaded, int row) {
    return row < 0 ? "" : loaded.session.equation(row + 1).name;
}

nlohmann::ordered_json bound_member(const SolveResult& result, int number) {
    const std::string& bound = result.solution.bound_of_variable[static_cast<std::size_t>(number)];
    return bound.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(bound);
}

nlohmann::ordered_json residual_member(const LoadedModel& loaded, const ResidualMeasure& measure) {
    return {{"value", json_number(measure.value)},
            {"equation", measure.row < 0
                             ? nlohmann::ordered_json(nullptr)
                             : nlohmann::ordered_json(history_equation(loaded, measure.row))}};
}

nlohmann::ordered_json timing_member(const SolveOutcome& outcome) {
    const SolveTiming& timing = outcome.timing;
    return {{"evaluation_seconds", timing.evaluation},
            {"lu_seconds", timing.lu},
            {"other_seconds", timing.total - timing.evaluation - timing.lu},
            {"total_seconds", timing.total}};
}

nlohmann::ordered_json solve_document(const LoadedModel& loaded, const SolveResult& result) {
    const ModelSession& session = loaded.session;
    nlohmann::ordered_json variables = nlohmann::ordered_json::array();
    for (int number = 1; number <= session.variable_count(); ++number) {
        variables.push_back({{"symbol", loaded.symbols.symbol(number)},
                             {"name", session.variable(number).name},
                             {"value", json_number(session.value(number))},
                             {"fixed", result.plan.fixed.count(number) > 0},
                             {"bound", bound_member(result, number)}});
    }
    nlohmann::ordered_json equations = nlohmann::ordered_json::array();
    for (int number = 1; number <= session.equation_count(); ++number) {
        equations.push_back({{"name", session.equation(number).name},
                             {"residual", json_number(session.residual(number))}});
    }
    nlohmann::ordered_json history = nlohmann::ordered_json::array();
    for (const IterationRecord& record : result.solution.outcome.history) {
        history.push_back(
            {{"iteration", record.iteration},
             {"residual_norm", json_number(record.residual_norm)},
             {"step_norm", json_number(record.step_norm)},
             {"worst_equation", history_equation(loaded, record.worst_row)},
             {"at_bounds", record.at_bounds},
             {"scaled_residual_norm", json_number(record.scaled_residual_norm)},
             {"worst_scaled_equation", history_equation(loaded, record.worst_scaled_row)},
             {"step_kind", step_code(record.step_kind)},
             {"trust_radius", json_number(record.trust_radius)}});
    }
    const SolveOutcome& outcome = result.solution.outcome;
    const IterationRecord& last = outcome.history.back();
    nlohmann::ordered_json at_bounds = nlohmann::ordered_json::array();
    for (const BoundContact& contact : outcome.at_bounds) {
        const int number = result.plan.unknowns[static_cast<std::size_t>(contact.column)];
        at_bounds.push_back(
            {{"symbol", loaded.symbols.symbol(number)}, {"bound", bound_member(result, number)}});
    }
    return {{"status", result.solution.verdict},
            {"iterations", last.iteration},
            {"residual_norm", json_number(last.residual_norm)},
            {"stop_reason", stop_code(outcome.stop)},
            {"message", result.solution.stop_message},
            {"scaled_residual_norm", json_number(outcome.largest_scaled.value)},
            {"largest_residual", residual_member(loaded, outcome.largest_absolute)},
            {"largest_scaled_residual", residual_member(loaded, outcome.largest_scaled)},
            {"at_bounds", std::move(at_bounds)},
            {"timing", timing_member(outcome)},
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
            << (result.plan.fixed.count(number) > 0 ? "true" : "false") << '\n';
    }
}

std::string residual_text(const LoadedModel& loaded, const ResidualMeasure& measure) {
    return short_number(measure.value) +
           (measure.row < 0 ? "" : " in " + history_equation(loaded, measure.row));
}

std::string seconds_text(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g s", seconds);
    return text;
}

// The residual measures at the point and where the time went.
void print_summary(const LoadedModel& loaded, const SolveOutcome& outcome, std::ostream& out) {
    const SolveTiming& timing = outcome.timing;
    const int iterations = outcome.history.back().iteration;
    out << "Residuals   largest " << residual_text(loaded, outcome.largest_absolute)
        << "; largest scaled " << residual_text(loaded, outcome.largest_scaled) << '\n'
        << "Time        " << seconds_text(timing.total) << ": evaluation "
        << seconds_text(timing.evaluation) << ", LU " << seconds_text(timing.lu) << ", rest "
        << seconds_text(timing.total - timing.evaluation - timing.lu);
    if (iterations > 0) {
        out << "; " << seconds_text(timing.total / iterations) << " per iteration";
    }
    out << "\n\n";
}

std::string value_mark(const SolveResult& result, int number) {
    if (result.plan.fixed.count(number) > 0) {
        return "fixed";
    }
    const std::string& bound = result.solution.bound_of_variable[static_cast<std::size_t>(number)];
    return bound.empty() ? "" : "at " + bound;
}

void print_result(const LoadedModel& loaded, const SolveResult& result, std::ostream& out) {
    const ModelSession& session = loaded.session;
    out << "\nStatus      " << result.solution.verdict << " (" << result.solution.stop_message
        << ")\n";
    print_summary(loaded, result.solution.outcome, out);
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
                       readable_number(variable.upper), value_mark(result, number)});
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
    command
        .add_option("--tol", options.tolerance,
                    "largest residual accepted relative to its equation's scale")
        ->check(sign_check(false))
        ->capture_default_str();
    command
        .add_option("--abs-tol", options.absolute_tolerance,
                    "largest absolute residual accepted as well (default: no absolute test)")
        ->check(sign_check(false));
    command.add_option("--max-iter", options.max_iterations, "most iterations")
        ->check(sign_check(true))
        ->capture_default_str();
    command.add_option("--plot", options.plot_path, "write the convergence history as SVG");
}

int run_solve(const SolveOptions& options, const CommandContext& context) {
    std::ostream& out = context.out;
    std::ostream& err = context.err;
    refuse_to_overwrite("--plot", options.plot_path, options.model.model_path);
    LoadedModel loaded = load_model(options.model, context);
    const SolveResult result = solve(loaded, options, out, err);
    const bool converged = result.solution.outcome.stop == SolveStop::converged;
    if (!converged) {
        err << "quillon: solve stopped: " << result.solution.stop_message << '\n';
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
        write_convergence_plot(options.plot_path, result.solution.outcome.history,
                               options.model.model_path + ": " + result.solution.verdict);
    }
    return converged ? exit_code::success : exit_code::failure;
}
