#include "build_command.h"

#include "exit_codes.h"
#include "file_faults.h"
#include "model_input.h"
#include "model_language.h"

namespace {

void add_limit(CLI::App& command, const std::string& name, std::int64_t& limit,
               const std::string& what) {
    command.add_option(name, limit, what)->check(CLI::PositiveNumber)->capture_default_str();
}

}  // namespace

void add_build_options(CLI::App& command, BuildOptions& options) {
    command.add_option("EQUATIONS", options.equations_path, "equation text; - reads stdin")
        ->required();
    command.add_option("-o,--output", options.output_path,
                       "model file to write (JSON); stdout without it");
    add_limit(command, "--max-instances", options.limits.instances,
              "most instances of statements in the model");
    add_limit(command, "--max-terms", options.limits.terms,
              "most terms that the sums of one expression give");
    add_limit(command, "--max-equation-nodes", options.limits.equation_nodes,
              "most nodes of one equation, derivatives included");
    add_limit(command, "--max-nodes", options.limits.nodes,
              "most nodes of the model, derivatives included");
}

// The whole model is built before the file is opened, so a fault in the text
// never leaves a truncated model file behind.
int run_build(const BuildOptions& options, const CommandContext& context) {
    const std::string text = read_input_text(options.equations_path);
    const std::string source = options.equations_path == "-" ? "<stdin>" : options.equations_path;
    const std::string model = lang::build_model_json(text, source, options.limits);
    if (options.output_path.empty()) {
        context.out << model;
    } else {
        // -o naming the equation file would replace the author's text with JSON.
        refuse_to_overwrite("-o", options.output_path, options.equations_path);
        write_text_file(options.output_path, model);
    }
    return exit_code::success;
}
