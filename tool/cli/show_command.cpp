#include "show_command.h"

#include "model_definition.h"
#include "model_language.h"
#include "usage_error.h"

int run_show(const ShowOptions& options, std::ostream& out) {
    ModelDefinition model;
    model.load_model(options.model_path);
    const lang::Showing showing = options.exact ? lang::Showing::exact : lang::Showing::readable;
    if (!options.equation) {
        out << lang::show_model(model, showing);
        return 0;
    }
    const std::optional<std::string> shown = lang::show_equation(model, *options.equation, showing);
    if (!shown) {
        throw UsageError("the model has no equation named " + *options.equation);
    }
    out << *shown;
    return 0;
}
