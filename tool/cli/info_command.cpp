#include "info_command.h"

#include "description_column.h"
#include "exit_codes.h"
#include "json_output.h"
#include "loaded_model.h"
#include "text_table.h"

namespace {

nlohmann::ordered_json variable_entry(const LoadedModel& loaded, int number) {
    const rtvar_t& variable = loaded.session.variable(number);
    return json_record({{"number", number},
                        {"symbol", loaded.symbols.symbol(number)},
                        {"name", variable.name},
                        {"description", loaded.description(number)},
                        {"initial", json_number(variable.initial)},
                        {"lower", json_number(variable.lower)},
                        {"upper", json_number(variable.upper)}});
}

nlohmann::ordered_json equation_entry(const LoadedModel& loaded, int number) {
    return json_record({{"number", number},
                        {"name", loaded.equation_name(number)},
                        {"host_name", loaded.session.equation(number).name},
                        {"text", loaded.equation_text(number)}});
}

// (equation, variable) of a nonzero.
nlohmann::ordered_json pattern_entry(const ModelSession& session, int number) {
    const rt_nz_t& nonzero = session.nonzero(number);
    return {nonzero.equation, nonzero.variable};
}

// The counts, and unless `summary` the lists, made as they are written.
std::vector<JsonMember> info_document(const LoadedModel& loaded, bool summary) {
    const ModelSession& session = loaded.session;
    std::vector<JsonMember> document{{"identity", session.identity()},
                                     {"variables", session.variable_count()},
                                     {"equations", session.equation_count()},
                                     {"nonzeros", session.nonzero_count()}};
    if (summary) {
        return document;
    }
    document.emplace_back("pattern", numbered_elements(session.nonzero_count(), [&](int number) {
                              return pattern_entry(session, number);
                          }));
    document.emplace_back("variable_list",
                          numbered_elements(session.variable_count(), [&](int number) {
                              return variable_entry(loaded, number);
                          }));
    document.emplace_back("equation_list",
                          numbered_elements(session.equation_count(), [&](int number) {
                              return equation_entry(loaded, number);
                          }));
    return document;
}

void print_variables(const LoadedModel& loaded, std::ostream& out) {
    using Align = TextTable::Align;
    TextTable table({{"number", Align::right},
                     {"symbol", Align::left},
                     {"initial", Align::right},
                     {"lower", Align::right},
                     {"upper", Align::right}});
    const DescriptionColumn descriptions(table, loaded);
    for (int number = 1; number <= loaded.session.variable_count(); ++number) {
        const rtvar_t& variable = loaded.session.variable(number);
        table.add_row(descriptions.row(
            number, {std::to_string(number), loaded.symbols.symbol(number),
                     readable_number(variable.initial), readable_number(variable.lower),
                     readable_number(variable.upper)}));
    }
    out << "\nVariables\n";
    table.print(out);
}

void print_equations(const LoadedModel& loaded, std::ostream& out) {
    using Align = TextTable::Align;
    TextTable table({{"number", Align::right}, {"name", Align::left}, {"text", Align::left}});
    for (int number = 1; number <= loaded.session.equation_count(); ++number) {
        table.add_row(
            {std::to_string(number), loaded.equation_name(number), loaded.equation_text(number)});
    }
    out << "\nEquations\n";
    table.print(out);
}

void print_pattern(const LoadedModel& loaded, std::ostream& out) {
    using Align = TextTable::Align;
    TextTable table({{"nonzero", Align::right},
                     {"equation", Align::right},
                     {"equation name", Align::left},
                     {"variable", Align::right},
                     {"symbol", Align::left}});
    const ModelSession& session = loaded.session;
    for (int number = 1; number <= session.nonzero_count(); ++number) {
        const rt_nz_t& nonzero = session.nonzero(number);
        table.add_row({std::to_string(number), std::to_string(nonzero.equation),
                       loaded.equation_name(nonzero.equation), std::to_string(nonzero.variable),
                       nonzero_symbol(loaded, number)});
    }
    out << "\nJacobian pattern\n";
    table.print(out);
}

void print_info(const LoadedModel& loaded, const std::string& model_path, bool summary,
                std::ostream& out) {
    const ModelSession& session = loaded.session;
    out << "Model      " << model_path << '\n'
        << "Plug-in    " << session.identity() << '\n'
        << "Variables  " << session.variable_count() << '\n'
        << "Equations  " << session.equation_count() << '\n'
        << "Nonzeros   " << session.nonzero_count() << '\n';
    if (summary) {
        return;
    }
    print_variables(loaded, out);
    print_equations(loaded, out);
    print_pattern(loaded, out);
}

}  // namespace

void add_info_options(CLI::App& command, InfoOptions& options) {
    add_model_options(command, options.model, false);
    command.add_flag("--summary", options.summary,
                     "the counts alone, without the variables and the pattern");
}

int run_info(const InfoOptions& options, const CommandContext& context) {
    const LoadedModel loaded =
        load_model(options.model, context,
                   options.summary ? std::nullopt : std::optional(ScanTexts::with_equation_texts));
    if (!options.summary) {
        loaded.file(ScanTexts::with_equation_texts);
    }
    if (options.model.format == OutputFormat::json) {
        write_json_object(context.out, info_document(loaded, options.summary));
    } else {
        print_info(loaded, options.model.model_path, options.summary, context.out);
    }
    return exit_code::success;
}
