// quillon: the command line. Only the wiring lives here: the commands come
// from the command table, and here is the one place where errors become
// messages and exit codes.
#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "command_table.h"
#include "exit_codes.h"
#include "model_session.h"
#include "plugin_location.h"

namespace {

int print_version(const std::string& plugin_path) {
    // Asked first, so a plug-in that cannot be loaded leaves no half-written lines.
    const std::string identity = plugin_identity(plugin_path);
    std::cout << "quillon " << QUILLON_VERSION << '\n';
    std::cout << "plug-in " << identity << " (" << plugin_path << ")\n";
    return exit_code::success;
}

int usage_error(const std::string& message) {
    std::cerr << "quillon: error: " << message << '\n';
    return exit_code::usage_or_model_error;
}

// A word where the command belongs that names none is taken by CLI11 for an
// argument too many; say which word it is and what the commands are.
int parse_error(const CLI::App& app, const CLI::ParseError& error) {
    const std::vector<std::string> extras = app.remaining();
    const bool command_missing = app.get_subcommands().empty();
    if (dynamic_cast<const CLI::ExtrasError*>(&error) && command_missing && !extras.empty() &&
        extras.front().rfind('-', 0) != 0) {
        return usage_error("unknown command '" + extras.front() + "'; use one of " +
                           command_names());
    }
    return usage_error(error.what());
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

    std::vector<CommandRun> runs;
    for (const Command& command : command_table()) {
        CLI::App* subcommand = app.add_subcommand(command.name, command.description);
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
        return parse_error(app, error);
    }

    try {
        const CommandContext context{plugin_path, std::cout, std::cerr};
        for (std::size_t index = 0; index < runs.size(); ++index) {
            if (app.got_subcommand(command_table()[index].name)) {
                return runs[index](context);
            }
        }
        if (version) {
            return print_version(plugin_path);
        }
        std::cerr << "quillon: error: a command is needed: " << command_names() << '\n'
                  << app.help();
        return exit_code::usage_or_model_error;
    } catch (const std::exception& error) {
        return usage_error(error.what());
    }
}
