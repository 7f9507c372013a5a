#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

// What a command runs with besides its own options: the plug-in the tool was
// told to load (--plugin comes before or after the command) and where to write.
struct CommandContext {
    std::string plugin_path;
    std::ostream& out;
    std::ostream& err;
};

// A command's run, bound to the options its command line was parsed into.
using CommandRun = std::function<int(const CommandContext&)>;

// One row of the command table: the command's name and description, the
// function that declares its options on its CLI11 subcommand, and the
// function that runs it on the parsed options and answers the exit code.
class Command {
  public:
    template <typename Options>
    Command(const char* command_name, const char* summary, void (*add_options)(CLI::App&, Options&),
            int (*run)(const Options&, const CommandContext&))
        : name(command_name),
          description(summary),
          attach_([add_options, run](CLI::App& command) -> CommandRun {
              const auto options = std::make_shared<Options>();
              add_options(command, *options);
              return
                  [options, run](const CommandContext& context) { return run(*options, context); };
          }) {}

    // Declares the options on `command`, this command's subcommand; answers
    // the run that reads them once the command line is parsed.
    CommandRun attach(CLI::App& command) const { return attach_(command); }

    const char* name;
    const char* description;

  private:
    std::function<CommandRun(CLI::App&)> attach_;
};

// Every command of the tool, in the order the help lists them.
const std::vector<Command>& command_table();

// "info, eval, ... or bench": the commands' names for messages.
std::string command_names();
