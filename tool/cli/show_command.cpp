#include "show_command.h"

#include "command_options.h"
#include "exit_codes.h"
#include "language_members.h"
#include "model_definition.h"
#include "model_language.h"
#include "model_session.h"
#include "name_resolver.h"
#include "usage_error.h"

void add_show_options(CLI::App& command, ShowOptions& options) {
    command
        .add_option("MODEL", options.model_path, "model file (JSON) or equations; - reads stdin")
        ->required()
        ->check(model_argument());
    command.add_option("--equation", options.equation, "only the equations of this name");
    command.add_flag("--exact", options.exact,
                     "print every node as the file holds it, numbers unfolded");
}

int run_show(const ShowOptions& options, const CommandContext& context) {
    const std::string& path = context.models.path_of(options.model_path);
    ModelDefinition model;
    LanguageMembers members;
    try {
        model.load_model(path);
        members = read_language_members(path);
    } catch (const std::exception& fault) {
        // The loader's fault, as the plug-in would report it.
        throw ModelFault(fault.what());
    }
    const lang::Showing showing = options.exact ? lang::Showing::exact : lang::Showing::readable;
    if (!options.equation) {
        context.out << lang::show_model(model, members, showing);
        return exit_code::success;
    }
    std::vector<std::string> names;
    for (const ExprNode& equation : model.equations()) {
        names.emplace_back(equation.equation_name());
    }
    for (const std::string& name :
         NameResolver(names, "equation").distinct_names(*options.equation, "--equation")) {
        context.out << lang::show_equation(model, name, showing).value_or("");
    }
    return exit_code::success;
}
