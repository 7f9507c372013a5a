#include "command_table.h"

#include "bench_command.h"
#include "build_command.h"
#include "check_command.h"
#include "eval_command.h"
#include "info_command.h"
#include "show_command.h"
#include "solve_command.h"

const std::vector<Command>& command_table() {
    static const std::vector<Command> commands{
        {"info", "show the model's counts and Jacobian pattern", "quillon info tanks.json",
         add_info_options, run_info},
        {"eval", "evaluate residuals and Jacobian at the starting point",
         "quillon eval tanks.eq --at 'h[1]=2' --format json", add_eval_options, run_eval},
        {"check", "diagnose the model file", "quillon check tanks.json --spy pattern.svg",
         add_check_options, run_check},
        {"solve", "solve the model (Newton's method in a trust region)",
         "quillon solve tanks.json --fix F=1.5 --plot convergence.svg", add_solve_options,
         run_solve},
        {"build", "write a model file from equations in text",
         "quillon build tanks.eq -o tanks.json", add_build_options, run_build},
        {"show", "print a model file as equations", "quillon show tanks.json --equation 'valve[2]'",
         add_show_options, run_show},
        {"bench", "time loading and evaluating the model", "quillon bench tanks.json --repeat 5",
         add_bench_options, run_bench},
    };
    return commands;
}

std::string command_names() {
    const std::vector<Command>& commands = command_table();
    std::string names;
    for (std::size_t index = 0; index < commands.size(); ++index) {
        names += index == 0 ? "" : index + 1 == commands.size() ? " or " : ", ";
        names += commands[index].name;
    }
    return names;
}
