#pragma once

// The built quillon tool (QUILLON_TOOL_PATH) run as a separate process in a
// scratch folder, the way a person or a script runs it.

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tool_run.h"

#ifndef QUILLON_TOOL_PATH
#error "QUILLON_TOOL_PATH must name the built quillon tool"
#endif

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

    // quillon with `arguments`, words of the shell (so that a test can
    // redirect stdin), run in this folder.
    ProgramRun quillon(const std::string& arguments) const {
        return run_program(
            "sh", {"-c", "cd '" + folder_.string() + "' && '" QUILLON_TOOL_PATH "' " + arguments});
    }

  private:
    std::filesystem::path folder_;
};
