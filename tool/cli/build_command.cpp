#include "build_command.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "exit_codes.h"
#include "model_language.h"

namespace {

std::string read_text(std::istream& in) {
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string read_equations(const std::string& path) {
    if (path == "-") {
        return read_text(std::cin);
    }
    // A folder opens as a stream but reads as nothing, which would build an empty model.
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path)) {
        throw std::runtime_error("cannot read " + path);
    }
    return read_text(in);
}

// -o naming the equation file would replace the author's text with JSON.
void refuse_to_overwrite_equations(const BuildOptions& options) {
    std::error_code failure;
    if (options.equations_path != "-" &&
        std::filesystem::equivalent(options.equations_path, options.output_path, failure)) {
        throw std::runtime_error("-o names the equation file " + options.equations_path +
                                 " itself");
    }
}

// The whole model is built before the file is opened, so a fault in the text
// never leaves a truncated model file behind.
void write_model(const std::string& path, const std::string& model) {
    std::ofstream out(path, std::ios::binary);
    out << model;
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace

void add_build_options(CLI::App& command, BuildOptions& options) {
    command.add_option("EQUATIONS", options.equations_path, "equation text; - reads stdin")
        ->required();
    command.add_option("-o,--output", options.output_path,
                       "model file to write (JSON); stdout without it");
}

int run_build(const BuildOptions& options, const CommandContext& context) {
    const std::string text = read_equations(options.equations_path);
    const std::string source = options.equations_path == "-" ? "<stdin>" : options.equations_path;
    std::string model;
    try {
        model = lang::build_model_json(text, source);
    } catch (const lang::LangError& fault) {
        // Faults in the text end the command as every other fault does.
        context.err << fault.what() << '\n';
        return exit_code::usage_or_model_error;
    }
    if (options.output_path.empty()) {
        context.out << model;
    } else {
        refuse_to_overwrite_equations(options);
        write_model(options.output_path, model);
    }
    return exit_code::success;
}
