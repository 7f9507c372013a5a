// quillon: the command line. Only the wiring lives here: the options of each
// command, the exit codes, and the one place where errors become messages.
#include <CLI/CLI.hpp>

#include <cstdlib>
#include <exception>
#include <iostream>
#include <map>
#include <string>

#include "bench_command.h"
#include "build_command.h"
#include "check_command.h"
#include "eval_command.h"
#include "info_command.h"
#include "model_session.h"
#include "plugin_location.h"
#include "show_command.h"
#include "solve_command.h"
#include "starting_point.h"

namespace {

constexpr int EXIT_USAGE_OR_MODEL = 2;

// --at and --fix values are checked while the command line is read.
const CLI::Validator assignment_text(
    [](std::string& text) {
        try {
            parse_assignment(text);
            return std::string();
        } catch (const std::exception& error) {
            return std::string(error.what());
        }
    },
    "SYMBOL=VALUE");

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

CLI::App* add_command(CLI::App& app, const std::string& name, const std::string& description,
                      ModelOptions& options, bool with_csv) {
    CLI::App* command = app.add_subcommand(name, description);
    command->fallthrough();
    // The plug-in reads a missing file as an empty one; say what is wrong instead.
    command->add_option("MODEL", options.model_path, "model file (JSON)")
        ->required()
        ->check(CLI::ExistingFile);
    std::map<std::string, OutputFormat> formats{{"text", OutputFormat::text},
                                                {"json", OutputFormat::json}};
    if (with_csv) {
        formats.emplace("csv", OutputFormat::csv);
    }
    command->add_option("--format", options.format, "output format")
        ->transform(format_choice(formats))
        ->default_str("text");
    return command;
}

void add_at_option(CLI::App& command, ModelOptions& options) {
    command
        .add_option("--at", options.at,
                    "start SYMBOL (every model variable of it) at VALUE; repeatable")
        ->check(assignment_text)
        ->take_all();
}

int print_version(const std::string& plugin_path) {
    // Asked first, so a plug-in that cannot be loaded leaves no half-written lines.
    const std::string identity = plugin_identity(plugin_path);
    std::cout << "quillon " << QUILLON_VERSION << '\n';
    std::cout << "plug-in " << identity << " (" << plugin_path << ")\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app(
        "Runs equation models kept in JSON files through the QUILLON plug-in, the way "
        "the host runs them.",
        "quillon");
    app.require_subcommand(0, 1);
    std::string plugin_path = default_plugin_path();
    app.add_option("--plugin", plugin_path, "plug-in library to load")->default_str(plugin_path);
    bool version = false;
    app.add_flag("--version", version, "print the tool's version and the plug-in's identity");

    ModelOptions info;
    add_command(app, "info", "show the model's counts and Jacobian pattern", info, false);
    ModelOptions eval;
    CLI::App* eval_command = add_command(
        app, "eval", "evaluate residuals and Jacobian at the starting point", eval, false);
    add_at_option(*eval_command, eval);
    CheckOptions check;
    CLI::App* check_command =
        add_command(app, "check", "diagnose the model file", check.model, false);
    add_at_option(*check_command, check.model);
    check_command->add_option("--spy", check.spy_path, "write the Jacobian's pattern as SVG");
    SolveOptions solve;
    CLI::App* solve_command =
        add_command(app, "solve", "solve the model by Newton's method", solve.model, true);
    add_at_option(*solve_command, solve.model);
    solve_command
        ->add_option("--fix", solve.fix,
                     "specify SYMBOL at VALUE, no longer an unknown; repeatable")
        ->check(assignment_text)
        ->take_all();
    solve_command->add_option("--tol", solve.tolerance, "largest absolute residual accepted")
        ->check(sign_check(false))
        ->capture_default_str();
    solve_command->add_option("--max-iter", solve.max_iterations, "most Newton steps")
        ->check(sign_check(true))
        ->capture_default_str();
    solve_command->add_option("--plot", solve.plot_path, "write the convergence history as SVG");
    BuildOptions build;
    CLI::App* build_command =
        app.add_subcommand("build", "write a model file from equations in text");
    build_command->fallthrough();
    build_command->add_option("EQUATIONS", build.equations_path, "equation text; - reads stdin")
        ->required();
    build_command->add_option("-o,--output", build.output_path,
                              "model file to write (JSON); stdout without it");
    ShowOptions show;
    CLI::App* show_command = app.add_subcommand("show", "print a model file as equations");
    show_command->fallthrough();
    show_command->add_option("MODEL", show.model_path, "model file (JSON)")
        ->required()
        ->check(CLI::ExistingFile);
    show_command->add_option("--equation", show.equation, "only the equations of this name");
    BenchOptions bench;
    CLI::App* bench_command =
        add_command(app, "bench", "time loading and evaluating the model", bench.model, false);
    bench_command->add_option("--repeat", bench.repeat, "timed repeats; medians are printed")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            return app.exit(error);
        }
        std::cerr << "quillon: error: " << error.what() << '\n';
        return EXIT_USAGE_OR_MODEL;
    }

    try {
        for (ModelOptions* options : {&info, &eval, &check.model, &solve.model, &bench.model}) {
            options->plugin_path = plugin_path;
        }
        if (app.got_subcommand("info")) {
            return run_info(info, std::cout);
        }
        if (app.got_subcommand("eval")) {
            return run_eval(eval, std::cout);
        }
        if (app.got_subcommand("check")) {
            return run_check(check, std::cout);
        }
        if (app.got_subcommand("solve")) {
            return run_solve(solve, std::cout, std::cerr);
        }
        if (app.got_subcommand("build")) {
            return run_build(build, std::cout);
        }
        if (app.got_subcommand("bench")) {
            return run_bench(bench, std::cout);
        }
        if (app.got_subcommand("show")) {
            return run_show(show, std::cout);
        }
        if (version) {
            return print_version(plugin_path);
        }
        std::cerr
            << "quillon: error: a command is needed: info, eval, check, solve, build or show\n"
            << app.help();
        return EXIT_USAGE_OR_MODEL;
    } catch (const std::exception& error) {
        std::cerr << "quillon: error: " << error.what() << '\n';
        return EXIT_USAGE_OR_MODEL;
    }
}
