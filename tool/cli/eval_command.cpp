#include "eval_command.h"

#include "description_column.h"
#include "exit_codes.h"
#include "json_output.h"
#include "loaded_model.h"
#include "model_outputs.h"
#include "text_table.h"

namespace {

nlohmann::ordered_json variable_entry(const LoadedModel& loaded, int number) {
    return json_record({{"number", number},
                        {"symbol", loaded.symbols.symbol(number)},
                        {"name", loaded.session.variable(number).name},
                        {"value", json_number(loaded.session.value(number))},
                        {"description", loaded.description(number)}});
}

nlohmann::ordered_json equation_entry(const LoadedModel& loaded, int number) {
    const ModelSession& session = loaded.session;
    return json_record({{"number", number},
                        {"name", loaded.equation_name(number)},
                        {"residual", json_number(session.residual(number))},
                        {"host_name", session.equation(number).name},
                        {"text", loaded.equation_text(number)}});
}

nlohmann::ordered_json jacobian_entry(const ModelSession& session, int number) {
    const rt_nz_t& nonzero = session.nonzero(number);
    return json_record({{"nonzero", number},
                        {"equation", nonzero.equation},
                        {"variable", nonzero.variable},
                        {"value", json_number(session.jacobian_value(number))}});
}

// The values at the point, made as they are written; the outputs follow the
// variables when the model has any.
std::vector<JsonMember> eval_document(const LoadedModel& loaded, const ShownOutputs& outputs) {
    const ModelSession& session = loaded.session;
    std::vector<JsonMember> document{
        {"variables",
         numbered_elements(session.variable_count(),
                           [&](int number) { return variable_entry(loaded, number); })},
        {"equations",
         numbered_elements(session.equation_count(),
                           [&](int number) { return equation_entry(loaded, number); })},
        {"jacobian", numbered_elements(session.nonzero_count(), [&](int number) {
             return jacobian_entry(session, number);
         })}};
    if (!outputs.empty()) {
        document.emplace(document.begin() + 1, "outputs", output_elements(loaded, outputs));
    }
    return document;
}

void print_variables(const LoadedModel& loaded, std::ostream& out) {
    using Align = TextTable::Align;
    TextTable table({{"number", Align::right}, {"symbol", Align::left}, {"value", Align::right}});
    const DescriptionColumn descriptions(table, loaded);
    for (int number = 1; number <= loaded.session.variable_count(); ++number) {
        table.add_row(
            descriptions.row(number, {std::to_string(number), loaded.symbols.symbol(number),
                                      readable_number(loaded.session.value(number))}));
    }
    out << "Variables\n";
    table.print(out);
}

void print_outputs(const LoadedModel& loaded, const ShownOutputs& outputs, std::ostream& out) {
    if (outputs.empty()) {
        return;
    }
    using Align = TextTable::Align;
    TextTable table({{"symbol", Align::left}, {"value", Align::right}, {"", Align::left}});
    const DescriptionColumn descriptions(table, loaded);
    add_output_rows(table, descriptions, loaded, outputs, 0);
    out << "\nOutputs\n";
    table.print(out);
}

void print_equations(const LoadedModel& loaded, std::ostream& out) {
    using Align = TextTable::Align;
    TextTable table({{"number", Align::right},
                     {"name", Align::left},
                     {"residual", Align::right},
                     {"text", Align::left}});
    for (int number = 1; number <= loaded.session.equation_count(); ++number) {
        table.add_row({std::to_string(number), loaded.equation_name(number),
                       short_number(loaded.session.residual(number)),
                       loaded.equation_text(number)});
    }
    out << "\nEquations\n";
    table.print(out);
}

void print_jacobian(const LoadedModel& loaded, std::ostream& out) {
    using Align = TextTable::Align;
    TextTable table({{"nonzero", Align::right},
                     {"equation", Align::left},
                     {"variable", Align::left},
                     {"value", Align::right}});
    const ModelSession& session = loaded.session;
    for (int number = 1; number <= session.nonzero_count(); ++number) {
        const rt_nz_t& nonzero = session.nonzero(number);
        table.add_row({std::to_string(number), loaded.equation_name(nonzero.equation),
                       nonzero_symbol(loaded, number),
                       readable_number(session.jacobian_value(number))});
    }
    out << "\nJacobian\n";
    table.print(out);
}

}  // namespace

void add_eval_options(CLI::App& command, ModelOptions& options) {
    add_model_options(command, options, false);
    add_start_options(command, options);
}

int run_eval(const ModelOptions& options, const CommandContext& context) {
    std::ostream& out = context.out;
    LoadedModel loaded = load_model(options, context, ScanTexts::with_equation_texts);
    warn_about_start(loaded, options.start_path, context.err);
    loaded.file(ScanTexts::with_equation_texts);
    loaded.session.evaluate_residuals();
    loaded.session.evaluate_jacobian();
    const ShownOutputs outputs = every_output(loaded);
    if (options.format == OutputFormat::json) {
        write_json_object(out, eval_document(loaded, outputs));
    } else {
        print_variables(loaded, out);
        print_outputs(loaded, outputs, out);
        print_equations(loaded, out);
        print_jacobian(loaded, out);
    }
    return exit_code::success;
}
