#pragma once

#include <cstdint>
#include <string>

// Loading, as the host loads a model: the factory's create with the model
// file (reading, parsing, building the model, freeing what the parse needed),
// against the JSON library's bare parse of the file's text into its document.

// Seconds of one create, and of the registration that follows it (the host's
// dimension query, registration with compiling, and pattern) as a container
// of the stand-in host does it, wall-clock and the calling thread's CPU
// time; the block is destroyed afterwards, untimed.
struct LoadSeconds {
    double create = 0.0;
    double registration = 0.0;
    double create_cpu = 0.0;
    double registration_cpu = 0.0;
};
LoadSeconds load_seconds(const std::string& plugin_path, const std::string& model_path);

// Seconds of one nlohmann::json::parse of the text, already in memory.
double parse_seconds(const std::string& text);

// The most memory (resident bytes) that one create, one create and its
// registration, or one parse of the file's text already in memory, adds to
// this process, which should be fresh: `what` is "create", "register" or
// "parse".
std::int64_t peak_of_load(const std::string& what, const std::string& plugin_path,
                          const std::string& model_path);

// The same, measured in a fresh process running this program with
// --peak-of `what`; -1 when it cannot be measured.
std::int64_t peak_in_fresh_process(const std::string& what, const std::string& plugin_path,
                                   const std::string& model_path);
