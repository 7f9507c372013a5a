#include "info_command.h"

#include "exit_codes.h"
#include "json_output.h"
#include "loaded_model.h"
#include "text_table.h"

namespace {

nlohmann::ordered_json info_document(const LoadedModel& loaded, bool summary) {
    const ModelSession& session = loaded.session;
    nlohmann::ordered_json document{{"identity", session.identity()},
                                    {"variables", session.variable_count()},
                                    {"equations", session.equation_count()},
                                    {"nonzeros", session.nonzero_count()}};
    if (summary) {
        return document;
    }
    nlohmann::ordered_json pattern = nlohmann::ordered_json::array();
    for (int number = 1; number <= session.nonzero_count(); ++number) {
        const rt_nz_t& nonzero = session.nonzero(number);
        pattern.push_back({nonzero.equation, nonzero.variable});
    }
    document["pattern"] = std::move(pattern);
    return document;
}

void print_variables(const LoadedModel& loaded, std::ostream& out) {
    using Align = TextTable::Align;
    TextTable table({{"number", Align::right},
                     {"symbol", Align::left},
                     {"name", Align::left},
                     {"initial", Align::right},
                     {"lower", Align::right},
                     {"upper", Align::right}});
    for (int number = 1; number <= loaded.session.variable_count(); ++number) {
        const rtvar_t& variable = loaded.session.variable(number);
        table.add_row({std::to_string(number), loaded.symbols.symbol(number), variable.name,
                       readable_number(variable.initial), readable_number(variable.lower),
                       readable_number(variable.upper)});
    }
    out << "\nVariables\n";
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
                       session.equation(nonzero.equation).name, std::to_string(nonzero.variable),
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
    print_pattern(loaded, out);
}

}  // namespace

void add_info_options(CLI::App& command, InfoOptions& options) {
    add_model_options(command, options.model, false);
    command.add_flag("--summary", options.summary,
                     "the counts alone, without the variables and the pattern");
}

int run_info(const InfoOptions& options, const CommandContext& context) {
    const LoadedModel loaded = load_model(options.model, context);
    if (options.model.format == OutputFormat::json) {
        write_json(context.out, info_document(loaded, options.summary));
    } else {
        print_info(loaded, options.model.model_path, options.summary, context.out);
    }
    return exit_code::success;
}
