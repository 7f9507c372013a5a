#include "build_command.h"

#include "file_faults.h"
#include "model_input.h"
#include "model_language.h"

// The whole model is built before the file is opened, so a fault in the text
// never leaves a truncated model file behind.
int run_build(const BuildOptions& options, std::ostream& out) {
    const std::string text = read_input_text(options.equations_path);
    const std::string source = options.equations_path == "-" ? "<stdin>" : options.equations_path;
    const std::string model = lang::build_model_json(text, source, options.limits);
    if (options.output_path.empty()) {
        out << model;
    } else {
        // -o naming the equation file would replace the author's text with JSON.
        refuse_to_overwrite("-o", options.output_path, options.equations_path);
        write_text_file(options.output_path, model);
    }
    return 0;
}
