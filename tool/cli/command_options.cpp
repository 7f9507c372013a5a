#include "command_options.h"

#include <cstdlib>
#include <exception>
#include <map>

#include "starting_point.h"

namespace {

// CLI11's own transformer shows and names the enum's numbers too; this one
// names the formats alone.
CLI::Validator format_choice(const std::map<std::string, OutputFormat>& formats) {
    std::string names;
    for (const auto& choice : formats) {
        names += (names.empty() ? "" : "|") + choice.first;
    }
    return CLI::Validator(
        [=](std::string& text) {
            const auto found = formats.find(text);
            if (found == formats.end()) {
                return "'" + text + "' is none of " + names;
            }
            text = std::to_string(static_cast<int>(found->second));
            return std::string();
        },
        names);
}

}  // namespace

void add_model_options(CLI::App& command, ModelOptions& options, bool with_csv) {
    // The plug-in reads a missing file as an empty one; say what is wrong instead.
    command
        .add_option("MODEL", options.model_path, "model file (JSON) or equations; - reads stdin")
        ->required()
        ->check(model_argument());
    std::map<std::string, OutputFormat> formats{{"text", OutputFormat::text},
                                                {"json", OutputFormat::json}};
    if (with_csv) {
        formats.emplace("csv", OutputFormat::csv);
    }
    command.add_option("--format", options.format, "output format")
        ->transform(format_choice(formats))
        ->default_str("text");
}

void add_at_option(CLI::App& command, ModelOptions& options) {
    command
        .add_option("--at", options.at,
                    "start SYMBOL (every model variable of it) at VALUE; repeatable")
        ->check(assignment_text())
        ->take_all();
}

const CLI::Validator& assignment_text() {
    static const CLI::Validator validator(
        [](std::string& text) {
            try {
                parse_assignment(text);
                return std::string();
            } catch (const std::exception& error) {
                return std::string(error.what());
            }
        },
        "SYMBOL=VALUE");
    return validator;
}

// CLI11's own range checks name their whole range, the largest double written
// out in full; this one says what is wanted.
CLI::Validator sign_check(bool zero_allowed) {
    const std::string rule = zero_allowed ? "of at least 0" : "greater than 0";
    return CLI::Validator(
        [=](std::string& text) {
            char* end = nullptr;
            const double value = std::strtod(text.c_str(), &end);
            const bool number = !text.empty() && *end == '\0';
            if (number && (zero_allowed ? value >= 0 : value > 0)) {
                return std::string();
            }
            return "'" + text + "' is not a number " + rule;
        },
        "NUMBER " + rule);
}

LoadedModel load_model(ModelOptions options, const CommandContext& context) {
    options.model_path = context.models.path_of(options.model_path);
    options.plugin_path = context.plugin_path;
    return LoadedModel(options);
}

const CLI::Validator& model_argument() {
    static const CLI::Validator validator(
        [](std::string& text) { return text == "-" ? std::string() : CLI::ExistingFile(text); },
        "FILE or -");
    return validator;
}
