#pragma once

// The built quillon tool (QUILLON_TOOL_PATH) run as a separate process in a
// scratch folder, the way a person or a script runs it.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "text_files.h"

#ifndef QUILLON_TOOL_PATH
#error "QUILLON_TOOL_PATH must name the built quillon tool"
#endif

struct ToolRun {
    int exit_code = -1;  // -1: not ended by exit
    std::string out;
    std::string err;
};

inline void PrintTo(const ToolRun& run, std::ostream* out) {
    *out << "exit " << run.exit_code << "; stderr: " << run.err;
}

// A folder of its own, removed with everything in it when the object goes.
class Scratch {
  public:
    Scratch() {
        char name[] = "/tmp/quillon-lang-XXXXXX";
        folder_ = mkdtemp(name) != nullptr ? name : "";
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::string file(const std::string& name) const { return (folder_ / name).string(); }

    // quillon with `arguments`, words of the shell, run in this folder; what
    // it writes on stdout and stderr is kept.
    ToolRun quillon(const std::string& arguments) const {
        const std::string command = "cd '" + folder_.string() + "' && '" QUILLON_TOOL_PATH "' " +
                                    arguments + " >stdout.txt 2>stderr.txt";
        const int status = std::system(command.c_str());
        ToolRun run;
        run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = read_file(folder_ / "stdout.txt");
        run.err = read_file(folder_ / "stderr.txt");
        return run;
    }

  private:
    std::filesystem::path folder_;
};
