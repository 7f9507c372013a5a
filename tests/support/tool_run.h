#pragma once

// Runs the built quillon binary (QUILLON_TOOL_PATH) with the built plug-in
// (QUILLON_PLUGIN_PATH) as a separate process, the way a person or a script
// runs it, and keeps what it wrote and how it ended.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

struct ProgramRun {
    int exit_code = -1;  // -1: ended by a signal, not by exit
    std::string out;
    std::string err;

    // stdout parsed as one JSON document.
    nlohmann::json json() const { return nlohmann::json::parse(out); }
};

// Any program, found on PATH when `program` has no slash; stdin is empty.
ProgramRun run_program(const std::string& program, const std::vector<std::string>& arguments);

// quillon with `--plugin` naming the built plug-in ahead of `arguments`.
ProgramRun run_quillon(const std::vector<std::string>& arguments);

// quillon with `arguments` alone.
ProgramRun run_quillon_bare(const std::vector<std::string>& arguments);

// gtest's printer for a failed expectation: the whole run.
void PrintTo(const ProgramRun& run, std::ostream* out);
