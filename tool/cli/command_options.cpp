#include "command_options.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <map>

#include "model_input.h"
#include "starting_point.h"
#include "text_table.h"
#include "warm_start.h"

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

void add_start_options(CLI::App& command, ModelOptions& options) {
    command
        .add_option("--start", options.start_path,
                    "start from the values of an earlier solve's JSON or CSV result")
        ->check(CLI::ExistingFile);
    command.add_flag("--strict", options.strict_start,
                     "refuse a --start result that says it did not converge (else a warning)");
    command
        .add_option("--at", options.at,
                    "start SYMBOL (every model variable of it) at VALUE; repeatable")
        ->check(assignment_text())
        ->take_all();
}

void add_system_options(CLI::App& command, SystemOptions& options) {
    add_model_options(command, options.model, true);
    add_start_options(command, options.model);
    command
        .add_option("--fix", options.fix,
                    "specify SYMBOL at VALUE, no longer an unknown; repeatable")
        ->check(assignment_text())
        ->take_all();
    command
        .add_option("--free", options.free,
                    "leave out the equation EQUATION (to --fix a variable instead); repeatable")
        ->take_all();
    command.add_flag("--force", options.force,
                     "solve even when the host refused a registration or an equation names "
                     "no model variable");
    command
        .add_option("--tol", options.tolerance,
                    "largest residual accepted relative to its equation's scale")
        ->check(sign_check(false))
        ->capture_default_str();
    command
        .add_option("--abs-tol", options.absolute_tolerance,
                    "largest absolute residual accepted as well (default: no absolute test)")
        ->check(sign_check(false));
    command.add_option("--max-iter", options.max_iterations, "most iterations per solve")
        ->check(sign_check(true))
        ->capture_default_str();
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

LoadedModel load_model(ModelOptions options, const CommandContext& context,
                       std::optional<ScanTexts> scan_ahead) {
    const ModelInput& input = context.models.input_of(options.model_path);
    options.model_path = input.path();
    options.constants = input.constants();
    options.plugin_path = context.plugin_path;
    options.scan_ahead = scan_ahead;
    return LoadedModel(options);
}

void warn_about_start(const LoadedModel& loaded, const std::string& start_path, std::ostream& err) {
    const ResultStatus& status = loaded.start_status();
    if (status.known() && !status.converged()) {
        err << "quillon: warning: " << unconverged_start_text(start_path, status) << '\n';
    }
    // A result lists the model's outputs too; they are no starting values.
    std::vector<std::string> unknown;
    const std::vector<std::string>& outputs = loaded.extras().output_symbols();
    for (const std::string& symbol : loaded.unknown_start_symbols) {
        if (std::find(outputs.begin(), outputs.end(), symbol) == outputs.end()) {
            unknown.push_back(symbol);
        }
    }
    const bool one = unknown.size() == 1;
    if (!unknown.empty()) {
        err << "quillon: warning: --start " << start_path << ": no model variable has "
            << (one ? "the symbol " : "the symbols ") << listed_names(unknown)
            << (one ? "; its value is not used\n" : "; their values are not used\n");
    }
}

const CLI::Validator& model_argument() {
    static const CLI::Validator validator(
        [](std::string& text) { return text == "-" ? std::string() : CLI::ExistingFile(text); },
        "FILE or -");
    return validator;
}
