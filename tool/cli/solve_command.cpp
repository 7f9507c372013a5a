#include "solve_command.h"

#include <algorithm>
#include <cstdio>

#include "csv_output.h"
#include "description_column.h"
#include "exit_codes.h"
#include "json_output.h"
#include "model_input.h"
#include "model_outputs.h"
#include "prepared_system.h"
#include "solve_report.h"
#include "stop_details.h"
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
    const bool log = options.system.model.format == OutputFormat::text;
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

nlohmann::ordered_json bound_member(const ModelSolution& result, int number) {
    const std::string& bound = result.bound_of_variable[static_cast<std::size_t>(number)];
    return bound.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(bound);
}

nlohmann::ordered_json equation_member(const PreparedSystem& prepared, int row) {
    return row < 0 ? nlohmann::ordered_json(nullptr)
                   : nlohmann::ordered_json(equation_of_row(prepared.loaded, prepared.choice, row));
}

nlohmann::ordered_json residual_member(const PreparedSystem& prepared,
                                       const ResidualMeasure& measure) {
    return {{"value", json_number(measure.value)},
            {"equation", equation_member(prepared, measure.row)}};
}

nlohmann::ordered_json history_entry(const PreparedSystem& prepared,
                                     const IterationRecord& record) {
    const LoadedModel& loaded = prepared.loaded;
    const SystemChoice& choice = prepared.choice;
    return json_record(
        {{"iteration", record.iteration},
         {"residual_norm", json_number(record.residual_norm)},
         {"step_norm", json_number(record.step_norm)},
         {"worst_equation", equation_of_row(loaded, choice, record.worst_row)},
         {"at_bounds", record.at_bounds},
         {"scaled_residual_norm", json_number(record.scaled_residual_norm)},
         {"worst_scaled_equation", equation_of_row(loaded, choice, record.worst_scaled_row)},
         {"step_kind", step_code(record.step_kind)},
         {"trust_radius", json_number(record.trust_radius)}});
}

nlohmann::ordered_json at_bound_entry(const PreparedSystem& prepared, const ModelSolution& result,
                                      const BoundContact& contact) {
    const int number = prepared.choice.unknowns[static_cast<std::size_t>(contact.column)];
    return json_record({{"symbol", prepared.loaded.symbols.symbol(number)},
                        {"bound", bound_member(result, number)}});
}

nlohmann::ordered_json variable_entry(const PreparedSystem& prepared, const ModelSolution& result,
                                      int number) {
    const LoadedModel& loaded = prepared.loaded;
    const ModelSession& session = loaded.session;
    return json_record({{"symbol", loaded.symbols.symbol(number)},
                        {"name", session.variable(number).name},
                        {"value", json_number(session.value(number))},
                        {"fixed", prepared.choice.fixed.count(number) > 0},
                        {"parameter", loaded.extras().specification_of(number) > 0},
                        {"bound", bound_member(result, number)},
                        {"description", loaded.description(number)}});
}

nlohmann::ordered_json equation_entry(const PreparedSystem& prepared, int number) {
    const LoadedModel& loaded = prepared.loaded;
    const ModelSession& session = loaded.session;
    return json_record({{"name", loaded.equation_name(number)},
                        {"residual", json_number(session.residual(number))},
                        {"freed", prepared.choice.freed.count(number) > 0},
                        {"host_name", session.equation(number).name}});
}

nlohmann::ordered_json timing_member(const SolveOutcome& outcome) {
    const SolveTiming& timing = outcome.timing;
    return {{"evaluation_seconds", timing.evaluation},
            {"lu_seconds", timing.lu},
            {"other_seconds", timing.total - timing.evaluation - timing.lu},
            {"total_seconds", timing.total},
            {"last_iteration_seconds", timing.last_iteration}};
}

