// quillon: the command line. Only the wiring lives here: the commands come
// from the command table, and here is the one place where errors become
// messages and exit codes.
#include <CLI/CLI.hpp>

#include <malloc.h>

#include <cerrno>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "command_table.h"
#include "escaping_buffer.h"
#include "exit_codes.h"
#include "failure_report.h"
#include "file_faults.h"
#include "model_input.h"
#include "model_session.h"
#include "plugin_location.h"
#include "usage_error.h"

namespace {

// Whether the command line asks for --format json; read from the words
// themselves, so that a command line CLI11 refuses gets its answer as JSON too.
bool json_requested(int argc, char** argv) {
    for (int index = 1; index < argc; ++index) {
        const std::string_view word = argv[index];
        if (word == "--format=json" || (word == "--format" && index + 1 < argc &&
                                        std::string_view(argv[index + 1]) == "json")) {
            return true;
        }
    }
    return false;
}

// The failure on stderr, and as a JSON object on stdout when asked for.
int report_failure(const std::exception& failure, const ModelInputs& models, bool as_json) {
    FailedModel model;
    if (const ModelInput* input = models.last()) {
        model.name = input->name();
        model.path = input->read_in_place() ? input->path() : "";
    }
    print_failure(report_of(failure, model), as_json, std::cout, std::cerr);
    std::cout.flush();
    return exit_code::usage_or_model_error;
}

// Everything the command wrote must have reached standard output: a full
// disk or a closed pipe is a failure, not a result.
void require_output_written(const EscapingBuffer& out) {
    std::cout.flush();
    if (!std::cout || out.first_error() != 0) {
        std::cout.clear();
        throw FileFault(FileFault::Direction::output,
                        file_fault_text("write", "standard output",
                                        out.first_error() != 0 ? out.first_error() : EIO));
    }
}

int print_version(const std::string& plugin_path) {
    // Asked first, so a plug-in that cannot be loaded leaves no half-written lines.
    const std::string identity = plugin_identity(plugin_path);
    std::cout << "quillon " << QUILLON_VERSION << '\n';
    std::cout << "plug-in " << identity << " (" << plugin_path << ")\n";
    return exit_code::success;
}

// A word where the command belongs that names none is taken by CLI11 for an
// argument too many; say which word it is and what the commands are.
UsageError parse_error(const CLI::App& app, const CLI::ParseError& error) {
    const std::vector<std::string> extras = app.remaining();
    const bool command_missing = app.get_subcommands().empty();
    if (dynamic_cast<const CLI::ExtrasError*>(&error) && command_missing && !extras.empty() &&
        extras.front().rfind('-', 0) != 0) {
        return UsageError("unknown command '" + extras.front() + "'; use one of " +
                          command_names());
    }
    return UsageError(error.what());
}

int run(int argc, char** argv, ModelInputs& models);

}  // namespace

int main(int argc, char** argv) {
    // One heap for every thread: the file's scan runs on a thread of its own,
    // and what it frees is then there for the main thread's output, instead
    // of staying in an arena of the scan's that nothing uses again.
    mallopt(M_ARENA_MAX, 1);
    // Names from model files reach the terminal only escaped.
    EscapingBuffer escaped_out(std::cout.rdbuf());
    EscapingBuffer escaped_err(std::cerr.rdbuf());
    std::streambuf* const plain_out = std::cout.rdbuf(&escaped_out);
    std::streambuf* const plain_err = std::cerr.rdbuf(&escaped_err);
    const bool as_json = json_requested(argc, argv);
    int code = exit_code::usage_or_model_error;
    {
        // Declared outside the try, so that a failure can name the model.
        ModelInputs models;
        try {
            code = run(argc, argv, models);
            require_output_written(escaped_out);
        } catch (const std::exception& failure) {
            code = report_failure(failure, models, as_json);
        }
    }
    std::cout.flush();
    std::cout.rdbuf(plain_out);
    std::cerr.rdbuf(plain_err);
    return code;
}

namespace {

int run(int argc, char** argv, ModelInputs& models) {
    CLI::App app(
        "Runs equation models kept in JSON files through the QUILLON plug-in, the way "
        "the host runs them.",
        "quillon");
    app.require_subcommand(0, 1);
    std::string plugin_path = default_plugin_path();
    app.add_option("--plugin", plugin_path, "plug-in library to load")->default_str(plugin_path);
    bool version = false;
    app.add_flag("--version", version, "print the tool's version and the plug-in's identity");

    std::vector<CommandRun> runs;
    for (const Command& command : command_table()) {
        CLI::App* subcommand = app.add_subcommand(command.name, command.description);
        subcommand->footer(std::string("Example:\n  ") + command.example + "\n");
        // --plugin may follow the command too.
        subcommand->fallthrough();
        runs.push_back(command.attach(*subcommand));
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            return app.exit(error);
        }
        throw parse_error(app, error);
    }

    const CommandContext context{plugin_path, std::cout, std::cerr, models};
    for (std::size_t index = 0; index < runs.size(); ++index) {
        if (app.got_subcommand(command_table()[index].name)) {
            return runs[index](context);
        }
    }
    if (version) {
        return print_version(plugin_path);
    }
    std::cerr << "quillon: error: a command is needed: " << command_names() << '\n' << app.help();
    return exit_code::usage_or_model_error;
}

}  // namespace
