#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "model_input.h"

// What a command runs with besides its own options: the plug-in the tool was
// told to load (--plugin comes before or after the command) and where to write.
struct CommandContext {
    std::string plugin_path;
    std::ostream& out;
    std::ostream& err;
    // Turns a MODEL argument (a JSON model, equation text, "-") into a file
    // the plug-in can load.
    ModelInputs& models;
};

// A command's run, bound to the options its command line was parsed into.
using CommandRun = std::function<int(const CommandContext&)>;

// One row of the command table: the command's name and description, the
// function that declares its options on its CLI11 subcommand, an example of
// its use, and the
// function that runs it on the parsed options and answers the exit code.
class Command {
  public:
    template <typename Options>
    Command(const char* command_name, const char* summary, const char* usage_example,
            void (*add_options)(CLI::App&, Options&),
            int (*run)(const Options&, const CommandContext&))
        : name(command_name),
          description(summary),
          example(usage_example),
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
    const char* example;  // a command line, ending the command's --help

  private:
    std::function<CommandRun(CLI::App&)> attach_;
};

// Every command of the tool, in the order the help lists them.
const std::vector<Command>& command_table();

// "info, eval, ... or bench": the commands' names for messages.
std::string command_names();