// The document of the solve; the lists that grow with the model are made as
// they are written. The outputs follow the variables when the model has any.
std::vector<JsonMember> solve_document(const PreparedSystem& prepared, const ModelSolution& result,
                                       const std::vector<double>& outputs) {
    const ModelSession& session = prepared.loaded.session;
    const SolveOutcome& outcome = result.outcome;
    const IterationRecord& last = outcome.history.back();
    std::vector<JsonMember> members{{"status", result.verdict},
                                    {"iterations", last.iteration},
                                    {"residual_norm", json_number(last.residual_norm)},
                                    {"stop_reason", stop_code(outcome.stop)},
                                    {"message", result.stop_message}};
    const nlohmann::ordered_json details = stop_details(result, prepared.loaded, prepared.choice);
    for (const auto& [key, value] : details.items()) {
        members.emplace_back(key, value);
    }
    members.insert(
        members.end(),
        {{"scaled_residual_norm", json_number(outcome.largest_scaled.value)},
         {"largest_residual", residual_member(prepared, outcome.largest_absolute)},
         {"largest_scaled_residual", residual_member(prepared, outcome.largest_scaled)},
         {"at_bounds", elements_of(outcome.at_bounds,
                                   [&](const BoundContact& contact) {
                                       return at_bound_entry(prepared, result, contact);
                                   })},
         {"timing", timing_member(outcome)},
         {"variables",
          numbered_elements(session.variable_count(),
                            [&](int number) { return variable_entry(prepared, result, number); })},
         {"equations",
          numbered_elements(session.equation_count(),
                            [&](int number) { return equation_entry(prepared, number); })},
         {"history", elements_of(outcome.history, [&](const IterationRecord& record) {
              return history_entry(prepared, record);
          })}});
    if (!outputs.empty()) {
        const auto variables =
            std::find_if(members.begin(), members.end(),
                         [](const JsonMember& member) { return member.key == "variables"; });
        members.emplace(variables + 1, "outputs", output_elements(prepared.loaded, outputs));
    }
    return members;
}

// The outputs follow the variables, with no host name.
void write_csv(const PreparedSystem& prepared, const std::vector<double>& outputs,
               std::ostream& out) {
    const LoadedModel& loaded = prepared.loaded;
    out << "symbol,name,value,fixed,description\n";
    for (int number = 1; number <= loaded.session.variable_count(); ++number) {
        out << csv_field(loaded.symbols.symbol(number)) << ','
            << csv_field(loaded.session.variable(number).name) << ','
            << csv_number(loaded.session.value(number)) << ','
            << (prepared.choice.fixed.count(number) > 0 ? "true" : "false") << ','
            << csv_field(loaded.description(number)) << '\n';
    }
    const ModelExtras& extras = loaded.extras();
    for (std::size_t index = 0; index < outputs.size(); ++index) {
        out << csv_field(extras.output_symbol(index)) << ",," << csv_number(outputs[index])
            << ",false," << csv_field(extras.output_description(index)) << '\n';
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
                  const std::vector<double>& outputs, std::ostream& out) {
    const LoadedModel& loaded = prepared.loaded;
    const ModelSession& session = loaded.session;
    out << "\nStatus      " << result.verdict << " (" << result.stop_message << ")\n";
    print_summary(prepared, result.outcome, out);
    using Align = TextTable::Align;
    TextTable table({{"symbol", Align::left},
                     {"value", Align::right},
                     {"lower", Align::right},
                     {"upper", Align::right},
                     {"", Align::left}});
    const DescriptionColumn descriptions(table, loaded);
    for (int number = 1; number <= session.variable_count(); ++number) {
        const rtvar_t& variable = session.variable(number);
        table.add_row(descriptions.row(
            number, {loaded.symbols.symbol(number), readable_number(session.value(number)),
                     readable_number(variable.lower), readable_number(variable.upper),
                     value_mark(prepared, result, number)}));
    }
    add_output_rows(table, descriptions, loaded, outputs, 2);
    table.print(out);
}

}  // namespace

void add_solve_options(CLI::App& command, SolveOptions& options) {
    add_system_options(command, options.system);
    command.add_option("--plot", options.plot_path, "write the convergence history as SVG");
}

int run_solve(const SolveOptions& options, const CommandContext& context) {
    std::ostream& out = context.out;
    std::ostream& err = context.err;
    refuse_to_overwrite("--plot", options.plot_path, options.system.model.model_path);
    PreparedSystem prepared(options.system, context, {}, err);
    const ModelSolution result = solve(prepared, options, out);
    const std::vector<double> outputs = output_values(prepared.loaded);
    const bool converged = result.converged();
    if (!converged) {
        err << "quillon: solve stopped: " << result.stop_message << '\n';
    }
    switch (options.system.model.format) {
        case OutputFormat::json:
            write_json_object(out, solve_document(prepared, result, outputs));
            break;
        case OutputFormat::csv:
            write_csv(prepared, outputs, out);
            break;
        case OutputFormat::text:
            print_result(prepared, result, outputs, out);
            break;
    }
    if (!options.plot_path.empty()) {
        write_convergence_plot(options.plot_path, result.outcome.history,
                               options.system.model.model_path + ": " + result.verdict);
    }
    return converged ? exit_code::success : exit_code::failure;
}
