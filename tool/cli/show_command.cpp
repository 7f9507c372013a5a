#include "show_command.h"

#include "exit_codes.h"
#include "model_definition.h"
#include "model_language.h"
#include "name_resolver.h"
#include "usage_error.h"

void add_show_options(CLI::App& command, ShowOptions& options) {
    command.add_option("MODEL", options.model_path, "model file (JSON)")
        ->required()
        ->check(CLI::ExistingFile);
    command.add_option("--equation", options.equation, "only the equations of this name");
}

int run_show(const ShowOptions& options, const CommandContext& context) {
    ModelDefinition model;
    model.load_model(options.model_path);
    if (!options.equation) {
        context.out << lang::show_model(model);
        return exit_code::success;
    }
    std::vector<std::string> names;
    for (const ExprNode& equation : model.equations()) {
        names.emplace_back(equation.equation_name());
    }
    const NameResolver resolver(names, "equation");
    const std::size_t first = resolver.resolve(*options.equation, "--equation").front();
    const std::optional<std::string> shown = lang::show_equation(model, names[first]);
    context.out << shown.value_or("");
    return exit_code::success;
}
